// The planner form: its chart controls, the document's hooks it answers and
// the row index it keeps current.
#include "views/PlannerForm.h"

#include <algorithm>
#include <cmath>

#include "components/Clock.h"
#include "components/KitSplitter.h"
#include "components/KitToolBar.h"
#include "components/TreeGrid/TreeGridOptions.h"
#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/ExtCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "views/BarPictureCache.h"
#include "views/CanvasPanel.h"
#include "views/ChartRowIndex.h"
#include "views/DrawingHelpers.h"
#include "views/EditorPanel.h"
#include "views/OverviewStrip.h"

TPlannerForm::TPlannerForm(TComponent* AOwner)
    : TScheduleDocument(AOwner),
      FRowIndex(std::make_unique<TChartRowIndex>()),
      FPictures(std::make_unique<TBarPictureCache>()),
      FOverview(std::make_unique<TOverviewPicture>())
{
    // Rows are appended at the end of their table: such a row follows every
    // other in tree order.
    FRowIndex->SetIsLast([this](TNodeData* Row) {
        TStringTreeGrid* tree = GetTable(Row->NodeTable);
        return tree && tree->GetLastChildNoInit(nullptr) == Row->VNode;
    });
    // Bars are selected several at a time on the chart (Ctrl, the rubber
    // band) and moved together.
    for (TStringTreeGrid* tree : {StringTreeGrid1, StringTreeGrid2}) {
        TTGSelectionOptions options = tree->TreeOptions()->SelectionOptions();
        options.Include(toMultiSelect);
        tree->TreeOptions()->SetSelectionOptions(options);
    }
    FTimeChartStart = TimeChartStartDestination = std::trunc(Date());
    SliderTimer = Create<TTimer>(this);
    SliderTimer->SetName("SliderTimer");
    SliderTimer->SetInterval(15);
    SliderTimer->SetEnabled(false);
    SliderTimer->OnTimer = [this](TObject* Sender) { SliderTimerTimer(Sender); };
    FlashSelectedTimer = Create<TTimer>(this);
    FlashSelectedTimer->SetName("FlashSelectedTimer");
    FlashSelectedTimer->SetInterval(100);
    FlashSelectedTimer->SetEnabled(false);
    FlashSelectedTimer->OnTimer = [this](TObject* Sender) { FlashSelectedTimerTimer(Sender); };
    // Never shown: the moving bar's start time is drawn with its face.
    Clock1 = Create<TClock>(this);
    Clock1->SetName("Clock1");
    Clock1->SetVisible(false);
    Clock1->SetBounds(0, 0, 17, 17);
    CreateTableActions();
}

TPlannerForm::~TPlannerForm() = default;

void TPlannerForm::BeforeDestruction()
{
    if (ChangeEditorVisibleTimer)
        ChangeEditorVisibleTimer->SetEnabled(false);
    // The rows go with the document; nothing of them may be kept here after.
    SliderTimer->SetEnabled(false);
    FlashSelectedTimer->SetEnabled(false);
    if (TimeChartChangeGroupTimer)
        TimeChartChangeGroupTimer->SetEnabled(false);
    TScheduleDocument::BeforeDestruction();
}

