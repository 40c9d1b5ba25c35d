// Splitting report lines into classified tokens: what is a link, and how text is coloured.
//
// Lines are UTF-8 without their line end. Offsets and lengths count bytes from 0, so a character
// spans as many offsets as it has bytes, and any of them lies in its token. No token splits a
// character or a grapheme cluster.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::view {

// Bracket regions, tried in this order: 1 is "{" … "}", 2 is "【" … "】".
enum class Region : std::uint8_t { none = 0, curly = 1, lenticular = 2 };

// The lexical state carried from one logical line to the next: the bracket region left open.
using LexState = Region;

enum class TokenClass : std::uint8_t {
    bracketRegion,  // opener up to and including its closer; may run over several lines
    mailAddress,
    url,
    comment,       // "<!" up to the end of the line
    quotedString,  // a double quote up to the closing one or the end of the line
    word,          // ASCII letter or "_", then letters, digits and "_"
    number,
    japaneseText,  // letters of one kind (JIS row or script), one CP932 double-byte symbol, or
                   // half-width kana
    tab,
    symbol,
    reservedWord,  // any other class (bar bracket region and comment) spelling a reserved word
    warning,       // a lenticular region on one line whose text opens with kWarningLead
};

struct Token {
    TokenClass cls;
    Region region;  // the bracket region for `bracketRegion`, otherwise Region::none
    std::size_t start;
    std::size_t length;  // at least 1

    std::size_t end() const { return start + length; }
    friend bool operator==(const Token&, const Token&) = default;
};

struct LineTokens {
    std::vector<Token> tokens;  // in order, disjoint; the gaps between them are whitespace
    LexState end;               // the state at the start of the next line
};

// Tokenizes `line`, which starts in state `start`. An empty line inside an open region yields no
// token and keeps the region open.
LineTokens tokenize(std::string_view line, LexState start);

// Same as `tokenize`, writing the tokens into `out` (its old contents are dropped) so that a
// caller tokenizing many lines reuses one buffer. Returns the state at the end of the line.
LexState tokenizeInto(std::string_view line, LexState start, std::vector<Token>& out);

// The state at the end of `line` without collecting its tokens.
LexState endState(std::string_view line, LexState start);

// The token whose extent holds byte `offset` of an already tokenized line, or nullptr when the
// offset is on whitespace between tokens or past the last token. `tokens` must be in order.
const Token* findTokenAt(std::span<const Token> tokens, std::size_t offset);

struct TokenText {
    TokenClass cls;
    Region region;
    std::string text;  // the token's bytes; a link's whole text even when it wraps over rows

    friend bool operator==(const TokenText&, const TokenText&) = default;
};

// The class and text of the token of `line` (starting in state `start`) that holds byte `offset`;
// none on whitespace between tokens and at or past the end of the last token.
std::optional<TokenText> tokenAt(std::string_view line, LexState start, std::size_t offset);

// True when `text` equals one of the 16 reserved words, ignoring the case of ASCII letters.
bool isReservedWord(std::string_view text);

}  // namespace torvane::view
