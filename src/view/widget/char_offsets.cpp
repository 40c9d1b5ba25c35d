#include "view/widget/char_offsets.h"

#include <algorithm>

#include "unicode/utf8_walk.h"

namespace torvane::view {

std::size_t CharsBefore(std::string_view line, std::size_t offset) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < offset;) {
        const unicode::DecodedChar c = unicode::DecodeUtf8At(line, pos);
        units += c.value >= 0x10000 ? 2 : 1;
        pos += c.length;
    }
    return units;
}

std::size_t ByteOffsetOfChar(std::string_view line, std::size_t chars) {
    std::size_t pos = 0;
    while (pos < line.size()) {
        const unicode::DecodedChar c = unicode::DecodeUtf8At(line, pos);
        const std::size_t units = c.value >= 0x10000 ? 2 : 1;
        if (chars < units) break;
        chars -= units;
        pos += c.length;
    }
    return pos;
}

void TCharOffsets::linesInsertedAt(std::size_t index) {
    // The inserted lines start where line `index` did, so that start stays.
    if (starts_.size() > index + 1) starts_.resize(index + 1);
}

void TCharOffsets::extendTo(const query::TLines& lines, std::size_t line) {
    if (starts_.empty()) starts_.push_back(0);
    while (starts_.size() <= line) {
        const std::size_t previous = starts_.size() - 1;
        const std::string_view text = lines[previous];
        starts_.push_back(starts_.back() + CharsBefore(text, text.size()) + 1);
    }
}

std::size_t TCharOffsets::lineStart(const query::TLines& lines, std::size_t line) {
    extendTo(lines, line);
    return starts_[line];
}

std::size_t TCharOffsets::characterCount(const query::TLines& lines) {
    if (lines.empty()) return 0;
    return lineStart(lines, lines.size()) - 1;
}

std::size_t TCharOffsets::lineAt(const query::TLines& lines, std::size_t offset) {
    // Count lines only as far as the offset reaches.
    if (starts_.empty()) starts_.push_back(0);
    while (starts_.back() <= offset && starts_.size() <= lines.size()) {
        extendTo(lines, starts_.size());
    }
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
    const auto line = static_cast<std::size_t>(it - starts_.begin()) - 1;
    return std::min(line, lines.size() - 1);
}

std::size_t TCharOffsets::offsetOf(const query::TLines& lines, TextPos pos) {
    return lineStart(lines, pos.line) + CharsBefore(lines[pos.line], pos.offset);
}

TextPos TCharOffsets::posAt(const query::TLines& lines, std::size_t offset) {
    if (lines.empty()) return {};
    const std::size_t line = lineAt(lines, offset);
    const std::string_view text = lines[line];
    return TextPos{line, ByteOffsetOfChar(text, offset - starts_[line])};
}

}  // namespace torvane::view
