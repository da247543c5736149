// The chart under the mouse: hovering, selecting, moving and resizing bars,
// drawing new ones, the rubber band, panning with the right button, the
// context menu and the group tab switch while a bar is dragged. One press to
// release is one undo step.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "components/TreeGrid/TreeGridHeader.h"
#include "document/DocumentScopes.h"
#include "platform/ActnList.h"
#include "platform/DateUtils.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "views/CanvasPanel.h"
#include "views/ChartCursors.h"
#include "views/PlannerForm.h"

namespace {

// Pixels left of 0 belong to the day before, not to day 0.
int FloorDiv(Int64 A, int B)
{
    if (B <= 0)
        B = 1;
    return int(A >= 0 ? A / B : -((-A + B - 1) / B));
}

// Gathers the chart's invalidations of one step of a gesture.
class TChartRectHold {
public:
    explicit TChartRectHold(TPlannerForm& Form) : FForm(Form) { FForm.HoldChartRects(); }
    ~TChartRectHold() { FForm.ReleaseChartRects(); }
    TChartRectHold(const TChartRectHold&) = delete;
    TChartRectHold& operator=(const TChartRectHold&) = delete;

private:
    TPlannerForm& FForm;
};

TRect Normalised(TPoint A, TPoint B)
{
    return TRect(std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y));
}

// The pixels the dotted frame for F covers, as the canvas draws it.
TRegion FrameOutline(const TRect& F)
{
    const TRect n = Normalised(TPoint{F.Left, F.Top}, TPoint{F.Right, F.Bottom});
    TRegion outline;
    if (n.IsEmpty())
        return outline;
    outline = TRegion::FromRect(TRect(n.Left, n.Top, n.Right, n.Top + 1))
                  .United(TRegion::FromRect(TRect(n.Left, n.Bottom - 1, n.Right, n.Bottom)));
    if (n.Height() > 2)
        outline = outline.United(TRegion::FromRect(TRect(n.Left, n.Top + 1, n.Left + 1, n.Bottom - 1)))
                      .United(TRegion::FromRect(TRect(n.Right - 1, n.Top + 1, n.Right, n.Bottom - 1)));
    return outline;
}

std::vector<TNodeData*> SelectedRows(TScheduleDocument& Doc, TWhichTable Table)
{
    std::vector<TNodeData*> rows;
    TStringTreeGrid* tree = Doc.GetTable(Table);
    if (!tree)
        return rows;
    rows.reserve(std::size_t(std::max(0, tree->SelectedCount())));
    for (TGridNode* node = tree->GetFirstSelected(); node; node = tree->GetNextSelected(node))
        if (TNodeData* row = Doc.NodeToRow(tree, node))
            rows.push_back(row);
    return rows;
}

}  // namespace

void TPlannerForm::CreateTimeChartMouse()
{
    TimeChart->OnMouseDown = [this](TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
        TimeChartMouseDown(Button, Shift, X, Y);
    };
    TimeChart->OnMouseMove = [this](TObject*, TShiftState Shift, int X, int Y) { TimeChartMouseMove(Shift, X, Y); };
    TimeChart->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
        TimeChartMouseUp(Button, Shift, X, Y);
    };
    TimeChartChangeGroupTimer = Create<TTimer>(this);
    TimeChartChangeGroupTimer->SetName("TimeChartChangeGroupTimer");
    TimeChartChangeGroupTimer->SetInterval(60);
    TimeChartChangeGroupTimer->SetEnabled(false);
    TimeChartChangeGroupTimer->OnTimer = [this](TObject* Sender) { TimeChartChangeGroupTimerTimer(Sender); };

    auto action = [this](const char* Name, const char* Caption, std::function<void()> Execute) {
        auto* a = Create<TAction>(this);
        a->SetName(Name);
        a->SetCaption(Caption);
        a->OnExecute = [Execute = std::move(Execute)](TObject*) { Execute(); };
        return a;
    };
    ActionSplit = action("ActionSplit", "Split Task here", [this] { ActionSplitExecuteHere(); });
    ActionCopyNode = action("ActionCopyNode", "copy this Task", [this] { ActionCopyNodeExecute(); });
    ActionPasteNode = action("ActionPasteNode", "paste Task here", [this] { ActionPasteNodeExecute(); });
    ActionPasteNode->SetEnabled(false);
    TimeChartPopupMenu = Create<TPopupMenu>(this);
    TimeChartPopupMenu->SetName("TimeChartPopupMenu");
    int n = 0;
    for (TAction* a : {ActionSplit, ActionCopyNode, ActionPasteNode}) {
        auto* item = Create<TMenuItem>(this);
        item->SetName("TimeChartPopupItem" + std::to_string(++n));
        item->SetAction(a);
        TimeChartPopupMenu->Items()->Add(item);
    }
}

