// Painting the tree into a bitmap: colours inside computed rectangles only,
// never glyph pixels (texts are empty or caught before they are drawn).
#include <tuple>

#include "TreeGridTestSupport.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "components/TreeGrid/TreeGridUtils.h"
#include "tests/support/PlatformFixture.h"

namespace {

constexpr TColor TreeColor = 0x00F0E8E0;
constexpr TColor GridColor = 0x000000C0;
constexpr TColor LineColor = 0x00008000;
constexpr TColor FocusedSel = 0x00C06020;
constexpr TColor UnfocusedSel = 0x00A0A0A0;
constexpr TColor ColumnColorA = 0x0040C0F0;
constexpr TColor ColumnColorB = 0x00F0C040;
constexpr int RowHeight = 18;

// A tree that tells what reached its text drawing.
class TPaintTree : public TTestTree {
public:
    using TTestTree::TTestTree;
    using TBaseTreeGrid::FEditColumn;
    using TBaseTreeGrid::FFocusedColumn;
    using TBaseTreeGrid::FFocusedNode;
    using TBaseTreeGrid::GetCheckImage;
    void Enter(TTreeGridState State) { DoStateChange({State}); }
    struct TDrawn {
        String Text;
        TRect Rect;
        unsigned Format;
        TColumnIndex Column;
    };
    std::vector<TDrawn> Drawn;

protected:
    void DoTextDrawing(TTGPaintInfo& PaintInfo, const String& Text, TRect CellRect, unsigned DrawFormat) override
    {
        Drawn.push_back({Text, CellRect, DrawFormat, PaintInfo.Column});
        TTestTree::DoTextDrawing(PaintInfo, Text, CellRect, DrawFormat);
    }
};
using TPaintTreePtr = std::unique_ptr<TPaintTree, TTreeDeleter>;

struct Painting : ::testing::Test {
    TPaintTreePtr tree;
    TBitmap bitmap;
    void SetUp() override
    {
        EnsureApplication();
        tree.reset(Create<TPaintTree>(nullptr));
        tree->SetNodeDataSize(16);
        tree->SetBounds(0, 0, 200, 120);
        tree->SetColor(TreeColor);
        TTGColors* colors = tree->Colors();
        colors->SetGridLineColor(GridColor);
        colors->SetTreeLineColor(LineColor);
        colors->SetFocusedSelectionColor(FocusedSel);
        colors->SetFocusedSelectionBorderColor(FocusedSel);
        colors->SetUnfocusedSelectionColor(UnfocusedSel);
        colors->SetUnfocusedSelectionBorderColor(UnfocusedSel);
        // No texts: only the cells' colours are drawn.
        tree->OnGetText = [](TBaseTreeGrid*, TGridNode*, TColumnIndex, TVSTTextType, String& Text) { Text.clear(); };
        tree->SetPaint(toShowTreeLines, false);
        tree->SetPaint(toShowButtons, false);
        tree->SetPaint(toShowRoot, false);
    }
    // Paints Window (tree coordinates) to the bitmap's corner.
    void Paint(TRect Window = TRect(0, 0, 200, 120))
    {
        bitmap.SetSize(Window.Width(), Window.Height());
        tree->PaintTree(bitmap.Canvas(), Window, {0, 0}, WindowPaintOptions);
    }
    TColor At(int X, int Y) { return bitmap.Canvas()->Pixels(X, Y); }
    TTreeGridColumns* AddColumns(std::initializer_list<int> Widths)
    {
        TTreeGridColumns* columns = tree->Header()->Columns();
        for (int w : Widths)
            columns->Add()->SetWidth(w);
        return columns;
    }
    // Every pixel of R (bitmap coordinates) is Color; reports the first that is not.
    void ExpectFilled(const TRect& R, TColor Color, const char* What)
    {
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (At(x, y) != Color) {
                    ADD_FAILURE() << What << ": pixel (" << x << ", " << y << ") is " << std::hex << At(x, y)
                                  << " instead of " << Color;
                    return;
                }
    }
};

}  // namespace

