// The calendar as the engine's rules see it, from std::chrono: which
// dates and times request '0' accepts, and the Julian form.  Shared by
// the unit tests and the fuzz targets; written again from the rules,
// sharing no code with the library.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace qmr_model {

using namespace std::chrono;

inline std::int32_t yyyymmdd(const year_month_day& d) {
    return int(d.year()) * 10000 + int(unsigned(d.month())) * 100 + int(unsigned(d.day()));
}

// yyyymmdd as request '0' with form yyyymmdd takes it: month 0 and day 0
// pass, and a value of more than 8 digits (a negative one too) is read
// as 00000000.
inline bool engineDate(std::int32_t date) {
    const auto u = static_cast<std::uint32_t>(date);
    const unsigned month = u / 100 % 100, day = u % 100;
    if (u > 99999999u || ((month == 0 || day == 0) && month <= 12 && day <= 31)) return true;
    return year_month_day{year{int(u / 10000)}, std::chrono::month{month}, std::chrono::day{day}}.ok();
}

// hhmmss as request '0' with form hhmmss takes it: 0 to 24:00:00,
// minutes and seconds at most 59.
inline bool engineTime(std::int32_t time) {
    return time >= 0 && time <= 240000 && time / 100 % 100 <= 59 && time % 100 <= 59;
}

// The Julian form yyyyddd as a date: 0 is the empty date, and nothing
// where QMRFDAT3 reports " 137".
inline std::optional<std::int32_t> julianDate(std::int32_t julian) {
    if (julian == 0) return 0;
    const int y = julian / 1000, n = julian % 1000;
    if (julian < 0 || julian >= 10000000 || y == 0 || n == 0) return std::nullopt;
    const year_month_day d{sys_days{year{y} / January / 1} + days{n - 1}};
    if (d.year() != year{y}) return std::nullopt;
    return yyyymmdd(d);
}

}  // namespace qmr_model
