// TTextLayout: rows and end states kept per line, recomputed only where a change reaches.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "view/widget/text_layout.h"

namespace torvane::view {
namespace {

std::vector<std::string> NumberedLines(std::size_t n) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < n; ++i) lines.push_back("line " + std::to_string(i));
    return lines;
}

TEST(TextLayout, AppendingBreaksAndScansOnlyTheNewLines) {
    TTextLayout layout;
    layout.append(NumberedLines(100000));
    layout.resetWorkCounters();

    layout.append(std::string("one more"));
    EXPECT_EQ(layout.linesBroken(), 1u);
    EXPECT_EQ(layout.linesScanned(), 1u);

    const std::vector<std::string> more = NumberedLines(3);
    layout.append(more);
    EXPECT_EQ(layout.linesBroken(), 4u);
    EXPECT_EQ(layout.linesScanned(), 4u);
    EXPECT_EQ(layout.lineCount(), 100004u);
}

TEST(TextLayout, InsertingRescansFollowingLinesOnlyWhileTheirStartStateChanges) {
    TTextLayout layout;
    layout.append(std::vector<std::string>{"a", "b", "c}", "d", "e"});
    layout.resetWorkCounters();

    // A plain line changes no state after it.
    layout.insert(1, "plain");
    EXPECT_EQ(layout.linesBroken(), 1u);
    EXPECT_EQ(layout.linesScanned(), 1u);

    // An opener without a closer carries the region into "b" and "c}", where it closes.
    layout.resetWorkCounters();
    layout.insert(0, "{open");
    EXPECT_EQ(layout.linesBroken(), 1u);
    EXPECT_EQ(layout.linesScanned(), 5u);  // "{open", "a", "plain", "b", "c}"
    EXPECT_EQ(layout.startStateOf(4), Region::curly);
    EXPECT_EQ(layout.startStateOf(5), Region::none);
}

// A block inserted in one step leaves the layout exactly as inserting its lines one by one does:
// rows (a long line wraps), text positions and the states the block's open region carries on.
TEST(TextLayout, ABlockInsertedInOneStepEqualsItsLinesInsertedOneByOne) {
    const std::vector<std::string> later{"a", "b}", std::string(90, 'w'), "c"};
    const std::vector<std::string> block{"{open", std::string(170, 'x'), "", "【z"};
    TTextLayout oneStep;
    TTextLayout oneByOne;
    oneStep.append(std::vector<std::string>(later));
    oneByOne.append(std::vector<std::string>(later));
    oneStep.insert(1, query::TLines(block));
    for (std::size_t i = 0; i < block.size(); ++i) oneByOne.insert(1 + i, block[i]);

    ASSERT_EQ(oneStep.lines(), oneByOne.lines());
    ASSERT_EQ(oneStep.rowCount(), oneByOne.rowCount());
    for (std::size_t row = 0; row < oneStep.rowCount(); ++row) {
        EXPECT_EQ(oneStep.rowAt(row).row, oneByOne.rowAt(row).row) << row;
        EXPECT_EQ(oneStep.rowAt(row).line, oneByOne.rowAt(row).line) << row;
    }
    for (std::size_t line = 0; line < oneStep.lineCount(); ++line) {
        EXPECT_EQ(oneStep.positionOf({line, 0}), oneByOne.positionOf({line, 0})) << line;
        EXPECT_EQ(oneStep.startStateOf(line), oneByOne.startStateOf(line)) << line;
    }
    EXPECT_EQ(oneStep.text(), oneByOne.text());
    EXPECT_THROW(oneStep.insert(oneStep.lineCount() + 1, query::TLines{"x"}), std::out_of_range);
}

// Removing a block leaves the layout as if the remaining lines had been appended afresh: rows,
// positions and the states a removed opener no longer carries on; wherever the block stood.
TEST(TextLayout, RemovingABlockLeavesTheLayoutOfTheRemainingLines) {
    const std::vector<std::string> lines{"a", "{open", std::string(170, 'x'), "b}", "c", "d"};
    struct Case {
        std::size_t index;
        std::size_t count;
    };
    for (const Case c : {Case{1, 2}, Case{0, 6}, Case{4, 2}, Case{2, 0}, Case{0, 1}}) {
        TTextLayout removed;
        removed.append(std::vector<std::string>(lines));
        removed.remove(c.index, c.count);
        std::vector<std::string> rest = lines;
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(c.index),
                   rest.begin() + static_cast<std::ptrdiff_t>(c.index + c.count));
        TTextLayout fresh;
        fresh.append(std::vector<std::string>(rest));
        SCOPED_TRACE(std::to_string(c.index) + "+" + std::to_string(c.count));
        ASSERT_EQ(removed.lines(), fresh.lines());
        ASSERT_EQ(removed.rowCount(), fresh.rowCount());
        for (std::size_t row = 0; row < removed.rowCount(); ++row) {
            EXPECT_EQ(removed.rowAt(row).row, fresh.rowAt(row).row) << row;
            EXPECT_EQ(removed.rowAt(row).line, fresh.rowAt(row).line) << row;
        }
        for (std::size_t line = 0; line < removed.lineCount(); ++line) {
            EXPECT_EQ(removed.positionOf({line, 0}), fresh.positionOf({line, 0})) << line;
            EXPECT_EQ(removed.startStateOf(line), fresh.startStateOf(line)) << line;
        }
        EXPECT_EQ(removed.textLength(), fresh.textLength());
        EXPECT_THROW(removed.remove(removed.lineCount(), 1), std::out_of_range);
    }
}