// ---- what lies under the pointer -----------------------------------------------------

TNodeData* TPlannerForm::BarAt(int X, int Y, bool& OverFiltered, TRect& Rect)
{
    OverFiltered = false;
    if (!TimeChart || GetRowCount() <= 0)
        return nullptr;
    const int width = TimeChart->Width();
    const int rowHeight = TimeChartRowHeight(0);
    const TDateTime start = FTimeChartStart;
    const TDateTime end = GetTimeChartEnd();
    const TWhichTable active = GetActiveTable();
    TNodeData* found = nullptr;
    std::vector<TNodeData*> rows;
    std::vector<TRect> rects;
    // The order the bars are painted in: the other table, then the active
    // one; in each the plain bars, then the selected ones again on top.
    for (TWhichTable table : {active == tbTable ? tbExclude : tbTable, active}) {
        FindBars(table, TRect(X, Y, X + 1, Y + 1), FTimeChartTop, false, width, rowHeight, end, start, rows, &rects);
        TNodeData* plain = nullptr;
        TNodeData* selected = nullptr;
        TRect plainRect, selectedRect;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            TNodeData* row = rows[i];
            if (IsNodeFiltered(row)) {
                OverFiltered = true;
                continue;
            }
            if (row->VNodeTable->Selected(row->VNode)) {
                selected = row;
                selectedRect = rects[i];
            } else {
                plain = row;
                plainRect = rects[i];
            }
        }
        if (selected) {
            found = selected;
            Rect = selectedRect;
        } else if (plain) {
            found = plain;
            Rect = plainRect;
        }
    }
    if (found)
        OverFiltered = false;
    return found;
}

void TPlannerForm::TimeChartHover(int X, int Y)
{
    if (!TimeChart)
        return;
    bool filtered = false;
    TRect bar;
    FGrabbedNode = BarAt(X, Y, filtered, bar);
    TCursor cursor = crDefault;
    if (FGrabbedNode) {
        const int grab = ResizeGrabWidth();
        if (X < bar.Left + grab || X >= bar.Right - grab)
            cursor = crSizeWE;
        else
            cursor = FGrabbedNode->NodeTable == GetActiveTable() ? crHandOpen : crHandSwitch;
    }
    TimeChart->SetCursor(cursor);
    const String hint = filtered ? Translate("filtered tasks cannot be modified") : String();
    if (hint != FChartHint) {
        FChartHint = hint;
        TimeChart->SetHint(hint);
        TimeChart->SetShowHint(!hint.empty());
        // A hint shown for the last bar must not stay over this one.
        if (Application)
            Application->CancelHint();
    }
}

TDateTime TPlannerForm::ChartDateAt(int X, int Row, TWhichTable Table)
{
    if (FMinUnit == muMinute && Table == tbTable)
        return GetExactDate(X, Row);
    return FTimeChartStart + FloorDiv(X, GetTimeChartColWidth());
}

// ---- press ---------------------------------------------------------------------------

