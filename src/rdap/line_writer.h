#pragma once
// The report lines of one rendering while they are built: UTF-8, indented,
// labels aligned, capped. Private to the rdap module.
//
// Alignment: the fields of one group have their values start in one column,
// one space after the colon of the group's widest label. A group is the run
// of fields at one level that no line at a lower level and no empty line
// interrupts; lines at deeper levels (an object's nested fields) leave it
// open. A label of more than kMaxAlignedLabelCells cells takes no part: its
// value follows one space after its colon. Cells are those of
// unicode/cells.h (a wide character takes two).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::rdap {

inline constexpr std::size_t kMaxAlignedLabelCells = 30;

class LineWriter {
  public:
    explicit LineWriter(std::size_t maxLines) : maxLines_(maxLines) {}

    // "label: value" at `level` (two spaces each), aligned within its group;
    // "label:" for an empty value. Control characters in label and value
    // become spaces.
    void Field(int level, std::string_view label, std::string_view value);
    // One line per line break in `text` (CR LF, LF or CR), each at `level`,
    // as written (no alignment).
    void Text(int level, std::string_view text);
    // As Field, with one line per line break in `value`, all under `label`.
    void MultiLineField(int level, std::string_view label, std::string_view value);
    // An empty line, unless nothing is written yet or the last line is empty.
    void Gap();

    bool Full() const { return lines_.size() >= maxLines_; }
    bool Empty() const { return lines_.empty(); }

    // The lines, UTF-8 as written, with the cut line appended when the cap
    // was reached.
    std::vector<std::string> TakeLines(std::string_view cutLine);

  private:
    static constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);

    struct Line {
        std::size_t level = 0;
        std::size_t group = kNoGroup;  // kNoGroup: a text line, or an empty one
        std::size_t labelCells = 0;
        std::string label;
        std::string value;
    };

    // A new line at `level`, closing the groups of deeper levels; nullptr
    // once the cap is reached.
    Line* StartLine(int level);

    std::size_t maxLines_;
    bool cut_ = false;
    bool lastEmpty_ = false;
    std::vector<Line> lines_;
    // The open group of each level (kNoGroup for none).
    std::vector<std::size_t> openGroups_;
    // The widest aligned label of each group, in cells.
    std::vector<std::size_t> groupWidths_;
};

}  // namespace torvane::rdap
