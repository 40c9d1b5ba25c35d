#include "unicode/cells.h"

#include "unicode/cluster_tally.h"
#include "unicode/graphemes.h"
#include "unicode/utf8_walk.h"

namespace torvane::unicode {

int ClusterCells(std::string_view cluster) {
    detail::ClusterTally tally;
    for (std::size_t pos = 0; pos < cluster.size();) {
        const DecodedChar c = DecodeUtf8At(cluster, pos);
        tally.Add(c.value, detail::PropertyByte(c.value));
        pos += c.length;
    }
    return tally.Cells();
}

std::size_t TextCells(std::string_view text) {
    std::size_t cells = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        // ASCII runs: one cell per cluster without the table. The run's last
        // byte may start a cluster with the marks after it, and a CR may pair
        // with the LF after it, so those go through the walk.
        std::size_t run = AsciiRunLength(text, pos);
        if (run > 0) --run;
        if (run > 0 && text[pos + run - 1] == '\r') --run;
        if (run > 0) {
            cells += run;
            const std::string_view ascii = text.substr(pos, run);
            for (auto cr = ascii.find('\r'); cr != std::string_view::npos; cr = ascii.find('\r', cr + 1)) {
                if (cr + 1 < run && ascii[cr + 1] == '\n') --cells;  // CR LF is one cluster
            }
            pos += run;
            continue;
        }
        const GraphemeCluster c = NextGraphemeCluster(text, pos);
        cells += static_cast<std::size_t>(c.cells);
        pos += c.length;
    }
    return cells;
}

}  // namespace torvane::unicode