void TPlannerForm::TimeChartMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (TimeChart->CanFocus())
        TimeChart->SetFocus();
    FMouse = FLastMouse = FMouseWhenDown = TPoint{X, Y};
    if (FTimeChartMouseState == msPoppedUp) {
        FTimeChartMouseState = msNone;
        FGrabbedNode = nullptr;
    }
    // The press may come without a move before it (the pointer came back
    // from a menu, or a click was sent): what lies under it counts.
    if (FTimeChartMouseState == msNone)
        TimeChartHover(X, Y);
    if (Button == mbRight) {
        SetCaptureControl(TimeChart);
        FTimeChartMouseState = msPopup;
        return;
    }
    if (Button != mbLeft)
        return;
    SetCaptureControl(TimeChart);
    const bool shift = Shift.Contains(ssShift);
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool alt = Shift.Contains(ssAlt);
    const int rowHeight = TimeChartRowHeight(0);
    if (shift && !ctrl && !alt) {
        FTimeChartMouseState = msSelectItem;
        FBandRows.clear();
    } else if (!shift && !ctrl && !alt && !FGrabbedNode &&
               Int64(Y) + FTimeChartTop < Int64(rowHeight) * GetRowCount()) {
        FTimeChartMouseState = msNewItem;
    }
    TNodeData* row = FGrabbedNode;
    if (!row) {
        if (!ctrl)
            if (TStringTreeGrid* tree = GetTable(GetActiveTable()))
                tree->ClearSelection();
        return;
    }

    SetActiveTable(row->NodeTable);
    FUndoRedoGroupIndex = UndoRedo().GetGroupIndex();
    FDateRef = TimeChartXToDate(X) - GetStartOf(row);
    TStringTreeGrid* tree = row->VNodeTable;
    const bool wasSelected = tree->Selected(row->VNode);
    if (!ctrl && !wasSelected)
        tree->ClearSelection();
    if (!wasSelected || ctrl) {
        if (wasSelected)
            InvalidateNode(row, true);
        tree->SetSelected(row->VNode, !wasSelected);
        InvalidateNode(row, true);
    }
    // A Ctrl+click that unselects the bar only unselects it: neither the
    // other selected bars nor this one follow the pointer afterwards.
    const bool selected = tree->Selected(row->VNode);
    if (selected)
        tree->SetFocusedNode(row->VNode);
    const TCursor cursor = TimeChart->Cursor();
    if (selected && (cursor == crHandOpen || cursor == crHandSwitch)) {
        Screen->SetCursor(crHandClosed);
        FTimeChartMouseState = msMoveItem;
    } else if (selected && cursor == crSizeWE) {
        FTimeChartMouseState = msResizeItem;
        FResizeNode = row;
        bool filtered = false;
        TRect bar = ItemRect(row, FTimeChartTop, false, TimeChart->Width(), rowHeight, GetTimeChartEnd(),
            FTimeChartStart);
        BarAt(X, Y, filtered, bar);
        const bool nearRight = X >= bar.Right - ResizeGrabWidth();
        int anchor = nearRight ? bar.Left : bar.Right;
        if (FMinUnit == muDay || row->NodeTable == tbExclude) {
            // Whole days: the anchor stands inside the day it keeps, the
            // first one or the last one, not on the boundary after it.
            const TDateTime day = nearRight ? std::floor(GetStartOf(row)) : std::floor(GetEndOf(row));
            anchor = int(std::floor((day - FTimeChartStart) * GetTimeChartColWidth()));
        }
        FMouse.X = FMouseWhenDown.X = anchor;
    }
    ResetFlashSelectedTimer();
}

// ---- moves ---------------------------------------------------------------------------

