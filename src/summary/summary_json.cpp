#include "summary/summary_json.h"

#include <array>
#include <cstdio>

#include "dates/dates.h"
#include "summary/status_gloss.h"
#include "summary/summary_lines.h"
#include "summary/value_text.h"

namespace torvane::summary {
namespace {

using Json = nlohmann::json;

constexpr std::array<std::string_view, kFieldCount> kNames = {
    "registrar", "registrarIanaId", "registrant", "created", "updated",   "expires",
    "status",    "nameServer",      "dnssec",     "range",   "cidr",      "netName",
    "asNumber",  "asName",          "holder",     "country", "allocated", "abuse",
};

std::string_view SubjectName(Subject subject) {
    switch (subject) {
        case Subject::domain:
            return "domain";
        case Subject::network:
            return "network";
        case Subject::asNumber:
            return "asNumber";
    }
    return "domain";
}

std::string UtcText(const dates::Date& date) {
    using namespace std::chrono;
    // A day keeps the day as written: Japan's for a JPRS day, else UTC's.
    const sys_seconds shown =
        date.hasTime || !date.japanTime ? date.instant : date.instant + hours{9};
    const sys_days day = floor<days>(shown);
    const year_month_day ymd{day};
    const hh_mm_ss<seconds> time{shown - day};
    char out[32];
    if (date.hasTime) {
        std::snprintf(out, sizeof out, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                      static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                      static_cast<unsigned>(ymd.day()), static_cast<int>(time.hours().count()),
                      static_cast<int>(time.minutes().count()),
                      static_cast<int>(time.seconds().count()));
    } else {
        std::snprintf(out, sizeof out, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                      static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    }
    return out;
}

Json ValueJson(Field field, const Value& value, std::chrono::sys_seconds now) {
    Json sources = Json::array();
    for (const Source& source : value.sources) {
        sources.push_back({{"server", ValueText(source.server)},
                           {"protocol", source.origin == Origin::rdap ? "rdap" : "port43"}});
    }
    Json out = {{"text", ValueText(value.text)},
                {"redacted", value.redacted},
                {"sources", std::move(sources)}};
    if (value.redacted) return out;
    if (DateField(field)) {
        if (const auto date = dates::ParseDate(value.text)) {
            out["utc"] = UtcText(*date);
            out["jst"] = dates::JstText(*date);
            if (field == Field::expires) out["daysLeft"] = dates::DaysUntil(*date, now);
        }
    } else if (field == Field::status) {
        if (const auto gloss = StatusGloss(value.text)) out["gloss"] = std::string(*gloss);
    }
    return out;
}

}  // namespace

std::string_view FieldName(Field field) {
    const auto index = static_cast<std::size_t>(field);
    return index < kNames.size() ? kNames[index] : std::string_view();
}

nlohmann::json SummaryJson(const Summary& summary, std::chrono::sys_seconds now) {
    Json facts = Json::array();
    for (const Fact& fact : summary.facts) {
        Json values = Json::array();
        for (const Value& value : fact.values) values.push_back(ValueJson(fact.field, value, now));
        facts.push_back({{"field", FieldName(fact.field)},
                         {"label", FieldLabel(fact.field)},
                         {"values", std::move(values)}});
    }
    return {{"subject", SubjectName(summary.subject)}, {"facts", std::move(facts)}};
}

}  // namespace torvane::summary
