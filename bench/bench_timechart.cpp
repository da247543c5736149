// The timechart's bars on the plan of 100,000 tasks on 500 positions, in a
// chart body of 1920 x 1080 (20 rows of 54 px, 96 days of 20 px, about 1,200
// bars): finding the bars of the window through the row index, keeping the
// index current through 10,000 start changes, and putting the cached bar
// pictures on the back buffer. Prints the medians against the goals (0.2 ms,
// 20 ms, 1 ms).
#include "bench/BenchPlans.h"
#include "platform/Graphics.h"
#include "views/BarPictureCache.h"
#include "views/CanvasPanel.h"
#include "views/ChartRowIndex.h"
#include "views/PlannerForm.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int ChartWidth = 1920;
constexpr int ChartHeight = 1080;
// Pixels per day: the window shows about 1,200 bars of the plan.
constexpr int DayWidth = 20;

class TBenchPlanner : public TPlannerForm {
public:
    explicit TBenchPlanner(TComponent* AOwner) : TPlannerForm(AOwner)
    {
        SetBounds(0, 0, ChartWidth + 40, ChartHeight + 200);
        CreateViewPanels();
        TimeChart->SetAlign(alNone);
        TimeChart->SetBounds(0, 0, ChartWidth, ChartHeight);
        // The back buffer takes the chart's size when it paints; nothing
        // paints here, and one made while the panels were laid out is
        // smaller than the chart.
        TimeChart->Canvas();
        TimeChart->BackBuffer()->SetSize(ChartWidth, ChartHeight);
    }
};

std::unique_ptr<TBenchPlanner, TFormFreer>& Planner()
{
    static std::unique_ptr<TBenchPlanner, TFormFreer> planner = [] {
        auto p = MakePlannedForm<TBenchPlanner>(DayWidth);
        p->FTimeChartStart = std::trunc(Date()) - 40;
        p->FTimeChartTop = 0;
        // Every end worked out and every picture drawn once.
        p->RowIndex();
        TCanvas* c = p->TimeChart->Canvas();
        if (c->ClipRect() != TRect(0, 0, ChartWidth, ChartHeight)) {
            std::fprintf(stderr, "bench_timechart: the chart's canvas is not %d x %d\n", ChartWidth, ChartHeight);
            std::exit(1);
        }
        p->DrawBars(c, false, p->GetTimeChartFontSize(), p->FFontname, 0, 0, p->RowSet(), ChartWidth,
            p->TimeChartRowHeight(0), 0, p->GetTimeChartEnd(), p->FTimeChartStart);
        return p;
    }();
    return planner;
}

std::vector<double> FindTimes, IndexTimes, PutTimes;
std::size_t BarCount = 0;

void BM_FindBars(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    std::vector<TNodeData*> tasks, absences;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        for (TWhichTable table : {tbExclude, tbTable})
            p.FindBars(table, TRect(0, 0, ChartWidth, ChartHeight), 0, false, ChartWidth, p.TimeChartRowHeight(0),
                p.GetTimeChartEnd(), p.FTimeChartStart, table == tbTable ? tasks : absences);
        FindTimes.push_back(MsSince(t0));
        benchmark::DoNotOptimize(tasks.data());
    }
    BarCount = tasks.size() + absences.size();
    state.counters["bars"] = double(BarCount);
}
BENCHMARK(BM_FindBars)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_IndexThroughStartChanges(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    std::vector<TNodeData*> rows;
    p.ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) { rows.push_back(Row); });
    std::mt19937 random(11);
    for (auto _ : state) {
        state.PauseTiming();
        // 10,000 tasks move by up to 20 days; their ends are worked out
        // with the move (as the funnel's callers see them).
        for (int i = 0; i < 10000; ++i) {
            TNodeData* row = rows[random() % rows.size()];
            p.DoSetStartOf(row, cmIgnoreNet, p.GetStartOf(row) + int(random() % 41) - 20);
            p.GetEndOf(row);
        }
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        TChartRowIndex& index = p.RowIndex();
        IndexTimes.push_back(MsSince(t0));
        benchmark::DoNotOptimize(&index);
    }
}
BENCHMARK(BM_IndexThroughStartChanges)->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_PutCachedPictures(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    TCanvas* c = p.TimeChart->Canvas();
    // Pictures drawn for the window as it stands now; the timed passes only
    // put them on the back buffer.
    p.DrawBars(c, false, p.GetTimeChartFontSize(), p.FFontname, 0, 0, p.RowSet(), ChartWidth,
        p.TimeChartRowHeight(0), 0, p.GetTimeChartEnd(), p.FTimeChartStart);
    for (auto _ : state) {
        p.redrawcount = 0;
        const auto t0 = std::chrono::steady_clock::now();
        p.DrawBars(c, false, p.GetTimeChartFontSize(), p.FFontname, 0, 0, p.RowSet(), ChartWidth,
            p.TimeChartRowHeight(0), 0, p.GetTimeChartEnd(), p.FTimeChartStart);
        PutTimes.push_back(MsSince(t0));
        if (p.redrawcount != 0)
            state.SkipWithError("a picture was drawn again");
    }
    state.counters["pictures"] = double(p.PictureCache().Count());
}
BENCHMARK(BM_PutCachedPictures)->Unit(benchmark::kMicrosecond)->Iterations(200);

// The same pictures copied to the same places straight through QPainter:
// what the copies alone cost on this machine.
std::vector<double> RawTimes;
void BM_SameCopiesThroughQPainter(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    std::vector<TNodeData*> rows;
    std::vector<TRect> rects;
    p.FindBars(tbTable, TRect(0, 0, ChartWidth, ChartHeight), 0, false, ChartWidth, p.TimeChartRowHeight(0),
        p.GetTimeChartEnd(), p.FTimeChartStart, rows, &rects);
    std::vector<QImage> images;
    for (TNodeData* row : rows)
        images.push_back(row->Bitmap->Image());
    QImage target(ChartWidth, ChartHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        QPainter painter(&target);
        for (std::size_t i = 0; i < rows.size(); ++i)
            painter.drawImage(rects[i].Left, rects[i].Top, images[i]);
        painter.end();
        RawTimes.push_back(MsSince(t0));
    }
}
BENCHMARK(BM_SameCopiesThroughQPainter)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("bars of a %d x %d window found (%zu bars): median %.3f ms (goal under 0.2 ms)\n", ChartWidth,
        ChartHeight, BarCount, Median(FindTimes));
    std::printf("index kept current through 10,000 start changes: median %.2f ms (goal under 20 ms)\n",
        Median(IndexTimes));
    std::printf("%zu cached pictures put on the back buffer: median %.3f ms (goal under 1 ms); the same copies "
                "straight through QPainter: median %.3f ms\n",
        BarCount, Median(PutTimes), Median(RawTimes));
    Planner().reset();
    return 0;
}
