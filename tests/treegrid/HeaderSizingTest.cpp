#include "TreeGridTestSupport.h"
#include "tests/support/PlatformFixture.h"

namespace {

// Cell contents of a known width per column: 30 pixels in column 0, 70 in
// column 1, 110 in column 2.
class TFitTree : public TTestTree {
public:
    using TTestTree::TTestTree;

protected:
    int DoGetNodeWidth(TGridNode*, TColumnIndex Column, TCanvas*) override { return 30 + 40 * std::max(0, Column); }
};

// A window with a visible header of 17 pixels over a client area of
// 300 x 100, and three columns of 100.
template <class T = TTestTree>
std::unique_ptr<T, TTreeDeleter> HeaderTree()
{
    EnsureApplication();
    std::unique_ptr<T, TTreeDeleter> tree(Create<T>(nullptr));
    tree->SetNodeDataSize(16);
    tree->SetBounds(0, 0, 304, 121);
    for (int i = 0; i < 3; ++i)
        tree->Header()->Columns()->Add()->SetWidth(100);
    tree->Header()->SetOptions(tree->Header()->Options() + TTGHeaderOptions{hoVisible});
    tree->HandleNeeded();
    tree->SetRootNodeCount(3);
    return tree;
}

}  // namespace

TEST(HeaderSizing, TheHeaderStripSitsAboveTheClientArea)
{
    auto tree = HeaderTree();
    EXPECT_EQ(tree->ClientHeight(), 100);
    EXPECT_EQ(tree->ClientOffset(), TPoint(2, 2 + 17));
    EXPECT_EQ(tree->HeaderRect(), TRect(2, 2, 302, 19));
    const TPoint header = tree->ClientToScreen({50, -5});
    EXPECT_EQ(tree->Perform(WM_NCHITTEST, 0, PointToLParam(header)), HTBORDER);
    const TPoint client = tree->ClientToScreen({50, 5});
    EXPECT_EQ(tree->Perform(WM_NCHITTEST, 0, PointToLParam(client)), HTCLIENT);

    tree->Header()->SetOptions(tree->Header()->Options() - TTGHeaderOptions{hoVisible});
    EXPECT_EQ(tree->ClientHeight(), 117) << "a hidden header gives its strip back";
    EXPECT_TRUE(tree->HeaderRect().IsEmpty());
}

TEST(HeaderSizing, HeightFollowsItsLimits)
{
    auto tree = HeaderTree();
    tree->Header()->SetHeight(5);
    EXPECT_EQ(tree->Header()->Height(), 10) << "the minimum height";
    EXPECT_EQ(tree->ClientHeight(), 107);
    tree->Header()->SetHeight(17);
    ASSERT_EQ(tree->ClientHeight(), 100);

    // Half of client and header together (117) at most.
    tree->Header()->FixedAreaConstraints()->SetMaxHeightPercent(50);
    tree->Header()->SetHeight(80);
    EXPECT_EQ(tree->Header()->Height(), 58);
    EXPECT_EQ(tree->ClientHeight(), 100 - (58 - 17)) << "the client shrinks by the change";
    EXPECT_EQ(tree->HeaderRect().Height(), 58);

    // Without a window the height waits for one.
    TTreePtr headless = MakeTree();
    headless->Header()->SetHeight(5);
    EXPECT_EQ(headless->Header()->Height(), 5);
    EXPECT_TRUE(headless->Header()->States().Contains(hsNeedScaling));
}

TEST(HeaderSizing, ShrinkingColumnsInProportion)
{
    auto tree = HeaderTree();
    TTGHeader* header = tree->Header();
    TTreeGridColumns* columns = header->Columns();
    EXPECT_EQ(header->ResizeColumns(-10, 0, 2, {coVisible, coResizable}), -10);
    EXPECT_EQ(columns->Items(0)->Width() + columns->Items(1)->Width() + columns->Items(2)->Width(), 290);
    EXPECT_EQ(columns->Items(2)->Width(), 96) << "the last gives 4, the others 3";
    header->ResizeColumns(-1, 0, 2, {coVisible, coResizable});
    EXPECT_EQ(columns->Items(1)->Width(), 96) << "one more pixel from the middle";
    EXPECT_EQ(tree->RangeX(), 289u) << "the range follows the columns";
}

