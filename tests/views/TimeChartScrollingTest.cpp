// The visible window: scroll requests, the wheel and the keys, smooth
// scrolling, the pull-back at the bottom and the range the chart scrolls
// over.
#include "platform/DateUtils.h"
#include "platform/Messages.h"
#include "tests/views/ViewsTestSupport.h"

namespace {

const TDateTime D0 = EncodeDate(2024, 1, 1);

// 30 rows of 54 px in a chart of 800 x 540 (ten rows, 100 days at 8 px),
// over a year from D0, with a window.
TPlannerPtr ScrollingPlanner()
{
    std::vector<String> positions;
    for (int i = 0; i < 30; ++i)
        positions.push_back("P" + IntToStr(i));
    TPlannerPtr p = MakePlanner(positions);
    p->HandleNeeded();
    p->SizeChart(800, 540);
    p->SetTimeChartBounds(D0, D0 + 365);
    p->SetTimeChartStart(D0);
    p->TimeChartStartDestination = D0;
    p->UpdateScrollBars(3);
    return p;
}

// Runs the smooth scroll to its end; the distance moved after each tick.
std::vector<int> RunSlider(TTestPlanner& P, bool Vertical)
{
    std::vector<int> moved;
    const TDateTime start = P.FTimeChartStart;
    const int top = P.FTimeChartTop;
    for (int tick = 0; tick < 50 && P.SliderTimer->Enabled(); ++tick) {
        P.SliderTimerTimer(nullptr);
        moved.push_back(Vertical ? P.FTimeChartTop - top : int(P.FTimeChartStart - start));
        // The bar shows the target all the way.
        EXPECT_EQ(P.TimeChartScrollBarBox->HorzScrollInfo()->Pos, Nearest(P.TimeChartStartDestination - P.FMinDate));
    }
    return moved;
}

int Sent(TScrollBarBox* Box, UINT Msg, int Code)
{
    Box->Perform(Msg, MakeWParam(Word(Code), 0), 0);
    return Msg == WM_HSCROLL ? Box->HorzScrollInfo()->Pos : Box->VertScrollInfo()->Pos;
}

}  // namespace

TEST(ChartScrolling, ScrollRequestsMoveTheTarget)
{
    TPinnedClock clock(D0 + 10.5);
    TPlannerPtr p = ScrollingPlanner();
    TScrollBarBox* box = p->TimeChartScrollBarBox;
    struct {
        int Code, Pos;
    } horizontal[] = {{SB_LINEDOWN, 1}, {SB_LINEDOWN, 2}, {SB_LINEUP, 1}, {SB_PAGEDOWN, 101}, {SB_PAGEUP, 1},
        {SB_BOTTOM, 265}, {SB_TOP, 0}, {SB_ENDSCROLL, 0}};
    for (const auto& h : horizontal) {
        EXPECT_EQ(Sent(box, WM_HSCROLL, h.Code), h.Pos) << "code " << h.Code;
        EXPECT_DOUBLE_EQ(p->TimeChartStartDestination, D0 + h.Pos);
    }
    struct {
        int Code, Pos;
    } vertical[] = {{SB_LINEDOWN, 1}, {SB_PAGEDOWN, 541}, {SB_BOTTOM, 1080}, {SB_PAGEUP, 540}, {SB_TOP, 0}};
    for (const auto& v : vertical) {
        EXPECT_EQ(Sent(box, WM_VSCROLL, v.Code), v.Pos) << "code " << v.Code;
        EXPECT_EQ(p->TimeChartTopDestination, v.Pos);
    }
    EXPECT_TRUE(p->SliderTimer->Enabled());
}

TEST(ChartScrolling, WheelAndKeysMoveByRowsAndDays)
{
    TPinnedClock clock(D0 + 10.5);
    TPlannerPtr p = ScrollingPlanner();
    Wheel(p->TimeChart, {10, 10}, -WHEEL_DELTA);
    EXPECT_EQ(p->TimeChartTopDestination, 54) << "one row down";
    p->FTimeChartTop = 108;
    Wheel(p->SmallTimeChart, {10, 10}, WHEEL_DELTA);
    EXPECT_EQ(p->TimeChartTopDestination, 54) << "one row up, from where the chart stands";

    p->TimeChartTopDestination = 0;
    struct {
        Word Key;
        TShiftState Shift;
        double Days;
        int Top;
    } keys[] = {{VK_RIGHT, {}, 1, 0}, {VK_RIGHT, {ssShift}, 8, 0}, {VK_RIGHT, {ssCtrl}, 39, 0}, {VK_LEFT, {}, 38, 0},
        {VK_DOWN, {}, 38, 54}, {VK_DOWN, {}, 38, 108}, {VK_UP, {}, 38, 54}};
    for (const auto& k : keys) {
        p->ScrollByKey(k.Key, k.Shift);
        EXPECT_DOUBLE_EQ(p->TimeChartStartDestination, D0 + k.Days) << k.Key;
        EXPECT_EQ(p->TimeChartTopDestination, k.Top) << k.Key;
    }
}

