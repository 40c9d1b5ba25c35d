// Splitting 4 MiB answers with CR LF and with LF line ends: the real answers
// of JPRS in tests/data (their CP932 forms), repeated. SplitLines makes a
// string per line (files, history); TLines::FromText, which the legs use,
// keeps the text and a span per line. The copy of the text that FromText
// takes over is made outside the timing.

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

void RunFromText(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = text;
        state.ResumeTiming();
        auto lines = torvane::query::TLines::FromText(std::move(copy));
        benchmark::DoNotOptimize(lines.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

const std::string& CrLfAnswer() {
    static const std::string text = Answer("google.jp_utf8_2015.cp932");
    return text;
}
const std::string& LfAnswer() {
    static const std::string text = Answer("u-tokyo.ac.jp_utf8_2026.cp932");
    return text;
}

void BM_SplitLines_CrLf(benchmark::State& s) { RunSplitLines(s, CrLfAnswer()); }
void BM_SplitLines_Lf(benchmark::State& s) { RunSplitLines(s, LfAnswer()); }
void BM_FromText_CrLf(benchmark::State& s) { RunFromText(s, CrLfAnswer()); }
void BM_FromText_Lf(benchmark::State& s) { RunFromText(s, LfAnswer()); }

BENCHMARK(BM_SplitLines_CrLf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitLines_Lf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromText_CrLf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromText_Lf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
