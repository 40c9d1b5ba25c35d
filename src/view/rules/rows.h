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

// One display row: bytes [start, start + length) of its line, drawn from cell `indent` on and
// ending at cell `cells`. Cells are those of unicode/cells.h: a character CP932 writes with two
// bytes takes two, as before.
struct Row {
    std::size_t start;
    std::size_t length;
    std::size_t cells;       // the row's end on screen: its indent, then its clusters' cells, tabs
                             // the cells they take in this row
    std::size_t indent = 0;  // blank cells before the row's first cluster

    friend bool operator==(const Row&, const Row&) = default;
};

// The cell at which the value of a "Label: value" line starts, counted from the line's start
// (tabs to the next multiple of 8), or 0 when `line` is no such line. Such a line is: any
// spaces, a label that does not start with a space and runs up to the line's first colon, that
// colon, one or more spaces or tabs, and a value that is not blank. "Domain Name:   GOOGLE.COM"
// gives 15; "https://example.jp", "Note:" and ": x" give 0.
std::size_t valueColumn(std::string_view line);

// The rows of `line` (UTF-8, no line end) at a wrap width of `wrapWidth` cells; widths
// outside 20..250 are clamped to that range. The rows are consecutive pieces of the line that
// together give the whole line; none splits a grapheme cluster and none is empty, except
// that an empty line is one empty row. A tab takes the cells up to the next multiple of 8 counted
// from the start of its row's first cell, indent included, but no cells past the wrap width.
//
// Rows that continue a "Label: value" line start under the value: their indent is the line's
// valueColumn, but at most half the wrap width, so a long label leaves room; every other row has
// indent 0. A URL (a url token of tokenize(line, Region::none)) that does not fit in the rest of
// its row but fits on a continuation row starts the next row whole, as long as something other
// than spaces comes before it in its row; the opening brackets and quotes right before it go with
// it when they fit too. A URL that starts its row, or follows only spaces in it, and fits in
// the rest of that row is never split.
std::vector<Row> breakIntoRows(std::string_view line, int wrapWidth);

// Same as the above, writing into `rows` (its old contents are dropped) so that a caller
// breaking many lines reuses one buffer.
void breakIntoRows(std::string_view line, int wrapWidth, std::vector<Row>& rows);

// The byte offset in `line` of the grapheme cluster of `row` that covers cell `cell` (0 is the
// row's first cell on screen, before its indent), or none in the indent and at and past the row's
// end (row.cells). Every cell of a cluster gives its first byte.
// `row` must come from breakIntoRows(line, wrapWidth).
std::optional<std::size_t> offsetAtCell(std::string_view line, const Row& row, std::size_t cell,
                                        int wrapWidth);

// The first cell in `row` of the cluster whose first byte is at `offset` of `line`, the indent
// counted; the row's start gives row.indent and its end (row.start + row.length) row.cells.
// `row` must come from breakIntoRows(line, wrapWidth).
std::size_t cellAtOffset(std::string_view line, const Row& row, std::size_t offset, int wrapWidth);

}  // namespace torvane::view
