#pragma once
// A domain name typed in any script, in UTF-8, prepared for the servers and
// the report: mapped as UTS #46 says (non-transitional processing, so "ß" and
// "ς" stay; NFC; case folded; full-width and ideographic dots become "."),
// held to the IDNA2008 rules that UTS #46 relaxes (no symbols or emoji), and
// given its ASCII-compatible form ("xn--" labels) by our own encoder,
// TPunyClass, label by label. The mapping and the rules come from ICU and
// libidn2; nothing here holds a character table of its own.
//
// How the run uses it:
//   1. A query recognised as a name is mapped once, when the run starts:
//      `const TypedName name = MapTypedName(typed);`.
//   2. A refusal ends the run before any lookup or query; the status bar and
//      torvane-cli's error line show NameRefusalStatus(name.refusal, typed)
//      (app/run/run_texts.h). Nothing refused enters a query.
//   3. What each server reads comes from puny/server_name.h: NameForServer
//      for WHOIS legs, name.ascii for DNS lookups and every RDAP path.
//   4. The report shows ReportNamesOf(name) (puny/server_name.h).

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane::puny {

// Why a typed name cannot be asked. The run's status texts for these are
// NameRefusalStatus in app/run/run_texts.h.
enum class NameRefusal : std::uint8_t {
    kNone,
    // A character no domain name holds: emoji and other symbols, spaces and
    // controls, code points not yet assigned, bytes that are not UTF-8.
    kDisallowedCharacter,
    // A label begins or ends with "-", or has "--" as its 3rd and 4th
    // characters without being an "xn--" label.
    kHyphenPlacement,
    // A label begins with a combining mark (an accent with no base).
    kLeadingCombiningMark,
    // A label with right-to-left characters (Arabic, Hebrew) breaks the bidi
    // rule of RFC 5893, e.g. it mixes in Latin letters.
    kBidiRule,
    // A joiner (U+200C, U+200D) or a character such as the katakana middle dot
    // or the Catalan middle dot stands where its context rule forbids it.
    kContextRule,
    // Two dots in a row or a leading dot: a label with nothing in it.
    kEmptyLabel,
    // A label whose ASCII-compatible form exceeds 63 bytes.
    kLabelTooLong,
    // A name whose ASCII-compatible form exceeds 253 bytes (a final dot
    // not counted).
    kNameTooLong,
    // A typed "xn--" label that is not the Punycode form of a valid label.
    kBadAceLabel,
};

// The outcome of MapTypedName. When `refusal` is kNone, `unicode` and `ascii`
// hold the two forms of one name with the same labels; otherwise both are
// empty.
struct TypedName {
    NameRefusal refusal = NameRefusal::kNone;
    // The mapped form in UTF-8 (NFC, lower case where a script has case),
    // labels joined by "."; what the report shows as the name.
    std::string unicode;
    // Every label of `unicode` that holds more than ASCII replaced by "xn--"
    // + TPunyClass's code-point encoding of it; all other labels as they are.
    std::string ascii;

    bool Refused() const { return refusal != NameRefusal::kNone; }
};

// Maps a typed name. `typed` is UTF-8, without "\r\n".
//
// - A name of ASCII bytes only comes back as typed in both forms, never
//   refused: ASCII queries (handles, "xn--" names, names with "_") reach the
//   servers exactly as they do today, and the server judges them.
// - Otherwise the whole name is mapped: "FÄW.DE", "fäw.de" and "fa\u0308w.de"
//   give one name, unicode "fäw.de" and ascii "xn--fw-via.de". A final dot
//   stays in both forms ("münchen.de." -> "xn--mnchen-3ya.de.").
// - A name that breaks a rule comes back refused, with the reason of the
//   first check that fails: the UTS #46 mapping and its checks (of several
//   failures there, the first in NameRefusal's order), then the lengths,
//   then the IDNA2008 rules (this is where emoji are refused).
//
// Time and memory are linear in the length of `typed`: a label is refused
// as too long before it is encoded when it has more code points than a
// 63-byte ASCII-compatible label can hold, and typed text of more than
// 65536 bytes is refused as kNameTooLong without being mapped.
//
// For every name that libidn2's idn2_lookup_u8 (IDN2_NONTRANSITIONAL)
// accepts and this function does too, the ASCII-compatible forms are equal.
// This function is the stricter one: it also refuses empty labels and
// breaks of the CONTEXTO rules, which that lookup lets through.
TypedName MapTypedName(std::string_view typed);

}  // namespace torvane::puny
