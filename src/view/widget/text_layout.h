// The lines of a report together with their display rows and the lexical state at the end of
// each line, kept up to date as lines are appended and inserted.
//
// Appending lines breaks and scans only the new lines; inserting a line breaks that line and
// re-scans the following lines only while their start state differs from before; a new wrap width
// re-breaks every line. Nothing here knows of Qt, so the bookkeeping can be tested on its own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "query/text_lines.h"
#include "view/rules/report_chars.h"
#include "view/rules/line_states.h"
#include "view/rules/rows.h"
#include "view/rules/tokens.h"

namespace torvane::view {

// A place in the text: byte `offset` of line `line` (offset == line length is the line's end).
struct TextPos {
    std::size_t line = 0;
    std::size_t offset = 0;

    friend bool operator==(const TextPos&, const TextPos&) = default;
};

// One display row and the logical line it belongs to.
struct RowRef {
    std::size_t line;
    std::size_t indexInLine;
    Row row;
};

class TTextLayout {
  public:
    static constexpr int kInitialWrapWidth = 80;

    explicit TTextLayout(int wrapWidth = kInitialWrapWidth);

    void clear();
    void append(std::string line);
    void append(std::span<const std::string> lines);
    // Takes the lines over instead of copying them.
    void append(query::TLines lines);
    // Inserts `line` before line `index`; index == lineCount() appends.
    // Throws std::out_of_range when index > lineCount().
    void insert(std::size_t index, std::string line);
    // Inserts `lines` before line `index` in one step, as inserting them one by one would: the
    // cost is linear in the lines after `index` plus the lines inserted.
    // Throws std::out_of_range when index > lineCount().
    void insert(std::size_t index, query::TLines lines);
    // Removes lines [index, index + count) in one step; the following lines are re-scanned only
    // while their start state differs from before. Throws std::out_of_range when the range runs
    // past lineCount().
    void remove(std::size_t index, std::size_t count);

    std::size_t lineCount() const { return lines_.size(); }
    // Valid until the lines next change.
    std::string_view line(std::size_t index) const { return lines_[index]; }
    const query::TLines& lines() const { return lines_; }

    int wrapWidth() const { return wrapWidth_; }
    // Clamps to 20..250; re-breaks every line when the width changes. Returns whether it did.
    bool setWrapWidth(int cells);

    std::size_t rowCount() const { return firstRow_.back(); }
    // The row with number `row` counted over the whole text. Precondition: row < rowCount().
    RowRef rowAt(std::size_t row) const;
    std::size_t firstRowOf(std::size_t line) const { return firstRow_[line]; }
    std::span<const Row> rowsOf(std::size_t line) const {
        return std::span<const Row>(rows_).subspan(firstRow_[line],
                                                    firstRow_[line + 1] - firstRow_[line]);
    }
    // The row number holding `pos`; a position on a break between two rows belongs to the later
    // row, the end of a line to its last row. Precondition: the text is not empty.
    std::size_t rowOf(TextPos pos) const;

    LexState startStateOf(std::size_t line) const { return states_.startOf(line); }

    // Positions in the whole text: the lines joined by CR LF, counted in bytes.
    std::size_t textLength() const;
    std::size_t positionOf(TextPos pos) const { return lineStart_[pos.line] + pos.offset; }
    // The place of a text position, clamped to the text; a position between the CR and the LF of
    // a line break, or inside a character or grapheme cluster, moves back to the cluster's start.
    TextPos posAt(std::size_t position) const;
    std::string text() const;
    std::string textBetween(std::size_t from, std::size_t to) const;

    // How many lines were broken into rows and scanned for their end state since the last call
    // of resetWorkCounters(): the cost of the changes made since.
    std::size_t linesBroken() const { return linesBroken_; }
    std::size_t linesScanned() const { return linesScanned_; }
    void resetWorkCounters() { linesBroken_ = linesScanned_ = 0; }

    // Bumped by every change of lines or rows; lets callers keep caches keyed on it.
    std::size_t version() const { return version_; }

  private:
    void insertTaken(std::size_t index, query::TLines& lines);
    void appendTaken(query::TLines& lines);
    // Appends the rows of `line` to `rows`; returns how many.
    std::size_t breakInto(std::string_view line, std::vector<Row>& rows);
    void scanStates(std::size_t first, std::size_t removed, std::size_t added);

    int wrapWidth_;
    query::TLines lines_;
    // The rows of every line in order, one vector for all, so a line costs no allocation of its
    // own; the rows of line i are rows_[firstRow_[i]] up to rows_[firstRow_[i + 1]].
    std::vector<Row> rows_;
    std::vector<Row> scratchRows_;
    std::vector<std::size_t> firstRow_{0};   // firstRow_[i]: number of the first row of line i
    std::vector<std::size_t> lineStart_{0};  // lineStart_[i]: text position of line i
    LineStates states_;
    std::size_t linesBroken_ = 0;
    std::size_t linesScanned_ = 0;
    std::size_t version_ = 0;
};

// Walks the clusters of one row (reportClusterAt), giving each its byte offset in the line, its
// byte length, its first cell on the row (the row's indent counted, so the first cluster of a
// continuation row under a value starts at row.indent) and its width in cells, counted as
// offsetAtCell and cellAtOffset of the text rules count them. `visit` returns false to stop.
template <typename Visit>
void forEachCharOfRow(std::string_view line, const Row& row, int wrapWidth, Visit&& visit) {
    std::size_t cell = row.indent;
    const std::size_t end = row.start + row.length;
    const auto width = static_cast<std::size_t>(wrapWidth);
    for (std::size_t pos = row.start; pos < end;) {
        const auto c = static_cast<unsigned char>(line[pos]);
        std::size_t length = 1;
        std::size_t cells = 1;
        if (c == '\t') {
            cells = kTabStop - cell % kTabStop;
            if (cell < width) cells = std::min(cells, width - cell);
        } else if (c >= 0x80 ||
                   (pos + 1 < end && static_cast<unsigned char>(line[pos + 1]) >= 0x80)) {
            const unicode::GraphemeCluster cluster = reportClusterAt(line, pos);
            length = cluster.length;
            cells = static_cast<std::size_t>(cluster.cells);
        }
        if (!visit(pos, length, cell, cells)) return;
        pos += length;
        cell += cells;
    }
}

}  // namespace torvane::view
