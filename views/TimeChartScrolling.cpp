// The visible window of the timechart: its start date and top pixel, the two
// scroll bars, smooth scrolling towards a target, the range it scrolls over,
// and centring a bar.
#include <algorithm>
#include <cmath>

#include "platform/Controls.h"
#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/Messages.h"
#include "views/CanvasPanel.h"
#include "views/DrawingHelpers.h"
#include "views/PlannerForm.h"

// ---- scroll bars ---------------------------------------------------------------------

int TPlannerForm::HorzMax() { return Nearest(FMaxDate - FMinDate); }

int TPlannerForm::HorzPage() { return Nearest(VisibleDays()); }

int TPlannerForm::VertMax()
{
    return int(std::min<long long>((long long)TimeChartRowHeight(0) * GetRowCount(), 1 << 30));
}

int TPlannerForm::VertPage() { return std::min(VertMax(), TimeChart->Height()); }

void TPlannerForm::UpdateScrollBars(int Kind)
{
    if (!TimeChartScrollBarBox)
        return;
    if (Kind == 1 || Kind == 3) {
        TimeChartScrollBarBox->HorzScrollInfo()->SetAll(0, HorzMax(), Nearest(TimeChartStartDestination - FMinDate),
            UINT(std::max(0, HorzPage())));
    }
    if (Kind == 2 || Kind == 3) {
        const int max = VertMax();
        const int page = VertPage();
        TScrollBarInfo* info = TimeChartScrollBarBox->VertScrollInfo();
        info->SetAll(0, max, TimeChartTopDestination, UINT(std::max(0, page)));
        // The rows never leave empty space below the last one while scrolled.
        if (TimeChartTopDestination + page >= max) {
            SetTimeChartTop(max - page);
            InvalidateTimeChart(false);
        }
    }
}

void TPlannerForm::InvalidateTimeChart(bool WithCaptions)
{
    if (!TimeChart)
        return;
    TimeChart->Invalidate();
    InvalidateOverview();
    if (WithCaptions) {
        TimeChartCaption->Invalidate();
        SmallTimeChartCaption->Invalidate();
    }
}

void TPlannerForm::InvalidateSlider()
{
    const TRect r = SliderRect();
    if (!r.IsEmpty())
        SmallTimeChart->InvalidateRect(TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1});
}

// ---- moving at once ------------------------------------------------------------------

void TPlannerForm::SetTimeChartStart(TDateTime Date)
{
    if (!TimeChart || !std::isfinite(Date))
        return;
    const double perDay = GetTimeChartColWidth();
    if (FUserDate > FDataMaxDate)
        SetUserdate(std::ceil(Date + TimeChart->Width() / perDay));
    else if (FUserDate < FDataMinDate)
        SetUserdate(std::trunc(Date));
    Date = std::min(Date, FMinDate + HorzMax() - HorzPage());
    Date = std::trunc(std::max(Date, FMinDate));
    if (Date == FTimeChartStart)
        return;
    const int dx = Nearest(perDay * (FTimeChartStart - Date));
    if (dx == 0)
        return;
    InvalidateSlider();
    FTimeChartStart = Date;
    InvalidateSlider();
    UpdateScrollBars(1);

    // The position labels and the line below the last row stand still while
    // the chart moves under them: they are painted again where they were
    // (those pixels move along) and where they stay.
    InvalidateFixedParts();
    ScrollPixels(TimeChart, dx, 0);
    InvalidateFixedParts();
    // The captions' labels depend on where the span starts: drawn anew.
    TimeChartCaption->Invalidate();
}

