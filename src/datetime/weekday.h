// The day of the week of a yyyymmdd date and its name.
#pragma once

#include <cstdint>

namespace qmr {

// 0 Sunday .. 6 Saturday, by Zeller's congruence with months counted from
// March (so that February, with its leap day, ends the year).  Gregorian
// for every date of 0001-01-01..9999-12-31; any other int32 gives what the
// same arithmetic gives, without overflow: |year| <= 214749.
constexpr int weekdayOf(std::int32_t date) noexcept {
    std::int32_t y = date / 10000;
    std::int32_t m = date / 100 % 100;  // [-99, 99]
    const std::int32_t d = date % 100;  // [-99, 99]
    if (m <= 2) {
        m += 10;
        y -= 1;
    } else {
        m -= 2;  // March is 1, February 12
    }
    const std::int32_t c = y / 100;  // [-2147, 2147]
    const std::int32_t k = y % 100;  // [-99, 99]
    // -2c outweighs the +77 (11 weeks) in late centuries (46000301 sums
    // to -1), so the remainder is made non-negative.
    const std::int32_t w = (13 * m - 1) / 5 + d + k + k / 4 + c / 4 - 2 * c + 77;
    const std::int32_t r = w % 7;
    return r < 0 ? r + 7 : r;
}

// weekdayOf for the dates of years 1..9999 (any two-digit month and day):
// every term is then non-negative once 30 weeks outweigh -2c, so unsigned
// arithmetic gives the same remainder without sign corrections.
constexpr int weekdayInCalendar(std::int32_t date) noexcept {
    if (date < 10000 || date > 99999999) return weekdayOf(date);
    const auto u = static_cast<std::uint32_t>(date);
    std::uint32_t y = u / 10000;      // [1, 9999]
    std::uint32_t m = u / 100 % 100;  // [0, 99]
    const std::uint32_t d = u % 100;  // [0, 99]
    if (m <= 2) {
        m += 10;
        y -= 1;
    } else {
        m -= 2;
    }
    const std::uint32_t c = y / 100;  // [0, 99]
    const std::uint32_t k = y % 100;
    const std::uint32_t w = (13 * m - 1) / 5 + d + k + k / 4 + c / 4 + 77 + 7 * 30 - 2 * c;
    return static_cast<int>(w % 7);
}

constexpr int kDayNameLength = 9;

// Blank-padded to the length of the longest, "WEDNESDAY".
constexpr char kDayNames[7][kDayNameLength + 1] = {
    "SUNDAY   ", "MONDAY   ", "TUESDAY  ", "WEDNESDAY", "THURSDAY ", "FRIDAY   ", "SATURDAY ",
};

static_assert(weekdayOf(20261204) == 5 && weekdayOf(20000101) == 6 && weekdayOf(19000101) == 1);
static_assert(weekdayOf(0) == 3 && weekdayOf(46000301) == 6 && weekdayInCalendar(46000301) == 6);

}  // namespace qmr
