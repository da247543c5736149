// The mouse on the timechart of the plan of 100,000 tasks on 500 positions,
// a chart body of 1920 x 1080: each move through the chart's move handler,
// followed by the repaint it causes. Dragging one bar over 120 moves,
// dragging 200 selected bars, and a rubber band growing over about 2,000
// bars. Prints the median and the slowest move of each against the goal of
// 16 ms a move (60 frames a second).
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

constexpr int Moves = 120;

std::unique_ptr<TBenchPlanner, TFormFreer>& Planner()
{
    static std::unique_ptr<TBenchPlanner, TFormFreer> planner = MakeBenchPlanner(true);
    return planner;
}

// One move and the paint it leaves to do, timed.
void TimedMove(TBenchPlanner& P, TShiftState Shift, int X, int Y, std::vector<double>& Times)
{
    const auto t0 = std::chrono::steady_clock::now();
    P.TimeChartMouseMove(Shift, X, Y);
    P.TimeChart->Update();
    Times.push_back(MsSince(t0));
}

// The visible bars of the task table in the window, in tree order.
std::vector<TNodeData*> BarsIn(TBenchPlanner& P, const TRect& Window, std::vector<TRect>* Rects = nullptr)
{
    std::vector<TNodeData*> rows;
    P.FindBars(tbTable, Window, P.FTimeChartTop, false, ChartWidth, P.TimeChartRowHeight(0), P.GetTimeChartEnd(),
        P.FTimeChartStart, rows, Rects);
    return rows;
}

// Presses on the middle of a bar wide enough to be grabbed (not at its
// ends); false when none is found.
bool PressOnABar(TBenchPlanner& P, const TRect& Window, TPoint& At)
{
    std::vector<TRect> rects;
    BarsIn(P, Window, &rects);
    for (const TRect& r : rects)
        if (r.Width() > 3 * DayWidth && r.Left > 0 && r.Right < ChartWidth && r.Top > 0) {
            At = {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
            P.TimeChartMouseMove(TShiftState{}, At.X, At.Y);
            if (!P.FGrabbedNode)
                continue;
            P.TimeChartMouseDown(mbLeft, TShiftState{ssLeft}, At.X, At.Y);
            if (P.FTimeChartMouseState == msMoveItem)
                return true;
            P.TimeChartMouseUp(mbLeft, TShiftState{}, At.X, At.Y);
        }
    return false;
}

// Back and forth over days and a few rows, towards the chart's middle,
// ending where it started.
TPoint DragPoint(TPoint From, int Move)
{
    const int half = Moves / 2;
    const int step = Move < half ? Move : Moves - Move;
    const int dx = From.X > ChartWidth / 2 ? -7 : 7;
    const int dy = From.Y > ChartHeight / 2 ? -54 : 54;
    return {From.X + step * dx, From.Y + (step / 20) * dy};
}

std::vector<double> OneBarTimes, ManyBarTimes, BandTimes;
int BandSelected = 0;

void BM_DragOneBar(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    for (auto _ : state) {
        TPoint at;
        if (!PressOnABar(p, TRect(0, 0, ChartWidth, ChartHeight), at)) {
            state.SkipWithError("no bar to grab");
            break;
        }
        for (int i = 1; i <= Moves; ++i) {
            const TPoint q = DragPoint(at, i);
            TimedMove(p, TShiftState{ssLeft}, q.X, q.Y, OneBarTimes);
        }
        p.TimeChartMouseUp(mbLeft, TShiftState{}, at.X, at.Y);
    }
}
BENCHMARK(BM_DragOneBar)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Drag200SelectedBars(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    TStringTreeGrid* tree = p.GetTable(tbTable);
    for (auto _ : state) {
        tree->ClearSelection();
        TPoint at;
        if (!PressOnABar(p, TRect(0, 0, ChartWidth, ChartHeight), at)) {
            state.SkipWithError("no bar to grab");
            break;
        }
        // 199 more of the bars in view, the grabbed one among the 200.
        int selected = tree->SelectedCount();
        for (TNodeData* row : BarsIn(p, TRect(0, 0, ChartWidth, ChartHeight))) {
            if (selected >= 200)
                break;
            if (!tree->Selected(row->VNode)) {
                tree->SetSelected(row->VNode, true);
                ++selected;
            }
        }
        state.counters["selected"] = tree->SelectedCount();
        p.TimeChart->Invalidate();
        p.TimeChart->Update();
        for (int i = 1; i <= Moves; ++i) {
            const TPoint q = DragPoint(at, i);
            TimedMove(p, TShiftState{ssLeft}, q.X, q.Y, ManyBarTimes);
        }
        p.TimeChartMouseUp(mbLeft, TShiftState{}, at.X, at.Y);
    }
    tree->ClearSelection();
}
BENCHMARK(BM_Drag200SelectedBars)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RubberBandOver2000Bars(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    // Narrower days: the whole body then holds about 2,000 bars.
    p.SetTimeChartColWidth(13);
    p.TimeChart->Invalidate();
    p.TimeChart->Update();
    TStringTreeGrid* tree = p.GetTable(tbTable);
    for (auto _ : state) {
        tree->ClearSelection();
        p.TimeChartMouseMove(TShiftState{}, 1, 1);
        p.TimeChartMouseDown(mbLeft, TShiftState{ssShift, ssLeft}, 1, 1);
        for (int i = 1; i <= Moves; ++i)
            TimedMove(p, TShiftState{ssShift, ssLeft}, 1 + (ChartWidth - 2) * i / Moves,
                1 + (ChartHeight - 2) * i / Moves, BandTimes);
        BandSelected = tree->SelectedCount();
        p.TimeChartMouseUp(mbLeft, TShiftState{ssShift}, ChartWidth - 1, ChartHeight - 1);
    }
    state.counters["selected"] = BandSelected;
    tree->ClearSelection();
    p.SetTimeChartColWidth(DayWidth);
}
BENCHMARK(BM_RubberBandOver2000Bars)->Unit(benchmark::kMillisecond)->Iterations(3);

double Slowest(const std::vector<double>& V) { return V.empty() ? std::nan("") : *std::max_element(V.begin(), V.end()); }

}  // namespace

int main(int argc, char** argv)
{
    RunBenchmarks(argc, argv);
    std::printf("dragging one bar, %zu moves with their repaint: median %.2f ms, slowest %.2f ms (goal: every move "
                "under 16 ms)\n",
        OneBarTimes.size(), Median(OneBarTimes), Slowest(OneBarTimes));
    std::printf("dragging 200 selected bars, %zu moves with their repaint: median %.2f ms, slowest %.2f ms (goal: "
                "every move under 16 ms)\n",
        ManyBarTimes.size(), Median(ManyBarTimes), Slowest(ManyBarTimes));
    std::printf("rubber band growing over %d bars, %zu moves with their repaint: median %.2f ms, slowest %.2f ms "
                "(goal: every move under 16 ms)\n",
        BandSelected, BandTimes.size(), Median(BandTimes), Slowest(BandTimes));
    Planner().reset();
    Application->Shutdown();
    return 0;
}
