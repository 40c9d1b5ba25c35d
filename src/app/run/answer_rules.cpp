#include "app/run/answer_rules.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

#include "query/ascii_text.h"

namespace torvane::run {

namespace {

using query::EqualsIgnoreCase;
using query::ToLowerAscii;
using query::Trim;

constexpr std::string_view kWhoisServerMarker = "Whois Server:";
constexpr std::string_view kRegistrarServerMarker = "Registrar WHOIS Server:";
constexpr std::string_view kServerMarkerEnd = "Server:";
constexpr std::size_t kMaxReferralLength = 99;
constexpr std::string_view kApnicMarker = "command line:";
constexpr std::string_view kArinMarker = "ReferralServer: ";
constexpr std::string_view kSchemeMarker = "://";

bool Holds(std::string_view line, std::string_view marker) {
    return line.find(marker) != std::string_view::npos;
}

std::string_view Before(std::string_view text, char marker) {
    return text.substr(0, text.find(marker));
}

// A referred host as it will be asked and shown: "whois.apnic.net." is
// whois.apnic.net.
std::string_view WithoutRootDot(std::string_view host) {
    if (!host.empty() && host.back() == '.') host.remove_suffix(1);
    return host;
}

// The handle of an "m. [" or "n. [" line: what follows its first ']'. A
// handle not yet in `known` (lower-cased, as handles compare without regard
// to case) is added there and to `found`.
void TakeHandle(std::string_view line, std::string_view opener,
                std::unordered_set<std::string>& known, std::vector<std::string>& found) {
    if (!Holds(line, opener) || !Holds(line, "]")) return;
    const std::string_view handle = Trim(line.substr(line.find(']') + 1));
    if (handle.empty()) return;
    if (known.insert(ToLowerAscii(handle)).second) found.emplace_back(handle);
}

}  // namespace

bool SameHost(std::string_view a, std::string_view b) {
    return EqualsIgnoreCase(WithoutRootDot(a), WithoutRootDot(b));
}

void TAskedHosts::Restart(std::string_view first) {
    hosts_.clear();
    hosts_.emplace_back(first);
}

bool TAskedHosts::Holds(std::string_view host) const {
    return std::any_of(hosts_.begin(), hosts_.end(),
                       [&](const std::string& asked) { return SameHost(asked, host); });
}

namespace {

constexpr std::string_view kDomainRecord = "Domain Name:";
constexpr std::string_view kHostRecord = "Server Name:";

std::string_view LeftTrimmed(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    return line.substr(at);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool StartsRecord(std::string_view line) {
    const std::string_view text = LeftTrimmed(line);
    return StartsWith(text, kDomainRecord) || StartsWith(text, kHostRecord);
}

// The lines of the record about `query` in a registry's answer that lists
// several objects, or all lines when no "Domain Name:" line names it.
std::pair<std::size_t, std::size_t> QueriedRecord(const query::TLines& lines,
                                                  std::string_view query) {
    for (std::size_t first = 0; first < lines.size(); ++first) {
        const std::string_view text = LeftTrimmed(lines[first]);
        if (!StartsWith(text, kDomainRecord) ||
            !EqualsIgnoreCase(Trim(text.substr(kDomainRecord.size())), query)) {
            continue;
        }
        std::size_t end = first + 1;
        while (end < lines.size() && !StartsRecord(lines[end])) ++end;
        return {first, end};
    }
    return {0, lines.size()};
}

std::optional<std::uint16_t> PortNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<ReferralTarget> ParseReferralValue(std::string_view value) {
    value = Trim(value);
    std::optional<std::uint16_t> port;
    const std::size_t scheme = value.find(kSchemeMarker);
    if (scheme != std::string_view::npos) {
        const std::string_view name = value.substr(0, scheme);
        if (!EqualsIgnoreCase(name, "whois") && !EqualsIgnoreCase(name, "rwhois")) {
            return std::nullopt;
        }
        value = Before(value.substr(scheme + kSchemeMarker.size()), '/');
        const std::size_t colon = value.find(':');
        if (colon != std::string_view::npos) {
            port = PortNumber(value.substr(colon + 1));
            value = value.substr(0, colon);
        }
    }
    const std::string_view host = WithoutRootDot(value);
    if (host.empty()) return std::nullopt;
    return ReferralTarget{std::string(host), port};
}

std::optional<ReferralTarget> FindWhoisServerReferral(const query::TLines& lines,
                                                      std::string_view host,
                                                      const TAskedHosts& asked,
                                                      std::string_view query) {
    const auto [first, end] = QueriedRecord(lines, query);
    for (std::size_t i = first; i < end; ++i) {
        const std::string_view line = lines[i];
        // Both markers end in this; most lines of a long answer fail here.
        if (!Holds(line, kServerMarkerEnd)) continue;
        if (!Holds(line, kWhoisServerMarker) && !Holds(line, kRegistrarServerMarker)) continue;
        const std::optional<ReferralTarget> target =
            ParseReferralValue(line.substr(line.find(':') + 1, kMaxReferralLength));
        // A server already asked would only loop.
        if (!target || target->host == host || asked.Holds(target->host)) continue;
        return target;
    }
    return std::nullopt;
}

std::optional<ReferralTarget> FindIanaReferral(const query::TLines& lines) {
    for (const std::string_view line : lines) {
        for (std::string_view marker : {"refer:", "whois:"}) {
            if (!StartsWith(line, marker)) continue;
            if (auto target = ParseReferralValue(line.substr(marker.size()))) return target;
        }
    }
    return std::nullopt;
}

ContactScan ScanContactHandles(const query::TLines& lines, bool stopAtNoMatch,
                               std::vector<std::string>& pending) {
    constexpr std::string_view kRirNotice = "参考：RIRのWHOISサーバ";
    // A hostile answer can name a million handles: membership is one hash
    // lookup, and the new handles go to the front in one move at the end
    // (the latest found first, as inserting each at the front would give).
    std::unordered_set<std::string> known;
    for (const std::string& held : pending) known.insert(ToLowerAscii(held));
    std::vector<std::string> found;
    ContactScan scan;
    for (const std::string_view line : lines) {
        TakeHandle(line, "m. [", known, found);
        TakeHandle(line, "n. [", known, found);
        if (Holds(line, kRirNotice) || (stopAtNoMatch && Holds(line, "No match!!"))) {
            scan.suppressed = true;
            break;
        }
    }
    pending.insert(pending.begin(), std::make_move_iterator(found.rbegin()),
                   std::make_move_iterator(found.rend()));
    return scan;
}

bool HasApnicCommandLine(std::string_view line) { return Holds(line, kApnicMarker); }

std::string ApnicCommandLineServer(std::string_view line) {
    const std::size_t at = line.find(kApnicMarker);
    if (at == std::string_view::npos) return {};
    const std::optional<ReferralTarget> target =
        ParseReferralValue(line.substr(at + kApnicMarker.size()));
    return target ? target->host : std::string();
}

bool HasArinReferral(std::string_view line) {
    return Holds(line, kArinMarker) && Holds(line, kSchemeMarker);
}

std::optional<ReferralTarget> ArinReferral(std::string_view line) {
    if (!HasArinReferral(line)) return std::nullopt;
    const std::string_view value = line.substr(line.find(kArinMarker) + kArinMarker.size());
    // ARIN names a server only as a URL; a "://" elsewhere on the line is not
    // its value's.
    if (!Holds(value, kSchemeMarker)) return std::nullopt;
    return ParseReferralValue(value);
}

bool IsApnicNotAllocated(std::string_view line) { return Holds(line, "not allocated to APNIC"); }

bool IsArinNoMatch(std::string_view line) {
    return Holds(line, "No match found for") || Holds(line, "not registered in the ARIN database");
}

}  // namespace torvane::run
