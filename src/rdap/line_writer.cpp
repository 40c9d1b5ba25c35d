#include "rdap/line_writer.h"

#include <algorithm>

#include "unicode/cells.h"

namespace torvane::rdap {
namespace {

constexpr std::string_view kReferralMarker = "Whois Server:";
constexpr std::string_view kDefusedMarker = "Whois Server :";

template <typename Each>
void ForEachLine(std::string_view text, Each each) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find_first_of("\r\n", start);
        each(text.substr(start, end - start));
        if (end == std::string_view::npos) return;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

// The run logic takes any line holding the marker for a referral; a JSON
// value is data, never one. Applied to the finished line, since padding
// joins label and value only there; the space it adds is taken from the
// padding when there is some, so the value keeps its column.
void Defuse(std::string& line) {
    std::size_t at = line.find(kReferralMarker);
    while (at != std::string::npos) {
        line.replace(at, kReferralMarker.size(), kDefusedMarker);
        const std::size_t after = at + kDefusedMarker.size();
        if (line.compare(after, 2, "  ") == 0) line.erase(after, 1);
        at = line.find(kReferralMarker, after);
    }
}

std::string Clean(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    return out;
}

}  // namespace

LineWriter::Line* LineWriter::StartLine(int level) {
    if (lines_.size() >= maxLines_) {
        cut_ = true;
        return nullptr;
    }
    const auto depth = static_cast<std::size_t>(std::max(level, 0));
    if (openGroups_.size() > depth + 1) openGroups_.resize(depth + 1);
    Line& line = lines_.emplace_back();
    line.level = depth;
    lastEmpty_ = false;
    return &line;
}

void LineWriter::Field(int level, std::string_view label, std::string_view value) {
    Line* line = StartLine(level);
    if (line == nullptr) return;
    line->label = Clean(label);
    line->value = Clean(value);
    line->labelCells = unicode::TextCells(line->label);
    if (openGroups_.size() <= line->level) openGroups_.resize(line->level + 1, kNoGroup);
    std::size_t& group = openGroups_[line->level];
    if (group == kNoGroup) {
        group = groupWidths_.size();
        groupWidths_.push_back(0);
    }
    line->group = group;
    if (line->labelCells <= kMaxAlignedLabelCells) {
        groupWidths_[group] = std::max(groupWidths_[group], line->labelCells);
    }
}

void LineWriter::Text(int level, std::string_view text) {
    ForEachLine(text, [&](std::string_view piece) {
        if (Line* line = StartLine(level)) line->value = Clean(piece);
    });
}

void LineWriter::MultiLineField(int level, std::string_view label, std::string_view value) {
    ForEachLine(value, [&](std::string_view line) { Field(level, label, line); });
}

void LineWriter::Gap() {
    if (lines_.empty() || lastEmpty_) return;
    Line* line = StartLine(0);
    if (line == nullptr) return;
    line->level = 0;
    openGroups_.clear();
    lastEmpty_ = true;
}

std::vector<std::string> LineWriter::TakeLines(std::string_view cutLine) {
    std::vector<std::string> out;
    out.reserve(lines_.size() + (cut_ ? 1 : 0));
    for (Line& line : lines_) {
        std::string& text = out.emplace_back();
        if (line.group == kNoGroup && line.value.empty()) continue;  // an empty line
        text.assign(2 * line.level, ' ');
        if (line.group == kNoGroup) {
            text += line.value;
        } else {
            text += line.label;
            text += ':';
            if (!line.value.empty()) {
                const std::size_t width = groupWidths_[line.group];
                const std::size_t pad = line.labelCells < width ? width - line.labelCells : 0;
                text.append(pad + 1, ' ');
                text += line.value;
            }
        }
        Defuse(text);
    }
    if (cut_) out.emplace_back(cutLine);
    lines_.clear();
    openGroups_.clear();
    groupWidths_.clear();
    return out;
}

}  // namespace torvane::rdap
