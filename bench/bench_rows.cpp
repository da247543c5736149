// A plan of 100,000 tasks on 500 positions: adds every row with all six
// cells set (no network, each cell validated as it is set), walks them all
// with ForEach and hands out 100,000 fresh IDs, and prints the median of
// each (goals: adding under 1.5 s, walking under 20 ms, IDs under 20 ms).
#include "bench/BenchPlans.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

void AddRows(TScheduleDocument& doc)
{
    AddPlanRows(doc, cmIgnoreNet);
}

template <class F>
double MedianMs(F work, int runs = 5)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        times.push_back(MsSince(t0));
    }
    return Median(times);
}

void BM_AddRows(benchmark::State& state)
{
    TimeOnFreshPlans(state, [] { return NewPlan(); }, AddRows);
}
BENCHMARK(BM_AddRows)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    PlanCells();
    std::vector<double> adds;
    for (int run = 0; run < 5; ++run) {
        TDocPtr doc = NewPlan();
        const auto t0 = std::chrono::steady_clock::now();
        AddRows(*doc);
        adds.push_back(MsSince(t0));
    }

    TDocPtr doc = NewPlan();
    AddRows(*doc);
    long valid = 0;
    const double walk = MedianMs([&] {
        valid = 0;
        doc->ForEach(feAll, 0, [&valid](TNodeData* row, NativeInt) { valid += row->nodeValid ? 1 : 0; });
    });
    int lastID = 0;
    const double ids = MedianMs([&] {
        for (int i = 0; i < Rows; ++i)
            lastID = doc->GetFreeID();
    });
    std::printf("%d rows on %d positions, median of 5: adding %.0f ms (goal 1500), ForEach %.1f ms (goal 20), "
                "%d x GetFreeID %.1f ms (goal 20); %ld valid rows\n",
        Rows, Positions, Median(adds), walk, Rows, ids, valid);
    return valid == Rows && lastID > Rows ? 0 : 1;
}
