#include "query/text_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace torvane::query {
namespace {

// The first CR or LF at or after `from`, or `end`. WHOIS lines are short, so
// a library search per line end would cost more in calls than in bytes; a
// word of eight bytes none of which is below CR holds neither, and most
// words are passed over on that one test.
const char* NextBreak(const char* from, const char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighs = 0x8080808080808080;
    const char* p = from;
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (((word - kOnes * ('\r' + 1)) & ~word & kHighs) == 0) continue;
        for (int i = 0; i < 8; ++i)
            if (p[i] == '\n' || p[i] == '\r') return p + i;
    }
    for (; p != end; ++p)
        if (*p == '\n' || *p == '\r') return p;
    return end;
}

// Calls visit(begin, end) for each line of `text`, in order.
template <typename Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
    const char* pos = text.data();
    const char* const end = pos + text.size();
    while (pos != end) {
        const char* lineEnd = NextBreak(pos, end);
        visit(pos, lineEnd);
        if (lineEnd == end) break;
        pos = lineEnd + 1;
        if (*lineEnd == '\r' && pos != end && *pos == '\n') ++pos;
    }
}

std::uint32_t SpanSize(std::size_t size) {
    if (size > UINT32_MAX) throw std::length_error("line too long");
    return static_cast<std::uint32_t>(size);
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&](const char* begin, const char* end) { lines.emplace_back(begin, end); });
    return lines;
}

TLines::TLines(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) push_back(line);
}

TLines::TLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) push_back(line);
}

TLines TLines::FromText(std::string text) {
    TLines lines;
    // Room for lines of 16 bytes on average, and for the few lines a block
    // adds around an answer, so that neither the split nor the block moves
    // the spans: room never written costs address space, not memory.
    constexpr std::size_t kSpareLines = 16;
    lines.spans_.reserve(text.size() / 16 + kSpareLines);
    const char* const base = text.data();
    ForEachLine(text, [&](const char* begin, const char* end) {
        lines.spans_.push_back({static_cast<std::size_t>(begin - base), 0,
                                SpanSize(static_cast<std::size_t>(end - begin))});
    });
    lines.texts_.push_back(std::move(text));
    return lines;
}

void TLines::push_back(std::string_view line) {
    // Lines go onto the end of the last buffer while it has room, so that
    // neither a large answer's buffer nor the lines already read move.
    if (texts_.empty() || texts_.back().capacity() - texts_.back().size() < line.size()) {
        constexpr std::size_t kBufferSize = 4096;
        std::string text;
        text.reserve(std::max(line.size(), kBufferSize));
        text.append(line);  // before texts_ grows: `line` may be in one of them
        texts_.push_back(std::move(text));
        spans_.push_back({0, static_cast<std::uint32_t>(texts_.size() - 1), SpanSize(line.size())});
        return;
    }
    std::string& text = texts_.back();
    const std::size_t start = text.size();
    text.append(line);
    spans_.push_back({start, static_cast<std::uint32_t>(texts_.size() - 1), SpanSize(line.size())});
}

void TLines::insert(std::size_t index, TLines other) {
    const auto shift = static_cast<std::uint32_t>(texts_.size());
    for (Span& span : other.spans_) span.text += shift;
    texts_.insert(texts_.end(), std::make_move_iterator(other.texts_.begin()),
                  std::make_move_iterator(other.texts_.end()));
    const auto at = static_cast<std::ptrdiff_t>(index);
    const std::size_t count = spans_.size() + other.spans_.size();
    if (count > spans_.capacity() && count <= other.spans_.capacity()) {
        // A few lines going around a long list with room to spare: the long
        // list's spans stay in place and these are put before and after.
        std::vector<Span> mine = std::exchange(spans_, std::move(other.spans_));
        spans_.insert(spans_.begin(), mine.begin(), mine.begin() + at);
        spans_.insert(spans_.end(), mine.begin() + at, mine.end());
    } else {
        spans_.insert(spans_.begin() + at, other.spans_.begin(), other.spans_.end());
    }
}

void TLines::erase(std::size_t index, std::size_t count) {
    const auto at = spans_.begin() + static_cast<std::ptrdiff_t>(index);
    spans_.erase(at, at + static_cast<std::ptrdiff_t>(count));
}

void TLines::clear() {
    texts_.clear();
    spans_.clear();
}

bool operator==(const TLines& a, const TLines& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const TLines& a, const std::vector<std::string>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace torvane::query
