#include "query/text_lines.h"

#include <cstring>

namespace torvane::query {
namespace {

// Position of the next `c` at or after `from`, or `end`.
const char* Next(const char* from, const char* end, char c) {
    const void* hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return hit == nullptr ? end : static_cast<const char*>(hit);
}

std::size_t CountOf(const char* from, const char* end, char c) {
    std::size_t count = 0;
    for (const char* p = Next(from, end, c); p != end; p = Next(p + 1, end, c)) ++count;
    return count;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    const char* pos = text.data();
    const char* const end = pos + text.size();
    // CR LF and LF texts are the usual ones: their LF count is the line
    // count to within one. A CR-only text grows the vector as it goes.
    lines.reserve(CountOf(pos, end, '\n') + 1);
    // The next CR and LF are each searched again only once passed, so every
    // byte is looked at a bounded number of times.
    const char* cr = Next(pos, end, '\r');
    const char* lf = Next(pos, end, '\n');
    while (pos != end) {
        if (cr < pos) cr = Next(pos, end, '\r');
        if (lf < pos) lf = Next(pos, end, '\n');
        const char* lineEnd = cr < lf ? cr : lf;
        if (lineEnd == end) {
            lines.emplace_back(pos, end);
            break;
        }
        lines.emplace_back(pos, lineEnd);
        pos = lineEnd + 1;
        if (*lineEnd == '\r' && pos != end && *pos == '\n') ++pos;
    }
    return lines;
}

}  // namespace torvane::query