TEST_F(Painting, EmptyTreeShowsTheTreeColourOrTheColumnStripes)
{
    Paint();
    ExpectFilled(TRect(0, 0, 200, 120), TreeColor, "no columns");

    TTreeGridColumns* columns = AddColumns({50, 60, 40});
    columns->Items(1)->SetColor(ColumnColorA);
    columns->Items(2)->SetColor(ColumnColorB);
    tree->SetPaint(toShowVertGridLines, true);
    Paint();
    // Without toFullVertGridLines the area below the rows has no lines.
    ExpectFilled(TRect(0, 0, 50, 120), TreeColor, "parent-coloured column");
    ExpectFilled(TRect(50, 0, 110, 120), ColumnColorA, "second column");
    ExpectFilled(TRect(110, 0, 150, 120), ColumnColorB, "third column");
    ExpectFilled(TRect(150, 0, 200, 120), TreeColor, "right of the columns");

    tree->SetPaint(toFullVertGridLines, true);
    Paint();
    // The gaps of a dotted line show the tree's colour, whatever the column's.
    for (int y = 0; y < 120; ++y) {
        ASSERT_EQ(At(49, y), (49 + y) % 2 == 0 ? GridColor : TreeColor) << y;
        ASSERT_EQ(At(109, y), (109 + y) % 2 == 0 ? GridColor : TreeColor) << y;
    }
    ExpectFilled(TRect(50, 0, 109, 120), ColumnColorA, "stripe beside its line");

    // A tree shorter than the client: the same below its last row.
    tree->SetRootNodeCount(2);
    Paint();
    ExpectFilled(TRect(50, 2 * RowHeight, 109, 120), ColumnColorA, "below the rows");
    for (int y = 2 * RowHeight; y < 120; ++y)
        ASSERT_EQ(At(109, y), (109 + y) % 2 == 0 ? GridColor : TreeColor) << y;
}

TEST_F(Painting, GridLinesFollowTheTreesPixelGridAlsoWhenScrolled)
{
    TTreeGridColumns* columns = AddColumns({50, 70, 60});
    tree->SetRootNodeCount(10);
    tree->SetPaint(toShowHorzGridLines, true);
    tree->SetPaint(toShowVertGridLines, true);
    // Odd offsets both ways: the pattern stays tied to tree coordinates.
    for (const TPoint origin : {TPoint(0, 0), TPoint(3, 7), TPoint(1, 18)}) {
        const TRect window(origin.X, origin.Y, origin.X + 180, origin.Y + 100);
        Paint(window);
        for (int row = 0; row < 10; ++row) {
            const int y = row * RowHeight + RowHeight - 1 - origin.Y;  // the cell's last pixel row
            if (y < 0 || y >= 100)
                continue;
            for (int x = 0; x + origin.X < 180; ++x) {
                const int treeX = x + origin.X;
                if (treeX == 49 || treeX == 119 || treeX == 179)
                    continue;  // vertical lines
                ASSERT_EQ(At(x, y), (treeX + y + origin.Y) % 2 == 0 ? GridColor : TreeColor)
                    << "row " << row << " x " << treeX << " origin " << origin;
            }
        }
        for (int y = 0; y < 100; ++y) {
            const int treeY = y + origin.Y;
            for (int treeX : {49, 119, 179})
                ASSERT_EQ(At(treeX - origin.X, y), (treeX + treeY) % 2 == 0 ? GridColor : TreeColor)
                    << "x " << treeX << " y " << treeY;
            // Inside the cells nothing else.
            if (treeY % RowHeight != RowHeight - 1) {
                ASSERT_EQ(At(60 - origin.X, y), TreeColor) << treeY;
            }
        }
    }

    // The last column under hoAutoResize has no vertical line.
    tree->Header()->SetOptions(tree->Header()->Options() + TTGHeaderOptions{hoAutoResize});
    int left, right;
    columns->Items(2)->GetAbsoluteBounds(left, right);
    bitmap.SetSize(1, 1);
    Paint(TRect(0, 0, right, 100));
    for (int y = 0; y < 100; ++y)
        if (y % RowHeight != RowHeight - 1) {
            ASSERT_EQ(At(right - 1, y), TreeColor) << y;
        }
    EXPECT_EQ(At(119, 0), (119 % 2 == 0) ? GridColor : TreeColor);
    EXPECT_EQ(At(119, 1), GridColor) << "inner columns keep theirs";
}

