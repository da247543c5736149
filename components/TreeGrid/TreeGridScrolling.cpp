// Offsets, ranges and scrolling of TBaseTreeGrid: the scroll bars and their
// messages, the wheel, ScrollIntoView, automatic scrolling while dragging or
// selecting, the window timers and cancellable long operations.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "components/TreeGrid/BaseTreeGrid.h"

namespace {

// Milliseconds of a monotonic clock, for the automatic-scroll delay.
std::int64_t TickCount()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + 1;
}

// Window timers below this interval would only load the machine.
constexpr Cardinal MinTimerInterval = 10;

}  // namespace

// ---- offsets -------------------------------------------------------------------

void TBaseTreeGrid::SetOffsetX(int Value)
{
    DoSetOffsetXY({Value, FOffsetY}, DefaultScrollUpdateFlags);
}

void TBaseTreeGrid::SetOffsetY(int Value)
{
    DoSetOffsetXY({FOffsetX, Value}, DefaultScrollUpdateFlags);
}

void TBaseTreeGrid::SetOffsetXY(TPoint Value)
{
    DoSetOffsetXY(Value, DefaultScrollUpdateFlags);
}

// Right to left the view starts at the right end: offset 0 shows the part
// of the range that ends at the client's right edge.
void TBaseTreeGrid::UpdateEffectiveOffsetX()
{
    if (UseRightToLeftAlignment())
        FEffectiveOffsetX = std::max(0, int(FRangeX) - TreeClientWidth() + FOffsetX);
    else
        FEffectiveOffsetX = -FOffsetX;
}

bool TBaseTreeGrid::DoSetOffsetXY(TPoint Value, TScrollUpdateOptions Options, const TRect* ClipRect)
{
    const int clientWidth = TreeClientWidth();
    const int clientHeight = TreeClientHeight();
    // The upper bound wins when the range is smaller than the client.
    Value.X = std::min(0, std::max(Value.X, clientWidth - int(FRangeX)));
    Value.Y = std::min(0, std::max(Value.Y, clientHeight - int(FRangeY)));
    int deltaX = Value.X - FOffsetX;
    if (UseRightToLeftAlignment())
        deltaX = -deltaX;
    const int deltaY = Value.Y - FOffsetY;
    if (deltaX == 0 && deltaY == 0)
        return false;
    FOffsetX = Value.X;
    FOffsetY = Value.Y;
    UpdateEffectiveOffsetX();
    FStates.Exclude(tsHint);
    if (FUpdateCount == 0 && HandleAllocated()) {
        if (Options.Contains(suoScrollClientArea) && !FStates.Contains(tsToggling))
            ScrollClientArea(deltaX, deltaY, ClipRect);
        if (Options.Contains(suoUpdateNCArea)) {
            if (deltaX != 0) {
                if (Options.Contains(suoRepaintHeader) && FHeader->Options().Contains(hoVisible))
                    FHeader->Invalidate(NoColumn);
                if (!FStates.Contains(tsSizing))
                    UpdateHorizontalScrollBar(Options.Contains(suoRepaintScrollBars));
            }
            if (deltaY != 0 && !FStates.ContainsAny(TTreeGridStates{tsSizing, tsThumbTracking})) {
                UpdateVerticalScrollBar(Options.Contains(suoRepaintScrollBars));
                // Without columns the width depends on the rows shown.
                if (!FHeader->UseColumns() && !FStates.ContainsAny(TTreeGridStates{tsDrawSelecting, tsDrawSelPending}))
                    UpdateHorizontalScrollBar(Options.Contains(suoRepaintScrollBars));
            }
        }
    }
    DoScroll(deltaX, deltaY);
    return true;
}

