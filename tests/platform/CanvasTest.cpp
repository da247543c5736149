// Which pixels the canvas touches: the GDI rules the drawing code relies on.
// Text checks look only at the filled text cell (font and brush in one
// colour), never at glyph shapes.
#include "platform/Graphics.h"
#include "platform/GraphicsQt.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

// Text needs the application object. One made here is freed before the
// process ends, which also releases the font configuration it loaded.
class TApplicationEnvironment : public ::testing::Environment {
public:
    static void Ensure()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "vek_platform_tests";
            static char* argv[] = {name, nullptr};
            Own = new QApplication(argc, argv);
        }
    }
    void TearDown() override
    {
        delete Own;
        Own = nullptr;
    }

private:
    static inline QApplication* Own = nullptr;
};
const auto* const RegisteredEnvironment = ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

void EnsureApplication() { TApplicationEnvironment::Ensure(); }

constexpr TColor Paper = RGB(0x12, 0x34, 0x56);

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Bmp.SetSize(40, 30);
        C = Bmp.Canvas();
        C->Brush()->SetColor(Paper);
        C->FillRect(TRect(0, 0, 40, 30));
    }

    // Pixels of R (device) that have colour Color.
    int Count(const TRect& R, TColor Color)
    {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += C->Pixels(x, y) == Color ? 1 : 0;
        return n;
    }
    bool All(const TRect& R, TColor Color) { return Count(R, Color) == R.Width() * R.Height(); }
    // Every pixel outside R still has the paper colour.
    bool Untouched(const TRect& R)
    {
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                if (!R.Contains(TPoint(x, y)) && C->Pixels(x, y) != Paper)
                    return false;
        return true;
    }

    TBitmap Bmp;
    TCanvas* C = nullptr;
};

TEST_F(CanvasTest, FillRectCoversTheHalfOpenRectangleAsACopy)
{
    C->Pen()->SetMode(pmXor);  // FillRect ignores the pen mode
    C->Brush()->SetColor(clRed);
    C->FillRect(TRect(3, 4, 9, 7));
    EXPECT_TRUE(All(TRect(3, 4, 9, 7), clRed));
    EXPECT_TRUE(Untouched(TRect(3, 4, 9, 7)));

    C->Brush()->SetStyle(bsClear);
    C->FillRect(TRect(20, 20, 25, 25));
    EXPECT_TRUE(Untouched(TRect(3, 4, 9, 7)));
    C->FillRect(TRect(9, 9, 5, 5));  // empty
    EXPECT_TRUE(Untouched(TRect(3, 4, 9, 7)));
}

TEST_F(CanvasTest, RectangleKeepsItsOutlineInside)
{
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetColor(clYellow);
    C->Rectangle(2, 3, 10, 9);
    const TRect outer(2, 3, 10, 9);
    EXPECT_TRUE(Untouched(outer));
    // A yellow inside and as many black pixels as the one-pixel outline has.
    EXPECT_TRUE(All(TRect(3, 4, 9, 8), clYellow));
    EXPECT_EQ(Count(outer, clBlack), 8 * 6 - 6 * 4);

    // A wide pen grows inwards; reversed corners are ordered.
    C->Pen()->SetWidth(3);
    C->Rectangle(30, 20, 15, 10);
    EXPECT_TRUE(All(TRect(15, 10, 30, 13), clBlack));
    EXPECT_TRUE(All(TRect(15, 10, 18, 20), clBlack));
    EXPECT_TRUE(All(TRect(27, 10, 30, 20), clBlack));
    EXPECT_TRUE(All(TRect(18, 13, 27, 17), clYellow));
    EXPECT_EQ(C->Pixels(30, 15), Paper);
    EXPECT_EQ(C->Pixels(20, 20), Paper);
}

TEST_F(CanvasTest, RectangleWithAClearPenIsOnePixelSmaller)
{
    C->Pen()->SetStyle(psClear);
    C->Brush()->SetColor(clLime);
    C->Rectangle(4, 4, 10, 8);
    EXPECT_TRUE(All(TRect(4, 4, 9, 7), clLime));
    EXPECT_TRUE(Untouched(TRect(4, 4, 9, 7)));
}

