// Walking the nodes of TBaseTreeGrid in tree and visible order, visibility
// and expanding/collapsing.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"

namespace {
constexpr const char* RootWalkMessage = "Node must not be the hidden root node.";

// The next node after Node's subtree, without entering children.
TGridNode* NextAfterSubtree(TGridNode* Node, TGridNode* Root)
{
    while (Node != Root && !Node->NextSibling)
        Node = Node->Parent;
    return Node == Root ? nullptr : Node->NextSibling;
}

// Every node a walk hands out is initialised on first use.
TGridNode* Initialized(TBaseTreeGrid* Tree, TGridNode* Node)
{
    if (Node && !Node->States.Contains(vsInitialized))
        Tree->ValidateNode(Node, false);
    return Node;
}

bool ChildrenAbove(const TBaseTreeGrid* Tree, bool ConsiderChildrenAbove)
{
    return ConsiderChildrenAbove && Tree->TreeOptions()->PaintOptions().Contains(toChildrenAbove);
}

// The first node from Node on, stepping along one sibling direction, that a
// visible walk stops at; nodes hidden by a filter count only when wanted.
TGridNode* FirstShownNoInit(const TBaseTreeGrid* Tree, TGridNode* Node, TGridNode* TGridNode::*Step,
    bool IncludeFiltered)
{
    while (Node && !(Node->States.Contains(vsVisible) && (IncludeFiltered || !Tree->IsEffectivelyHidden(Node))))
        Node = Node->*Step;
    return Node;
}

TGridNode* FirstShown(TBaseTreeGrid* Tree, TGridNode* Node, TGridNode* (TBaseTreeGrid::*Step)(TGridNode*),
    bool IncludeFiltered)
{
    while (Node && !(Tree->IsVisible(Node) && (IncludeFiltered || !Tree->IsEffectivelyHidden(Node))))
        Node = (Tree->*Step)(Node);
    return Node;
}

// One end of Node's child list, which is created when first asked for;
// creating it is the tree's own step, so the caller hands it in.
template <typename CreateChildren>
TGridNode* ChildAtEnd(TBaseTreeGrid* Tree, TGridNode* Node, TGridNode* TGridNode::*End, CreateChildren createChildren)
{
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0)
        createChildren(Node);
    return Initialized(Tree, Node->*End);
}

// Follows ChildOf down through expanded nodes for as long as it finds one.
template <typename ChildOf>
TGridNode* DeepestExpanded(TGridNode* Node, ChildOf childOf)
{
    while (Node->States.Contains(vsExpanded)) {
        TGridNode* child = childOf(Node);
        if (!child)
            break;
        Node = child;
    }
    return Node;
}
}  // namespace

// ---- visibility predicates ---------------------------------------------------

bool TBaseTreeGrid::IsEffectivelyHidden(TGridNode* Node) const
{
    return Node && Node->States.Contains(vsHidden) && !FOptions->PaintOptions().Contains(toShowHiddenNodes);
}

bool TBaseTreeGrid::IsEffectivelyVisible(TGridNode* Node) const
{
    return Node && Node->States.Contains(vsVisible) && !IsEffectivelyHidden(Node);
}

bool TBaseTreeGrid::GetVisiblePath(TGridNode* Node) const
{
    TGAssert(Node && Node != FRoot, "Invalid parameters.");
    for (TGridNode* run = Node->Parent; run != FRoot; run = run->Parent)
        if (!run->States.Contains(vsExpanded) || !run->States.Contains(vsVisible))
            return false;
    return true;
}

bool TBaseTreeGrid::FullyVisible(TGridNode* Node) const
{
    TGAssert(Node && Node != FRoot, "Invalid parameter.");
    return Node->States.Contains(vsVisible) && GetVisiblePath(Node);
}

bool TBaseTreeGrid::ChildrenCounted(TGridNode* Node) const
{
    if (!Node->States.Contains(vsExpanded))
        return false;
    for (TGridNode* run = Node; run != FRoot; run = run->Parent)
        if (!IsEffectivelyVisible(run) || !run->Parent->States.Contains(vsExpanded))
            return false;
    return true;
}

Cardinal TBaseTreeGrid::CountVisibleChildren(TGridNode* Node) const
{
    if (!Node->States.Contains(vsExpanded))
        return 0;
    Cardinal count = 0;
    for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling)
        if (IsEffectivelyVisible(child))
            count += 1 + CountVisibleChildren(child);
    return count;
}

