// The mouse on the tree: focusing and selecting by click, Ctrl and Shift
// clicks, the expand buttons and check boxes, double clicks, dragging rows
// and row heights, hot tracking, the cursor and the context menu.
#include <cstdlib>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Messages.h"

namespace {

bool AltDown() { return GetKeyState(VK_MENU) < 0; }

}  // namespace

bool TBaseTreeGrid::IsMouseSelecting() const
{
    return FStates.ContainsAny(TTreeGridStates{tsDrawSelPending, tsDrawSelecting});
}

void TBaseTreeGrid::BeginDrag(bool Immediate, int Threshold)
{
    if (Immediate) {
        DoDragging(FLastClickPos);
        return;
    }
    FDragThreshold = Threshold < 0 ? GetSystemMetrics(SM_CXDRAG) : Threshold;
    DoStateChange({tsOLEDragPending});
}

// ---- button messages -------------------------------------------------------------

void TBaseTreeGrid::ButtonMessage(TMessage& Message)
{
    const TTGSelectionOptions selection = FOptions->SelectionOptions();
    const bool headerBusy = !FHeader->States().Empty();
    THitInfo hit;
    auto hitTest = [&] { GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit); };
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        DoStateChange({tsLeftButtonDown});
        TCustomControl::Dispatch(Message);
        hitTest();
        HandleMouseDown(Message, hit);
        return;
    case WM_LBUTTONUP:
        DoStateChange({}, {tsNodeHeightTracking, tsNodeHeightTrackPending, tsLeftButtonDown});
        hitTest();
        HandleMouseUp(Message.Keys(), hit);
        TCustomControl::Dispatch(Message);
        return;
    case WM_LBUTTONDBLCLK:
        DoStateChange({tsLeftDblClick});
        TCustomControl::Dispatch(Message);
        hitTest();
        try {
            HandleMouseDblClick(Message, hit);
        } catch (...) {
            DoStateChange({}, {tsLeftDblClick});
            throw;
        }
        DoStateChange({}, {tsLeftDblClick});
        return;
    case WM_MBUTTONDOWN:
        DoStateChange({tsMiddleButtonDown});
        if (headerBusy)
            return;
        if (FOptions->MiscOptions().Contains(toWheelPanning) &&
            !FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling}) &&
            (int(FRangeX) > TreeClientWidth() || int(FRangeY) > TreeClientHeight())) {
            FLastClickPos = Message.Pos();
            StartWheelPanning(FLastClickPos);
            return;
        }
        StopWheelPanning();
        TCustomControl::Dispatch(Message);
        if (selection.Contains(toMiddleClickSelect)) {
            hitTest();
            HandleMouseDown(Message, hit);
        }
        return;
    case WM_MBUTTONUP:
        DoStateChange({}, {tsMiddleButtonDown});
        if (FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling})) {
            // A click without moving keeps the tree scrolling until the next click.
            if (FStates.Contains(tsWheelScrolling))
                DoStateChange({}, {tsWheelPanning});
            else
                StopWheelPanning();
            return;
        }
        TCustomControl::Dispatch(Message);
        if (!headerBusy && selection.Contains(toMiddleClickSelect)) {
            hitTest();
            HandleMouseUp(Message.Keys(), hit);
        }
        return;
    case WM_MBUTTONDBLCLK:
        DoStateChange({tsMiddleDblClick});
        TCustomControl::Dispatch(Message);
        if (selection.Contains(toMiddleClickSelect)) {
            hitTest();
            HandleMouseDblClick(Message, hit);
        }
        DoStateChange({}, {tsMiddleDblClick});
        return;
    case WM_RBUTTONDOWN:
        DoStateChange({tsRightButtonDown});
        if (headerBusy)
            return;
        TCustomControl::Dispatch(Message);
        if (selection.Contains(toRightClickSelect)) {
            hitTest();
            HandleMouseDown(Message, hit);
        }
        return;
    case WM_RBUTTONUP: {
        DoStateChange({}, {tsRightButtonDown, tsPopupMenuShown});
        Application->CancelHint();
        if (headerBusy)
            return;
        TCustomControl::Dispatch(Message);
        hitTest();
        if (selection.Contains(toRightClickSelect))
            HandleMouseUp(Message.Keys(), hit);
        // The tree has no menu of its own: the owner supplies one per node.
        DoPopupMenu(hit.HitNode, hit.HitColumn, Message.Pos());
        return;
    }
    case WM_RBUTTONDBLCLK:
        DoStateChange({tsRightDblClick});
        TCustomControl::Dispatch(Message);
        if (selection.Contains(toRightClickSelect)) {
            hitTest();
            HandleMouseDblClick(Message, hit);
        }
        DoStateChange({}, {tsRightDblClick});
        return;
    default: TCustomControl::Dispatch(Message);
    }
}

