#pragma once
// torvane-cli --json: the whole run as one JSON document (UTF-8, one line
// per document, ending with a line break). Its members, stable from one
// release to the next (new members may be added; "version" grows only when
// a member changes meaning or goes):
//
//   version    1
//   input      the typed line
//   name       the display name (the run title's)
//   ascii      the name's ASCII-compatible form; "" for an address or number
//   dns        {"address", "reverse"}, each only when the run found it
//   blocks     every answer block in report order:
//              {"server", "protocol": "port43" | "rdap", "query" (the text
//               sent, or the RDAP URL), "status" (what its exchange ended
//               on), "header" (the block's header line), "text" (the answer
//               as the report shows it, lines joined by "\n"), and for RDAP
//               "rdap": the JSON document as received, its members in their
//               order (a body that does not parse is left out)}
//   summary    the registration summary's facts and their sources, or null
//              with the "IANA・RDAPで補完" switch off or nothing to summarise
//   report     the report's lines, as the text output prints them
//   status     the status the run ended on
//   exitCode   the program's exit status

#include <chrono>
#include <string>

#include "app/run/run_record.h"
#include "query/text_lines.h"

namespace torvane::cli {

struct RunJsonInput {
    const run::TRunRecord& record;
    const query::TLines& report;
    bool summary = true;  // the switch was on
    std::string status;
    int exitCode = 0;
    std::chrono::sys_seconds now;
};

// The document. Never throws but std::bad_alloc.
std::string RunJson(const RunJsonInput& run);

}  // namespace torvane::cli
