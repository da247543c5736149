// Node store of TBaseTreeGrid: construction, allocation, initialisation,
// adding, moving and deleting nodes, counts and heights.
#include <cstring>
#include <new>
#include <vector>

#include "components/TreeGrid/BaseTreeGrid.h"

void TreeGridAssertFailed(const char* message)
{
    throw EAssertionFailed(String(message) + " (TreeGrid)");
}

void ShowError(const String& message, int)
{
    throw ETreeGridError(message);
}

namespace {
TCustomTreeGridOptions* CreateDefaultOptions(TBaseTreeGrid* Owner)
{
    return new TTreeGridOptions(Owner);
}
TTGHeader* CreateDefaultHeader(TBaseTreeGrid* Owner)
{
    return new TTGHeader(Owner);
}
}  // namespace

TBaseTreeGrid* TreeFromNode(TGridNode* Node)
{
    TGAssert(Node != nullptr, "Node must not be nil.");
    while (Node && Node->NextSibling != Node)
        Node = Node->Parent;
    return Node ? reinterpret_cast<TBaseTreeGrid*>(Node->Parent) : nullptr;
}

// ---- construction -----------------------------------------------------------

TBaseTreeGrid::TBaseTreeGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    SetBorderStyle(bsSingle);
    FColors = std::make_unique<TTGColors>(this);
    FScrollBarOptions = std::make_unique<TScrollBarOptions>(this);
    AddThreadReference();
    FTreeNumber = RegisterTreeGrid(this);
    FClipboardFormats = std::make_unique<TClipboardFormats>(this);
    // The picture shows as soon as anything changes it, drawing on its
    // bitmap included.
    FBackground->OnChange = [this](TObject*) {
        if (!IsLoading() && !IsDestroying())
            RepaintTree();
    };
}

void TBaseTreeGrid::AfterConstruction()
{
    TCustomControl::AfterConstruction();
    if (!FOptions)
        FOptions.reset(GetOptionsClass()(this));
    if (!FHeader) {
        FHeader.reset(GetHeaderClass()(this));
        FHeader->AfterConstruction();
    }
    if (!FRoot)
        InitRootNode();
}

TTreeGridOptionsClass TBaseTreeGrid::GetOptionsClass()
{
    return &CreateDefaultOptions;
}

TTGHeaderClass TBaseTreeGrid::GetHeaderClass()
{
    return &CreateDefaultHeader;
}

TTreeGridColumnClass TBaseTreeGrid::GetColumnClass()
{
    return &CollectionItemFactory<TTreeGridColumn>;
}

// The nodes go while the object is still whole, so that overridden
// DoFreeNode and the OnFreeNode handler see a complete tree.
void TBaseTreeGrid::BeforeDestruction()
{
    Destroying();
    // The worker lets go of the tree before any part of it goes.
    ReleaseThreadReference();
    FlushClipboard();
    UnregisterTreeGrid(FTreeNumber);
    if (FDragManager) {
        if (HandleAllocated())
            RevokeDragDrop(Handle());
        FDragManager->Detach();
    }
    if (FOptions) {
        TTGMiscOptions misc = FOptions->MiscOptions();
        misc.Exclude(toReadOnly);
        FOptions->SetMiscOptions(misc);
    }
    if (FRoot)
        Clear();
    TCustomControl::BeforeDestruction();
}

TBaseTreeGrid::~TBaseTreeGrid()
{
    ReleaseThreadReference();
    UnregisterTreeGrid(FTreeNumber);
    if (FRoot && FRoot->FirstChild) {
        Destroying();
        if (FOptions) {
            TTGMiscOptions misc = FOptions->MiscOptions();
            misc.Exclude(toReadOnly);
            FOptions->SetMiscOptions(misc);
        }
        Clear();
    }
    FHeader.reset();
    if (FRoot)
        ::operator delete(FRoot, std::align_val_t(TreeNodeAlignment));
    FRoot = nullptr;
    if (FMessageWindow)
        DeallocateHWnd(FMessageWindow);
}

bool TBaseTreeGrid::IsLoading() const
{
    return ComponentState().Contains(csLoading);
}

bool TBaseTreeGrid::IsDestroying() const
{
    return ComponentState().Contains(csDestroying);
}

bool TBaseTreeGrid::IsDesigning() const
{
    return ComponentState().Contains(csDesigning);
}

int TBaseTreeGrid::TreeClientWidth() const
{
    auto* self = const_cast<TBaseTreeGrid*>(this);
    return HandleAllocated() ? self->ClientWidth() : Width();
}

int TBaseTreeGrid::TreeClientHeight() const
{
    auto* self = const_cast<TBaseTreeGrid*>(this);
    return HandleAllocated() ? self->ClientHeight() : Height();
}

// ---- allocation -------------------------------------------------------------