// ---- press -----------------------------------------------------------------------

void TBaseTreeGrid::HandleMouseDown(TMessage& Message, const THitInfo& HitInfoIn)
{
    const TTGSelectionOptions selection = FOptions->SelectionOptions();
    const TTGMiscOptions misc = FOptions->MiscOptions();
    if (FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling})) {
        StopWheelPanning();
        return;
    }
    if (FStates.Contains(tsEditPending)) {
        StopTimer(EditTimer);
        DoStateChange({}, {tsEditPending});
    }
    if (FStates.Contains(tsEditing) && !DoEndEdit())
        return;
    THitInfo hit = HitInfoIn;
    if (!Focused() && CanFocus()) {
        SetFocus();
        GetHitTestInfoAt(Message.XPos(), Message.YPos(), true, hit);
    }
    TTreeGridColumns* columns = FHeader->Columns();
    if (hit.HitColumn > NoColumn)
        columns->FClickIndex = hit.HitColumn;

    const bool alt = AltDown();
    TShiftState shift = KeysToShiftState(Message.Keys());
    shift.Exclude(ssAlt);
    const bool shiftEmpty = !shift.Contains(ssShift) && !shift.Contains(ssCtrl);
    const THitPositions& at = hit.HitPositions;
    TGridNode* node = hit.HitNode;
    const bool isLabelHit = !alt && !selection.Contains(toSimpleDrawSelection) &&
        (at.Contains(hiOnItemLabel) || at.Contains(hiOnNormalIcon));
    const bool isCellHit = !alt && !isLabelHit && node && at.Contains(hiOnItem) &&
        !at.Contains(hiOnItemButton) && !at.Contains(hiOnItemCheckbox) &&
        (selection.Contains(toFullRowSelect) || (misc.Contains(toGridExtensions) && hit.HitColumn > NoColumn));
    const bool isAnyHit = isLabelHit || isCellHit;
    const bool multiSelect = selection.Contains(toMultiSelect);
    const bool fullRowDrag = misc.Contains(toFullRowDrag);

    TColumnIndex newColumn = FFocusedColumn;
    if (isLabelHit || selection.Contains(toFullRowSelect) || misc.Contains(toGridExtensions)) {
        const TColumnIndex target = selection.Contains(toExtendedFocus) ? hit.HitColumn : FHeader->MainColumn();
        if (!FHeader->UseColumns() || FHeader->AllowFocus(target))
            newColumn = FHeader->UseColumns() ? target : NoColumn;
    }
    const bool columnChange = FHeader->UseColumns() && newColumn != FFocusedColumn;

    bool autoDrag = (FAutomaticDrag || DragMode() == dmAutomatic || Dragging()) && (!isCellHit || fullRowDrag);
    if (!autoDrag && DragMode() == dmManual && !FAutomaticDrag && node && isAnyHit)
        autoDrag = DoBeforeDrag(node, hit.HitColumn);

    // Row height by the splitter of a fixed column.
    if (Message.Msg == WM_LBUTTONDOWN && misc.Contains(toNodeHeightResize) && node &&
        columns->IsValidColumn(hit.HitColumn) && columns->Items(hit.HitColumn)->Options().Contains(coFixed) &&
        (at.Contains(hiUpperSplitter) || at.Contains(hiLowerSplitter))) {
        TGridNode* tracked = at.Contains(hiUpperSplitter) ? GetPreviousVisible(node) : node;
        if (tracked && tracked != FRoot) {
            FHeightTrackNode = tracked;
            FHeightTrackColumn = hit.HitColumn;
            const TRect cell = GetDisplayRect(tracked, hit.HitColumn, false);
            FHeightTrackPoint = {cell.Left, cell.Top};
            DoStateChange({tsNodeHeightTrackPending});
            return;
        }
    }

    TGridNode* lastFocused = FFocusedNode;
    if (node && at.Contains(hiOnItemButton) && HasChildren(node)) {
        ToggleNode(node);
    } else if (node && at.Contains(hiOnItemCheckbox) && node->CheckType != ctNone &&
        !node->States.Contains(vsDisabled) &&
        !FStates.ContainsAny(TTreeGridStates{tsMouseCheckPending, tsKeyCheckPending})) {
        BeginCheckPress(node, tsMouseCheckPending);
    } else {
        if (shiftEmpty || SelectedCount() == 0) {
            TGridNode* levelNode = node ? node : GetLastVisible();
            FLastSelectionLevel = levelNode ? int(GetNodeLevel(levelNode)) : -1;
        }
        const bool nodeSelected = node && node->States.Contains(vsSelected);
        const bool bandPossible = !selection.Contains(toDisableDrawSelection) && multiSelect && !isLabelHit &&
            !fullRowDrag && !at.Contains(hiOnItemButton) && !at.Contains(hiOnItemCheckbox);
        if (multiSelect && shiftEmpty && autoDrag && isAnyHit && nodeSelected) {
            // Cleared at the release, so that a multi-selection can be dragged.
            DoStateChange({tsClearPending});
        } else if (!isAnyHit && !fullRowDrag && multiSelect && shiftEmpty && bandPossible && !FSelectionLocked) {
            // A band may start here: the selection goes once it outgrows the
            // drag threshold, or at the release.
            DoStateChange({tsClearPending});
        } else if (!FSelectionLocked &&
            ((!isAnyHit && !fullRowDrag && multiSelect && shiftEmpty) ||
                (isAnyHit && (!nodeSelected || !autoDrag) && (shiftEmpty || !multiSelect)))) {
            const bool keep = node && (nodeSelected || (alt && hit.HitColumn == FHeader->MainColumn() && isAnyHit));
            if (keep && SelectedCount() > 0 && (SelectedCount() > 1 || !nodeSelected)) {
                InternalClearSelection();
                InternalAddToSelection(node, false);
                Invalidate();
                Change(nullptr);
            } else if (!keep) {
                ClearSelection();
            }
        }
    }

    if (((isLabelHit && node == FFocusedNode && Selected(node)) ||
            (misc.Contains(toGridExtensions) && isCellHit && node == FFocusedNode)) &&
        !columnChange && shiftEmpty && !alt && Focused())
        DoStateChange({tsEditPending});

    if (!selection.Contains(toDisableDrawSelection) && multiSelect && !isLabelHit && !fullRowDrag &&
        !at.Contains(hiOnItemButton) && !at.Contains(hiOnItemCheckbox)) {
        SetMouseCapture(true);
        DoStateChange({tsDrawSelPending});
        FDrawSelShiftState = shift;
        const TPoint p{Message.XPos() + FEffectiveOffsetX, Message.YPos() - FOffsetY};
        FNewSelRect = {p.X, p.Y, p.X, p.Y};
        FLastSelRect = {};
        if (!isCellHit) {
            FLastClickPos = Message.Pos();
            return;
        }
    }

    FLastClickPos = Message.Pos();
    if (isAnyHit && node && DoFocusChanging(FFocusedNode, node, FFocusedColumn, newColumn)) {
        if (columnChange) {
            InvalidateColumn(FFocusedColumn);
            InvalidateColumn(newColumn);
            FFocusedColumn = newColumn;
        }
        const bool nodeChange = node != FFocusedNode;
        if (nodeChange)
            DoFocusNode(node, false);
        if (shiftEmpty || !multiSelect) {
            if (shiftEmpty)
                FRangeAnchor = node;
            if (!node->States.Contains(vsSelected) && !FStates.Contains(tsClearPending))
                AddToSelection(node);
        } else {
            HandleClickSelection(lastFocused, node, shift, autoDrag);
        }
        if (nodeChange || columnChange) {
            if (HandleAllocated() && FFocusedNode)
                ScrollIntoView(FFocusedNode, selection.Contains(toCenterScrollIntoView),
                    !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus));
            DoFocusChange(FFocusedNode, FFocusedColumn);
        }
    }

    if (autoDrag && isAnyHit && !FStates.Contains(tsOLEDragPending))
        BeginDrag(false);
}