void TPlannerForm::CreateViewPanels()
{
    // Below every bar already along the top edge: top-aligned controls line
    // up by their position.
    const int below = ClientHeight() + 1000;
    TimeChartPanel = Build<TPanel>(this, "TimeChartPanel").Parent(this).Bounds(0, below, ClientWidth(), 300)
                         .Align(alTop).Caption("").Get();
    TimeChartPanel->SetBevelOuter(bvNone);
    TimeChartPanel->SetColor(clBtnShadow);
    // Not the chart's own resize: that comes while the panel lays out its
    // controls, and the overview's new height would not be laid out.
    TimeChartPanel->OnResize = [this](TObject*) { FitOverview(); };
    // A splitter starts out left-aligned, which would stretch it to the full
    // height: it is turned first, then placed.
    Splitter1 = Build<TKitSplitter>(this, "Splitter1").Align(alTop).Parent(this)
                    .Bounds(0, below + 2000, ClientWidth(), 10).Get();
    Splitter1->SetMinSize(40);
    // The chart keeps at least the splitter's minimum below its captions.
    Splitter1->OnCanResize = [this](TObject*, int& NewSize, bool&) {
        NewSize = std::max(NewSize, TimeChartScrollBarBox->Top() + Splitter1->MinSize());
    };
    Panel1 = Build<TPanel>(this, "Panel1").Parent(this).Align(alClient).Caption("").Get();
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetColor(clWindow);

    // Inside the chart area, from the top: the overview bar and its
    // splitter, the caption rows, then the chart body.
    dfsToolBar1 = Build<TKitToolBar>(this, "dfsToolBar1").Parent(TimeChartPanel).Bounds(0, 0, ClientWidth(), 41)
                      .Align(alTop).Caption("General View").Get();
    dfsToolBar1->SetHint("General View");
    dfsToolBar1->OnResize = [this](TObject*) { dfsToolBar1Resize(); };
    dfsToolBar1->OnMaximize = [this](TObject*) { dfsToolBar1Resize(); };
    SmallTimeChartCaption = Build<TCanvasPanel>(this, "SmallTimeChartCaption").Parent(dfsToolBar1)
                                .Bounds(0, 0, ClientWidth(), 17).Align(alTop).Caption("").Get();
    SmallTimeChartCaption->SetBevelOuter(bvNone);
    SmallTimeChart = Build<TCanvasPanel>(this, "SmallTimeChart").Parent(dfsToolBar1).Align(alClient).Caption("").Get();
    SmallTimeChart->SetBevelOuter(bvNone);
    SmallTimeChart->SetColor(clWhite);
    Splitter3 = Build<TKitSplitter>(this, "Splitter3").Align(alTop).Parent(TimeChartPanel)
                    .Bounds(0, 50, ClientWidth(), 10).Get();
    // Folded, the overview keeps its caption row.
    Splitter3->SetMinSize(17);
    Splitter3->SetButtonHighlightColor(0xDBBDA7);
    Splitter3->SetAutoHighlightColor(true);
    Splitter3->SetAutoSnap(false);
    Splitter3->OnCanResize = [this](TObject*, int& NewSize, bool& Accept) { Splitter3CanResize(NewSize, Accept); };
    Splitter3->OnMoved = [this](TObject*) {
        SetSmallTimeChartRowHeight((dfsToolBar1->Height() - SmallTimeChartCaption->Height()) / std::max(1, GetRowCount()));
        SetFileChanged(true);
    };
    TimeChartCaption = Build<TCanvasPanel>(this, "TimeChartCaption").Parent(TimeChartPanel)
                           .Bounds(0, 60, ClientWidth(), TimeChartFullRowHeight(0)).Align(alTop).Caption("").Get();
    TimeChartCaption->SetBevelOuter(bvNone);
    TimeChartCaption->SetColor(clWhite);
    TimeChartScrollBarBox = Build<TScrollBarBox>(this, "TimeChartScrollBarBox").Parent(TimeChartPanel)
                                .Align(alClient).Caption("").Get();
    TimeChartScrollBarBox->SetBorderStyle(bsNone);
    TimeChartScrollBarBox->OnHorzScroll = [this](TObject*) { ScrollBarBoxHorzScroll(); };
    TimeChartScrollBarBox->OnVertScroll = [this](TObject*) { ScrollBarBoxVertScroll(); };
    TimeChart = Build<TCanvasPanel>(this, "TimeChart").Parent(TimeChartScrollBarBox).Align(alClient).Caption("").Get();
    TimeChart->SetBevelOuter(bvNone);
    TimeChart->SetColor(clBtnShadow);
    TimeChart->SetTabStop(true);
    TimeChart->OnPaint = [this](TObject*) { TimeChartPaint(); };
    TimeChart->OnResize = [this](TObject*) { TimeChartResize(); };
    SmallTimeChart->OnPaint = [this](TObject*) { SmallTimeChartPaint(); };
    TimeChartCaption->OnPaint = [this](TObject*) { TimeChartCaptionPaint(); };
    SmallTimeChartCaption->OnPaint = [this](TObject*) { SmallTimeChartCaptionPaint(); };
    auto wheel = [this](TObject*, TShiftState Shift, int Delta, TPoint, bool& Handled) {
        TimeChartMouseWheel(Shift, Delta, Handled);
    };
    TimeChart->OnMouseWheel = wheel;
    SmallTimeChart->OnMouseWheel = wheel;
    CreateTimeChartMouse();
    // The editor's dock first: the splitter beside it goes to its left.
    CreateEditorPanel();
    CreateTablePanel();
    UpdateFont();
}

