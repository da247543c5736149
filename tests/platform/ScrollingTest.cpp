// Scrolling by moving back-buffer pixels: after the move and the paint of
// what it uncovered the window must look exactly like a full repaint at the
// new offset.
#include <gtest/gtest.h>

#include <set>

#include <QImage>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

namespace {

constexpr int RowHeight = 18;
constexpr int ColumnWidth = 37;

// Rows and columns of coloured cells over an endless sheet shown from
// (OffX, OffY); a strip of Fixed pixels at the left does not move sideways.
// Paints only the cells that meet the clip.
class TSheet : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int OffX = 0;
    int OffY = 0;
    int Fixed = 0;
    std::set<std::pair<int, int>> Marked;  // (row, column) drawn black
    std::vector<TRect> Clips;

    static TColor CellColor(int Row, int Col)
    {
        return RGB(Byte(Row * 53 + Col * 11), Byte(Row * 7 + Col * 97), Byte((Row * 31) ^ (Col * 5)));
    }

protected:
    void Paint() override
    {
        TCanvas* c = Canvas();
        const TRect clip = c->ClipRect();
        Clips.push_back(clip);
        if (Fixed > 0) {
            const int saved = c->SaveDC();
            c->IntersectClipRect({0, 0, Fixed, ClientHeight()});
            Cells(c, 0, clip);
            c->RestoreDC(saved);
            c->IntersectClipRect({Fixed, 0, ClientWidth(), ClientHeight()});
        }
        Cells(c, OffX, clip);
    }

private:
    void Cells(TCanvas* C, int ShiftX, const TRect& Clip)
    {
        auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
        const int r0 = floorDiv(Clip.Top + OffY, RowHeight), r1 = floorDiv(Clip.Bottom - 1 + OffY, RowHeight);
        const int k0 = floorDiv(Clip.Left + ShiftX, ColumnWidth), k1 = floorDiv(Clip.Right - 1 + ShiftX, ColumnWidth);
        for (int r = r0; r <= r1; ++r)
            for (int k = k0; k <= k1; ++k) {
                C->Brush()->SetColor(Marked.count({r, k}) ? clBlack : CellColor(r, k));
                const int x = k * ColumnWidth - ShiftX, y = r * RowHeight - OffY;
                C->FillRect({x, y, x + ColumnWidth, y + RowHeight});
            }
    }
};

struct SheetForm {
    TForm* Form;
    TSheet* S;
    SheetForm(int Width, int Height)
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(0, 0, Width + 40, Height + 40);
        S = Create<TSheet>(Form);
        S->SetParent(Form);
        S->SetBounds(5, 5, Width, Height);
        Form->Show();
        S->Update();
        S->Clips.clear();
    }
    ~SheetForm() { delete Form; }

    // Pixels (window coordinates) where the back buffer differs from a full
    // paint at the sheet's current offset, Skip left out.
    int Differences(const TRect& Skip = TRect()) const
    {
        TBitmap full;
        S->PaintTo(&full);
        const QImage& a = S->BackBuffer()->Image();
        const QImage& b = full.Image();
        int n = 0;
        for (int y = 0; y < a.height(); ++y) {
            const auto* ra = reinterpret_cast<const std::uint32_t*>(a.constScanLine(y));
            const auto* rb = reinterpret_cast<const std::uint32_t*>(b.constScanLine(y));
            for (int x = 0; x < a.width(); ++x)
                if ((ra[x] & 0xFFFFFF) != (rb[x] & 0xFFFFFF) && !Skip.Contains({x, y}))
                    ++n;
        }
        return n;
    }
};

}  // namespace

