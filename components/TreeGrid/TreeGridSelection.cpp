// Selection and focus of TBaseTreeGrid. The selection is an array of node
// pointers sorted by address, so membership is a binary search; entries of
// nodes taken out during an update carry a removal mark (the lowest address
// bit, never set in an aligned block) until the next pack.
#include <algorithm>
#include <cstdint>

#include "components/TreeGrid/BaseTreeGrid.h"

namespace {
inline std::uintptr_t Address(const TGridNode* Node)
{
    return reinterpret_cast<std::uintptr_t>(Node);
}
inline bool IsMarked(const TGridNode* Node)
{
    return (Address(Node) & 1) != 0;
}
inline TGridNode* Marked(TGridNode* Node)
{
    return reinterpret_cast<TGridNode*>(Address(Node) | 1);
}
}  // namespace

int TBaseTreeGrid::PackArray(TNodeArray& TheArray, int Count)
{
    if (Count <= 0)
        return -1;
    int kept = 0;
    for (int i = 0; i < Count; ++i)
        if (!IsMarked(TheArray[std::size_t(i)]))
            TheArray[std::size_t(kept++)] = TheArray[std::size_t(i)];
    TheArray.resize(std::size_t(kept));
    return kept;
}

bool TBaseTreeGrid::FindNodeInSelection(TGridNode* Node, int& Index, int LowBound, int HighBound) const
{
    if (LowBound < 0)
        LowBound = 0;
    if (HighBound < 0)
        HighBound = FSelectionCount - 1;
    const std::uintptr_t key = Address(Node);
    int low = LowBound;
    int high = HighBound;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const std::uintptr_t probe = Address(FSelection[std::size_t(middle)]);
        if (probe < key) {
            low = middle + 1;
        } else if (probe > key) {
            high = middle - 1;
        } else {
            Index = middle;
            return true;
        }
    }
    Index = low;
    return false;
}

void TBaseTreeGrid::PackSelection()
{
    const int count = PackArray(FSelection, FSelectionCount);
    if (count > -1)
        FSelectionCount = count;
    FSelectionMarks = 0;
}

void TBaseTreeGrid::ResetRangeAnchor()
{
    FRangeAnchor = FFocusedNode;
    FLastSelectionLevel = -1;
}

void TBaseTreeGrid::InternalCacheNode(TGridNode* Node)
{
    if (FTempNodeCache.size() == FTempNodeCache.capacity())
        FTempNodeCache.reserve(FTempNodeCache.empty() ? 100 : FTempNodeCache.size() + FTempNodeCache.size() / 10);
    FTempNodeCache.push_back(Node);
    FTempNodeCount = int(FTempNodeCache.size());
}

void TBaseTreeGrid::ClearTempCache()
{
    FTempNodeCache.clear();
    FTempNodeCount = 0;
}

bool TBaseTreeGrid::SelectionRefuses(TGridNode* Node, TGridNode* Anchor, int Level) const
{
    if (Node->States.ContainsAny(TGridNodeStates{vsSelected, vsDisabled}))
        return true;
    const TTGSelectionOptions selection = FOptions->SelectionOptions();
    if (selection.Contains(toLevelSelectConstraint) && Level >= 0 && int(GetNodeLevel(Node)) != Level)
        return true;
    return selection.Contains(toSiblingSelectConstraint) && Anchor && Node->Parent != Anchor->Parent;
}

bool TBaseTreeGrid::InternalAddToSelection(TGridNode* Node, bool ForceInsert)
{
    TGAssert(Node != nullptr, "Node must not be nil!");
    FSingletonNodeArray[0] = Node;
    return InternalAddToSelection(FSingletonNodeArray.data(), 1, ForceInsert);
}

