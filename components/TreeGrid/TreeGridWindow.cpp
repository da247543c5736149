// TBaseTreeGrid and its window: creation parameters, the messages the tree
// answers itself (focus, size, non-client area with the header strip, the
// tree-view queries), the simple property setters and the event
// dispatchers.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"

// ---- window creation --------------------------------------------------------------

void TBaseTreeGrid::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    switch (FScrollBarOptions ? FScrollBarOptions->ScrollBars() : tsbNone) {
    case tsbHorizontal: Params.Style |= WS_HSCROLL; break;
    case tsbVertical: Params.Style |= WS_VSCROLL; break;
    case tsbBoth: Params.Style |= WS_HSCROLL | WS_VSCROLL; break;
    default: break;
    }
    if (FOptions && FOptions->MiscOptions().Contains(toFullRepaintOnResize))
        Params.WindowClassStyle |= CS_HREDRAW | CS_VREDRAW;
    else
        Params.WindowClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TBaseTreeGrid::CreateWnd()
{
    DoStateChange({tsWindowCreating});
    try {
        TCustomControl::CreateWnd();
    } catch (...) {
        DoStateChange({}, {tsWindowCreating});
        throw;
    }
    DoStateChange({}, {tsWindowCreating, tsUseThemes});
    if (FHeader->States().Contains(hsNeedScaling))
        FHeader->RescaleHeader();
    if (FHeader->Options().Contains(hoAutoResize))
        FHeader->Columns()->AdjustAutoSize(InvalidColumn, true);
    UpdateScrollBars(true);
    UpdateHeaderRect();
    UpdateDropTarget();
}

// ---- messages -------------------------------------------------------------------------

void TBaseTreeGrid::WndProc(TMessage& Message)
{
    // The header takes what concerns it (tracking, dragging) first.
    if (FHeader && FHeader->HandleMessage(Message))
        return;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        if (!Focused() && CanFocus())
            SetFocus();
        break;
    default: break;
    }
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && DragMode() == dmAutomatic) {
        // The control's own drag would take the press first; the tree
        // starts its drag of rows from its press handling instead.
        SetDragMode(dmManual);
        FAutomaticDrag = true;
        try {
            TCustomControl::WndProc(Message);
        } catch (...) {
            SetDragMode(dmAutomatic);
            FAutomaticDrag = false;
            throw;
        }
        SetDragMode(dmAutomatic);
        FAutomaticDrag = false;
        return;
    }
    TCustomControl::WndProc(Message);
}

