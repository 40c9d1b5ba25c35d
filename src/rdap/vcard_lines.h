#pragma once
// The jCard (RFC 7095) of an RDAP entity as report lines. Private to the
// rdap module.

#include <string>

#include "rdap/json_members.h"
#include "rdap/line_writer.h"

namespace torvane::rdap {

// The text of the card's first "fn" property; empty when there is none.
std::string VcardFormattedName(const Json& vcardArray);

// Organization:, Address:, Email: and Phone (<type>): lines for the card's
// properties in their order, at `level`. Anything else (fn included) is left
// out, as is a card that is not ["vcard", [properties...]].
void WriteVcard(const Json& vcardArray, int level, LineWriter& out);

}  // namespace torvane::rdap
