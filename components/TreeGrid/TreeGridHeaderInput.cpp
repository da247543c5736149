// The header under the mouse: hit tests of the header and its splitters,
// hover and pressed cells, clicks, width and height tracking, the popup
// menu and the hover timer. Column dragging is in TreeGridHeaderDrag.cpp.
#include <algorithm>
#include <cstdlib>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridDragImage.h"
#include "components/TreeGrid/TreeGridHeader.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/Forms.h"
#include "platform/Menus.h"

namespace {

// Every state of a mouse interaction the header runs itself.
constexpr THeaderStates InteractionStates{hsDragging, hsDragPending, hsColumnWidthTracking, hsColumnWidthTrackPending,
    hsHeightTracking, hsHeightTrackPending};

bool IsNonClient(UINT Msg) { return Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK; }

}  // namespace

// ---- columns: hover, pressed cell, clicks ---------------------------------------------------

bool TTreeGridColumns::CanSplitterResize(TPoint P, TColumnIndex Column) const
{
    if (!IsValidColumn(Column) || !Items(Column)->FOptions.Contains(coVisible) ||
        !Items(Column)->FOptions.Contains(coResizable))
        return false;
    bool allowed = true;
    TBaseTreeGrid* tree = FHeader->Treeview();
    if (tree->OnCanSplitterResizeColumn)
        tree->OnCanSplitterResizeColumn(FHeader, P, Column, allowed);
    return allowed;
}

bool TTreeGridColumns::GetNewIndex(TPoint P, int& Index)
{
    const TColumnIndex hit = ColumnFromPoint(P.X, P.Y);
    if (hit == Index)
        return false;
    if (Index >= 0)
        FHeader->Invalidate(Index);
    if (hit >= 0)
        FHeader->Invalidate(hit);
    Index = hit;
    return true;
}

bool TTreeGridColumns::AdjustHoverColumn(TPoint P)
{
    return GetNewIndex(P, FHoverIndex);
}

TColumnIndex TTreeGridColumns::AdjustDownColumn(TPoint P)
{
    const TColumnIndex hit = ColumnFromPoint(P.X, P.Y);
    if (hit < 0 || hit == FDownIndex)
        return hit;
    const TTGColumnOptions options = Items(hit)->FOptions;
    if (!options.Contains(coAllowClick) || !options.Contains(coEnabled))
        return hit;
    if (FDownIndex >= 0)
        FHeader->Invalidate(FDownIndex);
    FDownIndex = hit;
    FHeader->Invalidate(hit);
    return hit;
}

void TTreeGridColumns::HandleClick(TPoint P, TMouseButton Button, bool Force, bool DblClick)
{
    TBaseTreeGrid* tree = FHeader->Treeview();
    TTGHeaderHitInfo info;
    info.X = P.X;
    info.Y = P.Y;
    info.Button = Button;
    info.Shift = GetShiftState();
    if (DblClick)
        info.Shift.Include(ssDouble);
    const TColumnIndex formerClick = FClickIndex;
    const TColumnIndex hit = ColumnFromPoint(P.X, P.Y);
    if (hit >= 0 && Items(hit)->FOptions.Contains(coAllowClick) && (Force || hit == FDownIndex)) {
        FClickIndex = hit;
        info.Column = hit;
        info.HitPosition = {hhiOnColumn};
        TTreeGridColumn* column = Items(hit);
        if (column->FHasImage && PtInRect(column->FImageRect, P)) {
            info.HitPosition.Include(hhiOnIcon);
            if (column->FCheckBox) {
                tree->UpdateColumnCheckState(column);
                info.HitPosition.Include(hhiOnCheckbox);
            }
        }
    } else {
        FClickIndex = NoColumn;
        info.Column = NoColumn;
        info.HitPosition = {hhiNoWhere};
    }
    if (DblClick)
        tree->DoHeaderDblClick(info);
    else
        tree->DoHeaderClick(info);
    if (!info.HitPosition.Contains(hhiNoWhere))
        FHeader->Invalidate(info.Column);
    if (formerClick >= 0 && formerClick != FClickIndex)
        FHeader->Invalidate(formerClick);
}

// ---- hit tests ---------------------------------------------------------------------------

