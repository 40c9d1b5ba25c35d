#include "encoding/answer_utf8.h"

#include "encoding/ascii_scan.h"
#include "encoding/to_utf8.h"
#include "encoding/unicode_codes.h"
#include "encoding/utf8_scan.h"

namespace torvane::encoding {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string DecodeAs(AnswerCode code, std::string raw) {
    switch (code) {
        case AnswerCode::latin1:
            return Latin1ToUtf8(std::move(raw));
        case AnswerCode::windows1251:
            return Windows1251ToUtf8(std::move(raw));
    }
    return SjisToUtf8(std::move(raw));
}

}  // namespace

std::string DecodeAnswer(std::string raw, std::string_view server) {
    const std::string_view text(raw);
    if (StartsWith(text, "\xFF\xFE")) return Utf16LeToUtf8(text.substr(2));
    if (StartsWith(text, "\xFE\xFF")) return Utf16BeToUtf8(text.substr(2));
    if (text.size() >= 4 && StartsWith(text, "\xEF\xBB\xBF")) {
        raw.erase(0, 3);
        return MendUtf8(std::move(raw));
    }

    bool multibyte = false;
    const bool valid = detail::ValidUtf8Prefix(text, multibyte) == text.size();
    if (valid && multibyte) return raw;
    // Only ESC makes a 7-bit text anything but ASCII: ISO-2022-JP.
    if (valid && text.find('\x1B') == std::string_view::npos) return raw;
    if (!valid) {
        if (const AnswerCode* code = FindServerAnswerCode(server)) {
            return DecodeAs(*code, std::move(raw));
        }
    }
    switch (DetectTextCode(text)) {
        case TextCode::tcJis:
        case TextCode::tcJisOld:
            return JisToUtf8(std::move(raw));
        case TextCode::tcEuc:
            return EucToUtf8(std::move(raw));
        case TextCode::tcUtf8:
            return MendUtf8(std::move(raw));
        default:
            return SjisToUtf8(std::move(raw));
    }
}

}  // namespace torvane::encoding
