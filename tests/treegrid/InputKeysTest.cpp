// The keyboard on a shown tree: focus moves and selections, paging,
// columns, expanding by arrows and keypad, Tab, Ctrl+A and Space on check
// boxes.
#include "InputTestSupport.h"

namespace {

using ::testing::ElementsAre;

// Ten rows, multi-selection with full rows, the first focused and selected.
struct TKeyForm : TInputForm {
    TKeyForm() : TInputForm(10)
    {
        Tree->SetSelection(toMultiSelect, true);
        Tree->SetSelection(toFullRowSelect, true);
        Tree->SetFocusedNode(Node(0));
        Tree->SetSelected(Node(0), true);
    }
};

}  // namespace

TEST(TreeGridKeys, ArrowsMoveFocusAndSelection)
{
    TKeyForm f;
    f.Key(VK_DOWN);
    EXPECT_EQ(f.FocusedIndex(), 1);
    EXPECT_THAT(f.Selected(), ElementsAre(1));

    f.Key(VK_DOWN, {ssShift});
    EXPECT_EQ(f.FocusedIndex(), 2);
    EXPECT_THAT(f.Selected(), ElementsAre(1, 2));
    // Back towards the anchor gives the row up again.
    f.Key(VK_UP, {ssShift});
    EXPECT_THAT(f.Selected(), ElementsAre(1));

    const int offset = f.Tree->OffsetY();
    f.Key(VK_DOWN, {ssCtrl});
    EXPECT_EQ(f.FocusedIndex(), 1);
    EXPECT_THAT(f.Selected(), ElementsAre(1));
    EXPECT_EQ(f.Tree->OffsetY(), offset - 18);
}

TEST(TreeGridKeys, PagesWalkRowsThatFitTheClientHeight)
{
    TKeyForm f;
    f.Key(VK_NEXT);
    EXPECT_EQ(f.FocusedIndex(), 5);
    EXPECT_THAT(f.Selected(), ElementsAre(5));
    f.Key(VK_PRIOR);
    EXPECT_EQ(f.FocusedIndex(), 0);
    // Shift+End selects everything from the anchor down.
    f.Key(VK_END, {ssShift});
    EXPECT_EQ(f.FocusedIndex(), 9);
    EXPECT_EQ(f.Selected().size(), 10u);
}

TEST(TreeGridKeys, HomeAndEndTakeTheColumnsTheOwnerAllows)
{
    TKeyForm f;
    for (int i = 0; i < 4; ++i)
        f.Tree->Header()->Columns()->Add()->SetWidth(60);
    f.Tree->SetSelection(toExtendedFocus, true);
    f.Tree->OnFocusChanging = [](TBaseTreeGrid*, TGridNode*, TGridNode*, TColumnIndex, TColumnIndex NewColumn,
                                  bool& Allowed) { Allowed = NewColumn != 0 && NewColumn != 3; };
    f.Tree->SetFocusedColumn(2);
    f.Key(VK_END);
    EXPECT_EQ(f.FocusedIndex(), 9);
    EXPECT_EQ(f.Tree->FocusedColumn(), 2);
    f.Key(VK_HOME);
    EXPECT_EQ(f.FocusedIndex(), 0);
    EXPECT_EQ(f.Tree->FocusedColumn(), 1);
}

TEST(TreeGridKeys, TabWalksColumnsAndRowsWhenTheTreeTakesIt)
{
    TKeyForm f;
    for (int i = 0; i < 3; ++i)
        f.Tree->Header()->Columns()->Add()->SetWidth(60);
    f.Tree->SetSelection(toExtendedFocus, true);
    f.Tree->SetWantTabs(true);
    f.Tree->SetFocusedColumn(0);
    f.Key(VK_TAB);
    EXPECT_EQ(f.Tree->FocusedColumn(), 1);
    f.Key(VK_TAB);
    f.Key(VK_TAB);
    EXPECT_EQ(f.FocusedIndex(), 1);
    EXPECT_EQ(f.Tree->FocusedColumn(), 0);
    f.Key(VK_TAB, {ssShift});
    EXPECT_EQ(f.FocusedIndex(), 0);
    EXPECT_EQ(f.Tree->FocusedColumn(), 2);
}