// ---- the document's hooks ------------------------------------------------------------

void TPlannerForm::RowPlaceChanged(TNodeData* Row) { FRowIndex->Touch(Row); }

void TPlannerForm::RowOrderChanged(TWhichTable Table)
{
    FRowIndex->OrderChanged(Table);
    InvalidateTimeChart(false);
}

void TPlannerForm::RowGone(TNodeData* Row)
{
    FRowIndex->Forget(Row);
    FPictures->Forget(Row);
    for (TSelectedRows& list : FSelectedList)
        list.Remove(Row);
    if (FGrabbedNode == Row)
        FGrabbedNode = nullptr;
    if (EditorPanel)
        EditorPanel->RowGone(Row);
    if (FResizeNode == Row)
        FResizeNode = nullptr;
    const auto band = std::lower_bound(FBandRows.begin(), FBandRows.end(), Row);
    if (band != FBandRows.end() && *band == Row)
        FBandRows.erase(band);
}

void TPlannerForm::UpdateInternalVariables()
{
    TScheduleDocument::UpdateInternalVariables();
    // Rows may show in other rows now: every place is worked out again.
    for (TWhichTable table : {tbTable, tbExclude})
        ForEach(table, feAll, 0, [this](TNodeData* Row, NativeInt) { FRowIndex->Touch(Row); });
    FCaptionWidth = TCaptionWidth();
    // The overview keeps its row height for the rows there are now.
    SetSmallTimeChartRowHeight(FSmallTimeChartRowheight);
    InvalidateTimeChart(true);
}

TChartPlace TPlannerForm::PlaceOf(TNodeData* Row)
{
    TChartPlace place;
    if (!Row || !Row->VNode)
        return place;
    // A stale end is worked out now, as invalidating the row's bar would:
    // a row whose end was never written becomes valid only then.
    if (Row->RecalcEndOf)
        GetEndOf(Row);
    if (!Row->VNode || !Row->nodeValid)
        return place;
    const int position = GetPositionOf(Row);
    if (position < 0 && position != AllPositions)
        return place;
    const bool absent = Row->NodeTable == tbExclude;
    place.Start = Row->nodeStart;
    place.End = FMinUnit == muDay || absent ? std::trunc(Row->nodeEnd) + 1 : Row->nodeEnd;
    if (!std::isfinite(place.Start) || !std::isfinite(place.End))
        return place;
    // A task's due-date arrow runs from its end to its due date: the task
    // is found over that span as well.
    const TDateTime due = absent ? 0 : GetTerminOf(Row);
    if (due != 0 && std::isfinite(due)) {
        place.Start = std::min(place.Start, due);
        place.End = std::max(place.End, due);
    }
    const int row = absent ? Row->nodePosition : position;
    if (row == AllPositions) {
        place.AllRows = true;
    } else if (absent) {
        const std::vector<int> span = _GetMultipleRowSpan(tbExclude, row);
        place.RowFirst = -1;
        for (int r : span)
            if (r >= 0) {
                if (place.RowFirst < 0)
                    place.RowFirst = r;
                ++place.RowCount;
            }
        if (place.RowFirst < 0)
            return place;
    } else {
        place.RowFirst = row;
        place.RowCount = 1;
    }
    place.Shown = true;
    return place;
}

