#include "app/qt_text.h"

namespace torvane::app {

QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToUtf8(const QString& text) { return text.toStdString(); }

}  // namespace torvane::app
