// Check boxes of the tree: setting a node's box type and state, the
// questions asked before a change, and the propagation of a change to the
// node's children, its radio siblings and its parents.
#include "components/TreeGrid/BaseTreeGrid.h"

TCheckState TBaseTreeGrid::DetermineNextCheckState(TCheckType CheckType, TCheckState CheckState)
{
    switch (CheckType) {
    case ctTriStateCheckBox:
    case ctCheckBox: return CheckState == csCheckedNormal ? csUncheckedNormal : csCheckedNormal;
    case ctRadioButton: return csCheckedNormal;
    case ctButton: return csUncheckedNormal;
    default: return csMixedNormal;
    }
}

void TBaseTreeGrid::UpdateColumnCheckState(TTreeGridColumn* Column)
{
    if (Column)
        Column->SetCheckState(DetermineNextCheckState(Column->CheckType(), Column->CheckState()));
}

bool TBaseTreeGrid::DoChecking(TGridNode* Node, TCheckState& NewState)
{
    if (FOptions->MiscOptions().Contains(toReadOnly))
        return false;
    bool allowed = true;
    if (OnChecking)
        OnChecking(this, Node, NewState, allowed);
    return allowed;
}

void TBaseTreeGrid::DoChecked(TGridNode* Node)
{
    if (OnChecked)
        OnChecked(this, Node);
}

void TBaseTreeGrid::DoCheckClick(TGridNode* Node, TCheckState NewCheckState)
{
    if (ChangeCheckState(Node, NewCheckState))
        DoChecked(Node);
}

void TBaseTreeGrid::SetCheckState(TGridNode* Node, TCheckState Value)
{
    if (!Node || Node == FRoot || Node->CheckState == Value || Node->States.Contains(vsDisabled))
        return;
    if (DoChecking(Node, Value))
        DoCheckClick(Node, Value);
}

void TBaseTreeGrid::SetCheckType(TGridNode* Node, TCheckType Value)
{
    if (!Node || Node == FRoot || Node->CheckType == Value || FOptions->MiscOptions().Contains(toReadOnly))
        return;
    Node->CheckType = Value;
    Node->CheckState = csUncheckedNormal;
    // A box under a tri-state parent starts as the parent is, when that is clear-cut.
    TGridNode* parent = Node->Parent;
    if (FOptions->AutoOptions().Contains(toAutoTristateTracking) &&
        (Value == ctTriStateCheckBox || Value == ctCheckBox) && parent != FRoot &&
        parent->CheckType == ctTriStateCheckBox &&
        (parent->CheckState == csUncheckedNormal || parent->CheckState == csCheckedNormal))
        Node->CheckState = parent->CheckState;
    InvalidateNode(Node);
}

namespace {

bool IsBox(const TGridNode* Node)
{
    return Node->CheckType == ctTriStateCheckBox || Node->CheckType == ctCheckBox;
}

bool IsChecked(TCheckState State) { return State == csCheckedNormal || State == csCheckedPressed; }
bool IsMixed(TCheckState State) { return State == csMixedNormal || State == csMixedPressed; }

}  // namespace

bool TBaseTreeGrid::ChangeCheckState(TGridNode* Node, TCheckState Value)
{
    if (Node->States.Contains(vsChecking))
        return false;
    Node->States.Include(vsChecking);
    bool result = true;
    try {
        if (!Node->States.Contains(vsInitialized))
            InitNode(Node);
        if (FCheckPropagationCount++ == 0)
            DoStateChange({tsCheckPropagation});
        const bool tracking = FOptions->AutoOptions().Contains(toAutoTristateTracking);
        if (Node->CheckType == ctTriStateCheckBox && tracking && Node->ChildCount > 0 &&
            (Value == csCheckedNormal || Value == csUncheckedNormal)) {
            int checked = 0;
            int unchecked = 0;
            int mixed = 0;
            int pushed = 0;
            for (TGridNode* child = GetFirstChild(Node); child; child = GetNextSibling(child)) {
                if (!IsBox(child))
                    continue;
                SetCheckState(child, Value);
                ++pushed;
                if (IsMixed(child->CheckState))
                    ++mixed;
                else if (IsChecked(child->CheckState))
                    ++checked;
                else
                    ++unchecked;
            }
            // Children that took no part leave the state the caller asked for.
            if (pushed > 0) {
                if (mixed > 0)
                    Value = csMixedNormal;
                else if (checked > 0)
                    Value = unchecked > 0 ? csMixedNormal : csCheckedNormal;
                else
                    Value = csUncheckedNormal;
            }
        } else if (Node->CheckType == ctRadioButton && Value == csCheckedNormal) {
            for (TGridNode* run = GetFirstChild(Node->Parent); run; run = GetNextSibling(run))
                if (run != Node && run->CheckType == ctRadioButton)
                    run->CheckState = csUncheckedNormal;
            Invalidate();
        }
        Node->CheckState = Value;
        TGridNode* parent = Node->Parent;
        if (tracking && IsBox(Node) && parent != FRoot && parent->CheckType == ctTriStateCheckBox &&
            !parent->States.ContainsAny({vsChecking, vsDisabled}))
            result = CheckParentCheckState(Node, Value);
        InvalidateNode(Node);
    } catch (...) {
        Node->States.Exclude(vsChecking);
        if (--FCheckPropagationCount == 0)
            DoStateChange({}, {tsCheckPropagation});
        throw;
    }
    Node->States.Exclude(vsChecking);
    if (--FCheckPropagationCount == 0)
        DoStateChange({}, {tsCheckPropagation});
    return result;
}

bool TBaseTreeGrid::CheckParentCheckState(TGridNode* Node, TCheckState NewCheckState)
{
    int boxes = 0;
    int checked = 0;
    bool mixed = false;
    for (TGridNode* run = Node->Parent->FirstChild; run; run = run->NextSibling) {
        if (!IsBox(run))
            continue;
        const TCheckState state = run == Node ? NewCheckState : run->CheckState;
        ++boxes;
        if (IsChecked(state))
            ++checked;
        mixed = mixed || IsMixed(state);
    }
    TCheckState parentState = csUncheckedNormal;
    if (mixed || (checked > 0 && checked < boxes))
        parentState = csMixedNormal;
    else if (checked > 0 && checked == boxes)
        parentState = csCheckedNormal;
    TGridNode* parent = Node->Parent;
    if (!DoChecking(parent, parentState))
        return false;
    // DoCheckClick goes on upward through ChangeCheckState of the parent.
    DoCheckClick(parent, parentState);
    return true;
}

void TBaseTreeGrid::BeginCheckPress(TGridNode* Node, TTreeGridState Pending)
{
    TCheckState next = DetermineNextCheckState(Node->CheckType, TCheckState(Node->CheckState & ~1));
    if (!DoChecking(Node, next))
        return;
    DoStateChange({Pending});
    FCheckNode = Node;
    FPendingCheckState = next;
    // The pressed look of each state follows its normal one.
    Node->CheckState = TCheckState(Node->CheckState | 1);
    InvalidateNode(Node);
}

void TBaseTreeGrid::FinishCheckPress(bool Apply)
{
    TGridNode* node = FCheckNode;
    FCheckNode = nullptr;
    if (!node)
        return;
    node->CheckState = TCheckState(node->CheckState & ~1);
    if (Apply)
        DoCheckClick(node, FPendingCheckState);
    InvalidateNode(node);
}