void TBaseTreeGrid::HandleClickSelection(TGridNode* LastFocused, TGridNode* NewNode, TShiftState Shift,
    bool DragPending)
{
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool shift = Shift.Contains(ssShift);
    if (ctrl && shift) {
        SelectNodes(FRangeAnchor, NewNode, true);
        Invalidate();
    } else if (ctrl) {
        if (!FOptions->SelectionOptions().Contains(toSiblingSelectConstraint))
            FRangeAnchor = NewNode;
        if (DragPending) {
            DoStateChange({tsToggleFocusedSelection});
        } else if (NewNode->States.Contains(vsSelected)) {
            RemoveFromSelection(NewNode);
        } else {
            AddToSelection(NewNode);
        }
    } else if (shift) {
        if (!FRangeAnchor)
            FRangeAnchor = GetFirstChild(FRoot);
        SelectNodes(FRangeAnchor ? FRangeAnchor : NewNode, NewNode, false);
        Invalidate();
    } else {
        if (!NewNode->States.Contains(vsSelected)) {
            AddToSelection(NewNode);
            InvalidateNode(NewNode);
        }
        FRangeAnchor = NewNode;
    }
    (void)LastFocused;
}

// ---- release ---------------------------------------------------------------------

void TBaseTreeGrid::HandleMouseUp(WPARAM Keys, const THitInfo& HitInfo)
{
    if (MouseCapture())
        SetMouseCapture(false);
    if (FStates.Contains(tsVCLDragPending))
        return;
    if (FStates.Contains(tsDrawSelecting)) {
        DoStateChange({}, {tsDrawSelecting});
        Invalidate();
    }
    if (FStates.Contains(tsClearPending)) {
        // A press on a selected row keeps that row; one beside the rows keeps nothing.
        const bool wasSelected = Selected(FFocusedNode) && HitInfo.HitNode == FFocusedNode;
        ClearSelection();
        if (wasSelected && FFocusedNode)
            AddToSelection(FFocusedNode);
    }
    if (FStates.Contains(tsToggleFocusedSelection) && HitInfo.HitNode && HitInfo.HitNode == FFocusedNode) {
        if (Selected(HitInfo.HitNode))
            RemoveFromSelection(HitInfo.HitNode);
        else
            AddToSelection(HitInfo.HitNode);
        InvalidateNode(HitInfo.HitNode);
    }
    DoStateChange({}, {tsOLEDragPending, tsVCLDragPending, tsClearPending, tsDrawSelPending, tsDrawSelecting,
                          tsToggleFocusedSelection, tsScrollPending, tsScrolling});
    StopTimer(ScrollTimer);

    if (FStates.Contains(tsMouseCheckPending)) {
        DoStateChange({}, {tsMouseCheckPending});
        FinishCheckPress(FCheckNode && HitInfo.HitNode == FCheckNode &&
            HitInfo.HitPositions.Contains(hiOnItemCheckbox));
    }

    TTreeGridColumns* columns = FHeader->Columns();
    if (columns->FClickIndex > NoColumn && columns->FClickIndex == HitInfo.HitColumn)
        DoColumnClick(HitInfo.HitColumn, KeysToShiftState(Keys));

    if (FStates.Contains(tsEditPending)) {
        if (HitInfo.HitNode && HitInfo.HitNode == FFocusedNode && HitInfo.HitPositions.Contains(hiOnItem) &&
            FOptions->MiscOptions().Contains(toEditOnClick) && CanEdit(FFocusedNode, HitInfo.HitColumn)) {
            FEditColumn = FFocusedColumn;
            StartTimer(EditTimer, FEditDelay);
        } else {
            DoStateChange({}, {tsEditPending});
        }
    }
}

