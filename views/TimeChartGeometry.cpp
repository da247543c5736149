// The timechart's measures: pixels per day, font sizes, row heights, the
// rectangles of date spans, bars, due-date arrows, position labels and the
// overview's slider, and the dates under pixel columns.
#include <algorithm>
#include <cmath>

#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "views/CanvasPanel.h"
#include "views/DrawingHelpers.h"
#include "views/PlannerForm.h"

namespace {

// A pixel value of a computation that may have gone out of range.
bool Finite(double X) { return std::isfinite(X) && std::fabs(X) < 1e9; }

// The middle of two pixel rows, rounded down also above the canvas, so that
// a scrolled arrow keeps its place in its row.
int Middle(int A, int B) { return int(std::floor((double(A) + B) / 2)); }

}  // namespace

// ---- sizes ---------------------------------------------------------------------------

int TPlannerForm::GetTimeChartColWidth() const { return _TimeChartColWidth(0); }

int TPlannerForm::_TimeChartColWidth(int Delta) const
{
    const long long width = (long long)(GetZoom() + Delta) * FColWidth / 100;
    return int(std::clamp<long long>(width, 1, 1 << 20));
}

int TPlannerForm::GetTimeChartFontSize() const
{
    return int(std::clamp<long long>((long long)GetZoom() * FFontsize / 100, -10000, 10000));
}

int TPlannerForm::_TimeChartFontSize(int Delta, int Dpi) const
{
    const double screen = 96;
    const double dpi = Dpi == 0 ? screen : Dpi;
    const double points = (Delta + GetZoom()) * double(FFontsize) / 100 * screen / dpi;
    return Finite(points) ? int(std::trunc(points)) : 0;
}

int TPlannerForm::TimeChartFullRowHeight(int Delta) const
{
    // (zoom + delta) x (points x 96 / 72) / 100, truncated: exactly, in integers.
    const long long quarter = std::llabs((long long)(GetZoom() + Delta) * FFontsize * 96 / 7200);
    const long long height = 4 * std::min<long long>(quarter, 1 << 20);
    return height <= 0 ? 1 : int(height);
}

int TPlannerForm::TimeChartRowHeight(int Delta) const
{
    int h = TimeChartFullRowHeight(Delta);
    switch (RowSet()) {
    case rsTopMiddle: h = h * 2 / 3; break;
    case rsTop: h = h / 3; break;
    default: break;
    }
    h = h - h % 3 + 3;
    return std::max(h, 1);
}

int TPlannerForm::ResizeGrabWidth() const
{
    const int width = GetTimeChartColWidth();
    return width > 15 ? 4 : width / 4;
}

TDateTime TPlannerForm::GetTimeChartEnd() { return FTimeChartStart + double(TimeChart->Width()) / GetTimeChartColWidth(); }

TDateTime TPlannerForm::TimeChartXToDate(int X) { return FTimeChartStart + double(X) / GetTimeChartColWidth(); }

double TPlannerForm::VisibleDays() { return double(TimeChart->Width()) / GetTimeChartColWidth(); }

int TPlannerForm::GetTimeChartVisibleDays() const { return TimeChart ? TimeChart->Width() / GetTimeChartColWidth() : 0; }

// ---- date spans ----------------------------------------------------------------------

bool TPlannerForm::HourMap(TDateTime X, int Row, double PixelsPerDay, TDateTime VisStart, int& Result)
{
    if (!Finite(X) || !Finite(PixelsPerDay))
        return false;
    const tWeekInfo week = GetWeekInfo(Row);
    const TDayInfo& d = week[std::size_t(std::clamp(DayOfWeek(X), 1, 7) - 1)];
    const double day = std::floor(X);
    double time = X - day;
    if (time < d.start)
        time = d.start;
    if (time > FMaxDayEnd)
        time = FMaxDayEnd;
    const bool wide = d.active && PixelsPerDay > 24;
    const double from = wide ? FMinDayStart : d.start;
    const double to = wide ? FMaxDayEnd : d.ende;
    if (!(to > from))
        return false;
    const double x = PixelsPerDay * (time - from) / (to - from) + (day - VisStart) * PixelsPerDay;
    if (!Finite(x))
        return false;
    Result = Nearest(x);
    return true;
}

