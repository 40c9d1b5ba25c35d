// Breaking a report line into display rows at a wrap width, with Japanese line-breaking rules.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace torvane::view {

inline constexpr int kMinWrapWidth = 20;
inline constexpr int kMaxWrapWidth = 250;
inline constexpr int kTabStop = 8;

// One display row: bytes [start, start + length) of its line, `cells` wide on screen. Cells are
// those of unicode/cells.h: a character CP932 writes with two bytes takes two, as before.
struct Row {
    std::size_t start;
    std::size_t length;
    std::size_t cells;  // the clusters' cells (cells.h), tabs the cells they take in this row

    friend bool operator==(const Row&, const Row&) = default;
};

// The rows of `line` (UTF-8, no line end) at a wrap width of `wrapWidth` cells; widths
// outside 20..250 are clamped to that range. The rows are consecutive pieces of the line that
// together give the whole line; none splits a grapheme cluster and none is empty, except
// that an empty line is one empty row. A tab takes the cells up to the next multiple of 8 counted
// from the start of its row, but no cells past the wrap width.
std::vector<Row> breakIntoRows(std::string_view line, int wrapWidth);

// Same as the above, writing into `rows` (its old contents are dropped) so that a caller
// breaking many lines reuses one buffer.
void breakIntoRows(std::string_view line, int wrapWidth, std::vector<Row>& rows);

// The byte offset in `line` of the grapheme cluster of `row` that covers cell `cell` (0 is the
// row's first cell), or none at and past the row's last cell. Every cell of a cluster gives its
// first byte. `row` must come from breakIntoRows(line, wrapWidth).
std::optional<std::size_t> offsetAtCell(std::string_view line, const Row& row, std::size_t cell,
                                        int wrapWidth);

// The first cell in `row` of the cluster whose first byte is at `offset` of `line`; the row's
// end (row.start + row.length) gives row.cells.
// `row` must come from breakIntoRows(line, wrapWidth).
std::size_t cellAtOffset(std::string_view line, const Row& row, std::size_t offset, int wrapWidth);

}  // namespace torvane::view
