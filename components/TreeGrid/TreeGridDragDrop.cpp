// Drag and drop of rows: the tree as drop target (the drag manager hands it
// each step of a drag), the drop target row and mode the drop mark shows,
// expanding a row held under a drag, and the tree as drag source.
//
// A drop inserts nothing by itself: OnDragDrop decides, and rows arrive only
// as new rows read from the drag's node stream (ProcessOLEData).
#include <algorithm>
#include <unordered_set>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Messages.h"

namespace {

TShiftState DragShift(int KeyState) { return KeysToShiftState(WPARAM(KeyState)); }

// The dragged rows show mostly opaque; the rows between them, which stay,
// not at all.
constexpr int DragPictureOpacity = 200;
constexpr TColor DragPictureKey = 0x00FF00FF;

}  // namespace

// ---- the drag manager ---------------------------------------------------------------

HRESULT TTGDragManager::DragEnter(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect)
{
    if (!FOwner) {
        Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    FDataObject = DataObject;
    FIsDropTarget = true;
    FDragSource = GetTreeFromDataObject(DataObject.get());
    return FOwner->DragEnter(KeyState, Pt, Effect);
}

HRESULT TTGDragManager::DragOver(int KeyState, TPoint Pt, int& Effect)
{
    if (!FOwner) {
        Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return FOwner->DragOver(FDragSource, KeyState, dsDragMove, Pt, Effect);
}

HRESULT TTGDragManager::DragLeave()
{
    if (FOwner)
        FOwner->DragLeave();
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.reset();
    return S_OK;
}

HRESULT TTGDragManager::Drop(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect)
{
    // The source may have gone since the drag entered.
    FDragSource = GetTreeFromDataObject(DataObject.get());
    HRESULT result = S_OK;
    if (FOwner)
        result = FOwner->DragDrop(DataObject, KeyState, Pt, Effect);
    else
        Effect = DROPEFFECT_NONE;
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.reset();
    return result;
}

IDataObjectPtr TTGDragManager::GetDataObject()
{
    if (FDataObject)
        return FDataObject;
    IDataObjectPtr data;
    if (!FOwner)
        return data;
    if (FOwner->OnCreateDataObject)
        FOwner->OnCreateDataObject(FOwner, data);
    if (!data)
        data = std::make_shared<TTGDataObject>(FOwner, false);
    return data;
}

HRESULT GiveFeedback(int) { return DRAGDROP_S_USEDEFAULTCURSORS; }

HRESULT QueryContinueDrag(bool EscapePressed, int KeyState)
{
    const bool left = KeyState & MK_LBUTTON;
    const bool right = KeyState & MK_RBUTTON;
    if (EscapePressed || (left && right))
        return DRAGDROP_S_CANCEL;
    if (!left && !right)
        return DRAGDROP_S_DROP;
    return S_OK;
}

// ---- the tree as drop target ------------------------------------------------------------

TTGDragManager* TBaseTreeGrid::DragManager()
{
    if (!FDragManager)
        FDragManager = std::make_shared<TTGDragManager>(this);
    return FDragManager.get();
}

void TBaseTreeGrid::UpdateDropTarget()
{
    if (!HandleAllocated() || IsDestroying())
        return;
    // Revoking what is not registered is harmless, and registering twice is
    // refused: revoke first, then register when wanted.
    RevokeDragDrop(Handle());
    if (FOptions->MiscOptions().Contains(toAcceptOLEDrop)) {
        DragManager();
        RegisterDragDrop(Handle(), FDragManager);
    }
}

bool TBaseTreeGrid::IsDropTarget() { return FDragManager && FDragManager->GetIsDropTarget(); }

HRESULT TBaseTreeGrid::DragEnter(int KeyState, TPoint Pt, int& Effect)
{
    DoStateChange({tsOLEDragging});
    return DragOver(FDragManager ? FDragManager->GetDragSource() : nullptr, KeyState, dsDragEnter, Pt, Effect);
}

HRESULT TBaseTreeGrid::DragOver(TBaseTreeGrid* Source, int KeyState, TDragState State, TPoint Pt, int& Effect)
{
    const TPoint client = ScreenToClient(Pt);
    int nodeTop = 0;
    TGridNode* node = client.Y >= 0 && client.Y < ClientHeight() ? GetNodeAt(client.X, client.Y, true, nodeTop)
                                                                   : nullptr;
    TTGDropMode mode = dmNowhere;
    if (node) {
        // The top and bottom quarter of a row drop beside it, the rest on it.
        const int height = int(NodeHeight(node));
        const int offset = client.Y - nodeTop;
        if (offset < height / 4)
            mode = dmAbove;
        else if (offset >= height - height / 4)
            mode = dmBelow;
        else
            mode = dmOnNode;
    }
    bool accept = false;
    if (OnDragOver)
        OnDragOver(this, Source, DragShift(KeyState), State, client, mode, Effect, accept);
    if (!accept) {
        Effect = DROPEFFECT_NONE;
        node = nullptr;
        mode = dmNowhere;
    }

    // Near an edge the tree scrolls after the auto-scroll delay.
    if (CanAutoScroll())
        DoAutoScroll(client.X, client.Y);
    if (node != FDropTargetNode || mode != FLastDropMode) {
        StopTimer(ExpandTimer);
        const bool newTarget = node != FDropTargetNode;
        FDropTargetNode = node;
        FLastDropMode = mode;
        if (HandleAllocated())
            RepaintTree();
        // A collapsed row with children held under the drag opens after a while.
        if (newTarget && node && FOptions->AutoOptions().Contains(toAutoDropExpand) &&
            node->States.Contains(vsHasChildren) && !node->States.Contains(vsExpanded))
            StartTimer(ExpandTimer, FAutoExpandDelay);
    }
    return S_OK;
}

void TBaseTreeGrid::DragLeave() { EndDropTarget(); }

void TBaseTreeGrid::EndDropTarget()
{
    StopTimer(ExpandTimer);
    StopTimer(ScrollTimer);
    FDropTargetNode = nullptr;
    FLastDropMode = dmNowhere;
    DoStateChange({}, {tsOLEDragging, tsScrollPending, tsScrolling});
    if (HandleAllocated())
        RepaintTree();
}

HRESULT TBaseTreeGrid::DragDrop(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect)
{
    TBaseTreeGrid* source = FDragManager ? FDragManager->GetDragSource() : nullptr;
    // The handler that accepted the moves decides at the drop point too.
    DragOver(source, KeyState, dsDragMove, Pt, Effect);
    if (Effect != DROPEFFECT_NONE && OnDragDrop) {
        std::vector<TFormatEtc> formats;
        if (DataObject)
            formats = DataObject->EnumFormatEtc();
        OnDragDrop(this, source, DataObject, formats, DragShift(KeyState), ScreenToClient(Pt), Effect, FLastDropMode);
    } else {
        Effect = DROPEFFECT_NONE;
    }
    EndDropTarget();
    return S_OK;
}

void TBaseTreeGrid::DoDragExpand()
{
    StopTimer(ExpandTimer);
    if (FDropTargetNode && FStates.Contains(tsOLEDragging) && !FDropTargetNode->States.Contains(vsExpanded))
        ToggleNode(FDropTargetNode);
}

// ---- the tree as drag source ---------------------------------------------------------------

bool TBaseTreeGrid::DoBeforeDrag(TGridNode* Node, TColumnIndex Column)
{
    bool allowed = false;
    if (OnDragAllowed)
        OnDragAllowed(this, Node, Column, allowed);
    return allowed;
}

std::unique_ptr<TBitmap> TBaseTreeGrid::MakeDragPicture(TPoint P, TPoint& HotSpot)
{
    // Tree coordinates from here on.
    const TPoint at(P.X + FEffectiveOffsetX, P.Y - FOffsetY);
    const int treeWidth = std::max(TreeClientWidth(), int(FRangeX));
    const int width = std::min(FDragWidth, treeWidth);
    if (width <= 0 || FDragHeight <= 0)
        return nullptr;
    const int left = std::clamp(at.X - width / 2, 0, treeWidth - width);
    const int top = std::max(0, at.Y - FDragHeight / 2);
    const int bottom = top + FDragHeight;
    // Only as high as the selected rows in reach: the rows' painting would
    // fill whatever lies below the last of them.
    int first = -1;
    int last = -1;
    int nodeTop = 0;
    for (TGridNode* node = GetNodeAt(0, top, false, nodeTop); node && nodeTop < bottom;
         node = GetNextVisible(node)) {
        const int height = int(NodeHeight(node));
        if (Selected(node) && height > 0) {
            if (first < 0)
                first = std::max(nodeTop, top);
            last = std::min(nodeTop + height, bottom);
        }
        nodeTop += height;
    }
    if (first < 0)
        return nullptr;
    auto picture = std::make_unique<TBitmap>(width, last - first);
    TCanvas* c = picture->Canvas();
    c->Brush()->SetColor(DragPictureKey);
    c->FillRect(TRect(0, 0, width, last - first));
    picture->SetTransparentColor(DragPictureKey);
    picture->SetTransparent(true);
    TTGInternalPaintOptions options = WindowPaintOptions;
    options.Exclude(poDrawFocusRect);
    options.Exclude(poDrawDropMark);
    options.Include(poSelectedOnly);
    PaintTree(c, TRect(left, first, left + width, last), {0, 0}, options, pf32bit);
    HotSpot = {at.X - left, at.Y - first};
    return picture;
}

void TBaseTreeGrid::DoDragging(TPoint P)
{
    if (SelectedCount() == 0 || FStates.Contains(tsOLEDragging))
        return;
    const IDataObjectPtr data = DragManager()->GetDataObject();
    const TNodeArray dragged = GetSortedSelection(true);
    TDragPicture shown;
    const std::unique_ptr<TBitmap> picture = MakeDragPicture(P, shown.HotSpot);
    shown.Picture = picture.get();
    shown.Opacity = DragPictureOpacity;
    int effect = DROPEFFECT_NONE;
    DoStateChange({tsOLEDragging});
    try {
        ::DoDragDrop(data, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect, shown);
    } catch (...) {
        DoStateChange({}, {tsOLEDragging});
        throw;
    }
    DoStateChange({}, {tsOLEDragging});
    if (effect != DROPEFFECT_MOVE || FOptions->MiscOptions().Contains(toReadOnly))
        return;
    // The rows were taken as new rows: the originals go, those the drop
    // handler did not delete itself.
    std::unordered_set<TGridNode*> live;
    for (TGridNode* run = GetFirstNoInit(); run; run = GetNextNoInit(run))
        live.insert(run);
    BeginUpdate();
    try {
        for (std::size_t i = dragged.size(); i > 0; --i)
            if (live.count(dragged[i - 1]))
                DeleteNode(dragged[i - 1]);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