TEST(ChartScrolling, SmoothScrollingReachesItsTarget)
{
    TPinnedClock clock(D0 + 10.5);
    TPlannerPtr p = ScrollingPlanner();
    struct {
        int Days;
        std::vector<int> Moved;
    } runs[] = {{10, {5, 8, 9, 10}}, {3, {2, 3}}, {-7, {-4, -6, -7}}, {1, {1}}};
    for (const auto& run : runs) {
        p->SetTimeChartStart(D0 + 50);
        p->SetTimeChartDestination(p->FTimeChartTop, D0 + 50 + run.Days);
        EXPECT_EQ(RunSlider(*p, false), run.Moved) << run.Days << " days";
        EXPECT_FALSE(p->SliderTimer->Enabled());
    }
    p->SetTimeChartDestination(100, p->FTimeChartStart);
    EXPECT_EQ(RunSlider(*p, true), (std::vector<int>{50, 75, 88, 94, 97, 99, 100}));

    // A target beyond the range is brought inside it first.
    p->SetTimeChartDestination(100000, D0 + 5000);
    EXPECT_DOUBLE_EQ(p->TimeChartStartDestination, D0 + 265);
    EXPECT_EQ(p->TimeChartTopDestination, 1080);
    RunSlider(*p, false);
    EXPECT_DOUBLE_EQ(p->FTimeChartStart, D0 + 265);
    EXPECT_EQ(p->FTimeChartTop, 1080);
    // Nothing moves while a document loads.
    p->SetTimeChartDestination(0, D0);
    p->SetLoading(true);
    p->SliderTimerTimer(nullptr);
    EXPECT_EQ(p->FTimeChartTop, 1080);
    p->SetLoading(false);
}

TEST(ChartScrolling, ImmediateMovesStayInsideTheRange)
{
    TPinnedClock clock(D0 + 10.5);
    TPlannerPtr p = ScrollingPlanner();
    p->SetTimeChartStart(D0 - 40);
    EXPECT_DOUBLE_EQ(p->FTimeChartStart, D0);
    p->SetTimeChartStart(D0 + 1000.7);
    EXPECT_DOUBLE_EQ(p->FTimeChartStart, D0 + 265) << "max less the page";
    p->SetTimeChartStart(D0 + 20.9);
    EXPECT_DOUBLE_EQ(p->FTimeChartStart, D0 + 20) << "whole days";
    p->SetTimeChartTop(-5);
    EXPECT_EQ(p->FTimeChartTop, 0);
    p->SetTimeChartTop(5000);
    EXPECT_EQ(p->FTimeChartTop, 1080);

    // Scrolled to the bottom, a taller chart pulls the rows back down.
    p->TimeChartTopDestination = 1080;
    p->SizeChart(800, 1080);
    EXPECT_EQ(p->FTimeChartTop, 540) << "max less the new page";
    EXPECT_EQ(p->TimeChartScrollBarBox->VertScrollInfo()->Page, 1080u);

    // Scrolled to the end, a wider chart pulls the days back likewise, to the
    // range's start once it shows all of it.
    p->SetTimeChartStart(D0 + 265);
    p->TimeChartStartDestination = D0 + 265;
    struct {
        int Width;
        TDateTime Start;
    } widths[] = {{1600, D0 + 165}, {4000, D0}, {800, D0}};
    for (const auto& w : widths) {
        p->SizeChart(w.Width, 1080);
        EXPECT_DOUBLE_EQ(p->FTimeChartStart, w.Start) << w.Width;
        EXPECT_DOUBLE_EQ(p->TimeChartStartDestination, w.Start) << w.Width;
        EXPECT_EQ(p->TimeChartScrollBarBox->HorzScrollInfo()->Pos, Nearest(w.Start - D0)) << w.Width;
    }
}

