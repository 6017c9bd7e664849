// The database timestamp: seconds since 1904-01-01 00:00:00 by calendar
// date and clock time, checked against the standard library's calendar.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "palm_time.h"

namespace {

using namespace std::chrono;

// Seconds from 1904-01-01 00:00:00 by the standard library's own calendar.
int64_t reference(int y, int m, int d, int hh, int mm, int ss) {
    auto days = sys_days{year{y} / m / d} - sys_days{year{1904} / 1 / 1};
    return duration_cast<seconds>(days).count() + hh * 3600 + mm * 60 + ss;
}

}  // namespace

TEST(PalmTime, KnownDatesMatchTheCalendar) {
    struct Case {
        int y, m, d, hh, mm, ss;
    } cases[] = {{1904, 1, 1, 0, 0, 0},    {1904, 2, 29, 12, 0, 0}, {1904, 3, 1, 0, 0, 0},
                 {1970, 1, 1, 0, 0, 0},    {1999, 12, 31, 23, 59, 59}, {2000, 2, 29, 6, 30, 15},
                 {2000, 3, 1, 0, 0, 0},    {2024, 2, 29, 23, 59, 59}, {2026, 12, 7, 9, 41, 3},
                 {2040, 2, 6, 6, 28, 15}};
    for (const Case& c : cases)
        EXPECT_EQ(mireo::palmSeconds({c.y, c.m, c.d, c.hh, c.mm, c.ss}), reference(c.y, c.m, c.d, c.hh, c.mm, c.ss))
            << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(mireo::palmSeconds({1970, 1, 1, 0, 0, 0}), 2082844800u);
    EXPECT_EQ(mireo::palmSeconds({2040, 2, 6, 6, 28, 15}), 0xFFFFFFFFu);
}

TEST(PalmTime, LeapDayCountsOnlyFromMarch) {
    // February of a leap year lies exactly one day after the last of January.
    for (int y : {1904, 2000, 2024}) {
        EXPECT_EQ(mireo::palmSeconds({y, 2, 1, 8, 0, 0}) - mireo::palmSeconds({y, 1, 31, 8, 0, 0}), 86400u) << y;
        EXPECT_EQ(mireo::palmSeconds({y, 3, 1, 8, 0, 0}) - mireo::palmSeconds({y, 2, 29, 8, 0, 0}), 86400u) << y;
    }
    // 1900 and 2100 have no 29th of February.
    EXPECT_EQ(mireo::palmSeconds({2100, 3, 1, 0, 0, 0}) - mireo::palmSeconds({2100, 2, 28, 0, 0, 0}), 86400u);
}

TEST(PalmTime, DatesOutsideTheRangeWrapOrMirror) {
    // Past 2040-02-06 06:28:15 the count wraps modulo 2^32; before 1904 it
    // is the distance back.
    EXPECT_EQ(mireo::palmSeconds({2040, 2, 6, 6, 28, 16}), 0u);
    EXPECT_EQ(mireo::palmSeconds({1903, 12, 31, 23, 59, 59}), 1u);
}

TEST(PalmTime, SourceDateEpochIsReadAsUtc) {
    setenv("TZ", "America/New_York", 1);
    tzset();
    setenv("SOURCE_DATE_EPOCH", "951782400", 1);  // 2000-02-29 00:00:00 UTC
    EXPECT_EQ(mireo::palmTimestampNow(), reference(2000, 2, 29, 0, 0, 0));
    setenv("SOURCE_DATE_EPOCH", "12abc", 1);
    EXPECT_FALSE(mireo::sourceDateEpoch());
    unsetenv("SOURCE_DATE_EPOCH");
    unsetenv("TZ");
    tzset();
}

TEST(PalmTime, WithoutSourceDateEpochTheLocalClockCounts) {
    unsetenv("SOURCE_DATE_EPOCH");
    std::time_t before = std::time(nullptr);
    uint32_t stamp = mireo::palmTimestampNow();
    std::time_t after = std::time(nullptr);
    auto local = [](std::time_t t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        return reference(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    };
    EXPECT_GE(int64_t{stamp}, local(before));
    EXPECT_LE(int64_t{stamp}, local(after));
}
