// The chart body's drawing, the same for the screen, the overview, printing
// and pictures: background and grid, non-working days and holidays, month
// dividers, row lines, the bars, the today marker, due-date arrows and the
// moving bars' info; the position labels and the fade-out line.
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "components/Clock.h"
#include "document/DocumentHelpers.h"
#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "views/CanvasPanel.h"
#include "views/ChartPalette.h"
#include "views/ChartRowIndex.h"
#include "views/DrawingHelpers.h"
#include "views/PlannerForm.h"

namespace {

// Spans beyond this many days are not drawn: no chart shows them, and walking
// their periods would take for ever.
constexpr double MaxDrawnDays = 1e6;

bool Drawable(TDateTime VisEnd, TDateTime VisStart, int Width)
{
    return Width > 0 && std::isfinite(VisEnd) && std::isfinite(VisStart) && VisEnd > VisStart &&
           VisEnd - VisStart < MaxDrawnDays;
}

void SolidPen(TCanvas* Canvas, TColor Color)
{
    TPen* pen = Canvas->Pen();
    pen->SetStyle(psSolid);
    pen->SetMode(pmCopy);
    pen->SetWidth(1);
    pen->SetColor(Color);
}

void SolidBrush(TCanvas* Canvas, TColor Color)
{
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
}

// Lines and rectangles over all rows are far taller than any window: only
// their part over the clip (and a pixel beyond, where an outline would stand)
// is drawn.
void VLine(TCanvas* Canvas, int X, int Y0, int Y1)
{
    const TRect clip = Canvas->ClipRect();
    Y0 = std::max(Y0, clip.Top - 1);
    Y1 = std::min(Y1, clip.Bottom + 1);
    if (Y1 <= Y0)
        return;
    Canvas->MoveTo(X, Y0);
    Canvas->LineTo(X, Y1);
}

void TallRectangle(TCanvas* Canvas, TRect R)
{
    const TRect clip = Canvas->ClipRect();
    R.Top = std::max(R.Top, clip.Top - 1);
    R.Bottom = std::min(R.Bottom, clip.Bottom + 1);
    if (R.Bottom > R.Top)
        Canvas->Rectangle(R);
}

}  // namespace

// ---- helpers -------------------------------------------------------------------------

void TPlannerForm::SelectChartFont(TCanvas* Canvas, int Dpi, int ZoomDelta)
{
    TFont* font = Canvas->Font();
    font->SetName(FFontname);
    font->SetSize(std::max(1, _TimeChartFontSize(ZoomDelta, Dpi)));
    font->SetStyle(TFontStyles());
    font->SetOrientation(0);
    font->SetColor(ChartPalette::LabelText);
}

void TPlannerForm::VisibleRows(TCanvas* Canvas, int DY, int Top, int RowHeight, int& First, int& Last)
{
    const int rows = GetRowCount();
    First = 0;
    Last = rows - 1;
    if (RowHeight <= 0 || rows <= 0)
        return;
    const TRect clip = Canvas->ClipRect();
    const long long lo = ((long long)clip.Top - DY + Top) / RowHeight - 1;
    const long long hi = ((long long)clip.Bottom - DY + Top) / RowHeight + 1;
    First = int(std::clamp<long long>(lo, 0, rows - 1));
    Last = int(std::clamp<long long>(hi, 0, rows - 1));
}

// ---- background ----------------------------------------------------------------------