bool TTGHeader::InHeader(TPoint P) const
{
    if (FOwner->HeaderRect().IsEmpty())
        return false;
    TRect r = FOwner->HeaderRect();
    const TPoint client = FOwner->ClientOffset();
    OffsetRect(r, -client.X, -client.Y);
    return PtInRect(r, P);
}

bool TTGHeader::InHeaderSplitterArea(TPoint P) const
{
    if (!FOptions.Contains(hoVisible) || P.Y < -2 || P.Y > 2 || FOwner->HeaderRect().IsEmpty())
        return false;
    TRect r = FOwner->HeaderRect();
    const TPoint client = FOwner->ClientOffset();
    OffsetRect(r, -client.X, -client.Y);
    r.Bottom += 2;
    return PtInRect(r, P);
}

bool TTGHeader::DetermineSplitterIndex(TPoint P)
{
    FColumns->FTrackIndex = NoColumn;
    if (FColumns->Count() == 0)
        return false;
    const std::vector<int>& order = FColumns->PositionToIndex();
    const int offset = FOwner->EffectiveOffsetX();
    const int fixedWidth = FColumns->GetVisibleFixedWidth();
    if (!FOwner->UseRightToLeftAlignment()) {
        // From the right edge of the last column leftwards.
        int edge = FColumns->TotalWidth() - offset;
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            const TTreeGridColumn* column = FColumns->Items(*it);
            const TTGColumnOptions options = column->Options();
            if (!options.Contains(coVisible))
                continue;
            const bool fixed = options.Contains(coFixed);
            const int right = fixed ? edge + offset : edge;
            if (P.X > right - 3 && P.X < right + 5 && (fixed || P.X > fixedWidth) &&
                FColumns->CanSplitterResize(P, *it)) {
                FColumns->FTrackIndex = *it;
                FTrackPoint = {right - column->Width(), P.Y};
                return true;
            }
            edge -= column->Width();
        }
        return false;
    }
    // Right to left the splitter is a column's left edge.
    int edge = -offset;
    const int clientWidth = FOwner->TreeClientWidth();
    if (FColumns->TotalWidth() < clientWidth)
        edge += clientWidth - FColumns->TotalWidth();
    for (int index : order) {
        const TTreeGridColumn* column = FColumns->Items(index);
        const TTGColumnOptions options = column->Options();
        if (!options.Contains(coVisible))
            continue;
        const bool fixed = options.Contains(coFixed);
        const int left = fixed ? edge + offset : edge;
        if (P.X > left - 5 && P.X < left + 3 && FColumns->CanSplitterResize(P, index)) {
            FColumns->FTrackIndex = index;
            FTrackPoint = {left + column->Width(), P.Y};
            return true;
        }
        edge += column->Width();
    }
    return false;
}

bool TTGHeader::OnHeightSplitter(TPoint P) const
{
    return FOptions.Contains(hoHeightResize) && InHeaderSplitterArea(P);
}

// Inside the header any column splitter counts; below it only the one of
// the last fixed column (its grid line runs through the rows), and only as
// far down as there are rows.
bool TTGHeader::OnColumnSplitter(TPoint P)
{
    if (!FOptions.Contains(hoColumnResize) || !DetermineSplitterIndex(P))
        return false;
    if (InHeader(P))
        return true;
    if (P.Y < 0 || P.Y > int(FOwner->RangeY()))
        return false;
    const TTreeGridColumn* column = FColumns->Items(FColumns->FTrackIndex);
    if (!column->Options().Contains(coFixed))
        return false;
    const TColumnIndex next = FColumns->GetNextVisibleColumn(FColumns->FTrackIndex);
    return next < 0 || !FColumns->Items(next)->Options().Contains(coFixed);
}

// ---- events ------------------------------------------------------------------------------

void TTGHeader::DoBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift)
{
    if (FOwner->OnBeforeColumnWidthTracking)
        FOwner->OnBeforeColumnWidthTracking(this, Column, Shift);
}

bool TTGHeader::DoColumnWidthTracking(TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint, TPoint P)
{
    bool allowed = true;
    if (FOwner->OnColumnWidthTracking)
        FOwner->OnColumnWidthTracking(this, Column, Shift, TrackPoint, P, allowed);
    return allowed;
}

