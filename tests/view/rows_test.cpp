#include "view/rules/rows.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "text_testing.h"

namespace torvane::view {
namespace {

using testing::inCp932;

std::string repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

struct RowCase {
    const char* name;
    int width;
    std::string line;                // UTF-8
    std::vector<std::string> rows;   // UTF-8 text of each row
    std::vector<std::size_t> cells;  // cells of each row
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

class TextRulesRowCases : public ::testing::TestWithParam<RowCase> {};

TEST_P(TextRulesRowCases, BreaksAsExpected) {
    const RowCase& c = GetParam();
    const std::string line = inCp932(c.line);
    std::vector<std::string> texts;
    std::vector<std::size_t> cells;
    for (const Row& row : breakIntoRows(line, c.width)) {
        texts.push_back(line.substr(row.start, row.length));
        cells.push_back(row.cells);
    }
    EXPECT_EQ(texts, c.rows);
    EXPECT_EQ(cells, c.cells);
}

const std::string kKanji10 = repeat("漢", 10);  // 20 cells
const std::string kLetters25 = repeat("a", 25);

INSTANTIATE_TEST_SUITE_P(
    Rows, TextRulesRowCases,
    ::testing::Values(
        RowCase{"EmptyLineIsOneEmptyRow", 20, "", {""}, {0}},
        RowCase{"LineOfExactlyWCellsIsOneRow", 20, repeat("a", 20), {repeat("a", 20)}, {20}},
        RowCase{
            "JapaneseOfWCellsKeepsHangingFullStop", 20, kKanji10 + "。", {kKanji10 + "。"}, {22}},
        RowCase{
            "HangingFullStopThenNextRow", 20, kKanji10 + "。次", {kKanji10 + "。", "次"}, {22, 2}},
        RowCase{"MoreThanWLettersCutAtWDiv3", 20, kLetters25, {"aaaaaa", repeat("a", 19)}, {6, 19}},
        RowCase{"FullStopAfterWthLetterDoesNotHang",
                20,
                repeat("a", 20) + ". more",
                {"aaaaaa", repeat("a", 14) + ". more"},
                {6, 20}},
        RowCase{"WordBreakAtSpace",
                20,
                "aaaa aaaa aaaa aaaaaaaaa",
                {"aaaa aaaa aaaa ", "aaaaaaaaa"},
                {15, 9}},
        RowCase{"HalfWidthKatakanaIsNoBreakPoint",
                20,
                repeat("ｱ", 25),
                {repeat("ｱ", 6), repeat("ｱ", 19)},
                {6, 19}},
        RowCase{"SplitDoubleByteGoesToNextRowWithoutWordBreak",
                20,
                repeat("a", 19) + "漢字",
                {repeat("a", 19), "漢字"},
                {19, 4}},
        RowCase{"TwoHangingCharactersReachWPlus3",
                20,
                repeat("a", 19) + "-,。xyz",
                {repeat("a", 19) + "-,。", "xyz"},
                {23, 3}},
        RowCase{"HangingStopsAtWPlus2", 20, kKanji10 + "。,", {kKanji10 + "。", ","}, {22, 1}},
        RowCase{"UnhungPunctuationPullsBreakBack",
                20,
                kKanji10 + "。、xy",
                {repeat("漢", 9), "漢。、xy"},
                {18, 8}},
        RowCase{"RowDoesNotEndWithOpeningParenthesis",
                20,
                "aaaa aaaa aaaa aaaa(bbbbbbbbbb",
                {"aaaa aaaa aaaa aaaa", "(bbbbbbbbbb"},
                {19, 11}},
        RowCase{"NoEndMovesOnlyDownToWDiv5Times4",
                20,
                repeat("a", 14) + "((((((bbbbb",
                {repeat("a", 14) + "((", "((((bbbbb"},
                {16, 9}},
        RowCase{"ClosingBracketDoesNotBeginRow",
                20,
                kKanji10 + "」次",
                {repeat("漢", 9), "漢」次"},
                {18, 6}},
        RowCase{"HungFullStopGivenBackBeforeNoBeginCharacter",
                20,
                kKanji10 + "。」次",
                {repeat("漢", 9), "漢。」次"},
                {18, 8}},
        RowCase{"LeadFollowNeedsTwoCellsAfterRow",
                20,
                "aaaa aaaa aaaa aaaa(b",
                {"aaaa aaaa aaaa aaaa(", "b"},
                {20, 1}},
        RowCase{"TabTakesCellsToNextStop", 20, "\tab", {"\tab"}, {10}},
        RowCase{"TabIsCutAtRowEnd",
                20,
                repeat("a", 18) + "\tb",
                {repeat("a", 18) + "\t", "b"},
                {20, 1}},
        RowCase{"TabStopsCountFromRowStart",
                20,
                repeat("a", 18) + "\t\tb",
                {repeat("a", 18) + "\t", "\tb"},
                {20, 9}},
        RowCase{"NarrowWidthClampedTo20", 5, repeat("a", 20), {repeat("a", 20)}, {20}},
        RowCase{"WideWidthClampedTo250",
                1000,
                repeat("a ", 130),
                {repeat("a ", 125), repeat("a ", 5)},
                {250, 10}}),
    [](const ::testing::TestParamInfo<RowCase>& info) { return std::string(info.param.name); });

TEST(TextRulesRows, LoneLeadByteAtEndIsOneCell) {
    const std::string line = std::string(20, 'a') + "\x82";
    const auto rows = breakIntoRows(line, 20);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], (Row{6, 15, 15}));
}

TEST(TextRulesRows, NoEmptyRowWhenTextEndsAtABreak) {
    const std::string line = inCp932(repeat("漢", 20));
    const auto rows = breakIntoRows(line, 20);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], (Row{30, 30, 20}));  // bytes: 漢 takes three
}