TEST_F(CanvasTest, LineToLeavesOutItsEndPoint)
{
    C->Pen()->SetColor(clWhite);
    C->MoveTo(2, 5);
    C->LineTo(10, 5);
    EXPECT_TRUE(All(TRect(2, 5, 10, 6), clWhite));
    EXPECT_TRUE(Untouched(TRect(2, 5, 10, 6)));  // (10, 5) among them
    EXPECT_EQ(C->PenPos(), TPoint(10, 5));

    // Vertical, drawn upwards: the start is drawn, the end is not.
    C->MoveTo(20, 12);
    C->LineTo(20, 4);
    EXPECT_TRUE(All(TRect(20, 5, 21, 13), clWhite));
    EXPECT_EQ(C->Pixels(20, 4), Paper);

    // Diagonal: exactly the pixels (i, i) before the end.
    C->MoveTo(25, 2);
    C->LineTo(31, 8);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(C->Pixels(25 + i, 2 + i), clWhite) << i;
    EXPECT_EQ(C->Pixels(31, 8), Paper);
    EXPECT_EQ(Count(TRect(24, 1, 33, 10), clWhite), 6);

    // A shallow line has one pixel per column.
    C->MoveTo(0, 20);
    C->LineTo(16, 24);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(Count(TRect(x, 18, x + 1, 27), clWhite), 1) << x;
    EXPECT_EQ(C->Pixels(0, 20), clWhite);
    EXPECT_EQ(Count(TRect(16, 18, 17, 27), clWhite), 0);
}

TEST_F(CanvasTest, PenModesCombinePenAndPixel)
{
    const TColor pen = RGB(0xF0, 0x0F, 0x3C);
    const Byte pr = 0xF0, pg = 0x0F, pb = 0x3C, dr = 0x12, dg = 0x34, db = 0x56;
    struct Case {
        TPenMode Mode;
        TColor Expected;
    };
    const Case cases[] = {
        {pmCopy, pen},
        {pmXor, RGB(pr ^ dr, pg ^ dg, pb ^ db)},
        {pmNotXor, RGB(Byte(~(pr ^ dr)), Byte(~(pg ^ dg)), Byte(~(pb ^ db)))},
        {pmMask, RGB(pr & dr, pg & dg, pb & db)},
        {pmMerge, RGB(pr | dr, pg | dg, pb | db)},
        {pmNot, RGB(Byte(~dr), Byte(~dg), Byte(~db))},
        {pmNop, Paper},
        {pmBlack, clBlack},
        {pmWhite, clWhite},
        {pmNotCopy, RGB(Byte(~pr), Byte(~pg), Byte(~pb))},
    };
    int y = 0;
    for (const Case& c : cases) {
        C->Pen()->SetColor(pen);
        C->Pen()->SetMode(c.Mode);
        C->MoveTo(0, y);
        C->LineTo(5, y);
        EXPECT_EQ(C->Pixels(2, y), c.Expected) << "mode " << int(c.Mode);
        EXPECT_EQ(C->Pixels(5, y), Paper);
        ++y;
    }
}

TEST_F(CanvasTest, XorPolylineTouchesEachPixelOnce)
{
    // Drawing the same closed outline twice in xor mode restores the image,
    // so no corner is drawn twice within one outline.
    C->Pen()->SetColor(clWhite);
    C->Pen()->SetMode(pmXor);
    const std::vector<TPoint> pts{{2, 2}, {12, 2}, {12, 9}, {2, 9}, {2, 2}};
    C->Polyline(pts);
    EXPECT_EQ(C->Pixels(12, 2), RGB(0x12 ^ 0xFF, 0x34 ^ 0xFF, 0x56 ^ 0xFF));
    EXPECT_EQ(C->Pixels(2, 2), RGB(0x12 ^ 0xFF, 0x34 ^ 0xFF, 0x56 ^ 0xFF));
    C->Polyline(pts);
    EXPECT_TRUE(Untouched(TRect()));
}

