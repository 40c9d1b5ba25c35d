#pragma once
// Splitting answers and files into lines.

#include <string>
#include <string_view>
#include <vector>

namespace torvane::query {

// The lines of `text`, split at every CR LF, CR or LF. A line end at the very
// end of the text does not start another, empty line; an empty text has no
// lines.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace torvane::query
