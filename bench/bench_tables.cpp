// The task table of the plan of 100,000 tasks on 500 positions: sorting it
// by a date column (each sort toggles the direction), and selecting all its
// rows and clearing the selection again, each change reaching the table's
// change handler as the user's commands do. Prints the medians against the
// goals (200 ms, 50 ms, 50 ms).
#include "bench/BenchPlans.h"
#include "views/PlannerForm.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

class TBenchPlanner : public TPlannerForm {
public:
    explicit TBenchPlanner(TComponent* AOwner) : TPlannerForm(AOwner)
    {
        SetBounds(0, 0, 1600, 1000);
        CreateViewPanels();
    }
};

std::unique_ptr<TBenchPlanner, TFormFreer>& Planner()
{
    static std::unique_ptr<TBenchPlanner, TFormFreer> planner = MakePlannedForm<TBenchPlanner>(20);
    return planner;
}

std::vector<double> SortTimes, SelectTimes, ClearTimes;
std::size_t Selected = 0;

void BM_SortByDate(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    p.FActiveColumn = p.GetConnection(tbTable, cnStart);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        p.ActionSortExecute();
        SortTimes.push_back(MsSince(t0));
    }
}
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SelectAllAndClear(benchmark::State& state)
{
    TBenchPlanner& p = *Planner();
    TStringTreeGrid* tree = p.StringTreeGrid1;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        p.ActionSelectAllExecute();
        SelectTimes.push_back(MsSince(t0));
        Selected = std::size_t(p.FSelectedList[tbTable].Count());
        t0 = std::chrono::steady_clock::now();
        tree->BeginUpdate();
        tree->ClearSelection();
        tree->EndUpdate();
        ClearTimes.push_back(MsSince(t0));
    }
}
BENCHMARK(BM_SelectAllAndClear)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("%d tasks sorted by a date column: median %.1f ms (goal under 200 ms)\n", Rows, Median(SortTimes));
    std::printf("select all (%zu rows): median %.1f ms (goal under 50 ms)\n", Selected, Median(SelectTimes));
    std::printf("selection cleared: median %.1f ms (goal under 50 ms)\n", Median(ClearTimes));
    Planner().reset();
    return 0;
}
