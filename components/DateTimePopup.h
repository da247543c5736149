#pragma once
// A month calendar dropping down below a date field. A day clicked or
// Return picks the day shown and closes with mrOk; paging and the arrow
// keys only move through the calendar; Esc closes with mrCancel and Date
// stays what was set.
#include "components/DropDownForm.h"
#include "platform/ComCtrls.h"

class TDateTimePopup;
// The program's one date popup (made at start-up), or null.
extern TDateTimePopup* DateTimePopup;

class TDateTimePopup : public TfmDropDown {
    VEK_DECLARE_CLASS(TDateTimePopup, TfmDropDown)

public:
    explicit TDateTimePopup(TComponent* AOwner);

    // The day picked, else the one set last. Setting it shows it and
    // forgets a pick.
    TDateTime Date() const;
    void SetDate(TDateTime Value);
    TMonthCalendar* Calendar() const { return FCalendar; }
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void CalendarChange(TObject* Sender);

    TMonthCalendar* FCalendar = nullptr;
    TDateTime FLastDate = 0;
    bool FDateChanged = false;
};
