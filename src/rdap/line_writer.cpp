#include "rdap/line_writer.h"

#include <algorithm>


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
// value is data, never one.
std::string Defused(std::string text) {
    std::size_t at = text.find(kReferralMarker);
    if (at == std::string::npos) return text;
    std::string out;
    std::size_t done = 0;
    while (at != std::string::npos) {
        out.append(text, done, at - done);
        out += kDefusedMarker;
        done = at + kReferralMarker.size();
        at = text.find(kReferralMarker, done);
    }
    out.append(text, done);
    return out;
}

}  // namespace

bool LineWriter::StartLine(int level) {
    if (lines_ >= maxLines_) {
        cut_ = true;
        return false;
    }
    if (lines_ > 0) text_ += '\n';
    ++lines_;
    text_.append(static_cast<std::size_t>(std::max(level, 0)) * 2, ' ');
    lastEmpty_ = false;
    return true;
}

void LineWriter::AppendClean(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        text_ += byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
}

void LineWriter::Field(int level, std::string_view label, std::string_view value) {
    if (!StartLine(level)) return;
    AppendClean(label);
    text_ += ':';
    if (value.empty()) return;
    text_ += ' ';
    AppendClean(value);
}

void LineWriter::Text(int level, std::string_view text) {
    ForEachLine(text, [&](std::string_view line) {
        if (StartLine(level)) AppendClean(line);
    });
}

void LineWriter::MultiLineField(int level, std::string_view label, std::string_view value) {
    ForEachLine(value, [&](std::string_view line) { Field(level, label, line); });
}

void LineWriter::Gap() {
    if (lines_ == 0 || lastEmpty_ || !StartLine(0)) return;
    lastEmpty_ = true;
}

std::vector<std::string> LineWriter::TakeLines(std::string_view cutLine) {
    if (cut_) {
        if (lines_ > 0) text_ += '\n';
        text_ += cutLine;
        ++lines_;
    }
    const std::string text = Defused(std::move(text_));
    text_.clear();
    std::vector<std::string> lines;
    if (lines_ == 0) return lines;
    lines.reserve(lines_);
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        lines.emplace_back(text, start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

}  // namespace torvane::rdap
