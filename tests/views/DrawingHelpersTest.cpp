// Colour arithmetic, rounding and the small drawing routines.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"
#include "views/DrawingHelpers.h"

namespace {

TColor Rgb(int R, int G, int B) { return RGB(Byte(R), Byte(G), Byte(B)); }

}  // namespace

TEST(ChartColors, FlashFadeAndContrast)
{
    EXPECT_EQ(FlashColor(clWhite, -25), Rgb(0xBF, 0xBF, 0xBF));
    EXPECT_EQ(FlashColor(Rgb(0x62, 0x87, 0x97), -25), Rgb(74, 101, 113)) << "a half rounds to the even neighbour";
    EXPECT_EQ(FlashColor(clBlack, 50), Rgb(0x80, 0x80, 0x80));
    EXPECT_EQ(FlashColor(Rgb(0x12, 0x34, 0x56), 0), Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(FlashColor(clWhite, 40), clWhite);

    EXPECT_EQ(FadeColorRGB(clYellow, clBlack, 50), Rgb(0x7F, 0x7F, 0));
    EXPECT_EQ(FadeColorRGB(clYellow, clBlack, 0), clYellow);
    EXPECT_EQ(FadeColorRGB(clYellow, clBlack, 100), clBlack);
    EXPECT_EQ(FadeColorRGB(Rgb(0, 0xBF, 0), clWhite, 55), Rgb(0x8C, 0xE2, 0x8C));
    EXPECT_EQ(FadeColorRGB(clBlack, clWhite, 150), clWhite) << "kept to 8 bits";

    EXPECT_EQ(VisibleContrast(Rgb(0, 0xBF, 0)), clWhite);
    EXPECT_EQ(VisibleContrast(Rgb(0, 0xCD, 0)), clBlack);
    EXPECT_EQ(VisibleContrast(clBtnFace), clBlack) << "system colours by their fixed value";

    // Every hue sector comes back through HSV.
    for (TColor c : {Rgb(200, 30, 10), Rgb(200, 180, 10), Rgb(20, 200, 10), Rgb(20, 180, 200), Rgb(20, 30, 200),
             Rgb(200, 30, 190), Rgb(90, 90, 90)}) {
        double h = 0, s = 0, v = 0;
        ColorToHSV(c, h, s, v);
        EXPECT_GE(h, 0);
        EXPECT_LT(h, 360);
        EXPECT_EQ(HSVToColor(h, s, v), c);
    }
}

TEST(ChartColors, NearestRoundsHalvesToEven)
{
    struct {
        double Value;
        int Expected;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-127.5, -128}, {2.4999, 2}, {2.5001, 3},
        {0.75 * 98, 74}, {73.5 - 1e-12, 74}, {1e300, 2147483647}, {-1e300, -2147483647 - 1}};
    for (const auto& c : cases)
        EXPECT_EQ(Nearest(c.Value), c.Expected) << c.Value;
    EXPECT_EQ(Nearest(std::nan("")), 0);
}

TEST(ChartDrawing, SnakeLineAndFocusRect)
{
    EnsureApplication();
    TBitmap bitmap(40, 30);
    TCanvas* c = bitmap.Canvas();
    SnakeLine(c, 10, 20, 7, 1);
    for (int x = 10; x <= 17; ++x) {
        const bool high = (1 + x) % 4 <= 1;
        EXPECT_EQ(c->Pixels(x, high ? 19 : 18), clRed) << x;
        EXPECT_EQ(c->Pixels(x, high ? 18 : 19), clWhite) << x;
    }
    EXPECT_EQ(c->Pixels(18, 18), clWhite);
    EXPECT_EQ(c->Pixels(18, 19), clWhite);

    TBitmap before;
    before.Assign(&bitmap);
    FocusRect(c, TRect(30, 25, 2, 3));
    bool changed = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            changed = changed || c->Pixels(x, y) != before.Canvas()->Pixels(x, y);
    EXPECT_TRUE(changed);
    FocusRect(c, TRect(2, 3, 30, 25));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(c->Pixels(x, y), before.Canvas()->Pixels(x, y)) << x << "," << y;
}

TEST(ChartDrawing, ArrowPointsAtItsHeadAndScales)
{
    EnsureApplication();
    EXPECT_TRUE(ArrowOutline({5, 5}, {5, 5}, 1).empty());
    for (double scale : {1.0, 2.0}) {
        const TRegion right = ArrowRgn(nullptr, {10, 50}, {110, 50}, scale);
        const TRect box = right.Bounds();
        EXPECT_GE(box.Right, 109);
        EXPECT_LE(box.Right, 111);
        EXPECT_TRUE(right.Contains(60, 50)) << "the shaft";
        EXPECT_TRUE(right.Contains(105, 50)) << "the head";
        EXPECT_FALSE(right.Contains(60, 60));
        EXPECT_GE(box.Height(), int(9 * scale)) << "the head is as wide as the zoom makes it";
        // Backwards (a late task): the head at the left.
        const TRegion left = ArrowRgn(nullptr, {110, 50}, {10, 50}, scale);
        EXPECT_LE(left.Bounds().Left, 11);
    }
    // Moved by any number of pixels, an arrow keeps its shape.
    for (TPoint from : {TPoint{250, 94}, TPoint{180, 40}}) {
        const std::vector<TPoint> here = ArrowOutline(from, {from.X - 70, from.Y}, 1);
        for (int d : {1, 57, -3}) {
            std::vector<TPoint> there = ArrowOutline({from.X + d, from.Y + d}, {from.X - 70 + d, from.Y + d}, 1);
            for (TPoint& p : there)
                p = {p.X - d, p.Y - d};
            EXPECT_EQ(there, here) << "moved by " << d;
        }
    }
    TBitmap bitmap(120, 100);
    TCanvas* c = bitmap.Canvas();
    c->Brush()->SetColor(Rgb(0xFF, 0xCC, 0x11));
    DrawArrow(c, {10, 50}, {110, 50}, 1, 1);
    EXPECT_EQ(c->Pixels(60, 50), Rgb(0xFF, 0xCC, 0x11));
    EXPECT_EQ(c->Pixels(60, 70), clWhite);
}
