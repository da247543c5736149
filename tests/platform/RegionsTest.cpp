// Regions: GDI's pixel membership and the combine modes.
#include "platform/Regions.h"

#include <gtest/gtest.h>

namespace {

TEST(RegionsTest, RectangleRegionIsHalfOpen)
{
    const TRegion r = CreateRectRgn(2, 3, 6, 5);
    EXPECT_TRUE(PtInRegion(r, 2, 3));
    EXPECT_TRUE(PtInRegion(r, 5, 4));
    EXPECT_FALSE(PtInRegion(r, 6, 4));
    EXPECT_FALSE(PtInRegion(r, 5, 5));
    TRect box;
    EXPECT_EQ(GetRgnBox(r, box), SIMPLEREGION);
    EXPECT_EQ(box, TRect(2, 3, 6, 5));
    // Corners in any order describe the same region; no area is empty.
    EXPECT_TRUE(EqualRgn(r, CreateRectRgn(6, 5, 2, 3)));
    EXPECT_TRUE(CreateRectRgn(4, 4, 4, 9).IsEmpty());
    EXPECT_EQ(GetRgnBox(TRegion(), box), NULLREGION);
    EXPECT_EQ(box, TRect());
}

TEST(RegionsTest, EllipseRegionStaysInItsRectangle)
{
    const TRegion e = CreateEllipticRgn(0, 0, 20, 10);
    EXPECT_TRUE(PtInRegion(e, 10, 5));
    EXPECT_FALSE(PtInRegion(e, 0, 0));
    EXPECT_FALSE(PtInRegion(e, 19, 9));
    const TRect b = e.Bounds();
    EXPECT_GE(b.Left, 0);
    EXPECT_GE(b.Top, 0);
    EXPECT_LE(b.Right, 20);
    EXPECT_LE(b.Bottom, 10);
    EXPECT_EQ(e.Kind(), COMPLEXREGION);
}

TEST(RegionsTest, PolygonRegionTakesPixelsWhosePointIsInside)
{
    const TPoint square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    EXPECT_TRUE(EqualRgn(CreatePolygonRgn(square, 4, ALTERNATE), CreateRectRgn(1, 1, 5, 5)));
    const TPoint tri[] = {{0, 0}, {10, 0}, {0, 10}};
    const TRegion t = CreatePolygonRgn(tri, 3, WINDING);
    EXPECT_TRUE(PtInRegion(t, 0, 0));
    EXPECT_TRUE(PtInRegion(t, 8, 1));
    EXPECT_FALSE(PtInRegion(t, 9, 1));  // on or right of the slanted edge
    EXPECT_FALSE(PtInRegion(t, 5, 5));
    // Too few points make no area; a null pointer is harmless.
    EXPECT_TRUE(CreatePolygonRgn(tri, 2, ALTERNATE).IsEmpty());
    EXPECT_TRUE(CreatePolygonRgn(nullptr, 3, ALTERNATE).IsEmpty());

    // A self-overlapping star: the fill modes differ in the middle.
    const TPoint star[] = {{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};
    EXPECT_FALSE(PtInRegion(CreatePolygonRgn(star, 5, ALTERNATE), 10, 11));
    EXPECT_TRUE(PtInRegion(CreatePolygonRgn(star, 5, WINDING), 10, 11));
}

TEST(RegionsTest, CombineModes)
{
    const TRegion a = CreateRectRgn(0, 0, 10, 10);
    const TRegion b = CreateRectRgn(5, 5, 15, 15);
    TRegion d;
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, CreateRectRgn(5, 5, 10, 10)));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(d, 12, 12) && PtInRegion(d, 1, 1) && !PtInRegion(d, 12, 1));
    CombineRgn(d, a, b, RGN_XOR);
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_TRUE(PtInRegion(d, 12, 12));
    CombineRgn(d, a, b, RGN_DIFF);
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_FALSE(PtInRegion(d, 12, 12));
    EXPECT_TRUE(PtInRegion(d, 2, 2));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, a));
    EXPECT_EQ(CombineRgn(d, b, b, RGN_DIFF), NULLREGION);

    // The destination may be an operand; an unknown mode changes nothing.
    TRegion x = a;
    CombineRgn(x, x, b, RGN_AND);
    EXPECT_TRUE(EqualRgn(x, CreateRectRgn(5, 5, 10, 10)));
    EXPECT_EQ(CombineRgn(x, a, b, 42), RGN_ERROR);
    EXPECT_TRUE(EqualRgn(x, CreateRectRgn(5, 5, 10, 10)));
}

TEST(RegionsTest, OffsetCopyAndRects)
{
    TRegion r = CreateRectRgn(0, 0, 4, 4);
    const TRegion copy = r;
    EXPECT_EQ(OffsetRgn(r, 10, -2), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(r, 10, -2));
    EXPECT_FALSE(PtInRegion(r, 0, 0));
    EXPECT_TRUE(PtInRegion(copy, 0, 0));  // copies are independent
    EXPECT_TRUE(RectInRegion(r, TRect(13, 1, 20, 20)));
    EXPECT_FALSE(RectInRegion(r, TRect(14, 1, 20, 20)));

    TRegion u;
    CombineRgn(u, CreateRectRgn(0, 0, 2, 2), CreateRectRgn(5, 0, 7, 2), RGN_OR);
    const std::vector<TRect> rects = u.Rects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], TRect(0, 0, 2, 2));
    EXPECT_EQ(rects[1], TRect(5, 0, 7, 2));

    TRegion moved = std::move(u);
    EXPECT_EQ(moved.Rects().size(), 2u);
}

}  // namespace
