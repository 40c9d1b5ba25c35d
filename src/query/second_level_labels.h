#pragma once
// The second-level labels under which names are registered one level deeper
// (example.co.jp is registered under "co" of ".jp").

#include <string_view>

namespace torvane::query {

// True when `label` (without its dot) is a second-level label of the
// top-level domain `domain` (with its dot, lower-case, e.g. ".jp"). A domain
// without a row of its own uses the default set. Labels compare without regard
// to ASCII case.
bool IsSecondLevelLabel(std::string_view domain, std::string_view label);

}  // namespace torvane::query
