#pragma once
// The Punycode encoder (RFC 3492) on UTF-16 code units or on code points, and
// the conversion of a Shift_JIS host name to its ASCII-compatible form label
// by label. No name preparation here: no case folding, no normalisation (a
// typed name in UTF-8 is prepared by MapTypedName in puny/typed_name.h).

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane::puny {

// RFC 3492 parameters.
inline constexpr std::int32_t kBase = 36;
inline constexpr std::int32_t kTMin = 1;
inline constexpr std::int32_t kTMax = 26;
inline constexpr std::int32_t kSkew = 38;
inline constexpr std::int32_t kDamp = 700;
inline constexpr std::int32_t kInitialBias = 72;
inline constexpr std::int32_t kInitialN = 128;
// Start value of the minimum search: larger than any code unit.
inline constexpr std::int32_t kMaxInt = 2147483647;
inline constexpr char16_t kDelimiter = u'-';

// Stateless; one instance per label is as good as one for all.
class TPunyClass {
  public:
    // The Punycode form of one label, without "xn--". Time grows with the
    // label's length times the number of its distinct non-basic units. A label of basic code
    // units (< 128) only comes back as it is, without a delimiter. When the
    // encoding cannot be completed (a counter would leave 32 bits, which takes
    // a label of tens of thousands of units) the label comes back unchanged.
    std::u16string Encode(std::u16string_view label) const;
    // The same on code points, which is what RFC 3492 counts: a character
    // beyond U+FFFF is one code point, where the UTF-16 form above sees two
    // surrogate units (and so gives another result than IDNA does).
    // Precondition: every element is at most 0x10FFFF.
    std::u32string Encode(std::u32string_view label) const;

    // Bias adaptation after each encoded delta (RFC 3492, 6.1).
    static std::int32_t Adapt(std::int32_t delta, std::int32_t numpoints, bool firsttime);
    // Digit value 0-25 -> 'a'-'z', 26-35 -> '0'-'9'. Precondition: 0 <= d <= 35.
    static char16_t EncodeDigit(std::int32_t d);
    // The smallest unit of the label that is >= n; kMaxInt if there is none.
    static std::int32_t MinCodeAtLeast(std::int32_t n, std::u16string_view label);
    static std::int32_t MinCodeAtLeast(std::int32_t n, std::u32string_view label);
};

// The host name with every label that holds more than ASCII replaced by
// "xn--" + its Punycode form. Labels are split at "." only; empty labels and
// a final dot stay; a label of one byte is never encoded. Labels go from
// CP932 to UTF-16 through the code-page conversion (bad bytes give U+FFFD).
// A name in which DetectTextCode finds only ASCII comes back unchanged.
// The run no longer calls it (typed_name.h prepares UTF-8 names); it stays as
// the CP932 form the tests compare the encoder's older path against.
std::string DomainToAscii(std::string_view name);

}  // namespace torvane::puny
