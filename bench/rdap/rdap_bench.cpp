// build/bench/rdap/rdap_bench: the snapshot load as the program does it at
// start, and the rendering of every real answer in tests/data/rdap/answers.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rdap/bootstrap_store.h"
#include "rdap/render.h"

namespace {

namespace fs = std::filesystem;
using namespace torvane::rdap;

std::vector<std::string> Answers() {
    std::vector<std::string> answers;
    for (const auto& entry : fs::directory_iterator(TORVANE_RDAP_ANSWERS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        answers.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return answers;
}

void LoadSnapshot(benchmark::State& state) {
    const fs::path missingUserFolder = fs::temp_directory_path() / "torvane-rdap-bench-none";
    for (auto _ : state) benchmark::DoNotOptimize(LoadBootstrap(TORVANE_RDAP_SNAPSHOT, missingUserFolder));
}
BENCHMARK(LoadSnapshot)->Unit(benchmark::kMillisecond);

void RenderRealAnswers(benchmark::State& state) {
    const std::vector<std::string> answers = Answers();
    std::size_t bytes = 0;
    for (const std::string& answer : answers) bytes += answer.size();
    for (auto _ : state) {
        for (const std::string& answer : answers) benchmark::DoNotOptimize(RenderRdap(answer));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(RenderRealAnswers)->Unit(benchmark::kMicrosecond);

// One 4 MiB answer: a search result of many copies of the real domain answers.
void RenderLargeAnswer(benchmark::State& state) {
    const std::vector<std::string> answers = Answers();
    std::string large = "{\"domainSearchResults\": [";
    while (large.size() < 4 * 1024 * 1024) {
        for (const std::string& answer : answers) {
            if (answer.find("\"domain\"") == std::string::npos) continue;
            large += answer;
            large += ',';
        }
    }
    large.back() = ']';
    large += '}';
    for (auto _ : state) benchmark::DoNotOptimize(RenderRdap(large));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * large.size()));
}
BENCHMARK(RenderLargeAnswer)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
