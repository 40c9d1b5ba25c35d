// SplitLines on 4 MiB answers with CR LF and with LF line ends: the real
// answers of JPRS in tests/data (their CP932 forms), repeated.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "query/text_lines.h"

namespace {

constexpr std::size_t kAnswerSize = 4u << 20;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Answer(const char* name) {
    const std::string one = ReadFile(std::filesystem::path(TORVANE_ANSWERS_DIR) / name);
    if (one.empty()) {
        std::fprintf(stderr, "benchmark answer %s not found\n", name);
        std::exit(1);
    }
    std::string text;
    while (text.size() < kAnswerSize) text += one;
    return text;
}

void RunSplitLines(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto lines = torvane::query::SplitLines(text);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_SplitLines_CrLf(benchmark::State& s) {
    static const std::string text = Answer("google.jp_utf8_2015.cp932");
    RunSplitLines(s, text);
}
void BM_SplitLines_Lf(benchmark::State& s) {
    static const std::string text = Answer("u-tokyo.ac.jp_utf8_2026.cp932");
    RunSplitLines(s, text);
}

BENCHMARK(BM_SplitLines_CrLf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitLines_Lf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
