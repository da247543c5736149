// The collapsible tool bar: folding by its tab, the room the tab takes, the
// sizes kept while folded, and what the tab looks like.
#include <gtest/gtest.h>

#include "components/KitGrabBar.h"
#include "components/KitToolBar.h"
#include "platform/ComponentDump.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

namespace {

class KitToolBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        form = Create<TForm>(nullptr);
        form->SetBounds(40, 40, 400, 300);
        bar = Create<TKitToolBar>(form);
        bar->SetName("Bar");
        bar->SetParent(form);
        bar->SetAlign(alTop);
        bar->SetHeight(46);
        bar->SetTabSizeMinimized(46);
        bar->OnMaximize = [this](TObject*) { events.push_back("maximize"); };
        bar->OnRestore = [this](TObject*) { events.push_back("restore"); };
        form->Show();
    }
    void TearDown() override
    {
        ReleaseCapture();
        delete form;
    }
    // A point given in the bar's window coordinates, as the client
    // coordinates the input helpers take.
    TPoint At(int X, int Y) { return TPoint{X, Y} - bar->ClientOffset(); }
    void ClickAt(int X, int Y)
    {
        NextClick();
        Click(bar, At(X, Y));
    }
    TColor PixelAt(int X, int Y)
    {
        TBitmap b;
        bar->PaintTo(&b);
        return b.Canvas()->Pixels(X, Y);
    }
    TForm* form = nullptr;
    TKitToolBar* bar = nullptr;
    std::vector<String> events;
};

}  // namespace

TEST_F(KitToolBar, TheTabFoldsAndUnfoldsTheBar)
{
    bar->SetAutoSize(true);  // no children: the size stays
    ASSERT_EQ(bar->Height(), 46);
    ClickAt(3, 20);
    EXPECT_FALSE(bar->Maximized());
    EXPECT_EQ(bar->Height(), 10);
    EXPECT_EQ(bar->Width(), form->ClientWidth());
    EXPECT_EQ(events, (std::vector<String>{"restore"}));
    // Folded, AutoSize is off but remembered.
    EXPECT_TRUE(bar->AutoSize());

    // The tab of a folded bar is its first 46 px.
    ClickAt(40, 5);
    EXPECT_TRUE(bar->Maximized());
    EXPECT_EQ(bar->Height(), 46);
    EXPECT_TRUE(bar->AutoSize());
    EXPECT_EQ(events, (std::vector<String>{"restore", "maximize"}));

    // A press on the tab released elsewhere, and a click beside the tab,
    // fold nothing.
    NextClick();
    MouseDown(bar, At(3, 20));
    MouseUp(bar, At(200, 20));
    ClickAt(200, 20);
    EXPECT_TRUE(bar->Maximized());
}

TEST_F(KitToolBar, TheTabTakesItsRoomOutOfTheClientArea)
{
    EXPECT_EQ(bar->ClientRect(), TRect(0, 0, 400 - 14, 46));
    EXPECT_EQ(bar->ClientOffset(), TPoint(14, 0));
    bar->SetMaximized(false);
    EXPECT_EQ(bar->ClientWidth() * bar->ClientHeight(), 0);
    bar->SetMaximized(true);
    bar->SetShowTab(false);
    EXPECT_EQ(bar->ClientRect(), TRect(0, 0, 400, 46));
    bar->SetShowTab(true);
    bar->SetTabIndent(0);
    EXPECT_EQ(bar->ClientRect(), TRect(0, 0, 390, 46));

    // A vertical bar keeps its tab above the client area and folds across.
    bar->SetTabIndent(4);
    bar->SetAlign(alLeft);
    bar->SetWidth(60);
    ASSERT_EQ(bar->Orientation(), oVertical);
    EXPECT_EQ(bar->ClientOffset(), TPoint(0, 14));
    bar->SetMaximized(false);
    EXPECT_EQ(bar->Width(), 10);
    EXPECT_EQ(bar->TabRect().Height(), 46);
    bar->SetMaximized(true);
    EXPECT_EQ(bar->Width(), 60);
}

TEST_F(KitToolBar, SizesSetWhileFoldedWaitForTheUnfolding)
{
    bar->SetMaximized(false);
    bar->SetHeight(80);
    EXPECT_EQ(bar->Height(), 10);
    EXPECT_EQ(bar->RestoreValue(), 80);
    bar->SetAutoSize(true);
    bar->SetTabSizeMaximized(12);
    EXPECT_EQ(bar->Height(), 12);
    bar->SetMaximized(true);
    EXPECT_EQ(bar->Height(), 80);
    EXPECT_TRUE(bar->AutoSize());
}

TEST_F(KitToolBar, SettingTheStateItHasChangesNothing)
{
    // Made with one height, grown later: unfolding the unfolded bar keeps
    // the height it has now and tells nobody.
    bar->SetHeight(70);
    bar->SetMaximized(true);
    EXPECT_EQ(bar->Height(), 70);
    bar->SetMaximized(false);
    bar->SetMaximized(false);
    EXPECT_EQ(bar->RestoreValue(), 70);
    bar->SetMaximized(true);
    EXPECT_EQ(bar->Height(), 70);
    EXPECT_EQ(events, (std::vector<String>{"restore", "maximize"}));
}

TEST_F(KitToolBar, TabRectIsTheTabOnTheScreen)
{
    const TPoint corner = bar->ClientOrigin() - bar->ClientOffset();
    EXPECT_EQ(bar->TabRect(), TRect(corner.X, corner.Y, corner.X + 10, corner.Y + 46));
    bar->SetMaximized(false);
    EXPECT_EQ(bar->TabRect(), TRect(corner.X, corner.Y, corner.X + 46, corner.Y + 10));
}

