// The unicode module's walks over real answers repeated to 4 MiB: code points
// per second (DecodeUtf8At alone, and with AsciiRunLength skipping ASCII
// runs), grapheme clusters with their cells per second, ClassifyUtf8's bytes
// per second, and cluster rows of 80 cells (the walk that row breaking will
// make, without its kinsoku, with the same short-line shortcut) next to today's breakIntoRows at W=80 on the
// CP932 form of the same lines, for the switch to compare against.
//
// The Japanese answer is JPRS's UTF-8 answers in tests/data, the ASCII one
// JPRS's English answer, the Korean one KISA's answer for google.kr (half
// Hangul, half ASCII).

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "unicode/cells.h"
#include "unicode/graphemes.h"
#include "unicode/utf8_walk.h"
#include "view/rules/rows.h"

namespace {

using namespace torvane::unicode;

constexpr std::size_t kAnswerSize = 4u << 20;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.empty()) Fail("benchmark answer not found: " + path.string());
    return text;
}

std::string RepeatToAnswerSize(const std::string& one_round) {
    std::string text;
    while (text.size() < kAnswerSize) text += one_round;
    text.resize(kAnswerSize);
    text.resize(text.rfind('\n') + 1);
    return text;
}

std::string ToCp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) Fail("no iconv for CP932");
    std::string out(utf8.size() * 2, '\0');
    char* src = const_cast<char*>(utf8.data());
    std::size_t srcLeft = utf8.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
        Fail("the Japanese answer does not convert to CP932");
    }
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

// Lines without their line ends (LF or CR LF), as the report holds them.
std::vector<std::string_view> Lines(const std::string& text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t cut = end;
        if (cut > start && text[cut - 1] == '\r') --cut;
        lines.emplace_back(text.data() + start, cut - start);
        start = end + 1;
    }
    return lines;
}

struct Answers {
    std::string japanese, ascii, korean, japaneseCp932;
};

const Answers& TheAnswers() {
    static const Answers answers = [] {
        const std::filesystem::path dir = TORVANE_ANSWERS_DIR;
        std::string one_round;
        for (const char* name : {"google.jp_utf8_2015.txt", "google.co.jp_utf8_2018.txt",
                                 "u-tokyo.ac.jp_utf8_2026.txt", "nomatch_utf8_2026.txt"}) {
            one_round += ReadFile(dir / name);
        }
        Answers a;
        a.japanese = RepeatToAnswerSize(one_round);
        a.ascii = RepeatToAnswerSize(ReadFile(dir / "titech.ac.jp_en_2023.txt"));
        a.korean = RepeatToAnswerSize(ReadFile(TORVANE_KOREAN_ANSWER));
        a.japaneseCp932 = ToCp932(a.japanese);
        return a;
    }();
    return answers;
}

void CodePoints(benchmark::State& state, const std::string& text) {
    std::int64_t count = 0;
    for (auto _ : state) {
        count = 0;
        for (std::size_t pos = 0; pos < text.size(); ++count) pos += DecodeUtf8At(text, pos).length;
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void CodePointsSkippingAscii(benchmark::State& state, const std::string& text) {
    std::int64_t count = 0;
    for (auto _ : state) {
        count = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            const std::size_t ascii = AsciiRunLength(text, pos);
            count += static_cast<std::int64_t>(ascii);
            pos += ascii;
            if (pos < text.size()) {
                pos += DecodeUtf8At(text, pos).length;
                ++count;
            }
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Clusters(benchmark::State& state, const std::string& text) {
    std::int64_t count = 0;
    for (auto _ : state) {
        count = 0;
        std::int64_t cells = 0;
        for (std::size_t pos = 0; pos < text.size(); ++count) {
            const GraphemeCluster c = NextGraphemeCluster(text, pos);
            cells += c.cells;
            pos += c.length;
        }
        benchmark::DoNotOptimize(cells);
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void Classify(benchmark::State& state, const std::string& text) {
    for (auto _ : state) benchmark::DoNotOptimize(ClassifyUtf8(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Greedy rows of at most 80 cells, cut only between clusters; a TAB counts
// one cell here. As today's rows do, a line of at most 80 bytes is one row
// (no cluster takes more cells than bytes), whose cells TextCells counts.
// Items are rows.
void ClusterRowsAt80(benchmark::State& state, const std::string& text) {
    const auto lines = Lines(text);
    std::int64_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (std::string_view line : lines) {
            ++rows;
            if (line.size() <= 80) {
                benchmark::DoNotOptimize(TextCells(line));
                continue;
            }
            int width = 0;
            for (std::size_t pos = 0; pos < line.size();) {
                const GraphemeCluster c = NextGraphemeCluster(line, pos);
                if (width + c.cells > 80) {
                    ++rows;
                    width = 0;
                }
                width += c.cells;
                pos += c.length;
            }
        }
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Today's row breaking of the same lines in CP932, with its kinsoku rules.
void TodaysRowsAt80(benchmark::State& state, const std::string& cp932) {
    const auto lines = Lines(cp932);
    std::vector<torvane::view::Row> rowBuffer;
    std::int64_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (std::string_view line : lines) {
            torvane::view::breakIntoRows(line, 80, rowBuffer);
            rows += static_cast<std::int64_t>(rowBuffer.size());
        }
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * cp932.size()));
}

void BM_CodePoints_Japanese(benchmark::State& s) { CodePoints(s, TheAnswers().japanese); }
void BM_CodePoints_Ascii(benchmark::State& s) { CodePoints(s, TheAnswers().ascii); }
void BM_CodePoints_Korean(benchmark::State& s) { CodePoints(s, TheAnswers().korean); }
void BM_CodePointsSkippingAscii_Japanese(benchmark::State& s) {
    CodePointsSkippingAscii(s, TheAnswers().japanese);
}
void BM_CodePointsSkippingAscii_Ascii(benchmark::State& s) {
    CodePointsSkippingAscii(s, TheAnswers().ascii);
}
void BM_Clusters_Japanese(benchmark::State& s) { Clusters(s, TheAnswers().japanese); }
void BM_Clusters_Ascii(benchmark::State& s) { Clusters(s, TheAnswers().ascii); }
void BM_Clusters_Korean(benchmark::State& s) { Clusters(s, TheAnswers().korean); }
void BM_ClassifyUtf8_Japanese(benchmark::State& s) { Classify(s, TheAnswers().japanese); }
void BM_ClassifyUtf8_Ascii(benchmark::State& s) { Classify(s, TheAnswers().ascii); }
void BM_ClusterRowsAt80_Japanese(benchmark::State& s) { ClusterRowsAt80(s, TheAnswers().japanese); }
void BM_TodaysRowsAt80_JapaneseCp932(benchmark::State& s) {
    TodaysRowsAt80(s, TheAnswers().japaneseCp932);
}
void BM_ClusterRowsAt80_Ascii(benchmark::State& s) { ClusterRowsAt80(s, TheAnswers().ascii); }
void BM_TodaysRowsAt80_Ascii(benchmark::State& s) { TodaysRowsAt80(s, TheAnswers().ascii); }

BENCHMARK(BM_CodePoints_Japanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodePoints_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodePoints_Korean)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodePointsSkippingAscii_Japanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodePointsSkippingAscii_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Clusters_Japanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Clusters_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Clusters_Korean)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassifyUtf8_Japanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassifyUtf8_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClusterRowsAt80_Japanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TodaysRowsAt80_JapaneseCp932)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClusterRowsAt80_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TodaysRowsAt80_Ascii)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