bool TBaseTreeGrid::InternalAddToSelection(TGridNode* const* NewItems, int NewLength, bool ForceInsert)
{
    if (NewLength <= 0)
        return false;
    TNodeArray items(NewItems, NewItems + NewLength);
    for (TGridNode* item : items)
        TGAssert(item != nullptr, "Node must not be nil!");
    const TTGSelectionOptions selection = FOptions->SelectionOptions();
    if (ForceInsert) {
        for (TGridNode* item : items)
            item->States.Include(vsSelected);
    } else {
        if (selection.Contains(toLevelSelectConstraint) && FLastSelectionLevel < 0)
            FLastSelectionLevel = int(GetNodeLevel(items[0]));
        if (selection.Contains(toSiblingSelectConstraint) && !FRangeAnchor)
            FRangeAnchor = items[0];
        for (TGridNode*& item : items) {
            if (SelectionRefuses(item, FRangeAnchor, FLastSelectionLevel))
                item = Marked(item);
            else
                item->States.Include(vsSelected);
        }
    }
    const int added = PackArray(items, int(items.size()));
    if (added <= 0)
        return false;
    DropSelectionOrder();
    if (added > 1)
        std::sort(items.begin(), items.end(), [](TGridNode* a, TGridNode* b) { return Address(a) < Address(b); });
    if (added == 1) {
        int index = 0;
        FindNodeInSelection(items[0], index, 0, FSelectionCount - 1);
        FSelection.insert(FSelection.begin() + index, items[0]);
    } else {
        const std::size_t old = FSelection.size();
        FSelection.insert(FSelection.end(), items.begin(), items.end());
        std::inplace_merge(FSelection.begin(), FSelection.begin() + std::ptrdiff_t(old), FSelection.end(),
            [](TGridNode* a, TGridNode* b) { return Address(a) < Address(b); });
    }
    FSelectionCount = int(FSelection.size());
    return true;
}

void TBaseTreeGrid::InternalRemoveFromSelection(TGridNode* Node)
{
    if (!Node || !Node->States.Contains(vsSelected))
        return;
    Node->States.Exclude(vsSelected);
    DropSelectionOrder();
    int index = 0;
    if (FindNodeInSelection(Node, index, -1, -1)) {
        FSelection[std::size_t(index)] = Marked(Node);
        ++FSelectionMarks;
    }
}

void TBaseTreeGrid::InternalClearSelection()
{
    PackSelection();
    for (TGridNode* node : FSelection)
        node->States.Exclude(vsSelected);
    FSelection.clear();
    FSelectionCount = 0;
    DropSelectionOrder();
    ResetRangeAnchor();
    FStates.Exclude(tsClearPending);
}

void TBaseTreeGrid::AddToSelection(TGridNode* Node)
{
    if (FSelectionLocked)
        return;
    TGAssert(Node != nullptr, "Node must not be nil!");
    if (InternalAddToSelection(Node, false)) {
        InvalidateNode(Node);
        Change(Node);
    }
}

void TBaseTreeGrid::AddToSelection(TGridNode* const* NewItems, int NewLength, bool ForceInsert)
{
    if (FSelectionLocked)
        return;
    if (InternalAddToSelection(NewItems, NewLength, ForceInsert)) {
        if (NewLength == 1) {
            InvalidateNode(NewItems[0]);
            Change(NewItems[0]);
        } else {
            RepaintTree();
            Change(nullptr);
        }
    }
}

// A node that is not selected changes nothing: there is no entry to take out.
void TBaseTreeGrid::RemoveFromSelection(TGridNode* Node)
{
    if (FSelectionLocked)
        return;
    TGAssert(Node != nullptr, "Node must not be nil!");
    if (!Node->States.Contains(vsSelected))
        return;
    Node->States.Exclude(vsSelected);
    DropSelectionOrder();
    int index = 0;
    if (FindNodeInSelection(Node, index, -1, -1)) {
        FSelection.erase(FSelection.begin() + index);
        FSelectionCount = int(FSelection.size());
    }
    if (SelectedCount() == 0)
        ResetRangeAnchor();
    InvalidateNode(Node);
    Change(Node);
}

void TBaseTreeGrid::ClearSelection()
{
    if (FSelectionLocked || IsDestroying())
        return;
    PackSelection();
    if (FSelectionCount == 0)
        return;
    if (FUpdateCount == 0 && HandleAllocated())
        for (TGridNode* node : FSelection)
            InvalidateNode(node);
    InternalClearSelection();
    Change(nullptr);
}

