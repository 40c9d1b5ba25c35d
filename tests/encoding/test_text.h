#pragma once
// Small helpers for writing byte texts in the tests.

#include <ostream>
#include <string>
#include <string_view>

#include "encoding/text_code.h"

namespace torvane::encoding {

// Lets gtest print verdicts by name.
inline void PrintTo(TextCode code, std::ostream* os) { *os << TextCodeName(code); }

namespace testing {

// A text from a literal that may hold zero bytes: T("a\0b") has three bytes.
template <std::size_t N>
std::string T(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

inline std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

}  // namespace testing
}  // namespace torvane::encoding