void TPlannerForm::DrawBackgnd(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top, TDateTime VisEnd,
    TDateTime VisStart)
{
    const int rows = GetRowCount();
    const long long bottom = std::min<long long>((long long)RowHeight * rows, 1 << 30);
    SolidBrush(Canvas, ChartPalette::Background);
    Canvas->FillRect(TRect(DX, DY, DX + Width, DY + int(bottom)));
    if (!Drawable(VisEnd, VisStart, Width))
        return;
    const double p = Width / (VisEnd - VisStart);
    auto xOf = [&](TDateTime D) { return DX + Nearest((D - VisStart) * p); };
    const TRect clip = Canvas->ClipRect();

    if (FMinUnit == muMinute && p > 24 && FMaxDayEnd > FMinDayStart) {
        // Each row's non-working hours of each day, from its week.
        SolidBrush(Canvas, ChartPalette::NonWorking);
        int first = 0, last = -1;
        VisibleRows(Canvas, DY, Top, RowHeight, first, last);
        const double window = FMaxDayEnd - FMinDayStart;
        const double firstDay = std::max(std::floor(VisStart), std::floor(VisStart + (clip.Left - DX) / p) - 1);
        const double lastDay = std::min(VisEnd, VisStart + (clip.Right - DX) / p + 1);
        for (int row = first; row <= last; ++row) {
            const int y0 = DY + row * RowHeight - Top;
            const tWeekInfo week = GetWeekInfo(row);
            for (double day = firstDay; day < lastDay; day += 1) {
                const int left = xOf(day);
                const int right = xOf(day + 1);
                const TRect column(left, y0, right, y0 + RowHeight);
                if (!Canvas->RectVisible(column))
                    continue;
                const TDayInfo& d = week[std::size_t(std::clamp(DayOfWeek(day), 1, 7) - 1)];
                if (!d.active) {
                    Canvas->FillRect(column);
                    continue;
                }
                auto shade = [&](double From, double Till) {
                    const int l = left + Nearest((From - FMinDayStart) / window * p);
                    const int r = left + Nearest((Till - FMinDayStart) / window * p);
                    if (r > l)
                        Canvas->FillRect(TRect(l, y0, r, y0 + RowHeight));
                };
                shade(FMinDayStart, d.start);
                shade(d.ende, FMaxDayEnd);
                for (const TPauseInfo& pause : d.pause)
                    if (pause.length > 0)
                        shade(pause.start, pause.start + pause.length / 1440.0);
            }
        }
    }

    // The grid: months, weeks (from Mondays) or days, by the room a day has.
    const int granularity = p * 7 < 15 ? 1 : (p < 7 ? 2 : 3);
    TDateTime period = std::floor(VisStart);
    if (granularity == 1)
        period = GetFirstDayOfMonth(period);
    else if (granularity == 2)
        period = StartOfISOWeek(period);
    // Periods left of the clip are not drawn; those of days and weeks are
    // skipped at once.
    const double clipStart = VisStart + (clip.Left - DX) / p - 7;
    if (granularity != 1 && period < clipStart) {
        const double step = granularity == 2 ? 7 : 1;
        period += std::floor((clipStart - period) / step) * step;
    }
    SolidPen(Canvas, ChartPalette::Grid);
    const int y0 = DY - 1;
    const int y1 = DY + int(bottom) + 1;
    while (period < VisEnd) {
        const int x = xOf(period);
        if (x >= clip.Right)
            break;
        if (x >= clip.Left)
            VLine(Canvas, x, y0, y1);
        period = granularity == 1 ? IncMonth(period, 1) : period + (granularity == 2 ? 7 : 1);
    }
}

void TPlannerForm::DrawMonthDivider(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, TDateTime VisEnd,
    TDateTime VisStart)
{
    if (!Drawable(VisEnd, VisStart, Width))
        return;
    const double p = Width / (VisEnd - VisStart);
    const long long bottom = std::min<long long>((long long)RowHeight * GetRowCount(), 1 << 30);
    SolidPen(Canvas, ChartPalette::Divider);
    const TRect clip = Canvas->ClipRect();
    for (TDateTime month = GetFirstDayOfMonth(std::floor(VisStart)); month < VisEnd; month = IncMonth(month, 1)) {
        const int x = DX + Nearest((month - VisStart) * p);
        if (x >= clip.Right)
            break;
        if (x + 1 < clip.Left)
            continue;
        for (int line = x; line <= x + 1; ++line)
            VLine(Canvas, line, DY - 1, DY + int(bottom) + 1);
    }
}

// ---- non-working days and holidays ---------------------------------------------------

