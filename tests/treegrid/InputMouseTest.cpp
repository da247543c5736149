// The mouse on a shown tree: clicks with and without modifiers, a click
// below the rows, dragging a multi-selection, double clicks, expand
// buttons, check boxes and the rubber band.
#include "InputTestSupport.h"

namespace {

using ::testing::ElementsAre;

struct TMouseForm : TInputForm {
    explicit TMouseForm(int Count = 4, int ClientHeight = 100) : TInputForm(Count, ClientHeight)
    {
        Tree->SetSelection(toMultiSelect, true);
        Tree->SetSelection(toFullRowSelect, true);
    }
    void ClickAt(TPoint P, TShiftState Shift = {})
    {
        NextClick();
        MouseDown(Tree, P, mbLeft, Shift);
        MouseUp(Tree, P, mbLeft, Shift);
        ProcessEvents();
    }
};

}  // namespace

TEST(TreeGridMouse, ClicksSelectSingleRangesAndToggles)
{
    TMouseForm f;
    f.ClickAt(f.AtRow(1));
    EXPECT_EQ(f.FocusedIndex(), 1);
    EXPECT_THAT(f.Selected(), ElementsAre(1));

    f.ClickAt(f.AtRow(3), {ssCtrl});
    EXPECT_THAT(f.Selected(), ElementsAre(1, 3));
    EXPECT_EQ(f.Index(f.Tree->RangeAnchor()), 3);
    // Shift extends from the anchor the Ctrl click moved, replacing the rest.
    f.ClickAt(f.AtRow(2), {ssShift});
    EXPECT_THAT(f.Selected(), ElementsAre(2, 3));
    f.ClickAt(f.AtRow(3), {ssCtrl});
    EXPECT_THAT(f.Selected(), ElementsAre(2));

    f.ClickAt({40, 95});  // below the four rows
    EXPECT_TRUE(f.Selected().empty());
}

TEST(TreeGridMouse, ASelectionToDragStaysUntilTheRelease)
{
    TMouseForm f;
    f.Tree->SetDragMode(dmAutomatic);
    f.Tree->SetMisc(toFullRowDrag, true);
    f.ClickAt(f.AtRow(0));
    f.ClickAt(f.AtRow(2), {ssShift});
    ASSERT_THAT(f.Selected(), ElementsAre(0, 1, 2));
    NextClick();
    MouseDown(f.Tree, f.AtRow(1));
    EXPECT_THAT(f.Selected(), ElementsAre(0, 1, 2));
    EXPECT_TRUE(f.Tree->TreeStates().Contains(tsClearPending));
    MouseUp(f.Tree, f.AtRow(1));
    EXPECT_THAT(f.Selected(), ElementsAre(1));
}

TEST(TreeGridMouse, DoubleClicksToggleAndRestoreRowHeights)
{
    TMouseForm f;
    // The lower splitter of a fixed column's cell.
    f.Tree->Header()->Columns()->Add()->SetWidth(200);
    TTreeGridColumn* column = f.Tree->Header()->Columns()->Items(0);
    column->SetOptions(column->Options() + TTGColumnOptions{coFixed});
    f.Tree->SetMisc(toNodeHeightResize, true);
    f.Tree->SetMisc(toNodeHeightDblClickResize, true);
    f.Tree->SetMisc(toEditable, true);
    f.Tree->SetMisc(toEditOnDblClick, true);
    f.Tree->SetNodeHeight(f.Node(1), 30);
    int editors = 0;
    f.Tree->OnCreateEditor = [&](TBaseTreeGrid*, TGridNode*, TColumnIndex, ITGEditLinkPtr&) { ++editors; };
    NextClick();
    DoubleClick(f.Tree, {40, 18 + 29});
    ProcessEvents();
    EXPECT_EQ(f.Tree->NodeHeight(f.Node(1)), 18u);
    EXPECT_FALSE(f.Tree->TreeStates().Contains(tsEditPending));
    f.Tree->Perform(WM_TIMER, EditTimer);
    EXPECT_EQ(editors, 0);

    TGridNode* parent = f.Node(0);
    Row(f.Tree, f.Tree->AddChild(parent)).Id = 10;
    f.Tree->FullCollapse();
    NextClick();
    DoubleClick(f.Tree, f.AtRow(0, 100));
    ProcessEvents();
    EXPECT_TRUE(f.Tree->Expanded(parent));
}

TEST(TreeGridMouse, ADoubleClickOnTheFocusedCellMakesAnEditPending)
{
    TMouseForm f;
    f.Tree->SetSelection(toFullRowSelect, false);
    f.Tree->SetMisc(toEditable, true);
    f.Tree->SetMisc(toEditOnDblClick, true);
    f.Tree->SetMisc(toToggleOnDblClick, false);
    int editors = 0;
    f.Tree->OnCreateEditor = [&](TBaseTreeGrid*, TGridNode*, TColumnIndex, ITGEditLinkPtr&) { ++editors; };
    f.Tree->SetFocusedNode(f.Node(2));
    const TPoint p = f.AtRow(2, 25);
    f.Tree->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(Word(p.X), Word(p.Y)));
    EXPECT_TRUE(f.Tree->TreeStates().Contains(tsEditPending));
    EXPECT_EQ(editors, 0);
    f.Tree->Perform(WM_LBUTTONUP, 0, MakeLParam(Word(p.X), Word(p.Y)));
    f.Tree->Perform(WM_TIMER, EditTimer);
    EXPECT_EQ(editors, 1);
    EXPECT_EQ(f.FocusedIndex(), 2);
}