// The picture moves with the rows; only the strip the move uncovered is
// painted again.
void TBaseTreeGrid::ScrollClientArea(int DeltaX, int DeltaY, const TRect* ClipRect)
{
    const TRect client = ClientRect();
    const int fixedWidth = FHeader->UseColumns() ? FHeader->Columns()->GetVisibleFixedWidth() : 0;
    if (FOptions->PaintOptions().Contains(toShowBackground)) {
        // A background picture stands still while the rows move over it;
        // the editor and other child windows go with the rows.
        for (int i = 0; i < ControlCount(); ++i)
            if (auto* child = dynamic_cast<TWinControl*>(Controls(i)))
                child->SetBounds(child->Left() + DeltaX, child->Top() + DeltaY, child->Width(), child->Height());
        Invalidate();
    } else if (DeltaX != 0 && fixedWidth > 0) {
        // The fixed columns stay: only the area right of them moves sideways.
        const TRect scrolling{fixedWidth, client.Top, client.Right, client.Bottom};
        ScrollWindow(Handle(), DeltaX, 0, &scrolling, &scrolling);
        if (DeltaY != 0) {
            const TRect area = ClipRect ? *ClipRect : client;
            ScrollWindow(Handle(), 0, DeltaY, &area, &area);
        }
    } else if (ClipRect) {
        ScrollWindow(Handle(), DeltaX, DeltaY, ClipRect, ClipRect);
    } else {
        ScrollWindow(Handle(), DeltaX, DeltaY, nullptr, nullptr);
    }
}

void TBaseTreeGrid::DoScroll(int DeltaX, int DeltaY)
{
    if (OnScroll)
        OnScroll(this, DeltaX, DeltaY);
}

void TBaseTreeGrid::SetBottomSpace(Cardinal Value)
{
    if (Value == FBottomSpace)
        return;
    FBottomSpace = Value;
    UpdateVerticalScrollBar(true);
}

// ---- scroll bars -------------------------------------------------------------

void TBaseTreeGrid::DoShowScrollbar(int Bar, bool Show)
{
    ShowScrollBar(Handle(), Bar, Show);
    if (Bar == SB_HORZ || Bar == SB_VERT)
        FScrollBarShown[Bar] = Show;
    if (OnShowScrollbar)
        OnShowScrollbar(this, Bar, Show);
}

void TBaseTreeGrid::UpdateScrollBars(bool DoRepaint)
{
    // The horizontal bar first: it may change the height the vertical one sees.
    UpdateHorizontalScrollBar(DoRepaint);
    UpdateVerticalScrollBar(DoRepaint);
}

void TBaseTreeGrid::UpdateVerticalScrollBar(bool DoRepaint)
{
    if (FRoot->TotalHeight < FDefaultNodeHeight)
        FRoot->TotalHeight = FDefaultNodeHeight;
    FRangeY = FRoot->TotalHeight - FRoot->NodeHeight + FBottomSpace;
    if (FStates.Contains(tsUpdating))
        return;
    if (!HandleAllocated()) {
        SetOffsetY(FOffsetY);
        return;
    }
    const TTGScrollBars bars = FScrollBarOptions->ScrollBars();
    if (bars != tsbVertical && bars != tsbBoth) {
        DoShowScrollbar(SB_VERT, false);
        SetOffsetY(FOffsetY);
        return;
    }
    const int clientHeight = ClientHeight();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    if (clientHeight < int(FRangeY) || FScrollBarOptions->AlwaysVisible()) {
        info.nMin = 0;
        info.nMax = int(FRangeY);
        info.nPage = UINT(std::max(0, clientHeight + 1));
        info.nPos = -FOffsetY;
        if (FScrollBarOptions->AlwaysVisible())
            info.fMask |= SIF_DISABLENOSCROLL;
        DoShowScrollbar(SB_VERT, true);
        SetScrollInfo(Handle(), SB_VERT, info, DoRepaint);
    } else {
        DoShowScrollbar(SB_VERT, false);
        SetScrollInfo(Handle(), SB_VERT, info, DoRepaint);
    }
    SetOffsetY(-GetScrollPos(Handle(), SB_VERT));
}

