#include "TreeGridTestSupport.h"
#include "tests/support/PlatformFixture.h"

namespace {

// Ten rows of 18 pixels in a window whose client area is 200 x 100 (the
// border takes 2 pixels each side), without a header.
struct Scrolling : ::testing::Test {
    TTreePtr tree;
    void SetUp() override
    {
        EnsureApplication();
        tree = MakeTree();
        tree->SetBounds(0, 0, 204, 104);
        tree->HandleNeeded();
        tree->SetRootNodeCount(10);
    }
    TScrollInfo Bar(int Which)
    {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(tree->Handle(), Which, info);
        return info;
    }
    void VScroll(int Code) { tree->Perform(WM_VSCROLL, MakeWParam(Code, 0)); }
    void Wheel(int Delta, WPARAM Keys = 0)
    {
        tree->Perform(CM_MOUSEWHEEL, MakeWParam(int(Keys), Delta), PointToLParam(tree->ClientToScreen({10, 10})));
    }
};

}  // namespace

TEST_F(Scrolling, OffsetsClampToTheRangeAndTheBarFollows)
{
    ASSERT_EQ(tree->ClientHeight(), 100);
    EXPECT_EQ(tree->RangeY(), 180u);
    tree->SetOffsetY(-500);
    EXPECT_EQ(tree->OffsetY(), -80) << "clamped to the end of the range";
    const TScrollInfo info = Bar(SB_VERT);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 180);
    EXPECT_EQ(info.nPage, 101u);
    EXPECT_EQ(info.nPos, 80);
    tree->SetOffsetY(10);
    EXPECT_EQ(tree->OffsetY(), 0) << "never above the top";
    EXPECT_EQ(Bar(SB_VERT).nPos, 0);

    // A tree shorter than its client takes no offset at all, and loses its bar.
    tree->SetRootNodeCount(3);
    tree->SetOffsetY(-30);
    EXPECT_EQ(tree->OffsetY(), 0);
    EXPECT_EQ(tree->ClientWidth(), 200) << "the vertical bar is gone";
}

TEST_F(Scrolling, RangeCountsTheBottomSpace)
{
    tree->SetBottomSpace(40);
    EXPECT_EQ(tree->RangeY(), 220u);
    tree->SetOffsetY(-1000);
    EXPECT_EQ(tree->OffsetY(), -120);
    tree->Clear();
    EXPECT_EQ(tree->RangeY(), 40u) << "an empty tree: the bottom space alone";
    EXPECT_EQ(tree->OffsetY(), 0);
}

TEST_F(Scrolling, ScrollBarRequests)
{
    VScroll(SB_LINEDOWN);
    EXPECT_EQ(tree->OffsetY(), -20);
    VScroll(SB_LINEUP);
    EXPECT_EQ(tree->OffsetY(), 0);
    VScroll(SB_PAGEDOWN);
    EXPECT_EQ(tree->OffsetY(), -80);
    VScroll(SB_TOP);
    EXPECT_EQ(tree->OffsetY(), 0);
    VScroll(SB_BOTTOM);
    EXPECT_EQ(tree->OffsetY(), -80);
    VScroll(SB_PAGEUP);
    EXPECT_EQ(tree->OffsetY(), 0);

    // The thumb's position comes from the bar, as 32 bits, while it is dragged.
    SetScrollPos(tree->Handle(), SB_VERT, 37, false);
    VScroll(SB_THUMBTRACK);
    EXPECT_EQ(tree->OffsetY(), -37);
    EXPECT_TRUE(tree->TreeStates().Contains(tsThumbTracking));
    VScroll(SB_ENDSCROLL);
    EXPECT_FALSE(tree->TreeStates().Contains(tsThumbTracking));
    EXPECT_EQ(Bar(SB_VERT).nPos, 37);
}

TEST_F(Scrolling, WheelScrollsLinesOrPages)
{
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(tree->OffsetY(), -54) << "three lines of the default height";
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(tree->OffsetY(), 0);
    Wheel(-WHEEL_DELTA, MK_CONTROL);
    EXPECT_EQ(tree->OffsetY(), -80) << "with Ctrl a page, clamped";

    // An application's handler that takes the turn stops the tree's own.
    tree->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& Handled) { Handled = true; };
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(tree->OffsetY(), -80);
}