void TPlannerForm::TimeChartMouseMove(TShiftState Shift, int X, int Y)
{
    const TPoint p{X, Y};
    if (FTimeChartMouseState == msNone)
        TimeChartHover(X, Y);
    if (FTimeChartMouseState == msPopup &&
        (std::abs(X - FMouseWhenDown.X) > 2 || std::abs(Y - FMouseWhenDown.Y) > 2)) {
        FTimeChartMouseState = msScroll;
        Screen->SetCursor(crSizeAll);
    }
    if (FTimeChartMouseState == msScroll) {
        SetTimeChartDestination(TimeChartTopDestination + (Y - FMouse.Y), TimeChartStartDestination + (X - FMouse.X));
        FMouse = p;
    } else if (FTimeChartMouseState == msMoveItem) {
        const int tab = PositionGroupTabAt(TimeChart->ClientToScreen(p));
        if (tab >= 0 && tab != GetPositionGroupIndex() && !TimeChartChangeGroupTimer->Enabled()) {
            TimeChartChangeGroupTimer->SetTag(0);
            TimeChartChangeGroupTimer->SetEnabled(true);
        }
        if (!TimeChartChangeGroupTimer->Enabled())
            Screen->SetCursor(crHandClosed);
        MoveSelectedBars(X, Y);
    } else if (FTimeChartMouseState == msSelectItem) {
        if (Shift.Contains(ssShift) && Shift.Contains(ssLeft) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) &&
            !Shift.Contains(ssRight) && !Shift.Contains(ssMiddle) && !FGrabbedNode)
            SelectInBand(X, Y);
    } else if (FTimeChartMouseState == msNewItem || FTimeChartMouseState == msResizeItem) {
        TrackFrame(X, Y);
    }
    FLastMouse = p;
}

void TPlannerForm::MoveSelectedBars(int X, int Y)
{
    TNodeData* grabbed = FGrabbedNode;
    if (!grabbed || !grabbed->VNode)
        return;
    const TWhichTable table = GetActiveTable();
    double d = TimeChartXToDate(X) - FDateRef - GetStartOf(grabbed);
    if (FMinUnit == muDay || table == tbExclude)
        d = std::trunc(d);
    if (!std::isfinite(d))
        return;
    const int rowHeight = TimeChartRowHeight(0);
    // A bar for all positions stands in every row: it moves in time only,
    // and takes no other bar along into another row.
    const int grabbedRow = GetPositionOf(grabbed);
    const int r = grabbedRow == AllPositions ? 0 : FloorDiv(Int64(FTimeChartTop) + Y, rowHeight) - grabbedRow;
    const std::vector<TNodeData*> rows = SelectedRows(*this, table);
    const int count = GetRowCount();
    bool rowsMove = r != 0;
    for (TNodeData* row : rows) {
        const int position = GetPositionOf(row);
        if (position != AllPositions && (position + r < 0 || position + r >= count))
            rowsMove = false;
    }
    bool datesMove = d != 0;
    if (datesMove && FDenyMoveBeforeNow) {
        const TDateTime now = FMinUnit == muDay ? Date() : Now();
        for (TNodeData* row : rows)
            if (GetStartOf(row) + d < now)
                datesMove = false;
    }
    if (!rowsMove && !datesMove)
        return;
    TChartRectHold hold(*this);
    for (TNodeData* row : rows) {
        if (rowsMove) {
            const int position = GetPositionOf(row);
            if (position != AllPositions)
                SetPositionOf(row, position + r);
        }
        if (datesMove) {
            TDateTime s = GetStartOf(row) + d;
            if (FMinUnit == muMinute && row->NodeTable == tbTable) {
                // Into the working day of the row's position on that weekday.
                const tWeekInfo week = GetWeekInfo(GetPositionOf(row));
                const TDayInfo& day = week[std::size_t(DayOfWeek(s) - 1)];
                const TDateTime midnight = std::floor(s);
                if (day.active && day.ende > day.start) {
                    if (s - midnight < day.start)
                        s = midnight + day.start;
                    else if (s - midnight > day.ende)
                        s = midnight + day.ende;
                }
            }
            SetStartOf(row, s);
        }
        // The end follows now, not in the paint: the new span is invalidated
        // before this move's paint, which then shows the whole bar.
        GetEndOf(row);
    }
}

