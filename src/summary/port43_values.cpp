#include "summary/port43_values.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "query/ascii_text.h"
#include "summary/port43_facts.h"

namespace torvane::summary::port43 {
namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimSpaces(std::string_view text) {
    for (;;) {
        if (!text.empty() && IsSpace(text.front())) {
            text.remove_prefix(1);
        } else if (text.starts_with(kIdeographicSpace)) {
            text.remove_prefix(kIdeographicSpace.size());
        } else {
            break;
        }
    }
    for (;;) {
        if (!text.empty() && IsSpace(text.back())) {
            text.remove_suffix(1);
        } else if (text.ends_with(kIdeographicSpace)) {
            text.remove_suffix(kIdeographicSpace.size());
        } else {
            break;
        }
    }
    return text;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Texts that stand where a value is not given at all.
constexpr std::array<std::string_view, 4> kPlaceholders = {"-", "--", "n/a", "n.a."};

// The beginnings of the texts registries put where a value is withheld:
// ICANN's 2018 temporary policy for registration data ("REDACTED FOR
// PRIVACY", "Please query the RDDS service of the Registrar of Record..."),
// registrars' variants, DNS Belgium's "Not shown, please visit
// www.dns.be...", AFNIC's "Ano Nymous" for a private person.
constexpr std::array<std::string_view, 13> kWithheldStarts = {
    "redacted",
    "not disclosed",
    "data protected",
    "not shown",
    "withheld for privacy",
    "please query the rdds service",
    "please query the whois service",
    "statutory masking enabled",
    "gdpr masked",
    "gdpr redacted",
    "hidden upon user request",
    "non-public data",
    "ano nymous",
};

// Texts that say so wherever they stand in a value ("Data protected, not
// disclosed", JPRS's and JPNIC's "非公開").
constexpr std::array<std::string_view, 4> kWithheldAnywhere = {
    "redacted for privacy", "not disclosed", "data protected",
    "\xE9\x9D\x9E\xE5\x85\xAC\xE9\x96\x8B",  // 非公開
};

}  // namespace

std::string CleanValue(std::string_view raw) {
    // A line may be megabytes long; only its head can become a value.
    raw = raw.substr(0, std::min(raw.size(), 4 * kMaxValueBytes));
    std::string value;
    value.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto byte = static_cast<unsigned char>(raw[i]);
        if (raw[i] == '\t') {
            value += ' ';
        } else if (byte == 0xC2 && i + 1 < raw.size() &&
                   static_cast<unsigned char>(raw[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(raw[i + 1]) <= 0x9F) {
            ++i;  // a C1 control, U+0080-U+009F
        } else if (byte >= 0x20 && byte != 0x7F) {
            value += raw[i];
        }
    }
    std::string_view text = TrimSpaces(value);
    if (text.size() > kMaxValueBytes) {
        std::size_t cut = kMaxValueBytes;
        while (cut > 0 && IsContinuationByte(text[cut])) --cut;
        text = TrimSpaces(text.substr(0, cut));
    }
    for (std::string_view placeholder : kPlaceholders) {
        if (query::EqualsIgnoreCase(text, placeholder)) return {};
    }
    return std::string(text);
}

std::string_view StatusWithoutUrl(std::string_view status) {
    const std::string lower = query::ToLowerAscii(status);
    for (std::string_view cut : {" (http://", " (https://", " http://", " https://"}) {
        const std::size_t at = lower.find(cut);
        if (at != std::string::npos && at > 0) return TrimSpaces(status.substr(0, at));
    }
    return status;
}

std::string_view FirstWord(std::string_view value) {
    value = TrimSpaces(value);
    const std::size_t end = value.find_first_of(" \t");
    return end == std::string_view::npos ? value : value.substr(0, end);
}

std::string_view JprsStateExpiry(std::string_view state) {
    // "Connected (2026/03/31)": the only state whose bracket is the expiry.
    constexpr std::string_view kConnected = "Connected";
    if (state.size() < kConnected.size() ||
        !query::EqualsIgnoreCase(state.substr(0, kConnected.size()), kConnected))
        return {};
    std::string_view rest = TrimSpaces(state.substr(kConnected.size()));
    if (rest.size() != 12 || rest.front() != '(' || rest.back() != ')') return {};
    const std::string_view date = rest.substr(1, 10);
    for (std::size_t i = 0; i < date.size(); ++i) {
        const bool slash = i == 4 || i == 7;
        if (slash ? date[i] != '/' : (date[i] < '0' || date[i] > '9')) return {};
    }
    return date;
}

}  // namespace torvane::summary::port43

namespace torvane::summary {

bool IsRedacted(std::string_view value) {
    const std::string text = query::ToLowerAscii(port43::TrimSpaces(value));
    for (std::string_view start : port43::kWithheldStarts) {
        if (text.starts_with(start)) return true;
    }
    for (std::string_view part : port43::kWithheldAnywhere) {
        if (text.find(part) != std::string::npos) return true;
    }
    return false;
}

}  // namespace torvane::summary
