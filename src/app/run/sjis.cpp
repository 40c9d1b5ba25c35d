#include "app/run/sjis.h"

#include "encoding/code_page.h"

namespace torvane::run {

std::string Sjis(std::string_view utf8) {
    return encoding::Utf16ToCp932(encoding::Utf8ToUtf16(utf8));
}

}  // namespace torvane::run
