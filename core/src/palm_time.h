// Timestamps of the database: seconds since 1904-01-01 00:00:00, counted
// on the calendar date and clock time without any time-zone correction.
#pragma once

#include <cstdint>
#include <optional>

namespace mireo {

struct CivilTime {
    int year, month, day, hour, minute, second;
};

// Days of the proleptic Gregorian calendar up to the date (month 1 to 12),
// as a count that only differences are taken of.
int64_t dayNumber(int year, int month, int day);

// |time - 1904-01-01 00:00:00| in seconds, modulo 2^32.
uint32_t palmSeconds(const CivilTime& time);

// The calendar date and clock time of a database timestamp (the inverse of
// palmSeconds for times after 1904).
CivilTime civilTimeOf(uint32_t seconds);

// SOURCE_DATE_EPOCH when it holds a whole number of seconds.
std::optional<int64_t> sourceDateEpoch();

// The creation time of a new database: SOURCE_DATE_EPOCH read as UTC when
// it is set, so that builds are reproducible; otherwise the local time.
uint32_t palmTimestampNow();

}  // namespace mireo