void TPlannerForm::RefreshIndex()
{
    BeginCalendarPass();
    try {
        FRowIndex->Refresh([this](TNodeData* Row) { return PlaceOf(Row); },
            [this](TWhichTable Table, const std::function<void(TNodeData*)>& Fn) {
                TStringTreeGrid* tree = GetTable(Table);
                for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node))
                    if (TNodeData* row = NodeToRow(tree, node))
                        Fn(row);
            });
    } catch (...) {
        EndCalendarPass();
        throw;
    }
    EndCalendarPass();
}

TChartRowIndex& TPlannerForm::RowIndex()
{
    RefreshIndex();
    return *FRowIndex;
}

void TPlannerForm::FindBars(TWhichTable Table, const TRect& Window, int Top, bool KeepFullHeight, int Width,
    int RowHeight, TDateTime VisEnd, TDateTime VisStart, std::vector<TNodeData*>& Rows, std::vector<TRect>* Rects)
{
    Rows.clear();
    if (Rects)
        Rects->clear();
    if (Window.IsEmpty() || VisEnd == VisStart || Width <= 0 || RowHeight <= 0)
        return;
    RefreshIndex();
    const double p = Width / (VisEnd - VisStart);
    if (!std::isfinite(p) || p <= 0)
        return;
    // Whole days around the window: rounding and an absence's extra pixel
    // never reach further. In minute mode a day's working window may spread
    // its times beyond the day's own column.
    double margin = 2 / p + 1;
    if (FMinUnit == muMinute) {
        double spill = 0;
        auto account = [&](const tWeekInfo& Week) {
            for (const TDayInfo& d : Week) {
                if (d.ende > d.start)
                    spill = std::max(spill, (FMaxDayEnd - d.start) / (d.ende - d.start));
                if (FMaxDayEnd > FMinDayStart)
                    spill = std::max(spill, std::fabs(d.start - FMinDayStart) / (FMaxDayEnd - FMinDayStart));
            }
        };
        for (const tWeekInfo& week : FWeekInfo)
            account(week);
        account(GetWeekInfo(-1));
        margin += std::min(spill, 1e6) + 1;
    }
    const double dateLo = VisStart + Window.Left / p - margin;
    const double dateHi = VisStart + Window.Right / p + margin;
    const int rowLo = int(std::floor(double(Window.Top + Top) / RowHeight));
    const int rowHi = int(std::floor(double(Window.Bottom - 1 + Top) / RowHeight));
    std::vector<TNodeData*> candidates;
    FRowIndex->Query(Table, rowLo, rowHi, dateLo, dateHi, candidates);
    Rows.reserve(candidates.size());
    for (TNodeData* row : candidates) {
        const TRect r = ItemRect(row, Top, KeepFullHeight, Width, RowHeight, VisEnd, VisStart);
        TRect common;
        if (IntersectRect(common, r, Window)) {
            Rows.push_back(row);
            if (Rects)
                Rects->push_back(r);
        }
    }
}

void TPlannerForm::InvalidateChartRect(TRect R, bool Large)
{
    if (R.IsEmpty())
        return;
    if (Large) {
        R.Right += 8;
        R.Bottom += 8;
    }
    if (!IntersectRect(R, R, TimeChart->ClientRect()))
        return;
    if (FChartRectsHeld)
        FHeldChartRects.push_back(R);
    else
        TimeChart->InvalidateRect(R);
}

void TPlannerForm::HoldChartRects() { ++FChartRectsHeld; }