TEST(Scrolling, OneRowOnAFullScreenWindowPaintsOnlyTheStrip)
{
    SheetForm f(1920, 1080);
    const HWND h = f.S->Handle();
    f.S->OffY += RowHeight;
    TRegion rgn;
    TRect strip;
    EXPECT_EQ(ScrollWindowEx(h, 0, -RowHeight, nullptr, nullptr, &rgn, &strip, SW_INVALIDATE), SIMPLEREGION);
    EXPECT_EQ(strip, TRect(0, 1080 - RowHeight, 1920, 1080));
    EXPECT_EQ(rgn, TRegion::FromRect(strip));
    f.S->Update();
    EXPECT_EQ(f.S->Clips, (std::vector<TRect>{strip}));
    EXPECT_EQ(f.Differences(), 0);

    // Back up again: the strip is at the top.
    f.S->Clips.clear();
    f.S->OffY -= RowHeight;
    ScrollWindowEx(h, 0, RowHeight, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    f.S->Update();
    EXPECT_EQ(f.S->Clips, (std::vector<TRect>{TRect(0, 0, 1920, RowHeight)}));
    EXPECT_EQ(f.Differences(), 0);
}

TEST(Scrolling, SidewaysDiagonallyAndFurtherThanTheWindow)
{
    SheetForm f(300, 200);
    const HWND h = f.S->Handle();
    struct Step {
        int DX, DY;
    };
    for (Step s : {Step{-ColumnWidth, 0}, Step{5, 0}, Step{-20, RowHeight}, Step{7, -3}, Step{0, -400}, Step{-301, 0}}) {
        f.S->Clips.clear();
        f.S->OffX -= s.DX;
        f.S->OffY -= s.DY;
        ScrollWindow(h, s.DX, s.DY, nullptr, nullptr);
        f.S->Update();
        // The handler painted only the uncovered strips.
        ASSERT_EQ(f.S->Clips.size(), 1u);
        const int painted = f.S->Clips[0].Width() * f.S->Clips[0].Height();
        if (std::abs(s.DX) < 300 && std::abs(s.DY) < 200 && (s.DX == 0 || s.DY == 0)) {
            EXPECT_EQ(painted, std::abs(s.DX) * 200 + std::abs(s.DY) * 300);
        }
        EXPECT_EQ(f.Differences(), 0) << s.DX << "," << s.DY;
    }
}

TEST(Scrolling, ScrollAndClipRectanglesKeepAFixedStrip)
{
    SheetForm f(300, 200);
    f.S->Fixed = 60;
    f.S->Invalidate();
    f.S->Update();
    const HWND h = f.S->Handle();
    // Sideways only right of the strip.
    const TRect right{60, 0, 300, 200};
    f.S->Clips.clear();
    f.S->OffX += 25;
    TRect uncovered;
    ScrollWindowEx(h, -25, 0, &right, &right, nullptr, &uncovered, SW_INVALIDATE);
    EXPECT_EQ(uncovered, TRect(275, 0, 300, 200));
    f.S->Update();
    EXPECT_EQ(f.S->Clips, (std::vector<TRect>{uncovered}));
    EXPECT_EQ(f.Differences(), 0);

    // A scroll rectangle without a clip: pixels may land outside it (here on
    // the strip), and whatever they cover there is the caller's to repaint.
    const TRect lower{0, 100, 300, 200};
    f.S->Clips.clear();
    TCanvas* buffer = f.S->BackBuffer()->Canvas();
    const TColor was = buffer->Pixels(5, 109);
    ASSERT_NE(was, buffer->Pixels(5, 99));
    TRegion rgn;
    ScrollWindowEx(h, 0, -10, &lower, nullptr, &rgn, nullptr, 0);
    EXPECT_EQ(rgn, TRegion::FromRect({0, 190, 300, 200}));
    EXPECT_EQ(buffer->Pixels(5, 99), was);
    f.S->Update();
    EXPECT_TRUE(f.S->Clips.empty());  // nothing invalidated without SW_INVALIDATE
}

TEST(Scrolling, PendingInvalidAreaMovesAlong)
{
    SheetForm f(300, 200);
    const HWND h = f.S->Handle();
    // A cell changes but is not painted yet when the view scrolls.
    f.S->Marked.insert({3, 2});
    f.S->InvalidateRect({2 * ColumnWidth, 3 * RowHeight, 3 * ColumnWidth, 4 * RowHeight});
    f.S->OffY += 2 * RowHeight;
    ScrollWindowEx(h, 0, -2 * RowHeight, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    const TRegion cell = TRegion::FromRect({2 * ColumnWidth, RowHeight, 3 * ColumnWidth, 2 * RowHeight});
    EXPECT_EQ(f.S->UpdateRegion(), cell.United(TRegion::FromRect({0, 200 - 2 * RowHeight, 300, 200})));
    f.S->Update();
    EXPECT_EQ(f.Differences(), 0);

    // Invalid across the edge of the scroll rectangle: only the part inside
    // moves.
    f.S->InvalidateRect({0, 36, 37, 54});
    const TRect top{0, 0, 300, 45};
    ScrollWindowEx(h, 0, -9, &top, &top, nullptr, nullptr, SW_INVALIDATE);
    EXPECT_EQ(f.S->UpdateRegion(), TRegion::FromRect({0, 27, 37, 36})
                                       .United(TRegion::FromRect({0, 36, 300, 45}))
                                       .United(TRegion::FromRect({0, 45, 37, 54})));
    ValidateRect(h, nullptr);

    // Invalid inside the scroll rectangle but outside the clip: those pixels
    // do not move, so they stay invalid where they are; the clip's bottom
    // rows come from below it, valid, so nothing is uncovered.
    f.S->InvalidateRect({0, 150, 37, 168});
    const TRect upper{0, 0, 300, 100};
    TRegion rgn;
    EXPECT_EQ(ScrollWindowEx(h, 0, -9, nullptr, &upper, &rgn, nullptr, SW_INVALIDATE), NULLREGION);
    EXPECT_EQ(f.S->UpdateRegion(), TRegion::FromRect({0, 150, 37, 168}));
}

TEST(Scrolling, ChildWindowsMoveWithoutAScrollRectangle)
{
    SheetForm f(300, 200);
    auto* child = Create<TRecordingControl>(f.S);
    child->PaintColor = clRed;
    child->SetParent(f.S);
    child->SetBounds(100, 80, 40, 30);
    f.S->Update();
    child->Update();
    const HWND h = f.S->Handle();
    child->Log.clear();
    f.S->Clips.clear();

    f.S->OffY += RowHeight;
    EXPECT_TRUE(ScrollWindow(h, 0, -RowHeight, nullptr, nullptr));
    EXPECT_EQ(child->BoundsRect(), TRect(100, 80 - RowHeight, 140, 110 - RowHeight));
    f.S->Update();
    // Nothing but the strip is painted; the child keeps its own picture.
    EXPECT_EQ(f.S->Clips, (std::vector<TRect>{TRect(0, 200 - RowHeight, 300, 200)}));
    EXPECT_EQ(f.Differences(child->BoundsRect()), 0);
    ProcessEvents();
    EXPECT_TRUE(child->UpdateRegion().IsEmpty());
    EXPECT_EQ(child->BackBuffer()->Canvas()->Pixels(20, 15), clRed);

    // With a scroll rectangle the children stay, unless asked to move; then
    // only those meeting it go.
    const TRect top{0, 0, 300, 50};
    ScrollWindow(h, 0, -5, &top, &top);
    EXPECT_EQ(child->Top(), 80 - RowHeight);
    ScrollWindowEx(h, 0, -5, &top, &top, nullptr, nullptr, SW_SCROLLCHILDREN);
    EXPECT_EQ(child->Top(), 80 - RowHeight);
    const TRect mid{0, 50, 300, 120};
    ScrollWindowEx(h, 7, 0, &mid, &mid, nullptr, nullptr, SW_SCROLLCHILDREN);
    EXPECT_EQ(child->Left(), 107);

    EXPECT_EQ(ScrollWindowEx(0x7FFFFFF0, 0, 1, nullptr, nullptr, nullptr, nullptr, 0), RGN_ERROR);
}

TEST(Scrolling, ScrollDCMovesACanvasesPixels)
{
    TBitmap bmp(40, 30);
    TCanvas* c = bmp.Canvas();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            c->SetPixels(x, y, RGB(Byte(x), Byte(y), 7));
    // Logical units with an offset origin and a clip region.
    c->SetViewportOrg(10, 5);
    c->IntersectClipRect({-10, -5, 20, 20});  // device 0..30 x 0..25
    const TRect scroll{0, 0, 20, 20};            // device 10..30 x 5..25
    TRegion rgn;
    TRect box;
    ASSERT_TRUE(ScrollDC(c, 3, -4, &scroll, nullptr, &rgn, &box));
    c->SelectClipRgn(nullptr);
    c->SetViewportOrg(0, 0);
    EXPECT_EQ(c->Pixels(13, 5), RGB(10, 9, 7));   // from device (10, 9)
    EXPECT_EQ(c->Pixels(29, 20), RGB(26, 24, 7));  // from (26, 24)
    EXPECT_EQ(c->Pixels(10, 5), RGB(10, 5, 7));   // left behind, unchanged
    EXPECT_EQ(c->Pixels(31, 10), RGB(31, 10, 7));  // beyond the clip
    EXPECT_EQ(c->Pixels(13, 24), RGB(13, 24, 7));  // uncovered at the bottom
    // The uncovered part, in logical units: a band at the left and at the bottom.
    EXPECT_EQ(rgn, TRegion::FromRect({0, 0, 3, 20}).United(TRegion::FromRect({0, 16, 20, 20})));
    EXPECT_EQ(box, TRect(0, 0, 20, 20));

    // A complex clip whose pieces read from each other.
    TBitmap stripes(10, 10);
    TCanvas* s = stripes.Canvas();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            s->SetPixels(x, y, RGB(Byte(x * 20), Byte(y * 20), 0));
    const TRegion twoHoles = TRegion::FromRect({0, 0, 10, 10}).Subtracted(TRegion::FromRect({4, 4, 6, 6}));
    s->SelectClipRgn(&twoHoles);
    ASSERT_TRUE(ScrollDC(s, -2, 1, nullptr, nullptr, nullptr, nullptr));
    s->SelectClipRgn(nullptr);
    EXPECT_EQ(s->Pixels(0, 1), RGB(40, 0, 0));
    EXPECT_EQ(s->Pixels(7, 9), RGB(180, 160, 0));
    EXPECT_EQ(s->Pixels(4, 4), RGB(80, 80, 0));   // in the hole: unchanged
    EXPECT_EQ(s->Pixels(6, 5), RGB(160, 80, 0));  // beside it, from (8, 4)
    // Sources that other pieces of the clip were written over first.
    EXPECT_EQ(s->Pixels(0, 2), RGB(40, 20, 0));
    EXPECT_EQ(s->Pixels(0, 6), RGB(40, 100, 0));
    EXPECT_FALSE(ScrollDC(nullptr, 1, 1, nullptr, nullptr, nullptr, nullptr));
}
