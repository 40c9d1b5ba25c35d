#include "query/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvane::query {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, HandlesEveryMixOfLineEnds) {
    const std::pair<std::string, Lines> cases[] = {
        {"\r", {""}},
        {"\n\r", {"", ""}},
        {"a\rb\rc", {"a", "b", "c"}},  // CR only, no LF to count
        {"a\r\r\nb\n\r\nc", {"a", "", "b", "", "c"}},
        {"x\r\n\r\n", {"x", ""}},
        {"\x82\n\x82\r", {"\x82", "\x82"}},  // a lead byte is not looked at
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(SplitLines(text), lines) << text;
}

}  // namespace
}  // namespace torvane::query
