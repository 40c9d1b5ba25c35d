#pragma once
// Extended grapheme clusters (UAX #29, Unicode 15.0: rules GB1-GB13 and
// GB999, Extended_Pictographic from emoji-data.txt): what a reader takes for
// one character, such as "e" + U+0301, a Hangul syllable of conjoining jamo,
// a flag of two regional indicators, an emoji ZWJ sequence, or CR LF.
//
// How the switch uses these: row breaking, find and the view's cursor walk a
// line cluster by cluster, so no row and no selection ever splits one:
//     for (std::size_t pos = 0; pos < line.size();) {
//         const GraphemeCluster c = NextGraphemeCluster(line, pos);
//         ... c.length bytes from pos, c.cells cells (a TAB's cells are the caller's) ...
//         pos += c.length;
//     }
// Ill-formed UTF-8 is read as utf8.h reads it: each maximal subpart is one
// U+FFFD, a cluster of its own unless marks follow it.

#include <cstddef>
#include <string_view>

namespace torvane::unicode {

struct GraphemeCluster {
    std::size_t length;  // bytes, at least 1
    int cells;           // as ClusterCells (cells.h) gives for these bytes
};

// The cluster that starts at byte `pos` of `text`. Preconditions: pos <
// text.size(), and pos is a cluster boundary: 0, or the end of a cluster that
// an earlier call gave for the same text.
GraphemeCluster NextGraphemeCluster(std::string_view text, std::size_t pos);

// pos + NextGraphemeCluster(text, pos).length, with the same preconditions.
inline std::size_t GraphemeClusterEnd(std::string_view text, std::size_t pos) {
    return pos + NextGraphemeCluster(text, pos).length;
}

}  // namespace torvane::unicode
