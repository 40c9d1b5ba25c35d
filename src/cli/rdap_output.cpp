#include "cli/rdap_output.h"

#include <algorithm>

#include "cli/terminal_escape.h"

namespace torvane::cli {

std::string RdapDocumentLine(std::string_view body, bool escape) {
    std::string line(body);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return escape ? EscapeUtf8ForTerminal(line) : line;
}

}  // namespace torvane::cli