TEST_F(Painting, SelectionColoursFollowFocusAndHidingOptions)
{
    TTreeGridColumns* columns = AddColumns({50, 70, 60});
    columns->Items(1)->SetColor(ColumnColorA);
    tree->SetRootNodeCount(4);
    tree->SetSelection(toFullRowSelect, true);
    TGridNode* second = tree->GetNext(tree->GetFirst());
    tree->SetSelected(second, true);
    const TRect row2(1, RowHeight + 1, 179, 2 * RowHeight - 1);  // inside the frame

    Paint();
    ExpectFilled(row2, UnfocusedSel, "no focus");
    ExpectFilled(TRect(50, 2 * RowHeight, 120, 3 * RowHeight), ColumnColorA, "unselected row keeps its column colour");

    tree->SetPaint(toPopupMode, true);
    Paint();
    ExpectFilled(row2, FocusedSel, "a popup looks focused");
    tree->SetPaint(toPopupMode, false);

    tree->SetPaint(toHideSelection, true);
    Paint();
    ExpectFilled(TRect(0, RowHeight, 50, 2 * RowHeight), TreeColor, "hidden without focus");
    ExpectFilled(TRect(50, RowHeight, 120, 2 * RowHeight), ColumnColorA, "hidden without focus");
    tree->SetPaint(toHideSelection, false);

    tree->SetPaint(toPopupMode, true);
    tree->SetPaint(toAlwaysHideSelection, true);
    Paint();
    ExpectFilled(TRect(0, RowHeight, 50, 2 * RowHeight), TreeColor, "always hidden");
    tree->SetPaint(toAlwaysHideSelection, false);

    // Blended: each channel moves from the background to the selection colour.
    tree->SetPaint(toUseBlendedSelection, true);
    tree->SetSelectionBlendFactor(100);
    Paint();
    const auto blend = [](TColor c, TColor d) {
        TColor result = 0;
        for (int shift : {0, 8, 16}) {
            const int cc = int(c >> shift) & 0xFF, dd = int(d >> shift) & 0xFF;
            result |= TColor((cc * 100 + dd * 156) / 256) << shift;
        }
        return result;
    };
    // Each cell is blended and framed on its own.
    for (const TRect cell : {TRect(1, RowHeight + 1, 49, 2 * RowHeight - 1),
             TRect(51, RowHeight + 1, 119, 2 * RowHeight - 1), TRect(121, RowHeight + 1, 179, 2 * RowHeight - 1)})
        ExpectFilled(cell, blend(FocusedSel, TreeColor), "blended");
    EXPECT_EQ(At(50, RowHeight + 5), FocusedSel) << "the frame";
    ExpectFilled(TRect(0, 2 * RowHeight, 50, 3 * RowHeight), TreeColor, "the next row");
    tree->SetPaint(toUseBlendedSelection, false);

    // The edited cell: no highlight, no text.
    tree->OnGetText = [](TBaseTreeGrid*, TGridNode*, TColumnIndex Column, TVSTTextType, String& Text) {
        Text = Column == 1 ? "text" : "";
    };
    tree->FFocusedNode = second;
    tree->FEditColumn = 1;
    tree->Enter(tsEditing);
    tree->Drawn.clear();
    Paint();
    ExpectFilled(TRect(50, RowHeight, 119, 2 * RowHeight), ColumnColorA, "edited cell");
    ExpectFilled(TRect(20, RowHeight + 1, 49, 2 * RowHeight - 1), FocusedSel, "its neighbour (right of the focus rectangle)");
    EXPECT_EQ(tree->Drawn.size(), 3u) << "every row's text but the edited one";
}

TEST_F(Painting, CustomDrawnRowGetsNothingFromTheTree)
{
    AddColumns({60, 60});
    tree->SetRootNodeCount(3);
    tree->SetSelection(toFullRowSelect, true);
    tree->SetPaint(toShowHorzGridLines, true);
    tree->SetPaint(toPopupMode, true);
    TGridNode* second = tree->GetNext(tree->GetFirst());
    tree->SetSelected(second, true);
    tree->OnBeforeItemPaint = [&](TBaseTreeGrid*, TCanvas* Canvas, TGridNode* Node, const TRect& R, bool& Custom) {
        if (Node != second)
            return;
        Canvas->Brush()->SetColor(ColumnColorB);
        Canvas->FillRect(R);
        Custom = true;
    };
    Paint();
    ExpectFilled(TRect(0, RowHeight, 200, 2 * RowHeight), ColumnColorB, "owner's row");
    EXPECT_EQ(At(1, RowHeight - 1), GridColor) << "the rows around are the tree's";
}