// ---- double click ---------------------------------------------------------------------

void TBaseTreeGrid::HandleMouseDblClick(TMessage& Message, const THitInfo& HitInfo)
{
    const TTGMiscOptions misc = FOptions->MiscOptions();
    bool mayEdit = !FStates.Contains(tsEditing) && misc.Contains(toEditOnDblClick);
    StopTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    if (FStates.Contains(tsEditing) && !DoEndEdit())
        return;
    const TShiftState shift = KeysToShiftState(Message.Keys());
    TTreeGridColumns* columns = FHeader->Columns();
    TGridNode* node = HitInfo.HitNode;
    const THitPositions& at = HitInfo.HitPositions;
    if (HitInfo.HitColumn > NoColumn && HitInfo.HitColumn == columns->FClickIndex)
        DoColumnDblClick(HitInfo.HitColumn, shift);

    if (node && at.Contains(hiOnItem) && columns->IsValidColumn(HitInfo.HitColumn) &&
        columns->Items(HitInfo.HitColumn)->Options().Contains(coFixed) &&
        (at.Contains(hiUpperSplitter) || at.Contains(hiLowerSplitter)) &&
        misc.Contains(toNodeHeightDblClickResize)) {
        TGridNode* sized = at.Contains(hiUpperSplitter) ? GetPreviousVisible(node) : node;
        if (sized && sized != FRoot) {
            if (DoNodeHeightDblClickResize(sized, HitInfo.HitColumn, shift, Message.Pos())) {
                SetNodeHeight(sized, FDefaultNodeHeight);
                Update();
            }
            return;
        }
    }
    if (node && at.Contains(hiOnItemCheckbox) && node->CheckType != ctNone &&
        !node->States.Contains(vsDisabled) &&
        !FStates.ContainsAny(TTreeGridStates{tsMouseCheckPending, tsKeyCheckPending})) {
        BeginCheckPress(node, tsMouseCheckPending);
        return;
    }
    const bool toggleHit = at.Contains(hiOnItemButton) ||
        (misc.Contains(toToggleOnDblClick) &&
            (at.Contains(hiOnItemLabel) || at.Contains(hiOnNormalIcon) || at.Contains(hiOnStateIcon))) ||
        (FOptions->SelectionOptions().Contains(toFullRowSelect) && at.Contains(hiOnItem));
    if (node && toggleHit && (HasChildren(node) || at.Contains(hiOnItemButton) || misc.Contains(toToggleOnDblClick))) {
        ToggleNode(node);
        return;
    }
    if (mayEdit && node && node == FFocusedNode && HitInfo.HitColumn == FFocusedColumn &&
        CanEdit(node, HitInfo.HitColumn)) {
        DoStateChange({tsEditPending});
        FEditColumn = FFocusedColumn;
        StartTimer(EditTimer, FEditDelay);
    }
}

