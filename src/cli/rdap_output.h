#pragma once
// How torvane-cli --rdap-json prints an RDAP answer.

#include <string>
#include <string_view>

namespace torvane::cli {

// The answer's bytes as one output line (without its line end): every CR
// and LF becomes a space, which JSON allows only between tokens, so a
// document keeps its meaning and every other byte. With `escape` (a
// terminal), control characters are made visible as in the report.
std::string RdapDocumentLine(std::string_view body, bool escape);

}  // namespace torvane::cli
