#include "dates/dates.h"

#include <array>
#include <cstdio>
#include <span>

namespace torvane::dates {
namespace {

using namespace std::chrono;

// Japan has kept +09:00 without summer time since 1951, which covers every
// date a registry writes that we show; no time-zone database is needed.
constexpr seconds kJstOffset = hours{9};

// A cursor over the text with the few readers the forms need; each reader
// consumes only on success.
class TCursor {
  public:
    explicit TCursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ == text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    bool Take(char c) {
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }

    // Exactly `count` ASCII digits.
    bool Digits(int count, int& out) {
        if (text_.size() - pos_ < static_cast<std::size_t>(count)) return false;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const char c = text_[pos_ + i];
            if (c < '0' || c > '9') return false;
            value = value * 10 + (c - '0');
        }
        pos_ += count;
        out = value;
        return true;
    }

    // One or more digits, of which only the count is kept (fractions of a
    // second are dropped).
    bool SkipDigits() {
        const std::size_t start = pos_;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++pos_;
        return pos_ > start;
    }

    void SkipSpaces() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) ++pos_;
    }

    // The rest, compared without regard to ASCII case.
    bool RestIs(std::string_view word) const {
        const std::string_view rest = text_.substr(pos_);
        if (rest.size() != word.size()) return false;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            char c = rest[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (c != word[i]) return false;
        }
        return true;
    }

    std::string_view Next(std::size_t count) const { return text_.substr(pos_, count); }
    void Skip(std::size_t count) { pos_ += count; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<sys_days> Day(int y, int m, int d) {
    if (y < 1900 || y > 2199) return std::nullopt;
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)},
                             day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) return std::nullopt;
    return sys_days{ymd};
}

std::optional<seconds> TimeOfDay(int h, int m, int s) {
    if (h > 23 || m > 59 || s > 59) return std::nullopt;
    return hours{h} + minutes{m} + seconds{s};
}

// "hh:mm:ss" at the cursor.
std::optional<seconds> ReadTime(TCursor& in) {
    int h = 0;
    int m = 0;
    int s = 0;
    if (!in.Digits(2, h) || !in.Take(':') || !in.Digits(2, m) || !in.Take(':') ||
        !in.Digits(2, s)) {
        return std::nullopt;
    }
    return TimeOfDay(h, m, s);
}

// The ISO forms' zone: "Z", "+09:00", "+0900", or nothing (UTC), then the end.
std::optional<seconds> ReadIsoZone(TCursor& in) {
    if (in.AtEnd()) return seconds{0};
    if (in.Take('Z') || in.Take('z')) {
        if (in.AtEnd()) return seconds{0};
        return std::nullopt;
    }
    const bool plus = in.Peek() == '+';
    if (!plus && in.Peek() != '-') return std::nullopt;
    in.Skip(1);
    int h = 0;
    int m = 0;
    if (!in.Digits(2, h)) return std::nullopt;
    in.Take(':');
    if (!in.Digits(2, m) || !in.AtEnd() || h > 23 || m > 59) return std::nullopt;
    const seconds offset = hours{h} + minutes{m};
    return plus ? offset : -offset;
}

// "(UTC+8)", "(UTC-05)", "(UTC+08:00)" or "(UTC)", then the end.
std::optional<seconds> ReadBracketedOffset(TCursor& in) {
    if (!in.Take('(') || !in.Take('U') || !in.Take('T') || !in.Take('C')) return std::nullopt;
    if (in.Take(')')) return in.AtEnd() ? std::optional<seconds>(seconds{0}) : std::nullopt;
    const bool plus = in.Peek() == '+';
    if (!plus && in.Peek() != '-') return std::nullopt;
    in.Skip(1);
    int h = 0;
    int m = 0;
    if (!in.Digits(2, h) && !in.Digits(1, h)) return std::nullopt;
    if (in.Take(':') && !in.Digits(2, m)) return std::nullopt;
    if (!in.Take(')') || !in.AtEnd() || h > 23 || m > 59) return std::nullopt;
    const seconds offset = hours{h} + minutes{m};
    return plus ? offset : -offset;
}

// 2028-09-14, then "T" or " " and a time, or nothing.
std::optional<Date> ReadIso(TCursor& in) {
    int y = 0;
    int mo = 0;
    int d = 0;
    if (!in.Digits(4, y) || !in.Take('-') || !in.Digits(2, mo) || !in.Take('-') ||
        !in.Digits(2, d)) {
        return std::nullopt;
    }
    const auto day = Day(y, mo, d);
    if (!day) return std::nullopt;
    if (in.AtEnd()) return Date{*day, false, false};
    const bool spaced = in.Peek() == ' ';
    if (!in.Take('T') && !in.Take('t') && !in.Take(' ')) return std::nullopt;
    const auto time = ReadTime(in);
    if (!time) return std::nullopt;
    if (spaced) {
        // The ICANN-era ccTLD form: UTC, said or not; TWNIC's says its offset
        // in brackets.
        in.SkipSpaces();
        if (in.AtEnd() || in.RestIs("UTC")) return Date{*day + *time, true, false};
        const auto offset = ReadBracketedOffset(in);
        if (!offset) return std::nullopt;
        return Date{*day + *time - *offset, true, false};
    }
    if (in.Take('.') && !in.SkipDigits()) return std::nullopt;
    const auto offset = ReadIsoZone(in);
    if (!offset) return std::nullopt;
    return Date{*day + *time - *offset, true, false};
}

