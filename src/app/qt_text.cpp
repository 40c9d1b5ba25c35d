#include "app/qt_text.h"

#include "encoding/code_page.h"

namespace torvane::app {

QString ToQString(std::string_view cp932) {
    return QString::fromStdU16String(encoding::Cp932ToUtf16(cp932));
}

std::string ToCp932(const QString& text) { return encoding::Utf16ToCp932(text.toStdU16String()); }

}  // namespace torvane::app
