#include "dates/dates.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono;
using torvane::dates::Date;
using torvane::dates::DaysUntil;
using torvane::dates::JstText;
using torvane::dates::ParseDate;
using torvane::dates::SameDate;

sys_seconds Utc(int y, unsigned m, unsigned d, int h = 0, int mi = 0, int s = 0) {
    return sys_days{year{y} / month{m} / day{d}} + hours{h} + minutes{mi} + seconds{s};
}

struct ParseCase {
    const char* text;
    sys_seconds instant;
    bool hasTime;
    bool japanTime;
};

TEST(ParseDate, ReadsEveryFormRegistriesWrite) {
    const ParseCase cases[] = {
        {"2028-09-14T04:00:00Z", Utc(2028, 9, 14, 4), true, false},
        {"2014-03-20T12:59:17.0Z", Utc(2014, 3, 20, 12, 59, 17), true, false},
        {"2024-06-12T10:13:39.123456Z", Utc(2024, 6, 12, 10, 13, 39), true, false},
        {"2028-09-14T04:00:00+09:00", Utc(2028, 9, 13, 19), true, false},
        {"2028-09-13T00:00:00-0700", Utc(2028, 9, 13, 7), true, false},
        {"2001-01-13T00:12:14+0000", Utc(2001, 1, 13, 0, 12, 14), true, false},
        {"2012-11-14T11:44:02+01:00", Utc(2012, 11, 14, 10, 44, 2), true, false},
        {"2021-05-04T14:12:31", Utc(2021, 5, 4, 14, 12, 31), true, false},
        {"2018-03-10 19:06:34", Utc(2018, 3, 10, 19, 6, 34), true, false},
        {"2018-03-10 19:06:34 UTC", Utc(2018, 3, 10, 19, 6, 34), true, false},
        {"1998-02-20", Utc(1998, 2, 20), false, false},
        {"2015/02/28", Utc(2015, 2, 27, 15), false, true},
        {"2014/08/01 01:05:11 (JST)", Utc(2014, 7, 31, 16, 5, 11), true, true},
        {"2019/07/03 17:53:05(JST)", Utc(2019, 7, 3, 8, 53, 5), true, true},
        {"2026/04/01 01:03:07", Utc(2026, 3, 31, 16, 3, 7), true, true},
        {"2002-07-07 01:46:06 (UTC+8)", Utc(2002, 7, 6, 17, 46, 6), true, false},
        {"2022-07-25 00:00:00 (UTC+08:00)", Utc(2022, 7, 24, 16), true, false},
        {"2022-07-25 00:00:00 (UTC-5)", Utc(2022, 7, 25, 5), true, false},
        {"2022-07-25 00:00:00 (UTC)", Utc(2022, 7, 25), true, false},
        {"Tue Dec 12 2000", Utc(2000, 12, 12), false, false},
        {"thu feb 29 2024", Utc(2024, 2, 29), false, false},
        {"2021. 03. 02.", Utc(2021, 3, 2), false, false},
        {"2010. 10. 04", Utc(2010, 10, 4), false, false},
        {"14-Sep-2028", Utc(2028, 9, 14), false, false},
        {"15-mar-1999", Utc(1999, 3, 15), false, false},
        {"20280914", Utc(2028, 9, 14), false, false},
        {"  2028-09-14T04:00:00Z\t", Utc(2028, 9, 14, 4), true, false},
        // Leap days, and offsets that move the instant across midnight.
        {"2024-02-29", Utc(2024, 2, 29), false, false},
        {"2000-02-29T23:30:00-01:00", Utc(2000, 3, 1, 0, 30), true, false},
        {"2028-01-01T08:59:59+09:00", Utc(2027, 12, 31, 23, 59, 59), true, false},
        {"2100/03/01", Utc(2100, 2, 28, 15), false, true},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const auto date = ParseDate(c.text);
        ASSERT_TRUE(date.has_value());
        EXPECT_EQ(date->instant, c.instant);
        EXPECT_EQ(date->hasTime, c.hasTime);
        EXPECT_EQ(date->japanTime, c.japanTime);
    }
}

