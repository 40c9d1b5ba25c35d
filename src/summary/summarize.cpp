#include "summary/summarize.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "dates/dates.h"
#include "summary/port43_values.h"

namespace torvane::summary {
namespace {

bool InSubject(Subject subject, Field field) {
    switch (subject) {
        case Subject::domain:
            return field <= Field::dnssec || field == Field::abuse;
        case Subject::network:
            return (field >= Field::range && field <= Field::netName) ||
                   (field >= Field::holder && field <= Field::abuse);
        case Subject::asNumber:
            return field >= Field::asNumber && field <= Field::country;
    }
    return false;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// What two texts of one field must share to be the same value: ASCII case,
// spacing and a final dot never matter, nor commas and dots in the name of
// a registrar, registrant or holder; for a status only its code does
// (RDAP's "client delete prohibited" is port 43's "clientDeleteProhibited
// https://icann.org/epp#clientDeleteProhibited"), and for a range or prefix
// no space counts ("1.1.1.0 - 1.1.1.255" is "1.1.1.0-1.1.1.255").
std::string Key(Field field, std::string_view text) {
    if (field == Field::status) text = port43::StatusWithoutUrl(text);
    const bool dropSpaces = field == Field::status || field == Field::range ||
                            field == Field::cidr || field == Field::asNumber;
    // Registrars write their own name "MarkMonitor, Inc." where the
    // registry writes "MARKMONITOR INC.".
    const bool name =
        field == Field::registrar || field == Field::registrant || field == Field::holder;
    std::string key;
    key.reserve(text.size());
    bool space = false;
    for (const char c : text) {
        if (name && (c == ',' || c == '.')) continue;
        if (c == ' ' || c == '\t' ||
            (field == Field::status && (c == '_' || c == '-' || c == '(' || c == ')'))) {
            space = !key.empty();
            continue;
        }
        if (space && !dropSpaces) key += ' ';
        space = false;
        key += Lower(c);
    }
    if (!key.empty() && key.back() == '.') key.pop_back();
    return key;
}

bool SameValue(Field field, std::string_view a, std::string_view b) {
    if (DateField(field)) {
        const auto first = dates::ParseDate(a);
        const auto second = dates::ParseDate(b);
        if (first && second) return dates::SameDate(*first, *second);
    }
    return Key(field, a) == Key(field, b);
}

void AddSource(Value& value, const Source& source) {
    if (std::find(value.sources.begin(), value.sources.end(), source) == value.sources.end()) {
        value.sources.push_back(source);
    }
}

// One field's values while the answers are read.
struct TCollected {
    std::vector<Value> values;
    std::optional<Value> withheld;  // every source that withheld the value
};

}  // namespace

Summary Summarize(Subject subject, std::span<const AnswerFacts> answers) {
    std::array<TCollected, kFieldCount> collected;
    for (const AnswerFacts& answer : answers) {
        std::array<bool, kFieldCount> seen{};
        for (const RawFact& fact : answer.facts) {
            const auto index = static_cast<std::size_t>(fact.field);
            if (index >= kFieldCount || !InSubject(subject, fact.field) || fact.value.empty())
                continue;
            if (!ListField(fact.field) && seen[index]) continue;
            seen[index] = true;
            TCollected& field = collected[index];
            if (fact.redacted) {
                if (!field.withheld) field.withheld = Value{fact.value, true, {}};
                AddSource(*field.withheld, answer.source);
                continue;
            }
            const auto same = std::find_if(
                field.values.begin(), field.values.end(),
                [&](const Value& value) { return SameValue(fact.field, value.text, fact.value); });
            if (same != field.values.end()) {
                AddSource(*same, answer.source);
            } else {
                field.values.push_back(Value{fact.value, false, {answer.source}});
            }
        }
    }
    Summary summary;
    summary.subject = subject;
    for (std::size_t index = 0; index < kFieldCount; ++index) {
        TCollected& field = collected[index];
        if (field.values.empty() && field.withheld)
            field.values.push_back(std::move(*field.withheld));
        if (field.values.empty()) continue;
        summary.facts.push_back(Fact{static_cast<Field>(index), std::move(field.values)});
    }
    return summary;
}

}  // namespace torvane::summary
