#include "cli/report_output.h"

#include "cli/terminal_escape.h"
#include "cli/utf8_walk.h"
#include "encoding/code_page.h"

namespace torvane::cli {

std::string RenderLine(std::string_view cp932, OutputEncoding encoding, bool escape) {
    if (encoding == OutputEncoding::Cp932) {
        return escape ? EscapeCp932ForTerminal(cp932) : std::string(cp932);
    }
    std::string utf8 = Utf16ToUtf8(encoding::Cp932ToUtf16(cp932));
    return escape ? EscapeUtf8ForTerminal(utf8) : utf8;
}

}  // namespace torvane::cli
