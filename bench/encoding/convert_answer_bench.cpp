// ConvertAnswerText on 4 MiB answers in ISO-2022-JP, EUC-JP, UTF-8 and plain
// ASCII, each next to glibc iconv converting the same bytes to CP932 in the
// same run; and Cp932ToUtf8 on the CP932 form of the Japanese answer and on
// the ASCII one, next to iconv's CP932 -> UTF-8. Then DecodeAnswer, the
// decoding to UTF-8, on the same answers and on their Shift_JIS, UTF-16
// and Latin-1 forms, each next to iconv's conversion of the same bytes to
// UTF-8 (BM_DecodeAnswer_* / BM_IconvToUtf8_*).
//
// The answers are the real UTF-8 answers of JPRS in tests/data, repeated to
// 4 MiB and turned into ISO-2022-JP, EUC-JP and CP932 by iconv, so all hold
// the same text; the ASCII answer is JPRS's English answer repeated. iconv
// gets its output buffer once, outside the timing. ConvertAnswerText takes
// its answer over; the copy handed to it is timed, as the buffer iconv
// writes would be, so both write every byte once. The Latin-1 answer is the
// made-up NIC.br answer of tests/data/encoding/whois repeated, decoded for
// whois.registro.br; the UTF-16 one the Japanese answer with its mark.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "encoding/answer_text.h"
#include "encoding/answer_utf8.h"
#include "encoding/cp932_utf8.h"
#include "encoding/unicode_codes.h"

namespace {

using torvane::encoding::ConvertAnswerText;
using torvane::encoding::Cp932ToUtf8;
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
    std::string utf8, jis, euc, cp932, ascii, latin1, utf16le;
};

std::string RepeatToAnswerSize(const std::string& one_round) {
    std::string text;
    while (text.size() < kAnswerSize) text += one_round;
    text.resize(kAnswerSize);
    // Cut at the last line end so no character is split.
    text.resize(text.rfind('\n') + 1);
    return text;
}

