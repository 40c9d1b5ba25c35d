#pragma once
// How the report's UTF-8 lines reach standard output and standard error.

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/cli_options.h"
#include "query/text_lines.h"

namespace torvane::cli {

// One report line or status text (UTF-8, without line end) in the output
// encoding; with `escape` (a terminal without --raw) control characters are
// made visible (terminal_escape.h). Without it UTF-8 passes unchanged, with
// no conversion step, and CP932 output has '?' for what CP932 lacks.
std::string RenderLine(std::string_view utf8, OutputEncoding encoding, bool escape);

// The whole report as one text to write at once: every line rendered as
// RenderLine renders it, each followed by "\n". Built in one buffer, with no
// string per line.
std::string RenderReport(const query::TLines& lines, OutputEncoding encoding, bool escape);

// Writes RenderReport(lines, encoding, escape) to `stream`, rendered piece by
// piece into one reused buffer of about 256 KiB, so a large report is never
// held twice. Returns false when a write failed.
bool WriteReport(std::FILE* stream, const query::TLines& lines, OutputEncoding encoding,
                 bool escape);

}  // namespace torvane::cli
