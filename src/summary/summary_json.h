#pragma once
// The summary as JSON, for torvane-cli --json:
//
//   {"subject": "domain" | "network" | "asNumber",
//    "facts": [{"field": "expires", "label": "有効期限",
//               "values": [{"text": "2028-09-14T04:00:00Z", "redacted": false,
//                           "sources": [{"server": "whois.verisign-grs.com",
//                                        "protocol": "port43" | "rdap"}],
//                           "utc": "2028-09-14T04:00:00Z", "jst": "2028-09-14 13:00 JST",
//                           "daysLeft": 644}]}]}
//
// "field" is the Field's name as spelled in facts.h and "label" its
// FieldLabel. "text" is the value as the first source gave it (for a
// redacted value, the text the server put in its place). Dates that
// ParseDate reads add "utc" (ISO 8601: "2028-09-14T04:00:00Z", or
// "2028-09-14" for a day without a time, the day as written) and "jst"
// (JstText); the expiry adds "daysLeft" (DaysUntil, negative once past). A
// status with a gloss adds "gloss". No other members.

#include <chrono>
#include <nlohmann/json.hpp>
#include <string_view>

#include "summary/facts.h"

namespace torvane::summary {

// The name of `field` in the JSON ("nameServer").
std::string_view FieldName(Field field);

nlohmann::json SummaryJson(const Summary& summary, std::chrono::sys_seconds now);

}  // namespace torvane::summary