void TTGHeader::DoAfterColumnWidthTracking(TColumnIndex Column)
{
    if (FOwner->OnAfterColumnWidthTracking)
        FOwner->OnAfterColumnWidthTracking(this, Column);
}

void TTGHeader::DoBeforeHeightTracking(TShiftState Shift)
{
    if (FOwner->OnBeforeHeaderHeightTracking)
        FOwner->OnBeforeHeaderHeightTracking(this, Shift);
}

bool TTGHeader::DoHeightTracking(TPoint& P, TShiftState Shift)
{
    bool allowed = true;
    if (FOwner->OnHeaderHeightTracking)
        FOwner->OnHeaderHeightTracking(this, P, Shift, allowed);
    return allowed;
}

void TTGHeader::DoAfterHeightTracking()
{
    if (FOwner->OnAfterHeaderHeightTracking)
        FOwner->OnAfterHeaderHeightTracking(this);
}

bool TTGHeader::DoColumnWidthDblClickResize(TColumnIndex Column, TPoint P, TShiftState Shift)
{
    bool allowed = true;
    if (FOwner->OnColumnWidthDblClickResize)
        FOwner->OnColumnWidthDblClickResize(this, Column, Shift, P, allowed);
    return allowed;
}

bool TTGHeader::DoHeightDblClickResize(TPoint& P, TShiftState Shift)
{
    bool allowed = true;
    if (FOwner->OnHeaderHeightDblClickResize)
        FOwner->OnHeaderHeightDblClickResize(this, P, Shift, allowed);
    return allowed;
}

TPopupMenu* TTGHeader::DoGetPopupMenu(TColumnIndex Column, TPoint Position)
{
    return FOwner->DoGetPopupMenu(nullptr, Column, Position);
}

// ---- messages ----------------------------------------------------------------------------

TPoint TTGHeader::ClientPointOf(const TMessage& Message) const
{
    return IsNonClient(Message.Msg) ? FOwner->ScreenToClient(Message.Pos()) : Message.Pos();
}

bool TTGHeader::HandleMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
        if (FOwner->TreeStates().Contains(tsWindowCreating))
            break;
        if (FOptions.Contains(hoAutoResize)) {
            if (!FStates.Contains(hsAutoSizing)) {
                FStates.Include(hsAutoSizing);
                try {
                    FColumns->AdjustAutoSize(InvalidColumn);
                } catch (...) {
                    FStates.Exclude(hsAutoSizing);
                    throw;
                }
                FStates.Exclude(hsAutoSizing);
                Invalidate(NoColumn);
            }
        } else if (!FStates.Contains(hsScaling)) {
            RescaleHeader();
            Invalidate(NoColumn);
        }
        break;
    case WM_KILLFOCUS:
        // The tree still has to hear that it lost the focus.
        CancelInteraction(Message);
        return false;
    case WM_KEYDOWN:
        if (Message.WParam == VK_ESCAPE)
            return CancelInteraction(Message);
        break;
    case WM_SETCURSOR: return HandleSetCursor(Message);
    case WM_NCMOUSEMOVE: {
        const TPoint p = ClientPointOf(Message);
        const TPoint hp = HeaderPoint(p);
        // The frame's other parts (border, scroll bars) are not the header's.
        if (InHeader(p)) {
            FOwner->DoHeaderMouseMove(GetShiftState(), hp.X, hp.Y);
            if (FColumns->AdjustHoverColumn(hp) ||
                (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex))
                FOwner->StartTimer(HeaderTimer, 50);
        }
        if (FOptions.Contains(hoShowHint)) {
            TMessage move(WM_MOUSEMOVE, 0, PointToLParam(p));
            Application->HintMouseMessage(FOwner, move);
        }
        break;
    }
    case WM_LBUTTONDOWN:
        if (FOwner->IsDesigning())
            break;
        [[fallthrough]];
    case WM_NCLBUTTONDOWN: return HandleLeftButtonDown(Message, ClientPointOf(Message));
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: return HandleLeftButtonUp(Message, ClientPointOf(Message));
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK: return HandleDoubleClick(Message, ClientPointOf(Message));
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: {
        const TPoint p = ClientPointOf(Message);
        if (InHeader(p)) {
            const TPoint hp = HeaderPoint(p);
            FOwner->DoHeaderMouseDown(Message.Msg == WM_NCRBUTTONDOWN ? mbRight : mbMiddle, GetShiftState(), hp.X,
                hp.Y);
        }
        break;
    }
    case WM_NCRBUTTONUP:
        if (FOwner->IsDesigning())
            break;
        return HandleRightButtonUp(Message, ClientPointOf(Message));
    case WM_NCMBUTTONUP: {
        const TPoint p = ClientPointOf(Message);
        if (InHeader(p)) {
            const TPoint hp = HeaderPoint(p);
            FOwner->DoHeaderMouseUp(mbMiddle, GetShiftState(), hp.X, hp.Y);
            FColumns->HandleClick(hp, mbMiddle, true, false);
            FColumns->FDownIndex = NoColumn;
        }
        break;
    }
    case WM_TIMER:
        if (Message.TimerID() == HeaderTimer) {
            const TPoint p = FOwner->ScreenToClient(GetCursorPos());
            if (!InHeader(p) || (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex)) {
                FOwner->StopTimer(HeaderTimer);
                FColumns->FHoverIndex = NoColumn;
                FColumns->FClickIndex = NoColumn;
                FColumns->FDownIndex = NoColumn;
                Invalidate(NoColumn);
                Message.Result = 0;
                return true;
            }
        }
        break;
    case WM_MOUSEMOVE: return HandleMouseMove(Message);
    case CM_PARENTFONTCHANGED:
        if (FParentFont)
            CopyTreeFont();
        break;
    case CM_PARENTBIDIMODECHANGED:
        for (int i = 0; i < FColumns->Count(); ++i)
            FColumns->Items(i)->ParentBiDiModeChanged();
        break;
    default: break;
    }
    return false;
}