void TBaseTreeGrid::UpdateHorizontalScrollBar(bool DoRepaint)
{
    // Without columns the width is that of the rows on screen, which are
    // measured (and initialised) only once there is a screen to show them.
    if (FHeader->UseColumns())
        FRangeX = Cardinal(std::max(0, FHeader->Columns()->TotalWidth()));
    else
        FRangeX = HandleAllocated() ? Cardinal(std::max(0, GetMaxRightExtend())) : 0;
    if (FStates.Contains(tsUpdating))
        return;
    if (!HandleAllocated()) {
        SetOffsetX(FOffsetX);
        return;
    }
    const TTGScrollBars bars = FScrollBarOptions->ScrollBars();
    if (bars != tsbHorizontal && bars != tsbBoth) {
        DoShowScrollbar(SB_HORZ, false);
        SetOffsetX(FOffsetX);
        return;
    }
    const int clientWidth = ClientWidth();
    const bool rtl = UseRightToLeftAlignment();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    if (clientWidth < int(FRangeX) || FScrollBarOptions->AlwaysVisible()) {
        info.nMin = 0;
        info.nMax = int(FRangeX);
        info.nPage = UINT(std::max(0, clientWidth + 1));
        // Right to left the bar's position counts from the left as usual.
        info.nPos = rtl ? std::max(0, int(FRangeX) - clientWidth + FOffsetX) : -FOffsetX;
        if (FScrollBarOptions->AlwaysVisible())
            info.fMask |= SIF_DISABLENOSCROLL;
        DoShowScrollbar(SB_HORZ, true);
        SetScrollInfo(Handle(), SB_HORZ, info, DoRepaint);
    } else {
        DoShowScrollbar(SB_HORZ, false);
        SetScrollInfo(Handle(), SB_HORZ, info, DoRepaint);
    }
    const int position = GetScrollPos(Handle(), SB_HORZ);
    SetOffsetX(rtl ? position - std::max(0, int(FRangeX) - ClientWidth()) : -position);
}

int TBaseTreeGrid::HorizontalScrollBarHeight()
{
    return GetSystemMetrics(SM_CYHSCROLL);
}

// ---- scroll messages ---------------------------------------------------------

namespace {
// The 32-bit position of a thumb being dragged.
int RealScrollPosition(HWND Handle, int Bar)
{
    TScrollInfo info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(Handle, Bar, info);
    return info.nTrackPos;
}
}  // namespace

