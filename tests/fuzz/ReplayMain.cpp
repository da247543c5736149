// Runs a fuzz target without libFuzzer: every file of the seed corpus, then
// bounded pseudo-random mutations of them, so that a plain test build keeps
// the targets compiling and catches the crashes they were written for.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    std::vector<std::vector<uint8_t>> seeds;
    if (argc > 1 && std::filesystem::is_directory(argv[1])) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    seeds.emplace_back();

    size_t runs = 0;
    for (const auto& s : seeds) {
        LLVMFuzzerTestOneInput(s.data(), s.size());
        ++runs;
    }

    std::mt19937 rng(12345);
    for (int i = 0; i < 4000; ++i) {
        std::vector<uint8_t> input = seeds[rng() % seeds.size()];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const unsigned op = rng() % 3;
            if (op == 0 || input.empty()) {
                input.insert(input.begin() + static_cast<long>(input.empty() ? 0 : rng() % input.size()),
                             static_cast<uint8_t>(rng()));
            } else if (op == 1) {
                input[rng() % input.size()] = static_cast<uint8_t>(rng());
            } else {
                input.erase(input.begin() + static_cast<long>(rng() % input.size()));
            }
        }
        if (input.size() > 65536)
            input.resize(65536);
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
    }
    std::printf("replayed %zu inputs\n", runs);
    return 0;
}
