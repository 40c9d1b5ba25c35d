#include "query/number_resources.h"

#include "query/ascii_text.h"
#include "query/normalize.h"

namespace torvane::query {
namespace {

constexpr std::size_t kMaxZoneLength = 32;
constexpr std::uint32_t kMaxAsdotPart = 65535;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsZoneChar(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// A decimal of 1 to `maxDigits` digits, used whole, up to `maxValue`.
std::optional<std::uint32_t> ParseDecimal(std::string_view text, std::size_t maxDigits,
                                          std::uint64_t maxValue) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > maxValue) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// Stricter than IsIPAddress: exactly four parts.
bool ParseDottedQuad(std::string_view text, std::uint8_t* out) {
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = part < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos) return false;
        const auto value = ParseDecimal(text.substr(0, dot), 3, 255);
        if (!value) return false;
        out[part] = static_cast<std::uint8_t>(*value);
        text.remove_prefix(part < 3 ? dot + 1 : dot);
    }
    return true;
}

// Groups of one side of "::" (or of the whole address), into `groups`.
// Returns the number of 16-bit groups written, or -1. Only the last piece
// of the tail side may be a dotted quad.
int ParseGroups(std::string_view text, bool mayEndInQuad, std::uint16_t* groups, int room) {
    if (text.empty()) return 0;
    int count = 0;
    while (true) {
        const std::size_t colon = text.find(':');
        const std::string_view piece = text.substr(0, colon);
        if (colon == std::string_view::npos && mayEndInQuad &&
            piece.find('.') != std::string_view::npos) {
            std::uint8_t quad[4];
            if (count + 2 > room || !ParseDottedQuad(piece, quad)) return -1;
            groups[count++] = static_cast<std::uint16_t>(quad[0] << 8 | quad[1]);
            groups[count++] = static_cast<std::uint16_t>(quad[2] << 8 | quad[3]);
            return count;
        }
        if (piece.empty() || piece.size() > 4 || count + 1 > room) return -1;
        unsigned value = 0;
        for (char c : piece) {
            const int digit = HexValue(c);
            if (digit < 0) return -1;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        groups[count++] = static_cast<std::uint16_t>(value);
        if (colon == std::string_view::npos) return count;
        text.remove_prefix(colon + 1);
    }
}

}  // namespace

std::optional<std::array<std::uint8_t, 16>> ParseBareIpv6(std::string_view text) {
    std::uint16_t head[8] = {};
    std::uint16_t tail[8] = {};
    const std::size_t gap = text.find("::");
    int headCount = 0;
    int tailCount = 0;
    if (gap == std::string_view::npos) {
        headCount = ParseGroups(text, true, head, 8);
        if (headCount != 8) return std::nullopt;
    } else {
        const std::string_view after = text.substr(gap + 2);
        if (after.find("::") != std::string_view::npos) return std::nullopt;
        headCount = ParseGroups(text.substr(0, gap), false, head, 7);
        if (headCount < 0) return std::nullopt;
        tailCount = ParseGroups(after, true, tail, 7 - headCount);
        if (tailCount < 0) return std::nullopt;
    }
    std::array<std::uint8_t, 16> bytes{};
    auto put = [&](int index, std::uint16_t group) {
        bytes[2 * index] = static_cast<std::uint8_t>(group >> 8);
        bytes[2 * index + 1] = static_cast<std::uint8_t>(group & 0xFF);
    };
    for (int i = 0; i < headCount; ++i) put(i, head[i]);
    for (int i = 0; i < tailCount; ++i) put(8 - tailCount + i, tail[i]);
    return bytes;
}

namespace {

// Drops a valid zone from the end of `text`; false for a bad one.
bool DropZone(std::string_view& text) {
    const std::size_t percent = text.find('%');
    if (percent == std::string_view::npos) return true;
    std::string_view zone = text.substr(percent + 1);
    if (zone.size() > 2 && zone.substr(0, 2) == "25") zone.remove_prefix(2);
    if (zone.empty() || zone.size() > kMaxZoneLength) return false;
    for (char c : zone) {
        if (!IsZoneChar(c)) return false;
    }
    text = text.substr(0, percent);
    return true;
}

bool IsIpv4Mapped(const std::array<std::uint8_t, 16>& b) {
    for (int i = 0; i < 10; ++i) {
        if (b[i] != 0) return false;
    }
    return b[10] == 0xFF && b[11] == 0xFF;
}

}  // namespace

