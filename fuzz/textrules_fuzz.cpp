// The report text rules on arbitrary report text, line by line with the
// state carried over: tokens in order, disjoint and inside the line, the
// token at each offset agreeing with the token list, and rows that cover the
// line exactly, for every wrap width.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "view/rules/rows.h"
#include "view/rules/tokens.h"

using namespace torvane::view;

namespace {

LexState CheckTokens(std::string_view line, LexState start, bool everyOffset) {
    const LineTokens result = tokenize(line, start);
    std::size_t previousEnd = 0;
    for (const Token& token : result.tokens) {
        FUZZ_CHECK(token.length >= 1);
        FUZZ_CHECK(token.start >= previousEnd);
        FUZZ_CHECK(token.end() <= line.size());
        previousEnd = token.end();
    }
    FUZZ_CHECK(endState(line, start) == result.end);
    std::vector<Token> reused{Token{TokenClass::word, Region::none, 0, 1}};
    FUZZ_CHECK(tokenizeInto(line, start, reused) == result.end);
    FUZZ_CHECK(reused == result.tokens);

    // tokenAt tokenizes the whole line again for each offset: long lines are
    // sampled.
    const std::size_t step = line.size() <= 512 && everyOffset ? 1 : line.size() / 16 + 1;
    for (std::size_t offset = 0; offset <= line.size(); offset += step) {
        const Token* found = findTokenAt(result.tokens, offset);
        const std::optional<TokenText> text = tokenAt(line, start, offset);
        FUZZ_CHECK((found != nullptr) == text.has_value());
        if (found == nullptr) continue;
        FUZZ_CHECK(found->start <= offset && offset < found->end());
        FUZZ_CHECK(text->cls == found->cls);
    }
    return result.end;
}

void CheckRows(std::string_view line, int wrapWidth, bool everyCell) {
    const std::vector<Row> rows = breakIntoRows(line, wrapWidth);
    FUZZ_CHECK(!rows.empty());
    std::size_t next = 0;
    const std::size_t width = static_cast<std::size_t>(
        wrapWidth < kMinWrapWidth ? kMinWrapWidth
                                  : (wrapWidth > kMaxWrapWidth ? kMaxWrapWidth : wrapWidth));
    for (const Row& row : rows) {
        FUZZ_CHECK(row.start == next);
        FUZZ_CHECK(row.length > 0 || line.empty());
        // Hanging punctuation may take up to three cells past the width.
        FUZZ_CHECK(row.cells <= width + 3);
        next = row.start + row.length;
        FUZZ_CHECK(cellAtOffset(line, row, next, wrapWidth) == row.cells);
        for (std::size_t cell = 0; everyCell && cell < row.cells; ++cell) {
            const std::optional<std::size_t> offset = offsetAtCell(line, row, cell, wrapWidth);
            FUZZ_CHECK(offset.has_value());
            FUZZ_CHECK(*offset >= row.start && *offset < next);
        }
        FUZZ_CHECK(!offsetAtCell(line, row, row.cells, wrapWidth).has_value());
    }
    FUZZ_CHECK(next == line.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 16384) return 0;  // long inputs only slow the width loop
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int cellWidth =
        size == 0 ? kMinWrapWidth : kMinWrapWidth + data[0] % (kMaxWrapWidth - kMinWrapWidth + 1);
    LexState state = Region::none;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        for (LexState other : {Region::none, Region::curly, Region::lenticular})
            if (other != state) CheckTokens(line, other, false);
        state = CheckTokens(line, state, true);
        CheckRows(line, 0, false);
        CheckRows(line, 1000, false);
        // Every width for the rows; the cell mapping of every cell for one
        // width that the input picks.
        for (int width = kMinWrapWidth; width <= kMaxWrapWidth; ++width)
            CheckRows(line, width, width == cellWidth);
        start = end + 1;
    }
    return 0;
}
