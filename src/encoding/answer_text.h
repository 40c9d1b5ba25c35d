#pragma once
// The conversion every WHOIS answer goes through before it is shown.

#include <string>
#include <string_view>

namespace torvane::encoding {

// Converts a raw answer to CP932 according to DetectTextCode: ISO-2022-JP
// and EUC-JP through JisToSjis and EucToSjis (in place), UTF-16 through Utf16LeToAnsi /
// Utf16BeToAnsi, UTF-8 with byte-order mark through Utf8BomToAnsi (which may
// throw), UTF-8 without through Utf8ToAnsiSimple. ASCII, non-text, Shift_JIS
// and texts that may be EUC-JP or Shift_JIS come back unchanged: the text
// taken is returned, not a copy.
//
// The run decodes answers with DecodeAnswer (answer_utf8.h) now; this CP932
// conversion stays as the reference its tests hold the UTF-8 decoding to: for
// every text CP932 can write, the two give the same characters.
std::string ConvertAnswerText(std::string text);

}  // namespace torvane::encoding
