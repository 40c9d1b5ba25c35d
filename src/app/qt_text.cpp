#include "app/qt_text.h"

#include "encoding/code_page.h"

namespace torvane::app {

QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToUtf8(const QString& text) { return text.toStdString(); }

QString ToQString(std::string_view cp932) {
    return QString::fromStdU16String(encoding::Cp932ToUtf16(cp932));
}

std::string ToCp932(const QString& text) { return encoding::Utf16ToCp932(text.toStdU16String()); }

}  // namespace torvane::app
