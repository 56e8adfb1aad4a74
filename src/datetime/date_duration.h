// A signed number of years, months or days added to a yyyymmdd date, as
// QMRFDDUR adds them.
//
// Adding to "January 31" a month that is shorter caps the day at the
// month's last day (2026-01-31 + 1 month = 2026-02-28), and February 29
// plus years that end in a common year gives February 28.  A zero
// component plus a zero count steps to 1: year 0 + 0 years is year 1,
// month 0 + 0 months is month 1, day 0 + 0 days is day 1.
//
// Results are exact, in 64 bits: a count so large that 32-bit arithmetic
// would wrap back into the calendar gives a result outside it instead.
// The caller refuses any result outside kFirstDurationDate..kLastDurationDate.
#pragma once

#include <cstdint>

#include "datetime/day_number.h"

namespace qmr {

constexpr std::int32_t kFirstDurationDate = 10000;     // 0001-00-00
constexpr std::int32_t kLastDurationDate = 99991231;   // 9999-12-31

// isLeapYear for the 64-bit years of exact results.
constexpr bool isLeapYear64(std::int64_t year) noexcept {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

constexpr std::int64_t dateAfterYears(std::int32_t date, std::int32_t count) noexcept {
    std::int64_t r = count != 0 || date / 10000 != 0 ? std::int64_t{date} + std::int64_t{count} * 10000
                                                     : std::int64_t{date} + 10000;
    if (r % 10000 == 229 && !isLeapYear64(r / 10000)) r -= 1;
    return r;
}

// Divisions truncate toward zero and remainders keep the dividend's sign,
// so a date that is not one (negative, month 0) gives what the host gives.
constexpr std::int64_t addMonths(std::int32_t date, std::int32_t count) noexcept {
    std::int64_t y = date / 10000;
    std::int64_t m = date / 100 % 100 + std::int64_t{count};
    std::int64_t d = date % 100;
    if (m > 12 || m < 1) {
        y += m / 12;
        m %= 12;  // [-11, 11]
        if (m < 1) {
            m += 12;
            y -= 1;
        }
    }
    if (d > 30 && (m == 4 || m == 6 || m == 9 || m == 11)) d = 30;
    if (m == 2 && d >= 29) d = isLeapYear64(y) ? 29 : 28;
    return y * 10000 + m * 100 + d;
}

constexpr std::int64_t dateAfterMonths(std::int32_t date, std::int32_t count) noexcept {
    return count != 0 || date / 100 % 100 != 0 ? addMonths(date, count) : std::int64_t{date} + 100;
}

// dayNumber for the dates of years 1..9999 (any two-digit month and day,
// as an unchecked date may hold): with the year at least 0 after
// February's shift every term is non-negative, so unsigned arithmetic
// gives the same value without the sign corrections of signed division.
constexpr std::int32_t dayNumberInCalendar(std::int32_t date) noexcept {
    if (date < 10000 || date > 99999999) return dayNumber(date);
    const auto u = static_cast<std::uint32_t>(date);
    std::uint32_t y = u / 10000;        // [1, 9999]
    std::uint32_t m = u / 100 % 100;    // [0, 99]
    const std::uint32_t d = u % 100;    // [0, 99]
    if (m <= 2) {
        m += 9;
        y -= 1;
    } else {
        m -= 3;
    }
    const std::uint32_t days =
        kDaysPer400Years * (y / 100) / 4 + kDaysPer4Years * (y % 100) / 4 + (153 * m + 2) / 5 + d;
    return static_cast<std::int32_t>(days) + (kJdnOfMarch0 - kJdnOfDay0);
}

// Whole days through the day numbers.  A day number outside
// 0001-01-01..9999-12-31 is a date outside the duration range, given as 0.
constexpr std::int64_t dateAfterDays(std::int32_t date, std::int32_t count) noexcept {
    if (count == 0 && date % 100 == 0) return std::int64_t{date} + 1;
    const std::int64_t n = std::int64_t{dayNumberInCalendar(date)} + count;
    if (n < 1 || n > kDayNumberOf99991231) return 0;
    return calendarDateOf(static_cast<std::uint32_t>(n));
}

static_assert(dateAfterYears(20240229, 1) == 20250228 && dateAfterYears(20240229, 4) == 20280229);
static_assert(dateAfterMonths(20260131, 1) == 20260228 && dateAfterMonths(20261204, -12) == 20251204);
static_assert(dateAfterDays(20261204, 28) == 20270101 && dateAfterYears(0, 0) == 10000);

}  // namespace qmr
