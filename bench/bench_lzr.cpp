// Compression and decompression speed on a document-sized text (about 20 MB
// of sections with short key=value lines), next to a plain memcpy of the
// same buffer. Prints MB/s medians of several runs.
#include "document/LZR.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string& DocumentText()
{
    static const std::string text = [] {
        static const char* const keys[] = {"Name", "Start", "Ende", "Dauer", "Position", "Status", "Bemerkung"};
        static const char* const words[] = {"Montage", "Planung", "Halle 3", "Abnahme", "Lieferung",
                                            "Prüfung", "Nacharbeit", "Werk Süd", "Inbetriebnahme", "Kunde"};
        std::mt19937 rng(1);
        std::string t;
        t.reserve(21u << 20);
        for (int row = 0; t.size() < (20u << 20); ++row) {
            t += "[Row" + std::to_string(row) + "]\r\n";
            for (const char* key : keys) {
                t += key;
                t += '=';
                switch (rng() % 4) {
                case 0: t += std::to_string(rng() % 100000); break;
                case 1:
                    t += std::to_string(1 + rng() % 28) + "." + std::to_string(1 + rng() % 12) + ".20" +
                         std::to_string(20 + rng() % 10);
                    break;
                case 2: t += std::to_string(rng() % 480) + "," + std::to_string(rng() % 100); break;
                default:
                    t += words[rng() % 10];
                    t += ' ';
                    t += words[rng() % 10];
                    break;
                }
                t += "\r\n";
            }
            t += "\r\n";
        }
        return t;
    }();
    return text;
}

const std::string& PackedText()
{
    static const std::string packed = [] {
        TLZR lzr;
        std::string out;
        lzr.Compress(DocumentText().data(), DocumentText().size(), out);
        return out;
    }();
    return packed;
}

void BM_Compress(benchmark::State& state)
{
    TLZR lzr;
    const std::string& text = DocumentText();
    std::string out;
    for (auto _ : state) {
        out.clear();
        benchmark::DoNotOptimize(lzr.Compress(text.data(), text.size(), out));
    }
    state.SetBytesProcessed(Int64(state.iterations()) * Int64(text.size()));
}

void BM_DeCompress(benchmark::State& state)
{
    TLZR lzr;
    const std::string& packed = PackedText();
    std::string out;
    out.reserve(DocumentText().size());
    for (auto _ : state) {
        out.clear();
        benchmark::DoNotOptimize(lzr.DeCompress(packed.data(), packed.size(), out));
    }
    state.SetBytesProcessed(Int64(state.iterations()) * Int64(DocumentText().size()));
}

void BM_Memcpy(benchmark::State& state)
{
    const std::string& text = DocumentText();
    std::vector<char> out(text.size());
    for (auto _ : state) {
        std::memcpy(out.data(), text.data(), text.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(Int64(state.iterations()) * Int64(text.size()));
}

BENCHMARK(BM_Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeCompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

template <class F>
double MedianMBs(F work, std::size_t bytes, int runs = 7)
{
    std::vector<double> rates;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0;
        rates.push_back(double(bytes) / (1024.0 * 1024.0) / dt.count());
    }
    std::sort(rates.begin(), rates.end());
    return rates[rates.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const std::string& text = DocumentText();
    const std::string& packed = PackedText();
    TLZR lzr;
    std::string out;
    out.reserve(text.size());
    std::vector<char> copy(text.size());
    const double compress = MedianMBs(
        [&] {
            out.clear();
            lzr.Compress(text.data(), text.size(), out);
        },
        text.size());
    const double decompress = MedianMBs(
        [&] {
            out.clear();
            lzr.DeCompress(packed.data(), packed.size(), out);
        },
        text.size());
    const double memcpyRate = MedianMBs(
        [&] {
            std::memcpy(copy.data(), text.data(), text.size());
            benchmark::ClobberMemory();
        },
        text.size());
    std::printf("text %.1f MB, packed %.1f MB (%.1f %%)\n", double(text.size()) / 1048576.0,
                double(packed.size()) / 1048576.0, 100.0 * double(packed.size()) / double(text.size()));
    std::printf("median of 7: compress %.0f MB/s (goal 150), decompress %.0f MB/s (goal 400), memcpy %.0f MB/s\n",
                compress, decompress, memcpyRate);
    return 0;
}
