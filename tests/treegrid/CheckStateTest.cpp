// Check boxes: propagation between a tri-state parent and its children,
// radio siblings, refusals, and the header's check boxes.
#include "TreeGridTestSupport.h"

namespace {

struct TCheckTree {
    TTreePtr Tree = MakeTree(sizeof(TRow));
    TGridNode* Parent;
    TGridNode* A;
    TGridNode* B;
    std::vector<TGridNode*> Checked;

    TCheckTree()
    {
        Tree->SetMisc(toCheckSupport, true);
        Tree->SetAuto(toAutoTristateTracking, true);
        Parent = Tree->AddChild(nullptr);
        A = Tree->AddChild(Parent);
        B = Tree->AddChild(Parent);
        Tree->SetCheckType(Parent, ctTriStateCheckBox);
        Tree->SetCheckType(A, ctCheckBox);
        Tree->SetCheckType(B, ctCheckBox);
        Tree->OnChecked = [this](TBaseTreeGrid*, TGridNode* Node) { Checked.push_back(Node); };
    }
};

}  // namespace

TEST(TreeGridChecks, ATriStateParentAndItsChildrenFollowEachOther)
{
    TCheckTree t;
    t.Tree->SetCheckState(t.Parent, csCheckedNormal);
    EXPECT_EQ(t.A->CheckState, csCheckedNormal);
    EXPECT_EQ(t.B->CheckState, csCheckedNormal);
    EXPECT_EQ(t.Parent->CheckState, csCheckedNormal);

    t.Tree->SetCheckState(t.A, csUncheckedNormal);
    EXPECT_EQ(t.Parent->CheckState, csMixedNormal);
    t.Tree->SetCheckState(t.B, csUncheckedNormal);
    EXPECT_EQ(t.Parent->CheckState, csUncheckedNormal);
    EXPECT_FALSE(t.Tree->TreeStates().Contains(tsCheckPropagation));

    // A child made later under a clear-cut parent starts as the parent is.
    t.Tree->SetCheckState(t.Parent, csCheckedNormal);
    TGridNode* c = t.Tree->AddChild(t.Parent);
    t.Tree->SetCheckType(c, ctCheckBox);
    EXPECT_EQ(c->CheckState, csCheckedNormal);
}

TEST(TreeGridChecks, AParentWhoseChildrenTakeNoPartKeepsTheRequest)
{
    TCheckTree t;
    t.Tree->SetCheckType(t.A, ctButton);
    t.Tree->SetCheckType(t.B, ctNone);
    t.Tree->SetCheckState(t.Parent, csCheckedNormal);
    EXPECT_EQ(t.Parent->CheckState, csCheckedNormal);
}

TEST(TreeGridChecks, RadioSiblingsUncheckWithoutEvents)
{
    TCheckTree t;
    t.Tree->SetCheckType(t.A, ctRadioButton);
    t.Tree->SetCheckType(t.B, ctRadioButton);
    t.Tree->SetCheckState(t.A, csCheckedNormal);
    t.Checked.clear();
    t.Tree->SetCheckState(t.B, csCheckedNormal);
    EXPECT_EQ(t.A->CheckState, csUncheckedNormal);
    EXPECT_EQ(t.B->CheckState, csCheckedNormal);
    EXPECT_EQ(t.Checked, std::vector<TGridNode*>{t.B});
}

TEST(TreeGridChecks, RefusalsChangeNothing)
{
    TCheckTree t;
    t.Tree->OnChecking = [](TBaseTreeGrid*, TGridNode*, TCheckState&, bool& Allowed) { Allowed = false; };
    t.Tree->SetCheckState(t.A, csCheckedNormal);
    EXPECT_EQ(t.A->CheckState, csUncheckedNormal);
    EXPECT_TRUE(t.Checked.empty());

    t.Tree->OnChecking = nullptr;
    t.Tree->SetMisc(toReadOnly, true);
    t.Tree->SetCheckState(t.Parent, csCheckedNormal);
    EXPECT_EQ(t.Parent->CheckState, csUncheckedNormal);
    EXPECT_EQ(t.A->CheckState, csUncheckedNormal);

    t.Tree->SetMisc(toReadOnly, false);
    t.Tree->SetDisabled(t.B, true);
    t.Tree->SetCheckState(t.B, csCheckedNormal);
    EXPECT_EQ(t.B->CheckState, csUncheckedNormal);
}

TEST(TreeGridChecks, NextStatesOfAClick)
{
    EXPECT_EQ(TBaseTreeGrid::DetermineNextCheckState(ctCheckBox, csCheckedNormal), csUncheckedNormal);
    EXPECT_EQ(TBaseTreeGrid::DetermineNextCheckState(ctTriStateCheckBox, csMixedNormal), csCheckedNormal);
    EXPECT_EQ(TBaseTreeGrid::DetermineNextCheckState(ctRadioButton, csCheckedNormal), csCheckedNormal);
    EXPECT_EQ(TBaseTreeGrid::DetermineNextCheckState(ctButton, csUncheckedNormal), csUncheckedNormal);

    TTreePtr tree = MakeTree();
    TTreeGridColumn* column = tree->Header()->Columns()->Add();
    column->SetCheckBox(true);
    tree->UpdateColumnCheckState(column);
    EXPECT_EQ(column->CheckState(), csCheckedNormal);
    tree->UpdateColumnCheckState(column);
    EXPECT_EQ(column->CheckState(), csUncheckedNormal);
}
