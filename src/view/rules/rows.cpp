#include "view/rules/rows.h"

#include <algorithm>

#include "unicode/graphemes.h"
#include "unicode/utf8_walk.h"
#include "view/rules/report_chars.h"

namespace torvane::view {
namespace {

std::size_t clampedWidth(int wrapWidth) {
    return static_cast<std::size_t>(std::clamp(wrapWidth, kMinWrapWidth, kMaxWrapWidth));
}

struct Cluster {
    std::size_t length;
    std::size_t cells;
};

// The grapheme cluster at `pos` when it starts at `column` of its row: a tab reaches the next tab
// stop but not past the wrap width. ASCII but the tab is one byte and one cell, read without the
// cluster walk (no line holds a CR LF pair).
Cluster clusterAt(std::string_view s, std::size_t pos, std::size_t column, std::size_t width) {
    const auto c = static_cast<unsigned char>(s[pos]);
    if (c == '\t') {
        const std::size_t toStop = kTabStop - column % kTabStop;
        return {1, column < width ? std::min(toStop, width - column) : toStop};
    }
    if (c < 0x80 && (pos + 1 == s.size() || static_cast<unsigned char>(s[pos + 1]) < 0x80)) {
        return {1, 1};
    }
    const unicode::GraphemeCluster g = reportClusterAt(s, pos);
    return {g.length, static_cast<std::size_t>(g.cells)};
}

// The traits of the first character of the cluster at `pos`.
std::uint16_t traitsAt(std::string_view s, std::size_t pos) {
    const auto c = static_cast<unsigned char>(s[pos]);
    return c < 0x80 ? kSingleByteTraits[c] : traitsOf(unicode::DecodeUtf8At(s, pos).value);
}

// Builds one row at a time. The clusters taken into the current row are kept so that the break
// can move back over them without reading the text backwards.
class RowBreaker {
  public:
    RowBreaker(std::string_view line, std::size_t wrapWidth) : s_(line), w_(wrapWidth) {}

    Row rowAt(std::size_t start) {
        taken_.clear();
        width_ = 0;
        next_ = start;
        const bool splitCharMoved = takeWrapWidth();
        if (next_ >= s_.size()) return Row{start, next_ - start, width_};

        if (!splitCharMoved) {
            while (width_ > w_ / 3 && !isBreakPoint(taken_.back())) giveBack();
        }
        while (next_ < s_.size() && isHanging(next_) && width_ < w_ + 2) {
            const Cluster c = clusterAt(s_, next_, width_, w_);
            take(c.length, c.cells);
        }
        if (atLeastTwoCellsFollow()) {
            const std::size_t limit = (w_ / 5) * 4;
            while (width_ > limit && mustNotEndRow(taken_.back())) giveBack();
            if (mustNotBeginRow(next_)) {
                while (width_ > limit && (mustNotEndRow(taken_.back()) || mustNotBeginRow(next_))) {
                    giveBack();
                }
            }
        }
        return Row{start, next_ - start, width_};
    }

  private:
    struct Taken {
        std::size_t pos;
        std::size_t length;
        std::size_t cells;
    };

    unsigned char at(std::size_t i) const { return static_cast<unsigned char>(s_[i]); }

    void take(std::size_t length, std::size_t cells) {
        taken_.push_back({next_, length, cells});
        width_ += cells;
        next_ += length;
    }

    void giveBack() {
        width_ -= taken_.back().cells;
        next_ = taken_.back().pos;
        taken_.pop_back();
    }

    // Takes clusters up to the wrap width. Returns true when a cluster of two cells would have
    // been cut by the row's end and was left for the next row.
    bool takeWrapWidth() {
        while (next_ < s_.size() && width_ < w_) {
            const Cluster c = clusterAt(s_, next_, width_, w_);
            if (width_ + c.cells > w_) return true;
            take(c.length, c.cells);
        }
        return false;
    }

    bool atLeastTwoCellsFollow() const {
        if (next_ >= s_.size()) return false;
        const Cluster c = clusterAt(s_, next_, width_, w_);
        return c.cells >= 2 || at(next_) == '\t' || next_ + c.length < s_.size();
    }

    bool isBreakPoint(const Taken& c) const {
        return !hasTrait(traitsAt(s_, c.pos), kNotBreakPoint);
    }

    bool mustNotEndRow(const Taken& c) const { return hasTrait(traitsAt(s_, c.pos), kNoRowEnd); }

    bool mustNotBeginRow(std::size_t i) const { return hasTrait(traitsAt(s_, i), kNoRowStart); }

    bool isHanging(std::size_t i) const { return hasTrait(traitsAt(s_, i), kHanging); }

    std::string_view s_;
    std::size_t w_;
    std::vector<Taken> taken_;
    std::size_t width_ = 0;
    std::size_t next_ = 0;
};

}  // namespace

void breakIntoRows(std::string_view line, int wrapWidth, std::vector<Row>& rows) {
    rows.clear();
    const auto width =
        static_cast<std::size_t>(std::clamp(wrapWidth, kMinWrapWidth, kMaxWrapWidth));
    // A line without tabs that fits in W cells is one row. No cluster takes more cells than it
    // has bytes, so an ASCII line fits exactly when it has at most W bytes, and only a line of
    // other characters needs its cells counted (three bytes of kana or kanji take two cells).
    if (line.size() <= 4 * width && line.find('\t') == std::string_view::npos) {
        std::size_t cells = 0;
        if (unicode::AsciiRunLength(line, 0) == line.size()) {
            cells = line.size();
        } else {
            for (std::size_t pos = 0; pos < line.size() && cells <= width;) {
                const Cluster c = clusterAt(line, pos, cells, width);
                cells += c.cells;
                pos += c.length;
            }
        }
        if (cells <= width) {
            rows.push_back(Row{0, line.size(), cells});
            return;
        }
    }
    RowBreaker breaker(line, width);
    for (std::size_t pos = 0; pos < line.size();) {
        rows.push_back(breaker.rowAt(pos));
        pos += rows.back().length;
    }
}

std::vector<Row> breakIntoRows(std::string_view line, int wrapWidth) {
    std::vector<Row> rows;
    breakIntoRows(line, wrapWidth, rows);
    return rows;
}

std::optional<std::size_t> offsetAtCell(std::string_view line, const Row& row, std::size_t cell,
                                        int wrapWidth) {
    const std::size_t width = clampedWidth(wrapWidth);
    std::size_t column = 0;
    for (std::size_t pos = row.start; pos < row.start + row.length;) {
        const Cluster c = clusterAt(line, pos, column, width);
        column += c.cells;
        if (cell < column) return pos;
        pos += c.length;
    }
    return std::nullopt;
}

std::size_t cellAtOffset(std::string_view line, const Row& row, std::size_t offset, int wrapWidth) {
    const std::size_t width = clampedWidth(wrapWidth);
    std::size_t column = 0;
    for (std::size_t pos = row.start; pos < row.start + row.length && pos < offset;) {
        const Cluster c = clusterAt(line, pos, column, width);
        column += c.cells;
        pos += c.length;
    }
    return column;
}

}  // namespace torvane::view
