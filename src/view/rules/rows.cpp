#include "view/rules/rows.h"

#include <algorithm>

#include "unicode/graphemes.h"
#include "unicode/utf8_walk.h"
#include "view/rules/report_chars.h"
#include "view/rules/tokens.h"

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

// Where the URLs of a line lie, as the tokenizer finds them in the line on its own. Most lines
// hold none, and a line without any prefix of one is not tokenized.
struct Span {
    std::size_t start;
    std::size_t end;
};

std::vector<Span> urlSpans(std::string_view line) {
    std::vector<Span> spans;
    if (line.find("http") == std::string_view::npos && line.find("ftp:") == std::string_view::npos &&
        line.find("www.") == std::string_view::npos) {
        return spans;
    }
    for (const Token& token : tokenize(line, Region::none).tokens) {
        if (token.cls == TokenClass::url) spans.push_back({token.start, token.end()});
    }
    return spans;
}

// Builds one row at a time. The clusters taken into the current row are kept so that the break
// can move back over them without reading the text backwards. Widths and limits are counted on
// screen, from cell 0, so a row's indent takes part in the tab stops and the wrap width.
class RowBreaker {
  public:
    RowBreaker(std::string_view line, std::size_t wrapWidth, std::size_t continuationIndent)
        : s_(line), w_(wrapWidth), continuationIndent_(continuationIndent), urls_(urlSpans(line)) {}

    Row rowAt(std::size_t start, std::size_t indent) {
        taken_.clear();
        indent_ = indent;
        width_ = indent;
        next_ = start;
        const bool splitCharMoved = takeWrapWidth();
        if (next_ >= s_.size()) return Row{start, next_ - start, width_, indent_};

        // The room after the indent, which the proportional limits are taken of.
        const std::size_t room = w_ - indent_;
        if (!splitCharMoved) {
            while (width_ - indent_ > room / 3 && !isBreakPoint(taken_.back())) giveBack();
        }
        while (next_ < s_.size() && isHanging(next_) && width_ < w_ + 2) {
            const Cluster c = clusterAt(s_, next_, width_, w_);
            take(c.length, c.cells);
        }
        if (atLeastTwoCellsFollow()) {
            const std::size_t limit = indent_ + (room / 5) * 4;
            while (width_ > limit && mustNotEndRow(taken_.back())) giveBack();
            if (mustNotBeginRow(next_)) {
                while (width_ > limit && (mustNotEndRow(taken_.back()) || mustNotBeginRow(next_))) {
                    giveBack();
                }
            }
        }
        keepUrlWhole();
        return Row{start, next_ - start, width_, indent_};
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

    // Moves a break that falls inside a URL: to its end when nothing but spaces comes before it
    // in this row and it fits here, else before it when it fits on a continuation row. A URL is
    // ASCII, one cell a byte.
    void keepUrlWhole() {
        if (next_ >= s_.size()) return;
        const auto url = std::find_if(urls_.begin(), urls_.end(),
                                      [&](const Span& u) { return u.start < next_ && next_ < u.end; });
        if (url == urls_.end()) return;
        const std::size_t length = url->end - url->start;
        bool inkBefore = false;
        std::size_t cellsBefore = indent_;
        for (const Taken& t : taken_) {
            if (t.pos >= url->start) break;
            inkBefore = inkBefore || at(t.pos) != ' ';
            cellsBefore += t.cells;
        }
        if (!inkBefore) {
            if (cellsBefore + length > w_) return;
            while (next_ < url->end) {
                const Cluster c = clusterAt(s_, next_, width_, w_);
                take(c.length, c.cells);
            }
            return;
        }
        const std::size_t room = w_ - continuationIndent_;
        if (length > room) return;
        while (next_ > url->start) giveBack();
        // "(https://…" and "<https://…>" move together, while the row keeps something.
        while (taken_.size() > 1 && mustNotEndRow(taken_.back()) &&
               url->end - taken_.back().pos <= room) {
            giveBack();
        }
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
    std::size_t continuationIndent_;
    std::vector<Span> urls_;
    std::vector<Taken> taken_;
    std::size_t indent_ = 0;
    std::size_t width_ = 0;
    std::size_t next_ = 0;
};

}  // namespace

std::size_t valueColumn(std::string_view line) {
    std::size_t pos = line.find_first_not_of(' ');
    if (pos == std::string_view::npos) return 0;
    const std::size_t colon = line.find(':', pos);
    if (colon == std::string_view::npos || colon == pos) return 0;
    std::size_t value = colon + 1;
    if (value == line.size() || (line[value] != ' ' && line[value] != '\t')) return 0;
    value = line.find_first_not_of(" \t", value);
    if (value == std::string_view::npos) return 0;
    // The label's cells as a row from cell 0 counts them; no wrap width cuts a tab here.
    std::size_t column = 0;
    for (pos = 0; pos < value;) {
        const Cluster c = clusterAt(line, pos, column, static_cast<std::size_t>(-1));
        column += c.cells;
        pos += c.length;
    }
    return column;
}

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
    const std::size_t indent = std::min(valueColumn(line), width / 2);
    RowBreaker breaker(line, width, indent);
    for (std::size_t pos = 0; pos < line.size();) {
        rows.push_back(breaker.rowAt(pos, pos == 0 ? 0 : indent));
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
    if (cell < row.indent) return std::nullopt;
    std::size_t column = row.indent;
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
    std::size_t column = row.indent;
    for (std::size_t pos = row.start; pos < row.start + row.length && pos < offset;) {
        const Cluster c = clusterAt(line, pos, column, width);
        column += c.cells;
        pos += c.length;
    }
    return column;
}

}  // namespace torvane::view