TEST(HeaderSizing, AutoFitMeasuresEachColumnAndRespectsAVeto)
{
    auto tree = HeaderTree<TFitTree>();
    TTreeGridColumns* columns = tree->Header()->Columns();
    std::vector<TColumnIndex> before;
    std::vector<TColumnIndex> after;
    tree->OnBeforeAutoFitColumn = [&](TTGHeader*, TColumnIndex Column, TSmartAutoFitType&, bool& Allowed) {
        before.push_back(Column);
        Allowed = Column != 1;
    };
    tree->OnAfterAutoFitColumn = [&](TTGHeader*, TColumnIndex Column) { after.push_back(Column); };
    tree->Header()->AutoFitColumns(false, smaUseColumnOption, -1, -1);
    EXPECT_EQ(before, (std::vector<TColumnIndex>{0, 1, 2}));
    EXPECT_EQ(after, (std::vector<TColumnIndex>{0, 2}));
    // Column 0 holds the tree: root level indent 18, margin 4, 30, text margin 4.
    EXPECT_EQ(columns->Items(0)->Width(), 18 + 4 + 30 + 4);
    EXPECT_EQ(columns->Items(1)->Width(), 100) << "vetoed";
    EXPECT_EQ(columns->Items(2)->Width(), 4 + 110 + 4);

    // Animated and limited to one display position.
    columns->Items(2)->SetPosition(0);
    before.clear();
    tree->Header()->AutoFitColumns(true, smaUseColumnOption, 0, 0);
    EXPECT_EQ(before, (std::vector<TColumnIndex>{2}));

    // An operation the user cancels stops the fit.
    before.clear();
    tree->OnBeforeAutoFitColumn = [&](TTGHeader*, TColumnIndex Column, TSmartAutoFitType&, bool&) {
        before.push_back(Column);
        tree->CancelOperation();
    };
    columns->Items(0)->SetWidth(200);
    tree->Header()->AutoFitColumns(false);
    EXPECT_EQ(before.size(), 1u);
    EXPECT_EQ(columns->Items(0)->Width(), 200);
}

TEST(HeaderSizing, RestoreColumnsRestoresTheColumnShownAtEachPlace)
{
    auto tree = HeaderTree();
    TTreeGridColumns* columns = tree->Header()->Columns();
    columns->Items(0)->SetWidth(60);
    columns->Items(1)->SetWidth(70);
    // Column 1 now shows first and may not be resized.
    columns->Items(1)->SetPosition(0);
    columns->Items(1)->SetOptions(columns->Items(1)->Options() - TTGColumnOptions{coResizable});
    ASSERT_EQ(columns->ColumnFromPosition(1), 0);
    tree->Header()->RestoreColumns();
    EXPECT_EQ(columns->Items(0)->Width(), 100) << "restored: it shows at a resizable place";
    EXPECT_EQ(columns->Items(1)->Width(), 70) << "not resizable: kept";
}

TEST(HeaderSizing, HeaderFontFollowsTheTreesWhileParentFontIsSet)
{
    auto tree = HeaderTree();
    TTGHeader* header = tree->Header();
    header->SetParentFont(true);
    tree->Font()->SetName("Courier");
    EXPECT_EQ(header->Font()->Name(), "Courier");
    EXPECT_TRUE(header->ParentFont());
    header->Font()->SetHeight(-20);
    EXPECT_FALSE(header->ParentFont()) << "a font of its own";
    tree->Font()->SetName("Tahoma");
    EXPECT_EQ(header->Font()->Name(), "Courier");
}