void TBaseTreeGrid::SetSelected(TGridNode* Node, bool Value)
{
    if (FSelectionLocked || !Node || Node == FRoot || Value == Node->States.Contains(vsSelected))
        return;
    if (Value) {
        // A node the selection would turn away changes nothing, not even
        // the selection a single-selection tree would clear for it: decided
        // with the anchor and level the adding will see.
        const bool empty = SelectedCount() == 0;
        const bool clears = !empty && !FOptions->SelectionOptions().Contains(toMultiSelect);
        if (SelectionRefuses(Node, empty ? Node : clears ? FFocusedNode : FRangeAnchor,
                clears ? -1 : FLastSelectionLevel))
            return;
        if (empty)
            FRangeAnchor = Node;
        else if (clears)
            ClearSelection();
        AddToSelection(Node);
        TTreeGridColumns* columns = FHeader->Columns();
        if (FHeader->UseColumns() &&
            (FFocusedColumn < 0 || !columns->IsValidColumn(FFocusedColumn) ||
                !columns->Items(FFocusedColumn)->Options().Contains(coVisible))) {
            const TColumnIndex main = FHeader->MainColumn();
            if (columns->IsValidColumn(main) && columns->Items(main)->Options().Contains(coVisible) &&
                columns->Items(main)->Options().Contains(coAllowFocus))
                FFocusedColumn = main;
            else
                FFocusedColumn = columns->GetFirstVisibleColumn(true);
        }
    } else {
        RemoveFromSelection(Node);
        if (SelectedCount() == 0)
            ResetRangeAnchor();
    }
    if (FullyVisible(Node) && !IsEffectivelyHidden(Node))
        InvalidateNode(Node);
}

TGridNode* TBaseTreeGrid::GetFirstSelected()
{
    return GetNextSelected(nullptr);
}

TGridNode* TBaseTreeGrid::GetNextSelected(TGridNode* Node)
{
    if (SelectedCount() == 0)
        return nullptr;
    constexpr std::size_t Unknown = ~std::size_t(0);
    TGridNode* run = nullptr;
    if (!Node || Node == FRoot) {
        FSelectionWalkStarted = true;
        FSelectionWalkIndex = FSelectionOrderValid ? 0 : Unknown;
        if (FSelectionOrderValid)
            run = FSelectionInTreeOrder.empty() ? nullptr : FSelectionInTreeOrder.front();
        else
            for (run = GetFirstNoInit(); run && !run->States.Contains(vsSelected);)
                run = GetNextNoInit(run);
    } else {
        if (!FSelectionOrderValid && FSelectionWalkStarted && Node->States.Contains(vsSelected)) {
            // A walk goes on past its first node: the rest is worth the
            // order. Once per walk, so a walk that changes the selection as
            // it goes stays linear.
            FSelectionInTreeOrder = NodesInState(vsSelected, false, std::size_t(SelectedCount()));
            FSelectionOrderValid = true;
            FSelectionWalkIndex = 0;
        }
        FSelectionWalkStarted = false;
        if (FSelectionOrderValid && FSelectionWalkIndex < FSelectionInTreeOrder.size() &&
            FSelectionInTreeOrder[FSelectionWalkIndex] == Node) {
            ++FSelectionWalkIndex;
            run = FSelectionWalkIndex < FSelectionInTreeOrder.size() ? FSelectionInTreeOrder[FSelectionWalkIndex]
                                                                     : nullptr;
        } else {
            FSelectionWalkIndex = Unknown;
            for (run = GetNextNoInit(Node); run && !run->States.Contains(vsSelected);)
                run = GetNextNoInit(run);
        }
    }
    if (run && !run->States.Contains(vsInitialized))
        InitNode(run);
    return run;
}

TNodeArray TBaseTreeGrid::GetSortedSelection(bool Resolve) const
{
    if (SelectedCount() == 0)
        return TNodeArray();
    return NodesInState(vsSelected, Resolve, std::size_t(SelectedCount()));
}

