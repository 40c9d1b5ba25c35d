#pragma once
// One value of a fact as the summary keeps it. Private to the summary
// module.

#include <string>
#include <string_view>

namespace torvane::summary {

// `text` (UTF-8; ill-formed bytes read as U+FFFD) with each control
// character (C0, DEL, C1) as a space, runs of spaces as one, no space at
// either end, and cut at a character to at most kMaxValueBytes.
std::string ValueText(std::string_view text);

}  // namespace torvane::summary
