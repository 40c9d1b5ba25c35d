#include "encoding/answer_text.h"

#include "encoding/ascii_scan.h"
#include "encoding/japanese_codes.h"
#include "encoding/unicode_codes.h"

namespace torvane::encoding {

std::string ConvertAnswerText(std::string text) {
    // Every detector verdict for such a text (tcAscii, or tcNonText for an
    // empty one or one with a byte 0x00-0x07) returns it unchanged; only ESC
    // could make it ISO-2022-JP. Most registries answer in plain ASCII, and
    // their answers pass through without a copy.
    if (detail::IsAsciiWithoutEscape(text)) return text;
    switch (DetectTextCode(text)) {
        // The verdict is DetectJapaneseCode's, so JapaneseToSjis would only
        // scan the text again to reach the same one.
        case TextCode::tcJis:
        case TextCode::tcJisOld:
            return JisToSjis(std::move(text));
        case TextCode::tcEuc:
            return EucToSjis(std::move(text));
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
            return text;
    }
}

}  // namespace torvane::encoding
