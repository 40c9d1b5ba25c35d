#pragma once
// RDAP answers (RFC 9083 JSON) as report lines, laid out for reading.
//
// Every line is "Label: value" in English, as WHOIS answers are written,
// indented two spaces per level of nesting. The values of one object's
// fields at one level start in one column, one space past the colon of the
// widest label (cells of unicode/cells.h; a label wider than 30 cells keeps
// one space and does not widen the column); lines nested deeper do not break
// the column:
//
//   Domain Name:       GOOGLE.COM         objectClassName "domain": ldhName,
//                                           unicodeName as "Domain Name (Unicode)"
//   Handle:            2138514_DOMAIN_COM-VRSN
//   Status:            client delete prohibited   one line per status
//   Registered:        1997-09-15T04:00:00Z (1997-09-15 13:00 JST)
//   Nameserver:        NS1.GOOGLE.COM     then "  IP Address: ..." lines
//   DNSSEC:            signedDelegation   or unsigned
//   DNSSEC DS Data:    <keyTag> <algorithm> <digestType> <digest>
//   DNSSEC Key Data:   <flags> <protocol> <algorithm> <publicKey>
//   Network:           1.1.1.0 - 1.1.1.255   "ip network": CIDR:, IP Version:,
//                                           Name:, Type:, Country:, Parent Handle:
//   Autonomous System: AS4608 - AS4865    "autnum" ("AS13335" for one number)
//   IANA Registrar ID: 292                publicIds: "<type>: <identifier>"
//   Remark:            <title>            then the description lines, indented;
//                                           without a title "Remark: <line>" each
//   Link (related):    https://...        "Link: href" without a rel
//   Port 43 Server:    whois.example.net
//   Error Code:        404                error answers: Title:, Description:
//
// Events are named in plain words: Registered, Re-registered, Updated (last
// changed, and the registrars' "last update"), Expires, Deleted, Reinstated,
// Transferred, Locked, Unlocked, Database updated (last update of RDAP
// database), Registrar expiry, ENUM validation expires; another action with
// its first letter capitalised. A date is shown as given, followed by Japan
// time in brackets when it holds a time that dates::ParseDate reads
// ("2028-09-14T04:00:00Z (2028-09-14 13:00 JST)"); " (by <actor>)" follows
// with an eventActor.
//
// Entities follow in their order, each after an empty line at the top
// level: a heading "<Roles>: <name>" ("Registrar: MarkMonitor Inc.",
// "Administrative Contact, Technical Contact: ..."; "Entity:" with no role)
// where the name is the card's fn, else its org, else the first public
// identifier ("IANA Registrar ID 292"), else the handle, and what gave it is
// not repeated below. Then, one level deeper: Handle:, Organization:,
// Address: (one line: the adr label's lines, else its parts, joined by ", "),
// Email:, Phone (<type>): (a tel URI as its number, "tel:" dropped and an
// extension as " ext. <n>"), publicIds, Status:, events, remarks, links, and
// its own entities. The answer's notices come last, after an empty line,
// like remarks ("Notice: ..."). Search results render each object after an
// empty line. A member without text gives no line.
//
// Values never hold control characters (a line break inside a description
// starts a new line; others become spaces). No line contains "Whois Server:"
// (that text becomes "Whois Server :"), so the referral scan of WHOIS
// answers never fires on an RDAP block.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::rdap {

// The deepest JSON nesting RenderRdap accepts.
inline constexpr std::size_t kMaxAnswerDepth = 64;
// At most this many lines; a longer rendering ends with kCutLine.
inline constexpr std::size_t kMaxRenderedLines = 20000;
inline constexpr std::string_view kCutLine = "(more lines omitted)";

struct RdapRendering {
    // UTF-8 lines without line ends.
    std::vector<std::string> lines;
    // The first top-level link with rel "related", an RDAP media type
    // ("application/rdap+json", parameters allowed) and an http(s) href: a
    // registry's pointer to the registrar's answer. As written (UTF-8).
    std::optional<std::string> relatedUrl;
};

// Renders one answer. Unknown members are ignored and members of the wrong
// type skipped. A text that is not UTF-8 has its bad bytes as U+FFFD.
// nullopt when the text is not a JSON object (HTML, garbage, an array) or
// nests deeper than kMaxAnswerDepth. Linear in the text's size; never throws
// but std::bad_alloc.
std::optional<RdapRendering> RenderRdap(std::string_view json);

// An error answer is small; a longer text is not read for its error code.
inline constexpr std::size_t kMaxErrorAnswerSize = 64 * 1024;
// The errorCode of an RDAP error answer (RFC 9083 section 6): an integer
// member of the top-level object. Nothing for any other text, for a text
// longer than kMaxErrorAnswerSize, or one nesting deeper than
// kMaxAnswerDepth. Never throws but std::bad_alloc.
std::optional<long long> RdapErrorCode(std::string_view json);

}  // namespace torvane::rdap