TEST(ChartScrolling, BoundsAreWholeDaysAndWidenToTheChart)
{
    TPinnedClock clock(D0 + 10.5);
    TPlannerPtr p = ScrollingPlanner();
    EXPECT_FALSE(p->SetTimeChartBounds(D0 + 0.5, D0 + 365.9)) << "the same whole days";
    EXPECT_TRUE(p->SetTimeChartBounds(D0 - 10.5, D0 + 300));
    EXPECT_DOUBLE_EQ(p->FMinDate, D0 - 11);
    EXPECT_DOUBLE_EQ(p->FMaxDate, D0 + 300);
    EXPECT_EQ(p->TimeChartScrollBarBox->HorzScrollInfo()->Max, 311);

    // Without rows the data range is today, widened to the hundred days the
    // chart shows, and two weeks either side.
    p->UpdateBoundsProc();
    EXPECT_EQ(p->GetTimeChartVisibleDays(), 100);
    EXPECT_DOUBLE_EQ(p->FDataMinDate, D0 + 10.5 - 14);
    EXPECT_DOUBLE_EQ(p->FDataMaxDate, D0 + 10.5 + 100 + 14);
    EXPECT_DOUBLE_EQ(p->FMinDate, D0 - 4);
    EXPECT_DOUBLE_EQ(p->FMaxDate, D0 + 124);

    // Today: the range holds it and the chart starts there.
    p->ScrollToToday();
    EXPECT_DOUBLE_EQ(p->FTimeChartStart, D0 + 10);
    EXPECT_DOUBLE_EQ(p->TimeChartStartDestination, D0 + 10);
}

TEST(ChartScrolling, MovedPixelsEqualAFreshPaint)
{
    TPinnedClock clock(D0 + 10.5);
    TPlannerPtr p = ScrollingPlanner();
    for (int i = 0; i < 120; ++i)
        AddTask(*p, "P" + IntToStr(i % 30), D0 + (i * 13) % 90, 1 + i % 4);
    std::vector<TRegion> painted;
    p->TimeChart->OnPaint = [&](TObject*) {
        painted.push_back(p->TimeChart->Canvas()->ClipRegion());
        p->TimeChartPaint();
    };
    auto paintAll = [&] {
        p->TimeChart->Invalidate();
        p->TimeChart->Update();
    };
    // What may be painted after a move: the strip it uncovered and the parts
    // that stand still (labels, the line below the last row).
    auto fixedParts = [&] {
        TRegion fixed;
        TCanvas* c = p->TimeChart->Canvas();
        for (int i = 0; i < p->GetRowCount(); ++i)
            fixed = fixed.United(TRegion::FromRect(p->PositionRect(c, p->FTimeChartTop, i, 800, 54)));
        const int below = 30 * 54 - p->FTimeChartTop;
        return fixed.United(TRegion::FromRect(TRect(0, below, 800, below + c->TextHeight("Gg") + 5)));
    };
    struct {
        TDateTime Start;
        int Top;
        TRect Strip;
    } moves[] = {{D0 + 3, 0, TRect(800 - 24, 0, 800, 540)}, {D0 + 1, 0, TRect(0, 0, 16, 540)},
        {D0 + 1, 54, TRect(0, 540 - 54, 800, 540)}, {D0 + 1, 20, TRect(0, 0, 800, 34)}};
    // The first paint works out the tasks' ends, which invalidates their bars.
    paintAll();
    paintAll();
    for (const auto& m : moves) {
        TRegion before = fixedParts();
        // Those pixels move with the chart.
        before = before.United([&] {
            TRegion moved = before;
            moved.Offset(int(8 * (p->FTimeChartStart - m.Start)), p->FTimeChartTop - m.Top);
            return moved;
        }());
        painted.clear();
        p->SetTimeChartStart(m.Start);
        p->SetTimeChartTop(m.Top);
        p->TimeChart->Update();
        ASSERT_EQ(painted.size(), 1u);
        const TRegion allowed = TRegion::FromRect(m.Strip).United(before).United(fixedParts());
        EXPECT_TRUE(painted[0].Subtracted(allowed).IsEmpty())
            << "painted " << painted[0].Bounds() << " beyond " << painted[0].Subtracted(allowed).Bounds();
        TBitmap moved;
        moved.Assign(p->TimeChart->BackBuffer());
        paintAll();
        for (int y = 0; y < 540; ++y)
            for (int x = 0; x < 800; ++x)
                ASSERT_EQ(moved.Canvas()->Pixels(x, y), p->TimeChart->BackBuffer()->Canvas()->Pixels(x, y))
                    << x << "," << y << " after moving to " << m.Start - D0 << ", " << m.Top;
    }
}