bool TBaseTreeGrid::IsVisible(TGridNode* Node)
{
    if (!Node)
        Node = FRoot;
    if (Node != FRoot && !Node->States.Contains(vsInitialized))
        InitNode(Node);
    return Node->States.Contains(vsVisible);
}

void TBaseTreeGrid::SetVisible(TGridNode* Node, bool Value)
{
    TGAssert(Node && Node != FRoot, "Invalid parameter.");
    if (Value == Node->States.Contains(vsVisible))
        return;
    InterruptValidation();
    TGridNode* parent = Node->Parent;
    const bool counted = ChildrenCounted(parent);
    const bool wasVisible = IsEffectivelyVisible(Node);
    if (Value)
        Node->States.Include(vsVisible);
    else
        Node->States.Exclude(vsVisible);
    const bool nowVisible = IsEffectivelyVisible(Node);
    bool countChanged = false;
    if (wasVisible != nowVisible) {
        const Int64 sign = nowVisible ? 1 : -1;
        if (parent->States.Contains(vsExpanded))
            AdjustTotalHeight(parent, sign * Int64(Node->TotalHeight), true);
        if (counted) {
            const Cardinal rows = 1 + CountVisibleChildren(Node);
            FVisibleCount = nowVisible ? FVisibleCount + rows : FVisibleCount - rows;
            countChanged = true;
        }
    }
    if (parent != FRoot) {
        if (nowVisible)
            parent->States.Exclude(vsAllChildrenHidden);
        else if (FUpdateCount > 0)
            FStates.Include(tsUpdateHiddenChildrenNeeded);
        else
            DetermineHiddenChildrenFlag(parent);
    }
    InvalidateCache();
    if (countChanged && FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
    }
}

void TBaseTreeGrid::SetHidden(TGridNode* Node, bool Value)
{
    TGAssert(Node && Node != FRoot, "Invalid parameter.");
    if (Value == Node->States.Contains(vsHidden))
        return;
    InterruptValidation();
    TGridNode* parent = Node->Parent;
    const bool counted = ChildrenCounted(parent);
    const bool wasVisible = IsEffectivelyVisible(Node);
    if (Value)
        Node->States.Include(vsHidden);
    else
        Node->States.Exclude(vsHidden);
    const bool nowVisible = IsEffectivelyVisible(Node);
    if (wasVisible != nowVisible) {
        const Int64 sign = nowVisible ? 1 : -1;
        if (parent->States.Contains(vsExpanded))
            AdjustTotalHeight(parent, sign * Int64(Node->TotalHeight), true);
        if (counted) {
            const Cardinal rows = 1 + CountVisibleChildren(Node);
            FVisibleCount = nowVisible ? FVisibleCount + rows : FVisibleCount - rows;
        }
        if (parent != FRoot)
            DetermineHiddenChildrenFlag(parent);
    }
    InvalidateCache();
}

bool TBaseTreeGrid::HasChildren(TGridNode* Node) const
{
    if (!Node)
        Node = FRoot;
    return Node->States.Contains(vsHasChildren);
}

void TBaseTreeGrid::SetHasChildren(TGridNode* Node, bool Value)
{
    if (!Node || Node == FRoot)
        return;
    // Read-only keeps the children, so the mark must stay with them.
    if (!Value && FOptions->MiscOptions().Contains(toReadOnly))
        return;
    if (Value) {
        Node->States.Include(vsHasChildren);
    } else {
        Node->States.Exclude(vsHasChildren);
        DeleteChildren(Node);
    }
    DetermineHiddenChildrenFlag(Node);
    InvalidateNode(Node);
}

void TBaseTreeGrid::SetDisabled(TGridNode* Node, bool Value)
{
    if (!Node || Node == FRoot || Value == Node->States.Contains(vsDisabled))
        return;
    if (Value)
        Node->States.Include(vsDisabled);
    else
        Node->States.Exclude(vsDisabled);
    InvalidateNode(Node);
}

void TBaseTreeGrid::SetExpanded(TGridNode* Node, bool Value)
{
    if (Node && Node != FRoot && Value != Node->States.Contains(vsExpanded))
        ToggleNode(Node);
}