void TPlannerForm::SelectInBand(int X, int Y)
{
    const TRect band = Normalised(FMouse, TPoint{X, Y});
    SetChartFrame(TRect(FMouse.X, FMouse.Y, X, Y));
    const TWhichTable table = GetActiveTable();
    TStringTreeGrid* tree = GetTable(table);
    if (!tree || !TimeChart)
        return;
    std::vector<TNodeData*> rows;
    FindBars(table, TRect(band.Left, band.Top, band.Right + 1, band.Bottom + 1), FTimeChartTop, false,
        TimeChart->Width(), TimeChartRowHeight(0), GetTimeChartEnd(), FTimeChartStart, rows);
    std::sort(rows.begin(), rows.end());
    std::vector<TNodeData*> left;
    std::set_difference(FBandRows.begin(), FBandRows.end(), rows.begin(), rows.end(), std::back_inserter(left));
    TChartRectHold hold(*this);
    tree->BeginUpdate();
    try {
        // The band selects what it meets now; bars it has left go again.
        for (TNodeData* row : left)
            if (row->VNode && tree->Selected(row->VNode)) {
                tree->SetSelected(row->VNode, false);
                InvalidateNode(row, true);
            }
        for (TNodeData* row : rows)
            if (!tree->Selected(row->VNode)) {
                tree->SetSelected(row->VNode, true);
                InvalidateNode(row, true);
            }
    } catch (...) {
        tree->EndUpdate();
        throw;
    }
    tree->EndUpdate();
    FBandRows = std::move(rows);
}

TRect TPlannerForm::SnappedFrame(TPoint Anchor, TPoint Pointer, TWhichTable Table)
{
    const int rowHeight = TimeChartRowHeight(0);
    const int rowTop = FloorDiv(Int64(FTimeChartTop) + Anchor.Y, rowHeight) * rowHeight - FTimeChartTop;
    TRect r(std::min(Anchor.X, Pointer.X), rowTop + 2, std::max(Anchor.X, Pointer.X), rowTop + rowHeight - 3);
    if (FMinUnit == muDay || Table == tbExclude) {
        // Every day from the anchor's to the pointer's, both whole.
        const int width = GetTimeChartColWidth();
        const int a = FloorDiv(Anchor.X, width);
        const int b = FloorDiv(Pointer.X, width);
        r.Left = std::min(a, b) * width;
        r.Right = (std::max(a, b) + 1) * width;
    }
    return r;
}

void TPlannerForm::TrackFrame(int X, int Y)
{
    const TWhichTable table =
        FTimeChartMouseState == msResizeItem && FResizeNode ? FResizeNode->NodeTable : GetActiveTable();
    SetChartFrame(SnappedFrame(FMouse, TPoint{X, Y}, table));
}

void TPlannerForm::SetChartFrame(const TRect& R)
{
    // The paint draws the frame last, each pixel of its outline inverted
    // over a pattern fixed to the canvas: a pixel shows the same whichever
    // frame's edge passes it. Only the pixels on one outline and not on the
    // other change (and a pixel around them, to be safe); the inside and the
    // edges both frames share are left alone, however large the frame.
    const TRegion changed = FrameOutline(FChartFrame).Xored(FrameOutline(R));
    FChartFrame = R;
    for (TRect part : changed.Rects())
        InvalidateChartRect(TRect(part.Left - 1, part.Top - 1, part.Right + 1, part.Bottom + 1), false);
}

// ---- release -------------------------------------------------------------------------