TEST_F(Scrolling, WheelGoesSidewaysWhenTheTreeFitsOrWithShift)
{
    for (int i = 0; i < 3; ++i)
        tree->Header()->Columns()->Add()->SetWidth(400);
    tree->SetRootNodeCount(3);
    ASSERT_EQ(tree->RangeX(), 1200u);
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(tree->OffsetX(), -1200 + tree->ClientWidth()) << "three lines of the average column width, clamped";
    EXPECT_EQ(tree->OffsetY(), 0);
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(tree->OffsetX(), 0);

    // A tree taller than its client scrolls sideways only with Shift: the
    // platform sends a horizontal turn that way.
    tree->SetRootNodeCount(10);
    tree->SetOffsetX(0);
    Wheel(-WHEEL_DELTA / 2, MK_SHIFT);
    EXPECT_EQ(tree->OffsetX(), -600) << "half a notch: one and a half lines of 400";
    EXPECT_EQ(tree->OffsetY(), 0);
}

TEST_F(Scrolling, ScrollIntoViewBringsRowsIntoTheClient)
{
    TGridNode* last = tree->GetLast();
    EXPECT_TRUE(tree->ScrollIntoView(last, false));
    EXPECT_EQ(tree->OffsetY(), -80);
    EXPECT_FALSE(tree->ScrollIntoView(last, false)) << "already in view";
    EXPECT_TRUE(tree->ScrollIntoView(tree->GetFirst(), false));
    EXPECT_EQ(tree->OffsetY(), 0);
    TGridNode* fifth = tree->GetFirst();
    for (int i = 0; i < 5; ++i)
        fifth = tree->GetNext(fifth);
    EXPECT_TRUE(tree->ScrollIntoView(fifth, true));
    EXPECT_EQ(tree->OffsetY(), -(5 * 18 + 18 - 50)) << "centred: its bottom at half the client height";

    // A row inside collapsed parents is first expanded into view.
    TGridNode* parent = tree->GetFirst();
    TGridNode* child = tree->AddChild(tree->AddChild(parent));
    tree->SetOffsetY(-80);
    EXPECT_TRUE(tree->ScrollIntoView(child, false));
    EXPECT_TRUE(tree->Expanded(parent));
    EXPECT_EQ(tree->GetDisplayRect(child, NoColumn, false).Top, 0);
}

TEST_F(Scrolling, TopAndBottomNode)
{
    EXPECT_EQ(tree->TopNode(), tree->GetFirst());
    TGridNode* sixth = tree->GetFirst();
    for (int i = 0; i < 5; ++i)
        sixth = tree->GetNext(sixth);
    EXPECT_EQ(tree->BottomNode(), sixth) << "the row under the last pixel row (99)";
    tree->SetTopNode(tree->GetNext(tree->GetFirst()));
    EXPECT_EQ(tree->OffsetY(), -18);
    tree->SetBottomNode(tree->GetLast());
    EXPECT_EQ(tree->OffsetY(), -80);
    EXPECT_EQ(tree->BottomNode(), tree->GetLast());
}

TEST_F(Scrolling, DelayedChangeNoticeFiresOnceWithTheLastNode)
{
    for (bool window : {true, false}) {
        TTreePtr t = MakeTree();
        if (window)
            t->HandleNeeded();
        t->SetRootNodeCount(3);
        t->SetChangeDelay(100);
        std::vector<TGridNode*> notices;
        t->OnChange = [&](TBaseTreeGrid*, TGridNode* n) { notices.push_back(n); };
        t->SetSelected(t->GetFirst(), true);
        t->SetSelected(t->GetLast(), true);
        EXPECT_TRUE(notices.empty()) << "nothing before the delay";
        ASSERT_TRUE(ProcessEventsUntil([&] { return !notices.empty(); }, 5000)) << "window " << window;
        ProcessEventsUntil([] { return false; }, 150);
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0], t->GetLast());
        EXPECT_FALSE(t->TreeStates().Contains(tsChangePending));
    }
}

TEST(ScrollingHeadless, OffsetsWithoutAWindowUseTheControlsSize)
{
    TTreePtr tree = MakeTree();
    tree->SetBounds(0, 0, 200, 100);
    tree->SetRootNodeCount(10);
    EXPECT_EQ(tree->RangeY(), 180u);
    tree->SetOffsetY(-500);
    EXPECT_EQ(tree->OffsetY(), -80);
    EXPECT_TRUE(tree->ScrollIntoView(tree->GetFirst(), false));
    EXPECT_EQ(tree->OffsetY(), 0);
}

