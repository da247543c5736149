// TBitmap: size, pixel layout, ScanLine against the canvas, images between
// canvases.
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::uint32_t RawPixel(TBitmap& B, int X, int Y)
{
    return static_cast<const std::uint32_t*>(B.ScanLine(Y))[X] & 0x00FFFFFFu;
}

TEST(BitmapTest, NewAndGrownAreasAreWhiteAndTheRestStays)
{
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetSize(4, 3);
    EXPECT_EQ(b.Canvas()->Pixels(3, 2), clWhite);
    b.Canvas()->SetPixels(1, 1, clRed);
    b.SetWidth(8);
    b.SetHeight(5);
    EXPECT_EQ(b.Width(), 8);
    EXPECT_EQ(b.Height(), 5);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(7, 4), clWhite);
    b.SetSize(1, 1);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
    b.SetSize(-5, 3);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_TRUE(b.Empty());
    // Drawing on an empty bitmap is harmless.
    b.Canvas()->Rectangle(0, 0, 10, 10);
    b.Canvas()->LineTo(5, 5);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), CLR_INVALID);
}

TEST(BitmapTest, OversizedBitmapsAreRefused)
{
    TBitmap b(10, 10);
    EXPECT_THROW(b.SetSize(40000, 10), EOutOfResources);
    EXPECT_THROW(b.SetSize(30000, 30000), EOutOfResources);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 10);
}

TEST(BitmapTest, ScanLineSeesWhatTheCanvasDrewAndTheOtherWayRound)
{
    TBitmap b(6, 4);
    b.Canvas()->Brush()->SetColor(RGB(1, 2, 3));
    b.Canvas()->FillRect(TRect(0, 0, 6, 4));
    // Memory order B, G, R, X.
    const auto* bytes = static_cast<const Byte*>(b.ScanLine(2));
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(bytes[2], 1);
    // Rows are Width pixels apart, top-down.
    EXPECT_EQ(static_cast<const Byte*>(b.ScanLine(1)) + 6 * 4, static_cast<const Byte*>(b.ScanLine(2)));

    auto* row = static_cast<std::uint32_t*>(b.ScanLine(3));
    row[5] = 0x00FF0000u;  // red
    EXPECT_EQ(b.Canvas()->Pixels(5, 3), clRed);
    // Drawing resumes after the direct write, and the write survives it.
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(TRect(0, 0, 1, 1));
    EXPECT_EQ(RawPixel(b, 0, 0), 0x000000FFu);
    EXPECT_EQ(RawPixel(b, 5, 3), 0x00FF0000u);

    EXPECT_THROW(b.ScanLine(4), ERangeError);
    EXPECT_THROW(b.ScanLine(-1), ERangeError);
}

// Rows written between drawings: the drawing goes on with its clip, and a
// copy that shared the pixels keeps its own.
TEST(BitmapTest, RowsWrittenBetweenDrawingsKeepTheClipAndLeaveCopiesAlone)
{
    TBitmap b(6, 4);
    TCanvas* c = b.Canvas();
    c->IntersectClipRect(TRect(0, 0, 3, 4));
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(0, 0, 6, 4));
    static_cast<std::uint32_t*>(b.ScanLine(1))[1] = 0x000000FFu;
    c->Brush()->SetColor(clLime);
    c->FillRect(TRect(0, 0, 6, 1));
    EXPECT_EQ(RawPixel(b, 1, 1), 0x000000FFu);
    EXPECT_EQ(RawPixel(b, 2, 0), 0x0000FF00u);
    EXPECT_EQ(RawPixel(b, 4, 0), 0x00FFFFFFu) << "the clip holds after the write";

    TBitmap copy;
    copy.Assign(&b);
    static_cast<std::uint32_t*>(b.ScanLine(2))[0] = 0x000000FFu;
    c->FillRect(TRect(0, 3, 6, 4));
    EXPECT_EQ(RawPixel(copy, 0, 2), 0x00FF0000u);
    EXPECT_EQ(RawPixel(copy, 0, 3), 0x00FF0000u);
    EXPECT_EQ(RawPixel(b, 0, 2), 0x000000FFu);
    EXPECT_EQ(RawPixel(b, 0, 3), 0x0000FF00u);
}