void TPlannerForm::DrawAutoEntries(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top,
    TDateTime VisEnd, TDateTime VisStart, int ColWidth)
{
    // Only the days over the clip matter: a scroll step repaints a column or
    // two while the list holds every row's days of the whole span.
    TDateTime firstDay = VisStart, till = VisEnd;
    if (Drawable(VisEnd, VisStart, Width)) {
        const double p = Width / (VisEnd - VisStart);
        const TRect clip = Canvas->ClipRect();
        firstDay = std::max<double>(VisStart, VisStart + (clip.Left - DX) / p - 1);
        till = std::min<double>(VisEnd, VisStart + (clip.Right - DX) / p + 1);
    }
    // The list is sorted by date: the first entry not before the days by
    // binary search.
    const tDateList& list = FAutoExcludeList;
    int lo = 0, hi = list.Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (list.GetItems(mid)->start + 1 <= firstDay)
            lo = mid + 1;
        else
            hi = mid;
    }
    const int from = lo;
    int firstRow = 0, lastRow = -1;
    VisibleRows(Canvas, DY, Top, RowHeight, firstRow, lastRow);
    auto rectOf = [&](const TDateListItem& Item) {
        TRect r = TimeChartRect(Top, RowHeight, false, true, Item.position, Width, VisEnd, VisStart,
            std::trunc(Item.start) + 1, Item.start);
        OffsetRect(r, DX, DY);
        return r;
    };
    auto shown = [&](const TDateListItem& Item) {
        return Item.position == AllPositions || (Item.position >= firstRow && Item.position <= lastRow);
    };

    // The span holds the entries of every row; those of the rows in view
    // are found once for both passes.
    std::vector<std::pair<const TDateListItem*, TRect>> inView;
    for (int i = from; i < list.Count(); ++i) {
        const TDateListItem& item = *list.GetItems(i);
        if (item.start >= till)
            break;
        if (!shown(item))
            continue;
        const TRect r = rectOf(item);
        if (r.IsEmpty() || !Canvas->RectVisible(r))
            continue;
        inView.emplace_back(&item, r);
    }

    SolidBrush(Canvas, ChartPalette::Holiday);
    for (const auto& [item, r] : inView) {
        SolidPen(Canvas, ChartPalette::Holiday);
        TallRectangle(Canvas, r);
        SolidPen(Canvas, ChartPalette::Grid);
        VLine(Canvas, r.Left, r.Top, r.Bottom);
        VLine(Canvas, r.Right, r.Top, r.Bottom);
    }

    // The names run downwards inside their day's column.
    TFont* font = Canvas->Font();
    const int charHeight = std::abs(font->Height());
    font->SetHeight(-std::max(1, std::min(ColWidth, charHeight)));
    font->SetOrientation(2700);
    font->SetColor(FlashColor(ChartPalette::Grid, -50));
    Canvas->Brush()->SetStyle(bsClear);
    const int pen = Canvas->Pen()->Width();
    for (const auto& [item, r] : inView)
        if (!item->name.empty())
            Canvas->TextOut(r.Right + (Canvas->TextHeight(item->name) - ColWidth) / 2, r.Top + 2 * pen, item->name);
    font->SetOrientation(0);
    Canvas->Brush()->SetStyle(bsSolid);
}

// ---- row lines, today, arrows --------------------------------------------------------

void TPlannerForm::DrawRowLines(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top)
{
    if (!DrawLines1 || !DrawLines1->Checked())
        return;
    const bool multiRowLines = DrawLinesMultiRow1 && DrawLinesMultiRow1->Checked();
    int first = 0, last = -1;
    VisibleRows(Canvas, DY, Top, RowHeight, first, last);
    SolidPen(Canvas, ChartPalette::Grid);
    for (int i = std::max(1, first); i <= last + 1 && i < GetRowCount(); ++i) {
        if (!multiRowLines && isMultiRow(i))
            continue;
        const int y = DY + i * RowHeight - Top;
        Canvas->MoveTo(DX, y);
        Canvas->LineTo(DX + Width, y);
    }
}

void TPlannerForm::DrawToday(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top, TDateTime VisEnd,
    TDateTime VisStart, int ColWidth)
{
    if (VisEnd == VisStart)
        return;
    const TDateTime now = Now();
    // Wide days show the hours: only the moment is marked, not the day.
    TRect r = ColWidth > 23
                  ? TimeChartRect(Top, RowHeight, false, true, AllPositions, Width, VisEnd, VisStart, now + 0.1, now)
                  : TimeChartRect(Top, RowHeight, false, true, AllPositions, Width, VisEnd, VisStart,
                        std::trunc(now) + 1, std::trunc(now));
    if (r.IsEmpty())
        return;
    OffsetRect(r, DX, DY);
    SolidBrush(Canvas, ChartPalette::Today);
    SolidPen(Canvas, ChartPalette::Today);
    Canvas->Pen()->SetMode(pmMask);
    TallRectangle(Canvas, r);
    Canvas->Pen()->SetMode(pmCopy);
}