bool TTGHeader::CancelInteraction(TMessage& Message)
{
    bool consumed = false;
    if (FStates.Contains(hsDragging)) {
        ReleaseCapture();
        FDragImage->EndDrag();
        FStates.Exclude(hsDragging);
        FColumns->FDropTarget = NoColumn;
        FColumns->FDragIndex = NoColumn;
        Invalidate(NoColumn);
        consumed = true;
    } else if (FStates.ContainsAny({hsColumnWidthTracking, hsColumnWidthTrackPending, hsHeightTracking,
                   hsHeightTrackPending})) {
        ReleaseCapture();
        if (FStates.ContainsAny({hsColumnWidthTracking, hsColumnWidthTrackPending})) {
            DoAfterColumnWidthTracking(FColumns->FTrackIndex);
            FColumns->FTrackIndex = NoColumn;
        } else {
            DoAfterHeightTracking();
        }
        consumed = true;
    } else if (FStates.Contains(hsDragPending)) {
        ReleaseCapture();
        FColumns->FDownIndex = NoColumn;
        Invalidate(NoColumn);
        consumed = true;
    }
    FStates = FStates - InteractionStates;
    if (consumed)
        Message.Result = 0;
    return consumed;
}

bool TTGHeader::HandleSetCursor(TMessage& Message)
{
    // While the header runs an interaction the pointer keeps its shape.
    if (FOwner->IsDesigning() || !(FStates - THeaderStates{hsNeedScaling}).Empty()) {
        Message.Result = 1;
        return true;
    }
    const TPoint p = FOwner->ScreenToClient(GetCursorPos());
    TCursor cursor = FOwner->Cursor();
    if (OnHeightSplitter(p))
        cursor = crVertSplit;
    else if (OnColumnSplitter(p))
        cursor = crHeaderSplit;
    FOwner->DoGetHeaderCursor(cursor);
    if (cursor == crDefault)
        return false;
    RegisterSplitCursors();
    SetWindowCursor(FOwner, Screen->Cursors(cursor));
    Message.Result = 1;
    return true;
}

