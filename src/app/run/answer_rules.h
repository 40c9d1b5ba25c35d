#pragma once
// The markers that WHOIS answers carry and that decide what a leg does next:
// "Whois Server:" referrals, the contact handles of the .jp registry and of
// the Japanese address registry, APNIC's "command line:" and ARIN's
// "ReferralServer: ". Pure functions over the lines of one converted answer
// (CP932 bytes); every search is a case-sensitive substring test on one line.

#include <string>
#include <string_view>
#include <vector>

namespace torvane::run {

// Whether two host names name the same server: ASCII case and one trailing
// dot (the root of a fully qualified name) do not count.
bool SameHost(std::string_view a, std::string_view b);

// The hosts one leg has asked since the run or the dispatch started it.
// Membership is SameHost.
class TAskedHosts {
  public:
    void Restart(std::string_view first);
    void Add(std::string_view host) { hosts_.emplace_back(host); }
    bool Holds(std::string_view host) const;

  private:
    std::vector<std::string> hosts_;
};

// The first "Whois Server:" line's server worth following: the text after the
// line's first ':', at most 99 bytes, trimmed, without a trailing dot. A value
// that is empty, equal to `host`, or already asked in this chain is passed
// over and the scan goes on. Returns empty when there is none.
std::string FindWhoisServerReferral(const std::vector<std::string>& lines, std::string_view host,
                                    const TAskedHosts& asked);

// What the contact scan of a primary answer found.
struct ContactScan {
    bool suppressed = false;  // the block is not to be shown
};

// Walks the lines, inserting each new handle of an "m. [ ... ]" or
// "n. [ ... ]" line (the text after the first ']', trimmed) at the front of
// `pending` unless it holds it already without regard to case. A line with
// "参考：RIRのWHOISサーバ", and with `stopAtNoMatch` one with "No match!!",
// suppresses the block and ends the scan; handles found before it stay.
ContactScan ScanContactHandles(const std::vector<std::string>& lines, bool stopAtNoMatch,
                               std::vector<std::string>& pending);

// Whether an APNIC answer line holds "command line:", and the server it names
// after that marker, trimmed, without a trailing dot (empty when it names
// none).
bool HasApnicCommandLine(std::string_view line);
std::string ApnicCommandLineServer(std::string_view line);

// The host of an ARIN "ReferralServer: " line holding "://": the text after
// the first "://", trimmed, cut before the first ':' (the port) and then
// before the first '/', without a trailing dot. Precondition for the host:
// HasArinReferral(line).
bool HasArinReferral(std::string_view line);
std::string ArinReferralHost(std::string_view line);

// True when an APNIC answer line says the address is not APNIC's.
bool IsApnicNotAllocated(std::string_view line);
// True when an ARIN answer line says ARIN does not hold the address.
bool IsArinNoMatch(std::string_view line);

}  // namespace torvane::run
