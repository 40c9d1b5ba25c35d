#pragma once
// Dates as registries write them, read into one instant, and shown in
// Japan's time zone. Pure: no clock; the caller passes "now".
//
// Forms read (what the recorded answers of registries and RDAP services
// use; anything else is not a date):
//   2028-09-14T04:00:00Z, 2028-09-14T04:00:00.123Z, 2028-09-14T04:00:00+09:00,
//   2028-09-14T04:00:00+0000, 2028-09-14T04:00:00 (UTC assumed)
//   2028-09-14 04:00:00, 2028-09-14 04:00:00 UTC     (ICANN-era ccTLDs)
//   2028-09-14 04:00:00 (UTC+8), (UTC+08:00)          (TWNIC)
//   2028-09-14                                        (a day, no time)
//   2028/09/14, 2028/09/14 13:00:00 (JST)            (JPRS and JPNIC: Japan time)
//   14-Sep-2028, 14-sep-2028                          (old thin registries)
//   Thu Sep 14 2028                                   (DNS Belgium; the weekday checked)
//   2028. 09. 14.                                     (KISA; a day)
//   20280914                                          (RIR "changed:" lines)
// Surrounding spaces are ignored; a trailing text in brackets is read as a
// zone only in the JPRS form (" (JST)") and the TWNIC one. Day-first forms
// with slashes (AFNIC's 14/09/2028) are not read: nothing in the text tells
// them from month-first ones.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::dates {

struct Date {
    // The instant; for a day without a time, midnight of that day in the zone
    // the form implies (UTC, or JST for the JPRS form).
    std::chrono::sys_seconds instant;
    bool hasTime = false;
    // The form gives Japan time (JPRS, JPNIC): the JST rendering is the day
    // as written.
    bool japanTime = false;
    friend bool operator==(const Date&, const Date&) = default;
};

// The date `text` spells, or nothing for any other text (years 1900-2199;
// month, day, hour, minute and second checked for range).
std::optional<Date> ParseDate(std::string_view text);

// "2028-09-14 13:00 JST" for a date with a time; "2028-09-14" for a day.
std::string JstText(const Date& date);

// Whole days from `now` until the date, in Japan's calendar: 0 on the day
// itself, negative once it is past.
long long DaysUntil(const Date& date, std::chrono::sys_seconds now);

// The same instant, or the same day when either has no time.
bool SameDate(const Date& a, const Date& b);

}  // namespace torvane::dates
