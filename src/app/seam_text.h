#pragma once
// The one place where the run logic's UTF-8 report lines meet the report
// view, which still holds CP932: lines going into the view are converted
// here, and the view's lines read back by the window (the run title) are
// converted back. Nothing else in the program converts between the two; when
// the view holds UTF-8 these functions go, and their callers pass the text
// through.

#include <string>
#include <string_view>

#include "query/text_lines.h"

namespace torvane::app {

// A run line for the view: CP932, '?' for a character CP932 lacks.
std::string RunLineToView(std::string_view utf8);
// The same for every line; lines of ASCII only are passed on as they are.
query::TLines RunLinesToView(query::TLines lines);
// A view line for the run logic: UTF-8.
std::string ViewLineToRun(std::string_view cp932);

}  // namespace torvane::app
