// The engine's view of a valid date and time, written again from the
// documented rules, for the fuzz targets' checks.
#pragma once

#include <cstdint>

namespace qmr_fuzz {

inline bool leapYear(std::int32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// yyyymmdd as request '0' with form yyyymmdd accepts it: month and day 0
// pass, and a value of more than 8 digits reads as 00000000.
inline bool engineDate(std::int32_t date) {
    const auto u = static_cast<std::uint32_t>(date);
    if (u > 99999999u) return true;
    const std::int32_t year = static_cast<std::int32_t>(u / 10000);
    const std::int32_t month = static_cast<std::int32_t>(u / 100 % 100);
    const std::int32_t day = static_cast<std::int32_t>(u % 100);
    if (month > 12 || day > 31) return false;
    if (month == 2 && (day > 29 || (day > 28 && !leapYear(year)))) return false;
    if ((month == 4 || month == 6 || month == 9 || month == 11) && day > 30) return false;
    return true;
}

// hhmmss as request '0' with form hhmmss accepts it: 0 to 24:00:00 (in
// hundredths at most 24000000), minutes and seconds at most 59.
inline bool engineTime(std::int32_t time) {
    const std::int64_t hundredths = std::int64_t{time} * 100;
    return hundredths >= 0 && hundredths <= 24000000 && time / 100 % 100 <= 59 && time % 100 <= 59;
}

}  // namespace qmr_fuzz