void TPlannerForm::FindArrows(const TRect& Window, int Top, int Width, int RowHeight, TDateTime VisEnd,
    TDateTime VisStart, std::vector<TNodeData*>& Rows)
{
    Rows.clear();
    if (Window.IsEmpty() || !Drawable(VisEnd, VisStart, Width) || RowHeight <= 0 ||
        GetConnection(tbTable, cnTermin) < 0)
        return;
    RefreshIndex();
    // The index places each task over its due date as well; an arrow's head
    // may reach a little into the rows above and below.
    const int reach = int(std::ceil(6 * std::max(1, GetZoom()) / 100.0)) + 1;
    const double p = Width / (VisEnd - VisStart);
    const double margin = 2 / p + 1;
    const int rowLo = int(std::floor(double(Window.Top - reach + Top) / RowHeight));
    const int rowHi = int(std::floor(double(Window.Bottom + reach - 1 + Top) / RowHeight));
    std::vector<TNodeData*> candidates;
    FRowIndex->Query(tbTable, rowLo, rowHi, VisStart + Window.Left / p - margin, VisStart + Window.Right / p + margin,
        candidates);
    for (TNodeData* row : candidates)
        if (row->nodeTermin != 0)
            Rows.push_back(row);
}

void TPlannerForm::DrawDueArrows(TCanvas* Canvas, int DY, int DX, int Width, int RowHeight, int Top,
    TDateTime VisEnd, TDateTime VisStart, double Scale)
{
    TRect window = Canvas->ClipRect();
    OffsetRect(window, -DX, -DY);
    std::vector<TNodeData*> rows;
    FindArrows(window, Top, Width, RowHeight, VisEnd, VisStart, rows);
    if (rows.empty())
        return;
    SolidPen(Canvas, clBlack);
    Canvas->Pen()->SetMode(pmMask);
    Canvas->Brush()->SetStyle(bsSolid);
    for (TNodeData* row : rows) {
        TRect r = ArrowRect(row, Top, Width, RowHeight, VisEnd, VisStart);
        if (r == TRect())
            continue;
        OffsetRect(r, DX, DY);
        Canvas->Brush()->SetColor(r.Right < r.Left ? ChartPalette::ArrowLate : ChartPalette::ArrowInTime);
        TPoint from, to;
        ArrowPoints(r, from, to);
        DrawArrow(Canvas, from, to, Scale, 2);
    }
    Canvas->Pen()->SetMode(pmCopy);
}

// ---- the moving bars' info -----------------------------------------------------------

TRect TPlannerForm::ItemInfoReach(TPoint Corner)
{
    // A day and a short month name, centred on the corner: well within three
    // character heights either side and one above and below, measured
    // without a canvas (measuring costs more than painting a little more).
    const int h = std::abs(Font()->Height());
    return TRect(Corner.X - 3 * h - 4, Corner.Y - h - 2, Corner.X + 3 * h + 4, Corner.Y + h + 2);
}

TRect TPlannerForm::ItemInfoBox(TCanvas* Canvas, TPoint Corner, const String& Text)
{
    const TSize size = Canvas->TextExtent(Text);
    const int w = size.cx + 6, h = size.cy + 2;
    return Bounds(Corner.X - w / 2, Corner.Y - h / 2, w, h);
}