TEST(TextRulesRowCells, MapCellsToCharactersWithTabsExpanded) {
    // cells: a 0, b 1, 漢 2-3, tab 4-7, c 8; bytes: a 0, b 1, 漢 2-4, tab 5, c 6
    const std::string line = inCp932("ab漢\tc");
    const Row row = breakIntoRows(line, 20).front();
    const std::vector<std::optional<std::size_t>> expected = {0, 1, 2, 2, 5, 5, 5, 5, 6};
    for (std::size_t cell = 0; cell < expected.size(); ++cell) {
        EXPECT_EQ(offsetAtCell(line, row, cell, 20), expected[cell]) << cell;
    }
    EXPECT_EQ(offsetAtCell(line, row, 9, 20), std::nullopt);
    EXPECT_EQ(cellAtOffset(line, row, 5, 20), 4u);
    EXPECT_EQ(cellAtOffset(line, row, line.size(), 20), 9u);
}

TEST(TextRulesRowCells, TabCutAtRowEndCoversTheLastCells) {
    const std::string line = std::string(18, 'a') + "\tb";
    const auto rows = breakIntoRows(line, 20);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(offsetAtCell(line, rows[0], 19, 20), 18u);
    EXPECT_EQ(offsetAtCell(line, rows[0], 20, 20), std::nullopt);
    EXPECT_EQ(offsetAtCell(line, rows[1], 0, 20), 19u);
}

}  // namespace
}  // namespace torvane::view

