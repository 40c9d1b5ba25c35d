#pragma once
// The registration facts of one port-43 answer, read by the labels of the
// formats registries and registrars write:
//   - the ICANN "Label: value" format of gTLD registries and registrars
//     (2014-era thin and thick forms and today's), with its redaction texts;
//   - JPRS's bracketed labels, Japanese and English ("[登録年月日]",
//     "[Created on]", "a. [ドメイン名]", "f. [組織名]"...), and JPNIC's;
//   - the RIRs' fields (inetnum/inet6num/NetRange/CIDR/netname/OrgName/
//     descr/country/aut-num/ASName/abuse-mailbox/OrgAbuseEmail...);
//   - the common ccTLD forms of the recorded answers (DENIC, AFNIC, Nominet
//     with values on the lines under their label, DNS Belgium, SIDN, auDA,
//     CNNIC, KISA, TWNIC...).
// One table of labels per format, each with the line naming its source.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "query/text_lines.h"
#include "summary/facts.h"

namespace torvane::summary {

// Only the head of an answer is read: registration data stands at its top,
// and a 10 MiB answer must not cost more than a glance.
inline constexpr std::size_t kMaxScannedLines = 4000;
inline constexpr std::size_t kMaxValueBytes = 512;  // longer values are cut at a character

// The facts of `answer` (UTF-8 lines without line ends) in the order they
// stand. `query` is the text the server was asked (ASCII, any case): where
// an answer holds several records (a thin registry's host matches before the
// domain), the facts come from the record of that name. A value that says it
// is withheld ("REDACTED FOR PRIVACY", "Data Protected", "非公開"...) is one
// RawFact with `redacted` set. Empty values, and labels whose value is a
// placeholder of the form (a JPRS "[状態]" left blank), give nothing. Linear
// in the lines read; never throws but std::bad_alloc.
//
// How values are read:
//   - a value loses control characters and surrounding spaces; a status the
//     URL registries put after its code ("clientHold https://icann.org/
//     epp#clientHold" is "clientHold"); a name server the addresses after
//     its name;
//   - a value the answer repeats (APNIC's abuse address in three objects)
//     is one fact;
//   - some labels only stand in for a better one: a registrant's name where
//     no organisation is given, a network's descr where no organisation
//     name is, an abuse phone where no mail address is, the date in JPRS's
//     "Connected (2026/03/31)" where no [有効期限] is;
//   - RIR answers give the facts of the last network or AS number they hold
//     (ARIN lists the less specific first), not of routes or of contacts;
//   - a record that the query does not name gives nothing: IANA's record
//     of "COM", asked about google.com, says nothing about google.com.
//     (IANA's answer for an address does give its /8 as a range.)
std::vector<RawFact> ReadPort43Facts(const query::TLines& answer, std::string_view query);

// Whether `value` is one of the texts registries put where a value is
// withheld.
bool IsRedacted(std::string_view value);

}  // namespace torvane::summary
