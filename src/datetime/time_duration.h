// Adding hours, minutes or seconds to a time of day (QMRFTDUR).
//
// A time hhmmss is split into hours, minutes and seconds; the count is
// added to its unit and carried upward with floor division, so that every
// component lands in its range whatever the sign of the count, and whole
// days are dropped.  The sums are formed in 64 bits: a count near the
// int32 limits still gives the true time of day instead of a wrapped one.
#pragma once

#include <cstdint>

namespace qmr {

// A sum split by a base into a carry and a remainder in [0, base).
struct Carry {
    std::int64_t carry;
    std::int64_t remainder;
};

constexpr Carry carryOf(std::int64_t sum, std::int64_t base) noexcept {
    Carry c{sum / base, sum % base};
    if (c.remainder < 0) {
        c.carry -= 1;
        c.remainder += base;
    }
    return c;
}

// The parts of hhmmss, truncating: a negative time gives parts <= 0.
struct ClockParts {
    std::int64_t hours;
    std::int64_t minutes;
    std::int64_t seconds;
};

constexpr ClockParts clockPartsOf(std::int32_t time) noexcept {
    return {time / 10000, time / 100 % 100, time % 100};
}

constexpr std::int64_t timeOf(const ClockParts& p) noexcept { return p.hours * 10000 + p.minutes * 100 + p.seconds; }

enum class TimeUnit { hours, minutes, seconds };

// QMRFTDUR's arithmetic on a time the engine accepted (0..240000).  Only
// a step whose amount is non-zero runs.  24:00:00 stays 24:00:00 when the
// count is 0 and becomes 00:00:00 plus the count otherwise.
constexpr std::int32_t addToTime(std::int32_t time, TimeUnit unit, std::int32_t count) noexcept {
    ClockParts t = clockPartsOf(time);
    std::int64_t minutes = unit == TimeUnit::minutes ? count : 0;
    std::int64_t hours = unit == TimeUnit::hours ? count : 0;
    if (unit == TimeUnit::seconds && count != 0) {
        const Carry c = carryOf(t.seconds + count, 60);
        t.seconds = c.remainder;
        minutes = c.carry;
    }
    if (minutes != 0) {
        const Carry c = carryOf(t.minutes + minutes, 60);
        t.minutes = c.remainder;
        hours = c.carry;
    }
    if (hours != 0) t.hours = carryOf(t.hours + hours, 24).remainder;
    if (t.hours == 24 && count != 0) t.hours = 0;
    return static_cast<std::int32_t>(timeOf(t));  // [0, 240000]
}

}  // namespace qmr
