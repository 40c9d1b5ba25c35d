#pragma once
// The report lines of one rendering while they are built: UTF-8, indented,
// capped. Private to the rdap module.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::rdap {

class LineWriter {
  public:
    explicit LineWriter(std::size_t maxLines) : maxLines_(maxLines) {}

    // "label: value" at `level` (two spaces each); "label:" for an empty
    // value. Control characters in label and value become spaces.
    void Field(int level, std::string_view label, std::string_view value);
    // One line per line break in `text` (CR LF, LF or CR), each at `level`.
    void Text(int level, std::string_view text);
    // As Field, with one line per line break in `value`, all under `label`.
    void MultiLineField(int level, std::string_view label, std::string_view value);
    // An empty line, unless nothing is written yet or the last line is empty.
    void Gap();

    bool Full() const { return lines_ >= maxLines_; }
    bool Empty() const { return lines_ == 0; }

    // The lines, UTF-8 as written, with the cut line appended when the cap
    // was reached.
    std::vector<std::string> TakeLines(std::string_view cutLine);

  private:
    bool StartLine(int level);
    void AppendClean(std::string_view text);

    std::size_t maxLines_;
    std::size_t lines_ = 0;
    bool cut_ = false;
    bool lastEmpty_ = false;
    // Lines joined by '\n'; values hold no control characters, so '\n' only
    // ever separates lines.
    std::string text_;
};

}  // namespace torvane::rdap
