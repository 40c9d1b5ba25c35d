#pragma once
// What the port-43 tests share: reading a few lines as an answer, and facts
// that print and compare.

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "query/text_lines.h"
#include "summary/port43_facts.h"

namespace torvane::summary::testing {

inline constexpr std::string_view kFieldNames[kFieldCount] = {
    "registrar", "registrarIanaId", "registrant", "created", "updated",   "expires",
    "status",    "nameServer",      "dnssec",     "range",   "cidr",      "netName",
    "asNumber",  "asName",          "holder",     "country", "allocated", "abuse"};

// A RawFact that prints as "registrar=MarkMonitor Inc." (with " (redacted)").
struct Fact {
    Field field;
    std::string value;
    bool redacted = false;
    friend bool operator==(const Fact&, const Fact&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Fact& fact) {
        return out << kFieldNames[static_cast<std::size_t>(fact.field)] << '=' << fact.value
                   << (fact.redacted ? " (redacted)" : "");
    }
};

inline std::vector<Fact> Facts(const query::TLines& answer, std::string_view query) {
    std::vector<Fact> facts;
    for (RawFact& raw : ReadPort43Facts(answer, query))
        facts.push_back({raw.field, std::move(raw.value), raw.redacted});
    return facts;
}

inline std::vector<Fact> Facts(std::initializer_list<std::string_view> lines,
                               std::string_view query = "example.com") {
    return Facts(query::TLines(lines), query);
}

// The values of `field` among `facts`, in their order.
inline std::vector<std::string> Values(const std::vector<Fact>& facts, Field field) {
    std::vector<std::string> values;
    for (const Fact& fact : facts) {
        if (fact.field == field) values.push_back(fact.value);
    }
    return values;
}

}  // namespace torvane::summary::testing
