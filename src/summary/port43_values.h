#pragma once
// The cleaning of the values ReadPort43Facts reads (internal to the summary
// module).

#include <string>
#include <string_view>

namespace torvane::summary::port43 {

// `raw` without C0 and C1 control characters and DEL (a TAB becomes a
// space), trimmed of spaces, tabs and ideographic spaces, and cut at a
// character boundary to at most kMaxValueBytes. Empty for a value that only
// holds a placeholder ("-", "N/A").
std::string CleanValue(std::string_view raw);

// A status without the URL registries put after its code:
// "clientHold https://icann.org/epp#clientHold" and
// "clientHold (https://www.icann.org/epp#clientHold)" are "clientHold".
std::string_view StatusWithoutUrl(std::string_view status);

// The first word: a name server's name without the addresses that follow
// it ("A.DNS.JP 203.119.1.1").
std::string_view FirstWord(std::string_view value);

// The date in a JPRS state's bracket ("Connected (2026/03/31)"), or empty:
// the expiry, as JPRS's guide to its answers says.
std::string_view JprsStateExpiry(std::string_view state);

}  // namespace torvane::summary::port43
