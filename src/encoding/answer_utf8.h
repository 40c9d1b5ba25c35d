#pragma once
// The decoding of a WHOIS answer to UTF-8, for the text model in which every
// text inside the program is UTF-8.
//
// How the switch to that model uses it: where an answer arrives today it
// goes through ConvertAnswerText (answer_text.h) to CP932; it will go
// through DecodeAnswer instead, with the host name of the server that sent
// it, and the UTF-8 that comes back is the report's text. ConvertAnswerText
// then stays only for the CP932 output paths until they move too. For every
// answer that ConvertAnswerText converts without loss, DecodeAnswer gives
// the same characters (Cp932ToUtf8 of its result); where it lost or misread
// characters, DecodeAnswer gives the real ones.

#include <span>
#include <string>
#include <string_view>

namespace torvane::encoding {

// Decodes a raw answer to UTF-8. The first rule that applies decides:
//  1. A byte-order mark, as DetectTextCode recognises it (FF FE, FE FF, or
//     EF BB BF followed by at least one byte): UTF-16LE, UTF-16BE or UTF-8
//     (MendUtf8), the mark itself cut off.
//  2. Well-formed UTF-8 holding a sequence of two bytes or more: UTF-8, the
//     text taken returned as it is, not copied.
//  3. ASCII without ESC: returned as it is.
//  4. Not well-formed UTF-8, from a server of ServerAnswerCodes: decoded
//     in that server's code.
//  5. DetectTextCode decides the rest: ISO-2022-JP (JisToUtf8), EUC-JP
//     (EucToUtf8), UTF-8 it saw in the leading bytes (MendUtf8); anything
//     else, Shift_JIS and "EUC-JP or Shift_JIS" included, as Shift_JIS
//     (SjisToUtf8), as ConvertAnswerText shows it today.
// The decoders' rules (to_utf8.h) hold for the result: well-formed UTF-8,
// no byte lost, U+FFFD only for bytes no code explains, controls kept.
// `server` is a host name compared without regard to case and to a final
// dot; an empty one matches no server.
std::string DecodeAnswer(std::string raw, std::string_view server);

// The codes of ServerAnswerCodes.
enum class AnswerCode { latin1, windows1251 };

struct ServerAnswerCode {
    std::string_view server;  // host name, lower case
    AnswerCode code;
};

// The servers known to answer in a code other than UTF-8, one row each.
std::span<const ServerAnswerCode> ServerAnswerCodes();

// The code of `server` in ServerAnswerCodes, or nullptr.
const AnswerCode* FindServerAnswerCode(std::string_view server);

}  // namespace torvane::encoding