void TBaseTreeGrid::WMVScroll(TMessage& Message)
{
    const int increment = FScrollBarOptions->VerticalIncrement();
    switch (Message.ScrollCode()) {
    case SB_BOTTOM: SetOffsetY(-int(FRoot->TotalHeight)); break;
    case SB_ENDSCROLL:
        FStates.Exclude(tsThumbTracking);
        UpdateScrollBars(true);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
        break;
    case SB_LINEUP: SetOffsetY(FOffsetY + increment); break;
    case SB_LINEDOWN: SetOffsetY(FOffsetY - increment); break;
    case SB_PAGEUP: SetOffsetY(FOffsetY + ClientHeight()); break;
    case SB_PAGEDOWN: SetOffsetY(FOffsetY - ClientHeight()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        FStates.Include(tsThumbTracking);
        SetOffsetY(-RealScrollPosition(Handle(), SB_VERT));
        break;
    case SB_TOP: SetOffsetY(0); break;
    default: break;
    }
    Message.Result = 0;
}

// Right to left the directions mirror: "left" moves the view towards the
// start of the range, which lies at the right.
void TBaseTreeGrid::WMHScroll(TMessage& Message)
{
    const int sign = UseRightToLeftAlignment() ? -1 : 1;
    const int increment = FScrollBarOptions->HorizontalIncrement();
    switch (Message.ScrollCode()) {
    case SB_LEFT: SetOffsetX(sign > 0 ? 0 : -int(FRangeX)); break;
    case SB_RIGHT: SetOffsetX(sign > 0 ? -int(FRangeX) : 0); break;
    case SB_ENDSCROLL:
        FStates.Exclude(tsThumbTracking);
        UpdateScrollBars(true);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
        break;
    case SB_LINELEFT: SetOffsetX(FOffsetX + sign * increment); break;
    case SB_LINERIGHT: SetOffsetX(FOffsetX - sign * increment); break;
    case SB_PAGELEFT: SetOffsetX(FOffsetX + sign * ClientWidth()); break;
    case SB_PAGERIGHT: SetOffsetX(FOffsetX - sign * ClientWidth()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        FStates.Include(tsThumbTracking);
        const int position = RealScrollPosition(Handle(), SB_HORZ);
        SetOffsetX(sign > 0 ? -position : position - std::max(0, int(FRangeX) - ClientWidth()));
        break;
    }
    default: break;
    }
    Message.Result = 0;
}

void TBaseTreeGrid::CMMouseWheel(TMessage& Message)
{
    StopWheelPanning();
    const TShiftState shift = KeysToShiftState(Message.WheelKeys());
    if (DoMouseWheel(shift, Message.WheelDelta(), Message.Pos())) {
        Message.Result = 1;
        return;
    }
    const double factor = Message.WheelDelta() / double(WHEEL_DELTA);
    const int clientHeight = TreeClientHeight();
    if (clientHeight >= int(FRangeY) || shift.Contains(ssShift)) {
        double amount;
        if (shift.Contains(ssCtrl))
            amount = (TreeClientWidth() - FHeader->Columns()->GetVisibleFixedWidth()) * factor;
        else
            amount = WheelScrollLines() * factor * FHeader->Columns()->GetScrollWidth();
        if (UseRightToLeftAlignment())
            amount = -amount;
        SetOffsetX(FOffsetX + int(std::lround(amount)));
    } else {
        double amount;
        if (shift.Contains(ssCtrl))
            amount = clientHeight * factor;
        else
            amount = WheelScrollLines() * factor * FDefaultNodeHeight;
        SetOffsetY(FOffsetY + int(std::lround(amount)));
    }
    Message.Result = 1;
}

// ---- bringing things into view -------------------------------------------------

bool TBaseTreeGrid::ScrollIntoView(TGridNode* Node, bool Center, bool Horizontally)
{
    if (!Node || Node == FRoot)
        return false;
    ExpandAncestors(Node);
    const bool columns = FHeader->UseColumns() && FHeader->Columns()->IsValidColumn(FFocusedColumn);
    const TRect r = GetDisplayRect(Node, columns ? FFocusedColumn : NoColumn, false);
    if (r.IsEmpty())
        return false;
    const int clientHeight = TreeClientHeight();
    bool scrolled = false;
    if (r.Top < 0) {
        scrolled = DoSetOffsetXY({FOffsetX, FOffsetY - r.Top + (Center ? clientHeight / 2 : 0)},
            DefaultScrollUpdateFlags);
    } else if (r.Bottom > clientHeight || Center) {
        const bool horizontalBarShown = HandleAllocated() && FScrollBarShown[SB_HORZ];
        scrolled = DoSetOffsetXY({FOffsetX, FOffsetY - r.Bottom + (Center ? clientHeight / 2 : clientHeight)},
            DefaultScrollUpdateFlags);
        // A horizontal bar that the scrolling brought up would cover the row.
        if (!FHeader->UseColumns() && !horizontalBarShown && int(FRangeX) > TreeClientWidth())
            scrolled = DoSetOffsetXY({FOffsetX, FOffsetY - HorizontalScrollBarHeight()}, DefaultScrollUpdateFlags) ||
                scrolled;
    }
    if (Horizontally && ScrollIntoView(FFocusedColumn, Center))
        scrolled = true;
    return scrolled;
}

bool TBaseTreeGrid::ScrollIntoView(TColumnIndex Column, bool Center)
{
    TTreeGridColumns* columns = FHeader->Columns();
    if (!FHeader->UseColumns() || !columns->IsValidColumn(Column))
        return false;
    const TTreeGridColumn* column = columns->Items(Column);
    if (!column->Options().Contains(coVisible) || column->Options().Contains(coFixed))
        return false;
    const int fixedWidth = columns->GetVisibleFixedWidth();
    const int clientWidth = TreeClientWidth();
    const int visibleWidth = std::max(0, clientWidth - fixedWidth);
    // Client coordinates of the column, without the right-to-left offset.
    const int left = column->StoredLeft() - FEffectiveOffsetX;
    const int right = left + column->Width();
    int shift = 0;  // pixels the column moves to the right
    if (Center)
        shift = fixedWidth + (visibleWidth - column->Width()) / 2 - left;
    else if (left < fixedWidth)
        shift = fixedWidth - left;
    else if (right > clientWidth)
        shift = -std::min(right - clientWidth, left - fixedWidth);
    if (shift == 0)
        return false;
    return DoSetOffsetXY({FOffsetX + (UseRightToLeftAlignment() ? -shift : shift), FOffsetY},
        DefaultScrollUpdateFlags);
}

TGridNode* TBaseTreeGrid::TopNode()
{
    int top = 0;
    return GetNodeAt(0, 0, true, top);
}

TGridNode* TBaseTreeGrid::BottomNode()
{
    int top = 0;
    return GetNodeAt(0, TreeClientHeight() - 1, true, top);
}

void TBaseTreeGrid::SetTopNode(TGridNode* Node)
{
    if (!Node || Node == FRoot)
        return;
    ExpandAncestors(Node);
    const TRect r = GetDisplayRect(Node, NoColumn, false);
    if (!r.IsEmpty())
        SetOffsetY(FOffsetY - r.Top);
}

void TBaseTreeGrid::SetBottomNode(TGridNode* Node)
{
    if (!Node || Node == FRoot)
        return;
    ExpandAncestors(Node);
    const TRect r = GetDisplayRect(Node, NoColumn, false);
    if (!r.IsEmpty())
        DoSetOffsetXY({FOffsetX, FOffsetY - r.Bottom + TreeClientHeight()}, DefaultScrollUpdateFlags);
}

// ---- automatic scrolling -------------------------------------------------------

bool TBaseTreeGrid::CanAutoScroll()
{
    const bool panning = FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling});
    const bool dragging = FStates.ContainsAny(
        TTreeGridStates{tsOLEDragging, tsOLEDragPending, tsVCLDragging, tsVCLDragPending});
    const bool drawSelecting = FStates.ContainsAny(TTreeGridStates{tsDrawSelecting, tsDrawSelPending});
    return (FOptions->AutoOptions().Contains(toAutoScroll) || panning) && FHeader->States().Empty() &&
        (dragging || drawSelecting || panning);
}