TEST_F(CanvasTest, MaskModeRectangleTintsWhatIsBelow)
{
    C->Pen()->SetColor(RGB(0xF0, 0xF0, 0x00));
    C->Brush()->SetColor(RGB(0xF0, 0xF0, 0x00));
    C->Pen()->SetMode(pmMask);
    C->Rectangle(5, 5, 15, 15);
    const TColor masked = RGB(0x12 & 0xF0, 0x34 & 0xF0, 0x00);
    EXPECT_TRUE(All(TRect(5, 5, 15, 15), masked));
    EXPECT_TRUE(Untouched(TRect(5, 5, 15, 15)));
}

TEST_F(CanvasTest, FocusRectInvertsEveryOtherEdgePixelAndUndoesItself)
{
    const TColor inverted = RGB(0xED, 0xCB, 0xA9);
    C->DrawFocusRect(TRect(4, 4, 12, 10));
    EXPECT_TRUE(Untouched(TRect(4, 4, 12, 10)));
    EXPECT_TRUE(All(TRect(5, 5, 11, 9), Paper));
    for (int y = 4; y < 10; ++y)
        for (int x = 4; x < 12; ++x)
            if (x == 4 || x == 11 || y == 4 || y == 9) {
                EXPECT_EQ(C->Pixels(x, y), (x + y) % 2 == 0 ? inverted : Paper) << x << "," << y;
            }
    C->DrawFocusRect(TRect(4, 4, 12, 10));
    EXPECT_TRUE(Untouched(TRect()));

    // The brush origin moves the dots.
    C->SetBrushOrigin(1, 0);
    C->DrawFocusRect(TRect(4, 4, 12, 10));
    EXPECT_EQ(C->Pixels(4, 4), Paper);
    EXPECT_EQ(C->Pixels(5, 4), inverted);
}

TEST_F(CanvasTest, PatternBrushTakesTextAndBackgroundColoursFromTheBrushOrigin)
{
    C->Font()->SetColor(clBlack);      // 0 bits
    C->Brush()->SetColor(clWhite);     // 1 bits
    C->Brush()->SetPattern({0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA});
    C->FillRect(TRect(0, 0, 8, 2));
    // Row 0 = 0x55: bit 7 (x = 0) is 0.
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(C->Pixels(x, 0), x % 2 == 0 ? clBlack : clWhite) << x;
        EXPECT_EQ(C->Pixels(x, 1), x % 2 == 0 ? clWhite : clBlack) << x;
    }
    C->SetBrushOrigin(1, 0);
    C->FillRect(TRect(0, 4, 8, 5));
    // Row 4 is 0x55; shifted by one, x = 0 shows the pattern's last column.
    EXPECT_EQ(C->Pixels(0, 4), clWhite);
    EXPECT_EQ(C->Pixels(1, 4), clBlack);

    // A solid pattern (all 0 bits) is one line colour.
    C->SetTextColor(clRed);
    C->Brush()->SetPattern({0, 0, 0, 0, 0, 0, 0, 0});
    C->FillRect(TRect(0, 10, 8, 11));
    EXPECT_TRUE(All(TRect(0, 10, 8, 11), clRed));
}

