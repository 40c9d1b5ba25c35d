#pragma once
// The registration facts of one run, as the summary at the head of the
// report shows them: what the answers of port 43 and RDAP say about the
// registrar, the dates, the status, the holder of a network... and which
// server said each. Pure: no Qt, no clock (the caller passes "now").
//
// All texts are UTF-8. A fact the answers do not give is absent; nothing is
// ever guessed.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace torvane::summary {

// How an answer reached us.
enum class Origin : std::uint8_t { port43, rdap };

// Where one value was read: the server as its block header names it.
struct Source {
    std::string server;
    Origin origin = Origin::port43;
    friend bool operator==(const Source&, const Source&) = default;
};

// The facts, in the order the summary lists them. Domains use registrar
// to abuse, networks range to allocated (and abuse), AS numbers asNumber to
// country.
enum class Field : std::uint8_t {
    // domain
    registrar,        // the registrar's name
    registrarIanaId,  // the registrar's IANA ID, digits
    registrant,       // the registrant's organisation (else name) when shown
    created,          // dates as the server gave them
    updated,
    expires,
    status,      // one value per EPP code or JPRS state, as given
    nameServer,  // one value per server, as given
    dnssec,
    // network
    range,    // "first - last" as given
    cidr,     // one value per prefix
    netName,  // network name
    // AS number
    asNumber,  // "AS13335" or a range as given
    asName,
    // network and AS number
    holder,     // the organisation that holds the resource
    country,    // ISO 3166 code as given
    allocated,  // allocation or registration date of a network
    // all
    abuse,  // abuse mail address (else phone)
};
inline constexpr std::size_t kFieldCount = static_cast<std::size_t>(Field::abuse) + 1;

// True for the fields that hold one value per item (status, nameServer,
// cidr); the others hold one value, or one per source where the sources
// disagree.
bool ListField(Field field);

// True for the fields that hold a date as the server wrote it (created,
// updated, expires, allocated).
bool DateField(Field field);

// One value as an extractor read it from one answer.
struct RawFact {
    Field field;
    std::string value;  // trimmed, never empty; the redaction text itself when redacted
    bool redacted = false;
};

// One value of the summary, with every source that gave it.
struct Value {
    std::string text;  // as the first source gave it
    bool redacted = false;
    std::vector<Source> sources;  // at least one, in the run's order
};

struct Fact {
    Field field;
    std::vector<Value> values;  // at least one
};

// What the run asked about.
enum class Subject : std::uint8_t { domain, network, asNumber };

struct Summary {
    Subject subject = Subject::domain;
    std::vector<Fact> facts;  // in Field order, only fields some answer gave
    bool Empty() const { return facts.empty(); }
};

}  // namespace torvane::summary