// 2028/09/14 or 2028/09/14 13:00:00, optionally " (JST)": Japan time.
std::optional<Date> ReadJprs(TCursor& in) {
    int y = 0;
    int mo = 0;
    int d = 0;
    if (!in.Digits(4, y) || !in.Take('/') || !in.Digits(2, mo) || !in.Take('/') ||
        !in.Digits(2, d)) {
        return std::nullopt;
    }
    const auto day = Day(y, mo, d);
    if (!day) return std::nullopt;
    Date date{sys_seconds{*day} - kJstOffset, false, true};
    in.SkipSpaces();
    if (!in.AtEnd() && in.Peek() != '(') {
        const auto time = ReadTime(in);
        if (!time) return std::nullopt;
        date.instant += *time;
        date.hasTime = true;
        in.SkipSpaces();
    }
    if (!in.AtEnd() && !in.RestIs("(JST)")) return std::nullopt;
    return date;
}

// The 1-based index of the three-letter English name at the cursor in
// `names`, compared without regard to case, consumed; 0 for none.
int ReadName(TCursor& in, std::span<const std::string_view> names) {
    const std::string_view name = in.Next(3);
    if (name.size() != 3) return 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; same && k < 3; ++k) {
            char c = name[k];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            same = c == names[i][k];
        }
        if (same) {
            in.Skip(3);
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
// In the order of std::chrono::weekday's encoding: Sunday is 0.
constexpr std::array<std::string_view, 7> kWeekdays = {"SUN", "MON", "TUE", "WED",
                                                       "THU", "FRI", "SAT"};

// 14-Sep-2028, the month in any case.
std::optional<Date> ReadDayMonthYear(TCursor& in) {
    int d = 0;
    if (!in.Digits(2, d) || !in.Take('-')) return std::nullopt;
    const int month = ReadName(in, kMonths);
    if (month == 0) return std::nullopt;
    int y = 0;
    if (!in.Take('-') || !in.Digits(4, y) || !in.AtEnd()) return std::nullopt;
    const auto day = Day(y, month, d);
    if (!day) return std::nullopt;
    return Date{*day, false, false};
}

// Thu Sep 14 2028: the weekday must be the date's.
std::optional<Date> ReadWeekdayMonthDayYear(TCursor& in) {
    const int weekdayName = ReadName(in, kWeekdays);
    if (weekdayName == 0 || !in.Take(' ')) return std::nullopt;
    const int month = ReadName(in, kMonths);
    int d = 0;
    int y = 0;
    if (month == 0 || !in.Take(' ') || !in.Digits(2, d) || !in.Take(' ') || !in.Digits(4, y) ||
        !in.AtEnd()) {
        return std::nullopt;
    }
    const auto day = Day(y, month, d);
    if (!day || weekday{*day}.c_encoding() != static_cast<unsigned>(weekdayName - 1))
        return std::nullopt;
    return Date{*day, false, false};
}

// 2028. 09. 14. (the last point may be left out).
std::optional<Date> ReadDottedDay(TCursor& in) {
    int y = 0;
    int mo = 0;
    int d = 0;
    if (!in.Digits(4, y) || !in.Take('.') || !in.Take(' ') || !in.Digits(2, mo) || !in.Take('.') ||
        !in.Take(' ') || !in.Digits(2, d)) {
        return std::nullopt;
    }
    in.Take('.');
    if (!in.AtEnd()) return std::nullopt;
    const auto day = Day(y, mo, d);
    if (!day) return std::nullopt;
    return Date{*day, false, false};
}

// 20280914.
std::optional<Date> ReadCompact(TCursor& in) {
    int y = 0;
    int mo = 0;
    int d = 0;
    if (!in.Digits(4, y) || !in.Digits(2, mo) || !in.Digits(2, d) || !in.AtEnd())
        return std::nullopt;
    const auto day = Day(y, mo, d);
    if (!day) return std::nullopt;
    return Date{*day, false, false};
}

// The day of the date as its form writes it: Japan's for Japan time, else UTC.
sys_days WrittenDay(const Date& date, bool japan) {
    return floor<days>(date.instant + (japan ? kJstOffset : seconds{0}));
}

sys_days JstDay(sys_seconds instant) { return floor<days>(instant + kJstOffset); }

}  // namespace

std::optional<Date> ParseDate(std::string_view text) {
    text = Trim(text);
    // No two forms share their separators, so at most one reader succeeds.
    using Reader = std::optional<Date> (*)(TCursor&);
    for (const Reader read : {ReadIso, ReadJprs, ReadDayMonthYear, ReadWeekdayMonthDayYear,
                              ReadDottedDay, ReadCompact}) {
        TCursor in(text);
        if (auto date = read(in)) return date;
    }
    return std::nullopt;
}

std::string JstText(const Date& date) {
    const sys_seconds local = date.instant + kJstOffset;
    const sys_days day = floor<days>(local);
    const year_month_day ymd{day};
    const hh_mm_ss<seconds> time{local - day};
    char out[32];
    if (date.hasTime) {
        std::snprintf(out, sizeof out, "%04d-%02u-%02u %02d:%02d JST", static_cast<int>(ymd.year()),
                      static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                      static_cast<int>(time.hours().count()),
                      static_cast<int>(time.minutes().count()));
    } else {
        std::snprintf(out, sizeof out, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                      static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    }
    return out;
}

long long DaysUntil(const Date& date, sys_seconds now) {
    return (JstDay(date.instant) - JstDay(now)).count();
}

bool SameDate(const Date& a, const Date& b) {
    if (a.hasTime && b.hasTime) return a.instant == b.instant;
    // Compare in the zone of the date that is only a day: a day written in
    // Japan time is Japan's day, any other UTC's.
    const bool japan = !a.hasTime ? a.japanTime : b.japanTime;
    const bool bothDays = !a.hasTime && !b.hasTime;
    return WrittenDay(a, bothDays ? a.japanTime : japan) ==
           WrittenDay(b, bothDays ? b.japanTime : japan);
}

}  // namespace torvane::dates
