// The local calendar date and time of the system clock, with a seam so
// that tests can fix the clock.
#pragma once

namespace qmr {

struct ClockReading {
    int year;         // e.g. 2026
    int month;        // 1..12
    int day;          // 1..31
    int hour;         // 0..23
    int minute;       // 0..59
    int second;       // 0..60
    int millisecond;  // 0..999
};

ClockReading readClock() noexcept;

namespace testing {
// Replaces the system clock for every thread; null restores it.
void setClock(ClockReading (*source)()) noexcept;
}  // namespace testing

}  // namespace qmr
