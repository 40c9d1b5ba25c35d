// Tokenizing and row breaking (W = 80, and 20 once) of a report made of the real WHOIS answers in
// tests/data/view/whois, decoded to UTF-8 as the report holds them and repeated, each under its
// answer header as the query legs write it. Sizes: 100,000 lines, and 1, 10 and 100 MiB to show
// that the cost is linear. Reports bytes/s and lines/s; run with --benchmark_filter to pick one.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "view/rules/line_states.h"
#include "view/rules/rows.h"
#include "view/rules/tokens.h"

namespace {

namespace fs = std::filesystem;
using namespace torvane::view;

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `text` from code `from` to UTF-8; a byte that does not convert becomes "?".
std::string toUtf8(const std::string& text, const char* from) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) fail(std::string("no iconv for ") + from);
    std::string out(text.size() * 3 + 16, '\0');
    char* src = const_cast<char*>(text.data());
    std::size_t srcLeft = text.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1)) break;
        *dst++ = '?';
        --dstLeft;
        do {
            ++src;
            --srcLeft;
        } while (srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
    }
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

// One header line, an empty line and the answer's lines per fixture.
std::vector<std::string> answerBlocks() {
    const fs::path root = TORVANE_WHOIS_DIR;
    std::vector<std::string> blocks;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto relative = fs::relative(entry.path(), root);
        if (!entry.is_regular_file() || entry.path().extension() != ".txt" ||
            relative.begin()->string() == "LICENSES") {
            continue;
        }
        const std::string raw = readFile(entry.path());
        const bool iso2022 = raw.find('\x1B') != std::string::npos;
        std::string block = "{" + relative.begin()->string() + " からの回答}\n\n";
        block += iso2022 ? toUtf8(raw, "ISO-2022-JP") : raw;
        blocks.push_back(block);
    }
    if (blocks.empty()) fail("no WHOIS answers under " + root.string());
    std::ranges::sort(blocks);
    return blocks;
}

struct Report {
    std::string text;
    std::vector<std::string_view> lines;  // without line ends
};

// Answers are repeated until the report reaches `bytes` bytes or `lineCount` lines.
const Report& report(std::size_t bytes, std::size_t lineCount) {
    static std::map<std::pair<std::size_t, std::size_t>, Report> cache;
    Report& r = cache[{bytes, lineCount}];
    if (!r.lines.empty()) return r;
    static const std::vector<std::string> blocks = answerBlocks();
    std::size_t lines = 0;
    for (std::size_t i = 0; r.text.size() < bytes && lines < lineCount; ++i) {
        const std::string& block = blocks[i % blocks.size()];
        r.text += block;
        lines += static_cast<std::size_t>(std::ranges::count(block, '\n'));
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < r.text.size(); ++i) {
        if (r.text[i] != '\r' && r.text[i] != '\n') continue;
        r.lines.emplace_back(r.text.data() + start, i - start);
        if (r.text[i] == '\r' && i + 1 < r.text.size() && r.text[i + 1] == '\n') ++i;
        start = i + 1;
        if (r.lines.size() == lineCount) break;
    }
    return r;
}

const Report& reportFor(const benchmark::State& state) {
    const auto arg = static_cast<std::size_t>(state.range(0));
    // Arguments below 1 MiB count lines, the others bytes.
    return arg < (1u << 20) ? report(SIZE_MAX, arg) : report(arg, SIZE_MAX);
}

void setCounters(benchmark::State& state, const Report& r) {
    std::size_t bytes = 0;
    for (auto line : r.lines) bytes += line.size() + 1;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(r.lines.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.counters["lines"] = static_cast<double>(r.lines.size());
}

void BM_Tokenize(benchmark::State& state) {
    const Report& r = reportFor(state);
    std::vector<Token> tokens;
    for (auto _ : state) {
        LexState lex = Region::none;
        std::size_t count = 0;
        for (auto line : r.lines) {
            lex = tokenizeInto(line, lex, tokens);
            count += tokens.size();
        }
        benchmark::DoNotOptimize(count);
    }
    setCounters(state, r);
}

// Second argument: the wrap width. At 20 most lines take the full breaking steps.
void BM_BreakIntoRows(benchmark::State& state) {
    const Report& r = reportFor(state);
    const auto width = static_cast<int>(state.range(1));
    std::vector<Row> rows;
    for (auto _ : state) {
        std::size_t count = 0;
        for (auto line : r.lines) {
            breakIntoRows(line, width, rows);
            count += rows.size();
        }
        benchmark::DoNotOptimize(count);
    }
    setCounters(state, r);
}

// The end state of every line, as a view computes it when a whole report arrives.
void BM_LineStates(benchmark::State& state) {
    const Report& r = reportFor(state);
    for (auto _ : state) {
        LineStates states;
        states.replaceLines(0, 0, r.lines.size(), [&](std::size_t i) { return r.lines[i]; });
        benchmark::DoNotOptimize(states.lineCount());
    }
    setCounters(state, r);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(100'000)->Arg(1 << 20)->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Tokenize)->Apply(sizes);
BENCHMARK(BM_BreakIntoRows)
    ->Args({100'000, 80})
    ->Args({1 << 20, 80})
    ->Args({10 << 20, 80})
    ->Args({100 << 20, 80})
    ->Args({10 << 20, 20})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineStates)->Apply(sizes);

}  // namespace

BENCHMARK_MAIN();
