// Painting the header: the XP look line by line, the edges of the button
// styles, the layout of image, caption and sort glyph, and owner drawing.
// Captions are empty wherever pixels are compared.
#include "TreeGridTestSupport.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/ImgList.h"
#include "tests/support/PlatformFixture.h"

namespace {

constexpr int HeaderHeight = 17;

struct HeaderPainting : ::testing::Test {
    TTreePtr tree;
    TBitmap bitmap;
    TTreeGridColumns* columns = nullptr;
    void SetUp() override
    {
        EnsureApplication();
        tree = MakeTree();
        tree->SetBounds(0, 0, 300, 100);
        columns = tree->Header()->Columns();
        for (int i = 0; i < 3; ++i)
            columns->Add()->SetWidth(80);
    }
    void Paint(int HOffset = 0)
    {
        bitmap.SetSize(300, HeaderHeight);
        columns->PaintHeader(bitmap.Canvas(), TRect(0, 0, 300, HeaderHeight), HOffset);
    }
    TColor At(int X, int Y) { return bitmap.Canvas()->Pixels(X, Y); }
};

}  // namespace

TEST_F(HeaderPainting, XPButtonLineByLine)
{
    TBitmap b(60, HeaderHeight);
    TCanvas* c = b.Canvas();
    const TRect r(0, 0, 60, HeaderHeight);
    const int bottom = HeaderHeight;

    TTreeGridColumns::DrawXPButton(c, r, false, false, true);
    EXPECT_EQ(c->Pixels(20, 5), 0xDBEAEBu);
    for (int x : {0, 30, 59}) {
        EXPECT_EQ(c->Pixels(x, bottom - 3), 0xCFDEE0u) << x;
        EXPECT_EQ(c->Pixels(x, bottom - 2), 0xC3D2D5u) << x;
        EXPECT_EQ(c->Pixels(x, bottom - 1), 0xB8C7CBu) << x;
    }
    for (int y = 3; y < bottom - 5; ++y) {
        EXPECT_EQ(c->Pixels(58, y), 0xB2C5C7u) << y;
        EXPECT_EQ(c->Pixels(59, y), TColor(clWhite)) << y;
    }
    EXPECT_EQ(c->Pixels(58, 2), 0xDBEAEBu) << "the border starts three pixels down";
    EXPECT_EQ(c->Pixels(58, bottom - 5), 0xDBEAEBu) << "and ends five pixels up";

    TTreeGridColumns::DrawXPButton(c, r, false, false, false);
    EXPECT_EQ(c->Pixels(58, 8), 0xDBEAEBu) << "no right border";

    TTreeGridColumns::DrawXPButton(c, r, false, true, true);
    EXPECT_EQ(c->Pixels(20, 8), 0xD8DFDEu);
    EXPECT_EQ(c->Pixels(0, 8), 0x97A5A5u);
    EXPECT_EQ(c->Pixels(20, bottom - 1), 0x97A5A5u);
    EXPECT_EQ(c->Pixels(59, 8), 0x97A5A5u);
    EXPECT_EQ(c->Pixels(1, 8), 0xB8C2C1u);
    EXPECT_EQ(c->Pixels(20, 0), 0xB8C2C1u);
    EXPECT_EQ(c->Pixels(2, 8), 0xC9D1D0u);
    EXPECT_EQ(c->Pixels(20, 1), 0xC9D1D0u);
    EXPECT_EQ(c->Pixels(58, 8), 0xD8DFDEu) << "pressed: no right border";

    // Hot: the underline images along the bottom, no shading lines.
    TTreeGridColumns::DrawXPButton(c, r, true, false, true);
    EXPECT_EQ(c->Pixels(20, 5), 0xF3F8FAu);
    TTGImageList* images = UtilityImages();
    int compared = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 16; ++x) {
            const TColor left = images->Pixel(uiHotUnderlineLeft, x, 13 + y);
            if (left != clNone) {
                EXPECT_EQ(c->Pixels(x, bottom - 3 + y), left);
                ++compared;
            }
            const TColor middle = images->Pixel(uiHotUnderlineMiddle, x, 13 + y);
            if (middle != clNone) {
                EXPECT_EQ(c->Pixels(16 + x, bottom - 3 + y), middle);
            }
            const TColor right = images->Pixel(uiHotUnderlineRight, x, 13 + y);
            if (right != clNone) {
                EXPECT_EQ(c->Pixels(44 + x, bottom - 3 + y), right);
            }
        }
    for (int x = 0; x < 60; ++x)
        EXPECT_EQ(c->Pixels(x, bottom - 4), 0xF3F8FAu) << "only three rows: " << x;
    EXPECT_GT(compared, 0);
    EXPECT_EQ(c->Pixels(58, 8), 0xF3F8FAu) << "hot: no right border";
}

