#pragma once
// The result of character-code detection, shared by the Japanese and the
// Unicode detectors and by the Punycode conversion of domain names.

#include <string_view>

namespace torvane::encoding {

// The numeric values are fixed: they are part of the detectors' contract.
enum class TextCode : int {
    tcAscii = 0,      // nothing pointing to another code; every pure ASCII text
    tcNonText = 1,    // empty (DetectTextCode only), or a byte 0x00-0x07 / 0xFF seen
    tcJis = 2,        // ISO-2022-JP, kanji designated by ESC $ B
    tcJisOld = 3,     // ISO-2022-JP, kanji designated by ESC $ @
    tcEuc = 4,        // EUC-JP
    tcSjis = 5,       // Shift_JIS
    tcEucOrSjis = 6,  // 8-bit Japanese that fits both EUC-JP and Shift_JIS
    tcUtf16Le = 7,    // UTF-16LE starting with the byte-order mark FF FE
    tcUtf16Be = 8,    // UTF-16BE starting with the byte-order mark FE FF
    tcUtf8Bom = 9,    // UTF-8 starting with the byte-order mark EF BB BF
    tcUtf8 = 10,      // UTF-8 without byte-order mark, seen by its 3-byte sequences
};

// How many leading bytes the non-text test and the UTF-8 test look at.
inline constexpr int ScanLimit = 512;

// The enumerator's own name ("tcAscii", ...); "?" for a value outside 0-10.
std::string_view TextCodeName(TextCode code);

}  // namespace torvane::encoding
