#include "encoding/answer_text.h"

#include "encoding/japanese_codes.h"
#include "encoding/unicode_codes.h"

namespace torvane::encoding {

std::string ConvertAnswerText(std::string_view text) {
    switch (DetectTextCode(text)) {
        case TextCode::tcJis:
        case TextCode::tcJisOld:
        case TextCode::tcEuc:
            return JapaneseToSjis(text);
        case TextCode::tcUtf16Le:
            return Utf16LeToAnsi(text);
        case TextCode::tcUtf16Be:
            return Utf16BeToAnsi(text);
        case TextCode::tcUtf8Bom:
            return Utf8BomToAnsi(text);
        case TextCode::tcUtf8:
            return Utf8ToAnsiSimple(text);
        default:
            // A text that may be EUC-JP or Shift_JIS is shown as Shift_JIS.
            return std::string(text);
    }
}

}  // namespace torvane::encoding