TRect TPlannerForm::TimeChartRect(int Top, int RowHeight, bool SpanRows, bool NoHourMap, int Row, int Width,
    TDateTime VisEnd, TDateTime VisStart, TDateTime EndDate, TDateTime StartDate)
{
    if (VisEnd == VisStart || !Finite(VisEnd) || !Finite(VisStart) || !Finite(StartDate) || !Finite(EndDate))
        return TRect();
    try {
        const double p = Width / (VisEnd - VisStart);
        const double left = (StartDate - VisStart) * p;
        const double right = (EndDate - VisStart) * p;
        if (!Finite(p) || !Finite(left) || !Finite(right))
            return TRect();
        TRect r;
        r.Left = Nearest(left);
        r.Right = Nearest(right);
        const long long h = RowHeight;
        auto pixel = [](long long V) { return int(std::clamp<long long>(V, -(1LL << 30), 1LL << 30)); };
        r.Top = pixel(Row * h - Top);
        r.Bottom = pixel((Row + 1LL) * h - Top);
        if (Row == AllPositions) {
            r.Top = -Top;
            r.Bottom = pixel(GetRowCount() * h - Top);
        } else if (SpanRows) {
            // The absence covers every shown row of its multi-row position.
            const std::vector<int> span = _GetMultipleRowSpan(tbExclude, Row);
            int first = -1;
            int count = 0;
            for (int row : span)
                if (row >= 0) {
                    if (first < 0)
                        first = row;
                    ++count;
                }
            if (first < 0)
                return TRect();
            r.Top = pixel(first * h - Top);
            r.Bottom = pixel(r.Top + count * h);
        }
        if (!NoHourMap && FMinUnit == muMinute) {
            if (!HourMap(StartDate, Row, p, VisStart, r.Left) || !HourMap(EndDate, Row, p, VisStart, r.Right))
                return TRect();
        }
        return r;
    } catch (...) {
        return TRect();
    }
}

TRect TPlannerForm::ItemRectOf(TNodeData* Node, TDateTime End, int Top, bool KeepFullHeight, int Width, int RowHeight,
    TDateTime VisEnd, TDateTime VisStart)
{
    const int position = GetPositionOf(Node);
    if (position < 0 && position != AllPositions)
        return TRect();
    const bool absent = Node->NodeTable == tbExclude;
    if (FMinUnit == muDay || absent)
        End = std::trunc(End) + 1;
    const int row = absent ? Node->nodePosition : position;
    TRect r = TimeChartRect(Top, RowHeight, absent, absent, row, Width, VisEnd, VisStart, End, GetStartOf(Node));
    if (r == TRect())
        return r;
    if (absent) {
        r.Right += 1;
    } else if (position != AllPositions && !KeepFullHeight) {
        const int shrink = Nearest((r.Bottom - r.Top) * 0.2 / 2);
        r.Top += shrink;
        r.Bottom -= shrink;
    }
    return r;
}

TRect TPlannerForm::ItemRect(TNodeData* Node, int Top, bool KeepFullHeight, int Width, int RowHeight,
    TDateTime VisEnd, TDateTime VisStart)
{
    if (!Node)
        return TRect();
    return ItemRectOf(Node, GetEndOf(Node), Top, KeepFullHeight, Width, RowHeight, VisEnd, VisStart);
}

TRect TPlannerForm::ArrowRect(TNodeData* Node, int Top, int Width, int RowHeight, TDateTime VisEnd,
    TDateTime VisStart)
{
    if (!Node || VisEnd == VisStart)
        return TRect();
    return ArrowRectOf(Node, GetEndOf(Node), Top, Width, RowHeight, VisEnd, VisStart);
}