const Answers& TheAnswers() {
    static const Answers answers = [] {
        std::string one_round;
        for (const char* name : {"google.jp_utf8_2015.txt", "google.co.jp_utf8_2018.txt",
                                 "u-tokyo.ac.jp_utf8_2026.txt", "nomatch_utf8_2026.txt"}) {
            one_round += ReadFile(std::filesystem::path(TORVANE_ANSWERS_DIR) / name);
        }
        if (one_round.empty()) Fail("benchmark answers not found in " TORVANE_ANSWERS_DIR);
        Answers a;
        a.utf8 = RepeatToAnswerSize(one_round);
        a.ascii = RepeatToAnswerSize(
            ReadFile(std::filesystem::path(TORVANE_ANSWERS_DIR) / "titech.ac.jp_en_2023.txt"));
        a.cp932 = Iconv("UTF-8", "CP932", a.utf8);
        a.jis = Iconv("UTF-8", "ISO-2022-JP", a.utf8);
        a.euc = Iconv("UTF-8", "EUC-JP", a.utf8);
        a.latin1 = RepeatToAnswerSize(
            ReadFile(std::filesystem::path(TORVANE_ANSWERS_DIR) /
                     "../whois/whois.registro.br/exemplo-acao.com.br_latin1_made-up.txt"));
        a.utf16le = "\xFF\xFE" + Iconv("UTF-8", "UTF-16LE", a.utf8);
        if (DetectTextCode(a.utf8) != TextCode::tcUtf8 ||
            DetectTextCode(a.jis) != TextCode::tcJis || DetectTextCode(a.euc) != TextCode::tcEuc ||
            DetectTextCode(a.ascii) != TextCode::tcAscii) {
            Fail("benchmark answers are not detected as UTF-8, ISO-2022-JP, EUC-JP and ASCII");
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

void RunCp932ToUtf8(benchmark::State& state, const std::string& answer) {
    for (auto _ : state) {
        std::string shown = Cp932ToUtf8(answer);
        benchmark::DoNotOptimize(shown.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
}

void RunIconv(benchmark::State& state, const char* from, const std::string& answer,
              const char* to = "CP932") {
    iconv_t cd = iconv_open(to, from);
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

void BM_ConvertAnswerText_Ascii(benchmark::State& s) {
    RunConvertAnswerText(s, TheAnswers().ascii);
}
void BM_Iconv_Ascii(benchmark::State& s) { RunIconv(s, "UTF-8", TheAnswers().ascii); }
void BM_Cp932ToUtf8_Japanese(benchmark::State& s) { RunCp932ToUtf8(s, TheAnswers().cp932); }
void BM_IconvToUtf8_Japanese(benchmark::State& s) {
    RunIconv(s, "CP932", TheAnswers().cp932, "UTF-8");
}
void BM_Cp932ToUtf8_Ascii(benchmark::State& s) { RunCp932ToUtf8(s, TheAnswers().ascii); }
void BM_IconvToUtf8_Ascii(benchmark::State& s) {
    RunIconv(s, "CP932", TheAnswers().ascii, "UTF-8");
}

void RunDecodeAnswer(benchmark::State& state, const std::string& answer,
                     std::string_view server = "") {
    for (auto _ : state) {
        std::string shown = torvane::encoding::DecodeAnswer(answer, server);
        benchmark::DoNotOptimize(shown.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
}

void BM_DecodeAnswer_Utf8(benchmark::State& s) { RunDecodeAnswer(s, TheAnswers().utf8); }
void BM_IconvToUtf8_Utf8(benchmark::State& s) { RunIconv(s, "UTF-8", TheAnswers().utf8, "UTF-8"); }
void BM_DecodeAnswer_Ascii(benchmark::State& s) { RunDecodeAnswer(s, TheAnswers().ascii); }
void BM_IconvToUtf8_AsciiAnswer(benchmark::State& s) {
    RunIconv(s, "ASCII", TheAnswers().ascii, "UTF-8");
}
void BM_DecodeAnswer_Jis(benchmark::State& s) { RunDecodeAnswer(s, TheAnswers().jis); }
void BM_IconvToUtf8_Jis(benchmark::State& s) {
    RunIconv(s, "ISO-2022-JP", TheAnswers().jis, "UTF-8");
}
void BM_DecodeAnswer_Euc(benchmark::State& s) { RunDecodeAnswer(s, TheAnswers().euc); }
void BM_IconvToUtf8_Euc(benchmark::State& s) { RunIconv(s, "EUC-JP", TheAnswers().euc, "UTF-8"); }
void BM_DecodeAnswer_Sjis(benchmark::State& s) { RunDecodeAnswer(s, TheAnswers().cp932); }
void BM_IconvToUtf8_Sjis(benchmark::State& s) {
    RunIconv(s, "CP932", TheAnswers().cp932, "UTF-8");
}
void BM_DecodeAnswer_Latin1(benchmark::State& s) {
    RunDecodeAnswer(s, TheAnswers().latin1, "whois.registro.br");
}
void BM_IconvToUtf8_Latin1(benchmark::State& s) {
    RunIconv(s, "ISO-8859-1", TheAnswers().latin1, "UTF-8");
}
void BM_DecodeAnswer_Utf16(benchmark::State& s) { RunDecodeAnswer(s, TheAnswers().utf16le); }
void BM_IconvToUtf8_Utf16(benchmark::State& s) {
    RunIconv(s, "UTF-16", TheAnswers().utf16le, "UTF-8");
}

BENCHMARK(BM_ConvertAnswerText_Jis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_Jis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAnswerText_Euc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_Euc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAnswerText_Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAnswerText_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp932ToUtf8_Japanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_Japanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp932ToUtf8_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAnswer_Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAnswer_Ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_AsciiAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAnswer_Jis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_Jis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAnswer_Euc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_Euc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAnswer_Sjis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_Sjis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAnswer_Latin1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_Latin1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAnswer_Utf16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvToUtf8_Utf16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
