#include "app/run/rate_limits.h"

#include <algorithm>
#include <array>
#include <string>

namespace torvane::run {

namespace {

// Each row names where its wording was seen: the registry's own page, or a
// recorded answer kept as a test fixture in a public repository.
constexpr std::array kWordings{
    // DENIC (.de). Recorded answer: weppos/whois,
    // test fixture responses/whois.denic.de/response_throttled.txt.
    RateLimitWording{"whois.denic.de", "% Error: 55000000002", "access control limit reached",
                     false, "",
                     "% Error: 55000000002 Connection refused; access control limit reached."},
    // CZ.NIC (.cz). Recorded answer: weppos/whois,
    // test fixture responses/whois.nic.cz/cz/response_throttled.txt.
    RateLimitWording{"whois.nic.cz", "Your connection limit exceeded.", "", false, "",
                     "Your connection limit exceeded. Please slow down and try again later."},
    // RIPE NCC, "%ERROR:201: access denied" and APNIC's
    // "%ERROR:201: access control limit reached for" (its server is the RIPE
    // database software). RIPE Database documentation, Appendix C "Query
    // Server Response Codes and Messages" (docs.db.ripe.net; repository
    // RIPE-NCC/ripe-database-documentation,
    // docs/20.Appendices/03-Appendix-C--RIPE-Database-Query-Server-Response-Codes-and-Messages.md);
    // APNIC's messages: APNIC-net/whois,
    // whois-query/src/main/java/net/apnic/db/whois/query/domain/QueryMessagesMap.java.
    RateLimitWording{"whois.ripe.net, whois.apnic.net", "%ERROR:201:", "access", false, "",
                     "%ERROR:201: access denied for 192.0.2.1"},
    // RIPE NCC, the same Appendix C: the limit of returned objects.
    RateLimitWording{"whois.ripe.net", "%ERROR:202:", "access control limit reached", false, "",
                     "%ERROR:202: access control limit reached for 192.0.2.1"},
    // RIPE NCC, the same Appendix C: too many connections from one address.
    RateLimitWording{"whois.ripe.net", "%ERROR:306:", "connections exceeded", false, "",
                     "%ERROR:306: connections exceeded"},
    // Nominet (.uk); the next line says "and will be replenished in 50
    // seconds." Recorded answer: weppos/whois,
    // test fixture responses/whois.nic.uk/uk/response_throttled.txt.
    RateLimitWording{"whois.nic.uk", "The WHOIS query quota for", "has been exceeded", false,
                     "replenished in ", "The WHOIS query quota for 127.0.0.1 has been exceeded"},
    // EURid (.eu). Recorded answer: weppos/whois,
    // test fixture responses/whois.eu/eu/response_throttled.txt.
    RateLimitWording{"whois.eu", "-1: Still in grace period", "", false, "wait ",
                     "-1: Still in grace period, wait 7777777 seconds"},
    // DNS Belgium (.be). Recorded answers: weppos/whois,
    // test fixture responses/whois.dns.be/response_throttled.txt and
    // test fixture responses/whois.dns.be/be/response_throttled_hourly.txt.
    RateLimitWording{"whois.dns.be", "% Excessive querying", "", false, "grace period of ",
                     "% Excessive querying, grace period of 2 seconds"},
    RateLimitWording{"whois.dns.be", "% Maximum queries per hour reached", "", false, "",
                     "% Maximum queries per hour reached (100)"},
    // SIDN (.nl), its lines start with the server's name. Recorded answers:
    // weppos/whois, test fixture responses/whois.domain-registry.nl/
    // nl/response_throttled_daily.txt and response_throttled.txt.
    RateLimitWording{
        "whois.sidn.nl", "daily whois-limit exceeded for client", "", true, "",
        "whois.domain-registry.nl: daily whois-limit exceeded for client 67.202.31.57"},
    RateLimitWording{
        "whois.sidn.nl", "request per second allowed, try again later", "", true, "",
        "whois.domain-registry.nl: only 1 request per second allowed, try again later"},
    // Public Interest Registry (.org): its FAQ "When I use the WHOIS portal
    // for search, why do I receive the WHOIS LIMIT EXCEEDED error message?"
    // (thenew.org/faqs); the whole line, and the same first words for .io,
    // in cheenanet/whois-servers-list, limit-reached-messages.json.
    RateLimitWording{"whois.pir.org", "WHOIS LIMIT EXCEEDED", "", false, "",
                     "WHOIS LIMIT EXCEEDED - SEE WWW.PIR.ORG/WHOIS FOR DETAILS"},
    // SWITCH (.ch, .li). cheenanet/whois-servers-list,
    // limit-reached-messages.json.
    RateLimitWording{"whois.nic.ch", "Requests of this client are not permitted", "", false, "",
                     "Requests of this client are not permitted. Please use https://www.nic.ch/ "
                     "for queries."},
    // NIXI (.in). cheenanet/whois-servers-list, limit-reached-messages.json.
    RateLimitWording{"whois.registry.in", "Number of allowed queries exceeded.", "", false, "",
                     "Number of allowed queries exceeded."},
    // .top. cheenanet/whois-servers-list, limit-reached-messages.json.
    RateLimitWording{"whois.nic.top", "Your access is too fast", "try again later", false, "",
                     "Your access is too fast,please try again later."},
    // Red Cientifica Peruana (.pe), spelt as it sends it. Recorded answer:
    // weppos/whois, test fixture responses/kero.yachay.pe/pe/response_throttled.txt.
    RateLimitWording{"kero.yachay.pe", "Looup quota exceeded.", "", false, "",
                     "Looup quota exceeded."},
    // Registrars a referral leads to. cheenanet/whois-servers-list,
    // limit-reached-messages.json.
    RateLimitWording{"whois.networksolutions.com", "IP Address Has Reached Rate Limit", "", false,
                     "", "IP Address Has Reached Rate Limit"},
    RateLimitWording{"whois.name.com", "Too many connection attempts.", "try again", false, "",
                     "Too many connection attempts. Please try again in a few seconds."},
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// The position of `needle` in `text` at or after `from`, ASCII case aside.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0) {
    if (needle.size() > text.size()) return std::string_view::npos;
    for (std::size_t at = from; at + needle.size() <= text.size(); ++at) {
        if (EqualNoCase(text.substr(at, needle.size()), needle)) return at;
    }
    return std::string_view::npos;
}

std::string_view TrimLeft(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// Where the row's wording ends in `line`; npos when it does not match.
std::size_t MatchEnd(const RateLimitWording& row, std::string_view line) {
    line = TrimLeft(line);
    std::size_t end;
    if (row.leadAnywhere) {
        const std::size_t at = FindNoCase(line, row.lead);
        if (at == std::string_view::npos) return at;
        end = at + row.lead.size();
    } else {
        if (line.size() < row.lead.size() ||
            !EqualNoCase(line.substr(0, row.lead.size()), row.lead))
            return std::string_view::npos;
        end = row.lead.size();
    }
    if (row.then.empty()) return end;
    const std::size_t then = FindNoCase(line, row.then, end);
    return then == std::string_view::npos ? then : then + row.then.size();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal digits at the start of `text`, capped; nothing without a digit.
std::optional<std::uint32_t> CappedNumber(std::string_view text, std::size_t& length) {
    std::uint64_t value = 0;
    length = 0;
    while (length < text.size() && IsDigit(text[length])) {
        value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(text[length] - '0'),
                                        kMaxRetryAfterSeconds);
        ++length;
    }
    if (length == 0) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// `marker`, digits, " second" in `line` from `from` on.
std::optional<std::uint32_t> SecondsIn(std::string_view line, std::string_view marker,
                                       std::size_t from) {
    for (std::size_t at = FindNoCase(line, marker, from); at != std::string_view::npos;
         at = FindNoCase(line, marker, at + 1)) {
        const std::string_view rest = line.substr(at + marker.size());
        std::size_t digits = 0;
        const std::optional<std::uint32_t> value = CappedNumber(rest, digits);
        if (value && FindNoCase(rest.substr(digits, 7), " second") == 0) return value;
    }
    return std::nullopt;
}

}  // namespace

std::span<const RateLimitWording> RateLimitWordings() { return kWordings; }

std::optional<RateLimitNotice> FindRateLimitNotice(const query::TLines& answer) {
    const std::size_t count = std::min(answer.size(), kRateLimitScanLines);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view line = answer[i];
        for (const RateLimitWording& row : kWordings) {
            const std::size_t end = MatchEnd(row, line);
            if (end == std::string_view::npos) continue;
            RateLimitNotice notice{&row, std::nullopt};
            if (!row.seconds.empty()) {
                // The notice's own line first: the match ends inside its
                // trimmed text, which never starts before the line does.
                notice.retryAfterSeconds = SecondsIn(line, row.seconds, 0);
                for (std::size_t next = i + 1;
                     !notice.retryAfterSeconds && next < answer.size() && next <= i + 2; ++next) {
                    notice.retryAfterSeconds = SecondsIn(answer[next], row.seconds, 0);
                }
            }
            return notice;
        }
    }
    return std::nullopt;
}

namespace {

// A cursor over an HTTP-date.
class DateReader {
  public:
    explicit DateReader(std::string_view text) : text_(text) {}
    bool Literal(std::string_view literal) {
        if (text_.substr(at_, literal.size()) != literal) return false;
        at_ += literal.size();
        return true;
    }
    // Exactly `width` digits.
    std::optional<int> Digits(std::size_t width) {
        if (at_ + width > text_.size()) return std::nullopt;
        int value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const char c = text_[at_ + i];
            if (!IsDigit(c)) return std::nullopt;
            value = value * 10 + (c - '0');
        }
        at_ += width;
        return value;
    }
    // One of `names`, exactly as HTTP spells them; its index.
    template <std::size_t N>
    std::optional<int> Name(const std::array<std::string_view, N>& names) {
        for (std::size_t i = 0; i < N; ++i)
            if (Literal(names[i])) return static_cast<int>(i);
        return std::nullopt;
    }
    bool AtEnd() const { return at_ == text_.size(); }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

constexpr std::array<std::string_view, 7> kDays{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
// The long names first: "Monday" must not be read as "Mon" and "day".
constexpr std::array<std::string_view, 7> kLongDays{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                    "Friday", "Saturday", "Sunday"};
constexpr std::array<std::string_view, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct CivilTime {
    int year, month, day, hour, minute, second;
};

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's
// days_from_civil).
std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = static_cast<int>(year - era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDaysIn{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDaysIn[static_cast<std::size_t>(month - 1)];
}

std::optional<CivilTime> ReadTime(DateReader& in, CivilTime date) {
    const auto hour = in.Digits(2);
    if (!hour || !in.Literal(":")) return std::nullopt;
    const auto minute = in.Digits(2);
    if (!minute || !in.Literal(":")) return std::nullopt;
    const auto second = in.Digits(2);
    if (!second || *hour > 23 || *minute > 59 || *second > 60) return std::nullopt;
    date.hour = *hour;
    date.minute = *minute;
    date.second = *second;
    return date;
}

int YearOf(std::int64_t unixSeconds) {
    // Close enough for the two-digit year rule: a year is 365.2425 days.
    return 1970 + static_cast<int>((unixSeconds / 86400) * 10000 / 3652425);
}

std::optional<CivilTime> ParseHttpDate(std::string_view text, std::int64_t now) {
    CivilTime t{};
    {  // IMF-fixdate: "Sun, 06 Nov 1994 08:49:37 GMT"
        DateReader in(text);
        if (in.Name(kDays) && in.Literal(", ")) {
            const auto day = in.Digits(2);
            const auto month = day && in.Literal(" ") ? in.Name(kMonths) : std::nullopt;
            const auto year = month && in.Literal(" ") ? in.Digits(4) : std::nullopt;
            if (!year || !in.Literal(" ")) return std::nullopt;
            t = {*year, *month + 1, *day, 0, 0, 0};
            const auto full = ReadTime(in, t);
            if (!full || !in.Literal(" GMT") || !in.AtEnd()) return std::nullopt;
            return full;
        }
    }
    {  // RFC 850: "Sunday, 06-Nov-94 08:49:37 GMT"
        DateReader in(text);
        if (in.Name(kLongDays) && in.Literal(", ")) {
            const auto day = in.Digits(2);
            const auto month = day && in.Literal("-") ? in.Name(kMonths) : std::nullopt;
            const auto year = month && in.Literal("-") ? in.Digits(2) : std::nullopt;
            if (!year || !in.Literal(" ")) return std::nullopt;
            // A two-digit year more than 50 years ahead is of the past century.
            const int nowYear = YearOf(now);
            int full = nowYear / 100 * 100 + *year;
            if (full > nowYear + 50) full -= 100;
            t = {full, *month + 1, *day, 0, 0, 0};
            const auto whole = ReadTime(in, t);
            if (!whole || !in.Literal(" GMT") || !in.AtEnd()) return std::nullopt;
            return whole;
        }
    }
    // asctime: "Sun Nov  6 08:49:37 1994"
    DateReader in(text);
    if (!in.Name(kDays) || !in.Literal(" ")) return std::nullopt;
    const auto month = in.Name(kMonths);
    if (!month || !in.Literal(" ")) return std::nullopt;
    std::optional<int> day = in.Literal(" ") ? in.Digits(1) : in.Digits(2);
    if (!day || !in.Literal(" ")) return std::nullopt;
    const auto time = ReadTime(in, {0, *month + 1, *day, 0, 0, 0});
    if (!time || !in.Literal(" ")) return std::nullopt;
    const auto year = in.Digits(4);
    if (!year || !in.AtEnd()) return std::nullopt;
    t = *time;
    t.year = *year;
    return t;
}

}  // namespace

std::optional<std::uint32_t> ParseRetryAfter(std::string_view value, std::int64_t nowUnixSeconds) {
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    value = value.substr(first, value.find_last_not_of(" \t") - first + 1);
    if (std::all_of(value.begin(), value.end(), IsDigit)) {
        std::size_t length = 0;
        return CappedNumber(value, length);
    }
    const std::optional<CivilTime> date = ParseHttpDate(value, nowUnixSeconds);
    if (!date || date->day < 1 || date->day > DaysInMonth(date->year, date->month))
        return std::nullopt;
    const std::int64_t at = DaysFromCivil(date->year, date->month, date->day) * 86400 +
                            date->hour * 3600 + date->minute * 60 + date->second;
    const std::int64_t wait = at - nowUnixSeconds;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(wait, 0, kMaxRetryAfterSeconds));
}

}  // namespace torvane::run