TNodeArray TBaseTreeGrid::NodesInState(TGridNodeState State, bool Resolve, std::size_t Expected) const
{
    TNodeArray result;
    result.reserve(Expected);
    TGridNode* run = GetFirstNoInit();
    while (run) {
        if (run->States.Contains(State)) {
            result.push_back(run);
            if (Resolve) {
                while (run != FRoot && !run->NextSibling)
                    run = run->Parent;
                run = run == FRoot ? nullptr : run->NextSibling;
                continue;
            }
        }
        run = GetNextNoInit(run);
    }
    return result;
}

void TBaseTreeGrid::SelectAll(bool VisibleOnly)
{
    if (FSelectionLocked || !FOptions->SelectionOptions().Contains(toMultiSelect))
        return;
    ClearTempCache();
    TGridNode* run = VisibleOnly ? GetFirstVisible(nullptr, true, false) : GetFirst();
    while (run) {
        if (!run->States.Contains(vsSelected))
            InternalCacheNode(run);
        run = VisibleOnly ? GetNextVisible(run, true) : GetNext(run);
    }
    AddToSelection(FTempNodeCache.data(), FTempNodeCount);
    ClearTempCache();
    RepaintTree();
}

void TBaseTreeGrid::SelectNodes(TGridNode* StartNode, TGridNode* EndNode, bool AddOnly)
{
    TGAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (FSelectionLocked)
        return;
    if (!StartNode || StartNode == FRoot || !FullyVisible(StartNode)) {
        TGridNode* replacement = (StartNode && StartNode != FRoot) ? GetPreviousVisible(StartNode) : nullptr;
        StartNode = replacement ? replacement : GetFirstVisible();
        if (!StartNode)
            return;
    }
    if (CompareNodePositions(StartNode, EndNode) > 0)
        std::swap(StartNode, EndNode);
    ClearTempCache();
    for (TGridNode* run = StartNode; run; run = GetNextVisible(run)) {
        InternalCacheNode(run);
        if (run == EndNode)
            break;
    }
    TGridNode* anchor = FRangeAnchor;
    if (!AddOnly)
        InternalClearSelection();
    AddToSelection(FTempNodeCache.data(), FTempNodeCount);
    if (anchor && anchor->States.Contains(vsSelected))
        FRangeAnchor = anchor;
    ClearTempCache();
}

void TBaseTreeGrid::ToggleSelection(TGridNode* StartNode, TGridNode* EndNode)
{
    TGAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (FSelectionLocked)
        return;
    if (!StartNode || StartNode == FRoot)
        StartNode = GetFirstVisible();
    if (!StartNode || CompareNodePositions(StartNode, EndNode) == 0)
        return;
    if (CompareNodePositions(StartNode, EndNode) > 0)
        std::swap(StartNode, EndNode);
    ClearTempCache();
    bool removed = false;
    for (TGridNode* run = StartNode; run; run = GetNextVisible(run)) {
        if (run != FRangeAnchor) {
            if (run->States.Contains(vsSelected)) {
                InternalRemoveFromSelection(run);
                removed = true;
            } else {
                InternalCacheNode(run);
            }
        }
        if (run == EndNode)
            break;
    }
    PackSelection();
    if (FRangeAnchor && !FRangeAnchor->States.Contains(vsSelected))
        InternalCacheNode(FRangeAnchor);
    if (FTempNodeCount > 0)
        AddToSelection(FTempNodeCache.data(), FTempNodeCount);
    else if (removed)
        Change(nullptr);
    ClearTempCache();
}

void TBaseTreeGrid::UnselectNodes(TGridNode* StartNode, TGridNode* EndNode)
{
    TGAssert(EndNode != nullptr, "EndNode must not be nil!");
    if (FSelectionLocked)
        return;
    if (!StartNode || StartNode == FRoot)
        StartNode = GetFirstVisible();
    if (!StartNode)
        return;
    if (CompareNodePositions(StartNode, EndNode) > 0)
        std::swap(StartNode, EndNode);
    for (TGridNode* run = StartNode; run; run = GetNextVisibleNoInit(run)) {
        InternalRemoveFromSelection(run);
        if (run == EndNode)
            break;
    }
    PackSelection();
}