TEST_F(CanvasTest, ClipRectanglesRegionsAndSaveRestore)
{
    C->Brush()->SetColor(clRed);
    const int saved = C->SaveDC();
    C->IntersectClipRect(TRect(5, 5, 15, 15));
    C->ExcludeClipRect(TRect(8, 8, 10, 10));
    EXPECT_EQ(C->ClipRect(), TRect(5, 5, 15, 15));
    EXPECT_TRUE(C->RectVisible(TRect(0, 0, 6, 6)));
    EXPECT_FALSE(C->RectVisible(TRect(8, 8, 10, 10)));
    EXPECT_FALSE(C->RectVisible(TRect(20, 20, 30, 30)));
    C->FillRect(TRect(0, 0, 40, 30));
    EXPECT_EQ(Count(TRect(0, 0, 40, 30), clRed), 100 - 4);
    EXPECT_EQ(C->Pixels(9, 9), CLR_INVALID);  // outside the clip region
    EXPECT_TRUE(C->RestoreDC(saved));
    EXPECT_FALSE(C->HasClipRegion());
    EXPECT_EQ(C->Pixels(9, 9), Paper);
    EXPECT_FALSE(C->RestoreDC(-1));  // nothing left to restore

    // An ellipse region; nested saves restore in order.
    C->SaveDC();
    const TRegion ell = CreateEllipticRgn(20, 0, 40, 20);
    C->SelectClipRgn(&ell);
    C->SaveDC();
    C->SelectClipRgn(nullptr);
    C->RestoreDC(-1);
    C->Brush()->SetColor(clBlue);
    C->FillRect(TRect(0, 0, 40, 30));
    EXPECT_EQ(C->Pixels(21, 1), CLR_INVALID);  // outside the clip region
    C->RestoreDC(-1);
    EXPECT_EQ(C->Pixels(30, 10), clBlue);
    EXPECT_EQ(C->Pixels(21, 1), Paper);  // outside the ellipse
    EXPECT_EQ(C->Pixels(20, 25), Paper);
    EXPECT_EQ(C->ClipRect(), TRect(0, 0, 40, 30));
}

// Clipping switched off and on again on one painter: a region of several
// rectangles holds as one rectangle does.
TEST_F(CanvasTest, ARegionOfSeveralRectanglesClipsAfterClippingWasOff)
{
    const TRegion one = TRegion::FromRect(TRect(0, 0, 10, 10));
    C->SelectClipRgn(&one);
    C->Brush()->SetColor(clRed);
    C->FillRect(TRect(0, 0, 40, 30));
    C->SelectClipRgn(nullptr);
    const TRegion two = TRegion::FromRect(TRect(20, 0, 25, 5)).United(TRegion::FromRect(TRect(30, 20, 35, 25)));
    C->SelectClipRgn(&two);
    C->Brush()->SetColor(clBlue);
    C->FillRect(TRect(0, 0, 40, 30));
    C->SelectClipRgn(nullptr);
    EXPECT_EQ(Count(TRect(0, 0, 40, 30), clBlue), 50);
    EXPECT_EQ(Count(TRect(0, 0, 40, 30), clRed), 100);
}

TEST_F(CanvasTest, WindowOriginMovesDrawingButNotClipRegions)
{
    C->SetWindowOrg(10, 5);
    C->Brush()->SetColor(clRed);
    C->FillRect(TRect(10, 5, 12, 7));
    EXPECT_EQ(C->Pixels(10, 5), clRed);  // logical
    C->SetWindowOrg(0, 0);
    EXPECT_TRUE(All(TRect(0, 0, 2, 2), clRed));
    EXPECT_TRUE(Untouched(TRect(0, 0, 2, 2)));

    C->SetWindowOrg(100, 0);
    const TRegion r = CreateRectRgn(0, 10, 5, 15);  // device pixels
    C->SelectClipRgn(&r);
    EXPECT_EQ(C->ClipRect(), TRect(100, 10, 105, 15));
    C->FillRect(TRect(90, 0, 140, 30));
    C->SetWindowOrg(0, 0);
    C->SelectClipRgn(nullptr);
    EXPECT_EQ(Count(TRect(0, 0, 40, 30), clRed), 4 + 25);
    EXPECT_TRUE(All(TRect(0, 10, 5, 15), clRed));
}

TEST_F(CanvasTest, EllipseAndRoundRectStayInsideTheirRectangle)
{
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetColor(clYellow);
    C->Ellipse(2, 2, 20, 14);
    EXPECT_TRUE(Untouched(TRect(2, 2, 20, 14)));
    EXPECT_EQ(C->Pixels(11, 8), clYellow);
    // The outline reaches every side of the rectangle.
    for (const TRect& side : {TRect(2, 2, 20, 3), TRect(2, 13, 20, 14), TRect(2, 2, 3, 14), TRect(19, 2, 20, 14)})
        EXPECT_GT(Count(side, clBlack), 0);
    EXPECT_EQ(C->Pixels(2, 2), Paper);  // the corner is outside

    C->RoundRect(22, 16, 38, 28, 6, 6);
    EXPECT_EQ(C->Pixels(22, 16), Paper);
    EXPECT_EQ(C->Pixels(30, 16), clBlack);
    EXPECT_EQ(C->Pixels(37, 22), clBlack);
    EXPECT_EQ(C->Pixels(30, 22), clYellow);
    EXPECT_EQ(C->Pixels(38, 22), Paper);
    EXPECT_EQ(C->Pixels(30, 28), Paper);
}

