#pragma once
// The edge between the program's texts and the widgets' Unicode.

#include <QString>
#include <string>
#include <string_view>

namespace torvane::app {

// The program's UTF-8 texts and the widgets' Unicode.
QString FromUtf8(std::string_view utf8);
std::string ToUtf8(const QString& text);

}  // namespace torvane::app