TEST_F(KitToolBar, TheTabLightsUpUnderThePointer)
{
    bar->SetTabColor(clSilver);
    bar->SetTabHighlightColor(clYellow);
    // Below the arrow and the grip's first row, left of its dots.
    EXPECT_EQ(PixelAt(1, 40), ColorToRGB(clSilver));
    MouseMove(bar, At(5, 30));
    EXPECT_TRUE(bar->TabHighlighted());
    EXPECT_EQ(PixelAt(1, 40), ColorToRGB(clYellow));
    MouseMove(bar, At(100, 30));
    EXPECT_FALSE(bar->TabHighlighted());
    EXPECT_EQ(PixelAt(1, 40), ColorToRGB(clSilver));
}

TEST_F(KitToolBar, TheTabIsDrawnWithArrowAndGrip)
{
    bar->SetTabColor(clSilver);
    bar->SetArrowColor(clRed);
    bar->SetTextureColor1(clWhite);
    bar->SetTextureColor2(clBlue);
    bar->SetColor(clLime);
    // Unfolded: an arrow of 5 rows pointing up 2 px from the top, centred
    // in the 10 px tab (x 0..8), the grip from 2 px below it, 2 px in.
    EXPECT_EQ(PixelAt(4, 2), ColorToRGB(clRed));
    EXPECT_EQ(PixelAt(3, 2), ColorToRGB(clSilver));
    EXPECT_EQ(PixelAt(1, 6), ColorToRGB(clRed));
    EXPECT_EQ(PixelAt(8, 6), ColorToRGB(clRed));
    EXPECT_EQ(PixelAt(3, 10), ColorToRGB(clWhite));
    EXPECT_EQ(PixelAt(4, 11), ColorToRGB(clBlue));
    EXPECT_EQ(PixelAt(2, 9), ColorToRGB(clSilver));
    // The indent beside the tab has the panel's colour.
    EXPECT_EQ(PixelAt(11, 20), ColorToRGB(clLime));
    // Folded: the arrow points down, 2 px from the tab's start, and the
    // strip beyond the tab has the panel's colour.
    bar->SetMaximized(false);
    EXPECT_EQ(PixelAt(2 + 4, 2 + 4), ColorToRGB(clRed));
    EXPECT_EQ(PixelAt(2, 2), ColorToRGB(clRed));
    EXPECT_EQ(PixelAt(2, 3), ColorToRGB(clSilver));
    EXPECT_EQ(PixelAt(200, 5), ColorToRGB(clLime));
    // Without the tab nothing of it is drawn.
    bar->SetMaximized(true);
    bar->SetShowTab(false);
    EXPECT_NE(PixelAt(4, 2), ColorToRGB(clRed));
}

TEST(KitGrabBar, ArrowsHaveOddSizesAndPointTheirWay)
{
    EnsureApplication();
    TBitmap b(20, 20);
    auto rows = [&](int Size, TKitArrowDirection Dir) {
        b.Canvas()->Brush()->SetColor(clWhite);
        b.Canvas()->FillRect({0, 0, 20, 20});
        DrawKitArrow(b.Canvas(), 0, 0, Size, Dir, clBlack);
        std::vector<int> r;
        for (int y = 0; y < 20; ++y) {
            int n = 0;
            for (int x = 0; x < 20; ++x)
                n += b.Canvas()->Pixels(x, y) == clBlack ? 1 : 0;
            if (n)
                r.push_back(n);
        }
        return r;
    };
    EXPECT_EQ(rows(5, adUp), (std::vector<int>{1, 3, 5, 7, 9}));
    EXPECT_EQ(rows(6, adUp), (std::vector<int>{1, 3, 5, 7, 9}));
    EXPECT_EQ(rows(4, adDown), (std::vector<int>{5, 3, 1}));
    EXPECT_EQ(rows(0, adDown), (std::vector<int>{1}));
    EXPECT_EQ(rows(3, adRight), (std::vector<int>{1, 2, 3, 2, 1}));
    EXPECT_EQ(KitArrowExtent(6, adLeft), TSize(5, 9));
    // Pointing right, the tip is on the right.
    rows(3, adRight);
    EXPECT_EQ(b.Canvas()->Pixels(2, 2), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(2, 1), clWhite);
}

TEST(KitGrabBar, TheGripRepeatsAThreePixelCell)
{
    EnsureApplication();
    TBitmap b(12, 12);
    DrawKitTexture(b.Canvas(), {1, 1, 10, 10}, clSilver, clWhite, clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(2, 2), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(3, 3), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(5, 5), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(6, 6), clBlue);
    for (TPoint p : {TPoint{1, 1}, TPoint{4, 4}, TPoint{3, 2}, TPoint{2, 3}})
        EXPECT_EQ(b.Canvas()->Pixels(p.X, p.Y), clSilver) << p;
    // Two pixels across: only filled.
    DrawKitTexture(b.Canvas(), {0, 0, 12, 2}, clRed, clWhite, clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
}

TEST_F(KitToolBar, AFoldedBarIsWrittenUnfolded)
{
    bar->SetAutoSize(true);
    bar->SetMaximized(false);
    const String dump = DumpComponents(form);
    EXPECT_NE(dump.find("Bar.Height=46\n"), String::npos) << dump;
    EXPECT_NE(dump.find("Bar.AutoSize=True\n"), String::npos) << dump;
}