TEST_F(CanvasTest, PolygonFillsWhatItsRegionHolds)
{
    const TPoint tri[] = {{2, 2}, {22, 4}, {8, 20}};
    C->Pen()->SetStyle(psClear);
    C->Brush()->SetColor(clLime);
    C->Polygon(tri, 3);
    const TRegion rgn = CreatePolygonRgn(tri, 3, ALTERNATE);
    int mismatches = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            mismatches += (C->Pixels(x, y) == clLime) != PtInRegion(rgn, x, y) ? 1 : 0;
    EXPECT_EQ(mismatches, 0);

    // With a pen the vertices are part of the outline.
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(clBlack);
    C->Polygon(tri, 3);
    for (const TPoint& p : tri)
        EXPECT_EQ(C->Pixels(p.X, p.Y), clBlack);
}

TEST_F(CanvasTest, PixelsReadAndWrite)
{
    C->SetPixels(3, 4, clRed);
    EXPECT_EQ(C->Pixels(3, 4), clRed);
    EXPECT_TRUE(Untouched(TRect(3, 4, 4, 5)));
    EXPECT_EQ(C->Pixels(-1, 0), CLR_INVALID);
    EXPECT_EQ(C->Pixels(40, 0), CLR_INVALID);
    C->SetPixels(100, 100, clRed);  // off the bitmap: nothing happens
    C->SetPixels(5, 5, clBtnFace);  // system colours resolve
    EXPECT_EQ(C->Pixels(5, 5), ColorToRGB(clBtnFace));
}

// ---------------------------------------------------------------------------
// Text, measured through the filled cell: font and brush in one colour.

class CanvasTextTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        Bmp.SetSize(200, 80);
        C->Font()->SetName("DejaVu Sans");
        C->Font()->SetHeight(-12);
        C->Font()->SetColor(clRed);
        Wipe();
    }
    // Paper everywhere again, and the red brush of the text cell back.
    void Wipe()
    {
        C->Brush()->SetColor(Paper);
        C->FillRect(TRect(0, 0, 200, 80));
        C->Brush()->SetColor(clRed);
    }
    // Bounding box of the red pixels.
    TRect RedBox()
    {
        TRect box(1000, 1000, -1, -1);
        for (int y = 0; y < Bmp.Height(); ++y)
            for (int x = 0; x < Bmp.Width(); ++x)
                if (C->Pixels(x, y) == clRed) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
};

TEST_F(CanvasTextTest, TextOutFillsTheCellFromItsTopLeft)
{
    const TSize ext = C->TextExtent("Planning");
    EXPECT_GT(ext.cx, 20);
    EXPECT_GE(ext.cy, 12);
    C->TextOut(10, 20, "Planning");
    EXPECT_EQ(RedBox(), TRect(10, 20, 10 + ext.cx, 20 + ext.cy));
    EXPECT_EQ(C->PenPos(), TPoint(10 + ext.cx, 20));

    // A clear brush leaves the cell's background alone: fewer red pixels
    // than the cell holds.
    Wipe();
    C->Brush()->SetStyle(bsClear);
    C->TextOut(10, 20, "Planning");
    const int red = ext.cx * ext.cy - Count(TRect(10, 20, 10 + ext.cx, 20 + ext.cy), Paper);
    EXPECT_GT(red, 0);
    EXPECT_LT(red, ext.cx * ext.cy);
}

