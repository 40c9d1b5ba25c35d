// The answer scans of the legs on arbitrary answers, decoded to UTF-8 as the
// legs decode them: line splitting, the "Whois Server:" referral, the contact
// handles, APNIC's "command line:", ARIN's "ReferralServer: ", the limit
// notices, and the first line read as a Retry-After value.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/run/answer_rules.h"
#include "app/run/rate_limits.h"
#include "encoding/answer_utf8.h"
#include "query/text_lines.h"
#include "fuzz_check.h"

using namespace torvane::run;
using torvane::query::SplitLines;
using torvane::query::TLines;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string decoded = torvane::encoding::DecodeAnswer(
        std::string(reinterpret_cast<const char*>(data), size), "whois.example");
    const std::string_view answer(decoded);
    const TLines lines = TLines::FromText(std::string(answer));
    FUZZ_CHECK(lines == SplitLines(answer));
    std::size_t bytes = 0;
    for (const std::string_view line : lines) {
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        bytes += line.size();
    }
    FUZZ_CHECK(bytes <= answer.size());

    TAskedHosts asked;
    asked.Restart("whois.example");
    const std::string query = lines.empty() ? std::string() : std::string(lines[0]);
    if (const auto referral = FindWhoisServerReferral(lines, "whois.example", asked, query)) {
        FUZZ_CHECK(!referral->host.empty() && referral->host.size() <= 99);
        FUZZ_CHECK(!asked.Holds(referral->host));
    }
    if (const auto iana = FindIanaReferral(lines)) FUZZ_CHECK(!iana->host.empty());

    std::vector<std::string> pending;
    for (bool stopAtNoMatch : {false, true}) {
        pending.clear();
        ScanContactHandles(lines, stopAtNoMatch, pending);
        for (std::size_t i = 0; i < pending.size(); ++i)
            for (std::size_t j = i + 1; j < pending.size(); ++j)
                FUZZ_CHECK(pending[i] != pending[j]);
    }

    for (const std::string_view line : lines) {
        if (HasApnicCommandLine(line)) ApnicCommandLineServer(line);
        if (HasArinReferral(line)) {
            if (const auto target = ArinReferral(line))
                FUZZ_CHECK(target->host.find_first_of(":/") == std::string::npos);
        }
        IsApnicNotAllocated(line);
        IsArinNoMatch(line);
    }

    if (const auto notice = FindRateLimitNotice(lines)) {
        FUZZ_CHECK(notice->wording >= RateLimitWordings().data() &&
                   notice->wording < RateLimitWordings().data() + RateLimitWordings().size());
        if (notice->retryAfterSeconds)
            FUZZ_CHECK(*notice->retryAfterSeconds <= kMaxRetryAfterSeconds);
    }
    for (const std::int64_t now : {std::int64_t{0}, std::int64_t{1767225600}}) {
        if (const auto wait = ParseRetryAfter(query, now))
            FUZZ_CHECK(*wait <= kMaxRetryAfterSeconds);
    }
    return 0;
}