void TBaseTreeGrid::DetermineScrollDirections(int X, int Y)
{
    FScrollDirections = {};
    if (!CanAutoScroll())
        return;
    if (FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling})) {
        if (X < FLastClickPos.X - 8)
            FScrollDirections.Include(sdLeft);
        if (X > FLastClickPos.X + 8)
            FScrollDirections.Include(sdRight);
        if (Y < FLastClickPos.Y - 8)
            FScrollDirections.Include(sdUp);
        if (Y > FLastClickPos.Y + 8)
            FScrollDirections.Include(sdDown);
        return;
    }
    const int edge = int(FDefaultNodeHeight);
    const int clientWidth = TreeClientWidth();
    const int clientHeight = TreeClientHeight();
    if (X < edge && FEffectiveOffsetX > 0)
        FScrollDirections.Include(sdLeft);
    if (Y < edge && FOffsetY < 0)
        FScrollDirections.Include(sdUp);
    if (X >= clientWidth - edge && FEffectiveOffsetX + clientWidth < int(FRangeX))
        FScrollDirections.Include(sdRight);
    if (Y >= clientHeight - edge && clientHeight - FOffsetY < int(FRangeY))
        FScrollDirections.Include(sdDown);
    // A drag scrolls only the tree it is over, and only once the pointer
    // stayed at the edge for the delay.
    if (FStates.ContainsAny(TTreeGridStates{tsOLEDragging, tsOLEDragPending, tsVCLDragging, tsVCLDragPending})) {
        if (!IsDropTarget() || FScrollDirections.Empty()) {
            FScrollDirections = {};
            return;
        }
        if (FDragScrollStart == 0)
            FDragScrollStart = TickCount();
        if (TickCount() - FDragScrollStart < std::int64_t(FAutoScrollDelay))
            FScrollDirections = {};
    }
}

