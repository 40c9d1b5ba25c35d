// build/bench/summary/summary_bench: what the summary adds to a run whose
// answer is 10 MiB (a real ISO-2022-JP answer of JPRS repeated), next to the
// decoding and line splitting every run does for that answer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>

#include "encoding/answer_utf8.h"
#include "query/text_lines.h"
#include "summary/port43_facts.h"
#include "summary/summarize.h"
#include "summary/summary_lines.h"

namespace {

using namespace torvane;

std::string LargeAnswer() {
    std::ifstream in(TORVANE_BENCH_ANSWER, std::ios::binary);
    const std::string one{std::istreambuf_iterator<char>(in), {}};
    std::string large;
    while (large.size() < 10 * 1024 * 1024) large += one;
    large.resize(10 * 1024 * 1024);
    return large;
}

void DecodeAndSplit10MiB(benchmark::State& state) {
    const std::string raw = LargeAnswer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            query::TLines::FromText(encoding::DecodeAnswer(raw, "whois.jprs.jp")));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * raw.size()));
}
BENCHMARK(DecodeAndSplit10MiB)->Unit(benchmark::kMillisecond);

void Summary10MiB(benchmark::State& state) {
    const query::TLines lines =
        query::TLines::FromText(encoding::DecodeAnswer(LargeAnswer(), "whois.jprs.jp"));
    const auto now = std::chrono::sys_seconds{std::chrono::sys_days{std::chrono::year{2026} / 12 / 9}};
    for (auto _ : state) {
        const summary::AnswerFacts answer{summary::Source{"whois.jprs.jp", summary::Origin::port43},
                                          summary::ReadPort43Facts(lines, "jprs.jp")};
        const summary::Summary facts =
            summary::Summarize(summary::Subject::domain, std::span(&answer, 1));
        benchmark::DoNotOptimize(summary::SummaryLines(facts, now));
    }
}
BENCHMARK(Summary10MiB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