TEST_F(Painting, FixedColumnsStayUnderAHorizontalScroll)
{
    TTreeGridColumns* columns = AddColumns({40, 150, 150});
    columns->Items(0)->SetOptions(columns->Items(0)->Options() + TTGColumnOptions{coFixed});
    columns->Items(0)->SetColor(ColumnColorA);
    columns->Items(1)->SetColor(ColumnColorB);
    tree->SetRootNodeCount(20);
    tree->HandleNeeded();
    tree->SetOffsetX(-35);
    ASSERT_EQ(tree->OffsetX(), -35);
    bitmap.SetSize(tree->Width(), tree->Height());
    tree->PaintTo(&bitmap);
    const TPoint client(2, 2);  // inside the two-pixel border
    ExpectFilled(TRect(client.X, client.Y, client.X + 40, client.Y + 50), ColumnColorA, "fixed strip");
    // The scrolled column starts 35 pixels to the left, under the strip.
    ExpectFilled(TRect(client.X + 40, client.Y, client.X + 40 + 115, client.Y + 50), ColumnColorB, "scrolled");
    EXPECT_NE(At(client.X + 40 + 116, client.Y + 5), ColumnColorB);
}

// ---- texts ----------------------------------------------------------------------------

TEST_F(Painting, UntouchedCellShowsNodeAndWidthIsMeasuredOnce)
{
    tree->OnGetText = nullptr;
    tree->SetRootNodeCount(1);
    Paint();
    ASSERT_EQ(tree->Drawn.size(), 1u);
    EXPECT_EQ(tree->Drawn[0].Text, "Node");

    int calls = 0;
    tree->OnGetText = [&](TBaseTreeGrid*, TGridNode*, TColumnIndex, TVSTTextType, String& Text) {
        ++calls;
        Text = "Some text";
    };
    TGridNode* node = tree->GetFirst();
    const auto paints = [&](int Expected, const char* Why) {
        calls = 0;
        Paint();
        EXPECT_EQ(calls, Expected) << Why;
    };
    paints(1, "measured by the first paint already");
    tree->InvalidateNode(node);
    paints(2, "invalidated: measured again");
    paints(1, "cached");
    tree->ReinitNode(node, false);
    paints(2, "re-initialised");
    tree->Font()->SetSize(tree->Font()->Size() + 3);
    paints(2, "font changed");
    AddColumns({100, 100});
    tree->Header()->SetMainColumn(1);
    calls = 0;
    Paint();
    EXPECT_EQ(calls, 4) << "main column changed: two cells, two measured (the other column every time)";
    paints(3, "main column cached, the other measured each paint");
}

TEST_F(Painting, TooWideTextsAreShortenedOnlyWithColumns)
{
    const String longText = "A rather long text that cannot fit";
    tree->OnGetText = [&](TBaseTreeGrid*, TGridNode*, TColumnIndex, TVSTTextType, String& Text) { Text = longText; };
    tree->SetBounds(0, 0, 60, 40);
    tree->SetRootNodeCount(1);
    Paint(TRect(0, 0, 60, 40));
    ASSERT_EQ(tree->Drawn.size(), 1u);
    EXPECT_EQ(tree->Drawn[0].Text, longText) << "without columns nothing is shortened";

    TTreeGridColumns* columns = AddColumns({70, 70});
    columns->Items(1)->SetAlignment(taRightJustify);
    tree->Drawn.clear();
    Paint(TRect(0, 0, 140, 40));
    ASSERT_EQ(tree->Drawn.size(), 2u);
    for (const auto& d : tree->Drawn) {
        ASSERT_GT(d.Text.size(), 3u);
        EXPECT_EQ(d.Text.substr(d.Text.size() - 3), "...");
        EXPECT_EQ(longText.compare(0, d.Text.size() - 3, d.Text, 0, d.Text.size() - 3), 0);
        EXPECT_LE(bitmap.Canvas()->TextWidth(d.Text), d.Rect.Width() + 1);
    }
    EXPECT_EQ(tree->Drawn[0].Format & DT_RIGHT, 0u);
    EXPECT_EQ(tree->Drawn[1].Format & DT_RIGHT, unsigned(DT_RIGHT)) << "right-aligned keeps its right edge";

    // A text that fits keeps its alignment flag.
    tree->OnGetText = [](TBaseTreeGrid*, TGridNode*, TColumnIndex, TVSTTextType, String& Text) { Text = "ab"; };
    tree->InvalidateNode(tree->GetFirst());
    tree->Drawn.clear();
    Paint(TRect(0, 0, 140, 40));
    ASSERT_EQ(tree->Drawn.size(), 2u);
    EXPECT_EQ(tree->Drawn[0].Text, "ab");
    EXPECT_EQ(tree->Drawn[1].Format & DT_RIGHT, unsigned(DT_RIGHT));
}

