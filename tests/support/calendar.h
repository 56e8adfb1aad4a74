// The calendar as the engine's rules see it, from std::chrono: which
// dates and times request '0' accepts, and the Julian form; and a check of
// the engine (QMRDAT2) on any request block.  Shared by the unit tests
// and the fuzz targets; written from the rules, sharing no code with the
// library.
#pragma once

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "qmr/qmr.h"

namespace qmr_model {

using namespace std::chrono;

inline std::int32_t yyyymmdd(const year_month_day& d) {
    return int(d.year()) * 10000 + int(unsigned(d.month())) * 100 + int(unsigned(d.day()));
}

// strtol as a 32-bit long reads it: leading white space, a sign, digits
// up to the first other character (a NUL among them), saturating.
inline std::int32_t strtol32(const std::string& text) {
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

// The engine's date text of a value: its 8 digits, "00000000" when it
// needs more (a negative value too).  Of a century form CYYMMDD: the
// value + 19000000 in 32 bits, "19000101" when that needs more, and the
// century digits 7, 8, 9 read as 16, 17, 18.
inline std::string dateText(std::int32_t value, bool century) {
    const std::uint32_t u = static_cast<std::uint32_t>(value) + (century ? 19000000u : 0u);
    char text[16];
    std::snprintf(text, sizeof text, "%08u", u <= 99999999u ? u : century ? 19000101u : 0u);
    if (century && text[1] > '5') text[0] = '1';
    return text;
}

// The engine's check of a date text, slice by slice (year, month, day,
// each read as strtol reads it): month 0 and day 0 pass.
inline bool validDateText(const std::string& t) {
    const int y = strtol32(t.substr(0, 4)), m = strtol32(t.substr(4, 2)), d = strtol32(t.substr(6, 2));
    return y >= 0 && y <= 9999 && m >= 0 && m <= 12 && d >= 0 && d <= 31 &&
           (m == 0 || d == 0 || year_month_day{year{y}, month(unsigned(m)), day(unsigned(d))}.ok());
}

// yyyymmdd and hhmmss as request '0' with forms yyyymmdd and hhmmss take
// them: any date whose text is valid, times from 0 to 24:00:00.
inline bool engineDate(std::int32_t date) { return validDateText(dateText(date, false)); }
inline bool engineTime(std::int32_t time) { return time >= 0 && time <= 240000 && time / 100 % 100 <= 59 && time % 100 <= 59; }

// What QMRDAT2 leaves for the requests that do not read the clock: the
// message ("" on success), the date and the time.  Times are scaled to
// hundredths by their form; the date output step writes form '2' as
// YYMMDD, form '1' as CYYMMDD for the years 1600..2599.
inline std::string engineResult(std::int32_t date, std::int32_t time, char code, char dateForm, char timeForm, const char* stamp) {
    const auto result = [&](const char* message) { return message + (" " + std::to_string(date)) + " " + std::to_string(time); };
    const std::int64_t hundredths = std::int64_t{time} * (timeForm == '1' ? 10 : timeForm == '2' ? 100 : 1);
    std::string text = dateText(date, code == '4' || (code == '0' && dateForm == '1'));
    if (code == '6') {
        if (stamp[0] == 0) return result("Invalid timestamp input.");
        text.assign(stamp, 8);
        date = strtol32(text);
    }
    if (code != '0' && code != '4' && code != '5' && code != '6') return result("Invalid request code.");
    if ((code != '0' || date != 0) && !validDateText(text)) return result("Invalid date input.");
    if (code == '6') time = strtol32(std::string(stamp + 8, 6));
    if (code == '6' && (time > 240000 || strtol32(std::string(stamp + 10, 2)) > 59 || strtol32(std::string(stamp + 12, 2)) > 59)) {
        return result("Invalid time specified.");
    }
    if (code == '0') {
        const bool valid = time == 0 || (hundredths >= 0 && hundredths <= 24000000 && hundredths / 100 % 100 <= 59 && hundredths / 10000 % 100 <= 59);
        return result(valid ? "" : "Invalid time specified.");
    }
    const std::int32_t y = strtol32(text.substr(0, 4));
    if (dateForm == '1' && y != 0 && (y < 1600 || y > 2599)) return result("Invalid date input.");
    if (dateForm == '1' && y != 0) text.replace(0, 4, "0" + std::to_string(y - 900 + 10000).substr(2));  // 2026: 0126
    if (dateForm == '2') text.replace(0, 2, "00");
    date = strtol32(text);
    return result("");
}

// The Julian form yyyyddd as a date: 0 is the empty date, and nothing
// where QMRFDAT3 reports " 137".
inline std::optional<std::int32_t> julianDate(std::int32_t julian) {
    const int y = julian / 1000, n = julian % 1000;
    if (julian == 0) return 0;
    if (julian < 0 || julian >= 10000000 || y == 0 || n == 0) return std::nullopt;
    const year_month_day d{sys_days{year{y} / January / 1} + days{n - 1}};
    return d.year() == year{y} ? std::optional(yyyymmdd(d)) : std::nullopt;
}

// QMRDAT2 on a copy of `block`: "" when it returns 0, sets the return
// code to 0 or 8 with one of the four messages (only the message and its
// NUL written) or keeps the message, keeps the fields it does not own,
// and answers request '0' as engineAccepts does; else what went wrong.
inline std::string checkEngine(const unsigned char* block) {
    unsigned char b[QMR_DATE_REQUEST_SIZE];
    std::memcpy(b, block, sizeof b);
    const bool returned0 = QMRDAT2(nullptr, nullptr, reinterpret_cast<DateRequest*>(b)) == 0;
    const auto same = [&](std::size_t at, std::size_t n) { return std::memcmp(b + at, block + at, n) == 0; };
    const int code = b[QMR_DR_RETURN_CODE] | b[QMR_DR_RETURN_CODE + 1] << 8;
    const char* message = reinterpret_cast<const char*>(b + QMR_DR_MESSAGE_TEXT);
    const std::size_t length = strnlen(message, QMR_DR_MESSAGE_SIZE);
    const bool known = std::strcmp(message, "Invalid request code.") == 0 || std::strcmp(message, "Invalid date input.") == 0 ||
                       std::strcmp(message, "Invalid time specified.") == 0 || std::strcmp(message, "Invalid timestamp input.") == 0;
    if (!returned0 || (code != 0 && code != 8)) return "return code " + std::to_string(code);
    if (code == 8 ? !known || !same(QMR_DR_MESSAGE_TEXT + length + 1, QMR_DR_MESSAGE_SIZE - length - 1) : !same(QMR_DR_MESSAGE_TEXT, QMR_DR_MESSAGE_SIZE)) {
        return "message '" + std::string(message, length) + "'";
    }
    if (!same(QMR_DR_RESERVED1, 12) || !same(QMR_DR_REQUEST_CODE, 3) || !same(QMR_DR_SPARE, 3) ||
        (b[QMR_DR_REQUEST_CODE] != '7' && !same(QMR_DR_TIMESTAMP_TEXT, QMR_DR_TIMESTAMP_SIZE))) {
        return "a field the engine does not own changed";
    }
    std::int32_t date, time, dateAfter, timeAfter;
    std::memcpy(&date, block + QMR_DR_DATE, 4);
    std::memcpy(&time, block + QMR_DR_TIME, 4);
    std::memcpy(&dateAfter, b + QMR_DR_DATE, 4);
    std::memcpy(&timeAfter, b + QMR_DR_TIME, 4);
    const std::string got = (code ? message : "") + (" " + std::to_string(dateAfter)) + " " + std::to_string(timeAfter);
    const char c = static_cast<char>(b[QMR_DR_REQUEST_CODE]);
    const std::string expected = engineResult(date, time, c, static_cast<char>(b[QMR_DR_DATE_FORM]), static_cast<char>(b[QMR_DR_TIME_FORM]),
                                              reinterpret_cast<const char*>(block + QMR_DR_TIMESTAMP_TEXT));
    if (c != '1' && c != '3' && c != '7' && got != expected) return "request '" + std::string(1, c) + "' gave '" + got + "', not '" + expected + "'";
    return "";
}

}  // namespace qmr_model