TEST(TreeGridMouse, TheExpandButtonTogglesWithoutSelecting)
{
    TMouseForm f;
    f.Tree->SetPaint(toShowRoot, true);
    f.Tree->SetPaint(toShowButtons, true);
    TGridNode* parent = f.Node(1);
    Row(f.Tree, f.Tree->AddChild(parent)).Id = 10;
    f.Tree->FullCollapse();
    f.ClickAt(f.AtRow(1, 9));  // the button sits in the first indent
    EXPECT_TRUE(f.Tree->Expanded(parent));
    EXPECT_TRUE(f.Selected().empty());
    f.ClickAt(f.AtRow(1, 9));
    EXPECT_FALSE(f.Tree->Expanded(parent));
}

TEST(TreeGridMouse, ACheckBoxClickAppliesOnReleaseOverTheSameBox)
{
    TMouseForm f;
    f.Tree->SetMisc(toCheckSupport, true);
    f.Tree->SetCheckType(f.Node(0), ctCheckBox);
    f.Tree->SetCheckType(f.Node(1), ctCheckBox);
    const TPoint box{int(f.Tree->Indent()) + f.Tree->Margin() + 8, 9};
    NextClick();
    MouseDown(f.Tree, box);
    EXPECT_EQ(f.Node(0)->CheckState, csUncheckedPressed);
    MouseUp(f.Tree, box);
    EXPECT_EQ(f.Node(0)->CheckState, csCheckedNormal);

    // Released over another row's box: nothing changes.
    NextClick();
    MouseDown(f.Tree, box);
    MouseMove(f.Tree, {box.X, box.Y + 18});
    MouseUp(f.Tree, {box.X, box.Y + 18});
    EXPECT_EQ(f.Node(0)->CheckState, csCheckedNormal);
    EXPECT_EQ(f.Node(1)->CheckState, csUncheckedNormal);
}

TEST(TreeGridMouse, TheRubberBandSelectsOnceItOutgrowsTheThreshold)
{
    TMouseForm f;
    f.Tree->SetSelection(toFullRowSelect, false);
    f.ClickAt(f.AtRow(3));
    ASSERT_THAT(f.Selected(), ElementsAre(3));
    // From right of the texts, where no label is hit.
    const TPoint start{250, 5};
    NextClick();
    MouseDown(f.Tree, start);
    EXPECT_TRUE(f.Tree->TreeStates().Contains(tsDrawSelPending));
    MouseMove(f.Tree, {start.X - 4, start.Y + 4});  // by the threshold: nothing yet
    EXPECT_TRUE(f.Tree->TreeStates().Contains(tsDrawSelPending));
    EXPECT_THAT(f.Selected(), ElementsAre(3));
    MouseMove(f.Tree, {20, 40});
    EXPECT_TRUE(f.Tree->TreeStates().Contains(tsDrawSelecting));
    EXPECT_THAT(f.Selected(), ElementsAre(0, 1, 2));
    MouseMove(f.Tree, {20, 20});
    EXPECT_THAT(f.Selected(), ElementsAre(0, 1));
    MouseUp(f.Tree, {20, 20});
    EXPECT_FALSE(f.Tree->TreeStates().ContainsAny(TTreeGridStates{tsDrawSelecting, tsDrawSelPending}));
    EXPECT_THAT(f.Selected(), ElementsAre(0, 1));

    // Ctrl flips what the band crosses.
    NextClick();
    MouseDown(f.Tree, start, mbLeft, {ssCtrl});
    MouseMove(f.Tree, {20, 40}, {ssCtrl});
    MouseUp(f.Tree, {20, 40}, mbLeft, {ssCtrl});
    EXPECT_THAT(f.Selected(), ElementsAre(2));

    // Escape ends a band.
    NextClick();
    MouseDown(f.Tree, start);
    MouseMove(f.Tree, {20, 40});
    ASSERT_TRUE(f.Tree->TreeStates().Contains(tsDrawSelecting));
    f.Tree->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(f.Tree->TreeStates().ContainsAny(TTreeGridStates{tsDrawSelecting, tsDrawSelPending}));
    MouseUp(f.Tree, {20, 40});
}

TEST(TreeGridMouse, TheBandScrollsAtTheEdgeAndGrows)
{
    TMouseForm f(20);
    f.Tree->SetSelection(toFullRowSelect, false);
    f.Tree->SetAuto(toAutoScroll, true);
    NextClick();
    MouseDown(f.Tree, {250, 5});
    MouseMove(f.Tree, {20, 95});
    ASSERT_TRUE(f.Tree->TreeStates().Contains(tsDrawSelecting));
    MouseMove(f.Tree, {21, 95});
    const std::size_t before = f.Selected().size();
    // The pointer rests at the bottom edge: the scroll timer's ticks.
    const TPoint edge = f.Tree->ClientToScreen({20, 95});
    SetCursorPos(edge.X, edge.Y);
    for (int i = 0; i < 10; ++i)
        f.Tree->Perform(WM_TIMER, ScrollTimer);
    EXPECT_LT(f.Tree->OffsetY(), 0);
    EXPECT_GT(f.Selected().size(), before);
    MouseUp(f.Tree, {20, 95});
}
