// Month calendar and date-time picker.
#include <algorithm>
#include <cmath>

#include "platform/ComCtrls.h"
#include "platform/ControlsPrivate.h"
#include "platform/DateUtils.h"
#include "platform/FormatSettings.h"
#include "platform/Graphics.h"

namespace {

constexpr int CalendarTitleHeight = 20;
constexpr int CalendarWeekdayHeight = 16;
constexpr int CalendarCellHeight = 16;
// The far ends of the day count the date routines accept.
constexpr double EarliestDay = -693593.0;  // 0001-01-01
constexpr double LatestDay = 2958465.0;    // 9999-12-31

TDateTime WholeDay(TDateTime Value)
{
    if (!std::isfinite(Value))
        return 0;
    return std::floor(std::clamp(Value, EarliestDay, LatestDay));
}

TDateTime FirstOfMonth(TDateTime Value)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(WholeDay(Value), y, m, d);
    return EncodeDate(y, m, 1);
}

}  // namespace

// ---------------------------------------------------------------------------
// TMonthCalendar

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clWindow;
    SetTabStop(true);
    SetBounds(0, 0, 191, 154);
    FDate = WholeDay(::Date());
    FMonth = FirstOfMonth(FDate);
}

TMonthCalendar::~TMonthCalendar() = default;

TDateTime TMonthCalendar::Clamp(TDateTime Value) const
{
    Value = WholeDay(Value);
    if (FMinDate != 0 && Value < FMinDate)
        Value = FMinDate;
    if (FMaxDate != 0 && Value > FMaxDate)
        Value = FMaxDate;
    return Value;
}

void TMonthCalendar::SetDate(TDateTime Value)
{
    FDate = Clamp(Value);
    FMonth = FirstOfMonth(FDate);
    Invalidate();
}

void TMonthCalendar::SetMinDate(TDateTime Value)
{
    FMinDate = WholeDay(Value);
    if (FMaxDate != 0 && FMinDate > FMaxDate)
        FMaxDate = FMinDate;
    SetDate(FDate);
}

void TMonthCalendar::SetMaxDate(TDateTime Value)
{
    FMaxDate = WholeDay(Value);
    if (FMaxDate != 0 && FMinDate > FMaxDate)
        FMinDate = FMaxDate;
    SetDate(FDate);
}

void TMonthCalendar::ShowMonth(int Months)
{
    TDateTime next = IncMonth(FMonth, Months);
    if (next < EarliestDay || next > LatestDay)
        return;
    FMonth = FirstOfMonth(next);
    Invalidate();
}

void TMonthCalendar::SetFirstDayOfWeek(int Value)
{
    FFirstDayOfWeek = std::clamp(Value, 0, 6);
    Invalidate();
}

TDateTime TMonthCalendar::PageStart() const
{
    // DayOfWeek counts from Sunday = 1; columns count from FirstDayOfWeek,
    // where 0 is Monday.
    int mondayBased = (DayOfWeek(FMonth) + 5) % 7;
    int column = (mondayBased - FFirstDayOfWeek + 7) % 7;
    return FMonth - column;
}

TRect TMonthCalendar::DayRect(TDateTime Day)
{
    Day = WholeDay(Day);
    int offset = int(Day - PageStart());
    if (offset < 0 || offset >= 42)
        return {};
    int cellWidth = std::max(1, ClientWidth() / 7);
    int col = offset % 7;
    int row = offset / 7;
    int top = CalendarTitleHeight + CalendarWeekdayHeight + row * CalendarCellHeight;
    return {col * cellWidth, top, (col + 1) * cellWidth, top + CalendarCellHeight};
}

TDateTime TMonthCalendar::DayAt(int X, int Y)
{
    int cellWidth = std::max(1, ClientWidth() / 7);
    int top = CalendarTitleHeight + CalendarWeekdayHeight;
    if (X < 0 || Y < top || X >= cellWidth * 7)
        return 0;
    int row = (Y - top) / CalendarCellHeight;
    if (row >= 6)
        return 0;
    return PageStart() + row * 7 + X / cellWidth;
}

bool TMonthCalendar::UserMove(TDateTime Day)
{
    TDateTime clamped = Clamp(Day);
    if (clamped != WholeDay(Day))
        return false;  // outside the allowed range: the click does nothing
    SetDate(clamped);
    return true;
}

void TMonthCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (Y < CalendarTitleHeight) {
            // The arrows sit at the title's two ends.
            if (X < 20)
                ShowMonth(-1);
            else if (X >= ClientWidth() - 20)
                ShowMonth(1);
        } else if (TDateTime day = DayAt(X, Y); day != 0 && UserMove(day)) {
            TControlWatch watch(this);
            TCustomControl::MouseDown(Button, Shift, X, Y);
            if (watch && OnPick)
                OnPick(this);
            return;
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TMonthCalendar::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    int step = 0;
    switch (Key) {
    case VK_LEFT: step = -1; break;
    case VK_RIGHT: step = 1; break;
    case VK_UP: step = -7; break;
    case VK_DOWN: step = 7; break;
    case VK_PRIOR:
    case VK_NEXT: {
        // A month back or on, the chosen day along where the limits let it.
        const int months = Key == VK_PRIOR ? -1 : 1;
        Key = 0;
        if (!UserMove(IncMonth(FDate, months)))
            ShowMonth(months);
        return;
    }
    case VK_RETURN:
        if (!OnPick)
            return;
        Key = 0;
        OnPick(this);
        return;
    default: return;
    }
    Key = 0;
    UserMove(FDate + step);
}

void TMonthCalendar::Paint()
{
    TCanvas* c = Canvas();
    TRect client = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect({0, 0, client.Right, CalendarTitleHeight});
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clWindowText);
    TRect title{0, 0, client.Right, CalendarTitleHeight};
    c->DrawText("<", title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    c->DrawText(FormatDateTime("mmmm yyyy", FMonth), title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    c->DrawText(">", title, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    int cellWidth = std::max(1, client.Right / 7);
    for (int col = 0; col < 7; ++col) {
        TRect r{col * cellWidth, CalendarTitleHeight, (col + 1) * cellWidth,
                CalendarTitleHeight + CalendarWeekdayHeight};
        // A Monday-based column to the names, which start on Sunday.
        int name = (col + FFirstDayOfWeek + 1) % 7 + 1;
        c->DrawText(FormatSettings.ShortDayNames[std::size_t(name - 1)], r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    TDateTime start = PageStart();
    int month = 0, y = 0, d = 0;
    DecodeDate(FMonth, y, month, d);
    for (int i = 0; i < 42; ++i) {
        TDateTime day = start + i;
        TRect r = DayRect(day);
        int dm = 0, dd = 0, dy = 0;
        DecodeDate(day, dy, dm, dd);
        bool chosen = day == FDate;
        if (chosen) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(clHighlight);
            c->FillRect(r);
            c->Brush()->SetStyle(bsClear);
        }
        c->Font()->SetColor(chosen ? clHighlightText : dm == month ? clWindowText : clGrayText);
        c->DrawText(std::to_string(dd), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    c->Brush()->SetStyle(bsSolid);
}