void TBaseTreeGrid::DetermineHiddenChildrenFlag(TGridNode* Node)
{
    if (!Node || Node == FRoot)
        return;
    bool allHidden;
    if (Node->ChildCount == 0) {
        allHidden = !Node->States.Contains(vsHasChildren);
    } else {
        allHidden = true;
        for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling)
            if (IsEffectivelyVisible(child)) {
                allHidden = false;
                break;
            }
    }
    if (allHidden)
        Node->States.Include(vsAllChildrenHidden);
    else
        Node->States.Exclude(vsAllChildrenHidden);
}

void TBaseTreeGrid::DetermineHiddenChildrenFlagAllNodes()
{
    for (TGridNode* run = GetFirstNoInit(); run; run = GetNextNoInit(run))
        DetermineHiddenChildrenFlag(run);
}

// ---- tree order --------------------------------------------------------------

TGridNode* TBaseTreeGrid::GetFirstNoInit(bool ConsiderChildrenAbove) const
{
    TGridNode* result = FRoot->FirstChild;
    if (result && ChildrenAbove(this, ConsiderChildrenAbove))
        while (result->FirstChild)
            result = result->FirstChild;
    return result;
}

TGridNode* TBaseTreeGrid::GetFirst(bool ConsiderChildrenAbove)
{
    TGridNode* result = FRoot->FirstChild;
    if (!result)
        return nullptr;
    Initialized(this, result);
    if (ChildrenAbove(this, ConsiderChildrenAbove)) {
        for (;;) {
            if (result->States.Contains(vsHasChildren) && result->ChildCount == 0)
                InitChildren(result);
            if (!result->FirstChild)
                break;
            result = Initialized(this, result->FirstChild);
        }
    }
    return result;
}

TGridNode* TBaseTreeGrid::GetLastNoInit(TGridNode* Node, bool ConsiderChildrenAbove) const
{
    if (!Node)
        Node = FRoot;
    TGridNode* result = Node->LastChild;
    if (result && !ChildrenAbove(this, ConsiderChildrenAbove))
        while (result->LastChild)
            result = result->LastChild;
    return result;
}

TGridNode* TBaseTreeGrid::GetLast(TGridNode* Node, bool ConsiderChildrenAbove)
{
    if (!Node)
        Node = FRoot;
    TGridNode* result = GetLastChild(Node);
    if (result && !ChildrenAbove(this, ConsiderChildrenAbove)) {
        while (TGridNode* last = GetLastChild(result))
            result = last;
    }
    return result;
}