TEST_F(Painting, BoldFontFromPaintTextChangesTheMeasuredWidth)
{
    tree->OnGetText = [](TBaseTreeGrid*, TGridNode*, TColumnIndex, TVSTTextType, String& Text) {
        Text = "Measured Text Width";
    };
    tree->SetRootNodeCount(2);
    TGridNode* first = tree->GetFirst();
    TGridNode* second = tree->GetNext(first);
    tree->OnPaintText = [&](TBaseTreeGrid*, TCanvas* Canvas, TGridNode* Node, TColumnIndex, TVSTTextType) {
        if (Node == second)
            Canvas->Font()->SetStyle(Canvas->Font()->Style() + fsBold);
    };
    Paint();
    EXPECT_GT(tree->CachedTextWidth(second), tree->CachedTextWidth(first));
    // Painting after a font change in the handler measures the text in it.
    TCanvas* c = bitmap.Canvas();
    c->Font()->Assign(tree->Font());
    c->Font()->SetStyle(c->Font()->Style() + fsBold);
    EXPECT_EQ(int(tree->CachedTextWidth(second)), c->TextWidth("Measured Text Width") + 2 * tree->TextMargin());

    // A larger tree font: the same text measures wider, bold or not.
    const Cardinal regular = tree->CachedTextWidth(first), bold = tree->CachedTextWidth(second);
    tree->Font()->SetSize(tree->Font()->Size() * 2);
    Paint();
    EXPECT_GT(tree->CachedTextWidth(first), regular);
    EXPECT_GT(tree->CachedTextWidth(second), bold);
    EXPECT_GT(tree->CachedTextWidth(second), tree->CachedTextWidth(first));
}

TEST_F(Painting, StaticTextOnlyForLeftOrRightSingleLineRows)
{
    int staticAsked = 0;
    tree->OnGetText = [&](TBaseTreeGrid*, TGridNode*, TColumnIndex, TVSTTextType Type, String& Text) {
        if (Type == ttStatic)
            ++staticAsked;
        Text = Type == ttStatic ? "static" : "normal";
    };
    tree->SetRootNodeCount(2);
    Paint();
    EXPECT_EQ(staticAsked, 0) << "off by default";
    tree->TreeOptions()->SetStringOptions(tree->TreeOptions()->StringOptions() + TTGStringOptions{toShowStaticText});
    Paint();
    EXPECT_EQ(staticAsked, 2);
    staticAsked = 0;
    tree->SetAlignment(taCenter);
    Paint();
    EXPECT_EQ(staticAsked, 0) << "centred tree";
    tree->SetAlignment(taLeftJustify);
    tree->GetFirst()->States.Include(vsMultiline);
    Paint();
    EXPECT_EQ(staticAsked, 1) << "the multi-line row has none";
}

TEST_F(Painting, EmptyNeighboursAreSpannedAndWrappedTextsGrowTheRow)
{
    TTreeGridColumns* columns = AddColumns({50, 40, 30, 60});
    tree->OnGetText = [](TBaseTreeGrid*, TGridNode*, TColumnIndex Column, TVSTTextType, String& Text) {
        Text = Column == 1 || Column == 2 ? "" : "x";
    };
    tree->SetRootNodeCount(1);
    tree->SetAuto(toAutoSpanColumns, true);
    Paint();
    ASSERT_EQ(tree->Drawn.size(), 2u) << "the empty columns are part of the first cell";
    EXPECT_EQ(tree->Drawn[0].Rect.Right, 120 - tree->TextMargin());
    EXPECT_EQ(tree->Drawn[1].Column, 3);
    tree->SetAuto(toAutoSpanColumns, false);
    tree->Drawn.clear();
    Paint();
    EXPECT_EQ(tree->Drawn.size(), 2u) << "empty texts are not drawn";
    EXPECT_EQ(tree->Drawn[0].Rect.Right, 50 - tree->TextMargin());

    TGridNode* node = tree->GetFirst();
    TCanvas* c = bitmap.Canvas();
    c->Font()->Assign(tree->Font());
    const int one = tree->ComputeNodeHeight(c, node, 3, "word");
    const int many = tree->ComputeNodeHeight(c, node, 3, "word word word word word word word word");
    EXPECT_GT(one, 0);
    EXPECT_GE(many, 3 * one);
    (void)columns;
}

