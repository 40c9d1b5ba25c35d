#include "view/widget/text_layout.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace torvane::view {

TTextLayout::TTextLayout(int wrapWidth)
    : wrapWidth_(std::clamp(wrapWidth, kMinWrapWidth, kMaxWrapWidth)) {}

void TTextLayout::clear() {
    lines_.clear();
    rows_.clear();
    firstRow_.assign(1, 0);
    lineStart_.assign(1, 0);
    states_.clear();
    ++version_;
}

void TTextLayout::append(std::string line) { append(std::span<const std::string>(&line, 1)); }

void TTextLayout::append(std::span<const std::string> lines) {
    append(std::vector<std::string>(lines.begin(), lines.end()));
}

void TTextLayout::append(std::vector<std::string>&& lines) { insertTaken(lines_.size(), lines); }

void TTextLayout::insert(std::size_t index, std::string line) {
    std::vector<std::string> lines;
    lines.push_back(std::move(line));
    insert(index, std::move(lines));
}

void TTextLayout::insert(std::size_t index, std::vector<std::string> lines) {
    if (index > lines_.size()) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
    insertTaken(index, lines);
}

// Every vector moves its later elements once, and the indexes and states are redone from `index`
// once, so a block costs no more than one line does, plus its own lines.
void TTextLayout::insertTaken(std::size_t index, std::vector<std::string>& lines) {
    const auto at = static_cast<std::ptrdiff_t>(index);
    const std::size_t added = lines.size();
    if (index == lines_.size() && lines_.empty()) {
        lines_ = std::move(lines);
    } else {
        lines_.insert(lines_.begin() + at, std::make_move_iterator(lines.begin()),
                      std::make_move_iterator(lines.end()));
    }
    rows_.insert(rows_.begin() + at, added, std::vector<Row>{});
    for (std::size_t i = index; i < index + added; ++i) breakLine(i);
    rebuildIndexesFrom(index);
    scanStates(index, 0, added);
}

bool TTextLayout::setWrapWidth(int cells) {
    const int width = std::clamp(cells, kMinWrapWidth, kMaxWrapWidth);
    if (width == wrapWidth_) return false;
    wrapWidth_ = width;
    for (std::size_t i = 0; i < lines_.size(); ++i) breakLine(i);
    rebuildIndexesFrom(0);
    return true;
}

void TTextLayout::breakLine(std::size_t index) {
    breakIntoRows(lines_[index], wrapWidth_, rows_[index]);
    ++linesBroken_;
    ++version_;
}

// Only the numbers from `line` on change, so an append touches the new lines alone.
void TTextLayout::rebuildIndexesFrom(std::size_t line) {
    firstRow_.resize(lines_.size() + 1);
    lineStart_.resize(lines_.size() + 1);
    for (std::size_t i = line; i < lines_.size(); ++i) {
        firstRow_[i + 1] = firstRow_[i] + rows_[i].size();
        lineStart_[i + 1] = lineStart_[i] + lines_[i].size() + 2;
    }
}

void TTextLayout::scanStates(std::size_t first, std::size_t removed, std::size_t added) {
    const std::size_t end = states_.replaceLines(
        first, removed, added, [this](std::size_t i) { return std::string_view(lines_[i]); });
    linesScanned_ += end - first;
}

RowRef TTextLayout::rowAt(std::size_t row) const {
    const auto it = std::upper_bound(firstRow_.begin(), firstRow_.end() - 1, row);
    const auto line = static_cast<std::size_t>(it - firstRow_.begin()) - 1;
    const std::size_t inLine = row - firstRow_[line];
    return RowRef{line, inLine, rows_[line][inLine]};
}

std::size_t TTextLayout::rowOf(TextPos pos) const {
    const std::vector<Row>& rows = rows_[pos.line];
    const auto it =
        std::upper_bound(rows.begin(), rows.end(), pos.offset,
                         [](std::size_t offset, const Row& r) { return offset < r.start; });
    return firstRow_[pos.line] + static_cast<std::size_t>(it - rows.begin()) - 1;
}

std::size_t TTextLayout::textLength() const { return lines_.empty() ? 0 : lineStart_.back() - 2; }

TextPos TTextLayout::posAt(std::size_t position) const {
    if (lines_.empty()) return {};
    position = std::min(position, textLength());
    const auto it = std::upper_bound(lineStart_.begin(), lineStart_.end() - 1, position);
    const auto line = static_cast<std::size_t>(it - lineStart_.begin()) - 1;
    const std::string& text = lines_[line];
    const std::size_t wanted = std::min(position - lineStart_[line], text.size());
    // CP932 cannot be read backwards, so the character starts are found from the line's start.
    std::size_t offset = 0;
    while (offset < wanted) {
        const std::size_t next = offset + charLength(text, offset);
        if (next > wanted) break;
        offset = next;
    }
    return TextPos{line, offset};
}

std::string TTextLayout::text() const {
    std::string result;
    result.reserve(textLength());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) result += "\r\n";
        result += lines_[i];
    }
    return result;
}

std::string TTextLayout::textBetween(std::size_t from, std::size_t to) const {
    to = std::min(to, textLength());
    if (from >= to) return {};
    std::string result;
    result.reserve(to - from);
    const auto it = std::upper_bound(lineStart_.begin(), lineStart_.end() - 1, from);
    for (auto line = static_cast<std::size_t>(it - lineStart_.begin()) - 1;
         line < lines_.size() && lineStart_[line] < to; ++line) {
        // The line with its CR LF, except after the last line.
        std::string withEnd = lines_[line];
        if (line + 1 < lines_.size()) withEnd += "\r\n";
        const std::size_t begin = from > lineStart_[line] ? from - lineStart_[line] : 0;
        const std::size_t end = std::min(withEnd.size(), to - lineStart_[line]);
        if (begin < end) result.append(withEnd, begin, end - begin);
    }
    return result;
}

}  // namespace torvane::view
