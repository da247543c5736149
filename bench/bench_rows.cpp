// A plan of 100,000 tasks on 500 positions: adds every row with all six
// cells set (no network, each cell validated as it is set), walks them all
// with ForEach and hands out 100,000 fresh IDs, and prints the median of
// each (goals: adding under 1.5 s, walking under 20 ms, IDs under 20 ms).
#include "document/ScheduleDocument.h"
#include "platform/SysUtils.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 100000;
constexpr int Positions = 500;

struct TDocDeleter {
    void operator()(TScheduleDocument* d) const { d->Free(); }
};
using TDocPtr = std::unique_ptr<TScheduleDocument, TDocDeleter>;

struct TCells {
    std::vector<String> positions, starts, ends, lengths, comments;
    TCells()
    {
        const TDateTime base = Date();
        for (int i = 0; i < Positions; ++i)
            positions.push_back("Machine " + std::to_string(i));
        for (int i = 0; i < Rows; ++i) {
            const TDateTime start = base + (i % 300) - 150;
            const int days = 1 + i % 5;
            starts.push_back(FormatDateTime("ddddd", start));
            ends.push_back(FormatDateTime("ddddd", start + days - 1));
            lengths.push_back(std::to_string(days));
            comments.push_back("Order " + std::to_string(i));
        }
    }
};

const TCells& Cells()
{
    static const TCells cells;
    return cells;
}

TDocPtr NewPlan()
{
    TDocPtr doc(Create<TScheduleDocument>(nullptr));
    doc->CreateBasicTable(tbTable);
    TStringList* list = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    list->BeginUpdate();
    list->Clear();
    for (const String& p : Cells().positions) {
        TCommaText entry;
        entry.Add(p);
        list->Add(entry.AsString());
    }
    list->EndUpdate();
    doc->ApplyPositionGroup();
    return doc;
}

void AddRows(TScheduleDocument& doc)
{
    const TCells& c = Cells();
    const int pos = doc.GetConnection(tbTable, cnPosition), start = doc.GetConnection(tbTable, cnStart),
              end = doc.GetConnection(tbTable, cnEnd), length = doc.GetConnection(tbTable, cnLength),
              state = doc.GetConnection(tbTable, cnColor), comment = doc.GetConnection(tbTable, cnTextCenterMiddle);
    for (int i = 0; i < Rows; ++i) {
        TNodeData* row = doc.AddNode(doc.GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
        doc.DoSetData(row, pos, c.positions[std::size_t(i % Positions)], cmIgnoreNet);
        doc.DoSetData(row, start, c.starts[std::size_t(i)], cmIgnoreNet);
        doc.DoSetData(row, end, c.ends[std::size_t(i)], cmIgnoreNet);
        doc.DoSetData(row, length, c.lengths[std::size_t(i)], cmIgnoreNet);
        doc.DoSetDataIndex(row, state, cmIgnoreNet, 1 + i % 2);
        doc.DoSetData(row, comment, c.comments[std::size_t(i)], cmIgnoreNet);
    }
}

template <class F>
double MedianMs(F work, int runs = 5)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void BM_AddRows(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TDocPtr doc = NewPlan();
        state.ResumeTiming();
        AddRows(*doc);
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddRows)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    Cells();
    std::vector<double> adds;
    for (int run = 0; run < 5; ++run) {
        TDocPtr doc = NewPlan();
        const auto t0 = std::chrono::steady_clock::now();
        AddRows(*doc);
        adds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(adds.begin(), adds.end());

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
        Rows, Positions, adds[adds.size() / 2], walk, Rows, ids, valid);
    return valid == Rows && lastID > Rows ? 0 : 1;
}