void TPlannerForm::DrawItemInfo(TCanvas* Canvas, TWhichTable Table, int DY, int DX, int Width, int RowHeight,
    int Top, TDateTime VisEnd, TDateTime VisStart, TNodeData* Node)
{
    if (!Canvas || !Node || FTimeChartMouseState != msMoveItem || !TimeChart || OwnPanelOf(Canvas) != TimeChart)
        return;
    TRect r = ItemRect(Node, Top, true, Width, RowHeight, VisEnd, VisStart);
    OffsetRect(r, DX, DY);
    // Every bar in view has its label, whether or not the part being painted
    // holds the bar: a label reaches beyond its bar's corner.
    TRect shown;
    if (r.IsEmpty() || !IntersectRect(shown, r, TimeChart->ClientRect()))
        return;
    const TPoint corner{r.Left, r.Bottom};
    if (FMinUnit == muMinute && Table == tbTable) {
        // In minutes the time of day matters: the start on a small clock.
        DrawClock(Canvas, Bounds(corner.X - 8, corner.Y - 8, 17, 17), GetStartOf(Node), clWhite, clBlack, 0.6, 0.8);
        return;
    }
    if (Table != GetActiveTable())
        return;
    Canvas->SetFont(Font());
    if (!Canvas->RectVisible(ItemInfoReach(corner)))
        return;
    const String text = ::FormatDateTime("d.mmm", GetStartOf(Node));
    TRect box = ItemInfoBox(Canvas, corner, text);
    SolidPen(Canvas, clBlack);
    SolidBrush(Canvas, clInfoBk);
    Canvas->Rectangle(box);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetColor(clBlack);
    Canvas->DrawText(text, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    Canvas->Brush()->SetStyle(bsSolid);
}

// ---- the whole body ------------------------------------------------------------------

void TPlannerForm::DrawTimeChart(TCanvas* Canvas, bool Overview, int Dpi, int ZoomDelta, bool ShowToday, int DY,
    int DX, int Width, int Top, TDateTime VisEnd, TDateTime VisStart)
{
    if (!Canvas)
        return;
    SelectChartFont(Canvas, Dpi, ZoomDelta);
    const int fontSize = std::max(1, _TimeChartFontSize(ZoomDelta, Dpi));
    const int rows = GetRowCount();
    int rowHeight = 0;
    if (Overview) {
        const int height = SmallTimeChart ? SmallTimeChart->Height() : 0;
        if (rows <= 0) {
            // No rows to divide the strip into: its background only.
            SolidBrush(Canvas, ChartPalette::Background);
            Canvas->FillRect(TRect(DX, DY, DX + Width, DY + height));
            return;
        }
        rowHeight = height / rows;
    } else {
        rowHeight = TimeChartRowHeight(ZoomDelta);
    }
    const int colWidth = _TimeChartColWidth(ZoomDelta);

    DrawBackgnd(Canvas, DY, DX, Width, rowHeight, Top, VisEnd, VisStart);
    if (!Overview) {
        DrawAutoEntries(Canvas, DY, DX, Width, rowHeight, Top, VisEnd, VisStart, colWidth);
        DrawMonthDivider(Canvas, DY, DX, Width, rowHeight, VisEnd, VisStart);
        DrawRowLines(Canvas, DY, DX, Width, rowHeight, Top);
    }
    DrawBars(Canvas, Overview, fontSize, FFontname, DY, DX, RowSet(), Width, rowHeight, Top, VisEnd, VisStart);
    if (ShowToday)
        DrawToday(Canvas, DY, DX, Width, rowHeight, Top, VisEnd, VisStart, colWidth);
    if (Overview)
        return;
    DrawDueArrows(Canvas, DY, DX, Width, rowHeight, Top, VisEnd, VisStart, (GetZoom() + ZoomDelta) / 100.0);
    if (FTimeChartMouseState == msMoveItem && OwnPanelOf(Canvas) == TimeChart) {
        const TWhichTable active = GetActiveTable();
        for (TWhichTable table : {active == tbTable ? tbExclude : tbTable, active}) {
            TStringTreeGrid* tree = GetTable(table);
            for (TGridNode* node = tree->GetFirstSelected(); node; node = tree->GetNextSelected(node))
                if (TNodeData* row = NodeToRow(tree, node))
                    DrawItemInfo(Canvas, table, DY, DX, Width, rowHeight, Top, VisEnd, VisStart, row);
        }
    }
}

// ---- position labels and the fade-out line -------------------------------------------

void TPlannerForm::DrawTimeChartPositions(TCanvas* Canvas, int Top, int Dpi, int ZoomDelta, int DY, int DX, int Width)
{
    if (!Canvas || !FGlobalPositionFilter)
        return;
    SelectChartFont(Canvas, Dpi, ZoomDelta);
    const int rowHeight = TimeChartRowHeight(ZoomDelta);
    int first = 0, last = -1;
    VisibleRows(Canvas, DY, Top, rowHeight, first, last);
    for (int i = first; i <= last; ++i) {
        if (isMultiRow(i))
            continue;
        TRect r = PositionRect(Canvas, Top, i, Width, rowHeight);
        OffsetRect(r, DX, DY);
        if (r.IsEmpty() || !Canvas->RectVisible(r))
            continue;
        TRect face = r;
        SolidBrush(Canvas, clBtnFace);
        Canvas->FillRect(face);
        Canvas->DrawEdge(face, EDGE_RAISED, BF_RECT);
        Canvas->Brush()->SetStyle(bsClear);
        TRect text = r;
        Canvas->DrawText(FGlobalPositionFilter->Item(i, 0), text,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        Canvas->Brush()->SetStyle(bsSolid);
    }
}

String TPlannerForm::FadeOutText()
{
    if (!HideEmptyPositions() && !HideEmptyMultiRowPositions())
        return String();
    const TCommaText empty;
    const TCommaText& all = FNoAutoGlobalPositionFilter ? *FNoAutoGlobalPositionFilter : empty;
    const TCommaText& shown = FGlobalPositionFilter ? *FGlobalPositionFilter : empty;
    if (all.AsString() == shown.AsString())
        return Translate("automatically fade-out suppressed");
    std::unordered_set<String> kept;
    for (int i = 0; i < shown.Count(); ++i)
        kept.insert(shown.Item(i));
    String names;
    for (int i = 0; i < all.Count(); ++i)
        if (!kept.count(all.Item(i)))
            names += (names.empty() ? "" : ",") + all.Item(i, 0);
    return FillText(Translate("automatically fade-out: %s"), {names});
}

void TPlannerForm::DrawFadeOutLine(TCanvas* Canvas)
{
    const String text = FadeOutText();
    if (text.empty())
        return;
    const long long y = (long long)TimeChartRowHeight(0) * GetRowCount() - FTimeChartTop + 5;
    if (y > TimeChart->Height())
        return;
    SelectChartFont(Canvas, 0, 0);
    SolidBrush(Canvas, ChartPalette::Background);
    Canvas->TextOut(3, int(y), text);
}

// ---- the chart body's paint ----------------------------------------------------------

void TPlannerForm::TimeChartPaint()
{
    redrawcount = 0;
    TCanvas* c = TimeChart->Canvas();
    // Below the last row the panel shows its own colour.
    SolidBrush(c, TimeChart->Color());
    c->FillRect(c->ClipRect());
    const int width = TimeChart->Width();
    // After a move the labels at the left and a strip at the far side are
    // to be painted: painted apart, each part finds only its own bars and
    // grid instead of the whole width between them.
    const TRect clip = c->ClipRect();
    SelectChartFont(c, 0, 0);
    const int labels = GetRowCount() > 0 ? PositionRect(c, 0, 0, width, TimeChartRowHeight(0)).Right : 0;
    std::vector<TRect> parts{clip};
    if (labels > clip.Left && labels < clip.Right)
        parts = {TRect(clip.Left, clip.Top, labels, clip.Bottom), TRect(labels, clip.Top, clip.Right, clip.Bottom)};
    for (const TRect& part : parts) {
        const int saved = c->SaveDC();
        c->IntersectClipRect(part);
        if (!c->ClipRect().IsEmpty())
            DrawTimeChart(c, false, 0, 0, true, 0, 0, width, FTimeChartTop, GetTimeChartEnd(), FTimeChartStart);
        c->RestoreDC(saved);
    }
    DrawTimeChartPositions(c, FTimeChartTop, 0, 0, 0, 0, width);
    if ((FTimeChartMouseState == msNewItem || FTimeChartMouseState == msSelectItem ||
            FTimeChartMouseState == msResizeItem) &&
        (FChartFrame.Left != FChartFrame.Right || FChartFrame.Top != FChartFrame.Bottom))
        FocusRect(c, FChartFrame);
    DrawFadeOutLine(c);
}