TRect TPlannerForm::ArrowRectOf(TNodeData* Node, TDateTime End, int Top, int Width, int RowHeight, TDateTime VisEnd,
    TDateTime VisStart)
{
    if (!Node || VisEnd == VisStart)
        return TRect();
    const int position = GetPositionOf(Node);
    if (position < 0)
        return TRect();
    const TDateTime due = GetTerminOf(Node);
    if (due == 0)
        return TRect();
    const TDateTime end = End;
    const bool selected = Node->VNodeTable && Node->VNodeTable->Selected(Node->VNode);
    if (!(end > due || selected))
        return TRect();
    const double extra = FMinUnit == muDay || Node->NodeTable == tbExclude ? 1 : 0;
    const TRect span = TimeChartRect(Top, RowHeight, false, true, position, Width, VisEnd, VisStart, due, end + extra);
    if (span == TRect())
        return TRect();
    return TRect{span.Left, Middle(span.Top, span.Bottom), span.Right, span.Bottom};
}

void TPlannerForm::ArrowPoints(const TRect& R, TPoint& From, TPoint& To)
{
    const int y = Middle(R.Top, R.Bottom);
    From = {R.Left, y};
    To = {R.Right, y};
}

int TPlannerForm::WidestPositionCaption(TCanvas* Canvas)
{
    const TCommaText* list = FGlobalPositionFilter.get();
    const int count = list ? list->Count() : 0;
    TFont* font = Canvas->Font();
    const String key = font->Name() + "/" + std::to_string(int(font->Style().Contains(fsBold)));
    if (FCaptionWidth.List == list && FCaptionWidth.Count == count && FCaptionWidth.Font == key &&
        FCaptionWidth.Height == font->Height())
        return FCaptionWidth.Width;
    int widest = 0;
    for (int i = 0; i < count; ++i)
        widest = std::max(widest, Canvas->TextWidth(list->Item(i, 0)));
    FCaptionWidth = {list, count, key, font->Height(), widest};
    return widest;
}

TRect TPlannerForm::PositionRect(TCanvas* Canvas, int Top, int RowIndex, int Width, int RowHeight)
{
    if (!Canvas)
        return TRect();
    try {
        const int width = std::min(WidestPositionCaption(Canvas) + 8 * Canvas->Pen()->Width(), Width / 6);
        const int font = std::abs(Canvas->Font()->Height());
        TRect r;
        r.Left = 0;
        r.Right = width;
        r.Top = RowIndex * RowHeight + (RowHeight - font - 4) / 2 - Top;
        r.Bottom = r.Top + font + 4;
        return r;
    } catch (...) {
        return TRect();
    }
}

TRect TPlannerForm::SliderRect()
{
    if (!SmallTimeChart || !TimeChart)
        return TRect();
    const int width = SmallTimeChart->Width();
    const int height = SmallTimeChart->Height();
    TRect r{0, 0, width, height};
    const int rowHeight = TimeChartRowHeight(0);
    const double visibleRows = double(TimeChart->Height()) / rowHeight;
    const int rows = GetRowCount();
    if (rows > visibleRows) {
        r.Bottom = int(std::ceil(visibleRows * height / rows));
        OffsetRect(r, 0, Nearest(double(height) / (double(rowHeight) * rows) * FTimeChartTop));
    }
    const double range = FMaxDate - FMinDate;
    const double span = GetTimeChartEnd() - FTimeChartStart;
    if (range > span && range > 0) {
        r.Right = int(std::ceil(span * width / range));
        r.Left = 0;
        OffsetRect(r, Nearest((FTimeChartStart - FMinDate) * width / range), 0);
    }
    return r;
}

TDateTime TPlannerForm::GetExactDate(int X, int Row)
{
    const int width = GetTimeChartColWidth();
    const int days = X >= 0 ? X / width : -((-X + width - 1) / width);
    const TDateTime day = FTimeChartStart + days;
    // The map only grows through the day: the first minute it places at or
    // right of X is the one. No minute gets there: the day's last one.
    for (int minute = 0; minute < MinsPerDay; ++minute) {
        const TDateTime date = day + double(minute) / MinsPerDay;
        int x = 0;
        if (HourMap(date, Row, width, FTimeChartStart, x) && x >= X)
            return date;
    }
    return day + double(MinsPerDay - 1) / MinsPerDay;
}
