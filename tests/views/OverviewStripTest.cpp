// The overview strip: bars at full row height in the holiday colour, the
// tinted slider and its frame, a strip without rows, and the drawing kept
// between paints (a slider move draws no bar; a changed row only its own).
#include "tests/views/ChartPaintSupport.h"

using namespace chartpaint;

namespace {

// The strip 700 x 30 over D0 .. D0 + 70 (three rows of 10 px, 10 px a day);
// the chart 200 px wide shows 20 days of it.
TCanvas* PaintOverview(TTestPlanner& P)
{
    TCanvas* c = P.SmallTimeChart->Canvas();
    P.SmallTimeChart->BackBuffer()->SetSize(P.SmallTimeChart->Width(), P.SmallTimeChart->Height());
    c->SelectClipRgn(nullptr);
    P.SmallTimeChartPaint();
    return c;
}

void SetUpOverview(TTestPlanner& P)
{
    SetUpChart(P, 200, 300);
    P.SizeOverview(700, 30);
    P.SetTimeChartBounds(D0, D0 + 70);
    P.FTimeChartStart = D0;
}

const TRGB TintOverWhite{0xC1, 0xD0, 0xD6};

}  // namespace

TEST(OverviewStrip, BarsAtFullRowHeightUnderATintedSlider)
{
    TPinnedClock clock(Today);
    TPlannerPtr p = MakePlanner();
    SetUpOverview(*p);
    TNodeData* inside = StateTask(*p, "A", D0 + 1, 3, 2);
    TNodeData* outside = StateTask(*p, "C", D0 + 21, 2, 1);
    TCanvas* c = PaintOverview(*p);
    ASSERT_EQ(p->SliderRect(), TRect(0, 0, 200, 30));

    // Bars fill their 10 px row in the holiday colour, whatever their state.
    const TRect bar = p->ItemRect(outside, 0, true, 700, 10, D0 + 70, D0);
    ASSERT_EQ(bar, TRect(210, 20, 230, 30));
    EXPECT_EQ(PixelOf(c, 215, 22), NonWorking);
    EXPECT_EQ(PixelOf(c, 215, 28), NonWorking);
    EXPECT_EQ(PixelOf(c, 215, 18), White);
    // Under the slider white turns to the tint, the bar to the tint over it.
    EXPECT_EQ(PixelOf(c, 105, 15), TintOverWhite);
    EXPECT_NE(PixelOf(c, 25, 5), NonWorking);
    EXPECT_NE(PixelOf(c, 25, 5), TintOverWhite);
    // The slider's frame.
    for (auto [x, y] : {std::pair{100, 0}, {100, 29}, {0, 15}, {199, 15}})
        EXPECT_EQ(PixelOf(c, x, y), Divider) << x << "," << y;
    EXPECT_EQ(PixelOf(c, 205, 15), White);
    (void)inside;
}

TEST(OverviewStrip, WithoutRowsOnlyBackgroundAndSlider)
{
    TPinnedClock clock(Today);
    TPlannerPtr p = MakePlanner({});
    ASSERT_EQ(p->GetRowCount(), 0);
    SetUpOverview(*p);
    TCanvas* c = PaintOverview(*p);
    EXPECT_EQ(PixelOf(c, 400, 15), White);
    EXPECT_EQ(PixelOf(c, 105, 15), TintOverWhite);
    EXPECT_EQ(PixelOf(c, 199, 15), Divider);
}

TEST(OverviewStrip, KeptDrawingServesSliderMovesAndRedrawsWhatChanged)
{
    TPinnedClock clock(Today);
    TPlannerPtr p = MakePlanner();
    p->HandleNeeded();
    SetUpOverview(*p);
    std::vector<TNodeData*> rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back(StateTask(*p, i % 2 ? "A" : "B", D0 + 5 * i, 2, 1));
    PaintOverview(*p);
    EXPECT_EQ(p->redrawcount, 12);
    // The first paints work out the rows' ends, which invalidates them.
    for (int i = 0; i < 3 && p->redrawcount > 0; ++i)
        PaintOverview(*p);
    EXPECT_EQ(p->redrawcount, 0);

    // The slider moves: no bar is drawn again, and the tint follows it.
    p->FTimeChartStart = D0 + 30;
    TCanvas* c = PaintOverview(*p);
    EXPECT_EQ(p->redrawcount, 0);
    EXPECT_EQ(p->SliderRect(), TRect(300, 0, 500, 30));
    EXPECT_EQ(PixelOf(c, 105, 25), White) << "the old place shows the plain drawing";
    EXPECT_EQ(PixelOf(c, 405, 25), TintOverWhite);

    // A row moves: its old and new places are drawn again, not the others.
    TNodeData* moved = rows[0];
    const TRect before = p->ItemRect(moved, 0, true, 700, 10, D0 + 70, D0);
    p->DoSetStartOf(moved, cmIgnoreNet, D0 + 2);
    p->GetEndOf(moved);
    c = PaintOverview(*p);
    EXPECT_GE(p->redrawcount, 1);
    EXPECT_LE(p->redrawcount, 3);
    EXPECT_EQ(PixelOf(c, before.Left + 5, before.Top + 5), White);
    const TRect after = p->ItemRect(moved, 0, true, 700, 10, D0 + 70, D0);
    EXPECT_EQ(PixelOf(c, after.Left + 5, after.Top + 5), NonWorking);

    // A new size draws it all.
    p->SizeOverview(700, 60);
    PaintOverview(*p);
    EXPECT_EQ(p->redrawcount, 12);
    // So does a repaint of the whole chart.
    PaintOverview(*p);
    EXPECT_EQ(p->redrawcount, 0);
    p->InvalidateTimeChart(false);
    PaintOverview(*p);
    EXPECT_EQ(p->redrawcount, 12);
}