// ---- moves ------------------------------------------------------------------------------

void TBaseTreeGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FStates.Contains(tsNodeHeightTrackPending)) {
        Application->CancelHint();
        StopWheelPanning();
        for (int timer : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer})
            StopTimer(timer);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        DoStateChange({tsNodeHeightTracking},
            {tsEditPending, tsNodeHeightTrackPending, tsIncrementalSearching, tsOLEDragPending, tsScrolling,
                tsScrollPending, tsVCLDragPending});
    }
    if (FStates.Contains(tsDrawSelPending)) {
        if (CalculateSelectionRect(X, Y)) {
            InvalidateRect({std::min(FNewSelRect.Left, FNewSelRect.Right) - FEffectiveOffsetX,
                std::min(FNewSelRect.Top, FNewSelRect.Bottom) + FOffsetY,
                std::max(FNewSelRect.Left, FNewSelRect.Right) - FEffectiveOffsetX + 1,
                std::max(FNewSelRect.Top, FNewSelRect.Bottom) + FOffsetY + 1});
            const int threshold = GetSystemMetrics(SM_CXDRAG);
            if (std::abs(FNewSelRect.Right - FNewSelRect.Left) > threshold ||
                std::abs(FNewSelRect.Bottom - FNewSelRect.Top) > threshold) {
                if (FStates.Contains(tsClearPending)) {
                    DoStateChange({}, {tsClearPending});
                    ClearSelection();
                }
                DoStateChange({tsDrawSelecting}, {tsDrawSelPending});
                if (FHeader->UseColumns())
                    SetFocusedColumn(FHeader->MainColumn());
                if (HandleDrawSelection(X, Y))
                    Invalidate();
            }
        }
        return;
    }
    if (FStates.Contains(tsNodeHeightTracking)) {
        TPoint p{X, Y};
        if (FHeightTrackNode &&
            DoNodeHeightTracking(FHeightTrackNode, FHeightTrackColumn, GetShiftState(), FHeightTrackPoint, p))
            SetNodeHeight(FHeightTrackNode, Cardinal(std::max(1, Y - FHeightTrackPoint.Y)));
        Update();
        return;
    }
    if (FStates.Contains(tsWheelPanning) && FStates.Contains(tsWheelScrolling)) {
        const int threshold = GetSystemMetrics(SM_CXDRAG);
        if (std::abs(X - FLastClickPos.X) >= threshold || std::abs(Y - FLastClickPos.Y) >= threshold)
            DoStateChange({}, {tsWheelScrolling});
    }
    if (FStates.Contains(tsOLEDragPending) &&
        (std::abs(X - FLastClickPos.X) >= FDragThreshold || std::abs(Y - FLastClickPos.Y) >= FDragThreshold)) {
        DoStateChange({}, {tsOLEDragPending, tsClearPending});
        DoDragging(FLastClickPos);
        return;
    }
    if (CanAutoScroll())
        DoAutoScroll(X, Y);
    if (FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling}))
        AdjustPanningCursor(X, Y);
    if (!IsMouseSelecting()) {
        HandleHotTrack(X, Y);
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    if (FStates.Contains(tsScrolling) || !CalculateSelectionRect(X, Y))
        return;
    const TRect oldBand = FLastSelRect;
    const bool changed = HandleDrawSelection(X, Y);
    if (changed) {
        Invalidate();
    } else {
        const int left = std::min({oldBand.Left, oldBand.Right, FNewSelRect.Left, FNewSelRect.Right});
        const int right = std::max({oldBand.Left, oldBand.Right, FNewSelRect.Left, FNewSelRect.Right});
        const int top = std::min({oldBand.Top, oldBand.Bottom, FNewSelRect.Top, FNewSelRect.Bottom});
        const int bottom = std::max({oldBand.Top, oldBand.Bottom, FNewSelRect.Top, FNewSelRect.Bottom});
        InvalidateRect({left - FEffectiveOffsetX, top + FOffsetY, right - FEffectiveOffsetX + 1, bottom + FOffsetY + 1});
    }
    Update();
}