TEST_F(CanvasTextTest, MeasuresFollowTheFont)
{
    EXPECT_EQ(C->TextWidth(""), 0);
    EXPECT_EQ(C->TextHeight(""), C->TextHeight("X"));
    EXPECT_LT(C->TextWidth("ab"), C->TextWidth("abab"));
    const int h12 = C->TextHeight("X");
    int changes = 0;
    C->Font()->OnChange = [&](TObject*) { ++changes; };
    C->Font()->SetHeight(-24);
    EXPECT_EQ(changes, 1);
    EXPECT_GT(C->TextHeight("X"), h12 * 3 / 2);
    C->Font()->SetHeight(-24);  // unchanged: no notice
    EXPECT_EQ(changes, 1);
    TFont same;
    same.Assign(C->Font());
    C->Font()->Assign(&same);
    EXPECT_EQ(changes, 1) << "an equal font assigned";
    // A new colour alone keeps the font's measures.
    C->Font()->SetColor(clBlue);
    EXPECT_GT(C->TextHeight("X"), h12 * 3 / 2);
    // Size and height convert at the font's resolution.
    C->Font()->SetSize(9);
    EXPECT_EQ(C->Font()->Height(), -12);
    C->Font()->SetPixelsPerInch(600);
    EXPECT_EQ(C->Font()->Height(), -12);
    EXPECT_EQ(C->Font()->Size(), 1);
    C->Font()->SetSize(10);
    EXPECT_EQ(C->Font()->Height(), -83);
    // A missing font falls back to one that draws.
    C->Font()->SetName("No Such Font Family");
    C->Font()->SetHeight(-12);
    EXPECT_GT(C->TextWidth("abc"), 0);
}

TEST_F(CanvasTextTest, RotatedTextRunsDownwardsLeftOfThePoint)
{
    C->Font()->SetOrientation(2700);
    const TSize ext = C->TextExtent("Holiday");
    C->TextOut(100, 10, "Holiday");
    const TRect box = RedBox();
    EXPECT_NEAR(box.Left, 100 - ext.cy, 1);
    EXPECT_NEAR(box.Right, 100, 1);
    EXPECT_NEAR(box.Top, 10, 1);
    EXPECT_NEAR(box.Bottom, 10 + ext.cx, 1);
}

TEST_F(CanvasTextTest, DrawTextCalcRectAndAlignment)
{
    const int lh = C->TextHeight("X");
    TRect r(5, 5, 5, 5);
    EXPECT_EQ(C->DrawText("Due date", r, DT_CALCRECT | DT_SINGLELINE), lh);
    EXPECT_EQ(r, TRect(5, 5, 5 + C->TextWidth("Due date"), 5 + lh));
    EXPECT_EQ(RedBox().Right, -1);  // nothing drawn

    // Line breaks and word wrapping.
    r = TRect(0, 0, 1000, 0);
    EXPECT_EQ(C->DrawText("one\r\ntwo\nthree", r, DT_CALCRECT), 3 * lh);
    EXPECT_EQ(r.Right, C->TextWidth("three"));
    const int narrow = C->TextWidth("word word");
    r = TRect(0, 0, narrow, 0);
    C->DrawText("word word word word word", r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), 3 * lh);
    EXPECT_LE(r.Width(), narrow);
    // A word wider than the line keeps its own line, unbroken.
    r = TRect(0, 0, 5, 0);
    C->DrawText("a verylongword b", r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), 3 * lh);
    EXPECT_EQ(r.Width(), C->TextWidth("verylongword"));

    // Prefix characters.
    r = TRect(0, 0, 0, 0);
    C->DrawText("&Open", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Width(), C->TextWidth("Open"));
    r = TRect(0, 0, 0, 0);
    C->DrawText("&&Open", r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.Width(), C->TextWidth("&&Open"));
    r = TRect(0, 0, 0, 0);
    C->DrawText("A&&B", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Width(), C->TextWidth("A&B"));

    // Right-aligned and vertically centred in a single line.
    const int w = C->TextWidth("Mon");
    r = TRect(20, 10, 120, 10 + lh + 20);
    const int h = C->DrawText("Mon", r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(h, 10 + lh);
    EXPECT_EQ(RedBox(), TRect(120 - w, 20, 120, 20 + lh));
}

