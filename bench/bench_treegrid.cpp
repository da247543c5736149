// Node store of the tree grid on a million rows: adding, walking, selecting,
// sorting by a key in the data area and clearing, each timed over several
// runs (medians printed), and the peak memory of the process.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "components/TreeGrid/StringTreeGrid.h"

namespace {
constexpr Cardinal NodeCount = 1000000;
constexpr int DataSize = 128;
constexpr int Runs = 5;

struct TBenchRow {
    std::uint32_t Key;
    char Rest[DataSize - sizeof(std::uint32_t)];
};
static_assert(sizeof(TBenchRow) == DataSize);

using TClock = std::chrono::steady_clock;

double Milliseconds(TClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}
}  // namespace

int main()
{
    std::vector<double> adding, walking, selecting, sorting, clearing;
    std::uint64_t checksum = 0;
    for (int run = 0; run < Runs; ++run) {
        TStringTreeGrid* tree = Create<TStringTreeGrid>(nullptr);
        tree->SetNodeDataSize(DataSize);
        TTGSelectionOptions selection = tree->TreeOptions()->SelectionOptions();
        selection.Include(toMultiSelect);
        tree->TreeOptions()->SetSelectionOptions(selection);
        tree->OnCompareNodes = [](TBaseTreeGrid* t, TGridNode* a, TGridNode* b, TColumnIndex, int& result) {
            const std::uint32_t x = t->GetNodeData<TBenchRow>(a)->Key;
            const std::uint32_t y = t->GetNodeData<TBenchRow>(b)->Key;
            result = x < y ? -1 : (x > y ? 1 : 0);
        };

        auto start = TClock::now();
        tree->BeginUpdate();
        std::uint32_t seed = 12345;
        for (Cardinal i = 0; i < NodeCount; ++i) {
            TGridNode* node = tree->AddChild(nullptr);
            seed = seed * 1664525u + 1013904223u;
            tree->GetNodeData<TBenchRow>(node)->Key = seed >> 8;
        }
        tree->EndUpdate();
        adding.push_back(Milliseconds(start));

        start = TClock::now();
        Cardinal visited = 0;
        for (TGridNode* node = tree->GetFirst(); node; node = tree->GetNext(node))
            ++visited;
        walking.push_back(Milliseconds(start));
        checksum += visited;

        start = TClock::now();
        bool take = true;
        for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node)) {
            if (take)
                tree->SetSelected(node, true);
            take = !take;
        }
        selecting.push_back(Milliseconds(start));
        checksum += Cardinal(tree->SelectedCount());

        start = TClock::now();
        tree->Sort(nullptr, 0, sdAscending);
        sorting.push_back(Milliseconds(start));
        std::uint32_t last = 0;
        for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node)) {
            const std::uint32_t key = tree->GetNodeData<TBenchRow>(node)->Key;
            if (key < last) {
                std::fprintf(stderr, "sort order broken\n");
                return 1;
            }
            last = key;
        }

        start = TClock::now();
        tree->Clear();
        clearing.push_back(Milliseconds(start));
        checksum += tree->RootNodeCount();
        tree->Free();
    }

    const double add = Median(adding);
    const double walk = Median(walking);
    const double sort = Median(sorting);
    const double clear = Median(clearing);
    const long peak = PeakMegabytes();
    std::printf("tree grid, %u root nodes with %d-byte data, median of %d runs\n", NodeCount, DataSize, Runs);
    std::printf("  adding     %8.1f ms  (goal < 150 ms)  %s\n", add, add < 150 ? "ok" : "MISSED");
    std::printf("  walking    %8.1f ms  (goal <  15 ms)  %s\n", walk, walk < 15 ? "ok" : "MISSED");
    std::printf("  selecting  %8.1f ms  (every second node)\n", Median(selecting));
    std::printf("  sorting    %8.1f ms  (goal < 600 ms)  %s\n", sort, sort < 600 ? "ok" : "MISSED");
    std::printf("  clearing   %8.1f ms  (goal < 150 ms)  %s\n", clear, clear < 150 ? "ok" : "MISSED");
    std::printf("  peak memory %7ld MB  (goal < 300 MB)  %s\n", peak, peak < 300 ? "ok" : "MISSED");
    std::printf("  (checksum %llu)\n", static_cast<unsigned long long>(checksum));
    return 0;
}