void TBaseTreeGrid::ExtendDrawSelection(TPoint ClientPoint)
{
    if (CalculateSelectionRect(ClientPoint.X, ClientPoint.Y) && HandleDrawSelection(ClientPoint.X, ClientPoint.Y))
        Invalidate();
}

void TBaseTreeGrid::HandleHotTrack(int X, int Y)
{
    THitInfo hit;
    GetHitTestInfoAt(X, Y, true, hit);
    const TTGPaintOptions paint = FOptions->PaintOptions();
    const bool fullRow = FOptions->SelectionOptions().Contains(toFullRowSelect);
    const THitPositions& at = hit.HitPositions;
    const bool hot = hit.HitNode &&
        (at.Contains(hiOnItemCheckbox) || at.Contains(hiOnItemLabel) || (fullRow && at.Contains(hiOnItem)));
    TGridNode* newNode = hot ? hit.HitNode : nullptr;
    const TColumnIndex newColumn = hot ? hit.HitColumn : NoColumn;
    const bool repaint = paint.Contains(toHotTrack) || FOptions->MiscOptions().Contains(toCheckSupport);
    const bool changed = newNode != FCurrentHotNode || newColumn != FCurrentHotColumn;
    if (changed) {
        DoHotChange(FCurrentHotNode, newNode);
        if (repaint && FCurrentHotNode)
            InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = newNode;
        FCurrentHotColumn = newColumn;
    }
    const bool buttonHit = newNode && paint.Contains(toHotTrack) && at.Contains(hiOnItemButtonExact);
    if ((buttonHit != FHotNodeButtonHit || (changed && repaint)) && FCurrentHotNode)
        InvalidateNode(FCurrentHotNode);
    FHotNodeButtonHit = buttonHit;
}