bool TTGHeader::HandleLeftButtonDown(TMessage& Message, TPoint P)
{
    Application->CancelHint();
    FOwner->StopTimer(ScrollTimer);
    FOwner->StopTimer(EditTimer);
    FOwner->DoStateChange({}, {tsScrollPending, tsScrolling, tsEditPending});
    const TShiftState shift = IsNonClient(Message.Msg) ? GetShiftState() : KeysToShiftState(Message.Keys());
    const bool inHeader = InHeader(P);
    const bool height = OnHeightSplitter(P);
    if (height || OnColumnSplitter(P)) {
        FTrackStart = P;
        if (FColumns->FHoverIndex >= 0)
            Invalidate(FColumns->FHoverIndex);
        FColumns->FHoverIndex = NoColumn;
        if (height) {
            DoBeforeHeightTracking(shift);
            FStates.Include(hsHeightTrackPending);
        } else {
            DoBeforeColumnWidthTracking(FColumns->FTrackIndex, shift);
            FStates.Include(hsColumnWidthTrackPending);
        }
        SetCapture(FOwner->Handle());
        Message.Result = 0;
        return true;
    }
    bool consumed = false;
    if (inHeader) {
        const TPoint hp = HeaderPoint(P);
        const TColumnIndex hit = FColumns->AdjustDownColumn(hp);
        if (FOptions.Contains(hoDrag) && hit >= 0 && FColumns->Items(hit)->Options().Contains(coDraggable)) {
            FDragStart = FOwner->ClientToScreen(P);
            FStates.Include(hsDragPending);
            SetCapture(FOwner->Handle());
            Message.Result = 0;
            consumed = true;
        }
        FOwner->DoHeaderMouseDown(mbLeft, shift, hp.X, hp.Y);
    }
    return consumed;
}

bool TTGHeader::HandleMouseMove(TMessage& Message)
{
    if ((FStates * InteractionStates).Empty())
        return false;
    const TPoint p = Message.Pos();
    const TShiftState shift = KeysToShiftState(Message.Keys());
    if (FStates.ContainsAny({hsColumnWidthTrackPending, hsHeightTrackPending})) {
        FOwner->StopTimer(HeaderTimer);
        if (FStates.Contains(hsColumnWidthTrackPending)) {
            FStates.Exclude(hsColumnWidthTrackPending);
            FStates.Include(hsColumnWidthTracking);
        } else {
            FStates.Exclude(hsHeightTrackPending);
            FStates.Include(hsHeightTracking);
        }
    }
    if (FStates.Contains(hsColumnWidthTracking)) {
        TPoint trackPoint = FTrackPoint;
        if (FColumns->IsValidColumn(FColumns->FTrackIndex) &&
            DoColumnWidthTracking(FColumns->FTrackIndex, shift, trackPoint, p)) {
            FTrackPoint = trackPoint;
            TTreeGridColumn* column = FColumns->Items(FColumns->FTrackIndex);
            // SetWidth keeps the column inside its limits.
            if (FOwner->UseRightToLeftAlignment())
                column->SetWidth(FTrackPoint.X - p.X);
            else
                column->SetWidth(p.X - FTrackPoint.X);
        }
    } else if (FStates.Contains(hsHeightTracking)) {
        TPoint point = p;
        if (DoHeightTracking(point, shift))
            SetHeight(FHeight + point.Y);
    } else if (FStates.Contains(hsDragPending)) {
        const TPoint screen = FOwner->ClientToScreen(p);
        const int threshold = GetSystemMetrics(SM_CXDRAG);
        if (FOptions.Contains(hoDrag) && FOwner->DoHeaderDragging(FColumns->FDownIndex) &&
            (std::abs(screen.X - FDragStart.X) > threshold || std::abs(screen.Y - FDragStart.Y) > threshold)) {
            FOwner->StopTimer(HeaderTimer);
            FColumns->FDownIndex = NoColumn;
            FColumns->FHoverIndex = NoColumn;
            Invalidate(NoColumn);
            PrepareDrag(p, FOwner->ScreenToClient(FDragStart));
            FStates.Exclude(hsDragPending);
            FStates.Include(hsDragging);
        }
    } else if (FStates.Contains(hsDragging)) {
        DragTo(p);
    }
    Message.Result = 0;
    return true;
}

