#pragma once
// The jCard (RFC 7095) of an RDAP entity as report lines. Private to the
// rdap module.

#include <string>

#include "rdap/json_members.h"
#include "rdap/line_writer.h"

namespace torvane::rdap {

// The text of the card's first "fn" property, surrounding spaces removed;
// empty when there is none.
std::string VcardFormattedName(const Json& vcardArray);

// The card's first "org" property with text (its parts joined by ", "),
// surrounding spaces removed; empty when there is none.
std::string VcardOrganization(const Json& vcardArray);

// "+1.2083895740 ext. 12" for the tel URI "tel:+1.2083895740;ext=12": the
// scheme (tel: or fax:) and the URI's other parameters dropped. A text that
// is no URI comes back as it is, trimmed.
std::string PhoneText(std::string_view value);

// Organization:, Address:, Email: and Phone (<type>): lines for the card's
// properties in their order, at `level`; a property without text gives no
// line. An address is one line: the adr label's lines, else its parts,
// joined by ", ", empty pieces left out. Anything else (fn included) is left
// out, as is a card that is not ["vcard", [properties...]]. With
// `skipFirstOrganization` the org property that VcardOrganization gives is
// left out too (it heads the entity).
void WriteVcard(const Json& vcardArray, int level, LineWriter& out, bool skipFirstOrganization = false);

}  // namespace torvane::rdap