TGridNode* TBaseTreeGrid::GetNextNoInit(TGridNode* Node, bool ConsiderChildrenAbove) const
{
    TGAssert(Node != FRoot, RootWalkMessage);
    if (!Node)
        return nullptr;
    if (ChildrenAbove(this, ConsiderChildrenAbove)) {
        if (TGridNode* result = Node->NextSibling) {
            while (result->FirstChild)
                result = result->FirstChild;
            return result;
        }
        return Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    if (Node->FirstChild)
        return Node->FirstChild;
    return NextAfterSubtree(Node, FRoot);
}

TGridNode* TBaseTreeGrid::GetNext(TGridNode* Node, bool ConsiderChildrenAbove)
{
    TGAssert(Node != FRoot, RootWalkMessage);
    if (!Node)
        return nullptr;
    TGridNode* result;
    if (ChildrenAbove(this, ConsiderChildrenAbove)) {
        result = Node->NextSibling;
        if (result) {
            for (;;) {
                Initialized(this, result);
                if (result->States.Contains(vsHasChildren) && result->ChildCount == 0)
                    InitChildren(result);
                if (!result->FirstChild)
                    break;
                result = result->FirstChild;
            }
        } else {
            result = Node->Parent == FRoot ? nullptr : Node->Parent;
        }
    } else {
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
        result = Node->FirstChild ? Node->FirstChild : NextAfterSubtree(Node, FRoot);
    }
    return Initialized(this, result);
}

TGridNode* TBaseTreeGrid::GetPreviousNoInit(TGridNode* Node, bool ConsiderChildrenAbove) const
{
    TGAssert(Node != FRoot, RootWalkMessage);
    if (!Node)
        return nullptr;
    if (ChildrenAbove(this, ConsiderChildrenAbove)) {
        if (Node->LastChild)
            return Node->LastChild;
        TGridNode* run = Node;
        while (run != FRoot && !run->PrevSibling)
            run = run->Parent;
        return run == FRoot ? nullptr : run->PrevSibling;
    }
    if (TGridNode* result = Node->PrevSibling) {
        while (result->LastChild)
            result = result->LastChild;
        return result;
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

TGridNode* TBaseTreeGrid::GetPrevious(TGridNode* Node, bool ConsiderChildrenAbove)
{
    TGAssert(Node != FRoot, RootWalkMessage);
    if (!Node)
        return nullptr;
    TGridNode* result;
    if (ChildrenAbove(this, ConsiderChildrenAbove)) {
        result = GetLastChild(Node);
        if (!result) {
            TGridNode* run = Node;
            while (run != FRoot && !run->PrevSibling)
                run = run->Parent;
            result = run == FRoot ? nullptr : run->PrevSibling;
        }
    } else if ((result = Initialized(this, Node->PrevSibling)) != nullptr) {
        while (TGridNode* last = GetLastChild(result))
            result = last;
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    return Initialized(this, result);
}

TGridNode* TBaseTreeGrid::GetFirstChildNoInit(TGridNode* Node) const
{
    return (Node ? Node : FRoot)->FirstChild;
}

TGridNode* TBaseTreeGrid::GetFirstChild(TGridNode* Node)
{
    const auto createChildren = [this](TGridNode* Parent) { InitChildren(Parent); };
    return ChildAtEnd(this, Node ? Node : FRoot, &TGridNode::FirstChild, createChildren);
}

TGridNode* TBaseTreeGrid::GetLastChildNoInit(TGridNode* Node) const
{
    return (Node ? Node : FRoot)->LastChild;
}

TGridNode* TBaseTreeGrid::GetLastChild(TGridNode* Node)
{
    const auto createChildren = [this](TGridNode* Parent) { InitChildren(Parent); };
    return ChildAtEnd(this, Node ? Node : FRoot, &TGridNode::LastChild, createChildren);
}

TGridNode* TBaseTreeGrid::GetNextSiblingNoInit(TGridNode* Node) const
{
    TGAssert(Node != FRoot, RootWalkMessage);
    return Node ? Node->NextSibling : nullptr;
}

TGridNode* TBaseTreeGrid::GetNextSibling(TGridNode* Node)
{
    return Initialized(this, GetNextSiblingNoInit(Node));
}

TGridNode* TBaseTreeGrid::GetPreviousSiblingNoInit(TGridNode* Node) const
{
    TGAssert(Node != FRoot, RootWalkMessage);
    return Node ? Node->PrevSibling : nullptr;
}

TGridNode* TBaseTreeGrid::GetPreviousSibling(TGridNode* Node)
{
    return Initialized(this, GetPreviousSiblingNoInit(Node));
}

TGridNode* TBaseTreeGrid::GetFirstInitialized() const
{
    TGridNode* result = GetFirstNoInit();
    if (result && !result->States.Contains(vsInitialized))
        result = GetNextInitialized(result);
    return result;
}

TGridNode* TBaseTreeGrid::GetNextInitialized(TGridNode* Node) const
{
    TGridNode* result = Node;
    do
        result = GetNextNoInit(result);
    while (result && !result->States.Contains(vsInitialized));
    return result;
}

// ---- visible order -----------------------------------------------------------

TGridNode* TBaseTreeGrid::GetFirstVisibleChildNoInit(TGridNode* Node, bool IncludeFiltered) const
{
    return FirstShownNoInit(this, (Node ? Node : FRoot)->FirstChild, &TGridNode::NextSibling, IncludeFiltered);
}

TGridNode* TBaseTreeGrid::GetFirstVisibleChild(TGridNode* Node, bool IncludeFiltered)
{
    return FirstShown(this, GetFirstChild(Node), &TBaseTreeGrid::GetNextSibling, IncludeFiltered);
}

TGridNode* TBaseTreeGrid::GetLastVisibleChildNoInit(TGridNode* Node, bool IncludeFiltered) const
{
    return FirstShownNoInit(this, (Node ? Node : FRoot)->LastChild, &TGridNode::PrevSibling, IncludeFiltered);
}

TGridNode* TBaseTreeGrid::GetLastVisibleChild(TGridNode* Node, bool IncludeFiltered)
{
    return FirstShown(this, GetLastChild(Node), &TBaseTreeGrid::GetPreviousSibling, IncludeFiltered);
}

TGridNode* TBaseTreeGrid::GetNextVisibleSiblingNoInit(TGridNode* Node, bool IncludeFiltered) const
{
    TGAssert(Node && Node != FRoot, "Invalid parameter.");
    return FirstShownNoInit(this, Node->NextSibling, &TGridNode::NextSibling, IncludeFiltered);
}

TGridNode* TBaseTreeGrid::GetNextVisibleSibling(TGridNode* Node, bool IncludeFiltered)
{
    TGAssert(Node && Node != FRoot, "Invalid parameter.");
    return FirstShown(this, GetNextSibling(Node), &TBaseTreeGrid::GetNextSibling, IncludeFiltered);
}

TGridNode* TBaseTreeGrid::GetPreviousVisibleSiblingNoInit(TGridNode* Node, bool IncludeFiltered) const
{
    TGAssert(Node && Node != FRoot, "Invalid parameter.");
    return FirstShownNoInit(this, Node->PrevSibling, &TGridNode::PrevSibling, IncludeFiltered);
}

TGridNode* TBaseTreeGrid::GetPreviousVisibleSibling(TGridNode* Node, bool IncludeFiltered)
{
    TGAssert(Node && Node != FRoot, "Invalid parameter.");
    return FirstShown(this, GetPreviousSibling(Node), &TBaseTreeGrid::GetPreviousSibling, IncludeFiltered);
}

// The first and last rows below Node: the visible child at that end, and on
// down through expanded nodes where that end lies deeper.
TGridNode* TBaseTreeGrid::GetFirstVisibleNoInit(TGridNode* Node, bool ConsiderChildrenAbove, bool IncludeFiltered) const
{
    if (!ChildrenCounted(Node ? Node : FRoot))
        return nullptr;
    const auto firstChild = [&](TGridNode* Parent) { return GetFirstVisibleChildNoInit(Parent, IncludeFiltered); };
    TGridNode* result = firstChild(Node);
    return result && ChildrenAbove(this, ConsiderChildrenAbove) ? DeepestExpanded(result, firstChild) : result;
}

TGridNode* TBaseTreeGrid::GetFirstVisible(TGridNode* Node, bool ConsiderChildrenAbove, bool IncludeFiltered)
{
    if (!ChildrenCounted(Node ? Node : FRoot))
        return nullptr;
    const auto firstChild = [&](TGridNode* Parent) { return GetFirstVisibleChild(Parent, IncludeFiltered); };
    TGridNode* result = firstChild(Node);
    return result && ChildrenAbove(this, ConsiderChildrenAbove) ? DeepestExpanded(result, firstChild) : result;
}

TGridNode* TBaseTreeGrid::GetLastVisibleNoInit(TGridNode* Node, bool ConsiderChildrenAbove, bool IncludeFiltered) const
{
    if (!ChildrenCounted(Node ? Node : FRoot))
        return nullptr;
    const auto lastChild = [&](TGridNode* Parent) { return GetLastVisibleChildNoInit(Parent, IncludeFiltered); };
    TGridNode* result = lastChild(Node);
    return result && !ChildrenAbove(this, ConsiderChildrenAbove) ? DeepestExpanded(result, lastChild) : result;
}

TGridNode* TBaseTreeGrid::GetLastVisible(TGridNode* Node, bool ConsiderChildrenAbove, bool IncludeFiltered)
{
    if (!ChildrenCounted(Node ? Node : FRoot))
        return nullptr;
    const auto lastChild = [&](TGridNode* Parent) { return GetLastVisibleChild(Parent, IncludeFiltered); };
    TGridNode* result = lastChild(Node);
    return result && !ChildrenAbove(this, ConsiderChildrenAbove) ? DeepestExpanded(result, lastChild) : result;
}

// A node that is not a visible row continues from the topmost node of its
// chain that is out of view, so that no row of its subtree is returned.
namespace {
template <typename Tree>
TGridNode* OutOfViewTop(const Tree* tree, TGridNode* Node, TGridNode* Root)
{
    TGridNode* top = nullptr;
    for (TGridNode* run = Node; run != Root; run = run->Parent)
        if (!tree->IsEffectivelyVisible(run) || !run->Parent->States.Contains(vsExpanded))
            top = run;
    return top;
}
}  // namespace

TGridNode* TBaseTreeGrid::GetNextVisibleNoInit(TGridNode* Node, bool ConsiderChildrenAbove) const
{
    TGAssert(Node != FRoot, RootWalkMessage);
    if (!Node)
        return nullptr;
    const bool above = ChildrenAbove(this, ConsiderChildrenAbove);
    TGridNode* run = Node;
    bool enterChildren = !above;
    if (TGridNode* top = OutOfViewTop(this, Node, FRoot)) {
        run = top;
        enterChildren = false;
        if (!top->Parent->States.Contains(vsExpanded)) {
            run = top->Parent;
            if (run == FRoot)
                return nullptr;
            if (above)
                return run;
        }
    }
    if (above) {
        if (TGridNode* sibling = GetNextVisibleSiblingNoInit(run))
            return DeepestExpanded(sibling, [this](TGridNode* Parent) { return GetFirstVisibleChildNoInit(Parent); });
        return run->Parent == FRoot ? nullptr : run->Parent;
    }
    if (enterChildren && run->States.Contains(vsExpanded))
        if (TGridNode* child = GetFirstVisibleChildNoInit(run))
            return child;
    for (; run != FRoot; run = run->Parent)
        if (TGridNode* sibling = GetNextVisibleSiblingNoInit(run))
            return sibling;
    return nullptr;
}

TGridNode* TBaseTreeGrid::GetNextVisible(TGridNode* Node, bool ConsiderChildrenAbove)
{
    TGAssert(Node != FRoot, RootWalkMessage);
    if (!Node)
        return nullptr;
    // Entering an expanded node may create its children first.
    if (Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren) && Node->ChildCount == 0)
        InitChildren(Node);
    TGridNode* result = GetNextVisibleNoInit(Node, ConsiderChildrenAbove);
    return Initialized(this, result);
}

TGridNode* TBaseTreeGrid::GetPreviousVisibleNoInit(TGridNode* Node, bool ConsiderChildrenAbove) const
{
    TGAssert(Node != FRoot, RootWalkMessage);
    if (!Node)
        return nullptr;
    const bool above = ChildrenAbove(this, ConsiderChildrenAbove);
    TGridNode* run = Node;
    bool enterChildren = above;
    if (TGridNode* top = OutOfViewTop(this, Node, FRoot)) {
        run = top;
        enterChildren = false;
        if (!top->Parent->States.Contains(vsExpanded)) {
            if (!above)
                return top->Parent == FRoot ? nullptr : top->Parent;
            run = top->Parent;
            if (run == FRoot)
                return nullptr;
        }
    }
    if (above) {
        if (enterChildren && run->States.Contains(vsExpanded))
            if (TGridNode* child = GetLastVisibleChildNoInit(run))
                return child;
        for (; run != FRoot; run = run->Parent)
            if (TGridNode* sibling = GetPreviousVisibleSiblingNoInit(run))
                return sibling;
        return nullptr;
    }
    if (TGridNode* sibling = GetPreviousVisibleSiblingNoInit(run))
        return DeepestExpanded(sibling, [this](TGridNode* Parent) { return GetLastVisibleChildNoInit(Parent); });
    return run->Parent == FRoot ? nullptr : run->Parent;
}

TGridNode* TBaseTreeGrid::GetPreviousVisible(TGridNode* Node, bool ConsiderChildrenAbove)
{
    TGAssert(Node != FRoot, RootWalkMessage);
    if (!Node)
        return nullptr;
    // Create children of expanded nodes that the walk may step into.
    for (TGridNode* run = Node->PrevSibling; run; run = run->LastChild)
        if (run->States.Contains(vsExpanded) && run->States.Contains(vsHasChildren) && run->ChildCount == 0)
            InitChildren(run);
    TGridNode* result = GetPreviousVisibleNoInit(Node, ConsiderChildrenAbove);
    return Initialized(this, result);
}

TGridNode* TBaseTreeGrid::GetVisibleParent(TGridNode* Node, bool IncludeFiltered) const
{
    TGAssert(Node != nullptr, "Node must not be nil.");
    TGridNode* result = Node->Parent;
    while (result != FRoot && (!FullyVisible(result) || (!IncludeFiltered && IsEffectivelyHidden(result))))
        result = result->Parent;
    return result;
}

bool TBaseTreeGrid::HasVisibleNextSibling(TGridNode* Node) const
{
    return Node && Node != FRoot && GetNextVisibleSiblingNoInit(Node) != nullptr;
}

bool TBaseTreeGrid::HasVisiblePreviousSibling(TGridNode* Node) const
{
    return Node && Node != FRoot && GetPreviousVisibleSiblingNoInit(Node) != nullptr;
}

bool TBaseTreeGrid::IsFirstVisibleChild(TGridNode* Parent, TGridNode* Node) const
{
    return Node && GetFirstVisibleChildNoInit(Parent) == Node;
}

bool TBaseTreeGrid::IsLastVisibleChild(TGridNode* Parent, TGridNode* Node) const
{
    return Node && GetLastVisibleChildNoInit(Parent) == Node;
}

int TBaseTreeGrid::CountLevelDifference(TGridNode* Node1, TGridNode* Node2) const
{
    TGAssert(Node1 && Node2, "Both nodes must be Assigned.");
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

int TBaseTreeGrid::CompareNodePositions(TGridNode* Node1, TGridNode* Node2, bool ConsiderChildrenAbove) const
{
    TGAssert(Node1 && Node2, "Nodes must never be nil.");
    if (Node1 == Node2)
        return 0;
    const bool above = ChildrenAbove(this, ConsiderChildrenAbove);
    // An ancestor comes before its descendants (after them with children above).
    if (HasAsParent(Node1, Node2))
        return above ? -1 : 1;
    if (HasAsParent(Node2, Node1))
        return above ? 1 : -1;
    TGridNode* run1 = Node1;
    TGridNode* run2 = Node2;
    for (Cardinal l1 = GetNodeLevel(run1), l2 = GetNodeLevel(run2); l1 != l2;) {
        if (l1 > l2) {
            run1 = run1->Parent;
            --l1;
        } else {
            run2 = run2->Parent;
            --l2;
        }
    }
    while (run1->Parent != run2->Parent) {
        run1 = run1->Parent;
        run2 = run2->Parent;
    }
    const Int64 difference = Int64(run1->Index) - Int64(run2->Index);
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

// ---- expanding and collapsing ------------------------------------------------

void TBaseTreeGrid::ToggleNode(TGridNode* Node)
{
    TGAssert(Node != nullptr, "Node must not be nil.");
    if (Node == FRoot || Node->States.ContainsAny(TGridNodeStates{vsToggling, vsDeleting}))
        return;
    const bool wasToggling = FStates.Contains(tsToggling);
    FStates.Include(tsToggling);
    Node->States.Include(vsToggling);
    struct TRestore {
        TBaseTreeGrid* Tree;
        TGridNode* Node;
        bool WasToggling;
        ~TRestore()
        {
            Node->States.Exclude(vsToggling);
            if (!WasToggling)
                Tree->FStates.Exclude(tsToggling);
        }
    } restore{this, Node, wasToggling};

    bool toggled = false;
    bool animated = false;
    if (Node->States.Contains(vsExpanded)) {
        if (DoCollapsing(Node)) {
            toggled = true;
            InterruptValidation();
            if (!FStates.Contains(tsCollapsing))
                animated = AnimateToggle(Node, false, int(Node->TotalHeight) - int(Node->NodeHeight));
            const Cardinal rows = ChildrenCounted(Node) ? CountVisibleChildren(Node) : 0;
            AdjustTotalHeight(Node, Node->NodeHeight, false);
            Node->States.Exclude(vsExpanded);
            FVisibleCount -= rows;
            DoCollapsed(Node);
            if (FOptions->AutoOptions().Contains(toAutoFreeOnCollapse)) {
                DeleteChildren(Node);
                Node->States.Include(vsHasChildren);
            }
        }
    } else if (DoExpanding(Node)) {
        toggled = true;
        InterruptValidation();
        if (!Node->States.Contains(vsInitialized))
            InitNode(Node);
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
        if (!Node->States.Contains(vsExpanded)) {
            Int64 heights = 0;
            for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling)
                if (IsEffectivelyVisible(child))
                    heights += child->TotalHeight;
            if (!FStates.ContainsAny(TTreeGridStates{tsExpanding, tsPainting}))
                animated = AnimateToggle(Node, true, int(heights));
            Node->States.Include(vsExpanded);
            AdjustTotalHeight(Node, heights, true);
            if (ChildrenCounted(Node))
                FVisibleCount += CountVisibleChildren(Node);
        }
        DoExpanded(Node);
    }
    if (toggled) {
        InvalidateCache();
        if (FUpdateCount > 0) {
            UpdateScrollBars(false);
            return;
        }
        ValidateCache();
        const TPoint offset = OffsetXY();
        UpdateScrollBars(false);
        if (Node->States.Contains(vsExpanded) && Node->FirstChild &&
            !FStates.ContainsAny(TTreeGridStates{tsExpanding, tsPainting}) &&
            FOptions->AutoOptions().Contains(toAutoScrollOnExpand))
            ScrollExpandedIntoView(Node);
        UpdateScrollBars(true);
        // While toggling a scroll moves no pixels: a moved view is painted anew.
        if (animated || OffsetXY() != offset)
            RepaintTree();
        else
            InvalidateToBottom(Node);
    }
}

// The children of a node just expanded come into view: the whole subtree
// when it fits in the client area, else as much as fits after the node.
void TBaseTreeGrid::ScrollExpandedIntoView(TGridNode* Node)
{
    const TRect r = GetDisplayRect(Node, NoColumn, false);
    if (r.IsEmpty())
        return;
    const int clientHeight = TreeClientHeight();
    const int childrenHeight = int(Node->TotalHeight) - int(NodeHeight(Node));
    const bool fits = int(Node->TotalHeight) <= clientHeight;
    if (!FOptions->PaintOptions().Contains(toChildrenAbove)) {
        if (r.Bottom + childrenHeight <= clientHeight)
            return;
        if (fits)
            SetBottomNode(GetLastVisibleNoInit(Node, true));
        else
            SetTopNode(Node);
    } else {
        if (r.Top - childrenHeight >= 0)
            return;
        if (fits)
            SetTopNode(GetFirstVisibleNoInit(Node, true));
        else
            SetBottomNode(Node);
    }
}

void TBaseTreeGrid::FullExpand(TGridNode* Node)
{
    if (FRoot->TotalCount < 2)
        return;
    TGridNode* stop;
    TGridNode* run;
    if (Node && Node != FRoot) {
        run = Node;
        stop = NextAfterSubtree(Node, FRoot);
    } else {
        run = GetFirst();
        stop = nullptr;
    }
    DoStateChange({tsExpanding});
    BeginUpdate();
    try {
        while (run && run != stop) {
            if (!run->States.Contains(vsExpanded))
                ToggleNode(run);
            run = GetNext(run);
        }
    } catch (...) {
        EndUpdate();
        DoStateChange({}, {tsExpanding});
        throw;
    }
    EndUpdate();
    DoStateChange({}, {tsExpanding});
}

void TBaseTreeGrid::FullCollapse(TGridNode* Node)
{
    if (FRoot->TotalCount < 2)
        return;
    if (Node == FRoot)
        Node = nullptr;
    DoStateChange({tsCollapsing});
    BeginUpdate();
    try {
        // Backwards in plain tree order, which stays inside the subtree;
        // children shown above their parents change only the painting.
        TGridNode* run = GetLastVisibleNoInit(Node, false);
        while (run && run != Node) {
            if (run->States.Contains(vsExpanded) && run->States.Contains(vsHasChildren))
                ToggleNode(run);
            run = GetPreviousNoInit(run, false);
        }
        if (Node && Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren))
            ToggleNode(Node);
    } catch (...) {
        EndUpdate();
        DoStateChange({}, {tsCollapsing});
        throw;
    }
    EndUpdate();
    DoStateChange({}, {tsCollapsing});
}

bool TBaseTreeGrid::DoExpanding(TGridNode* Node)
{
    bool allowed = true;
    if (OnExpanding)
        OnExpanding(this, Node, allowed);
    return allowed;
}

void TBaseTreeGrid::DoExpanded(TGridNode* Node)
{
    if (OnExpanded)
        OnExpanded(this, Node);
}

bool TBaseTreeGrid::DoCollapsing(TGridNode* Node)
{
    bool allowed = true;
    if (OnCollapsing)
        OnCollapsing(this, Node, allowed);
    return allowed;
}

void TBaseTreeGrid::DoCollapsed(TGridNode* Node)
{
    if (OnCollapsed)
        OnCollapsed(this, Node);
}

// ---- position queries --------------------------------------------------------

TGridNode* TBaseTreeGrid::GetNodeAt(int X, int Y)
{
    int top = 0;
    return GetNodeAt(X, Y, true, top);
}

TGridNode* TBaseTreeGrid::GetNodeAt(int, int Y, bool Relative, int& NodeTop)
{
    if (Y < 0)
        Y = 0;
    const Int64 absY = Relative ? Int64(Y) - FOffsetY : Int64(Y);
    Int64 top = 0;
    TGridNode* run = FStates.Contains(tsUseCache) ? CachedNodeAt(absY, top)
                                                  : WalkToPosition(GetFirstVisibleNoInit(nullptr, true), top, absY);
    NodeTop = run ? int(Relative ? top + FOffsetY : top) : 0;
    return run;
}
