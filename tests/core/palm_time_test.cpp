// The database timestamp: seconds since 1904-01-01 00:00:00 by calendar
// date and clock time, and back, checked against the standard library's
// calendar.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "palm_time.h"

namespace {

using namespace std::chrono;

// Seconds from 1904-01-01 00:00:00 by the standard library's own calendar.
int64_t reference(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    auto days = sys_days{year{y} / m / d} - sys_days{year{1904} / 1 / 1};
    return duration_cast<seconds>(days).count() + hh * 3600 + mm * 60 + ss;
}

std::vector<int> fields(const mireo::CivilTime& t) { return {t.year, t.month, t.day, t.hour, t.minute, t.second}; }

}  // namespace

// Both ways, the first, a middle and the last second of every day the count
// can hold, by the standard library's calendar; past 2040-02-06 06:28:15 the
// count wraps modulo 2^32, before 1904 it is the distance back.
TEST(PalmTime, DatesBecomeSecondsAndBackAcrossLeapYears) {
    const sys_days start{year{1904} / 1 / 1};
    for (int64_t d = 0; d * 86400 <= 0xFFFFFFFFll; ++d) {
        year_month_day date{start + days{d}};
        const int64_t last = std::min<int64_t>(86399, 0xFFFFFFFFll - d * 86400);
        for (int64_t s : {int64_t{0}, std::min<int64_t>(12 * 3600 + 34 * 60 + 56, last), last}) {
            mireo::CivilTime time{int(date.year()), int(unsigned(date.month())), int(unsigned(date.day())),
                                  int(s / 3600),    int(s / 60 % 60),           int(s % 60)};
            ASSERT_EQ(mireo::palmSeconds(time), d * 86400 + s) << "day " << d << ", second " << s;
            ASSERT_EQ(fields(mireo::civilTimeOf(static_cast<uint32_t>(d * 86400 + s))), fields(time)) << "day " << d;
        }
    }
    EXPECT_EQ(mireo::palmSeconds({2040, 2, 6, 6, 28, 16}), 0u);
    EXPECT_EQ(mireo::palmSeconds({1903, 12, 31, 23, 59, 59}), 1u);
    // Leap years every fourth year, except centuries not divisible by 400.
    for (int y : {1600, 1700, 1800, 1900, 1904, 2000, 2023, 2024, 2100, 2200, 2400}) {
        bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
        EXPECT_EQ(mireo::dayNumber(y, 3, 1) - mireo::dayNumber(y, 2, 28), leap ? 2 : 1) << y;
        EXPECT_EQ(mireo::dayNumber(y + 1, 1, 1) - mireo::dayNumber(y, 1, 1), leap ? 366 : 365) << y;
    }
}

TEST(PalmTime, SourceDateEpochIsReadAsUtcAndOtherwiseTheLocalClockCounts) {
    setenv("TZ", "America/New_York", 1);
    tzset();
    setenv("SOURCE_DATE_EPOCH", "951782400", 1);  // 2000-02-29 00:00:00 UTC
    EXPECT_EQ(mireo::palmTimestampNow(), reference(2000, 2, 29));
    setenv("SOURCE_DATE_EPOCH", "12abc", 1);
    EXPECT_FALSE(mireo::sourceDateEpoch());
    unsetenv("SOURCE_DATE_EPOCH");
    auto local = [](std::time_t t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        return reference(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    };
    std::time_t before = std::time(nullptr);
    int64_t stamp = mireo::palmTimestampNow(), after = local(std::time(nullptr));
    EXPECT_TRUE(stamp >= local(before) && stamp <= after) << stamp;
    unsetenv("TZ");
    tzset();
}