void TBaseTreeGrid::EnsureNodeDataSize()
{
    if (FNodeDataSize == -1) {
        int size = 0;
        if (OnGetNodeDataSize)
            OnGetNodeDataSize(this, size);
        FNodeDataSize = size < 0 ? 0 : size;
    }
}

TGridNode* TBaseTreeGrid::MakeNewNode()
{
    EnsureNodeDataSize();
    std::size_t size = TreeNodeSize + FTotalInternalDataSize;
    if (!IsDesigning())
        size += std::size_t(FNodeDataSize);
    if (!FNodePool || (FNodePool->SlotSize() != TNodePool::SlotSizeFor(size) && FNodePool->LiveCount() == 0))
        FNodePool = std::make_unique<TNodePool>(size);
    TGAssert(FNodePool->SlotSize() >= size, "Node size changed while nodes exist.");
    auto* node = static_cast<TGridNode*>(FNodePool->Allocate());
    node->TotalCount = 1;
    node->NodeHeight = Word(FDefaultNodeHeight);
    node->TotalHeight = FDefaultNodeHeight;
    node->States = {vsVisible};
    node->Align = 50;
    return node;
}

// A freed block has no parent; the pool's scan for live blocks relies on it.
void TBaseTreeGrid::FreeNodeBlock(TGridNode* Node)
{
    Node->Parent = nullptr;
    FNodePool->Free(Node);
}

// Deleting every node of the tree: the blocks are visited in memory order
// rather than sibling order, which after a sort is scattered over memory.
// The effects are those of deleting the children one by one inside the
// update bracket: each freed node is reported by OnFreeNode under the usual
// rule, focus and selection go silently as they do there.
void TBaseTreeGrid::FreeAllNodes()
{
    if (FFocusedNode) {
        DoFocusNode(nullptr, false);
        DoFocusChange(FFocusedNode, FFocusedColumn);
    }
    if (FSelectionCount > 0 || !FSelection.empty())
        InternalClearSelection();
    ResetRangeAnchor();
    std::vector<void*> blocks;
    FNodePool->CollectLive(blocks, [](const void* block) {
        return static_cast<const TGridNode*>(block)->Parent != nullptr;
    });
    for (void* block : blocks)
        static_cast<TGridNode*>(block)->States.Include(vsDeleting);
    for (void* block : blocks)
        DoFreeNode(static_cast<TGridNode*>(block));
    FVisibleCount = 0;
}

Cardinal TBaseTreeGrid::AllocateInternalDataArea(Cardinal Size)
{
    TGAssert(!FRoot || (FRoot->ChildCount == 0 && !FRoot->FirstChild),
        "Internal data allocation must be done before any node is created.");
    const Cardinal result = Cardinal(TreeNodeSize) + FTotalInternalDataSize;
    const Cardinal oldSize = FRootSize;
    FTotalInternalDataSize += Cardinal(AlignedNodeSize(Size));
    InitRootNode(oldSize);
    return result;
}

void TBaseTreeGrid::InitRootNode(Cardinal OldSize)
{
    const Cardinal size = Cardinal(TreeNodeSize) + FTotalInternalDataSize;
    auto* block = static_cast<TGridNode*>(::operator new(size, std::align_val_t(TreeNodeAlignment)));
    std::memset(static_cast<void*>(block), 0, size);
    if (FRoot) {
        std::memcpy(static_cast<void*>(block), FRoot, OldSize < size ? OldSize : size);
        ::operator delete(FRoot, std::align_val_t(TreeNodeAlignment));
    } else {
        block->TotalCount = 1;
        block->NodeHeight = Word(FDefaultNodeHeight);
        block->TotalHeight = FDefaultNodeHeight;
        block->States = {vsInitialized, vsExpanded, vsHasChildren, vsVisible};
        block->Align = 50;
    }
    FRoot = block;
    FRootSize = size;
    FRoot->Parent = reinterpret_cast<TGridNode*>(this);
    FRoot->PrevSibling = FRoot;
    FRoot->NextSibling = FRoot;
}

void* TBaseTreeGrid::GetNodeData(TGridNode* Node) const
{
    TGAssert(FNodeDataSize > 0, "NodeDataSize not initialized.");
    if (!Node || Node == FRoot || IsDesigning())
        return nullptr;
    return reinterpret_cast<char*>(Node) + TreeNodeSize + FTotalInternalDataSize;
}

void TBaseTreeGrid::SetNodeDataSize(int Value)
{
    if (Value < -1)
        Value = -1;
    if (Value == FNodeDataSize)
        return;
    const bool hasNodes = FRoot && FRoot->FirstChild;
    // Nodes of the old size cannot take the new one; under toReadOnly they
    // cannot be rebuilt either, so the size stays.
    if (hasNodes && FOptions && FOptions->MiscOptions().Contains(toReadOnly))
        return;
    FNodeDataSize = Value;
    if (hasNodes) {
        const Cardinal count = FRoot->ChildCount;
        Clear();
        SetRootNodeCount(count);
    }
}

