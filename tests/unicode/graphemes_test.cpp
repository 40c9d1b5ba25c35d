// Grapheme clusters: every line of the Unicode 15.0 conformance file, the
// cells of named clusters, and the cells of a real Korean answer.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "unicode/cells.h"
#include "unicode/graphemes.h"
#include "unicode/utf8_walk.h"

namespace torvane::unicode {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::size_t> Boundaries(std::string_view text) {
    std::vector<std::size_t> ends;
    for (std::size_t pos = 0; pos < text.size();) {
        pos = GraphemeClusterEnd(text, pos);
        ends.push_back(pos);
    }
    return ends;
}

// A line of the file: "÷ 0020 × 0308 ÷ 0020 ÷\t# comment"; ÷ marks a
// boundary, × none, and the text starts and ends with a boundary.
struct ConformanceCase {
    int lineNumber;
    std::string text;
    std::vector<std::size_t> boundaries;  // byte offsets after the first
};

std::vector<ConformanceCase> ReadConformanceFile() {
    std::istringstream in(ReadFile(TORVANE_TEST_DATA "/unicode/GraphemeBreakTest.txt"));
    std::vector<ConformanceCase> cases;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        ConformanceCase c{number, {}, {}};
        std::istringstream fields(line);
        std::string field;
        bool first = true;
        while (fields >> field) {
            if (field == "\xC3\xB7") {  // ÷
                if (!first) c.boundaries.push_back(c.text.size());
            } else if (field != "\xC3\x97") {  // ×
                AppendUtf8(c.text, static_cast<char32_t>(std::stoul(field, nullptr, 16)));
            }
            first = false;
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

TEST(GraphemeClusters, EveryLineOfTheConformanceFilePasses) {
    const auto cases = ReadConformanceFile();
    ASSERT_EQ(cases.size(), 602u);  // the data lines of GraphemeBreakTest-15.0.0.txt
    for (const auto& c : cases) {
        EXPECT_EQ(Boundaries(c.text), c.boundaries) << "line " << c.lineNumber;
    }
}

struct ClusterCase {
    const char* name;
    std::string text;
    std::vector<std::size_t> boundaries;
    std::vector<int> cells;
};

std::vector<int> ClusterCellsOf(std::string_view text) {
    std::vector<int> cells;
    for (std::size_t pos = 0; pos < text.size();) {
        const GraphemeCluster c = NextGraphemeCluster(text, pos);
        EXPECT_EQ(c.cells, ClusterCells(text.substr(pos, c.length)));
        cells.push_back(c.cells);
        pos += c.length;
    }
    return cells;
}

TEST(GraphemeClusters, NamedClustersAndTheirCells) {
    const ClusterCase cases[] = {
        {"ASCII", "ab", {1, 2}, {1, 1}},
        {"CR LF is one", "a\r\nb", {1, 3, 4}, {1, 1, 1}},
        {"e + combining acute", "e\xCC\x81x", {3, 4}, {1, 1}},
        {"precomposed é", "\xC3\xA9", {2}, {1}},
        {"kana with combining voiced mark", "\xE3\x81\x8B\xE3\x82\x99", {6}, {2}},
        {"Hangul syllable", "\xED\x95\x9C", {3}, {2}},
        {"Hangul jamo L V T", "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB", {9}, {2}},
        {"Greek alpha, CP932 double-byte", "\xCE\xB1", {2}, {2}},
        {"half-width katakana with its half-width voiced mark",
         "\xEF\xBD\xB6\xEF\xBE\x9E", {6}, {2}},  // ｶﾞ: ﾞ is Extend
        {"emoji", "\xF0\x9F\x98\x80", {4}, {2}},
        {"heart with emoji presentation", "\xE2\x9D\xA4\xEF\xB8\x8F", {6}, {2}},
        {"heart without", "\xE2\x9D\xA4", {3}, {1}},
        {"keycap 1", "1\xEF\xB8\x8F\xE2\x83\xA3", {7}, {2}},
        {"flag JP then a lone indicator",
         "\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5\xF0\x9F\x87\xAF", {8, 12}, {2, 1}},
        {"family ZWJ sequence",
         "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", {18}, {2}},
        {"thumbs up with skin tone", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", {8}, {2}},
        {"mark at the start of a line", "\xCC\x81" "a", {2, 3}, {1, 1}},
        {"ZWJ between letters joins the first", "a\xE2\x80\x8D" "b", {4, 5}, {1, 1}},
        {"RLO is a cluster of its own", "a\xE2\x80\xAE" "b", {1, 4, 5}, {1, 1, 1}},
        {"ill-formed byte then a mark", "\x80\xCC\x81", {3}, {1}},
        {"Devanagari ki", "\xE0\xA4\x95\xE0\xA4\xBF", {6}, {1}},
        {"Thai with a mark above", "\xE0\xB8\x81\xE0\xB8\xB4", {6}, {1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Boundaries(c.text), c.boundaries) << c.name;
        EXPECT_EQ(ClusterCellsOf(c.text), c.cells) << c.name;
    }
    EXPECT_EQ(ClusterCells(""), 0);
}

// KISA lays its Korean half out for Hangul in two cells: every "label : value"
// line, Korean or English, has its colon after the same 27 cells.
TEST(TextCells, TheKoreanAnswersColonsLineUp) {
    std::istringstream in(ReadFile(TORVANE_TEST_DATA "/unicode/google.kr_utf8_2020.txt"));
    std::string line;
    int fieldLines = 0, koreanLines = 0;
    while (std::getline(in, line)) {
        const auto colon = line.find(" : ");
        if (colon == std::string::npos || line.rfind("query", 0) == 0) continue;
        ++fieldLines;
        if (ClassifyUtf8(line.substr(0, colon)) == Utf8Kind::MultiByte) ++koreanLines;
        EXPECT_EQ(TextCells(line.substr(0, colon + 1)), 28u) << line;
    }
    EXPECT_EQ(fieldLines, 30);
    EXPECT_EQ(koreanLines, 14);
}

// TextCells skips ASCII runs; it must give the sum that the cluster walk gives.
TEST(TextCells, EqualsTheSumOverTheClusterWalk) {
    const std::string texts[] = {
        "",
        "a",
        "plain ASCII line of some length",
        "line\r\nwith CR LF\r\n",
        "\r\n",
        "ab\r",
        "cafe\xCC\x81 au lait",
        "x\xE2\x80\x8D\xF0\x9F\x98\x80 after",
        "\xE6\x97\xA5\xE6\x9C\xAC" "abc\xE3\x80\x80" "def",
        "\x80\x80" "abc\xFF",
        ReadFile(TORVANE_TEST_DATA "/unicode/google.kr_utf8_2020.txt"),
    };
    for (const auto& text : texts) {
        std::size_t sum = 0;
        for (int cells : ClusterCellsOf(text)) sum += static_cast<std::size_t>(cells);
        EXPECT_EQ(TextCells(text), sum) << ::testing::PrintToString(text);
    }
    EXPECT_EQ(TextCells("a\r\nb"), 3u);
    EXPECT_EQ(TextCells("\xE6\x97\xA5\xE6\x9C\xAC" "ab"), 6u);
}

}  // namespace
}  // namespace torvane::unicode