void TPlannerForm::TimeChartMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Shift;
    const TTimeChartMouseState state = FTimeChartMouseState;
    {
        // Whatever the gesture ran into, the mouse is let go and the next
        // gesture starts afresh.
        auto finish = [this] {
            FUndoRedoGroupIndex = -1;
            TimeChartChangeGroupTimer->SetEnabled(false);
            SetCaptureControl(nullptr);
            if (FTimeChartMouseState != msPoppedUp)
                FTimeChartMouseState = msNone;
            Screen->SetCursor(crDefault);
            FResizeNode = nullptr;
            FBandRows.clear();
        };
        TScopeExit<decltype(finish)> done(finish);
        if (state == msMoveItem) {
            for (TNodeData* row : SelectedRows(*this, GetActiveTable())) {
                RefilterRow(row);
                InvalidateNode(row, true);
            }
        } else if (state == msPopup) {
            if (Button == mbRight)
                ShowChartMenu(X, Y);
        } else if (state == msNewItem || state == msSelectItem || state == msResizeItem) {
            const TRect frame = FChartFrame;
            SetChartFrame(TRect());
            if (state != msSelectItem && frame.Right > frame.Left)
                FinishFrame(state, frame);
        }
    }
    // Cursor and hint as a move at the release point sets them.
    if (FTimeChartMouseState == msNone)
        TimeChartHover(X, Y);
}

void TPlannerForm::FinishFrame(TTimeChartMouseState State, const TRect& Frame)
{
    const int rowHeight = TimeChartRowHeight(0);
    const int row = FloorDiv(Int64(FTimeChartTop) + Frame.Top, rowHeight);
    if (row < 0 || row >= GetRowCount() || !FGlobalPositionFilter)
        return;
    TNodeData* resized = State == msResizeItem ? FResizeNode : nullptr;
    if (State == msResizeItem && (!resized || !resized->VNode))
        return;
    TWhichTable table = resized ? resized->NodeTable : GetActiveTable();
    TDateTime start = 0, ende = 0, after = 0;
    if (FMinUnit == muMinute && table == tbTable) {
        start = GetExactDate(Frame.Left, row);
        ende = after = GetExactDate(Frame.Right, row);
    } else {
        // The frame covers whole days: its right edge is the boundary after
        // the last of them.
        const int width = GetTimeChartColWidth();
        start = FTimeChartStart + FloorDiv(Frame.Left, width);
        after = FTimeChartStart + FloorDiv(Frame.Right, width);
        ende = after - 1;
    }
    if (State == msNewItem) {
        TWhichTable chosen = table;
        if (!ExecuteNewEntryDialog(FormatDateTime(start), FormatDateTime(ende), FGlobalPositionFilter->Item(row, 0),
                chosen))
            return;
        table = chosen;
    }
    SetActiveTable(table);
    TUndoGroupScope group(*this);
    const int length = calcLengthOf(table, row, start, after);
    if (State == msNewItem) {
        TNodeData* added = AddNode(GetFreeID(), table, row, length, start, cmDefault);
        // A client gets its row with the server's echo; nothing to select yet.
        if (added && !IsConnectedClient())
            SelectOnly(added);
    } else {
        if (GetPositionOf(resized) != AllPositions)
            SetPositionOf(resized, row);
        SetStartOf(resized, start);
        SetLengthOf(resized, length);
    }
    if (GetTableRowCount(table) == 1)
        if (TStringTreeGrid* tree = GetTable(table))
            tree->Header()->AutoFitColumns(false);
}

// ---- the context menu ----------------------------------------------------------------

void TPlannerForm::ShowChartMenu(int X, int Y)
{
    TNodeData* row = FGrabbedNode;
    bool inBar = false;
    if (row && row->VNode) {
        const TRect bar = ItemRect(row, FTimeChartTop, false, TimeChart->Width(), TimeChartRowHeight(0),
            GetTimeChartEnd(), FTimeChartStart);
        inBar = PtInRect(bar, TPoint{X, Y});
        // The menu acts on the bar it was opened over.
        if (!row->VNodeTable->Selected(row->VNode)) {
            SetActiveTable(row->NodeTable);
            SelectOnly(row);
            InvalidateNode(row, true);
        }
    }
    ActionSplit->SetEnabled(inBar && ActionSplitUpdate());
    ActionCopyNode->SetEnabled(inBar);
    // On a client the server's echo of the new row would come without the
    // copied cells.
    ActionPasteNode->SetEnabled(FHasCopyNode && !IsConnectedClient() &&
                                int(FCopyNode.size()) == GetTableColCount(GetActiveTable()));
    FTimeChartMouseState = msPoppedUp;
    SetCaptureControl(nullptr);
    const TPoint at = TimeChart->ClientToScreen(TPoint{X, Y});
    TimeChartPopupMenu->SetPopupComponent(TimeChart);
    TimeChartPopupMenu->Popup(at.X, at.Y);
}