// ---- counts and heights ------------------------------------------------------

void TBaseTreeGrid::AdjustTotalCount(TGridNode* Node, Int64 Value, bool Relative)
{
    if (!Node)
        return;
    const Int64 difference = Relative ? Value : Value - Int64(Node->TotalCount);
    if (difference == 0)
        return;
    for (TGridNode* run = Node;; run = run->Parent) {
        run->TotalCount = Cardinal(Int64(run->TotalCount) + difference);
        if (run == FRoot)
            break;
    }
}

// A node's own total always follows; the parent takes the difference only
// while the node is effectively visible and the parent expanded.
void TBaseTreeGrid::AdjustTotalHeight(TGridNode* Node, Int64 Value, bool Relative)
{
    if (!Node)
        return;
    const Int64 difference = Relative ? Value : Value - Int64(Node->TotalHeight);
    if (difference == 0)
        return;
    for (TGridNode* run = Node;;) {
        run->TotalHeight = Cardinal(Int64(run->TotalHeight) + difference);
        if (run == FRoot || !IsEffectivelyVisible(run))
            break;
        run = run->Parent;
        if (!run->States.Contains(vsExpanded))
            break;
    }
}

void TBaseTreeGrid::FixupTotalCount(TGridNode* Node)
{
    Cardinal total = 1;
    for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling) {
        FixupTotalCount(child);
        total += child->TotalCount;
    }
    Node->TotalCount = total;
}

void TBaseTreeGrid::FixupTotalHeight(TGridNode* Node)
{
    Cardinal total = Node->NodeHeight;
    for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling) {
        FixupTotalHeight(child);
        if (Node->States.Contains(vsExpanded) && IsEffectivelyVisible(child))
            total += child->TotalHeight;
    }
    Node->TotalHeight = total;
}

Cardinal TBaseTreeGrid::ChildCount(TGridNode* Node) const
{
    if (!Node)
        Node = FRoot;
    return Node ? Node->ChildCount : 0;
}

Cardinal TBaseTreeGrid::TotalCount()
{
    BeginUpdate();
    try {
        ValidateNode(FRoot, true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return FRoot->TotalCount - 1;
}

Cardinal TBaseTreeGrid::GetNodeLevel(TGridNode* Node) const
{
    if (!Node || Node == FRoot)
        return 0;
    Cardinal level = 0;
    for (TGridNode* run = Node->Parent; run && run != FRoot; run = run->Parent)
        ++level;
    return level;
}

bool TBaseTreeGrid::HasAsParent(TGridNode* Node, TGridNode* PotentialParent) const
{
    if (!Node || !PotentialParent || Node == PotentialParent)
        return false;
    for (TGridNode* run = Node->Parent; run; run = run->Parent) {
        if (run == PotentialParent)
            return true;
        if (run == FRoot)
            break;
    }
    return false;
}

Cardinal TBaseTreeGrid::NodeHeight(TGridNode* Node)
{
    if (!Node || Node == FRoot)
        return 0;
    if (FOptions->MiscOptions().Contains(toVariableNodeHeight)) {
        if (!Node->States.Contains(vsInitialized))
            InitNode(Node);
        MeasureItemHeight(nullptr, Node);
    }
    return Node->NodeHeight;
}

void TBaseTreeGrid::SetNodeHeight(TGridNode* Node, Cardinal Value)
{
    if (!Node || Node == FRoot || FOptions->MiscOptions().Contains(toReadOnly))
        return;
    if (Value > 0xFFFF)
        Value = 0xFFFF;
    if (Value == Node->NodeHeight)
        return;
    // The cache worker reads stored heights.
    InterruptValidation();
    const Int64 difference = Int64(Value) - Int64(Node->NodeHeight);
    Node->NodeHeight = Word(Value);
    AdjustTotalHeight(Node, difference, true);
    if (FullyVisible(Node) && !IsEffectivelyHidden(Node)) {
        InvalidateCache();
        if (FUpdateCount == 0) {
            ValidateCache();
            InvalidateToBottom(Node);
            UpdateScrollBars(true);
        }
    }
}

void TBaseTreeGrid::SetDefaultNodeHeight(Cardinal Value)
{
    if (Value == 0)
        Value = 18;
    if (Value > 0xFFFF)
        Value = 0xFFFF;
    if (Value == FDefaultNodeHeight)
        return;
    const Int64 difference = Int64(Value) - Int64(FDefaultNodeHeight);
    FRoot->NodeHeight = Word(Int64(FRoot->NodeHeight) + difference);
    FRoot->TotalHeight = Cardinal(Int64(FRoot->TotalHeight) + difference);
    FDefaultNodeHeight = Value;
    InvalidateCache();
    if (FUpdateCount == 0 && HandleAllocated() && !IsLoading()) {
        ValidateCache();
        UpdateScrollBars(true);
        ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), true);
        Invalidate();
    }
}

