#include "palm_time.h"

#include <cstdlib>
#include <ctime>
#include <limits>

namespace mireo {
namespace {

bool isLeapYear(int64_t year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

// Days before each month in a common year.
constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

int64_t secondsOf(const CivilTime& t) {
    return dayNumber(t.year, t.month, t.day) * 86400 + int64_t{t.hour} * 3600 + int64_t{t.minute} * 60 + t.second;
}

uint32_t fromBrokenDown(const std::tm& tm) {
    return palmSeconds({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

}  // namespace

int64_t dayNumber(int year, int month, int day) {
    int64_t y = year;
    // y / 4 - y / 100 + y / 400 already counts the leap day of year y itself,
    // which has not happened yet in January and February.
    int64_t days = 365 * y + y / 4 - y / 100 + y / 400 + kDaysBeforeMonth[month - 1] + day;
    if (month <= 2 && isLeapYear(y)) --days;
    return days;
}

uint32_t palmSeconds(const CivilTime& time) {
    int64_t difference = secondsOf(time) - secondsOf({1904, 1, 1, 0, 0, 0});
    if (difference < 0) difference = -difference;
    return static_cast<uint32_t>(static_cast<uint64_t>(difference));
}

CivilTime civilTimeOf(uint32_t seconds) {
    int64_t day = dayNumber(1904, 1, 1) + seconds / 86400;
    int year = 1904;
    while (dayNumber(year + 1, 1, 1) <= day) ++year;
    int month = 1;
    while (month < 12 && dayNumber(year, month + 1, 1) <= day) ++month;
    auto rest = static_cast<int>(seconds % 86400);
    return {year, month, static_cast<int>(day - dayNumber(year, month, 1)) + 1, rest / 3600, rest / 60 % 60, rest % 60};
}

std::optional<int64_t> sourceDateEpoch() {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text || !*text) return std::nullopt;
    int64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        if (value > (std::numeric_limits<int64_t>::max() - 9) / 10) return std::nullopt;
        value = value * 10 + (*p - '0');
    }
    return value;
}

uint32_t palmTimestampNow() {
    std::tm tm{};
    if (auto epoch = sourceDateEpoch()) {
        auto seconds = static_cast<std::time_t>(*epoch);
        if (gmtime_r(&seconds, &tm)) return fromBrokenDown(tm);
    }
    std::time_t now = std::time(nullptr);
    localtime_r(&now, &tm);
    return fromBrokenDown(tm);
}

}  // namespace mireo