void TBaseTreeGrid::Dispatch(TMessage& Message)
{
    // Setting the first bounds sends messages before the parts exist.
    if (!FHeader || !FOptions) {
        TCustomControl::Dispatch(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FWantTabs ? DLGC_WANTTAB : 0);
        return;
    case WM_SETFOCUS:
        TCustomControl::Dispatch(Message);
        if (FSelectionCount > 0 || !FOptions->PaintOptions().Contains(toGhostedIfUnfocused))
            RepaintTree();
        return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_SIZE:
        TCustomControl::Dispatch(Message);
        WMSize(Message);
        return;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        if (HandleAllocated())
            RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    case WM_NCCALCSIZE: WMNCCalcSize(Message); return;
    case WM_NCHITTEST: WMNCHitTest(Message); return;
    case WM_THEMECHANGED:
        // The platform has no visual styles: the tree never uses themes.
        TCustomControl::Dispatch(Message);
        DoStateChange({}, {tsUseThemes});
        if (HandleAllocated())
            RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    case WM_CANCELMODE: WMCancelMode(Message); return;
    case WM_GETOBJECT: Message.Result = 0; return;
    case WM_ERASEBKGND:
        // The tree paints every pixel itself.
        Message.Result = 1;
        return;
    case CM_BIDIMODECHANGED:
        TCustomControl::Dispatch(Message);
        if (FOptions->AutoOptions().Contains(toAutoBidiColumnOrdering))
            FHeader->Columns()->ReorderColumns(UseRightToLeftAlignment());
        for (int i = 0; i < FHeader->Columns()->Count(); ++i)
            FHeader->Columns()->Items(i)->ParentBiDiModeChanged();
        UpdateEffectiveOffsetX();
        FHeader->Invalidate(NoColumn);
        RepaintTree();
        return;
    case WM_PRINTCLIENT: WMPrintClient(Message); return;
    case WM_NCPAINT:
        // Border and scroll bars first, then the header in its strip.
        TCustomControl::Dispatch(Message);
        if (TCanvas* canvas = Message.DC()) {
            PaintHeaderStrip(canvas);
            PaintDragImage(canvas, {});
        }
        return;
    case WM_PAINT:
        TCustomControl::Dispatch(Message);
        if (TCanvas* canvas = Message.DC())
            PaintDragImage(canvas, ClientOffset());
        return;
    case WM_PRINT:
        if (TCanvas* canvas = Message.DC())
            PaintHeaderStrip(canvas);
        TCustomControl::Dispatch(Message);
        return;
    case CM_COLORCHANGED:
        TCustomControl::Dispatch(Message);
        if (!IsLoading())
            PrepareBitmaps(true, false);
        for (int i = 0; i < FHeader->Columns()->Count(); ++i)
            FHeader->Columns()->Items(i)->ParentColorChanged();
        RepaintTree();
        return;
    case CM_FONTCHANGED: {
        TCustomControl::Dispatch(Message);
        if (!IsLoading())
            PrepareBitmaps(true, false);
        TMessage notice(CM_PARENTFONTCHANGED);
        FHeader->HandleMessage(notice);
        RepaintTree();
        return;
    }
    case CM_CTL3DCHANGED:
        TCustomControl::Dispatch(Message);
        if (BorderStyle() == bsSingle)
            RecreateWnd();
        return;
    case CM_DENYSUBCLASSING: Message.Result = 1; return;
    case TVM_GETITEM: TVMGetItem(Message); return;
    case TVM_GETITEMRECT: TVMGetItemRect(Message); return;
    case TVM_GETNEXTITEM: TVMGetNextItem(Message); return;
    case WM_VSCROLL: WMVScroll(Message); return;
    case WM_HSCROLL: WMHScroll(Message); return;
    case CM_MOUSEWHEEL: CMMouseWheel(Message); return;
    case WM_TIMER: WMTimer(Message); return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: ButtonMessage(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_CONTEXTMENU: WMContextMenu(Message); return;
    case CM_MOUSELEAVE: CMMouseLeave(Message); return;
    case CM_HINTSHOW: CMHintShow(Message); return;
    case CM_HINTSHOWPAUSE:
        TCustomControl::Dispatch(Message);
        CMHintShowPause(Message);
        return;
    case WM_TGEDITDONE:
        if (Message.WParam)
            EndEditNode();
        else
            CancelEditNode();
        return;
    case WM_COPY: CopyToClipBoard(); return;
    case WM_CUT: CutToClipBoard(); return;
    case WM_PASTE: PasteFromClipboard(); return;
    default: TCustomControl::Dispatch(Message);
    }
}

void TBaseTreeGrid::WMSize(TMessage&)
{
    if (!HandleAllocated() || FStates.ContainsAny(TTreeGridStates{tsSizing, tsWindowCreating}) ||
        ClientRect().IsEmpty())
        return;
    DoStateChange({tsSizing});
    try {
        FHeader->RescaleHeader();
        FHeader->UpdateSpringColumns();
        UpdateScrollBars(true);
        if (!FHeader->UseColumns())
            UpdateEditBounds();
    } catch (...) {
        DoStateChange({}, {tsSizing});
        throw;
    }
    DoStateChange({}, {tsSizing});
}

void TBaseTreeGrid::WMKillFocus(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    FStates.Exclude(tsHint);
    StopWheelPanning();
    for (int timer : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer})
        StopTimer(timer);
    FSearchBuffer.clear();
    DoStateChange({}, {tsScrollPending, tsScrolling, tsEditPending, tsLeftButtonDown, tsRightButtonDown,
                          tsMiddleButtonDown, tsOLEDragPending, tsVCLDragPending, tsIncrementalSearching,
                          tsNodeHeightTrackPending, tsNodeHeightTracking});
    if (FSelectionCount > 0 || !FOptions->PaintOptions().Contains(toGhostedIfUnfocused))
        RepaintTree();
    else
        InvalidateNode(FFocusedNode);
}

void TBaseTreeGrid::WMCancelMode(TMessage& Message)
{
    for (int timer : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer})
        StopTimer(timer);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
    DoStateChange({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending, tsDrawSelecting,
                          tsDrawSelPending, tsIncrementalSearching});
    TCustomControl::Dispatch(Message);
}

