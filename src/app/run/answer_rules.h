#pragma once
// The markers that WHOIS answers carry and that decide what a leg does next:
// "Whois Server:" and "Registrar WHOIS Server:" referrals, IANA's "refer:"
// and "whois:", the contact handles of the .jp registry and of the Japanese
// address registry, APNIC's "command line:" and ARIN's "ReferralServer: ".
// Pure functions over the lines of one converted answer (UTF-8); every
// search is a case-sensitive substring test on one line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "query/text_lines.h"

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

// A server that a referral names, with the port it names (none: the WHOIS
// port).
struct ReferralTarget {
    std::string host;
    std::optional<std::uint16_t> port;
    bool operator==(const ReferralTarget&) const = default;
};

// Reads a referral value already cut from its line, trimmed: a bare host, or
// "whois://" or "rwhois://" (any case) then the host, an optional ":port"
// (1..65535; anything else is no port) and an optional "/path". The host
// loses a trailing dot. Nothing when the value names no server to ask: an
// empty host, or a web address ("://" after any other scheme, "https://...").
std::optional<ReferralTarget> ParseReferralValue(std::string_view value);

// The first referral line worth following: a line holding "Whois Server:" or
// "Registrar WHOIS Server:", its value the text after the line's first ':',
// at most 99 bytes, read by ParseReferralValue. A value naming no server,
// `host`, or a server already asked in this chain is passed over and the scan
// goes on. When a "Domain Name:" line's value is `query` (ASCII case aside),
// only that record is searched: from that line to the next line starting a
// record ("Domain Name:" or "Server Name:", after leading blanks) or the end;
// the host and domain records before it name other objects' registrars.
std::optional<ReferralTarget> FindWhoisServerReferral(const query::TLines& lines,
                                                      std::string_view host,
                                                      const TAskedHosts& asked,
                                                      std::string_view query);

// The server IANA's answer names for a top-level domain: the first line
// starting with "refer:" or "whois:" whose value ParseReferralValue reads.
std::optional<ReferralTarget> FindIanaReferral(const query::TLines& lines);

// What the contact scan of a primary answer found.
struct ContactScan {
    bool suppressed = false;  // the block is not to be shown
};

// Walks the lines, inserting each new handle of an "m. [ ... ]" or
// "n. [ ... ]" line (the text after the first ']', trimmed) at the front of
// `pending` unless it holds it already without regard to case. A line with
// "参考：RIRのWHOISサーバ", and with `stopAtNoMatch` one with "No match!!",
// suppresses the block and ends the scan; handles found before it stay.
ContactScan ScanContactHandles(const query::TLines& lines, bool stopAtNoMatch,
                               std::vector<std::string>& pending);

// Whether an APNIC answer line holds "command line:", and the server it names
// after that marker, trimmed, without a trailing dot (empty when it names
// none or names a web address).
bool HasApnicCommandLine(std::string_view line);
std::string ApnicCommandLineServer(std::string_view line);

// Whether a line is an ARIN referral: it holds "ReferralServer: " and "://".
// The target is the value after that marker read by ParseReferralValue, so
// "whois://host:port/path" names host and port and a web address names
// nothing; so does a value without "://".
bool HasArinReferral(std::string_view line);
std::optional<ReferralTarget> ArinReferral(std::string_view line);

// True when an APNIC answer line says the address is not APNIC's.
bool IsApnicNotAllocated(std::string_view line);
// True when an ARIN answer line says ARIN does not hold the address.
bool IsArinNoMatch(std::string_view line);

}  // namespace torvane::run