void TBaseTreeGrid::MeasureItemHeight(TCanvas* Canvas, TGridNode* Node)
{
    if (Node->States.Contains(vsHeightMeasured))
        return;
    Node->States.Include(vsHeightMeasured);
    int height = Node->NodeHeight;
    DoMeasureItem(Canvas, Node, height);
    if (height < 0)
        height = 0;
    if (Cardinal(height) != Node->NodeHeight)
        SetNodeHeight(Node, Cardinal(height));
}

// ---- initialisation ----------------------------------------------------------

void TBaseTreeGrid::InitNode(TGridNode* Node)
{
    Node->States.Include(vsInitialized);
    TGridNodeInitStates initStates;
    DoInitNode(Node->Parent == FRoot ? nullptr : Node->Parent, Node, initStates);
    if (initStates.Contains(ivsDisabled))
        Node->States.Include(vsDisabled);
    if (initStates.Contains(ivsHasChildren))
        Node->States.Include(vsHasChildren);
    if (initStates.Contains(ivsSelected)) {
        FSingletonNodeArray[0] = Node;
        InternalAddToSelection(FSingletonNodeArray.data(), 1, false);
    }
    if (initStates.Contains(ivsMultiline))
        Node->States.Include(vsMultiline);
    if (Node->States.Contains(vsExpanded) != initStates.Contains(ivsExpanded)) {
        if (initStates.Contains(ivsExpanded))
            ToggleNode(Node);
        else if (Node->States.Contains(vsHasChildren))
            InitChildren(Node);
    }
}

void TBaseTreeGrid::InitChildren(TGridNode* Node)
{
    if (!Node || Node == FRoot || !Node->States.Contains(vsHasChildren))
        return;
    Cardinal count = Node->ChildCount;
    DoInitChildren(Node, count);
    if (count > 0) {
        SetChildCount(Node, count);
    } else if (!FOptions->MiscOptions().Contains(toReadOnly)) {
        DeleteChildren(Node);
        Node->States.Exclude(vsHasChildren);
    }
}

void TBaseTreeGrid::ValidateNode(TGridNode* Node, bool Recursive)
{
    if (!Node)
        Node = FRoot;
    if (Node != FRoot && !Node->States.Contains(vsInitialized))
        InitNode(Node);
    if (Recursive) {
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
        for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling)
            ValidateNode(child, true);
    }
}

void TBaseTreeGrid::ValidateChildren(TGridNode* Node, bool Recursive)
{
    if (!Node)
        Node = FRoot;
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0)
        InitChildren(Node);
    for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling) {
        if (!child->States.Contains(vsInitialized))
            InitNode(child);
        if (Recursive)
            ValidateChildren(child, true);
    }
}

void TBaseTreeGrid::ReinitNode(TGridNode* Node, bool Recursive)
{
    if (Node && Node != FRoot) {
        Node->States.Exclude(TGridNodeStates{vsChecking, vsCutOrCopy, vsDeleting, vsHeightMeasured});
        InitNode(Node);
    }
    if (Recursive)
        ReinitChildren(Node, true);
}

void TBaseTreeGrid::ReinitChildren(TGridNode* Node, bool Recursive)
{
    if (!Node)
        Node = FRoot;
    InitChildren(Node);
    for (TGridNode* child = Node->FirstChild; child;) {
        TGridNode* next = child->NextSibling;
        ReinitNode(child, Recursive);
        child = next;
    }
}

void TBaseTreeGrid::ResetNode(TGridNode* Node)
{
    if (!Node || Node == FRoot) {
        CancelEditNode();
        Clear();
        return;
    }
    // Read-only keeps the children, so their flags and totals stay too.
    if (FOptions->MiscOptions().Contains(toReadOnly))
        return;
    CancelEditNode();
    DoReset(Node);
    DeleteChildren(Node);
    Node->States.Exclude(TGridNodeStates{vsInitialized, vsChecking, vsCutOrCopy, vsDeleting, vsExpanded,
        vsHasChildren, vsHeightMeasured});
    InvalidateNode(Node);
}

// ---- adding ------------------------------------------------------------------

