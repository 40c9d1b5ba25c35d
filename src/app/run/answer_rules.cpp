#include "app/run/answer_rules.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

#include "app/run/sjis.h"
#include "query/cp932_text.h"

namespace torvane::run {

namespace {

using query::EqualsIgnoreCase;
using query::ToLowerAscii;
using query::Trim;

constexpr std::string_view kWhoisServerMarker = "Whois Server:";
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

std::string FindWhoisServerReferral(const std::vector<std::string>& lines, std::string_view host,
                                    const TAskedHosts& asked) {
    for (const std::string& line : lines) {
        if (!Holds(line, kWhoisServerMarker)) continue;
        const std::string_view value = WithoutRootDot(
            Trim(std::string_view(line).substr(line.find(':') + 1, kMaxReferralLength)));
        // An empty value or a server already asked would only raise or loop.
        if (value.empty() || value == host || asked.Holds(value)) continue;
        return std::string(value);
    }
    return {};
}

ContactScan ScanContactHandles(const std::vector<std::string>& lines, bool stopAtNoMatch,
                               std::vector<std::string>& pending) {
    static const std::string kRirNotice = Sjis("参考：RIRのWHOISサーバ");
    // A hostile answer can name a million handles: membership is one hash
    // lookup, and the new handles go to the front in one move at the end
    // (the latest found first, as inserting each at the front would give).
    std::unordered_set<std::string> known;
    for (const std::string& held : pending) known.insert(ToLowerAscii(held));
    std::vector<std::string> found;
    ContactScan scan;
    for (const std::string& line : lines) {
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
    return std::string(WithoutRootDot(Trim(line.substr(at + kApnicMarker.size()))));
}

bool HasArinReferral(std::string_view line) {
    return Holds(line, kArinMarker) && Holds(line, kSchemeMarker);
}

std::string ArinReferralHost(std::string_view line) {
    const std::size_t at = line.find(kSchemeMarker);
    if (at == std::string_view::npos) return {};
    const std::string_view value = Trim(line.substr(at + kSchemeMarker.size()));
    return std::string(WithoutRootDot(Before(Before(value, ':'), '/')));
}

bool IsApnicNotAllocated(std::string_view line) { return Holds(line, "not allocated to APNIC"); }

bool IsArinNoMatch(std::string_view line) {
    return Holds(line, "No match found for") || Holds(line, "not registered in the ARIN database");
}

}  // namespace torvane::run
