#pragma once
// The registration facts of one RDAP answer (RFC 9083): a domain, an IP
// network or an autnum object, its entities (registrar with its IANA ID and
// abuse contact, registrant, the holder of a network), events, status,
// nameservers and secureDNS.

#include <string_view>
#include <vector>

#include "summary/facts.h"

namespace torvane::summary {

// The facts of `json`, the body as received. Nothing for a text that is not
// a JSON object, an error answer or a search result; nested entities are
// read down to rdap::kMaxAnswerDepth. Never throws but std::bad_alloc.
std::vector<RawFact> ReadRdapFacts(std::string_view json);

}  // namespace torvane::summary
