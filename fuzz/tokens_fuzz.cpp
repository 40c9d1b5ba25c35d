// The tokenizer on arbitrary report text, line by line with the state
// carried over: tokens in order, disjoint and inside the line, the token at
// each offset agreeing with the token list, the end state the same however
// it is asked for.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
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

    // findTokenAt at every offset; tokenAt, which tokenizes the whole line
    // again, at the ends and at one offset the line picks.
    const std::size_t picked = line.empty() ? 0 : static_cast<unsigned char>(line[0]) % line.size();
    for (std::size_t offset = 0; offset <= line.size(); ++offset) {
        const Token* found = findTokenAt(result.tokens, offset);
        if (found != nullptr) FUZZ_CHECK(found->start <= offset && offset < found->end());
        if (!everyOffset || (offset != 0 && offset != picked && offset != line.size())) continue;
        const std::optional<TokenText> text = tokenAt(line, start, offset);
        FUZZ_CHECK((found != nullptr) == text.has_value());
        if (found == nullptr) continue;
        FUZZ_CHECK(text->cls == found->cls);
        FUZZ_CHECK(text->text == line.substr(found->start, found->length));
    }
    return result.end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    LexState state = Region::none;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        for (LexState other : {Region::none, Region::curly, Region::lenticular})
            if (other != state) CheckTokens(line, other, false);
        state = CheckTokens(line, state, true);
        isReservedWord(line);
        start = end + 1;
    }
    return 0;
}
