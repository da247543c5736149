#pragma once
// TTimer: OnTimer every Interval milliseconds while Enabled. Setting
// Enabled to true or changing Interval restarts the count.
#include "platform/Controls.h"

class TTimer : public TComponent {
    VEK_DECLARE_CLASS(TTimer, TComponent)

public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    bool FEnabled = true;
    Cardinal FInterval = 1000;
    HWND FWindow = 0;
};
