// Escaping of control characters on their way to a terminal, and the line
// rendering in both output encodings.

#include "cli/terminal_escape.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "cli/report_output.h"
#include "encoding/to_utf8.h"
#include "unicode/utf8_walk.h"

namespace torvane::cli {
namespace {

template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

TEST(TerminalEscape, Utf8Table) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain text", "plain text"},
        {"日本語\tタブ", "日本語\tタブ"},
        {"\x1b[2J", "^[[2J"},
        {"\x1b]0;title\x07", "^[]0;title^G"},
        {Bytes("a\0b"), "a^@b"},
        {"\r\n", "^M^J"},
        {"\x7f", "^?"},
        {"\x1f", "^_"},
        {"\xc2\x9b"
         "31m",
         "M-^[31m"},  // CSI
        {"\xc2\x80\xc2\x9f", "M-^@M-^_"},
        {"\xc2\xa0", "\xc2\xa0"},  // NBSP is no control
        {"\xff", "\\xFF"},
        {"\xe3\x81", "\\xE3\\x81"},  // cut off
        {"\xc0\x9b", "\\xC0\\x9B"},  // overlong CSI
        {"^[", "^["},
        {"a\u202Eb", "a<U+202E>b"},  // right-to-left override
        {"\u202A\u202B\u202C\u202D", "<U+202A><U+202B><U+202C><U+202D>"},
        {"\u2066x\u2069\u2067\u2068", "<U+2066>x<U+2069><U+2067><U+2068>"},
        {"\u200F\u061C\u2029", "\u200F\u061C\u2029"},  // marks only steer neutrals
    };
    for (const auto& [input, expected] : cases) EXPECT_EQ(EscapeUtf8ForTerminal(input), expected);
}

// A CP932 terminal gets the UTF-8 escapes, converted.
TEST(TerminalEscape, Cp932Table) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"日本", "\x93\xfa\x96\x7b"},
        {"ｶﾀ", "\xb6\xc0"},                 // half-width katakana
        {"ー\x1b", "\x81\x5b^["},            // the trail byte '[' stays inside its pair
        {"\x1b\x5b", "^[["},
        {"\xc2\x9b", "M-^["},                // CSI
        {"\xff\x9b", "\\xFF\\x9B"},          // bytes that are no character
        {"한\u202E", "?<U+202E>"},            // what CP932 lacks, a reordering control
        {Bytes("\t\0\x7f"), "\t^@^?"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(RenderLine(input, OutputEncoding::Cp932, true), expected) << input;
}

bool IsForbiddenUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const unicode::DecodedChar c = unicode::DecodeUtf8At(text, pos);
        pos += c.length;
        if (!c.wellFormed) return true;
        const char32_t v = c.value;
        if ((v < 0x20 && v != '\t') || (v >= 0x7F && v <= 0x9F)) return true;
        if ((v >= 0x202A && v <= 0x202E) || (v >= 0x2066 && v <= 0x2069)) return true;
    }
    return false;
}

bool IsForbiddenCp932(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (lead) {
            if (i + 1 >= text.size()) return true;
            const auto t = static_cast<unsigned char>(text[++i]);
            if (t < 0x40 || t == 0x7F || t > 0xFC) return true;
        } else if ((b < 0x20 && b != '\t') || b == 0x7F || b == 0x80 || b == 0xA0 || b >= 0xFD) {
            return true;
        }
    }
    return false;
}

// Random byte strings, biased towards the interesting bytes.
std::vector<std::string> RandomInputs() {
    std::mt19937 random(932);
    const std::string interesting =
        Bytes("\x00\x07\x09\x0a\x0d\x1b\x7f\x80\x81\x9b\x9f\xa0\xc2\xe3\xfc\xff[a");
    std::vector<std::string> inputs;
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i) {
            text += random() % 2 ? interesting[random() % interesting.size()]
                                 : static_cast<char>(random() % 256);
        }
        inputs.push_back(text);
    }
    return inputs;
}

TEST(TerminalEscape, NoInputLeavesAControlCharacterInEitherEncoding) {
    for (const std::string& input : RandomInputs()) {
        EXPECT_FALSE(IsForbiddenUtf8(EscapeUtf8ForTerminal(input))) << input;
        EXPECT_FALSE(IsForbiddenUtf8(RenderLine(input, OutputEncoding::Utf8, true))) << input;
        EXPECT_FALSE(IsForbiddenCp932(RenderLine(input, OutputEncoding::Cp932, true))) << input;
    }
}

TEST(TerminalEscape, TextWithoutControlsPassesUnchanged) {
    for (const std::string& input : RandomInputs()) {
        const std::string utf8 = RenderLine(input, OutputEncoding::Utf8, false);
        if (!IsForbiddenUtf8(utf8)) {
            EXPECT_EQ(EscapeUtf8ForTerminal(utf8), utf8);
        }
        if (!IsForbiddenUtf8(input)) {
            EXPECT_EQ(RenderLine(input, OutputEncoding::Cp932, true),
                      RenderLine(input, OutputEncoding::Cp932, false));
        }
    }
}

TEST(ReportOutput, RawLinesKeepEveryByteOrItsConversion) {
    const std::string line = Bytes("\xe6\x97\xa5\x1b[0m\0\xef\xbd\xb6");  // 日 ESC [ 0 m NUL ｶ
    EXPECT_EQ(RenderLine(line, OutputEncoding::Utf8, false), line);
    EXPECT_EQ(RenderLine(line, OutputEncoding::Cp932, false), Bytes("\x93\xfa\x1b[0m\0\xb6"));
    EXPECT_EQ(RenderLine(line, OutputEncoding::Utf8, true), "\xe6\x97\xa5^[[0m^@\xef\xbd\xb6");
}

// The whole report, in one buffer or written in pieces, is byte for byte the lines rendered one
// at a time (ten rounds of the inputs: more than one piece).
TEST(ReportOutput, WholeReportEqualsItsLinesRenderedOneByOne) {
    std::vector<std::string> lines;
    for (int round = 0; round < 10; ++round) {
        const std::vector<std::string> inputs = RandomInputs();
        lines.insert(lines.end(), inputs.begin(), inputs.end());
    }
    for (const OutputEncoding encoding : {OutputEncoding::Utf8, OutputEncoding::Cp932}) {
        for (const bool escape : {false, true}) {
            std::string expected;
            for (const std::string& line : lines) expected += RenderLine(line, encoding, escape) + "\n";
            EXPECT_EQ(RenderReport(query::TLines(lines), encoding, escape), expected) << escape;
            std::FILE* file = std::tmpfile();
            ASSERT_TRUE(WriteReport(file, query::TLines(lines), encoding, escape));
            std::string written(expected.size() + 1, '\0');
            std::rewind(file);
            written.resize(std::fread(written.data(), 1, written.size(), file));
            std::fclose(file);
            EXPECT_EQ(written, expected) << escape;
        }
    }
}

TEST(Utf8Walk, SurrogatePairsAndLoneSurrogates) {
    EXPECT_EQ(encoding::Utf16LeToUtf8(Bytes("\x3d\xd8\x00\xde")), "\xf0\x9f\x98\x80");
    EXPECT_EQ(encoding::Utf16LeToUtf8(Bytes("\x00\xd8\x61\x00")),
              "\xef\xbf\xbd"
              "a");
    EXPECT_EQ(encoding::Utf16LeToUtf8(Bytes("\x00\xdc")), "\xef\xbf\xbd");
}

}  // namespace
}  // namespace torvane::cli