void TBaseTreeGrid::DoAutoScroll(int X, int Y)
{
    DetermineScrollDirections(X, Y);
    if (!FScrollDirections.Empty()) {
        if (!FStates.ContainsAny(TTreeGridStates{tsScrollPending, tsScrolling})) {
            DoStateChange({tsScrollPending});
            StartTimer(ScrollTimer, FAutoScrollDelay);
        }
    } else {
        StopTimer(ScrollTimer);
        DoStateChange({}, {tsScrollPending, tsScrolling});
    }
}

void TBaseTreeGrid::DoTimerScroll()
{
    const TPoint p = ScreenToClient(GetCursorPos());
    int deltaX = 0;
    int deltaY = 0;
    if (FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling})) {
        // Faster the farther the pointer is from where panning began.
        DetermineScrollDirections(p.X, p.Y);
        if (FScrollDirections.ContainsAny({sdLeft, sdRight}))
            deltaX = -(p.X - FLastClickPos.X) / 4;
        if (FScrollDirections.ContainsAny({sdUp, sdDown}))
            deltaY = -(p.Y - FLastClickPos.Y) / 4;
        AdjustPanningCursor(p.X, p.Y);
    } else {
        const int incrementX = FScrollBarOptions->HorizontalIncrement();
        const int incrementY = FScrollBarOptions->VerticalIncrement();
        if (FScrollDirections.Contains(sdLeft))
            deltaX += incrementX;
        if (FScrollDirections.Contains(sdRight))
            deltaX -= incrementX;
        if (FScrollDirections.Contains(sdUp))
            deltaY += incrementY;
        if (FScrollDirections.Contains(sdDown))
            deltaY -= incrementY;
        if (UseRightToLeftAlignment())
            deltaX = -deltaX;
    }
    if (deltaX != 0 || deltaY != 0)
        DoSetOffsetXY({FOffsetX + deltaX, FOffsetY + deltaY}, DefaultScrollUpdateFlags);
    if (FStates.Contains(tsDrawSelecting))
        ExtendDrawSelection(p);
}


// ---- timers --------------------------------------------------------------------

bool TBaseTreeGrid::StartTimer(int TimerID, Cardinal Interval)
{
    const HWND window = TimerWindow();
    return window && SetTimer(window, UINT_PTR(TimerID), std::max(Interval, MinTimerInterval));
}

void TBaseTreeGrid::StopTimer(int TimerID)
{
    if (FMessageWindow)
        KillTimer(FMessageWindow, UINT_PTR(TimerID));
}

bool TBaseTreeGrid::StartChangeTimer(int TimerID)
{
    return StartTimer(TimerID, Cardinal(std::max(FChangeDelay, 0)));
}

void TBaseTreeGrid::WMTimer(TMessage& Message)
{
    switch (Message.TimerID()) {
    case ExpandTimer: DoDragExpand(); break;
    case EditTimer: DoEdit(); break;
    case ScrollTimer:
        if (FStates.ContainsAny(TTreeGridStates{tsWheelPanning, tsWheelScrolling})) {
            DoTimerScroll();
        } else {
            if (!FStates.Contains(tsScrolling)) {
                DoStateChange({tsScrolling}, {tsScrollPending});
                StartTimer(ScrollTimer, FAutoScrollInterval);
            }
            DoTimerScroll();
        }
        break;
    case ChangeTimer: DoChange(FLastChangedNode); break;
    case StructureChangeTimer: DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason); break;
    case SearchTimer:
        DoStateChange({}, {tsIncrementalSearching});
        StopTimer(SearchTimer);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        break;
    default: return;
    }
    Message.Result = 0;
}


// ---- long operations -------------------------------------------------------------

void TBaseTreeGrid::BeginOperation()
{
    if (FOperationCount++ == 0)
        FOperationCanceled = false;
}

void TBaseTreeGrid::EndOperation()
{
    TGAssert(FOperationCount > 0, "EndOperation must not be called when no operation in progress.");
    --FOperationCount;
}
