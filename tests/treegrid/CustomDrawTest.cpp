// The owner-drawn tree: what reaches the owner's drawing and how its sizes
// feed the layout. Colours inside computed rectangles only.
#include "TreeGridTestSupport.h"
#include "components/TreeGrid/CustomDrawTreeGrid.h"
#include "tests/support/PlatformFixture.h"

namespace {

constexpr TColor TreeColor = 0x00F0E8E0;
constexpr TColor ContentA = 0x0040C0F0;
constexpr TColor ContentB = 0x00F0C040;
constexpr int RowHeight = 18;

using TDrawTreePtr = std::unique_ptr<TCustomDrawTreeGrid, TTreeDeleter>;

struct CustomDraw : ::testing::Test {
    TDrawTreePtr tree;
    TBitmap bitmap;
    struct TCall {
        TGridNode* Node;
        TColumnIndex Column;
        TRect Content;
    };
    std::vector<TCall> calls;

    void SetUp() override
    {
        EnsureApplication();
        tree.reset(Create<TCustomDrawTreeGrid>(nullptr));
        tree->SetBounds(0, 0, 200, 60);
        tree->SetColor(TreeColor);
        TCustomTreeGridOptions* options = tree->TreeOptions();
        TTGPaintOptions paint = options->PaintOptions();
        paint.Exclude(toShowTreeLines);
        paint.Exclude(toShowButtons);
        options->SetPaintOptions(paint);
        tree->OnDrawNode = [this](TBaseTreeGrid*, const TTGPaintInfo& Info) {
            calls.push_back({Info.Node, Info.Column, Info.ContentRect});
            Info.Canvas->Brush()->SetColor(Info.Column == 1 ? ContentB : ContentA);
            Info.Canvas->FillRect(Info.ContentRect);
        };
    }
    void Paint()
    {
        calls.clear();
        bitmap.SetSize(200, 60);
        tree->PaintTree(bitmap.Canvas(), TRect(0, 0, 200, 60), {0, 0}, WindowPaintOptions);
    }
    TColor At(int X, int Y) { return bitmap.Canvas()->Pixels(X, Y); }
};

}  // namespace

TEST_F(CustomDraw, OwnerPaintsEachCellsContentRectangle)
{
    TTreeGridColumns* columns = tree->Header()->Columns();
    columns->Add()->SetWidth(80);
    columns->Add()->SetWidth(100);
    tree->SetRootNodeCount(2);
    TGridNode* first = tree->GetFirst();
    tree->AddChild(first);
    tree->ToggleNode(first);
    TTGMiscOptions misc = tree->TreeOptions()->MiscOptions();
    misc.Include(toCheckSupport);
    tree->TreeOptions()->SetMiscOptions(misc);
    TGridNode* third = tree->GetNextVisible(tree->GetNextVisible(first));
    third->CheckType = ctCheckBox;
    Paint();

    // Three rows (the child counts), two cells each, in order.
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].Node, first);
    EXPECT_EQ(calls[1].Column, 1);
    EXPECT_EQ(calls[2].Node, first->FirstChild);

    const int margin = tree->Margin(), indent = int(tree->Indent());
    struct {
        int Row;
        int MainLeft;
    } rows[] = {
        {0, margin + indent},                   // a root-level row: one level of indentation
        {1, margin + 2 * indent},               // its child: two
        {2, margin + indent + 16 + 2},          // past the check box
    };
    for (const auto& r : rows) {
        const int y = r.Row * RowHeight + RowHeight / 2;
        EXPECT_EQ(calls[std::size_t(2 * r.Row)].Content, TRect(r.MainLeft, 0, 80, RowHeight)) << r.Row;
        EXPECT_EQ(At(r.MainLeft - 1, y), r.Row == 2 ? At(r.MainLeft - 1, y) : TreeColor) << r.Row;
        EXPECT_EQ(At(r.MainLeft, y), ContentA) << r.Row;
        EXPECT_EQ(At(79, y), ContentA) << r.Row;
        // The second cell: only the margin, no indentation or check box.
        EXPECT_EQ(At(80 + margin - 1, y), TreeColor) << r.Row;
        EXPECT_EQ(At(80 + margin, y), ContentB) << r.Row;
        EXPECT_EQ(At(179, y), ContentB) << r.Row;
        EXPECT_EQ(At(180, y), TreeColor) << "beyond the last column";
        EXPECT_EQ(At(r.MainLeft, r.Row * RowHeight), ContentA) << "the whole row height";
    }
    EXPECT_EQ(At(30, 3 * RowHeight + 2), TreeColor) << "below the rows";
}

TEST_F(CustomDraw, NodeWidthAndContentMarginComeFromTheOwner)
{
    TTreeGridColumns* columns = tree->Header()->Columns();
    columns->Add()->SetWidth(80);
    columns->Add()->SetWidth(100);
    tree->SetRootNodeCount(2);
    TGridNode* first = tree->GetFirst();
    const int margin = tree->Margin(), textMargin = tree->TextMargin();

    // Without handlers the label is just the two text margins wide.
    TRect label = tree->GetDisplayRect(first, 1, true);
    EXPECT_EQ(label.Width(), 2 * textMargin);
    EXPECT_EQ(label.Left, 80 + margin);
    EXPECT_EQ(tree->GetMaxColumnWidth(1), margin + 2 * textMargin + textMargin);

    std::vector<TColumnIndex> asked;
    tree->OnGetNodeWidth = [&](TBaseTreeGrid*, TCanvas*, TGridNode* Node, TColumnIndex Column, int& Width) {
        asked.push_back(Column);
        Width = Node == first ? 50 : 30;
    };
    tree->OnGetCellContentMargin = [](TBaseTreeGrid*, TCanvas*, TGridNode*, TColumnIndex Column,
                                       TTGCellContentMarginType, TPoint& Margin) {
        if (Column == 1)
            Margin = TPoint(7, 3);
    };
    label = tree->GetDisplayRect(first, 1, true);
    EXPECT_EQ(label.Width(), 50);
    EXPECT_EQ(asked.back(), 1);
    // The widest row wins, with its content margin and the trailing text margin.
    EXPECT_EQ(tree->GetMaxColumnWidth(1), margin + 50 + 7 + textMargin);
    EXPECT_EQ(tree->GetMaxColumnWidth(0), margin + int(tree->Indent()) + 50 + textMargin);
    label = tree->GetDisplayRect(first, 1, true, false, true);
    EXPECT_EQ(label.Left, 80 + margin + 7) << "the margin moves the label when asked for";
}