// ---- decorations ----------------------------------------------------------------------

TEST_F(Painting, ExpandButtonsSitAtTheirLevel)
{
    tree->SetPaint(toShowButtons, true);
    tree->SetPaint(toShowRoot, true);
    tree->Font()->SetColor(clBlack);
    tree->SetRootNodeCount(2);
    TGridNode* first = tree->GetFirst();
    tree->SetChildCount(first, 2);
    tree->SetExpanded(first, true);
    TGridNode* child = tree->GetFirstChild(first);
    tree->SetChildCount(child, 1);

    const auto expectButton = [&](int X0, int Y0, bool Minus, TTGButtonStyle Style) {
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x) {
                TColor expected = TreeColor;
                if (Style == bsRectangle) {
                    if (x == 0 || y == 0 || x == 8 || y == 8)
                        expected = LineColor;
                    else if ((y == 4 && x >= 2 && x <= 6) || (!Minus && x == 4 && y >= 2 && y <= 6))
                        expected = clBlack;
                } else {
                    // Filled triangles: minus points down, plus points right.
                    const bool inside = Minus ? (y >= 2 && y <= 6 && std::abs(x - 4) <= 6 - y)
                                              : (x >= 2 && x <= 6 && std::abs(y - 4) <= 6 - x);
                    if (inside)
                        expected = clBlack;
                }
                ASSERT_EQ(At(X0 + x, Y0 + y), expected) << "pixel " << x << ", " << y << " style " << int(Style);
            }
    };
    // Rows are 18 high, the alignment line at 9, the button 4 above it.
    Paint();
    expectButton(4, 5, true, bsRectangle);
    expectButton(4 + 18, RowHeight + 5, false, bsRectangle);
    tree->SetButtonStyle(bsTriangle);
    Paint();
    expectButton(4, 5, true, bsTriangle);
    expectButton(4 + 18, RowHeight + 5, false, bsTriangle);

    // The shaded pictures: round corners show the row, the face darkens
    // downwards, only plus has the vertical stroke.
    tree->SetButtonStyle(bsRectangle);
    tree->SetButtonFillMode(fmShaded);
    Paint();
    for (const auto& [x0, y0, minus] : {std::tuple{4, 5, true}, std::tuple{4 + 18, RowHeight + 5, false}}) {
        EXPECT_EQ(At(x0, y0), TreeColor);
        EXPECT_EQ(At(x0 + 8, y0 + 8), TreeColor);
        EXPECT_GT(GetRValue(At(x0 + 2, y0 + 1)), GetRValue(At(x0 + 2, y0 + 7)));
        EXPECT_EQ(At(x0 + 4, y0 + 2) == At(x0 + 2, y0 + 2), minus) << "x " << x0;
        EXPECT_EQ(At(x0 + 2, y0 + 4), At(x0 + 6, y0 + 4));
        EXPECT_NE(At(x0 + 2, y0 + 4), At(x0 + 2, y0 + 3));
    }
}

