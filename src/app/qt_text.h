#pragma once
// The edge between the program's CP932 texts and the widgets' Unicode.

#include <QString>
#include <string>
#include <string_view>

namespace torvane::app {

QString ToQString(std::string_view cp932);
// Characters that CP932 lacks become '?'.
std::string ToCp932(const QString& text);

}  // namespace torvane::app