void TBaseTreeGrid::SetRootNodeCount(Cardinal Value)
{
    if (Value == FRoot->ChildCount)
        return;
    BeginUpdate();
    try {
        InterruptValidation();
        SetChildCount(FRoot, Value);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBaseTreeGrid::SetChildCount(TGridNode* Node, Cardinal NewChildCount)
{
    if (FOptions->MiscOptions().Contains(toReadOnly))
        return;
    if (!Node)
        Node = FRoot;
    if (NewChildCount == 0) {
        DeleteChildren(Node);
        return;
    }
    if (NewChildCount == Node->ChildCount)
        return;
    InterruptValidation();
    if (NewChildCount > Node->ChildCount) {
        const Cardinal added = NewChildCount - Node->ChildCount;
        Cardinal index;
        if (Node->LastChild) {
            index = Node->LastChild->Index + 1;
        } else {
            index = 0;
            Node->States.Include(vsHasChildren);
        }
        Node->States.Exclude(TGridNodeStates{vsAllChildrenHidden, vsHeightMeasured});
        Int64 heights = 0;
        for (Cardinal i = 0; i < added; ++i) {
            TGridNode* child = MakeNewNode();
            child->Index = index++;
            child->PrevSibling = Node->LastChild;
            if (Node->LastChild)
                Node->LastChild->NextSibling = child;
            else
                Node->FirstChild = child;
            Node->LastChild = child;
            child->Parent = Node;
            heights += child->TotalHeight;
        }
        // The visible count needs the state before the height moves nothing.
        const bool counted = ChildrenCounted(Node);
        if (Node->States.Contains(vsExpanded))
            AdjustTotalHeight(Node, heights, true);
        if (counted)
            FVisibleCount += added;
        AdjustTotalCount(Node, added, true);
        Node->ChildCount = NewChildCount;
        if (FUpdateCount == 0 && FOptions->AutoOptions().Contains(toAutoSort) &&
            FHeader->SortColumn() > InvalidColumn)
            Sort(Node, FHeader->SortColumn(), FHeader->SortDirection(), true);
        InvalidateCache();
    } else {
        while (Node->ChildCount > NewChildCount && Node->LastChild)
            DeleteNode(Node->LastChild);
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
    }
    StructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

TGridNode* TBaseTreeGrid::AddChild(TGridNode* Parent, void* UserData)
{
    if (FOptions->MiscOptions().Contains(toReadOnly))
        return nullptr;
    EndEditNode();
    if (!Parent)
        Parent = FRoot;
    if (UserData) {
        EnsureNodeDataSize();
        if (FNodeDataSize < int(sizeof(void*)))
            ShowError("Cannot set initial user data because there is not enough user data space allocated.");
    }
    if (Parent != FRoot && !Parent->States.Contains(vsInitialized))
        InitNode(Parent);
    ++FUpdateCount;
    try {
        SetChildCount(Parent, Parent->ChildCount + 1);
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    Parent->States.Exclude(vsAllChildrenHidden);
    TGridNode* result = Parent->LastChild;
    if (UserData) {
        std::memcpy(GetNodeData(result), &UserData, sizeof(void*));
        result->States.Include(vsInitialUserData);
    }
    InvalidateCache();
    if (FUpdateCount == 0) {
        ValidateCache();
        if (FStates.Contains(tsStructureChangePending))
            StructureChange(Parent == FRoot ? nullptr : Parent, crChildAdded);
        if (FOptions->AutoOptions().Contains(toAutoSort) && FHeader->SortColumn() > InvalidColumn)
            Sort(Parent, FHeader->SortColumn(), FHeader->SortDirection(), true);
        InvalidateToBottom(Parent);
        UpdateScrollBars(true);
    }
    return result;
}

// ---- linking -----------------------------------------------------------------

void TBaseTreeGrid::InternalConnectNode(TGridNode* Node, TGridNode* Destination, TBaseTreeGrid* Target,
    TTGNodeAttachMode Mode)
{
    DropSelectionOrder();
    if (Target && Target != this)
        Target->DropSelectionOrder();
    TGridNode* parent = nullptr;
    switch (Mode) {
    case amInsertBefore: {
        parent = Destination->Parent;
        Node->PrevSibling = Destination->PrevSibling;
        Node->NextSibling = Destination;
        Node->Parent = parent;
        Node->Index = Destination->Index;
        for (TGridNode* run = Destination; run; run = run->NextSibling)
            ++run->Index;
        if (Node->PrevSibling)
            Node->PrevSibling->NextSibling = Node;
        else
            parent->FirstChild = Node;
        Destination->PrevSibling = Node;
        break;
    }
    case amInsertAfter: {
        parent = Destination->Parent;
        Node->NextSibling = Destination->NextSibling;
        Node->PrevSibling = Destination;
        Node->Parent = parent;
        Destination->NextSibling = Node;
        Node->Index = Destination->Index + 1;
        for (TGridNode* run = Node->NextSibling; run; run = run->NextSibling)
            ++run->Index;
        if (Node->NextSibling)
            Node->NextSibling->PrevSibling = Node;
        else
            parent->LastChild = Node;
        break;
    }
    case amAddChildFirst: {
        parent = Destination;
        Node->PrevSibling = nullptr;
        Node->NextSibling = parent->FirstChild;
        Node->Parent = parent;
        if (parent->FirstChild)
            parent->FirstChild->PrevSibling = Node;
        else
            parent->LastChild = Node;
        parent->FirstChild = Node;
        Cardinal index = 0;
        for (TGridNode* run = Node; run; run = run->NextSibling)
            run->Index = index++;
        break;
    }
    case amAddChildLast: {
        parent = Destination;
        Node->NextSibling = nullptr;
        Node->PrevSibling = parent->LastChild;
        Node->Parent = parent;
        if (parent->LastChild) {
            parent->LastChild->NextSibling = Node;
            Node->Index = parent->LastChild->Index + 1;
        } else {
            parent->FirstChild = Node;
            Node->Index = 0;
        }
        parent->LastChild = Node;
        break;
    }
    case amNoWhere:
        return;
    }
    (void)Target;
    ++parent->ChildCount;
    parent->States.Include(vsHasChildren);
    AdjustTotalCount(parent, Node->TotalCount, true);
    if (parent->States.Contains(vsExpanded) && IsEffectivelyVisible(Node))
        AdjustTotalHeight(parent, Node->TotalHeight, true);
    if (ChildrenCounted(parent) && IsEffectivelyVisible(Node))
        FVisibleCount += 1 + CountVisibleChildren(Node);
    Node->States.Exclude(TGridNodeStates{vsChecking, vsCutOrCopy, vsDeleting, vsClearing});
    if (parent != FRoot) {
        if (IsEffectivelyVisible(Node))
            parent->States.Exclude(vsAllChildrenHidden);
        else if (parent->ChildCount == 1)
            parent->States.Include(vsAllChildrenHidden);
    }
}

void TBaseTreeGrid::InternalDisconnectNode(TGridNode* Node, bool KeepFocus, bool Reindex)
{
    TGAssert(Node && Node != FRoot, "Node must neither be nil nor the root node.");
    DropSelectionOrder();
    if (Node == FFocusedNode && !KeepFocus) {
        DoFocusNode(nullptr, false);
        DoFocusChange(FFocusedNode, FFocusedColumn);
    }
    if (Node == FRangeAnchor)
        ResetRangeAnchor();
    TGridNode* parent = Node->Parent;
    if (!Node->States.Contains(vsDeleting)) {
        Node->States.Exclude(vsChecking);
        const bool wasExpanded = parent->States.Contains(vsExpanded);
        const bool counted = ChildrenCounted(parent);
        const bool visible = IsEffectivelyVisible(Node);
        --parent->ChildCount;
        AdjustTotalCount(parent, -Int64(Node->TotalCount), true);
        if (wasExpanded && visible)
            AdjustTotalHeight(parent, -Int64(Node->TotalHeight), true);
        if (counted && visible)
            FVisibleCount -= 1 + CountVisibleChildren(Node);
        if (Node->PrevSibling)
            Node->PrevSibling->NextSibling = Node->NextSibling;
        else
            parent->FirstChild = Node->NextSibling;
        if (Node->NextSibling) {
            Node->NextSibling->PrevSibling = Node->PrevSibling;
            if (Reindex) {
                Cardinal index = Node->Index;
                for (TGridNode* run = Node->NextSibling; run; run = run->NextSibling)
                    run->Index = index++;
            }
        } else {
            parent->LastChild = Node->PrevSibling;
        }
        if (parent->ChildCount == 0) {
            parent->States.Exclude(TGridNodeStates{vsAllChildrenHidden, vsHasChildren});
            if (parent != FRoot) {
                // Collapsing an empty node leaves its total at its own height already.
                parent->States.Exclude(vsExpanded);
            }
        }
        Node->PrevSibling = nullptr;
        Node->NextSibling = nullptr;
    }
    if (parent != FRoot && !parent->States.Contains(vsClearing)) {
        if (FUpdateCount > 0)
            FStates.Include(tsUpdateHiddenChildrenNeeded);
        else
            DetermineHiddenChildrenFlag(parent);
    }
}

// ---- deleting ----------------------------------------------------------------

void TBaseTreeGrid::DeleteChildren(TGridNode* Node, bool ResetHasChildren)
{
    if (!Node)
        Node = FRoot;
    if (!Node->FirstChild) {
        if (ResetHasChildren)
            Node->States.Exclude(vsHasChildren);
        return;
    }
    if (FOptions->MiscOptions().Contains(toReadOnly))
        return;
    TGAssert(!FStates.Contains(tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
    ++FUpdateCount;
    try {
        InterruptValidation();
        Node->States.Include(vsClearing);
        // Freeing in memory order would free parents before their children:
        // only a flat tree, the case of many rows, takes that quick way.
        if (Node == FRoot && FRoot->TotalCount - 1 == FRoot->ChildCount && FNodePool &&
            FNodePool->LiveCount() == std::size_t(FRoot->TotalCount) - 1) {
            FreeAllNodes();
        } else {
            const bool counted = ChildrenCounted(Node);
            for (TGridNode* child = Node->LastChild; child;) {
                TGridNode* previous = child->PrevSibling;
                child->States.Include(vsDeleting);
                if (counted && IsEffectivelyVisible(child))
                    --FVisibleCount;
                DeleteNode(child, false);
                child = previous;
            }
        }
        Node->States.Exclude(vsClearing);
        if (ResetHasChildren)
            Node->States.Exclude(vsHasChildren);
        if (Node != FRoot)
            Node->States.Exclude(vsExpanded);
        Node->ChildCount = 0;
        Node->FirstChild = nullptr;
        Node->LastChild = nullptr;
        if (Node == FRoot || Node->States.Contains(vsDeleting)) {
            // The total keeps its rule: own height plus (now no) children.
            Node->TotalHeight = Node->NodeHeight;
            Node->TotalCount = 1;
        } else {
            AdjustTotalHeight(Node, Node->NodeHeight, false);
            AdjustTotalCount(Node, 1, false);
        }
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    InvalidateCache();
    if (FUpdateCount == 0) {
        PackSelection();
        ValidateCache();
        UpdateScrollBars(true);
        InvalidateToBottom(Node);
    }
    StructureChange(Node == FRoot ? nullptr : Node, crChildDeleted);
}

void TBaseTreeGrid::DeleteNode(TGridNode* Node, bool Reindex)
{
    if (!Node || Node == FRoot || FOptions->MiscOptions().Contains(toReadOnly))
        return;
    TGAssert(!FStates.Contains(tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
    TGridNode* parent = Node->Parent;
    const bool parentClearing = parent->States.Contains(vsClearing);
    // The cache worker must not walk into the node being freed.
    if (!parentClearing)
        InterruptValidation();
    if (!parentClearing)
        StructureChange(parent == FRoot ? nullptr : parent, crChildDeleted);
    if (Node->States.Contains(vsSelected)) {
        if (FUpdateCount > 0) {
            InternalRemoveFromSelection(Node);
        } else {
            const bool wasSynch = FStates.Contains(tsSynchMode);
            FStates.Include(tsSynchMode);
            try {
                RemoveFromSelection(Node);
            } catch (...) {
                if (!wasSynch)
                    FStates.Exclude(tsSynchMode);
                throw;
            }
            if (!wasSynch)
                FStates.Exclude(tsSynchMode);
        }
    }
    if (!parentClearing)
        InvalidateToBottom(parent);
    FStates.Exclude(tsHint);
    DeleteChildren(Node);
    InternalDisconnectNode(Node, false, Reindex);
    DoFreeNode(Node);
    if (!parentClearing) {
        if (parent != FRoot) {
            if (FUpdateCount > 0)
                FStates.Include(tsUpdateHiddenChildrenNeeded);
            else
                DetermineHiddenChildrenFlag(parent);
        }
        InvalidateCache();
        if (FUpdateCount == 0) {
            ValidateCache();
            UpdateScrollBars(true);
        }
    }
}

void TBaseTreeGrid::ClearRememberedNode(TGridNode* Node)
{
    TGridNode** remembered[] = {&FFocusedNode, &FLastSelected, &FCurrentHotNode, &FDropTargetNode,
        &FLastChangedNode, &FRangeAnchor, &FCheckNode, &FLastVCLDragTarget, &FLastSearchNode,
        &FLastStructureChangeNode, &FHeightTrackNode};
    for (TGridNode** p : remembered)
        if (*p == Node)
            *p = nullptr;
}

void TBaseTreeGrid::DoFreeNode(TGridNode* Node)
{
    ClearRememberedNode(Node);
    if (Node->States.ContainsAny(TGridNodeStates{vsInitialized, vsInitialUserData}) && OnFreeNode)
        OnFreeNode(this, Node);
    FreeNodeBlock(Node);
}

void TBaseTreeGrid::DeleteSelectedNodes()
{
    if (SelectedCount() == 0 || FOptions->MiscOptions().Contains(toReadOnly))
        return;
    BeginUpdate();
    try {
        TNodeArray nodes = GetSortedSelection(true);
        if (nodes.empty()) {
            EndUpdate();
            return;
        }
        for (std::size_t i = nodes.size() - 1; i > 0; --i)
            DeleteNode(nodes[i], nodes[i]->Parent != nodes[i - 1]->Parent);
        DeleteNode(nodes[0], true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBaseTreeGrid::Clear()
{
    if (FOptions->MiscOptions().Contains(toReadOnly) && !IsDestroying())
        return;
    BeginUpdate();
    try {
        InterruptValidation();
        CancelEditNode();
        if (FStates.ContainsAny(TTreeGridStates{tsCopyPending, tsCutPending})) {
            // The rows the clipboard would render are going.
            if (const IDataObjectPtr data = FClipboardData.lock(); data && OleIsCurrentClipboard(data) == S_OK)
                OleSetClipboard(nullptr);
            FStates.Exclude(TTreeGridStates{tsCopyPending, tsCutPending});
        }
        if (IsDestroying())
            InternalClearSelection();
        else
            ClearSelection();
        FFocusedNode = nullptr;
        FLastSelected = nullptr;
        FCurrentHotNode = nullptr;
        FDropTargetNode = nullptr;
        FLastChangedNode = nullptr;
        FRangeAnchor = nullptr;
        FCheckNode = nullptr;
        FLastVCLDragTarget = nullptr;
        FLastSearchNode = nullptr;
        FLastStructureChangeNode = nullptr;
        FHeightTrackNode = nullptr;
        DeleteChildren(FRoot, true);
        FOffsetX = 0;
        FOffsetY = 0;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- moving ------------------------------------------------------------------

void TBaseTreeGrid::MoveTo(TGridNode* Source, TGridNode* Target, TTGNodeAttachMode Mode, bool ChildrenOnly)
{
    if (!Source || Source == FRoot || Mode == amNoWhere || FOptions->MiscOptions().Contains(toReadOnly))
        return;
    TGAssert(TreeFromNode(Source) == this, "The source tree must contain the source node.");
    if (Target && TreeFromNode(Target) != this) {
        MoveToTree(TreeFromNode(Target), Source, Target, Mode, ChildrenOnly);
        return;
    }
    if (!Target) {
        Target = FRoot;
        Mode = amAddChildFirst;
    }
    TGAssert(TreeFromNode(Target) == this, "The source tree must contain the source node.");
    if (Target == FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    const bool insertMode = Mode == amInsertBefore || Mode == amInsertAfter;
    if (Source == Target && !(ChildrenOnly && insertMode))
        return;
    if (Target != FRoot && !Target->States.Contains(vsInitialized))
        InitNode(Target);
    if (Target->States.Contains(vsHasChildren) && Target->ChildCount == 0)
        InitChildren(Target);
    if (!DoNodeMoving(Source, Target == FRoot ? nullptr : Target))
        return;
    if (HasAsParent(Target, Source))
        ShowError("Target node cannot be a child node of the node to be moved.");
    InterruptValidation();
    if (!ChildrenOnly) {
        InternalDisconnectNode(Source, true, true);
        InternalConnectNode(Source, Target, this, Mode);
        DoNodeMoved(Source);
    } else {
        // Taken so that the children keep their order at the destination.
        const bool fromLast = Mode == amAddChildFirst || Mode == amInsertAfter;
        TGridNode* run = fromLast ? Source->LastChild : Source->FirstChild;
        while (run) {
            TGridNode* next = fromLast ? run->PrevSibling : run->NextSibling;
            InternalDisconnectNode(run, true, false);
            InternalConnectNode(run, Target, this, Mode);
            DoNodeMoved(run);
            run = next;
        }
    }
    InvalidateCache();
    if (FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
    }
    StructureChange(Source, crNodeMoved);
}

// ---- dispatchers -------------------------------------------------------------

void TBaseTreeGrid::DoInitNode(TGridNode* Parent, TGridNode* Node, TGridNodeInitStates& InitStates)
{
    if (OnInitNode)
        OnInitNode(this, Parent, Node, InitStates);
}

void TBaseTreeGrid::DoInitChildren(TGridNode* Node, Cardinal& ChildCount)
{
    if (OnInitChildren)
        OnInitChildren(this, Node, ChildCount);
}

void TBaseTreeGrid::DoMeasureItem(TCanvas* TargetCanvas, TGridNode* Node, int& NodeHeight)
{
    if (OnMeasureItem)
        OnMeasureItem(this, TargetCanvas, Node, NodeHeight);
}

void TBaseTreeGrid::DoReset(TGridNode* Node)
{
    if (OnResetNode)
        OnResetNode(this, Node);
}

bool TBaseTreeGrid::DoNodeMoving(TGridNode* Node, TGridNode* Target)
{
    bool allowed = true;
    if (OnNodeMoving)
        OnNodeMoving(this, Node, Target, allowed);
    return allowed;
}

void TBaseTreeGrid::DoNodeMoved(TGridNode* Node)
{
    if (OnNodeMoved)
        OnNodeMoved(this, Node);
}

void TBaseTreeGrid::MainColumnChanged()
{
    CancelEditNode();
    RepaintTree();
}
void TBaseTreeGrid::RepaintTree()
{
    if (HandleAllocated())
        Invalidate();
}

void TBaseTreeGrid::ExpandAncestors(TGridNode* Node)
{
    if (!Node || Node == FRoot)
        return;
    for (TGridNode* run = Node->Parent; run && run != FRoot; run = run->Parent)
        if (!run->States.Contains(vsExpanded))
            ToggleNode(run);
}