TEST_F(CanvasTextTest, DrawTextEllipsisAndClipping)
{
    const int lh = C->TextHeight("X");
    const int fit = C->TextWidth("Construction");
    TRect r(0, 0, fit / 2, 0);
    C->DrawText("Construction site", r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(r.Width(), fit / 2);
    EXPECT_GE(r.Width(), C->TextWidth("..."));

    // Drawing is clipped to the rectangle unless DT_NOCLIP.
    r = TRect(10, 10, 30, 10 + lh);
    C->DrawText("Construction site", r, DT_SINGLELINE);
    EXPECT_EQ(RedBox(), TRect(10, 10, 30, 10 + lh));
    Wipe();
    r = TRect(10, 10, 30, 10 + lh);
    C->DrawText("Construction site", r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_EQ(RedBox(), TRect(10, 10, 10 + C->TextWidth("Construction site"), 10 + lh));
    // The ellipsis keeps the text inside without clipping.
    Wipe();
    r = TRect(10, 10, 10 + fit / 2, 10 + lh);
    C->DrawText("Construction site", r, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
    EXPECT_LE(RedBox().Right, 10 + fit / 2);
    EXPECT_EQ(RedBox().Left, 10);
}

// Texts are shaped once per font and then drawn from their glyphs: what
// comes out must be what the painter draws when it shapes the text itself,
// the first time and from the kept glyphs, underlined too.
TEST_F(CanvasTextTest, KeptGlyphsDrawWhatThePainterDraws)
{
    for (bool underline : {false, true}) {
        C->Font()->SetStyle(underline ? TFontStyles{fsUnderline} : TFontStyles{});
        for (const char* text : {"Planning", "12.Jan fi ffl AV", "Gr\u00FC\u00DFe \u2013 \u00C5rhus"}) {
            QImage expected(200, 80, QImage::Format_RGB32);
            expected.fill(ColorToQColor(Paper));
            {
                QPainter p(&expected);
                p.setFont(FontToQFont(*C->Font()));
                p.setPen(QColor(Qt::red));
                p.drawText(QPoint(10, 20 + C->FontAscent()), QString::fromUtf8(text));
            }
            for (int pass = 0; pass < 2; ++pass) {
                Wipe();
                C->Brush()->SetStyle(bsClear);
                C->TextOut(10, 20, text);
                int differ = 0;
                for (int y = 0; y < 80; ++y)
                    for (int x = 0; x < 200; ++x)
                        differ += ColorToQColor(C->Pixels(x, y)).rgb() != expected.pixel(x, y) ? 1 : 0;
                EXPECT_EQ(differ, 0) << text << (underline ? " underlined" : "") << ", pass " << pass;
            }
        }
    }
}

TEST_F(CanvasTextTest, TextRectFillsItsRectangleAndClips)
{
    C->TextRect(TRect(10, 10, 40, 30), 5, 12, "Clipped text");
    EXPECT_EQ(RedBox(), TRect(10, 10, 40, 30));
}

}  // namespace

// The canvas over any paint device (a widget, a printer) keeps the same rules.

namespace {

TEST(PainterCanvasTest, DrawsOnAnyPaintDeviceWithTheSameRules)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    {
        TPainterCanvas c(&image);
        EXPECT_EQ(c.DeviceSize(), TSize(20, 10));
        EXPECT_EQ(c.Bitmap(), nullptr);
        c.Brush()->SetColor(clRed);
        c.FillRect(TRect(2, 2, 5, 4));
        c.Pen()->SetColor(clBlue);
        c.MoveTo(0, 8);
        c.LineTo(10, 8);
        EXPECT_EQ(c.Pixels(3, 3), CLR_INVALID);  // no read-back from a general device
        c.EndPaint();
    }
    EXPECT_EQ(image.pixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(4, 3), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(5, 3), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(2, 4), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(9, 8), 0xFF0000FFu);
    EXPECT_EQ(image.pixel(10, 8), 0xFFFFFFFFu);
}

}  // namespace