// The header strip lies in the non-client area, directly above the client.
void TBaseTreeGrid::WMNCCalcSize(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    TRect& client = Message.CalcSizeParams()->Rgrc[0];
    FHeaderRect = {};
    if (FHeader && FHeader->Options().Contains(hoVisible)) {
        const int height = std::min(FHeader->Height(), std::max(0, client.Height()));
        // In window coordinates: the parent-relative rectangle less the origin.
        FHeaderRect = {client.Left - Left(), client.Top - Top(), client.Right - Left(), client.Top - Top() + height};
        client.Top += height;
    }
}

void TBaseTreeGrid::WMNCHitTest(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    if (IsDesigning() || !FHeader->Options().Contains(hoVisible))
        return;
    const TPoint p = Message.Pos() - ClientOrigin() + ClientOffset();
    if (FHeaderRect.Contains(p))
        Message.Result = HTBORDER;
}

// ---- tree-view queries -------------------------------------------------------------------

void TBaseTreeGrid::GetTextInfo(TGridNode* Node, TColumnIndex Column, const TFont*, TRect& R, String& Text)
{
    R = GetDisplayRect(Node, Column, true);
    Text.clear();
}

void TBaseTreeGrid::TVMGetItem(TMessage& Message)
{
    auto* item = reinterpret_cast<TTVItem*>(Message.LParam);
    if (!item || !item->hItem || item->hItem == FRoot) {
        Message.Result = 0;
        return;
    }
    TGridNode* node = item->hItem;
    if (item->mask & TVIF_TEXT) {
        TRect r;
        GetTextInfo(node, FHeader->MainColumn(), nullptr, r, item->Text);
    }
    bool ghosted = false;
    if (item->mask & TVIF_IMAGE)
        DoGetImageIndex(node, ikNormal, FHeader->MainColumn(), ghosted, item->iImage);
    if (item->mask & TVIF_SELECTEDIMAGE)
        DoGetImageIndex(node, ikSelected, FHeader->MainColumn(), ghosted, item->iSelectedImage);
    if (item->mask & TVIF_STATE) {
        item->state = 0;
        if (node->States.Contains(vsSelected))
            item->state |= TVIS_SELECTED;
        if (node->States.Contains(vsCutOrCopy) && FStates.Contains(tsCutPending))
            item->state |= TVIS_CUT;
        if (node == FDropTargetNode)
            item->state |= TVIS_DROPHILITED;
        if (node->States.Contains(vsExpanded))
            item->state |= TVIS_EXPANDED;
        item->state &= item->stateMask;
    }
    if (item->mask & TVIF_CHILDREN)
        item->cChildren = node->States.Contains(vsHasChildren) ? 1 : 0;
    Message.Result = 1;
}

void TBaseTreeGrid::TVMGetItemRect(TMessage& Message)
{
    auto* query = reinterpret_cast<TTVItemRect*>(Message.LParam);
    Message.Result = 0;
    if (!query || !query->Item || query->Item == FRoot)
        return;
    query->Rect = GetDisplayRect(query->Item, NoColumn, Message.WParam != 0);
    Message.Result = query->Rect.IsEmpty() ? 0 : 1;
}

void TBaseTreeGrid::TVMGetNextItem(TMessage& Message)
{
    auto* node = reinterpret_cast<TGridNode*>(Message.LParam);
    if (node == FRoot)
        node = nullptr;
    TGridNode* result = nullptr;
    switch (unsigned(Message.WParam)) {
    case TVGN_ROOT: result = GetFirst(); break;
    case TVGN_NEXT: result = node ? GetNextSibling(node) : nullptr; break;
    case TVGN_PREVIOUS: result = node ? GetPreviousSibling(node) : nullptr; break;
    case TVGN_PARENT: result = node && node->Parent != FRoot ? node->Parent : nullptr; break;
    case TVGN_CHILD: result = node ? GetFirstChild(node) : nullptr; break;
    case TVGN_FIRSTVISIBLE: result = GetFirstVisible(); break;
    case TVGN_NEXTVISIBLE: result = node ? GetNextVisible(node) : nullptr; break;
    case TVGN_PREVIOUSVISIBLE: result = node ? GetPreviousVisible(node) : nullptr; break;
    case TVGN_LASTVISIBLE: result = GetLastVisible(); break;
    case TVGN_CARET: result = FFocusedNode; break;
    case TVGN_DROPHILITE: result = FDropTargetNode; break;
    default: break;
    }
    Message.Result = reinterpret_cast<LRESULT>(result);
}

