#include "app/seam_text.h"

#include <algorithm>

#include "encoding/code_page.h"
#include "encoding/cp932_utf8.h"
#include "unicode/utf8_walk.h"

namespace torvane::app {

namespace {

bool IsAscii(std::string_view text) { return unicode::AsciiRunLength(text, 0) == text.size(); }

}  // namespace

std::string RunLineToView(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    return encoding::Utf16ToCp932(encoding::Utf8ToUtf16(utf8));
}

query::TLines RunLinesToView(query::TLines lines) {
    // An answer of ASCII only is the common case and keeps its buffers.
    if (std::all_of(lines.begin(), lines.end(), IsAscii)) return lines;
    query::TLines converted;
    for (const std::string_view line : lines) converted.push_back(RunLineToView(line));
    return converted;
}

std::string ViewLineToRun(std::string_view cp932) { return encoding::Cp932ToUtf8(cp932); }

}  // namespace torvane::app
