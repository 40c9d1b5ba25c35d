// Character offsets of a report as assistive technologies count them, and the per-line cache
// that keeps them cheap while the report grows.
#include "view/widget/char_offsets.h"

#include <gtest/gtest.h>

#include "text_testing.h"

namespace torvane::view {
namespace {

using testing::inCp932;

TEST(CharOffsetsTest, CharactersOfALineCountUtf16UnitsOfEachCodePoint) {
    // a, あ (three bytes, one unit), b, a stray byte (U+FFFD), 𝄞 (four bytes, two units), c.
    const std::string line = "a" + inCp932("あ") + "b\x81" + "\xF0\x9D\x84\x9E" + "c";
    struct Case {
        std::size_t bytes;
        std::size_t chars;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{4, 2}, Case{5, 3}, Case{6, 4},
                         Case{10, 6}, Case{11, 7}}) {
        EXPECT_EQ(CharsBefore(line, c.bytes), c.chars) << "byte " << c.bytes;
    }
    // The second unit of 𝄞's pair gives its start.
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{4, 2}, Case{5, 3}, Case{6, 4}, Case{6, 5},
                         Case{10, 6}, Case{11, 7}, Case{11, 9}}) {
        EXPECT_EQ(ByteOffsetOfChar(line, c.chars), c.bytes) << "char " << c.chars;
    }
}

class CharOffsetsCacheTest : public ::testing::Test {
  protected:
    // "abc\n日本\n\n\tx": lines start at 0, 4, 7 and 8; ten characters in all.
    CharOffsetsCacheTest() : lines{"abc", inCp932("日本"), "", "\tx"} {}

    query::TLines lines;
    TCharOffsets offsets;
};

TEST_F(CharOffsetsCacheTest, MapsPositionsToOffsetsAndBack) {
    EXPECT_EQ(offsets.characterCount(lines), 10u);
    struct Case {
        TextPos pos;
        std::size_t offset;
    };
    const Case cases[] = {
        {{0, 0}, 0}, {{0, 3}, 3},   // 'a' and the first line's end
        {{1, 0}, 4}, {{1, 3}, 5},   // 日 and 本 (three bytes each)
        {{1, 6}, 6},                // the line end after 本
        {{2, 0}, 7},                // the empty line
        {{3, 0}, 8}, {{3, 2}, 10},  // the tab and the text's end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(offsets.offsetOf(lines, c.pos), c.offset) << c.pos.line << ":" << c.pos.offset;
        EXPECT_EQ(offsets.posAt(lines, c.offset), c.pos) << "offset " << c.offset;
    }
    EXPECT_EQ(offsets.posAt(lines, 99), (TextPos{3, 2}));
    EXPECT_EQ(offsets.lineAt(lines, 6), 1u);
    EXPECT_EQ(offsets.lineAt(lines, 7), 2u);
    EXPECT_EQ(offsets.lineAt(lines, 99), 3u);
}

TEST_F(CharOffsetsCacheTest, AnEmptyTextHasNoCharacters) {
    const query::TLines none;
    EXPECT_EQ(offsets.characterCount(none), 0u);
    EXPECT_EQ(offsets.posAt(none, 5), (TextPos{0, 0}));
    const query::TLines oneEmptyLine{""};
    EXPECT_EQ(offsets.characterCount(oneEmptyLine), 0u);
}

TEST_F(CharOffsetsCacheTest, CountsOnlyTheLinesAQuestionReaches) {
    EXPECT_EQ(offsets.lineStart(lines, 1), 4u);
    EXPECT_EQ(offsets.cachedLines(), 2u);
    EXPECT_EQ(offsets.lineAt(lines, 5), 1u);
    EXPECT_EQ(offsets.cachedLines(), 3u);  // line 2's start bounds line 1
}

TEST_F(CharOffsetsCacheTest, AppendingKeepsTheCountedLines) {
    EXPECT_EQ(offsets.characterCount(lines), 10u);
    const std::size_t counted = offsets.cachedLines();
    lines.push_back(inCp932("末尾"));
    EXPECT_EQ(offsets.cachedLines(), counted);
    EXPECT_EQ(offsets.characterCount(lines), 13u);
    EXPECT_EQ(offsets.offsetOf(lines, {4, 2}), 12u);
    EXPECT_EQ(offsets.cachedLines(), counted + 1);
}

TEST_F(CharOffsetsCacheTest, InsertingForgetsTheLinesFromTheInsertPoint) {
    EXPECT_EQ(offsets.characterCount(lines), 10u);
    lines.insert(1, query::TLines{"12345"});
    offsets.linesInsertedAt(1);
    EXPECT_EQ(offsets.cachedLines(), 2u);
    // "abc\n12345\n日本\n\n\tx"
    EXPECT_EQ(offsets.characterCount(lines), 16u);
    EXPECT_EQ(offsets.offsetOf(lines, {2, 2}), 11u);
    EXPECT_EQ(offsets.posAt(lines, 13), (TextPos{3, 0}));
}

TEST_F(CharOffsetsCacheTest, ClearingForgetsEveryLine) {
    EXPECT_EQ(offsets.characterCount(lines), 10u);
    lines = query::TLines{"xy"};
    offsets.clear();
    EXPECT_EQ(offsets.cachedLines(), 0u);
    EXPECT_EQ(offsets.characterCount(lines), 2u);
}

}  // namespace
}  // namespace torvane::view