// ---- cursor, context menu and leaving ------------------------------------------------------

void TBaseTreeGrid::DoGetCursor(TCursor& Cursor)
{
    if (OnGetCursor)
        OnGetCursor(this, Cursor);
}

void TBaseTreeGrid::WMSetCursor(TMessage& Message)
{
    if (Message.CursorWnd() != (HandleAllocated() ? Handle() : HWND(0)) || IsDesigning() ||
        FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling}) ||
        Message.CursorHitTest() != HTCLIENT || (Screen && Screen->Cursor() != crDefault)) {
        TCustomControl::Dispatch(Message);
        return;
    }
    TCursor cursor = Cursor();
    const TPoint p = ScreenToClient(GetCursorPos());
    THitInfo hit;
    GetHitTestInfoAt(p.X, p.Y, true, hit);
    TTreeGridColumns* columns = FHeader->Columns();
    bool splitter = false;
    if (FOptions->MiscOptions().Contains(toNodeHeightResize) && hit.HitNode &&
        hit.HitPositions.Contains(hiOnItem) && columns->IsValidColumn(hit.HitColumn) &&
        columns->Items(hit.HitColumn)->Options().Contains(coFixed)) {
        TGridNode* sized = hit.HitPositions.Contains(hiUpperSplitter) ? GetPreviousVisible(hit.HitNode)
            : hit.HitPositions.Contains(hiLowerSplitter)              ? hit.HitNode
                                                                     : nullptr;
        splitter = sized && sized != FRoot;
    }
    if (splitter)
        cursor = crVertSplit;
    else if (FOptions->PaintOptions().Contains(toHotTrack) && FCurrentHotNode && FHotCursor != crDefault)
        cursor = FHotCursor;
    DoGetCursor(cursor);
    if (cursor == crVertSplit)
        RegisterSplitCursors();
    SetWindowCursor(this, Screen->Cursors(cursor));
    Message.Result = 1;
}

void TBaseTreeGrid::WMContextMenu(TMessage& Message)
{
    DoStateChange({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending});
    if (FStates.Contains(tsPopupMenuShown))
        return;
    TCustomControl::Dispatch(Message);
}

void TBaseTreeGrid::CMMouseLeave(TMessage& Message)
{
    if (FHintData.Tree == this)
        FLastHintRect = {};
    if (!FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling})) {
        StopTimer(ScrollTimer);
        DoStateChange({}, {tsScrollPending, tsScrolling});
    }
    DoStateChange({}, {tsHint});
    if (FCurrentHotNode) {
        DoHotChange(FCurrentHotNode, nullptr);
        if (FOptions->PaintOptions().Contains(toHotTrack) || FOptions->MiscOptions().Contains(toCheckSupport))
            InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = nullptr;
    }
    FHeader->Columns()->FDownIndex = NoColumn;
    FHeader->Columns()->FHoverIndex = NoColumn;
    TCustomControl::Dispatch(Message);
}

bool TBaseTreeGrid::HasPopupMenu(TGridNode* Node, TColumnIndex Column, TPoint P)
{
    return DoGetPopupMenu(Node, Column, P) != nullptr;
}

void TBaseTreeGrid::DoPopupMenu(TGridNode* Node, TColumnIndex Column, TPoint Position)
{
    TPopupMenu* menu = DoGetPopupMenu(Node, Column, Position);
    if (!menu)
        return;
    DoStateChange({tsPopupMenuShown});
    StopTimer(EditTimer);
    menu->SetPopupComponent(this);
    const TPoint screen = ClientToScreen(Position);
    menu->Popup(screen.X, screen.Y);
}
