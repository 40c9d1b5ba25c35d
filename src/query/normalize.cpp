#include "query/normalize.h"

#include "query/ascii_text.h"
#include "query/second_level_labels.h"

namespace torvane::query {

namespace {

constexpr std::size_t kMaxAddressLength = 15;
constexpr int kMinAddressDots = 3;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Keeps what follows the first whole-character match of `marker`.
std::string_view After(std::string_view text, std::string_view marker) {
    const std::size_t pos = FindText(text, marker);
    return pos == std::string_view::npos ? text : text.substr(pos + marker.size());
}

// Keeps what stands before the first whole-character match of `marker`.
std::string_view Before(std::string_view text, std::string_view marker) {
    const std::size_t pos = FindText(text, marker);
    return pos == std::string_view::npos ? text : text.substr(0, pos);
}

std::string_view WithoutDot(std::string_view label) {
    return label.empty() ? label : label.substr(1);
}

}  // namespace

bool IsIPAddress(std::string_view text) {
    if (text.empty() || text.size() > kMaxAddressLength || text.front() == '.') return false;
    int dots = 0;
    int digits = 0;
    int value = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            value = value * 10 + (c - '0');
            if (++digits > 3 || value > 255) return false;
        } else if (c == '.') {
            if (i + 1 == text.size() || !IsDigit(text[i + 1])) return false;
            ++dots;
            digits = 0;
            value = 0;
        } else {
            return false;
        }
    }
    return dots >= kMinAddressDots;
}

std::string CleanQueryText(std::string_view text) {
    text = After(text, "://");
    text = Before(text, "/");
    text = After(text, "@");
    text = Before(text, ">");
    return std::string(Trim(text));
}

std::string CutToRegisteredDomain(std::string_view name) {
    const std::string_view top = LastLabel(name);
    if (top.empty()) return std::string(name);
    const std::string domain = ToLowerAscii(Trim(top));
    const std::string_view rest = WithoutLastLabel(name);
    if (FindText(rest, ".") == std::string_view::npos) return std::string(Trim(rest)) + domain;

    const std::string_view second = LastLabel(rest);
    if (second.empty()) return std::string(Trim(rest)) + domain;
    if (!IsSecondLevelLabel(domain, WithoutDot(second))) {
        return std::string(Trim(WithoutDot(second))) + domain;
    }
    const std::string_view rest2 = WithoutLastLabel(rest);
    const std::string_view third = LastLabel(rest2);
    const std::string_view registered = third.empty() ? rest2 : WithoutDot(third);
    return std::string(Trim(registered)) + std::string(Trim(second)) + domain;
}

}  // namespace torvane::query