namespace torvane::view {
namespace {

// Lines CP932 cannot write, fed as UTF-8: rows keep every cluster whole and count the cells of
// unicode/cells.h.
TEST(TextRulesUnicodeRows, KeepClustersWholeAndCountTheirCells) {
    const RowCase cases[] = {
        {"HangulSyllablesTakeTwoCellsAndBreakAnywhere",
         20,
         repeat("한국", 10) + "인",
         {repeat("한국", 5), repeat("한국", 5), "인"},
         {20, 20, 2}},
        {"AccentedLatinBreaksOnlyAtSpaces",
         20,
         "aaaa Bláthy Ottó Bláthy Ottó",
         {"aaaa Bláthy Ottó ", "Bláthy Ottó"},
         {17, 11}},
        {"CombiningMarkStaysWithItsBaseAtTheRowEnd",
         20,
         repeat("漢", 10) + "\u3099漢",
         {repeat("漢", 10) + "\u3099", "漢"},
         {20, 2}},
        {"DecomposedLetterIsOneCell", 20, "fa\u0308w.de", {"fa\u0308w.de"}, {6}},
        {"IdeographBeyondTheBmpTakesTwoCells",
         20,
         repeat("\U0002000B", 11),
         {repeat("\U0002000B", 10), "\U0002000B"},
         {20, 2}},
        {"FlagIsNeverSplitBetweenItsIndicators",
         20,
         "a" + repeat("\U0001F1EF\U0001F1F5", 10),
         {"a" + repeat("\U0001F1EF\U0001F1F5", 9), "\U0001F1EF\U0001F1F5"},
         {19, 2}},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> texts;
        std::vector<std::size_t> cells;
        for (const Row& row : breakIntoRows(c.line, c.width)) {
            texts.push_back(c.line.substr(row.start, row.length));
            cells.push_back(row.cells);
        }
        EXPECT_EQ(texts, c.rows);
        EXPECT_EQ(cells, c.cells);
    }
}

// KRNIC lays its Korean half out counting a syllable as two columns: the colons line up.
TEST(TextRulesUnicodeRows, KoreanColumnsLineUpWithTheLatinOnes) {
    const std::string korean = "등록인          : 구글코리아";
    const std::string latin = "Registrant      : Google Korea";
    const Row koreanRow = breakIntoRows(korean, 80).front();
    const Row latinRow = breakIntoRows(latin, 80).front();
    EXPECT_EQ(cellAtOffset(korean, koreanRow, korean.find(':'), 80), 16u);
    EXPECT_EQ(cellAtOffset(latin, latinRow, latin.find(':'), 80), 16u);
    // Both cells of a syllable give its first byte.
    EXPECT_EQ(offsetAtCell(korean, koreanRow, 3, 80), 3u);
}

}  // namespace
}  // namespace torvane::view

