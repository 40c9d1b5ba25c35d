#include "app/seam_text.h"

#include "encoding/code_page.h"
#include "encoding/cp932_utf8.h"

namespace torvane::app {

std::string RunLineToView(std::string_view cp932) { return encoding::Cp932ToUtf8(cp932); }

query::TLines RunLinesToView(const query::TLines& cp932) {
    query::TLines utf8;
    std::string line;
    for (const std::string_view l : cp932) {
        line.clear();
        encoding::AppendCp932AsUtf8(line, l);
        utf8.push_back(line);
    }
    return utf8;
}

std::string ViewLineToRun(std::string_view utf8) {
    return encoding::Utf16ToCp932(encoding::Utf8ToUtf16(utf8));
}

}  // namespace torvane::app