void TPlannerForm::ReleaseChartRects()
{
    if (FChartRectsHeld == 0 || --FChartRectsHeld > 0)
        return;
    // A gesture invalidates each bar's places several times over (before
    // and after each changed cell): each place once.
    auto distinct = [](std::vector<TRect>& Held) {
        std::vector<TRect> rects = std::move(Held);
        Held.clear();
        std::sort(rects.begin(), rects.end(), [](const TRect& A, const TRect& B) {
            return std::tie(A.Top, A.Left, A.Bottom, A.Right) < std::tie(B.Top, B.Left, B.Bottom, B.Right);
        });
        rects.erase(std::unique(rects.begin(), rects.end()), rects.end());
        return rects;
    };
    for (const TRect& r : distinct(FHeldChartRects))
        TimeChart->InvalidateRect(r);
    for (const TRect& r : distinct(FHeldOverviewRects))
        InvalidateOverview(r);
}

void TPlannerForm::InvalidateNode(TNodeData* Row, bool Large)
{
    if (!Row)
        return;
    FRowIndex->Touch(Row);
    TScheduleDocument::InvalidateNode(Row, Large);
    InvalidateBar(Row, Large);
}

void TPlannerForm::InvalidateBar(TNodeData* Row, bool Large)
{
    if (!Row || IsUpdating() || !Row->VNode || !TimeChart)
        return;
    // A selected bar casts a shadow and, while dragged, carries a label:
    // wherever it is painted over, those go with it.
    Large = Large || IsSelectedInActiveTable(Row);
    if (!TimeChart->HandleAllocated()) {
        // Nothing is shown yet; the overview's kept drawing is stale though.
        FOverview->InvalidateAll();
        return;
    }
    try {
        // Where the bar stands now (its end as last worked out): that is what
        // must be painted over.
        const int width = TimeChart->Width();
        const int rowHeight = TimeChartRowHeight(0);
        const TDateTime start = FTimeChartStart;
        const TDateTime end = GetTimeChartEnd();
        const TRect arrow = ArrowRectOf(Row, Row->nodeEnd, FTimeChartTop, width, rowHeight, end, start);
        if (!(arrow == TRect())) {
            TPoint from, to;
            ArrowPoints(arrow, from, to);
            const TRegion region = ArrowRgn(TimeChart->Canvas(), from, to, GetZoom() / 100.0);
            const TRect box = region.Bounds();
            InvalidateChartRect(box, false);
        }

        const int rows = std::max(1, GetRowCount());
        const int smallHeight = SmallTimeChart->Height() / rows;
        const TRect overview = ItemRectOf(Row, Row->nodeEnd, 0, true, SmallTimeChart->Width(), std::max(1, smallHeight),
            FMaxDate, FMinDate);
        if (!overview.IsEmpty()) {
            TRect r = overview;
            if (Large) {
                r.Right += 8;
                r.Bottom += 8;
            }
            InvalidateOverview(r);
        }

        const TRect bar = ItemRectOf(Row, Row->nodeEnd, FTimeChartTop, false, width, rowHeight, end, start);
        InvalidateChartRect(bar, Large);
        if (Large && FTimeChartMouseState == msMoveItem && !bar.IsEmpty()) {
            // The label stands at the corner of the bar's full row height,
            // as it is drawn.
            const TRect full = ItemRectOf(Row, Row->nodeEnd, FTimeChartTop, true, width, rowHeight, end, start);
            const TPoint corner{full.Left, full.Bottom};
            if (FMinUnit == muMinute && Row->NodeTable == tbTable) {
                InvalidateChartRect(Bounds(corner.X - 8, corner.Y - 8, 17, 17), false);
            } else if (Row->NodeTable == GetActiveTable()) {
                InvalidateChartRect(ItemInfoReach(corner), false);
            }
        }
        if (FDrawFullText && !bar.IsEmpty())
            InvalidateChartRect(TRect{bar.Left, bar.Top, width, bar.Bottom}, Large);
    } catch (...) {
    }
}
