#include "view/widget/text_layout.h"

#include <algorithm>
#include <stdexcept>

namespace torvane::view {

namespace {

// Room for `extra` more elements, growing geometrically: many small appends
// must not each reallocate.
template <typename T>
void GrowFor(std::vector<T>& items, std::size_t extra) {
    if (items.capacity() - items.size() >= extra) return;
    items.reserve(std::max(items.size() + extra, 2 * items.capacity()));
}

}  // namespace

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

void TTextLayout::append(std::string line) {
    const std::size_t index = lines_.size();
    breakInto(line, rows_);
    firstRow_.push_back(rows_.size());
    lineStart_.push_back(lineStart_.back() + line.size() + 2);
    lines_.push_back(std::move(line));
    ++version_;
    scanStates(index, 0, 1);
}

void TTextLayout::append(std::span<const std::string> lines) {
    query::TLines taken;
    for (const std::string& line : lines) taken.push_back(line);
    appendTaken(taken);
}

void TTextLayout::append(query::TLines lines) { appendTaken(lines); }

void TTextLayout::insert(std::size_t index, std::string line) {
    insert(index, query::TLines{line});
}

void TTextLayout::insert(std::size_t index, query::TLines lines) {
    if (index > lines_.size()) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
    insertTaken(index, lines);
}

// Every vector moves its later elements once and the numbers after the block are shifted once,
// so a block costs no more than one line does, plus its own lines.
void TTextLayout::insertTaken(std::size_t index, query::TLines& lines) {
    const std::size_t added = lines.size();
    if (index == lines_.size()) {
        appendTaken(lines);
        return;
    }
    const std::size_t firstNewRow = firstRow_[index];
    std::vector<Row> newRows;
    std::vector<std::size_t> newFirstRow(added);
    std::vector<std::size_t> newLineStart(added);
    std::size_t row = firstRow_[index];
    std::size_t position = lineStart_[index];
    for (std::size_t k = 0; k < added; ++k) {
        newFirstRow[k] = row;
        newLineStart[k] = position;
        row += breakInto(lines[k], newRows);
        position += lines[k].size() + 2;
    }
    const std::size_t rowGrowth = row - firstRow_[index];
    const std::size_t textGrowth = position - lineStart_[index];
    for (std::size_t i = index; i < firstRow_.size(); ++i) {
        firstRow_[i] += rowGrowth;
        lineStart_[i] += textGrowth;
    }
    const auto at = static_cast<std::ptrdiff_t>(index);
    firstRow_.insert(firstRow_.begin() + at, newFirstRow.begin(), newFirstRow.end());
    lineStart_.insert(lineStart_.begin() + at, newLineStart.begin(), newLineStart.end());
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(firstNewRow), newRows.begin(),
                 newRows.end());
    lines_.insert(index, std::move(lines));
    ++version_;
    scanStates(index, 0, added);
}

void TTextLayout::remove(std::size_t index, std::size_t count) {
    if (index > lines_.size() || count > lines_.size() - index) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
    if (count == 0) return;
    const std::size_t end = index + count;
    const std::size_t rowShrink = firstRow_[end] - firstRow_[index];
    const std::size_t textShrink = lineStart_[end] - lineStart_[index];
    for (std::size_t i = end; i < firstRow_.size(); ++i) {
        firstRow_[i] -= rowShrink;
        lineStart_[i] -= textShrink;
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(firstRow_[index]),
                rows_.begin() + static_cast<std::ptrdiff_t>(firstRow_[index] + rowShrink));
    const auto at = static_cast<std::ptrdiff_t>(index);
    firstRow_.erase(firstRow_.begin() + at, firstRow_.begin() + at + static_cast<std::ptrdiff_t>(count));
    lineStart_.erase(lineStart_.begin() + at,
                     lineStart_.begin() + at + static_cast<std::ptrdiff_t>(count));
    lines_.erase(index, count);
    ++version_;
    scanStates(index, count, 0);
}

void TTextLayout::appendTaken(query::TLines& lines) {
    const std::size_t first = lines_.size();
    GrowFor(firstRow_, lines.size());
    GrowFor(lineStart_, lines.size());
    // Every line has at least one row: a long answer's rows then rarely move.
    GrowFor(rows_, lines.size());
    for (const std::string_view line : lines) {
        breakInto(line, rows_);
        firstRow_.push_back(rows_.size());
        lineStart_.push_back(lineStart_.back() + line.size() + 2);
    }
    lines_.append(std::move(lines));
    ++version_;
    scanStates(first, 0, lines_.size() - first);
}

bool TTextLayout::setWrapWidth(int cells) {
    const int width = std::clamp(cells, kMinWrapWidth, kMaxWrapWidth);
    if (width == wrapWidth_) return false;
    wrapWidth_ = width;
    std::vector<Row> rows;
    rows.reserve(rows_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        firstRow_[i] = rows.size();
        breakInto(lines_[i], rows);
    }
    firstRow_[lines_.size()] = rows.size();
    rows_ = std::move(rows);
    ++version_;
    return true;
}

std::size_t TTextLayout::breakInto(std::string_view line, std::vector<Row>& rows) {
    breakIntoRows(line, wrapWidth_, scratchRows_);
    rows.insert(rows.end(), scratchRows_.begin(), scratchRows_.end());
    ++linesBroken_;
    return scratchRows_.size();
}

void TTextLayout::scanStates(std::size_t first, std::size_t removed, std::size_t added) {
    const std::size_t end =
        states_.replaceLines(first, removed, added, [this](std::size_t i) { return lines_[i]; });
    linesScanned_ += end - first;
}

RowRef TTextLayout::rowAt(std::size_t row) const {
    const auto it = std::upper_bound(firstRow_.begin(), firstRow_.end() - 1, row);
    const auto line = static_cast<std::size_t>(it - firstRow_.begin()) - 1;
    const std::size_t inLine = row - firstRow_[line];
    return RowRef{line, inLine, rows_[row]};
}

std::size_t TTextLayout::rowOf(TextPos pos) const {
    const std::span<const Row> rows = rowsOf(pos.line);
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
    const std::string_view text = lines_[line];
    const std::size_t wanted = std::min(position - lineStart_[line], text.size());
    // Cluster starts are found from the line's start: a cluster cannot be told from its end.
    std::size_t offset = 0;
    while (offset < wanted) {
        const std::size_t next = offset + reportClusterAt(text, offset).length;
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
        std::string withEnd(lines_[line]);
        if (line + 1 < lines_.size()) withEnd += "\r\n";
        const std::size_t begin = from > lineStart_[line] ? from - lineStart_[line] : 0;
        const std::size_t end = std::min(withEnd.size(), to - lineStart_[line]);
        if (begin < end) result.append(withEnd, begin, end - begin);
    }
    return result;
}

}  // namespace torvane::view