TEST(BitmapTest, AssignCopiesIndependently)
{
    TBitmap a(3, 3);
    a.Canvas()->SetPixels(1, 1, clLime);
    a.SetTransparent(true);
    a.SetTransparentColor(clFuchsia);
    TBitmap b;
    b.Assign(&a);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clLime);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clFuchsia);
    b.Canvas()->SetPixels(1, 1, clNavy);
    EXPECT_EQ(a.Canvas()->Pixels(1, 1), clLime);
    static_cast<std::uint32_t*>(b.ScanLine(0))[0] = 0;
    EXPECT_EQ(a.Canvas()->Pixels(0, 0), clWhite);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
}

class BitmapDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 2 x 2 source: red, green / blue, magenta.
        Src.SetSize(2, 2);
        Src.Canvas()->SetPixels(0, 0, clRed);
        Src.Canvas()->SetPixels(1, 0, clLime);
        Src.Canvas()->SetPixels(0, 1, clBlue);
        Src.Canvas()->SetPixels(1, 1, clFuchsia);
        Dst.SetSize(10, 10);
        Dst.Canvas()->Brush()->SetColor(clBlack);
        Dst.Canvas()->FillRect(TRect(0, 0, 10, 10));
    }
    TBitmap Src, Dst;
};

TEST_F(BitmapDrawTest, DrawAndStretchDraw)
{
    TCanvas* c = Dst.Canvas();
    c->Draw(3, 4, &Src);
    EXPECT_EQ(c->Pixels(3, 4), clRed);
    EXPECT_EQ(c->Pixels(4, 5), clFuchsia);
    EXPECT_EQ(c->Pixels(5, 4), clBlack);
    c->StretchDraw(TRect(6, 0, 10, 4), &Src);
    EXPECT_EQ(c->Pixels(6, 0), clRed);
    EXPECT_EQ(c->Pixels(7, 1), clRed);
    EXPECT_EQ(c->Pixels(8, 1), clLime);
    EXPECT_EQ(c->Pixels(9, 3), clFuchsia);
    EXPECT_EQ(c->Pixels(6, 4), clBlack);

    // Transparent: the magenta pixel lets the background through.
    Src.SetTransparent(true);
    Src.SetTransparentColor(clFuchsia);
    c->Draw(0, 0, &Src);
    EXPECT_EQ(c->Pixels(0, 0), clRed);
    EXPECT_EQ(c->Pixels(1, 1), clBlack);
    // The default transparent colour is the bottom-left pixel.
    Src.SetTransparentColor(clDefault);
    EXPECT_EQ(Src.TransparentColor(), clBlue);
    c->Draw(0, 7, &Src);
    EXPECT_EQ(c->Pixels(0, 8), clBlack);
    EXPECT_EQ(c->Pixels(1, 8), clFuchsia);
}

TEST_F(BitmapDrawTest, CopyRectBetweenAndWithinCanvases)
{
    TCanvas* c = Dst.Canvas();
    c->CopyRect(TRect(0, 0, 1, 2), Src.Canvas(), TRect(1, 0, 2, 2));
    EXPECT_EQ(c->Pixels(0, 0), clLime);
    EXPECT_EQ(c->Pixels(0, 1), clFuchsia);
    // Source coordinates follow the source's window origin.
    Src.Canvas()->SetWindowOrg(-5, -5);
    c->CopyRect(TRect(2, 0, 3, 1), Src.Canvas(), TRect(-5, -4, -4, -3));
    EXPECT_EQ(c->Pixels(2, 0), clBlue);
    // Row 0 is now lime, black, blue. An overlapping copy within one bitmap
    // reads the pixels before it writes any.
    c->CopyRect(TRect(1, 0, 3, 2), c, TRect(0, 0, 2, 2));
    EXPECT_EQ(c->Pixels(1, 0), clLime);
    EXPECT_EQ(c->Pixels(2, 0), clBlack);
    EXPECT_EQ(c->Pixels(1, 1), clFuchsia);
    // A canvas that has no bitmap gives nothing to copy.
    TCanvas plain;
    c->CopyRect(TRect(5, 5, 6, 6), &plain, TRect(0, 0, 1, 1));
    EXPECT_EQ(c->Pixels(5, 5), clBlack);
}

}  // namespace
