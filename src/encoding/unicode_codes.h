#pragma once
// Detection of the Unicode forms (UTF-16 with byte-order mark, UTF-8 with or
// without one) on top of the Japanese detector, and their conversion to the
// ANSI code page CP932. Characters that CP932 lacks become '?'.

#include <string>
#include <string_view>

#include "encoding/text_code.h"

namespace torvane::encoding {

// tcNonText for an empty text; tcUtf16Le / tcUtf16Be for a leading FF FE /
// FE FF; tcUtf8Bom for EF BB BF followed by at least one byte; tcUtf8 when
// the first ScanLimit bytes hold a valid three-byte sequence and no two- or
// four-byte lead (texts of up to 5 bytes are never taken as UTF-8);
// otherwise DetectJapaneseCode.
TextCode DetectTextCode(std::string_view text);

// UTF-16LE from byte 0, the byte-order mark included (it becomes '?'), up to
// the first zero unit or the end. A last odd byte is dropped.
std::string Utf16LeToAnsi(std::string_view text);

// As Utf16LeToAnsi for big-endian units.
std::string Utf16BeToAnsi(std::string_view text);

// Drops the first three bytes (the byte-order mark) and converts the rest
// with Utf8ToAnsiStrict.
std::string Utf8BomToAnsi(std::string_view text);

// Decodes with Utf8ToUtf16 (malformed pieces become U+FFFD, then '?') and
// converts up to the first zero unit, so a zero byte ends the result.
// Throws std::runtime_error("UTF8の文字列変換に失敗しました.") when the
// decoder yields nothing, that is when it cannot run at all.
std::string Utf8ToAnsiStrict(std::string_view text);

// A small decoder of its own: a byte below 0x80 is one unit; any other byte
// leads a sequence with two trail bytes when its bit 0x20 is set, else one,
// and the unit is the low 16 bits of (lead & 0x3F) and the trails' six bits
// each. A lead whose trail bytes are not all 10xxxxxx becomes one '?' and
// decoding resumes at the bad byte; a sequence cut off by the end becomes
// one '?' and ends the text. Zero bytes are kept.
std::string Utf8ToAnsiSimple(std::string_view text);

}  // namespace torvane::encoding
