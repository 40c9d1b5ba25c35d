#pragma once
// The seam between the run logic, whose texts are still CP932, and the report view, whose lines
// are UTF-8. Only the window's report (ViewReport) and the window's own reading of the report
// call these, so that when the run logic holds UTF-8 too they go in one place.

#include <string>
#include <string_view>

#include "query/text_lines.h"

namespace torvane::app {

// A report line of the run logic (CP932) as the view holds it (UTF-8); a byte or pair that is no
// CP932 becomes U+FFFD.
std::string RunLineToView(std::string_view cp932);
query::TLines RunLinesToView(const query::TLines& cp932);

// A line of the view (UTF-8) as the run logic reads it (CP932); a character CP932 lacks
// becomes '?'.
std::string ViewLineToRun(std::string_view utf8);

}  // namespace torvane::app