bool TTGHeader::HandleLeftButtonUp(TMessage& Message, TPoint P)
{
    Application->CancelHint();
    const THeaderStates states = FStates * InteractionStates;
    const bool downColumn = FColumns->FDownIndex >= 0;
    if (!states.Empty())
        ReleaseCapture();
    if (states.Contains(hsDragging)) {
        FDragImage->EndDrag();
        DropColumn(FOwner->ClientToScreen(P));
    }
    const TPoint hp = HeaderPoint(P);
    if (downColumn)
        FColumns->HandleClick(hp, mbLeft, false, false);
    if (!states.Empty() || downColumn || InHeader(P)) {
        const TShiftState shift = IsNonClient(Message.Msg) ? GetShiftState() : KeysToShiftState(Message.Keys());
        FOwner->DoHeaderMouseUp(mbLeft, shift, hp.X, hp.Y);
    }
    if (states.ContainsAny({hsColumnWidthTracking, hsColumnWidthTrackPending})) {
        DoAfterColumnWidthTracking(FColumns->FTrackIndex);
        Invalidate(FColumns->FTrackIndex, true);
        FColumns->FTrackIndex = NoColumn;
    }
    if (FColumns->FDownIndex >= 0) {
        Invalidate(FColumns->FDownIndex);
        FColumns->FDownIndex = NoColumn;
    }
    if (states.ContainsAny({hsHeightTracking, hsHeightTrackPending}))
        DoAfterHeightTracking();
    FStates = FStates - InteractionStates;
    // What the header captured ends here; the tree never saw its press.
    if (states.Empty())
        return false;
    Message.Result = 0;
    return true;
}

bool TTGHeader::HandleDoubleClick(TMessage& Message, TPoint P)
{
    const TShiftState shift = IsNonClient(Message.Msg) ? GetShiftState() : KeysToShiftState(Message.Keys());
    const bool leftButton = Message.Msg == WM_NCLBUTTONDBLCLK || Message.Msg == WM_LBUTTONDBLCLK;
    if (FOptions.Contains(hoHeightDblClickResize) && InHeaderSplitterArea(P) && FDefaultHeight > 0) {
        TPoint point = P;
        if (!DoHeightDblClickResize(point, shift))
            return false;
        SetHeight(FDefaultHeight);
        Message.Result = 0;
        return true;
    }
    if (OnColumnSplitter(P)) {
        if (leftButton && FOptions.Contains(hoDblClickResize) && FColumns->FTrackIndex >= 0 &&
            DoColumnWidthDblClickResize(FColumns->FTrackIndex, P, shift)) {
            const int position = int(FColumns->Items(FColumns->FTrackIndex)->Position());
            AutoFitColumns(true, smaUseColumnOption, position, position);
            Message.Result = 0;
            return true;
        }
        return false;
    }
    if (InHeader(P) && IsNonClient(Message.Msg)) {
        const TMouseButton button = Message.Msg == WM_NCRBUTTONDBLCLK ? mbRight
            : Message.Msg == WM_NCMBUTTONDBLCLK                       ? mbMiddle
                                                                      : mbLeft;
        FColumns->HandleClick(HeaderPoint(P), button, true, true);
    }
    return false;
}

bool TTGHeader::HandleRightButtonUp(TMessage& Message, TPoint P)
{
    Application->CancelHint();
    if (!InHeader(P))
        return false;
    const TPoint hp = HeaderPoint(P);
    FOwner->DoHeaderMouseUp(mbRight, GetShiftState(), hp.X, hp.Y);
    FColumns->HandleClick(hp, mbRight, true, false);
    FColumns->FDownIndex = NoColumn;
    FColumns->FTrackIndex = NoColumn;
    TPopupMenu* menu = FPopupMenu;
    if (!menu)
        menu = DoGetPopupMenu(FColumns->ColumnFromPoint(hp.X, hp.Y), P);
    if (!menu)
        return false;
    FOwner->StopTimer(ScrollTimer);
    FOwner->StopTimer(HeaderTimer);
    if (FColumns->FHoverIndex >= 0)
        Invalidate(FColumns->FHoverIndex);
    FColumns->FHoverIndex = NoColumn;
    menu->SetPopupComponent(FOwner);
    menu->Popup(Message.XPos(), Message.YPos());
    Message.Result = 1;
    return true;
}
