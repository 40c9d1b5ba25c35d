#pragma once
// Short Japanese glosses of registration states: the EPP status codes
// (RFC 5731, RFC 3915 and ICANN's), their RDAP spellings (RFC 8056:
// "client transfer prohibited"), and the states and lock states of JPRS
// ("Active", "Connected (2026/04/30)", "AgentChangeLocked"...).

#include <optional>
#include <string_view>

namespace torvane::summary {

// The gloss of the state `value` names, as a registry wrote it: the first
// word or words before any URL or bracket ("clientTransferProhibited
// https://icann.org/epp#clientTransferProhibited" is clientTransferProhibited),
// compared without regard to case, spaces or underscores. Nothing for a
// state not in the table.
std::optional<std::string_view> StatusGloss(std::string_view value);

}  // namespace torvane::summary