TEST(ParseDate, RejectsTextsThatAreNotDatesOrOutOfRange) {
    const char* const cases[] = {
        "",
        "   ",
        "2023-02-29",  // not a leap year
        "2100-02-29",  // centuries are not, but for every fourth
        "2028-13-01",
        "2028-00-10",
        "2028-09-31",
        "2028-09-14T24:00:00Z",
        "2028-09-14T23:60:00Z",
        "2028-09-14T23:59:60Z",
        "2028-09-14T04:00:00+24:00",
        "2028-09-14T04:00:00+09:60",
        "2028-09-14T04:00Z",      // no seconds
        "2028-09-14T04:00:00.Z",  // a point without digits
        "2028-09-14T04:00:00Z extra",
        "2028-09-14 04:00:00 GMT",
        "2028-09-14 04:00:00 (GMT+8)",
        "2028-09-14 04:00:00 (UTC+8",
        "2028-09-14 04:00:00 (UTC+24)",
        "2028-09-14T04:00:00 (UTC+8)",  // a bracketed offset only after a space
        "2028/09/14 (UTC)",
        "2028-9-14",
        "1899-12-31",
        "2200-01-01",
        "14-Foo-2028",
        "4-Sep-2028",
        "202809140",
        "2028091",
        "2021. 3. 2.",
        "2021. 02. 30.",
        "Wed Dec 12 2000",  // the 12th was a Tuesday
        "Tue Dec 12 2000 UTC",
        "27/07/2000",  // day first: not told from month first
        "REDACTED FOR PRIVACY",
    };
    for (const char* text : cases) {
        EXPECT_FALSE(ParseDate(text).has_value()) << text;
    }
}

struct JstCase {
    const char* text;
    const char* jst;
};

TEST(JstText, ShowsJapanTimeAndDaysAsWritten) {
    const JstCase cases[] = {
        {"2028-09-14T04:00:00Z", "2028-09-14 13:00 JST"},
        {"2028-09-13T21:00:00-0700", "2028-09-14 13:00 JST"},
        {"2027-12-31T15:00:00Z", "2028-01-01 00:00 JST"},  // the new year in Japan first
        {"2024-02-28T20:30:59Z", "2024-02-29 05:30 JST"},
        {"2014/08/01 01:05:11 (JST)", "2014-08-01 01:05 JST"},
        {"2015/02/28", "2015-02-28"},
        {"1998-02-20", "1998-02-20"},
        {"14-Sep-2028", "2028-09-14"},
    };
    for (const JstCase& c : cases) {
        const auto date = ParseDate(c.text);
        ASSERT_TRUE(date.has_value()) << c.text;
        EXPECT_EQ(JstText(*date), c.jst) << c.text;
    }
}

struct DaysCase {
    const char* text;
    sys_seconds now;
    long long days;
};

TEST(DaysUntil, CountsJapanCalendarDays) {
    const DaysCase cases[] = {
        {"2028-09-14T04:00:00Z", Utc(2028, 9, 14, 4), 0},
        {"2028-09-14T04:00:00Z", Utc(2028, 9, 13, 15), 0},  // already the 14th in Japan
        {"2028-09-14T04:00:00Z", Utc(2028, 9, 13, 14, 59, 59), 1},
        {"2028-09-14T04:00:00Z", Utc(2028, 9, 14, 15), -1},
        {"2026-12-31", Utc(2026, 12, 9), 22},
        {"2027/05/31", Utc(2026, 12, 9), 173},
        {"2025/03/01", Utc(2026, 12, 9), -648},
        {"2028-03-01", Utc(2028, 2, 28), 2},  // through a leap day
        {"2100-03-01", Utc(2100, 2, 28), 1},  // no leap day in 2100
    };
    for (const DaysCase& c : cases) {
        const auto date = ParseDate(c.text);
        ASSERT_TRUE(date.has_value()) << c.text;
        EXPECT_EQ(DaysUntil(*date, c.now), c.days) << c.text;
    }
}

struct SameCase {
    const char* a;
    const char* b;
    bool same;
};

TEST(SameDate, ComparesInstantsOrDaysWhereOneHasNoTime) {
    const SameCase cases[] = {
        {"2028-09-14T04:00:00Z", "2028-09-14T13:00:00+09:00", true},
        {"2028-09-14T04:00:00Z", "2028-09-13T21:00:00-0700", true},
        {"2028-09-14T04:00:00Z", "2028-09-13T07:00:00+0000",
         false},  // registry and registrar differ
        {"2028-09-14T04:00:00Z", "2028-09-14T04:00:01Z", false},
        {"2028-09-14T04:00:00Z", "2028-09-14", true},
        {"2028-09-14T04:00:00Z", "14-sep-2028", true},
        {"2028-09-14T23:00:00Z", "2028-09-14", true},  // UTC's day, as written
        {"2028-09-14T23:00:00Z", "2028/09/15", true},  // Japan's day for a JPRS day
        {"2028-09-14T23:00:00Z", "2028/09/14", false},
        {"2028-09-14", "20280914", true},
        {"2028/09/14", "2028-09-14", true},
        {"2028-09-14", "2028-09-15", false},
    };
    for (const SameCase& c : cases) {
        const auto a = ParseDate(c.a);
        const auto b = ParseDate(c.b);
        ASSERT_TRUE(a && b) << c.a << " / " << c.b;
        EXPECT_EQ(SameDate(*a, *b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(SameDate(*b, *a), c.same) << c.b << " / " << c.a;
    }
}

}  // namespace