// ---- focus and references to other components ----------------------------------------

bool TBaseTreeGrid::CanFocus()
{
    if (!TCustomControl::CanFocus())
        return false;
    if (IsDesigning())
        return true;
    TCustomForm* form = GetParentForm(this);
    return !form || (form->Enabled() && form->Visible());
}

void TBaseTreeGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FStateImages)
        FStateImages = nullptr;
    if (AComponent == FCustomCheckImages)
        FCustomCheckImages = nullptr;
    if (FHeader && AComponent == FHeader->Images())
        FHeader->SetImages(nullptr);
    if (FHeader && AComponent == FHeader->PopupMenu())
        FHeader->SetPopupMenu(nullptr);
}



// ---- property setters ----------------------------------------------------------------------

void TBaseTreeGrid::SetBiDiMode(TBiDiMode Value)
{
    if (Value == FBiDiMode)
        return;
    FBiDiMode = Value;
    Perform(CM_BIDIMODECHANGED);
}

void TBaseTreeGrid::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    if (!IsLoading())
        RepaintTree();
}

void TBaseTreeGrid::SetBackgroundOffset(int Index, int Value)
{
    int& offset = Index == 0 ? FBackgroundOffsetX : FBackgroundOffsetY;
    if (Value == offset)
        return;
    offset = Value;
    RepaintTree();
}

void TBaseTreeGrid::SetHeader(TTGHeader* Value)
{
    FHeader->Assign(Value);
}

void TBaseTreeGrid::SetIndent(Cardinal Value)
{
    if (Value == FIndent)
        return;
    FIndent = Value;
    if (!IsLoading() && FUpdateCount == 0 && HandleAllocated()) {
        UpdateScrollBars(true);
        Invalidate();
    }
}

void TBaseTreeGrid::SetMargin(int Value)
{
    if (Value == FMargin)
        return;
    FMargin = Value;
    if (!IsLoading())
        RepaintTree();
}

void TBaseTreeGrid::SetNodeAlignment(TTGNodeAlignment Value)
{
    if (Value == FNodeAlignment)
        return;
    FNodeAlignment = Value;
    if (!IsLoading())
        RepaintTree();
}

void TBaseTreeGrid::SetScrollBarOptions(TScrollBarOptions* Value)
{
    FScrollBarOptions->Assign(Value);
}

void TBaseTreeGrid::SetSelectionCurveRadius(Cardinal Value)
{
    if (Value == FSelectionCurveRadius)
        return;
    FSelectionCurveRadius = Value;
    if (!IsLoading())
        RepaintTree();
}

void TBaseTreeGrid::SetImages(TImageList* Value)
{
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    if (!IsLoading())
        RepaintTree();
}

void TBaseTreeGrid::SetStateImages(TImageList* Value)
{
    if (Value == FStateImages)
        return;
    if (FStateImages)
        FStateImages->RemoveFreeNotification(this);
    FStateImages = Value;
    if (FStateImages)
        FStateImages->FreeNotification(this);
    if (!IsLoading())
        RepaintTree();
}

void TBaseTreeGrid::ChangeScale(int M, int D)
{
    if (M == D || D == 0 || !FOptions->AutoOptions().Contains(toAutoChangeScale))
        return;
    SetDefaultNodeHeight(Cardinal(std::max(1, MulDiv(int(FDefaultNodeHeight), M, D))));
    FIndent = Cardinal(MulDiv(int(FIndent), M, D));
    FMargin = MulDiv(FMargin, M, D);
    FTextMargin = MulDiv(FTextMargin, M, D);
    FHeader->ChangeScale(M, D);
    if (HandleAllocated() && FUpdateCount == 0) {
        UpdateScrollBars(true);
        Invalidate();
    }
}

// ---- event dispatchers ----------------------------------------------------------------------

void TBaseTreeGrid::DoColumnResize(TColumnIndex Column)
{
    if (HandleAllocated()) {
        if (Column > NoColumn)
            UpdateEditBounds();
        if (FUpdateCount == 0 && !FHeader->States().Contains(hsLoading) && !FStates.Contains(tsSizing)) {
            UpdateScrollBars(true);
            Invalidate();
        }
    }
    if (OnColumnResize)
        OnColumnResize(this, Column);
}