TEST_F(Painting, TreeLinesAreDottedAndBandsCloseTheirLevel)
{
    tree->SetPaint(toShowTreeLines, true);
    tree->SetPaint(toShowRoot, true);
    tree->SetRootNodeCount(2);
    TGridNode* first = tree->GetFirst();
    tree->SetChildCount(first, 2);
    tree->SetExpanded(first, true);
    // Rows: first (top, has next) / child 1 / child 2 / second (last).
    Paint();
    const auto dotted = [&](int X, int Y) { return (X + Y) % 2 == 0 ? LineColor : TreeColor; };
    // First row: ltBottomRight at level 0, vertical from the alignment line down.
    for (int y = 9; y < RowHeight; ++y)
        ASSERT_EQ(At(9, y), dotted(9, y)) << y;
    for (int y = 0; y < 9; ++y)
        EXPECT_EQ(At(9, y), TreeColor) << "nothing above the first row's line " << y;
    for (int x = 9; x <= 18; ++x)
        EXPECT_EQ(At(x, 9), dotted(x, 9)) << x;
    // First child: its parent's level runs through (ltTopDown), its own is ltTopDownRight.
    for (int y = RowHeight; y < 2 * RowHeight; ++y) {
        EXPECT_EQ(At(9, y), dotted(9, y));
        EXPECT_EQ(At(27, y), dotted(27, y));
    }
    // Second child: its own level ends at the alignment line (ltTopRight).
    for (int y = 2 * RowHeight + 10; y < 3 * RowHeight; ++y)
        EXPECT_EQ(At(27, y), TreeColor) << y;
    // The last top-level row ends at its line too.
    for (int y = 3 * RowHeight + 10; y < 4 * RowHeight; ++y)
        EXPECT_EQ(At(9, y), TreeColor) << y;

    tree->SetLineStyle(lsSolid);
    Paint();
    for (int y = RowHeight; y < 2 * RowHeight; ++y)
        EXPECT_EQ(At(9, y), LineColor) << "solid " << y;

    // Bands: the last child closes its level at the bottom in the grid colour.
    tree->SetLineMode(lmBands);
    Paint();
    EXPECT_EQ(At(18, 2 * RowHeight + 5), GridColor) << "left edge of the child's band";
    EXPECT_EQ(At(20, 3 * RowHeight - 1), GridColor) << "closed at the bottom";
}

TEST_F(Painting, CheckImagesFollowTheTableAndDropMarksThePolygons)
{
    // The table by type, state, enabled and hot.
    EXPECT_EQ(tree->GetCheckImage(nullptr, ctCheckBox, csUncheckedNormal, true, false), 9);
    EXPECT_EQ(tree->GetCheckImage(nullptr, ctCheckBox, csUncheckedNormal, true, true), 10);
    EXPECT_EQ(tree->GetCheckImage(nullptr, ctTriStateCheckBox, csMixedPressed, false, false), 20);
    EXPECT_EQ(tree->GetCheckImage(nullptr, ctRadioButton, csCheckedNormal, true, true), 6);
    EXPECT_EQ(tree->GetCheckImage(nullptr, ctRadioButton, csCheckedPressed, false, true), 8);
    EXPECT_EQ(tree->GetCheckImage(nullptr, ctButton, csCheckedNormal, true, false), 21);
    EXPECT_EQ(tree->GetCheckImage(nullptr, ctButton, csUncheckedPressed, true, true), 23);
    EXPECT_EQ(tree->GetCheckImage(nullptr, ctNone, csCheckedNormal, true, false), -1);

    tree->SetMisc(toCheckSupport, true);
    tree->SetRootNodeCount(3);
    TGridNode* first = tree->GetFirst();
    first->CheckType = ctCheckBox;
    first->CheckState = csCheckedNormal;
    Paint();
    // The box sits at the margin, centred on the alignment line.
    TTGImageList* images = SystemCheckImages();
    const int x0 = tree->Margin(), y0 = 9 - 8;
    int compared = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const TColor c = images->Pixel(13, x, y);
            if (c == clNone)
                continue;
            ++compared;
            ASSERT_EQ(At(x0 + x, y0 + y), c) << x << ", " << y;
        }
    EXPECT_GT(compared, 50);

    TGridNode* third = tree->GetNext(tree->GetNext(first));
    tree->Colors()->SetDropMarkColor(ColumnColorB);
    tree->SetDropTarget(third, dmAbove);
    Paint();
    const int top = 2 * RowHeight;
    EXPECT_EQ(At(3, top), ColumnColorB);
    EXPECT_EQ(At(100, top + 1), ColumnColorB);
    EXPECT_EQ(At(3, top + 4), ColumnColorB) << "the left leg";
    EXPECT_NE(At(100, top + 4), ColumnColorB) << "the middle is only two pixels high";
    tree->SetDropTarget(third, dmBelow);
    Paint();
    // Polygons leave out their bottom and right edges, as the platform fills them.
    const int bottom = 3 * RowHeight;
    EXPECT_EQ(At(100, bottom - 2), ColumnColorB);
    EXPECT_EQ(At(100, bottom - 3), ColumnColorB);
    EXPECT_NE(At(100, bottom - 1), ColumnColorB);
    EXPECT_NE(At(100, bottom - 5), ColumnColorB);
    EXPECT_EQ(At(196, bottom - 6), ColumnColorB) << "the right leg";
    EXPECT_EQ(At(100, top + 1), TreeColor) << "nothing above any more";
}