TEST(TreeGridKeys, TabLeavesATreeThatDoesNotWantIt)
{
    TKeyForm f;
    auto* other = Create<TTestTree>(f.Form);
    other->SetParent(f.Form);
    other->SetBounds(10, 150, 100, 50);
    f.Tree->SetFocus();
    ProcessEvents();
    ASSERT_TRUE(f.Tree->Focused());
    f.Key(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(f.FocusedIndex(), 0);
}

TEST(TreeGridKeys, ArrowsAndKeypadExpandCollapseAndStep)
{
    TKeyForm f;
    TGridNode* parent = f.Node(0);
    for (int i = 0; i < 2; ++i)
        Row(f.Tree, f.Tree->AddChild(parent)).Id = 20 + i;
    f.Tree->FullCollapse();
    f.Key(VK_RIGHT);
    EXPECT_TRUE(f.Tree->Expanded(parent));
    f.Key(VK_RIGHT);
    EXPECT_EQ(f.FocusedIndex(), 20);
    f.Key(VK_LEFT);
    EXPECT_EQ(f.FocusedIndex(), 0);
    f.Key(VK_LEFT);
    EXPECT_FALSE(f.Tree->Expanded(parent));

    // The keypad's keys, as the keyboard sends them.
    f.Key(VK_ADD, {}, "+");
    EXPECT_TRUE(f.Tree->Expanded(parent));
    f.Key(VK_SUBTRACT, {}, "-");
    EXPECT_FALSE(f.Tree->Expanded(parent));
    TGridNode* grandChild = f.Tree->AddChild(f.Tree->GetFirstChildNoInit(parent));
    Row(f.Tree, grandChild).Id = 30;
    f.Key(VK_MULTIPLY, {}, "*");
    EXPECT_TRUE(f.Tree->Expanded(parent));
    EXPECT_TRUE(f.Tree->Expanded(f.Tree->GetFirstChildNoInit(parent)));
    f.Key(VK_DIVIDE, {}, "/");
    EXPECT_FALSE(f.Tree->Expanded(parent));
}

TEST(TreeGridKeys, CtrlASelectsTheVisibleRowsOnly)
{
    TKeyForm f;
    TGridNode* hidden = f.Tree->AddChild(f.Node(3));
    Row(f.Tree, hidden).Id = 40;
    f.Tree->FullCollapse();
    f.Key('A', {ssCtrl});
    EXPECT_EQ(f.Selected().size(), 10u);
    EXPECT_FALSE(f.Tree->Selected(hidden));
}

TEST(TreeGridKeys, SpaceChecksOnReleaseOnly)
{
    TKeyForm f;
    f.Tree->SetMisc(toCheckSupport, true);
    for (int i = 0; i < 3; ++i)
        f.Tree->SetCheckType(f.Node(i), ctCheckBox);
    int checked = 0;
    f.Tree->OnChecked = [&](TBaseTreeGrid*, TGridNode*) { ++checked; };

    KeyDown(f.Tree, VK_SPACE, " ");
    EXPECT_EQ(f.Node(0)->CheckState, csUncheckedPressed);
    EXPECT_EQ(checked, 0);
    KeyUp(f.Tree, VK_SPACE);
    EXPECT_EQ(f.Node(0)->CheckState, csCheckedNormal);
    EXPECT_EQ(checked, 1);

    // Another key before the release drops the press.
    f.Tree->SetFocusedNode(f.Node(1));
    KeyDown(f.Tree, VK_SPACE, " ");
    f.Key(VK_RIGHT);
    KeyUp(f.Tree, VK_SPACE);
    EXPECT_EQ(f.Node(1)->CheckState, csUncheckedNormal);

    // A disabled row's box does not change.
    f.Tree->SetDisabled(f.Node(2), true);
    f.Tree->SetFocusedNode(f.Node(2));
    f.Key(VK_SPACE, {}, " ");
    EXPECT_EQ(f.Node(2)->CheckState, csUncheckedNormal);
    EXPECT_EQ(checked, 1);
}
