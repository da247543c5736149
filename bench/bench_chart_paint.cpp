// The timechart's paints on the plan of 100,000 tasks on 500 positions, a
// chart body of 1920 x 1080 (20 rows of 54 px, 96 days of 20 px, about 1,200
// bars) and an overview strip of 1920 x 500: a full frame from cached
// pictures, the first frame after a zoom step, each tick of a smooth scroll
// over 30 days, the overview after a slider move and redrawn whole. Prints
// the medians against the goals (8 ms, 40 ms, 3 ms, 1 ms, 60 ms).
#include "bench/BenchChartPlanner.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "views/CanvasPanel.h"
#include "views/PlannerForm.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::unique_ptr<TBenchPlanner, TFormFreer>& Planner()
{
    static std::unique_ptr<TBenchPlanner, TFormFreer> planner = MakeBenchPlanner(false);
    return planner;
}

void PaintWhole(TCanvasPanel* Panel)
{
    Panel->Invalidate();
    Panel->Update();
}

// The overview's paint into its back buffer (the strip is not on a screen
// here, so no paint message would reach it).
void PaintOverview(TBenchPlanner& P)
{
    TCanvas* c = P.SmallTimeChart->Canvas();
    P.SmallTimeChart->BackBuffer()->SetSize(ChartWidth, OverviewHeight);
    c->SelectClipRgn(nullptr);
    P.SmallTimeChartPaint();
}

std::vector<double> FrameTimes, ZoomTimes, TickTimes, SliderTimes, OverviewTimes;
int Bars = 0, Redrawn = 0, Ticks = 0;

void BM_FullFrameFromCachedPictures(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    PaintWhole(p.TimeChart);
    for (auto _ : state) {
        p.redrawcount = 0;
        const auto t0 = std::chrono::steady_clock::now();
        PaintWhole(p.TimeChart);
        FrameTimes.push_back(MsSince(t0));
        if (p.redrawcount != 0)
            state.SkipWithError("a picture was drawn again");
    }
    std::vector<TNodeData*> tasks, absences;
    for (TWhichTable table : {tbExclude, tbTable})
        p.FindBars(table, TRect(0, 0, ChartWidth, ChartHeight), 0, false, ChartWidth, p.TimeChartRowHeight(0),
            p.GetTimeChartEnd(), p.FTimeChartStart, table == tbTable ? tasks : absences);
    Bars = int(tasks.size() + absences.size());
    state.counters["bars"] = Bars;
}
BENCHMARK(BM_FullFrameFromCachedPictures)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_FirstFrameAfterAZoomStep(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    int zoom = 100;
    for (auto _ : state) {
        // A zoom step and the frame that shows it (every visible picture
        // drawn anew).
        zoom = zoom == 100 ? 110 : 100;
        p.redrawcount = 0;
        const auto t0 = std::chrono::steady_clock::now();
        p.SetZoom(zoom);
        p.TimeChart->Update();
        ZoomTimes.push_back(MsSince(t0));
        Redrawn = p.redrawcount;
    }
    p.SetZoom(100);
    PaintWhole(p.TimeChart);
    state.counters["redrawn"] = Redrawn;
}
BENCHMARK(BM_FirstFrameAfterAZoomStep)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SmoothScrollTick(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    const TDateTime home = p.FTimeChartStart;
    for (auto _ : state) {
        // Over 30 days and back: each tick moves the pixels and paints the
        // uncovered strip, the labels, the caption rows and the overview's
        // slider, as far as the tick invalidated them.
        const TDateTime target = p.FTimeChartStart == home ? home + 30 : home;
        p.SetTimeChartDestination(p.FTimeChartTop, target);
        while (p.SliderTimer->Enabled()) {
            const auto t0 = std::chrono::steady_clock::now();
            p.SliderTimerTimer(nullptr);
            p.TimeChart->Update();
            p.TimeChartCaption->Update();
            p.SmallTimeChart->Update();
            TickTimes.push_back(MsSince(t0));
            ++Ticks;
        }
    }
}
BENCHMARK(BM_SmoothScrollTick)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_OverviewAfterASliderMove(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    PaintOverview(p);
    const TDateTime home = p.FTimeChartStart;
    int step = 0;
    for (auto _ : state) {
        p.FTimeChartStart = home + (++step % 2 ? 7 : 0);
        p.redrawcount = 0;
        const auto t0 = std::chrono::steady_clock::now();
        PaintOverview(p);
        SliderTimes.push_back(MsSince(t0));
        if (p.redrawcount != 0)
            state.SkipWithError("the overview was drawn again");
    }
    p.FTimeChartStart = home;
}
BENCHMARK(BM_OverviewAfterASliderMove)->Unit(benchmark::kMicrosecond)->Iterations(50);

void BM_OverviewRedrawnWhole(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        p.InvalidateOverview();
        PaintOverview(p);
        OverviewTimes.push_back(MsSince(t0));
    }
}
BENCHMARK(BM_OverviewRedrawnWhole)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv)
{
    RunBenchmarks(argc, argv);
    std::printf("full chart frame of %d x %d from cached pictures (%d bars): median %.2f ms (goal under 8 ms)\n",
        ChartWidth, ChartHeight, Bars, Median(FrameTimes));
    std::printf("first frame after a zoom step (%d pictures drawn): median %.2f ms (goal under 40 ms)\n", Redrawn,
        Median(ZoomTimes));
    std::printf("smooth scroll over 30 days (%d ticks): median %.2f ms a tick (goal under 3 ms)\n", Ticks,
        Median(TickTimes));
    std::printf("overview %d x %d after a slider move: median %.3f ms (goal under 1 ms); redrawn whole: median "
                "%.2f ms (goal under 60 ms)\n",
        ChartWidth, OverviewHeight, Median(SliderTimes), Median(OverviewTimes));
    Planner().reset();
    Application->Shutdown();
    return 0;
}
