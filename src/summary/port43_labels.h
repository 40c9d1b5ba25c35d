#pragma once
// The label tables that ReadPort43Facts reads answers by (internal to the
// summary module): one table per format, each row a label, what its value
// is, and in which kind of object it counts.

#include <cstdint>
#include <span>
#include <string_view>

#include "summary/facts.h"

namespace torvane::summary::port43 {

// What a paragraph of an answer describes, as its first known label says
// ("inetnum:" a network, "role:" a contact...). `keep` is not a kind: a row
// whose label starts no object leaves the kind as it was.
enum class Kind : std::uint8_t {
    unclassified,  // nothing said yet (the head of an answer, a ccTLD's flat list)
    domain,
    host,
    network,
    asNumber,
    org,
    contact,
    other,  // routes, maintainers...
    keep,
};

using Scope = std::uint8_t;
constexpr Scope Bit(Kind kind) { return static_cast<Scope>(1u << static_cast<unsigned>(kind)); }
inline constexpr Scope kDomainish = Bit(Kind::unclassified) | Bit(Kind::domain);
inline constexpr Scope kNetwork = Bit(Kind::network);
inline constexpr Scope kResource = Bit(Kind::network) | Bit(Kind::asNumber);
inline constexpr Scope kHolder = kResource | Bit(Kind::org);
inline constexpr Scope kAnywhere = 0xFF;

// What a label's value is.
enum class Role : std::uint8_t {
    value,        // a value of `field`
    fallback,     // a value of `field` only where the answer gives none as `value`
    rangeOrCidr,  // "first - last" is a range; otherwise CIDR prefixes, comma-separated
    cidrList,     // CIDR prefixes, comma-separated
    jprsState,    // a status; "Connected (2026/03/31)" gives the expiry too (as a fallback)
    recordName,   // starts the record of the domain it names
    hostName,     // starts the record of a host
    recordAlias,  // another spelling of the current record's name (DENIC's Domain-Ace)
    handleRef,    // a contact handle: `field` gets that contact's name (registrant) or
                  // mail address (abuse), when the answer holds the contact
    handle,       // the handle of the current contact
    handleName,   // the name of the current contact
    handleMail,   // the mail address of the current contact
    start,        // only says what kind of object the paragraph describes
};

struct Label {
    std::string_view text;  // compared without regard to ASCII case and to runs of spaces
    Field field;            // meaningful for the roles that give a value
    Role role;
    Scope scope;  // the kinds of object it counts in
    Kind starts;  // the kind of a paragraph it opens, or keep
};

// The formats whose labels end at a colon ("Registrar: ...", "inetnum: ...",
// "Registrant:" over indented lines), in the order they are searched.
std::span<const std::span<const Label>> ColonTables();

// The formats whose labels stand in brackets ("a. [ドメイン名] ...").
std::span<const std::span<const Label>> BracketTables();

// Texts that open a line and give a value without a colon (TWNIC's "Record
// expires on 2022-07-25 ...").
struct Phrase {
    std::string_view text;  // compared without regard to ASCII case
    Field field;
};
std::span<const Phrase> Phrases();

// The labels that name the value inside a block of indented lines (DNS
// Belgium's "Registrar:" over "Name: MarkMonitor Inc.").
std::span<const std::string_view> BlockNameLabels();

// Whether two labels are the same: ASCII case ignored, each run of spaces
// and tabs read as one space, none at either end.
bool SameLabel(std::string_view a, std::string_view b);

// The first row of `tables` for `label` that counts in an object of `kind`,
// or nullptr. `tables` is ColonTables() or BracketTables().
const Label* FindLabel(std::span<const std::span<const Label>> tables, std::string_view label,
                       Kind kind);

// Whether `tables` know `label` at all, and the kind of object it starts
// (keep when none of its rows starts one).
bool KnownLabel(std::span<const std::span<const Label>> tables, std::string_view label);
Kind StartedKind(std::span<const std::span<const Label>> tables, std::string_view label);

}  // namespace torvane::summary::port43
