// Alpha blending: exact channel values per mode, clipping against both
// bitmaps, and the fast path against a plain per-pixel model.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "components/TreeGrid/TreeGridUtils.h"
#include "tests/treegrid/TreeGridTestSupport.h"

namespace {

using Pixels = std::vector<std::uint32_t>;

// Pixel values as the bitmap keeps them: blue low, the fourth byte on top.
constexpr std::uint32_t Px(int A, int R, int G, int B)
{
    return (std::uint32_t(A) << 24) | (std::uint32_t(R) << 16) | (std::uint32_t(G) << 8) | std::uint32_t(B);
}

template <class TNext> void FillWith(TBitmap& B, TNext Next)
{
    for (int y = 0; y < B.Height(); ++y) {
        auto* row = static_cast<std::uint32_t*>(B.ScanLine(y));
        for (int x = 0; x < B.Width(); ++x)
            row[x] = std::uint32_t(Next());
    }
}
void Fill(TBitmap& B, std::uint32_t Value) { FillWith(B, [Value] { return Value; }); }
void FillRandom(TBitmap& B, std::mt19937& Rng) { FillWith(B, std::ref(Rng)); }

std::uint32_t At(const TBitmap& B, int X, int Y) { return static_cast<const std::uint32_t*>(B.ScanLine(Y))[X]; }

Pixels All(const TBitmap& B)
{
    Pixels p;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            p.push_back(At(B, x, y));
    return p;
}

int Channel(std::uint32_t P, int I) { return int((P >> (8 * I)) & 0xFF); }

// The formulas written out pixel by pixel, with the clipping done by asking
// for every pixel whether both bitmaps have it.
Pixels Reference(const Pixels& Src, int SW, int SH, Pixels Dst, int DW, int DH, const TRect& R, const TPoint& T,
    TBlendMode Mode, int Alpha, int Bias)
{
    // Bitmaps here are small: pixels beyond +-1000 are outside either one.
    const std::int64_t top = std::max<std::int64_t>(R.Top, -1000), bottom = std::min<std::int64_t>(R.Bottom, 1000);
    const std::int64_t left = std::max<std::int64_t>(R.Left, -1000), right = std::min<std::int64_t>(R.Right, 1000);
    for (std::int64_t y = top; y < bottom; ++y)
        for (std::int64_t x = left; x < right; ++x) {
            std::int64_t dx = x, dy = y;
            if (Mode != bmConstantAlphaAndColor) {
                dx = T.X + (x - R.Left);
                dy = T.Y + (y - R.Top);
                if (x < 0 || y < 0 || x >= SW || y >= SH)
                    continue;
            }
            if (dx < 0 || dy < 0 || dx >= DW || dy >= DH)
                continue;
            std::uint32_t& d = Dst[std::size_t(dy) * std::size_t(DW) + std::size_t(dx)];
            std::uint32_t out = 0;
            if (Mode == bmConstantAlphaAndColor) {
                const int c[4] = {(Bias >> 16) & 0xFF, (Bias >> 8) & 0xFF, Bias & 0xFF, 0};
                for (int i = 0; i < 4; ++i)
                    out |= std::uint32_t((c[i] * Alpha + Channel(d, i) * (256 - Alpha)) / 256) << (8 * i);
            } else {
                const std::uint32_t s = Src[std::size_t(y) * std::size_t(SW) + std::size_t(x)];
                int a = Alpha;
                if (Mode == bmPerPixelAlpha)
                    a = Channel(s, 3);
                else if (Mode == bmMasterAlpha)
                    a = (Alpha * Channel(s, 3)) / 256;
                for (int i = 0; i < 4; ++i) {
                    const int t = (256 * Channel(d, i) + a * (Channel(s, i) - Channel(d, i))) / 256;
                    out |= std::uint32_t(std::clamp(t + Bias, 0, 255)) << (8 * i);
                }
            }
            d = out;
        }
    return Dst;
}

struct BlendCase : ::testing::Test {
    TBitmap Src{8, 4};
    TBitmap Dst{8, 4};
    // Blends all of Src onto Dst at (0, 0) and returns the pixel (0, 0).
    std::uint32_t One(std::uint32_t S, std::uint32_t D, TBlendMode Mode, int Alpha, int Bias)
    {
        Fill(Src, S);
        Fill(Dst, D);
        AlphaBlend(&Src, &Dst, TRect(0, 0, 8, 4), TPoint(0, 0), Mode, Alpha, Bias);
        // Every pixel got the same value, the vector lanes and the tail alike.
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(At(Dst, x, y), At(Dst, 0, 0)) << x << "," << y;
        return At(Dst, 0, 0);
    }
};

TEST_F(BlendCase, ConstantAlphaChannels)
{
    // Alpha 0 without bias keeps the destination.
    EXPECT_EQ(One(Px(255, 255, 255, 255), Px(12, 34, 56, 78), bmConstantAlpha, 0, 0), Px(12, 34, 56, 78));
    // 128 of the way from 0 to 255: (128 * 255) div 256 = 127.
    EXPECT_EQ(One(Px(255, 255, 255, 255), Px(0, 0, 0, 0), bmConstantAlpha, 128, 0), Px(127, 127, 127, 127));
    // Per channel: (256*d + 64*(s - d)) div 256 for s = 200, 10, 100, 255 over d = 0, 250, 100, 1.
    EXPECT_EQ(One(Px(200, 10, 100, 255), Px(0, 250, 100, 1), bmConstantAlpha, 64, 0), Px(50, 190, 100, 64));
    // 256 copies the source.
    EXPECT_EQ(One(Px(1, 2, 3, 4), Px(200, 201, 202, 203), bmConstantAlpha, 256, 0), Px(1, 2, 3, 4));
    // An alpha outside 0..256 is clamped.
    const std::uint32_t light = Px(0, 200, 200, 200), dark = Px(0, 100, 100, 100);
    EXPECT_EQ(One(light, dark, bmConstantAlpha, 100000, 0), light);
    EXPECT_EQ(One(light, dark, bmConstantAlpha, -100000, 0), dark);
}

TEST_F(BlendCase, BiasDarkensAndLightensWithSaturation)
{
    EXPECT_EQ(One(Px(200, 200, 200, 200), Px(200, 200, 200, 200), bmConstantAlpha, 0, -50), Px(150, 150, 150, 150));
    EXPECT_EQ(One(Px(200, 200, 200, 200), Px(200, 200, 200, 200), bmConstantAlpha, 0, 100), Px(255, 255, 255, 255));
    EXPECT_EQ(One(Px(10, 200, 100, 0), Px(10, 200, 100, 0), bmConstantAlpha, 0, -150), Px(0, 50, 0, 0));
    // Far beyond the range saturates the same way.
    EXPECT_EQ(One(Px(9, 9, 9, 9), Px(9, 9, 9, 9), bmConstantAlpha, 100, 1000000), Px(255, 255, 255, 255));
    EXPECT_EQ(One(Px(9, 9, 9, 9), Px(9, 9, 9, 9), bmConstantAlpha, 100, -1000000), Px(0, 0, 0, 0));
}

TEST_F(BlendCase, PerPixelAndMasterAlphaTakeTheSourcesFourthByte)
{
    // a = 64: blue/green/red 255 over 0 -> 63; the fourth byte 64 over 255 ->
    // (65280 + 64 * (64 - 255)) div 256 = 207.
    EXPECT_EQ(One(Px(64, 255, 255, 255), Px(255, 0, 0, 0), bmPerPixelAlpha, 0, 0), Px(207, 63, 63, 63));
    // The constant alpha does not count in per-pixel mode.
    EXPECT_EQ(One(Px(0, 255, 255, 255), Px(0, 1, 2, 3), bmPerPixelAlpha, 256, 0), Px(0, 1, 2, 3));
    // Master: a = (128 * 200) div 256 = 100; 255 over 0 -> 99; 200 over 0 -> 78.
    EXPECT_EQ(One(Px(200, 255, 0, 255), Px(0, 0, 0, 0), bmMasterAlpha, 128, 0), Px(78, 99, 0, 99));
    EXPECT_EQ(One(Px(200, 255, 0, 255), Px(0, 0, 0, 0), bmMasterAlpha, 128, 10), Px(88, 109, 10, 109));
}

TEST_F(BlendCase, ConstantAlphaAndColorMovesTheDestinationToTheColour)
{
    // Red (0x0000FF as a colour) at 64 over grey 100 with the fourth byte
    // 255: red (255*64 + 100*192) div 256 = 138, green and blue 75, the
    // fourth byte (255*192) div 256 = 191.
    Fill(Dst, Px(255, 100, 100, 100));
    AlphaBlend(nullptr, &Dst, TRect(0, 0, 8, 4), TPoint(5, 5), bmConstantAlphaAndColor, 64, int(RGB(255, 0, 0)));
    EXPECT_EQ(At(Dst, 0, 0), Px(191, 138, 75, 75));
    EXPECT_EQ(At(Dst, 7, 3), Px(191, 138, 75, 75));
    // Towards black, as the bar shadows do.
    Fill(Dst, Px(255, 200, 100, 50));
    AlphaBlend(nullptr, &Dst, TRect(2, 1, 3, 2), TPoint(), bmConstantAlphaAndColor, 50, 0);
    EXPECT_EQ(At(Dst, 2, 1), Px(205, 160, 80, 40));
    EXPECT_EQ(At(Dst, 3, 1), Px(255, 200, 100, 50));
    EXPECT_EQ(At(Dst, 2, 2), Px(255, 200, 100, 50));
}

TEST(Blend, RectanglesPartlyOutsideEitherBitmapAreClipped)
{
    std::mt19937 rng(7);
    TBitmap src(30, 20), dst(25, 15);
    // The huge rectangles reach the bitmaps only where the offsets meet.
    struct TCase {
        TRect R;
        TPoint T;
    };
    const TCase cases[] = {
        {TRect(-10, -5, 15, 10), TPoint(3, 2)},     // half outside the source, top-left
        {TRect(20, 12, 40, 30), TPoint(0, 0)},      // half outside the source, bottom-right
        {TRect(0, 0, 30, 20), TPoint(12, 8)},       // half outside the target
        {TRect(0, 0, 30, 20), TPoint(-20, -12)},    // target starts left of and above the destination
        {TRect(-5, -5, 35, 25), TPoint(-3, 4)},     // larger than both
        {TRect(5, 5, 10, 10), TPoint(100, 100)},    // lands nowhere
        {TRect(-100, -100, -50, -50), TPoint(0, 0)},  // reads nothing
        {TRect(-2147483647, 0, 2147483647, 5), TPoint(2147483647, 0)},
        {TRect(0, -2147483647, 5, 2147483647), TPoint(0, -2147483647)},
        {TRect(-2147483647, 0, 10, 5), TPoint(-2147483640, 2)},
    };
    for (TBlendMode mode : {bmConstantAlpha, bmPerPixelAlpha, bmMasterAlpha, bmConstantAlphaAndColor})
        for (const TCase& c : cases) {
            FillRandom(src, rng);
            FillRandom(dst, rng);
            const Pixels expected =
                Reference(All(src), 30, 20, All(dst), 25, 15, c.R, c.T, mode, 150, mode == bmConstantAlphaAndColor ? 0x336699 : -20);
            AlphaBlend(&src, &dst, c.R, c.T, mode, 150, mode == bmConstantAlphaAndColor ? 0x336699 : -20);
            EXPECT_EQ(All(dst), expected) << "mode " << mode << " rect " << c.R << " target " << c.T;
        }
}

TEST(Blend, FastPathEqualsThePlainFormulaOverRandomInput)
{
    std::mt19937 rng(20240611);
    TBitmap src(53, 17), dst(61, 23);
    std::uniform_int_distribution<int> coord(-12, 70), alpha(0, 256), bias(-300, 300), mode(0, 3);
    for (int round = 0; round < 400; ++round) {
        FillRandom(src, rng);
        FillRandom(dst, rng);
        const TRect r = OrderRect(TRect(coord(rng), coord(rng), coord(rng), coord(rng)));
        const TPoint t(coord(rng), coord(rng));
        const auto m = TBlendMode(mode(rng));
        const int a = alpha(rng);
        const int b = m == bmConstantAlphaAndColor ? int(rng() & 0xFFFFFF) : bias(rng);
        const Pixels expected = Reference(All(src), 53, 17, All(dst), 61, 23, r, t, m, a, b);
        AlphaBlend(&src, &dst, r, t, m, a, b);
        ASSERT_EQ(All(dst), expected) << "round " << round << " mode " << m << " rect " << r << " target " << t
                                      << " alpha " << a << " bias " << b;
    }
}

TEST(Blend, OntoItselfReadsTheSourceBeforeWriting)
{
    std::mt19937 rng(3);
    TBitmap b(40, 10);
    FillRandom(b, rng);
    const Pixels before = All(b);
    const Pixels expected = Reference(before, 40, 10, before, 40, 10, TRect(0, 0, 30, 10), TPoint(5, 1), bmConstantAlpha, 100, 0);
    AlphaBlend(&b, &b, TRect(0, 0, 30, 10), TPoint(5, 1), bmConstantAlpha, 100, 0);
    EXPECT_EQ(All(b), expected);
}

TEST(Blend, MissingOrWrongBitmapsAreRefused)
{
    TBitmap a(4, 4), b(4, 4);
    using ::testing::HasSubstr;
    auto blendOnto = [&](TBitmap* Source) {
        return MessageOf<EAssertionFailed>(
            [&] { AlphaBlend(Source, &b, TRect(0, 0, 2, 2), TPoint(), bmConstantAlpha, 10, 0); });
    };
    EXPECT_THAT(blendOnto(nullptr), HasSubstr("Alpha blending DC error: no bitmap available."));
    a.SetPixelFormat(pf24bit);
    EXPECT_THAT(blendOnto(&a), HasSubstr("Alpha blending error: bitmap must use 32 bpp."));
    // A canvas that does not draw on a bitmap has nothing to blend.
    TCanvas noBitmap;
    EXPECT_THROW(AlphaBlend(&noBitmap, b.Canvas(), TRect(0, 0, 2, 2), TPoint(), bmConstantAlpha, 10, 0),
        EAssertionFailed);
    // An empty rectangle does nothing, not even check.
    EXPECT_NO_THROW(AlphaBlend(static_cast<TBitmap*>(nullptr), nullptr, TRect(3, 3, 3, 9), TPoint(), bmConstantAlpha, 10, 0));
    // The colour mode reads no source.
    Fill(b, Px(0, 0, 0, 0));
    AlphaBlend(static_cast<TCanvas*>(nullptr), b.Canvas(), TRect(0, 0, 1, 1), TPoint(), bmConstantAlphaAndColor, 256,
        int(RGB(1, 2, 3)));
    EXPECT_EQ(At(b, 0, 0), Px(0, 1, 2, 3));
}

TEST(OrderRectTest, SwapsReversedEdges)
{
    EXPECT_EQ(OrderRect(TRect(10, 20, 1, 2)), TRect(1, 2, 10, 20));
    EXPECT_EQ(OrderRect(TRect(1, 20, 10, 2)), TRect(1, 2, 10, 20));
    EXPECT_EQ(OrderRect(TRect(1, 2, 10, 20)), TRect(1, 2, 10, 20));
}

TEST(GetRGBColorTest, NoneDefaultAndSystemColours)
{
    EXPECT_EQ(GetRGBColor(clNone), CLR_NONE);
    EXPECT_EQ(GetRGBColor(clDefault), CLR_DEFAULT);
    EXPECT_EQ(GetRGBColor(clBtnFace), ColorToRGB(clBtnFace));
    EXPECT_FALSE(IsSystemColor(GetRGBColor(clHighlight)));
    EXPECT_EQ(GetRGBColor(RGB(1, 2, 3)), RGB(1, 2, 3));
}

}  // namespace
