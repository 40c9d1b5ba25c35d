#include "view/rules/rows.h"

#include <algorithm>

#include "view/rules/cp932_chars.h"

namespace torvane::view {
namespace {

std::size_t clampedWidth(int wrapWidth) {
    return static_cast<std::size_t>(std::clamp(wrapWidth, kMinWrapWidth, kMaxWrapWidth));
}

// Cells of the character of `length` bytes at `pos` when it starts at `column` of its row: a tab
// reaches the next tab stop but not past the wrap width.
std::size_t charCells(std::string_view s, std::size_t pos, std::size_t length, std::size_t column,
                      std::size_t width) {
    if (s[pos] != '\t') return length;
    const std::size_t toStop = kTabStop - column % kTabStop;
    return column < width ? std::min(toStop, width - column) : toStop;
}

// Builds one row at a time. The characters taken into the current row are kept so that the
// break can move back over them: CP932 cannot be read backwards, since a second byte may look
// like a lead byte.
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
            const std::size_t length = charLength(s_, next_);
            take(length, length);
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

    // Takes characters up to the wrap width. Returns true when a double-byte character would
    // have been cut by the row's end and was left for the next row.
    bool takeWrapWidth() {
        while (next_ < s_.size() && width_ < w_) {
            const std::size_t length = charLength(s_, next_);
            const std::size_t cells = charCells(s_, next_, length, width_, w_);
            if (width_ + cells > w_) return true;
            take(length, cells);
        }
        return false;
    }

    bool atLeastTwoCellsFollow() const {
        const std::size_t rest = s_.size() - next_;
        return rest >= 2 || (rest == 1 && at(next_) == '\t');
    }

    bool isBreakPoint(const Taken& c) const {
        return c.length == 2 || !hasTrait(at(c.pos), kNotBreakPoint);
    }

    bool mustNotEndRow(const Taken& c) const {
        return c.length == 2 ? contains(kNoRowEndDoubleByte, codeAt(c.pos))
                             : hasTrait(at(c.pos), kNoRowEnd);
    }

    bool mustNotBeginRow(std::size_t i) const {
        return charLength(s_, i) == 2 ? contains(kNoRowStartDoubleByte, codeAt(i))
                                      : hasTrait(at(i), kNoRowStart);
    }

    bool isHanging(std::size_t i) const {
        return charLength(s_, i) == 2 ? contains(kHangingDoubleByte, codeAt(i))
                                      : hasTrait(at(i), kHanging);
    }

    DoubleByteCode codeAt(std::size_t i) const { return doubleByteCode(at(i), at(i + 1)); }

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
    // Without tabs every byte is one cell, so a line of at most W bytes fits as it is.
    if (line.size() <= width && line.find('\t') == std::string_view::npos) {
        rows.push_back(Row{0, line.size(), line.size()});
        return;
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
        const std::size_t length = charLength(line, pos);
        column += charCells(line, pos, length, column, width);
        if (cell < column) return pos;
        pos += length;
    }
    return std::nullopt;
}

std::size_t cellAtOffset(std::string_view line, const Row& row, std::size_t offset, int wrapWidth) {
    const std::size_t width = clampedWidth(wrapWidth);
    std::size_t column = 0;
    for (std::size_t pos = row.start; pos < row.start + row.length && pos < offset;) {
        const std::size_t length = charLength(line, pos);
        column += charCells(line, pos, length, column, width);
        pos += length;
    }
    return column;
}

}  // namespace torvane::view
