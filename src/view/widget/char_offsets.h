// Character offsets in a report, as assistive technologies count them: UTF-16 units of the UTF-8
// lines (a code point beyond the BMP counts two, a byte that is no UTF-8 one, as U+FFFD), and the
// lines are joined by one "\n" unit each. The view's own positions
// count bytes of the lines joined by CR LF; this maps between the two without Qt.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "query/text_lines.h"
#include "view/widget/text_layout.h"

namespace torvane::view {

// The UTF-16 units of the code points of UTF-8 `line` that begin before byte `offset`
// (offset <= line.size()).
std::size_t CharsBefore(std::string_view line, std::size_t offset);

// The byte offset in UTF-8 `line` of the code point that holds UTF-16 unit number `chars` (the
// second unit of a pair gives its code point's start); the line's length when the line has no
// more units than that.
std::size_t ByteOffsetOfChar(std::string_view line, std::size_t chars);

// The character offset at which each line starts, cached per line and computed on demand, so a
// change costs nothing until somebody asks and a question costs only the lines not yet counted.
//
// The owner tells it of every change of `lines`: appending needs no call (the cache stays valid
// for the lines before), inserting calls linesInsertedAt, clearing calls clear. Every query takes
// the current lines.
class TCharOffsets {
  public:
    // Lines were inserted before line `index`: the starts of the lines after it are forgotten.
    void linesInsertedAt(std::size_t index);
    void clear() { starts_.clear(); }

    // Characters in the whole text, line ends counted.
    std::size_t characterCount(const query::TLines& lines);
    // Offset of the first character of line `line`; line <= lines.size(), where lines.size()
    // gives characterCount() + 1, as if another line followed.
    std::size_t lineStart(const query::TLines& lines, std::size_t line);
    // The line holding `offset`: its characters and its "\n" belong to it. Offsets past the end
    // give the last line. Precondition: lines is not empty.
    std::size_t lineAt(const query::TLines& lines, std::size_t offset);

    // The offset of the character at `pos` (pos.offset may be the line's length: its line end).
    std::size_t offsetOf(const query::TLines& lines, TextPos pos);
    // The place of `offset`, clamped to the text: a line's "\n" is the end of that line. An empty
    // text gives {0, 0}.
    TextPos posAt(const query::TLines& lines, std::size_t offset);

    // Lines whose start is known; for tests of the cost.
    std::size_t cachedLines() const { return starts_.size(); }

  private:
    // Counts the lines until line `line` has a known start.
    void extendTo(const query::TLines& lines, std::size_t line);

    // starts_[i]: offset of line i, valid for every i < starts_.size().
    std::vector<std::size_t> starts_;
};

}  // namespace torvane::view