// ---- focus -------------------------------------------------------------------

bool TBaseTreeGrid::DoFocusChanging(TGridNode* OldNode, TGridNode* NewNode, TColumnIndex OldColumn,
    TColumnIndex NewColumn)
{
    bool allowed = NewColumn == OldColumn || FHeader->AllowFocus(NewColumn);
    if (OnFocusChanging)
        OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, allowed);
    return allowed;
}

void TBaseTreeGrid::DoFocusChange(TGridNode* Node, TColumnIndex Column)
{
    if (OnFocusChanged)
        OnFocusChanged(this, Node, Column);
}

void TBaseTreeGrid::DoFocusNode(TGridNode* Node, bool Ask)
{
    if (FStates.Contains(tsEditing) && !EndEditNode())
        return;
    if (Node == FRoot)
        Node = nullptr;
    const TTGAutoOptions autoOptions = FOptions->AutoOptions();
    if (Node != FFocusedNode && (!Ask || DoFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn))) {
        if (FFocusedNode) {
            if (autoOptions.Contains(toAutoExpand) && Node && Node->Parent == FFocusedNode->Parent &&
                FFocusedNode->States.Contains(vsExpanded))
                ToggleNode(FFocusedNode);
            else
                InvalidateNode(FFocusedNode);
        }
        FFocusedNode = Node;
    }
    if (FFocusedNode) {
        if (FHeader->UseColumns() && !FHeader->Columns()->IsValidColumn(FFocusedColumn))
            FFocusedColumn = FHeader->MainColumn();
        if (autoOptions.Contains(toAutoExpand) && !FFocusedNode->States.Contains(vsExpanded))
            ToggleNode(FFocusedNode);
        InvalidateNode(FFocusedNode);
        // The row is brought into view: its ancestors open whether or not
        // the tree is shown yet; only the scrolling needs a window.
        if (FUpdateCount == 0 && !autoOptions.Contains(toDisableAutoscrollOnFocus)) {
            ExpandAncestors(FFocusedNode);
            if (HandleAllocated())
                ScrollIntoView(FFocusedNode,
                    FOptions->SelectionOptions().Contains(toCenterScrollIntoView) &&
                        !FStates.ContainsAny(TTreeGridStates{tsLeftButtonDown, tsMiddleButtonDown, tsRightButtonDown}),
                    false);
        }
    }
    if (SelectedCount() == 0)
        ResetRangeAnchor();
}

void TBaseTreeGrid::SetFocusedNode(TGridNode* Value)
{
    TGridNode* old = FFocusedNode;
    DoFocusNode(Value, true);
    if (old != FFocusedNode)
        DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseTreeGrid::SetFocusedColumn(TColumnIndex Value)
{
    if (Value == FFocusedColumn || !DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value))
        return;
    CancelEditNode();
    InvalidateColumn(FFocusedColumn);
    InvalidateColumn(Value);
    FFocusedColumn = Value;
    if (FFocusedNode) {
        // The new cell comes into view sideways; only a window can scroll.
        if (HandleAllocated() && !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus))
            ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), true);
        else
            InvalidateNode(FFocusedNode);
    }
    if (FDropTargetNode)
        InvalidateNode(FDropTargetNode);
    DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseTreeGrid::SetFocusedNodeAndColumn(TGridNode* Node, TColumnIndex Column)
{
    if (Node == FRoot)
        Node = nullptr;
    if (Node == FFocusedNode && Column == FFocusedColumn)
        return;
    if (!DoFocusChanging(FFocusedNode, Node, FFocusedColumn, Column))
        return;
    TGridNode* oldNode = FFocusedNode;
    const TColumnIndex oldColumn = FFocusedColumn;
    FFocusedColumn = Column;
    DoFocusNode(Node, false);
    if (oldNode != FFocusedNode || oldColumn != FFocusedColumn)
        DoFocusChange(FFocusedNode, FFocusedColumn);
}
