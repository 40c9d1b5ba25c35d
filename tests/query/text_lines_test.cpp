#include "query/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvane::query {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(SplitLines, HandlesEveryMixOfLineEnds) {
    const std::pair<std::string, Lines> cases[] = {
        {"\r", {""}},
        {"\n\r", {"", ""}},
        {"a\rb\rc", {"a", "b", "c"}},  // CR only, no LF to count
        {"a\r\r\nb\n\r\nc", {"a", "", "b", "", "c"}},
        {"x\r\n\r\n", {"x", ""}},
        {"\x82\n\x82\r", {"\x82", "\x82"}},  // a lead byte is not looked at
        // Line ends on both sides of an eight-byte word, and bytes below CR
        // that end nothing (tab, NUL) inside one.
        {"1234567\n12345678\r\n\t\0x\t\0y\t\0z"s, {"1234567", "12345678", "\t\0x\t\0y\t\0z"s}},
    };
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(SplitLines(text), lines) << text;
        EXPECT_EQ(TLines::FromText(text), lines) << text;
    }
}

// Joining lists in any order, at any place, with lines pushed in between,
// gives the lines a plain vector would hold; no join loses or moves a line
// although the buffers are taken over rather than copied.
TEST(TLines, JoinsAndInsertsAsAVectorOfLinesWould) {
    const std::string answer(100, 'a');
    for (std::size_t at = 0; at <= 3; ++at) {
        TLines lines{"head", "", "tail"};
        Lines expected{"head", "", "tail"};
        TLines block = TLines::FromText(answer + "\r\nsecond\r\n");
        block.push_back(block[1]);  // a line of the list itself
        const Lines blockLines{answer, "second", "second"};
        lines.insert(at, std::move(block));
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), blockLines.begin(),
                        blockLines.end());
        for (int i = 0; i < 300; ++i) {  // past the first buffer's room
            lines.push_back(std::string(20, static_cast<char>('0' + i % 10)));
            expected.push_back(std::string(20, static_cast<char>('0' + i % 10)));
        }
        lines.append(TLines{"end"});
        expected.push_back("end");
        EXPECT_EQ(lines, expected) << at;
        EXPECT_EQ(TLines(expected), lines);
    }
}

}  // namespace
}  // namespace torvane::query
