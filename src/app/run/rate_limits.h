#pragma once
// The wordings with which WHOIS servers refuse a query because the asker
// went past their query limit, and the HTTP Retry-After value of an RDAP
// service's 429. Pure functions over one converted answer (UTF-8 lines).

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "query/text_lines.h"

namespace torvane::run {

// One wording a registry uses for its limit notice. Every text is ASCII and
// compared without regard to ASCII case.
struct RateLimitWording {
    std::string_view server;  // the registry that answers with it
    // A line is a notice when, after its leading blanks, it starts with
    // `lead` and holds `then` after it (an empty `then` holds anywhere).
    // With `leadAnywhere` the lead may stand anywhere in the line.
    std::string_view lead;
    std::string_view then;
    bool leadAnywhere = false;
    // When not empty: the notice says when to come back as `seconds` then
    // decimal digits then " second", on its own line or one of the next two.
    std::string_view seconds;
    // An answer line as the registry sent it; matches this row.
    std::string_view sample;
};

// Every wording known, one row each.
std::span<const RateLimitWording> RateLimitWordings();

// Only the first lines of an answer are read: a limit notice comes before
// any data or instead of it, after the registry's terms at most.
inline constexpr std::size_t kRateLimitScanLines = 100;
// The longest wait a notice or a Retry-After is believed for; a longer one
// is taken as this.
inline constexpr std::uint32_t kMaxRetryAfterSeconds = 24 * 60 * 60;

struct RateLimitNotice {
    const RateLimitWording* wording;  // a row of RateLimitWordings()
    // When the server says when to come back, capped at
    // kMaxRetryAfterSeconds.
    std::optional<std::uint32_t> retryAfterSeconds;
};

// The first line among the first kRateLimitScanLines of `answer` that a
// wording matches, in the order of the lines; nothing for an answer that is
// no limit notice.
std::optional<RateLimitNotice> FindRateLimitNotice(const query::TLines& answer);

// Reads an HTTP Retry-After value: delta-seconds (digits only), or an
// HTTP-date in any of the three forms HTTP allows ("Sun, 06 Nov 1994
// 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37
// 1994"), turned into the seconds from `nowUnixSeconds` to it (0 for a date
// already past). Blanks around the value are ignored. Capped at
// kMaxRetryAfterSeconds; nothing for any other text.
std::optional<std::uint32_t> ParseRetryAfter(std::string_view value, std::int64_t nowUnixSeconds);

}  // namespace torvane::run