TEST_F(HeaderPainting, ButtonStylesUseTheirEdgesNormalHotAndPressed)
{
    tree->Header()->SetOptions(tree->Header()->Options() + TTGHeaderOptions{hoHotTrack});
    struct TCase {
        TTGHeaderStyle Style;
        unsigned NormalEdge, NormalFlags, PressedEdge, PressedFlags, HotEdge, HotFlags;
    };
    const unsigned sides = BF_LEFT | BF_TOP | BF_BOTTOM | BF_RIGHT;
    const TCase cases[] = {
        {hsThickButtons, EDGE_RAISED, BF_SOFT | BF_MIDDLE | sides, EDGE_RAISED, BF_FLAT | BF_SOFT | BF_MIDDLE | BF_RECT,
            EDGE_RAISED, BF_SOFT | BF_MIDDLE | sides},
        {hsFlatButtons, BDR_RAISEDINNER, BF_MIDDLE | sides, BDR_SUNKENOUTER, BF_MIDDLE | BF_RECT, BDR_RAISEDINNER,
            BF_MIDDLE | sides},
        {hsPlates, BDR_RAISEDINNER, BF_SOFT | BF_MIDDLE | BF_RECT, BDR_SUNKENOUTER, BF_MIDDLE | BF_RECT,
            BDR_RAISEDINNER, BF_MIDDLE | sides},
    };
    for (const TCase& k : cases) {
        tree->Header()->SetStyle(k.Style);
        columns->FHoverIndex = 1;
        columns->FDownIndex = 2;
        Paint();
        TBitmap reference(80, HeaderHeight);
        const auto expectCell = [&](int Left, unsigned Edge, unsigned Flags, const char* What) {
            TRect r(0, 0, 80, HeaderHeight);
            reference.Canvas()->Brush()->SetColor(clRed);
            reference.Canvas()->FillRect(r);
            reference.Canvas()->DrawEdge(r, Edge, Flags);
            for (int y = 0; y < HeaderHeight; ++y)
                for (int x = 0; x < 80; ++x)
                    ASSERT_EQ(At(Left + x, y), reference.Canvas()->Pixels(x, y))
                        << What << " style " << int(k.Style) << " at " << x << ", " << y;
        };
        expectCell(0, k.NormalEdge, k.NormalFlags, "normal");
        expectCell(80, k.HotEdge, k.HotFlags, "hot");
        expectCell(160, k.PressedEdge, k.PressedFlags, "pressed");
    }
    // The plates in plain colours: pressed is dark above and light below.
    EXPECT_EQ(At(200, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(200, HeaderHeight - 1), ColorToRGB(clBtnHighlight));
}

TEST_F(HeaderPainting, LayoutPlacesImageCaptionAndSortGlyph)
{
    auto* images = new TImageList(nullptr);
    images->SetSize(16, 16);
    tree->Header()->SetImages(images);
    TTreeGridColumn* column = columns->Items(0);
    column->SetText("Caption");
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    c->Font()->Assign(tree->Header()->Font());
    const int caption = c->TextWidth("Caption") + 2;
    const TRect client(0, 0, 200, 60);
    TPoint glyph, sort;
    TSize sortSize;
    TRect text;
    const auto layout = [&](TAlignment Alignment, TTGHeaderColumnLayout Layout) {
        column->SetCaptionAlignment(Alignment);
        column->SetLayout(Layout);
        column->ComputeHeaderLayout(c, client, true, true, glyph, sort, sortSize, text, DT_NOPREFIX);
    };

    layout(taLeftJustify, blGlyphLeft);
    EXPECT_EQ(glyph.X, 4);
    EXPECT_EQ(text.Left, 4 + 16 + 4);
    EXPECT_EQ(text.Width(), caption);
    EXPECT_EQ(sort.X, text.Right + 4);
    EXPECT_EQ(glyph.Y, (60 - 16) / 2);
    EXPECT_EQ(sort.Y, (60 - 16) / 2);
    EXPECT_EQ(sortSize.cx, 16);

    layout(taLeftJustify, blGlyphRight);
    EXPECT_EQ(text.Left, 4);
    EXPECT_EQ(glyph.X, 4 + caption + 4);
    EXPECT_EQ(sort.X, glyph.X + 16 + 4);

    // Right-aligned: the sort glyph takes the right end, the rest lines up before it.
    layout(taRightJustify, blGlyphLeft);
    EXPECT_EQ(sort.X, 200 - 4 - 16);
    EXPECT_EQ(text.Right, sort.X - 4);
    EXPECT_EQ(glyph.X, text.Left - 4 - 16);
    layout(taRightJustify, blGlyphRight);
    EXPECT_EQ(glyph.X, sort.X - 4 - 16);
    EXPECT_EQ(text.Right, glyph.X - 4);

    // Centred: the block of image and caption in the middle, the glyph after it.
    layout(taCenter, blGlyphLeft);
    const int block = 16 + 4 + caption;
    EXPECT_EQ(glyph.X, (200 - block) / 2);
    EXPECT_EQ(sort.X, glyph.X + block + 4);

    // Stacked: image above or below the caption, the stack centred.
    layout(taLeftJustify, blGlyphTop);
    EXPECT_EQ(glyph.X, (200 - 16) / 2);
    EXPECT_EQ(text.Left, 4);
    EXPECT_EQ(text.Top, glyph.Y + 16 + 4);
    EXPECT_EQ(glyph.Y, (60 - (16 + 4 + text.Height())) / 2);
    layout(taLeftJustify, blGlyphBottom);
    EXPECT_EQ(glyph.Y, text.Bottom + 4);

    // The caption alignment set by code is the one laid out.
    column->SetAlignment(taLeftJustify);
    layout(taRightJustify, blGlyphLeft);
    EXPECT_GT(text.Left, 100);

    tree->Header()->SetImages(nullptr);
    images->Free();
}

TEST_F(HeaderPainting, AdvancedOwnerDrawingOfAnySubset)
{
    tree->Header()->SetOptions(tree->Header()->Options() + TTGHeaderOptions{hoOwnerDraw, hoShowSortGlyphs});
    tree->Header()->SetSortColumn(0);
    constexpr TColor Owner = 0x00336699;
    THeaderPaintElements claimed{hpeBackground};
    std::vector<std::pair<TTreeGridColumn*, THeaderPaintElements>> calls;
    std::vector<THeaderPaintInfo> seen;
    tree->OnHeaderDrawQueryElements = [&](TTGHeader*, THeaderPaintInfo&, THeaderPaintElements& Elements) {
        Elements = claimed;
    };
    tree->OnAdvancedHeaderDraw = [&](TTGHeader*, THeaderPaintInfo& Info, THeaderPaintElements Elements) {
        calls.emplace_back(Info.Column, Elements);
        seen.push_back(Info);
        if (Elements.Contains(hpeBackground)) {
            Info.TargetCanvas->Brush()->SetColor(Owner);
            Info.TargetCanvas->FillRect(Info.PaintRectangle);
        }
        // Whatever the owner leaves behind must not reach the next cell.
        Info.TargetCanvas->IntersectClipRect(TRect(0, 0, 1, 1));
        Info.TargetCanvas->SetWindowOrg(5, 5);
    };
    Paint();
    ASSERT_EQ(calls.size(), 4u) << "the strip, then each cell";
    EXPECT_EQ(calls[0].first, nullptr);
    for (const auto& call : calls)
        EXPECT_TRUE(call.second == THeaderPaintElements{hpeBackground});
    for (int x : {1, 40, 79, 81, 160, 239, 299})
        for (int y : {0, 8, HeaderHeight - 1})
            ASSERT_EQ(At(x, y), Owner) << x << ", " << y;

    // Only the sort glyph: the tree paints the background, the owner the glyph.
    claimed = {hpeSortGlyph};
    calls.clear();
    Paint();
    ASSERT_EQ(calls.size(), 1u) << "only the sort column has something to paint";
    EXPECT_EQ(calls[0].first, columns->Items(0));
    EXPECT_TRUE(calls[0].second == THeaderPaintElements{hpeSortGlyph});
    EXPECT_NE(At(120, 8), Owner);

    // A pressed cell moves its content by one pixel right and down.
    claimed = {hpeText, hpeSortGlyph};
    columns->Items(0)->SetText("x");
    seen.clear();
    Paint();
    ASSERT_EQ(seen.size(), 1u);
    const THeaderPaintInfo normal = seen[0];
    columns->FDownIndex = 0;
    seen.clear();
    Paint();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].IsDownIndex);
    EXPECT_EQ(seen[0].TextRectangle.Left, normal.TextRectangle.Left + 1);
    EXPECT_EQ(seen[0].TextRectangle.Top, normal.TextRectangle.Top + 1);
    EXPECT_EQ(seen[0].SortGlyphPos.X, normal.SortGlyphPos.X + 1);
    EXPECT_EQ(seen[0].SortGlyphPos.Y, normal.SortGlyphPos.Y + 1);
}

TEST_F(HeaderPainting, FixedColumnsStayAndOthersFollowTheOffset)
{
    columns->Items(0)->SetOptions(columns->Items(0)->Options() + TTGColumnOptions{coFixed});
    tree->Header()->SetOptions(tree->Header()->Options() + TTGHeaderOptions{hoOwnerDraw});
    std::vector<TRect> cells;
    tree->OnHeaderDrawQueryElements = [&](TTGHeader*, THeaderPaintInfo& Info, THeaderPaintElements& Elements) {
        if (Info.Column)
            cells.push_back(Info.PaintRectangle);
        Elements = {};
    };
    tree->OnAdvancedHeaderDraw = [](TTGHeader*, THeaderPaintInfo&, THeaderPaintElements) {};
    Paint(-30);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], TRect(0, 0, 80, HeaderHeight));
    EXPECT_EQ(cells[1], TRect(80, 0, 130, HeaderHeight)) << "the scrolled column starts under the fixed one";
    EXPECT_EQ(cells[2], TRect(130, 0, 210, HeaderHeight));
}
