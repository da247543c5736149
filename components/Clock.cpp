#include "components/Clock.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/DateUtils.h"
#include "platform/Graphics.h"

namespace {

struct TFace {
    int CX = 0;
    int CY = 0;
    int Radius = 0;
};

TFace FaceOf(const TRect& R)
{
    return {R.Left + R.Width() / 2, R.Top + R.Height() / 2, std::min(R.Width(), R.Height()) / 2};
}

// 0 is twelve o'clock; the screen's y runs downward.
TPoint OnFace(const TFace& F, double Angle, double Distance)
{
    return {F.CX + int(std::lround(Distance * std::cos(Angle))), F.CY + int(std::lround(Distance * std::sin(Angle)))};
}

double HandAngle(TDateTime Time, bool Hour)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(Time, h, m, s, ms);
    constexpr double pi = std::numbers::pi;
    if (Hour)
        return (h + m / 60.0) * 2 * pi / 12 + 3 * pi / 2;
    return m * 2 * pi / 60 + 3 * pi / 2;
}

void Line(TCanvas* C, TPoint From, TPoint To, TColor Color)
{
    C->Pen()->SetColor(Color);
    C->MoveTo(From.X, From.Y);
    C->LineTo(To.X, To.Y);
    // The end belongs to the hand as well.
    C->SetPixels(To.X, To.Y, Color);
}

}  // namespace

TPoint ClockHandEnd(const TRect& Rect, TDateTime Time, bool Hour, double Length)
{
    const TFace f = FaceOf(Rect);
    return OnFace(f, HandAngle(Time, Hour), Length * f.Radius);
}

void DrawClock(TCanvas* Canvas, const TRect& Rect, TDateTime Time, TColor ClockColor, TColor PointerColor,
               double HourPointerLength, double MinutePointerLength)
{
    if (!Canvas || Rect.Width() <= 0 || Rect.Height() <= 0)
        return;
    const TFace f = FaceOf(Rect);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetMode(pmCopy);
    Canvas->Pen()->SetColor(clGray);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(ClockColor);
    Canvas->Ellipse(Rect);

    const bool ticks = Rect.Width() / 2 > 40 || Rect.Height() / 2 > 40;
    for (int i = 0; i < 12; ++i) {
        const double a = i * 2 * std::numbers::pi / 12 + 3 * std::numbers::pi / 2;
        const TPoint mark = OnFace(f, a, f.Radius - 2);
        Canvas->SetPixels(mark.X, mark.Y, PointerColor);
        if (ticks)
            Line(Canvas, OnFace(f, a, f.Radius * 0.85), mark, PointerColor);
    }

    const TPoint centre{f.CX, f.CY};
    const TPoint hour = OnFace(f, HandAngle(Time, true), HourPointerLength * f.Radius);
    const TPoint minute = OnFace(f, HandAngle(Time, false), MinutePointerLength * f.Radius);
    const TPoint shadow{1, 1};
    Line(Canvas, centre + shadow, hour + shadow, clGray);
    Line(Canvas, centre + shadow, minute + shadow, clGray);
    Line(Canvas, centre, hour, PointerColor);
    Line(Canvas, centre, minute, PointerColor);
}

// ---------------------------------------------------------------------------

tCustomClock::tCustomClock(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 25, 25);
    // Round on the parent's face.
    SetParentColor(true);
}

tCustomClock::~tCustomClock() { DestroyHandle(); }

void tCustomClock::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    (void)AWidth;
    Fcenter = AHeight / 2;
    TCustomControl::SetBounds(ALeft, ATop, AHeight, AHeight);
}

void tCustomClock::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_TIMER && Message.TimerID() == ClockTimerId) {
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void tCustomClock::SetRunning(bool Value)
{
    if (FRunning == Value)
        return;
    FRunning = Value;
    if (!HandleAllocated())
        return;
    if (FRunning) {
        FTimer = ClockTimerId;
        SetTimer(Handle(), FTimer, ClockTimerInterval);
    } else if (FTimer) {
        KillTimer(Handle(), FTimer);
        FTimer = 0;
    }
}

void tCustomClock::CreateWnd()
{
    TCustomControl::CreateWnd();
    // A clock set running before it had a window starts with it.
    if (FRunning) {
        FTimer = ClockTimerId;
        SetTimer(Handle(), FTimer, ClockTimerInterval);
    }
}

void tCustomClock::DestroyWnd()
{
    if (FTimer && HandleAllocated())
        KillTimer(Handle(), FTimer);
    FTimer = 0;
    TCustomControl::DestroyWnd();
}

void tCustomClock::SetClockColor(TColor Value)
{
    if (FClockColor == Value)
        return;
    FClockColor = Value;
    Invalidate();
}

void tCustomClock::SetPointerColor(TColor Value)
{
    if (FPointerColor == Value)
        return;
    FPointerColor = Value;
    Invalidate();
}

void tCustomClock::DrawClock(TCanvas* Canvas, const TRect& Rect, TDateTime Time)
{
    ::DrawClock(Canvas, Rect, Time, FClockColor, FPointerColor, FHourPointerLength, FMinutePointerLength);
}

void tCustomClock::Paint()
{
    TCanvas* c = Canvas();
    FLasttime = Time();
    // What lies outside the round face is the parent's.
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    DrawClock(c, ClientRect(), FLasttime);
    SetHint(FormatDateTime("t", FLasttime));
}