TEST(Operations, CancelOnlyWhileOneRuns)
{
    TTreePtr tree = MakeTree();
    tree->CancelOperation();
    EXPECT_FALSE(tree->OperationCanceled());
    tree->BeginOperation();
    tree->BeginOperation();
    tree->CancelOperation();
    EXPECT_TRUE(tree->OperationCanceled());
    tree->EndOperation();
    EXPECT_TRUE(tree->OperationCanceled()) << "the outer operation is still cancelled";
    tree->EndOperation();
    EXPECT_FALSE(tree->OperationCanceled());
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { tree->EndOperation(); }),
        "EndOperation must not be called when no operation in progress. (TreeGrid)");
    tree->BeginOperation();
    EXPECT_FALSE(tree->OperationCanceled()) << "a new operation starts uncancelled";
    tree->EndOperation();
}

namespace {
// Records the part of the client area each paint covers.
class TPaintLogTree : public TTestTree {
public:
    using TTestTree::TTestTree;
    std::vector<TRect> Painted;

protected:
    void Paint() override { Painted.push_back(Canvas()->ClipRect()); }
};
}  // namespace

TEST(ScrollingPaint, AOneRowScrollRepaintsOnlyTheUncoveredStrip)
{
    EnsureApplication();
    std::unique_ptr<TPaintLogTree, TTreeDeleter> tree(Create<TPaintLogTree>(nullptr));
    tree->SetNodeDataSize(16);
    tree->SetBounds(0, 0, 204, 104);
    tree->HandleNeeded();
    tree->SetRootNodeCount(10);
    tree->Update();
    tree->Painted.clear();
    tree->SetOffsetY(-18);
    tree->Update();
    ASSERT_EQ(tree->Painted.size(), 1u);
    EXPECT_EQ(tree->Painted[0], TRect(0, 82, tree->ClientWidth(), 100));

    // With a fixed column only the part right of it moves sideways.
    TTreeGridColumns* columns = tree->Header()->Columns();
    for (int width : {50, 150, 150})
        columns->Add()->SetWidth(width);
    columns->Items(0)->SetOptions(columns->Items(0)->Options() + TTGColumnOptions{coFixed});
    tree->Update();
    tree->Painted.clear();
    tree->SetOffsetX(-20);
    tree->Update();
    ASSERT_EQ(tree->Painted.size(), 1u);
    EXPECT_EQ(tree->Painted[0], TRect(tree->ClientWidth() - 20, 0, tree->ClientWidth(), tree->ClientHeight()));
}

TEST_F(Scrolling, AHeldArrowRepeats)
{
    tree->SetRootNodeCount(100);
    const TPoint arrow{tree->ClientWidth() + 8, tree->ClientHeight() - 8};
    MouseDown(tree.get(), arrow);
    EXPECT_EQ(tree->OffsetY(), -20) << "one line at once";
    EXPECT_TRUE(ProcessEventsUntil([&] { return tree->OffsetY() <= -80; }, 10000)) << "then repeating";
    MouseUp(tree.get(), arrow);
    const int stopped = tree->OffsetY();
    ProcessEventsUntil([] { return false; }, 200);
    EXPECT_EQ(tree->OffsetY(), stopped) << "no more after the release";
}

namespace {
class TWindowCountTree : public TTestTree {
public:
    using TTestTree::TTestTree;
    int Windows = 0;

protected:
    void CreateWnd() override
    {
        TTestTree::CreateWnd();
        ++Windows;
    }
};
}  // namespace

TEST(ScrollingWindow, ANewWindowKeepsTheView)
{
    EnsureApplication();
    std::unique_ptr<TWindowCountTree, TTreeDeleter> tree(Create<TWindowCountTree>(nullptr));
    tree->SetNodeDataSize(16);
    tree->SetBounds(0, 0, 204, 104);
    tree->HandleNeeded();
    tree->SetRootNodeCount(10);
    tree->SetOffsetY(-40);
    tree->SetMisc(toFullRepaintOnResize, false);
    EXPECT_EQ(tree->Windows, 2) << "the class styles need a new window";
    EXPECT_EQ(tree->OffsetY(), -40);
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(tree->Handle(), SB_VERT, info);
    EXPECT_EQ(info.nPos, 40);
    EXPECT_EQ(info.nMax, 180);
    EXPECT_EQ(tree->ClientWidth(), 200 - GetSystemMetrics(SM_CXVSCROLL));
}