void TBaseTreeGrid::DoBeforeItemErase(TCanvas* Canvas, TGridNode* Node, const TRect& ItemRect, TColor& Color,
    TItemEraseAction& EraseAction)
{
    if (OnBeforeItemErase)
        OnBeforeItemErase(this, Canvas, Node, ItemRect, Color, EraseAction);
}

void TBaseTreeGrid::DoAfterItemErase(TCanvas* Canvas, TGridNode* Node, const TRect& ItemRect)
{
    if (OnAfterItemErase)
        OnAfterItemErase(this, Canvas, Node, ItemRect);
}

void TBaseTreeGrid::DoColumnClick(TColumnIndex Column, TShiftState Shift)
{
    if (OnColumnClick)
        OnColumnClick(this, Column, Shift);
}

void TBaseTreeGrid::DoColumnDblClick(TColumnIndex Column, TShiftState Shift)
{
    if (OnColumnDblClick)
        OnColumnDblClick(this, Column, Shift);
}

void TBaseTreeGrid::DoGetHeaderCursor(TCursor& Cursor)
{
    if (OnGetHeaderCursor)
        OnGetHeaderCursor(this, Cursor);
}

String TBaseTreeGrid::DoGetNodeTooltip(TGridNode*, TColumnIndex)
{
    return {};
}

TPopupMenu* TBaseTreeGrid::DoGetPopupMenu(TGridNode* Node, TColumnIndex Column, TPoint Position)
{
    TPopupMenu* menu = nullptr;
    bool askParent = true;
    if (OnGetPopupMenu)
        OnGetPopupMenu(this, Node, Column, Position, askParent, menu);
    if (!menu && !Node && FHeader->UseColumns())
        menu = FHeader->PopupMenu();
    return menu;
}

void TBaseTreeGrid::DoHeaderClick(const TTGHeaderHitInfo& HitInfo)
{
    if (OnHeaderClick)
        OnHeaderClick(this, HitInfo);
}

void TBaseTreeGrid::DoHeaderDblClick(const TTGHeaderHitInfo& HitInfo)
{
    if (OnHeaderDblClick)
        OnHeaderDblClick(this, HitInfo);
}

void TBaseTreeGrid::DoHeaderDragged(TColumnIndex Column, int OldPosition)
{
    if (OnHeaderDragged)
        OnHeaderDragged(this, Column, OldPosition);
}

void TBaseTreeGrid::DoHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition)
{
    if (OnHeaderDraggedOut)
        OnHeaderDraggedOut(this, Column, DropPosition);
}

bool TBaseTreeGrid::DoHeaderDragging(TColumnIndex Column)
{
    bool allowed = true;
    if (OnHeaderDragging)
        OnHeaderDragging(this, Column, allowed);
    return allowed;
}

void TBaseTreeGrid::DoHeaderMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnHeaderMouseDown)
        OnHeaderMouseDown(this, Button, Shift, X, Y);
}

void TBaseTreeGrid::DoHeaderMouseMove(TShiftState Shift, int X, int Y)
{
    if (OnHeaderMouseMove)
        OnHeaderMouseMove(this, Shift, X, Y);
}

void TBaseTreeGrid::DoHeaderMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnHeaderMouseUp)
        OnHeaderMouseUp(this, Button, Shift, X, Y);
}

void TBaseTreeGrid::DoHotChange(TGridNode* Old, TGridNode* New)
{
    if (OnHotChange)
        OnHotChange(this, Old, New);
}

bool TBaseTreeGrid::DoNodeHeightDblClickResize(TGridNode* Node, TColumnIndex Column, TShiftState Shift, TPoint P)
{
    bool allowed = true;
    if (OnNodeHeightDblClickResize)
        OnNodeHeightDblClickResize(this, Node, Column, Shift, P, allowed);
    return allowed;
}

bool TBaseTreeGrid::DoNodeHeightTracking(TGridNode* Node, TColumnIndex Column, TShiftState Shift,
    TPoint& TrackPoint, TPoint P)
{
    bool allowed = true;
    if (OnNodeHeightTracking)
        OnNodeHeightTracking(this, Node, Column, Shift, TrackPoint, P, allowed);
    return allowed;
}
