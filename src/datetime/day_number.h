// Day numbers and Julian forms of yyyymmdd dates.
//
// Day number: days of the proleptic Gregorian calendar counted so that
// 0001-01-01 is day 1, i.e. the astronomical Julian Day Number - 1721425.
// Julian form: year * 1000 + day of the year.
//
// The formulas are the host's, in 32-bit arithmetic: for dates outside
// 0001-01-01..9999-12-31 they give what the 32-bit computation gives,
// wrapping on overflow, exactly as the host's own arithmetic would.
#pragma once

#include <cstdint>

#include "frame/wrap32.h"

namespace qmr {

constexpr std::int32_t kJdnOfDay0 = 1721425;       // JDN of 0000-12-31, day number 0
constexpr std::int32_t kJdnOfMarch0 = 1721119;     // JDN of 0000-03-01 minus 1 (the epoch of the formulas)
constexpr std::int32_t kDaysPer400Years = 146097;  // 400 * 365 + 97
constexpr std::int32_t kDaysPer4Years = 1461;      // 4 * 365 + 1
constexpr std::int32_t kDayNumberOf99991231 = 3652059;

constexpr bool isLeapYear(std::int32_t year) noexcept {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// QMRFDAT1: yyyymmdd to day number.  Months are counted from March so
// that February, with its leap day, comes last.
constexpr std::int32_t dayNumber(std::int32_t date) noexcept {
    std::int32_t y = date / 10000;
    std::int32_t m = date / 100 % 100;  // [-99, 99]
    const std::int32_t d = date % 100;  // [-99, 99]
    if (m <= 2) {
        m += 9;
        y -= 1;  // date / 10000 >= -214749, no overflow
    } else {
        m -= 3;  // March is 0, February 11
    }
    const std::int32_t c = y / 100;
    const std::int32_t ya = y - 100 * c;  // [-99, 99]
    std::int32_t n = wrapMul(kDaysPer400Years, c) / 4;
    n = wrapAdd(n, kDaysPer4Years * ya / 4);
    n = wrapAdd(n, (153 * m + 2) / 5 + d);
    return wrapAdd(n, kJdnOfMarch0 - kJdnOfDay0);
}

// QMRFDAT2's formula in 32-bit signed arithmetic, for any input.
constexpr std::int32_t dateOfDayNumberWrapped(std::int32_t dayNumber) noexcept {
    const std::int32_t j = wrapAdd(dayNumber, kJdnOfDay0 - kJdnOfMarch0);
    const std::int32_t t = wrapSub(wrapMul(4, j), 1);
    const std::int32_t c = t / kDaysPer400Years;
    const std::int32_t r = (t - kDaysPer400Years * c) / 4;  // (-36525, 36525)
    const std::int32_t ya = (4 * r + 3) / kDaysPer4Years;   // [-99, 99]
    const std::int32_t s = (4 * r + 3 - kDaysPer4Years * ya + 4) / 4;
    std::int32_t m = (5 * s - 3) / 153;
    const std::int32_t d = (5 * s - 3 - 153 * m + 5) / 5;
    std::int32_t y = wrapAdd(wrapMul(100, c), ya);
    if (m < 10) {
        m += 3;
    } else {
        m -= 9;
        y = wrapAdd(y, 1);
    }
    return wrapAdd(wrapAdd(wrapMul(y, 10000), m * 100), d);
}

// The calendar date of a day number inside 0001-01-01..9999-12-31, where
// QMRFDAT2's formula is the Gregorian calendar itself, computed with the
// Neri-Schneider algorithm (Software: Practice and Experience 53(4), 2023):
// unsigned arithmetic on days counted from 0000-03-01, divisions replaced
// by multiplications where the ranges allow.
constexpr std::int32_t calendarDateOf(std::uint32_t dayNumber) noexcept {
    const std::uint32_t n = dayNumber + 305;                           // days since 0000-03-01
    const std::uint32_t n1 = 4 * n + 3;
    const std::uint32_t century = n1 / kDaysPer400Years;              // [0, 99]
    const std::uint32_t n2 = n1 % kDaysPer400Years / 4 * 4 + 3;        // 4 * day of century + 3
    const std::uint64_t p2 = std::uint64_t{2939745} * n2;
    const auto yearOfCentury = static_cast<std::uint32_t>(p2 >> 32);   // [0, 99]
    const std::uint32_t dayOfYear = static_cast<std::uint32_t>(p2) / 2939745 / 4;  // [0, 365], from March
    const std::uint32_t n3 = 2141 * dayOfYear + 197913;
    const std::uint32_t month = n3 >> 16;                              // [3, 14]
    const std::uint32_t day = (n3 & 0xFFFF) / 2141 + 1;                // [1, 31]
    const std::uint32_t january = dayOfYear >= 306 ? 1 : 0;           // January and February end the year
    const std::uint32_t year = 100 * century + yearOfCentury + january;
    return static_cast<std::int32_t>(year * 10000 + (month - 12 * january) * 100 + day);
}

// QMRFDAT2: day number to yyyymmdd, the inverse of dayNumber over
// 0001-01-01..9999-12-31.
constexpr std::int32_t dateOfDayNumber(std::int32_t dayNumber) noexcept {
    if (dayNumber >= 1 && dayNumber <= kDayNumberOf99991231) return calendarDateOf(static_cast<std::uint32_t>(dayNumber));
    return dateOfDayNumberWrapped(dayNumber);
}

// QMRFDAT4: yyyymmdd to Julian form, day of the year from a 30.55-day
// month approximation corrected for February.
constexpr std::int32_t dateToJulian(std::int32_t date) noexcept {
    const std::int32_t y = date / 10000;
    const std::int32_t m = date / 100 % 100;
    const std::int32_t d = date % 100;
    const std::int32_t a = m <= 2 ? 0 : isLeapYear(y) ? 1 : 2;
    return wrapAdd(wrapMul(y, 1000), (m + 2) * 3055 / 100 + d - 91 - a);
}

// QMRFDAT3's arithmetic: Julian form to yyyymmdd; `valid` is false where
// the host reports " 137".
struct JulianDate {
    std::int32_t date;
    bool valid;
};

constexpr JulianDate julianToDate(std::int32_t julian) noexcept {
    const std::int32_t y = julian / 1000;
    std::int32_t n = julian % 1000;
    const std::int32_t leap = isLeapYear(y) ? 1 : 0;
    if (!(y >= 0 && julian < 10000000 && n >= 0 && n <= 365 + leap)) return {0, false};
    if ((y == 0) != (n == 0)) return {0, false};
    if (y == 0) return {0, true};
    if (n > 59 + leap) n = n + 2 - leap;  // as if February had 30 days
    const std::int32_t k = (n + 91) * 100 / 3055;
    const std::int32_t day = n + 91 - k * 3055 / 100;
    const std::int32_t month = k - 2;
    return {y * 10000 + month * 100 + day, true};
}

}  // namespace qmr