namespace torvane::view {
namespace {

TEST(TextRulesLabelLines, ValueColumnIsWhereTheValueOfALabelLineStarts) {
    const std::pair<std::string, std::size_t> cases[] = {
        {"Domain Name:   GOOGLE.COM", 15},
        {"  Handle: 292", 10},
        {"登録者名: 株式会社", 10},  // four wide characters take eight cells
        {"domain:\t\tEXAMPLE.JP", 16},
        {"Time: 12:30", 6},  // the first colon ends the label
        {"https://example.jp/a", 0},
        {"Ratio:2", 0},
        {"Note:", 0},
        {"Note:   ", 0},
        {": value", 0},
        {"   : value", 0},
        {"   ", 0},
        {"", 0},
    };
    for (const auto& [line, column] : cases) {
        EXPECT_EQ(valueColumn(line), column) << line;
    }
}

struct IndentCase {
    const char* name;
    int width;
    std::string line;
    std::vector<std::string> rows;
    std::vector<std::size_t> cells;    // where each row ends, its indent counted
    std::vector<std::size_t> indents;
};

void PrintTo(const IndentCase& c, std::ostream* os) { *os << c.name; }

class TextRulesContinuationRows : public ::testing::TestWithParam<IndentCase> {};

TEST_P(TextRulesContinuationRows, BreakAsExpected) {
    const IndentCase& c = GetParam();
    std::vector<std::string> texts;
    std::vector<std::size_t> cells;
    std::vector<std::size_t> indents;
    for (const Row& row : breakIntoRows(c.line, c.width)) {
        texts.push_back(c.line.substr(row.start, row.length));
        cells.push_back(row.cells);
        indents.push_back(row.indent);
    }
    EXPECT_EQ(texts, c.rows);
    EXPECT_EQ(cells, c.cells);
    EXPECT_EQ(indents, c.indents);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextRulesContinuationRows,
    ::testing::Values(
        IndentCase{"ContinuationStartsUnderTheValue",
                   20,
                   "Name:   aaaa bbbb cccc dddd",
                   {"Name:   aaaa bbbb ", "cccc dddd"},
                   {18, 17},
                   {0, 8}},
        IndentCase{"IndentIsCappedAtHalfTheWidth",
                   20,
                   "A long label here:  aaaa bbbb cccc",
                   {"A long label here:  ", "aaaa bbbb ", "cccc"},
                   {20, 20, 14},
                   {0, 10, 10}},
        IndentCase{"WideCharactersOfTheLabelCountTwoCells",
                   20,
                   "登録者:  漢字漢字漢字漢字漢字漢字",
                   {"登録者:  漢字漢字漢", "字漢字漢字", "漢字"},
                   {19, 19, 13},
                   {0, 9, 9}},
        IndentCase{"TabsCountFromTheScreenColumnUnderTheValue",
                   20,
                   "x: a\tb\tc\td\te\tf",
                   {"x: a\tb\tc\t", "d\te\tf"},
                   {20, 17},
                   {0, 3}},
        IndentCase{"LineWithoutLabelContinuesAtColumnZero",
                   20,
                   "aaaa bbbb cccc dddd eeee",
                   {"aaaa bbbb cccc dddd ", "eeee"},
                   {20, 4},
                   {0, 0}},
        IndentCase{"UrlThatFitsAContinuationRowStartsItWhole",
                   40,
                   "See: the form at https://www.icann.org/wicf",
                   {"See: the form at ", "https://www.icann.org/wicf"},
                   {17, 31},
                   {0, 5}},
        IndentCase{"OpeningBracketMovesWithTheUrl",
                   40,
                   "See: the form at (https://www.icann.org/wicf)",
                   {"See: the form at ", "(https://www.icann.org/wicf)"},
                   {17, 33},
                   {0, 5}},
        IndentCase{"UrlLongerThanAContinuationRowIsSplit",
                   20,
                   "Remark: https://www.example.com/a/b",
                   {"Remark: https://www.", "example.com/", "a/b"},
                   {20, 20, 11},
                   {0, 8, 8}},
        IndentCase{"UrlStartingARowIsKeptWholeWhenItFits",
                   20,
                   "aaaa bbbb cccc dddd http://ex.jp/abcéééééé",
                   {"aaaa bbbb cccc dddd ", "http://ex.jp/abc", "éééééé"},
                   {20, 16, 6},
                   {0, 0, 0}},
        IndentCase{"UrlAfterOnlySpacesStaysWholeInItsRow",
                   20,
                   "/'2014漢字漢字漢字｡  http://example.jp/a（【",
                   {"/'2014漢字漢字漢字｡ ", " http://example.jp/a", "（【"},
                   {20, 20, 4},
                   {0, 0, 0}}),
    [](const ::testing::TestParamInfo<IndentCase>& info) { return std::string(info.param.name); });

TEST(TextRulesRowCells, IndentCellsHoldNoCharacterAndTheValueStartsAfterThem) {
    const std::string line = "Name:   aaaa bbbb cccc dddd";
    const auto rows = breakIntoRows(line, 20);
    ASSERT_EQ(rows.size(), 2u);
    for (std::size_t cell = 0; cell < 8; ++cell) {
        EXPECT_EQ(offsetAtCell(line, rows[1], cell, 20), std::nullopt) << cell;
    }
    EXPECT_EQ(offsetAtCell(line, rows[1], 8, 20), 18u);
    EXPECT_EQ(offsetAtCell(line, rows[1], 16, 20), 26u);
    EXPECT_EQ(offsetAtCell(line, rows[1], 17, 20), std::nullopt);
    EXPECT_EQ(cellAtOffset(line, rows[1], 18, 20), 8u);
    EXPECT_EQ(cellAtOffset(line, rows[1], 23, 20), 13u);
}

}  // namespace
}  // namespace torvane::view
