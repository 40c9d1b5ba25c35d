// The limit wordings of the registries, the seconds their notices name, the
// Retry-After values of RDAP services and the status that tells them.

#include "app/run/rate_limits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/run/run_texts.h"
#include "encoding/answer_utf8.h"

namespace torvane::run {
namespace {

query::TLines Lines(std::string text) { return query::TLines::FromText(std::move(text)); }

TEST(RateLimits, EveryWordingMatchesItsOwnSample) {
    for (const RateLimitWording& row : RateLimitWordings()) {
        SCOPED_TRACE(row.sample);
        const auto notice = FindRateLimitNotice(Lines(std::string(row.sample) + "\n"));
        ASSERT_TRUE(notice.has_value());
        EXPECT_EQ(notice->wording, &row);
    }
}

struct NoticeCase {
    std::string name;
    std::string answer;
    bool limited;
    std::optional<std::uint32_t> seconds;
};

TEST(RateLimits, NoticesAreFoundAnchoredAndTellTheirWait) {
    const std::string terms(99, '\n');  // 99 empty lines of terms before it
    const NoticeCase cases[] = {
        {"any case, leading blanks",
         "  % error: 55000000002 connection refused; ACCESS CONTROL "
         "LIMIT REACHED.\n",
         true, std::nullopt},
        {"Nominet's wait on the next line",
         "    Error for \"google.co.uk\".\n\n    The WHOIS query quota for 127.0.0.1 has been "
         "exceeded\n    and will be replenished in 50 seconds.\n",
         true, 50},
        {"a wait three lines on is not this notice's",
         "The WHOIS query quota for 192.0.2.1 has been exceeded\n\n\n"
         "and will be replenished in 50 seconds.\n",
         true, std::nullopt},
        {"EURid's wait, capped", "% WHOIS x.eu\n-1: Still in grace period, wait 7777777 seconds\n",
         true, kMaxRetryAfterSeconds},
        {"DNS Belgium's wait", "% Excessive querying, grace period of 2 seconds\n", true, 2},
        {"a wait without its unit", "% Excessive querying, grace period of 2\n", true,
         std::nullopt},
        {"the wording in mid-line", "Note: Your connection limit exceeded.\n", false, std::nullopt},
        {"DENIC's other errors", "% Error: 55000000010 unknown error\n", false, std::nullopt},
        {"legal text",
         "% Queries past the limit exceeded by robots are refused; whois limit "
         "exceeded notices follow.\n",
         false, std::nullopt},
        {"RIPE's no-entries error", "%ERROR:101: no entries found\n", false, std::nullopt},
        {"the last line scanned", terms + "WHOIS LIMIT EXCEEDED\n", true, std::nullopt},
        {"past the lines scanned", terms + "\nWHOIS LIMIT EXCEEDED\n", false, std::nullopt},
    };
    for (const NoticeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto notice = FindRateLimitNotice(Lines(c.answer));
        EXPECT_EQ(notice.has_value(), c.limited);
        if (notice) EXPECT_EQ(notice->retryAfterSeconds, c.seconds);
    }
}

// The real answers of the shared fixture set are registration data, terms
// and "no match" answers: none is a limit notice, though several speak of
// limits in their terms.
TEST(RateLimits, NoRealAnswerOfTheFixtureSetIsALimitNotice) {
    const std::filesystem::path root = std::filesystem::path(TORVANE_TEST_DATA) / "encoding/whois";
    int answers = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::filesystem::path& path = entry.path();
        if (!entry.is_regular_file() || path.extension() != ".txt" ||
            path.parent_path().filename() == "LICENSES")
            continue;
        std::ifstream file(path, std::ios::binary);
        std::string raw(std::istreambuf_iterator<char>(file), {});
        const std::string host = path.parent_path().filename().string();
        const auto notice =
            FindRateLimitNotice(Lines(encoding::DecodeAnswer(std::move(raw), host)));
        EXPECT_FALSE(notice.has_value()) << path << ": " << notice->wording->sample;
        ++answers;
    }
    EXPECT_GE(answers, 50);
}

struct RetryCase {
    std::string value;
    std::optional<std::uint32_t> seconds;
};

TEST(RateLimits, RetryAfterIsReadAsSecondsOrAnHttpDate) {
    // 1994-11-06 08:49:37 UTC, the date HTTP's own examples use.
    constexpr std::int64_t kNow = 784111777;
    const RetryCase cases[] = {
        {"120", 120},
        {" 5\t", 5},
        {"0", 0},
        {"99999999999999999999999", kMaxRetryAfterSeconds},
        {"Sun, 06 Nov 1994 08:50:37 GMT", 60},
        {"Sunday, 06-Nov-94 08:50:38 GMT", 61},
        {"Sun Nov  6 08:51:37 1994", 120},
        {"Mon, 07 Nov 1994 08:49:37 GMT", 86400},
        {"Tue, 08 Nov 1994 08:49:37 GMT", kMaxRetryAfterSeconds},
        {"Sat, 05 Nov 1994 08:49:37 GMT", 0},
        {"", std::nullopt},
        {"soon", std::nullopt},
        {"-5", std::nullopt},
        {"1.5", std::nullopt},
        {"5 seconds", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:37 UTC", std::nullopt},
        {"Sun, 06 Nov 1994 24:00:00 GMT", std::nullopt},
        {"Sun, 31 Nov 1994 08:49:37 GMT", std::nullopt},
        {"Sun, 29 Feb 1995 08:49:37 GMT", std::nullopt},
        {"Sun, 6 Nov 1994 08:49:37 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:37 GMT trailing", std::nullopt},
        {"Sun Nov 6 08:49:37 1994", std::nullopt},
    };
    for (const RetryCase& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ParseRetryAfter(c.value, kNow), c.seconds);
    }
    // A leap day is a day; a two-digit year is of the century that puts it
    // at most 50 years ahead.
    EXPECT_EQ(ParseRetryAfter("Thu, 29 Feb 1996 00:00:00 GMT", 825551940), 60u);
    constexpr std::int64_t k2060 = 2840140800;  // 2060-01-01 00:00:00
    EXPECT_EQ(ParseRetryAfter("Sunday, 01-Jan-60 00:01:00 GMT", k2060), 60u);
    constexpr std::int64_t k2026 = 1767225600;  // 2026-01-01: "94" is 1994, not 2094
    EXPECT_EQ(ParseRetryAfter("Sunday, 06-Nov-94 08:49:37 GMT", k2026), 0u);
}

TEST(RateLimits, TheStatusNamesTheServerAndTheWaitInSecondsOrMinutes) {
    const std::string host = "whois.denic.de";
    const std::string limited = host + " で問い合わせ回数の制限を超えました";
    EXPECT_EQ(RateLimitStatus(host, std::nullopt), limited);
    EXPECT_EQ(RateLimitStatus(host, 47), limited + " (47 秒後に再試行できます)");
    EXPECT_EQ(RateLimitStatus(host, 119), limited + " (119 秒後に再試行できます)");
    EXPECT_EQ(RateLimitStatus(host, 120), limited + " (2 分後に再試行できます)");
    EXPECT_EQ(RateLimitStatus(host, 121), limited + " (3 分後に再試行できます)");
}

}  // namespace
}  // namespace torvane::run
