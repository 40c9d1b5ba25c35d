#include <algorithm>
#include <array>

#include "view/rules/tokens.h"

namespace torvane::view {
namespace {

constexpr std::array<std::string_view, 16> kReservedWords = {
    "ACK", "CWR", "ECH", "EGP", "FIN", "GGP", "ICMP", "IGMP",
    "IGP", "PSH", "RST", "SYN", "TCP", "UCL", "UDP",  "URG"};

constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

bool isReservedWord(std::string_view text) {
    if (text.size() < 3 || text.size() > 4) return false;
    return std::ranges::any_of(kReservedWords, [&](std::string_view word) {
        return word.size() == text.size() &&
               std::equal(word.begin(), word.end(), text.begin(),
                          [](char w, char t) { return w == asciiUpper(t); });
    });
}

const Token* findTokenAt(std::span<const Token> tokens, std::size_t offset) {
    // The first token ending after the offset is the only one that can hold it.
    const auto it = std::ranges::upper_bound(tokens, offset, {}, &Token::end);
    if (it == tokens.end() || it->start > offset) return nullptr;
    return &*it;
}

std::optional<TokenText> tokenAt(std::string_view line, LexState start, std::size_t offset) {
    if (offset >= line.size()) return std::nullopt;
    std::vector<Token> tokens;
    tokenizeInto(line, start, tokens);
    const Token* token = findTokenAt(tokens, offset);
    if (token == nullptr) return std::nullopt;
    return TokenText{token->cls, token->region,
                     std::string(line.substr(token->start, token->length))};
}

}  // namespace torvane::view