TEST(TextLayout, NewWrapWidthRebreaksEveryLineAndClamps) {
    TTextLayout layout;
    layout.append(std::vector<std::string>(10, std::string(100, 'x') + " tail"));
    EXPECT_EQ(layout.rowCount(), 20u);  // 105 cells at 80: two rows each
    layout.resetWorkCounters();

    EXPECT_TRUE(layout.setWrapWidth(500));
    EXPECT_EQ(layout.wrapWidth(), 250);
    EXPECT_EQ(layout.linesBroken(), 10u);
    EXPECT_EQ(layout.rowCount(), 10u);

    EXPECT_FALSE(layout.setWrapWidth(300));  // still 250: nothing re-broken
    EXPECT_EQ(layout.linesBroken(), 10u);
    layout.setWrapWidth(1);
    EXPECT_EQ(layout.wrapWidth(), 20);
}

TEST(TextLayout, RowsMapBackToTheirLines) {
    TTextLayout layout(20);
    layout.append(std::vector<std::string>{"short", std::string(50, 'a'), "", "end"});
    // "short" | 50 letters: five rows cut after 20 div 3 = 6 cells, then the last 20 | "" | "end"
    ASSERT_EQ(layout.rowCount(), 1u + 6u + 1u + 1u);
    EXPECT_EQ(layout.rowAt(0).line, 0u);
    EXPECT_EQ(layout.rowAt(1).line, 1u);
    EXPECT_EQ(layout.rowAt(6).line, 1u);
    EXPECT_EQ(layout.rowAt(6).indexInLine, 5u);
    EXPECT_EQ(layout.rowAt(6).row, (Row{30, 20, 20}));
    EXPECT_EQ(layout.rowAt(7).line, 2u);
    EXPECT_EQ(layout.rowAt(8).line, 3u);
    EXPECT_EQ(layout.rowOf({1, 6}), 2u);  // a break belongs to the later row
    EXPECT_EQ(layout.rowOf({1, 50}), 6u);
}

TEST(TextLayout, PositionsCountBytesWithCrLfBetweenLines) {
    TTextLayout layout;
    // "漢" in UTF-8 is E6 BC A2.
    layout.append(std::vector<std::string>{"ab", "漢z", ""});
    EXPECT_EQ(layout.text(), "ab\r\n漢z\r\n");
    EXPECT_EQ(layout.textLength(), 10u);
    EXPECT_EQ(layout.positionOf({1, 3}), 7u);

    const struct {
        std::size_t position;
        TextPos expected;
    } cases[] = {
        {0, {0, 0}}, {2, {0, 2}},  {3, {0, 2}},  // between CR and LF: the line's end
        {4, {1, 0}}, {5, {1, 0}},  {6, {1, 0}},  // inside a character: its start
        {7, {1, 3}}, {10, {2, 0}}, {99, {2, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layout.posAt(c.position), c.expected) << c.position;
    }
    EXPECT_EQ(layout.textBetween(1, 8), "b\r\n漢z");
    EXPECT_EQ(layout.textBetween(8, 100), "\r\n");
}

TEST(TextLayout, InsertOutsideTheTextThrowsAndClearEmpties) {
    TTextLayout layout;
    layout.append(std::string("x"));
    EXPECT_THROW(layout.insert(2, "y"), std::out_of_range);
    layout.insert(1, "y");
    EXPECT_EQ(layout.text(), "x\r\ny");
    layout.clear();
    EXPECT_EQ(layout.lineCount(), 0u);
    EXPECT_EQ(layout.rowCount(), 0u);
    EXPECT_EQ(layout.textLength(), 0u);
}

}  // namespace
}  // namespace torvane::view