void TPlannerForm::ActionSplitExecuteHere()
{
    ActionSplitExecute(SplitDateAt(FTimeChartStart, FMouse.X, GetTimeChartColWidth()),
        ShownRowAt(FTimeChartTop, FMouse.Y, TimeChartRowHeight(0)));
}

void TPlannerForm::ActionCopyNodeExecute()
{
    TStringTreeGrid* tree = GetTable(GetActiveTable());
    if (!tree)
        return;
    if (TGridNode* selected = tree->GetFirstSelected())
        tree->SetFocusedNode(selected);
    TNodeData* row = NodeToRow(tree, tree->FocusedNode());
    if (!row) {
        ShowInformation(Translate("A task must be selected to copy from."));
        return;
    }
    FCopyNode.clear();
    const int columns = GetTableColCount(GetActiveTable());
    for (int c = 0; c < columns; ++c)
        FCopyNode.push_back(GetData(row, c));
    FHasCopyNode = true;
    ActionPasteNode->SetEnabled(true);
    UpdateStatusBar();
}

void TPlannerForm::ActionPasteNodeExecute()
{
    const TWhichTable table = GetActiveTable();
    const int columns = GetTableColCount(table);
    if (!FHasCopyNode || int(FCopyNode.size()) != columns || IsConnectedClient())
        return;
    const int row = FloorDiv(Int64(FTimeChartTop) + FMouse.Y, TimeChartRowHeight(0));
    if (row < 0 || row >= GetRowCount())
        return;
    TUndoGroupScope group(*this);
    TNodeData* added = AddNode(GetFreeID(), table, row, -1, ChartDateAt(FMouse.X, row, table), cmDefault);
    if (!added)
        return;
    for (int c = 0; c < columns; ++c) {
        const TConnection role = GetColumnConnection(table, c);
        if (role != cnPosition && role != cnStart && role != cnEnd)
            SetData(added, c, FCopyNode[std::size_t(c)]);
    }
    if (TStringTreeGrid* tree = GetTable(table))
        tree->ClearSelection();
}

// ---- the group tabs while dragging ----------------------------------------------------

void TPlannerForm::TimeChartChangeGroupTimerTimer(TObject*)
{
    if (IsLoading())
        return;
    TTimer* timer = TimeChartChangeGroupTimer;
    const int tick = int(std::clamp<NativeInt>(timer->Tag(), 0, crHandTimerLast - crHandTimerFirst));
    Screen->SetCursor(TCursor(crHandTimerFirst + tick));
    timer->SetTag(tick + 1);
    if (tick + 1 < crHandTimerLast - crHandTimerFirst + 1)
        return;
    timer->SetEnabled(false);
    const int tab = PositionGroupTabAt(GetCursorPos());
    if (tab < 0 || tab == GetPositionGroupIndex())
        return;
    const TWhichTable table = GetActiveTable();
    const std::vector<TNodeData*> rows = SelectedRows(*this, table);
    SelectPositionGroupTab(tab);
    TStringTreeGrid* tree = GetTable(table);
    for (TNodeData* row : rows) {
        if (!row->VNode)
            continue;
        SetPositionOf(row, 0);
        tree->SetVisible(row->VNode, true);
        tree->SetSelected(row->VNode, true);
        InvalidateNode(row, true);
    }
}
