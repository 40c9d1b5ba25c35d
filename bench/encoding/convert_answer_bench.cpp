// ConvertAnswerText on 4 MiB answers in ISO-2022-JP, EUC-JP and UTF-8, each
// next to glibc iconv converting the same bytes to CP932 in the same run.
//
// The answers are the real UTF-8 answers of JPRS in tests/data, repeated to
// 4 MiB and turned into ISO-2022-JP and EUC-JP by iconv, so all three hold
// the same text. iconv gets its output buffer once, outside the timing.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "encoding/answer_text.h"
#include "encoding/unicode_codes.h"

namespace {

using torvane::encoding::ConvertAnswerText;
using torvane::encoding::DetectTextCode;
using torvane::encoding::TextCode;

constexpr std::size_t kAnswerSize = 4u << 20;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Converts all of `input`; `out` must be large enough.
std::size_t IconvInto(iconv_t cd, const std::string& input, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(input.data());
    std::size_t src_left = input.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    if (iconv(cd, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &dst, &dst_left) == static_cast<std::size_t>(-1)) {
        Fail("iconv failed on the benchmark answer");
    }
    return out.size() - dst_left;
}

std::string Iconv(const char* from, const char* to, const std::string& input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) Fail(std::string("no iconv for ") + from);
    std::string out(input.size() * 4 + 64, '\0');
    out.resize(IconvInto(cd, input, out));
    iconv_close(cd);
    return out;
}

struct Answers {
    std::string utf8, jis, euc;
};

const Answers& TheAnswers() {
    static const Answers answers = [] {
        std::string one_round;
        for (const char* name : {"google.jp_utf8_2015.txt", "google.co.jp_utf8_2018.txt",
                                 "u-tokyo.ac.jp_utf8_2026.txt", "nomatch_utf8_2026.txt"}) {
            one_round += ReadFile(std::filesystem::path(TORVANE_ANSWERS_DIR) / name);
        }
        if (one_round.empty()) Fail("benchmark answers not found in " TORVANE_ANSWERS_DIR);
        Answers a;
        while (a.utf8.size() < kAnswerSize) a.utf8 += one_round;
        a.utf8.resize(kAnswerSize);
        // Cut at the last line end so no character is split.
        a.utf8.resize(a.utf8.rfind('\n') + 1);
        a.jis = Iconv("UTF-8", "ISO-2022-JP", a.utf8);
        a.euc = Iconv("UTF-8", "EUC-JP", a.utf8);
        if (DetectTextCode(a.utf8) != TextCode::tcUtf8 ||
            DetectTextCode(a.jis) != TextCode::tcJis || DetectTextCode(a.euc) != TextCode::tcEuc) {
            Fail("benchmark answers are not detected as UTF-8, ISO-2022-JP and EUC-JP");
        }
        return a;
    }();
    return answers;
}

void RunConvertAnswerText(benchmark::State& state, const std::string& answer) {
    for (auto _ : state) {
        std::string shown = ConvertAnswerText(answer);
        benchmark::DoNotOptimize(shown.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
}

void RunIconv(benchmark::State& state, const char* from, const std::string& answer) {
    iconv_t cd = iconv_open("CP932", from);
    std::string out(answer.size() * 2, '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(IconvInto(cd, answer, out));
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
}

void BM_ConvertAnswerText_Jis(benchmark::State& s) { RunConvertAnswerText(s, TheAnswers().jis); }
void BM_Iconv_Jis(benchmark::State& s) { RunIconv(s, "ISO-2022-JP", TheAnswers().jis); }
void BM_ConvertAnswerText_Euc(benchmark::State& s) { RunConvertAnswerText(s, TheAnswers().euc); }
void BM_Iconv_Euc(benchmark::State& s) { RunIconv(s, "EUC-JP", TheAnswers().euc); }
void BM_ConvertAnswerText_Utf8(benchmark::State& s) { RunConvertAnswerText(s, TheAnswers().utf8); }
void BM_Iconv_Utf8(benchmark::State& s) { RunIconv(s, "UTF-8", TheAnswers().utf8); }

BENCHMARK(BM_ConvertAnswerText_Jis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_Jis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAnswerText_Euc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_Euc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAnswerText_Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_Utf8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
