// A document of a 100,000-row plan holds a section per row. Writes 100,000
// sections of seven keys through WriteString, reads every value back through
// ReadString, and prints the median time of each direction (goal: under
// 300 ms each). Also times the text round trip a save and a load make.
#include "document/IniFiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Rows = 100000;
const char* const Keys[] = {"Name", "Start", "Ende", "Dauer", "Position", "Status", "Bemerkung"};

struct Names {
    std::vector<String> sections;
    std::vector<String> values;
    Names()
    {
        for (int i = 0; i < Rows; ++i) {
            sections.push_back("Row" + std::to_string(i));
            values.push_back(std::to_string(i * 7 % 100003) + ",5");
        }
    }
};

const Names& TheNames()
{
    static const Names names;
    return names;
}

void WriteAll(TMemIniFile& ini)
{
    const Names& n = TheNames();
    for (int i = 0; i < Rows; ++i)
        for (const char* key : Keys)
            ini.WriteString(n.sections[std::size_t(i)], key, n.values[std::size_t(i)]);
}

std::size_t ReadAll(const TMemIniFile& ini)
{
    const Names& n = TheNames();
    std::size_t total = 0;
    const String none;
    for (int i = 0; i < Rows; ++i)
        for (const char* key : Keys)
            total += ini.ReadString(n.sections[std::size_t(i)], key, none).size();
    return total;
}

void BM_WriteString(benchmark::State& state)
{
    for (auto _ : state) {
        TMemIniFile ini;
        WriteAll(ini);
        benchmark::DoNotOptimize(ini.SectionCount());
    }
}

void BM_ReadString(benchmark::State& state)
{
    TMemIniFile ini;
    WriteAll(ini);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAll(ini));
}

BENCHMARK(BM_WriteString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadString)->Unit(benchmark::kMillisecond);

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

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    TheNames();
    const double write = MedianMs([] {
        TMemIniFile ini;
        WriteAll(ini);
    });
    TMemIniFile ini;
    WriteAll(ini);
    std::size_t sink = 0;
    const double read = MedianMs([&] { sink += ReadAll(ini); });
    String text;
    const double getText = MedianMs([&] { text = ini.GetText(); });
    TMemIniFile parsed;
    const double setText = MedianMs([&] { parsed.SetText(text); });
    const bool same = parsed.GetText() == text && ReadAll(parsed) == ReadAll(ini);
    std::printf("%d sections x 7 keys, median of 5: WriteString %.0f ms, ReadString %.0f ms (goal 300 each)\n", Rows,
                write, read);
    std::printf("text of %.1f MB: GetText %.0f ms, SetText %.0f ms, round trip %s\n",
                double(text.size()) / 1048576.0, getText, setText, same ? "equal" : "DIFFERS");

    // Many sections of one name: each new one is linked to the last of the
    // same name, which must not cost a walk along all of them.
    String empties;
    for (int i = 0; i < 200000; ++i)
        empties += "[]\r\n";
    TMemIniFile repeated;
    const double sameName = MedianMs([&] { repeated.SetText(empties); });
    std::printf("200,000 sections of one name: SetText median %.0f ms (linear; a walk per section took 46 s)\n",
                sameName);
    return sink == 0 || !same || repeated.SectionCount() != 200000;
}
