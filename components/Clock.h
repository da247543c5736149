#pragma once
// An analog clock: a round face with the twelve hour marks and two hands,
// showing the time of day of the platform's clock. Running, it repaints
// itself every six seconds; stopped, it shows the time of its last paint.
#include "platform/Controls.h"
#include "platform/Types.h"

// Draws a clock face showing Time into Rect: a filled ellipse in
// ClockColor, the hour marks on its rim (with tick lines once the face is
// more than 80 px across) and the hour and minute hands, each with a grey
// shadow one pixel to the lower right. The hands' lengths are fractions of
// the radius.
void DrawClock(TCanvas* Canvas, const TRect& Rect, TDateTime Time, TColor ClockColor = clWhite,
               TColor PointerColor = clBlack, double HourPointerLength = 0.6, double MinutePointerLength = 0.8);

// Where a hand for Time ends on a face drawn into Rect (the shadow ends one
// pixel right of and below it). Hour selects the hour hand.
TPoint ClockHandEnd(const TRect& Rect, TDateTime Time, bool Hour, double Length);

class tCustomClock : public TCustomControl {
    VEK_DECLARE_CLASS(tCustomClock, TCustomControl)

public:
    explicit tCustomClock(TComponent* AOwner);
    ~tCustomClock() override;

    void Dispatch(TMessage& Message) override;
    // Width and height are kept equal: the height decides.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    bool Running() const { return FRunning; }
    void SetRunning(bool Value);
    TColor ClockColor() const { return FClockColor; }
    void SetClockColor(TColor Value);
    TColor PointerColor() const { return FPointerColor; }
    void SetPointerColor(TColor Value);
    // The time of day the last paint showed.
    TDateTime LastTime() const { return FLasttime; }

    // The face of Time in Canvas's Rect, in this clock's colours and hands.
    void DrawClock(TCanvas* Canvas, const TRect& Rect, TDateTime Time);

    static constexpr UINT_PTR ClockTimerId = 1;
    static constexpr UINT ClockTimerInterval = 6000;

protected:
    void Paint() override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    UINT_PTR FTimer = 0;
    bool FRunning = false;
    TDateTime FLasttime = 0;
    TColor FClockColor = clWhite;
    TColor FPointerColor = clBlack;
    int Fcenter = 12;
    double FHourPointerLength = 0.6;
    double FMinutePointerLength = 0.8;
};

class TClock : public tCustomClock {
    VEK_DECLARE_CLASS(TClock, tCustomClock)

public:
    explicit TClock(TComponent* AOwner) : tCustomClock(AOwner) {}
};
