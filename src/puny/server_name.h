#pragma once
// What each reader of a mapped name (puny/typed_name.h) gets: the text a
// WHOIS server reads, the text DNS and RDAP read, and the two names the
// report shows. All pure; none refuses anything, MapTypedName has done that.
//
// How the UTF-8 run uses them: a WHOIS leg to `host` sends
// NameForServer(name, ReaderOf(host)); the DNS lookup, the RDAP bootstrap
// lookup and every RDAP path use NameForServer(name,
// NameReader::kAsciiCompatible); the title line and the caption show
// ReportNamesOf(name).name, and the "{Punyコード}" line, when there is one,
// ReportNamesOf(name).puny.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "puny/typed_name.h"

namespace torvane::puny {

enum class NameReader : std::uint8_t {
    // The .jp registry and JPNIC: they read Japanese names in CP932.
    kCp932,
    // Every other WHOIS server, the resolver and every RDAP server: they read
    // the ASCII-compatible form only.
    kAsciiCompatible,
};

// kCp932 for query::kJprsServer and query::kJpnicServer (ASCII letters in
// any case), kAsciiCompatible for every other host.
NameReader ReaderOf(std::string_view host);

// `unicode` (UTF-8) in CP932 when CP932 writes each of its characters and
// reads the bytes back as the same text; nothing when one is missing from
// CP932 (Hangul, "ä", emoji) or comes back as another character. An ASCII
// text comes back as it is.
std::optional<std::string> Cp932Form(std::string_view unicode);

// The text `reader` is sent for `name`. Precondition: !name.Refused().
// - kCp932: Cp932Form(name.unicode) when there is one ("例え.jp" as CP932
//   bytes, an ASCII name as typed); otherwise name.ascii ("한국.jp" as
//   "xn--3e0b707e.jp"), the form both registries also read.
// - kAsciiCompatible: name.ascii.
std::string NameForServer(const TypedName& name, NameReader reader);

struct ReportNames {
    // The name of the title line and the caption: the mapped form, UTF-8.
    std::string name;
    // The "{Punyコード}" line's text: the ASCII-compatible form when it is not
    // the name itself; nothing for a name of ASCII labels only.
    std::optional<std::string> puny;
};

// Precondition: !name.Refused().
ReportNames ReportNamesOf(const TypedName& name);

}  // namespace torvane::puny