void TPlannerForm::InvalidateFixedParts()
{
    TCanvas* canvas = TimeChart->Canvas();
    const int rowHeight = TimeChartRowHeight(0);
    const int rows = GetRowCount();
    const int height = TimeChart->Height();
    for (int i = 0; i < rows; ++i) {
        const TRect label = PositionRect(canvas, FTimeChartTop, i, TimeChart->Width(), rowHeight);
        if (label.Top >= height)
            break;
        if (!label.IsEmpty() && label.Bottom > 0)
            TimeChart->InvalidateRect(label);
    }
    const int below = int(std::min<long long>((long long)rowHeight * rows, 1 << 30)) - FTimeChartTop;
    TimeChart->InvalidateRect(TRect{0, below, TimeChart->Width(), below + canvas->TextHeight("Gg") + 5});
}

void TPlannerForm::ScrollPixels(TWinControl* Control, int DX, int DY)
{
    // Without a window nothing is shown yet: there is nothing to move.
    if (!Control->HandleAllocated())
        Control->Invalidate();
    else
        ScrollWindowEx(Control->Handle(), DX, DY, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
}

void TPlannerForm::SetTimeChartTop(int Pixels)
{
    if (!TimeChart)
        return;
    Pixels = std::max(0, std::min(Pixels, VertMax() - VertPage()));
    if (Pixels == FTimeChartTop)
        return;
    const int dy = FTimeChartTop - Pixels;
    InvalidateSlider();
    FTimeChartTop = Pixels;
    InvalidateSlider();
    UpdateScrollBars(2);
    ScrollPixels(TimeChart, 0, dy);
}

// ---- moving smoothly -----------------------------------------------------------------

void TPlannerForm::SetTimeChartDestination(int Top, TDateTime Date)
{
    if (!TimeChart || !std::isfinite(Date))
        return;
    Date = std::min(Date, FMaxDate - VisibleDays());
    Date = std::max(Date, FMinDate);
    Top = std::max(0, std::min(Top, VertMax() - VertPage()));
    TimeChartStartDestination = Date;
    TimeChartTopDestination = Top;
    SliderTimer->SetEnabled(true);
}

namespace {

// Half the way, at least one unit.
int HalfStep(int Distance) { return Distance == 0 ? 0 : (Distance > 0 ? (Distance + 1) / 2 : -((-Distance + 1) / 2)); }

}  // namespace

void TPlannerForm::SliderTimerTimer(TObject*)
{
    if (IsLoading())
        return;
    const int dx = Nearest(TimeChartStartDestination - FTimeChartStart);
    const int dy = TimeChartTopDestination - FTimeChartTop;
    const int stepX = HalfStep(dx);
    const int stepY = HalfStep(dy);
    // It runs until the target is reached: a last step of one unit is
    // followed by the one that arrives.
    SliderTimer->SetEnabled(dx - stepX != 0 || dy - stepY != 0);
    const TDateTime oldStart = FTimeChartStart;
    const int oldTop = FTimeChartTop;
    SetTimeChartStart(FTimeChartStart + stepX);
    SetTimeChartTop(FTimeChartTop + stepY);
    // A target the window cannot reach (the range ends short of it) stops
    // the run instead of ticking for ever.
    if (FTimeChartStart == oldStart && FTimeChartTop == oldTop)
        SliderTimer->SetEnabled(false);
}

void TPlannerForm::TimeChartMouseWheel(TShiftState, int WheelDelta, bool& Handled)
{
    const int row = TimeChartRowHeight(0);
    SetTimeChartDestination(FTimeChartTop + (WheelDelta < 0 ? row : -row), FTimeChartStart);
    Handled = true;
}

void TPlannerForm::ScrollBarBoxHorzScroll()
{
    SetTimeChartDestination(FTimeChartTop, TimeChartScrollBarBox->HorzScrollInfo()->Pos + FMinDate);
}

void TPlannerForm::ScrollBarBoxVertScroll()
{
    SetTimeChartDestination(TimeChartScrollBarBox->VertScrollInfo()->Pos, FTimeChartStart);
}

void TPlannerForm::ScrollByKey(Word Key, TShiftState Shift)
{
    int step = 1;
    if (Shift.Contains(ssCtrl)) {
        int year = 0, month = 0, day = 0;
        DecodeDate(FTimeChartStart, year, month, day);
        step = std::max(1, DaysInAMonth(year, month));
    } else if (Shift.Contains(ssShift)) {
        step = 7;
    }
    switch (Key) {
    case VK_LEFT: SetTimeChartDestination(TimeChartTopDestination, TimeChartStartDestination - step); break;
    case VK_RIGHT: SetTimeChartDestination(TimeChartTopDestination, TimeChartStartDestination + step); break;
    case VK_UP: SetTimeChartDestination(TimeChartTopDestination - TimeChartRowHeight(0), TimeChartStartDestination); break;
    case VK_DOWN:
        SetTimeChartDestination(TimeChartTopDestination + TimeChartRowHeight(0), TimeChartStartDestination);
        break;
    default: break;
    }
}

// ---- range ---------------------------------------------------------------------------

bool TPlannerForm::SetTimeChartBounds(TDateTime Low, TDateTime High)
{
    Low = std::trunc(Low);
    High = std::trunc(High);
    if (High == FMaxDate && Low == FMinDate)
        return false;
    FMaxDate = High;
    FMinDate = Low;
    if (!TimeChart)
        return true;
    InvalidateTimeChart(true);
    UpdateScrollBars(1);
    TimeChartScrollBarBox->HorzScrollInfo()->GetInfo();
    ScrollBarBoxHorzScroll();
    return true;
}

void TPlannerForm::SetUserdate(TDateTime Date)
{
    FUserDate = std::trunc(Date);
    UpdateBoundsProc();
}

void TPlannerForm::ScrollToToday()
{
    SetUserdate(Date());
    SetTimeChartStart(Date());
    TimeChartStartDestination = FTimeChartStart;
    UpdateScrollBars(1);
}

void TPlannerForm::TimeChartResize()
{
    // A wider chart shows no days past the range's end: like the rows, the
    // start is pulled back, to the range's start once all of it shows (the
    // scroll bar could not bring the first days back then).
    if (FMaxDate > FMinDate) {
        const TDateTime last = std::max(FMinDate, FMinDate + HorzMax() - HorzPage());
        TimeChartStartDestination = std::min(TimeChartStartDestination, last);
        if (FTimeChartStart > last)
            SetTimeChartStart(last);
    }
    UpdateScrollBars(3);
    InvalidateTimeChart(true);
}

// ---- centring ------------------------------------------------------------------------

void TPlannerForm::CenterNode(TNodeData* Node)
{
    if (IsUpdating() || !Node || !GetNodeValid(Node) || !TimeChart)
        return;
    try {
        if (!Node->VNodeTable || !Node->VNodeTable->Selected(Node->VNode))
            return;
        if (FTimeChartMouseState == msNewItem || FTimeChartMouseState == msMoveItem ||
            FTimeChartMouseState == msResizeItem) {
            const bool ticked = AutoScroll1 && AutoScroll1->Checked();
            const bool shift = GetShiftState().Contains(ssShift);
            if (ticked == shift)
                return;
        }
        const TDateTime start = FTimeChartStart;
        const TDateTime end = GetTimeChartEnd();
        const int width = TimeChart->Width();
        const TRect r = ItemRect(Node, FTimeChartTop, false, width, TimeChartRowHeight(0), end, start);
        const double perDay = GetTimeChartColWidth();
        const double visible = end - start;
        const int top = FTimeChartTop + r.Top + r.Height() / 2 - TimeChart->Height() / 2;
        TDateTime date = 0;
        if (r.Width() > width * 3 / 4) {
            const int grab = FTimeChartMouseState == msMoveItem ? TimeChart->ScreenToClient(GetCursorPos()).X : r.Left;
            date = GetStartOf(Node) - visible / 2 + (grab - r.Left) / perDay;
        } else {
            date = FTimeChartStart - visible / 2 + (r.Left + r.Width() / 2) / perDay;
        }
        SetTimeChartDestination(top, date);
    } catch (...) {
    }
}