std::string FormatIpv6(const std::array<std::uint8_t, 16>& bytes) {
    const bool mapped = IsIpv4Mapped(bytes);
    const int groupCount = mapped ? 6 : 8;
    std::uint16_t groups[8];
    for (int i = 0; i < 8; ++i)
        groups[i] = static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    int bestStart = -1;
    int bestLength = 1;  // a single zero group is never compressed
    for (int i = 0; i < groupCount;) {
        int j = i;
        while (j < groupCount && groups[j] == 0) ++j;
        if (j - i > bestLength) bestStart = i, bestLength = j - i;
        i = j == i ? i + 1 : j;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < groupCount; ++i) {
        if (i == bestStart) {
            out += "::";
            i += bestLength - 1;
            continue;
        }
        if (!out.empty() && out.back() != ':') out += ':';
        bool started = false;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const int digit = (groups[i] >> shift) & 0xF;
            if (digit != 0 || started || shift == 0) out += kHex[digit], started = true;
        }
    }
    if (mapped) {
        if (out.back() != ':') out += ':';
        for (int i = 12; i < 16; ++i) {
            out += std::to_string(bytes[i]);
            if (i < 15) out += '.';
        }
    }
    return out;
}

namespace {

// The bracketed host of a cleaned URL host "[...]" or "[...]:port".
std::string_view BracketedHost(std::string_view host) {
    if (host.empty() || host.front() != '[') return {};
    const std::size_t close = host.find(']');
    if (close == std::string_view::npos) return {};
    const std::string_view rest = host.substr(close + 1);
    if (!rest.empty() && (rest.front() != ':' || !ParseDecimal(rest.substr(1), 5, 65535))) {
        return {};
    }
    return host.substr(0, close + 1);
}

// Only a URL or mail decoration lets the cleaned text speak for the line:
// "::/129" must not become "::" by losing its bad prefix.
std::optional<Ipv6Address> Ipv6FromTypedLine(std::string_view typed, const std::string& cleaned) {
    if (auto whole = ParseIpv6Address(Trim(typed))) return whole;
    if (FindText(typed, "://") == std::string_view::npos &&
        FindText(typed, "@") == std::string_view::npos) {
        return std::nullopt;
    }
    if (auto host = ParseIpv6Address(cleaned)) return host;
    return ParseIpv6Address(BracketedHost(cleaned));
}

}  // namespace

std::optional<Ipv6Address> ParseIpv6Address(std::string_view text) {
    Ipv6Address address;
    const std::size_t slash = text.rfind('/');
    if (slash != std::string_view::npos) {
        const auto prefix = ParseDecimal(text.substr(slash + 1), 3, 128);
        if (!prefix) return std::nullopt;
        address.prefixLength = static_cast<int>(*prefix);
        text = text.substr(0, slash);
    }
    if (!text.empty() && text.front() == '[') {
        if (text.size() < 2 || text.back() != ']') return std::nullopt;
        text = text.substr(1, text.size() - 2);
    }
    if (!DropZone(text)) return std::nullopt;
    const auto bytes = ParseBareIpv6(text);
    if (!bytes) return std::nullopt;
    address.bytes = *bytes;
    address.text = FormatIpv6(*bytes);
    return address;
}

std::string Ipv6DisplayText(const Ipv6Address& address) {
    if (!address.prefixLength) return address.text;
    return address.text + '/' + std::to_string(*address.prefixLength);
}

std::optional<std::uint32_t> ParseAsNumber(std::string_view text) {
    if (text.size() < 3 || !EqualsIgnoreCase(text.substr(0, 2), "as")) return std::nullopt;
    const std::string_view number = text.substr(2);
    const std::size_t dot = number.find('.');
    if (dot == std::string_view::npos) return ParseDecimal(number, 10, 4294967295u);
    const auto high = ParseDecimal(number.substr(0, dot), 5, kMaxAsdotPart);
    const auto low = ParseDecimal(number.substr(dot + 1), 5, kMaxAsdotPart);
    if (!high || !low) return std::nullopt;
    return *high << 16 | *low;
}

QueryKind ClassifyQuery(std::string_view cleaned) {
    if (IsIPAddress(cleaned)) return QueryKind::IPv4;
    if (ParseIpv6Address(cleaned)) return QueryKind::IPv6;
    if (ParseAsNumber(cleaned)) return QueryKind::AsNumber;
    return QueryKind::Name;
}

RecognizedQuery RecognizeQuery(std::string_view typed) {
    RecognizedQuery query;
    query.text = CleanQueryText(typed);
    if (IsIPAddress(query.text)) {
        query.kind = QueryKind::IPv4;
    } else if (auto address = Ipv6FromTypedLine(typed, query.text)) {
        query.kind = QueryKind::IPv6;
        query.text = address->text;
        query.ipv6 = std::move(address);
    } else if (auto number = ParseAsNumber(query.text)) {
        query.kind = QueryKind::AsNumber;
        query.asNumber = *number;
        query.text = "AS" + std::to_string(*number);
    }
    return query;
}

}  // namespace torvane::query
