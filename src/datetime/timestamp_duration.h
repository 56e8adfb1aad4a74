// Adding years, months, days, hours, minutes, seconds or microseconds to
// a timestamp (QMRFSDUR).
//
// The count is added to its unit and carried upward, microseconds into
// seconds into minutes into hours into days, with floor division; days
// step through day numbers, months and years through the calendar, a day
// beyond the end of the new month falling back to its last day:
//
//   2001-01-31 + 1 month  = 2001-02-28     2000-02-29 + 1 year = 2001-02-28
//   2001-01-31 - 1 month  = 2000-12-31     1996-02-29 + 4 years = 2000-02-29
//   2001-12-31 23:59:59.999999 + 1 microsecond = 2002-01-01 00:00:00.000000
//
// Unlike a time of day, 24:00:00 gets no special rule here: plus one hour
// it is 01:00:00 of the next day.  Sums are formed in 64 bits, so a count
// near the int32 limits is never wrapped back into the calendar.
#pragma once

#include <cstdint>

#include "datetime/day_number.h"
#include "datetime/time_duration.h"

namespace qmr {

enum class TimestampUnit { years, months, days, hours, minutes, seconds, micros };

struct TimestampValue {
    std::int32_t date;    // yyyymmdd
    std::int32_t time;    // hhmmss
    std::int32_t micros;  // [0, 999999] once a step has carried through them
};

// The result of the arithmetic; `inRange` is false when the new date lies
// outside 00010000..99991231 (the only values it can then hold are
// meaningless and not set).
struct TimestampSum {
    TimestampValue value;
    bool inRange;
};

constexpr std::int32_t kFirstDurationDate = 10000;     // 0001-00-00
constexpr std::int32_t kLastDurationDate = 99991231;  // 9999-12-31

// The day of a month that has one: day 31 of a 30-day month becomes 30,
// days past 28 of February become its last day.  Other days stay as
// they are, so day 0 and the days of month 0 pass unchanged.
constexpr std::int64_t clampToMonthEnd(std::int64_t year, std::int64_t month, std::int64_t day) noexcept {
    if (day > 30 && (month == 4 || month == 6 || month == 9 || month == 11)) return 30;
    if (month == 2 && day > 28) {
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        return leap ? 29 : 28;
    }
    return day;
}

// The new date of a days step: the day `days` after `date`, or 0 when that
// day lies outside 0001-01-01..9999-12-31 (which, as a date below 10000,
// fails the range check just as the host's formula's date there would).
constexpr std::int32_t dateAfterDays(std::int32_t date, std::int64_t days) noexcept {
    const std::int64_t n = std::int64_t{dayNumber(date)} + days;
    if (n < 1 || n > kDayNumberOf99991231) return 0;
    return dateOfDayNumber(static_cast<std::int32_t>(n));
}

// QMRFSDUR's arithmetic on a timestamp whose date and time the engine
// accepted (or that the caller chose not to check).  Only a step whose
// amount is non-zero runs.  A count of 0 years, months or days on a date
// whose year, month or day is 0 adds 1, so that the part becomes real.
constexpr TimestampSum addToTimestamp(const TimestampValue& from, TimestampUnit unit, std::int32_t count) noexcept {
    std::int64_t year = from.date / 10000;
    std::int64_t month = from.date / 100 % 100;
    std::int64_t day = from.date % 100;
    ClockParts clock = clockPartsOf(from.time);
    std::int64_t micros = from.micros;

    const auto amount = [&](TimestampUnit u) -> std::int64_t { return u == unit ? count : 0; };
    const auto amountFilling = [&](TimestampUnit u, std::int64_t part) -> std::int64_t {
        return u == unit && count == 0 && part == 0 ? 1 : amount(u);
    };
    std::int64_t years = amountFilling(TimestampUnit::years, year);
    const std::int64_t months = amountFilling(TimestampUnit::months, month);
    std::int64_t days = amountFilling(TimestampUnit::days, day);
    std::int64_t hours = amount(TimestampUnit::hours);
    std::int64_t minutes = amount(TimestampUnit::minutes);
    std::int64_t seconds = amount(TimestampUnit::seconds);
    const std::int64_t microAmount = amount(TimestampUnit::micros);

    const auto step = [](std::int64_t& part, std::int64_t amount, std::int64_t base, std::int64_t& carry) {
        if (amount == 0) return;
        const Carry c = carryOf(part + amount, base);
        part = c.remainder;
        carry += c.carry;
    };
    step(micros, microAmount, 1000000, seconds);
    step(clock.seconds, seconds, 60, minutes);
    step(clock.minutes, minutes, 60, hours);
    step(clock.hours, hours, 24, days);

    std::int64_t date = 0;
    if (days != 0) {
        date = dateAfterDays(from.date, days);
    } else {
        if (months != 0) {
            month += months;
            if (month > 12) years = (month - 1) / 12;
            if (month < 1) years = (month - 12) / 12;
            if (years == 0) {
                day = clampToMonthEnd(year, month, day);
            } else {
                month -= 12 * years;  // [1, 12]
            }
        }
        if (years != 0) {
            year += years;
            day = clampToMonthEnd(year, month, day);
        }
        date = year * 10000 + month * 100 + day;
    }
    if (date < kFirstDurationDate || date > kLastDurationDate) return {{}, false};
    // The clock parts each stay within two digits, so the time keeps to
    // six characters: [-99999, 999999].
    return {{static_cast<std::int32_t>(date), static_cast<std::int32_t>(timeOf(clock)), static_cast<std::int32_t>(micros)},
            true};
}

}  // namespace qmr
