// The date and time rules written again, sharing no code with the
// library, and checks of the library against them, for the unit tests and
// the fuzz targets: the calendar as the engine's rules see it, from
// std::chrono (which dates and times request '0' accepts, the Julian
// form), the engine (QMRDAT2) on any request block, and the dates, times
// and timestamps typed as text.
#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "qmr/qmr.h"
#include "support/context.h"

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
inline bool engineTime(std::int32_t t) { return t >= 0 && t <= 240000 && t / 100 % 100 <= 59 && t % 100 <= 59; }

// What QMRDAT2 leaves for the requests that do not read the clock: the
// message ("" on success), the date and the time.  Times are scaled to
// hundredths by their form; the date output step writes form '2' as
// YYMMDD, form '1' as CYYMMDD for the years 1600..2599.
inline std::string engineResult(std::int32_t date, std::int32_t time, char code, char dateForm, char timeForm,
                                const char* stamp) {
    const auto result = [&](std::string m) { return m + ' ' + std::to_string(date) + ' ' + std::to_string(time); };
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
    if (code == '6' &&
        (time > 240000 || strtol32(std::string(stamp + 10, 2)) > 59 || strtol32(std::string(stamp + 12, 2)) > 59)) {
        return result("Invalid time specified.");
    }
    if (code == '0') {
        const bool valid = time == 0 || (hundredths >= 0 && hundredths <= 24000000 && hundredths / 100 % 100 <= 59 &&
                                         hundredths / 10000 % 100 <= 59);
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
// and answers as engineResult does; else what went wrong.
inline std::string checkEngine(const unsigned char* block) {
    unsigned char b[QMR_DATE_REQUEST_SIZE];
    std::memcpy(b, block, sizeof b);
    const bool returned0 = QMRDAT2(nullptr, nullptr, reinterpret_cast<DateRequest*>(b)) == 0;
    const auto same = [&](std::size_t at, std::size_t n) { return std::memcmp(b + at, block + at, n) == 0; };
    const int code = b[QMR_DR_RETURN_CODE] | b[QMR_DR_RETURN_CODE + 1] << 8;
    const char* message = reinterpret_cast<const char*>(b + QMR_DR_MESSAGE_TEXT);
    const std::size_t length = strnlen(message, QMR_DR_MESSAGE_SIZE);
    const bool known =
        std::strcmp(message, "Invalid request code.") == 0 || std::strcmp(message, "Invalid date input.") == 0 ||
        std::strcmp(message, "Invalid time specified.") == 0 || std::strcmp(message, "Invalid timestamp input.") == 0;
    if (!returned0 || (code != 0 && code != 8)) return "return code " + std::to_string(code);
    if (code == 8 ? !known || !same(QMR_DR_MESSAGE_TEXT + length + 1, QMR_DR_MESSAGE_SIZE - length - 1)
                  : !same(QMR_DR_MESSAGE_TEXT, QMR_DR_MESSAGE_SIZE)) {
        return "message '" + std::string(message, length) + "'";
    }
    if (!same(QMR_DR_RESERVED1, 12) || !same(QMR_DR_REQUEST_CODE, 3) || !same(QMR_DR_SPARE, 3) ||
        (b[QMR_DR_REQUEST_CODE] != '7' && !same(QMR_DR_TIMESTAMP_TEXT, QMR_DR_TIMESTAMP_SIZE))) {
        return "a field the engine does not own changed";
    }
    using qmr_test::le32;
    const std::string got = (code ? message : "") + (" " + std::to_string(le32(b + QMR_DR_DATE))) + " " +
                            std::to_string(le32(b + QMR_DR_TIME));
    const char* in = reinterpret_cast<const char*>(block);
    const char c = in[QMR_DR_REQUEST_CODE];
    const std::string expected = engineResult(le32(block + QMR_DR_DATE), le32(block + QMR_DR_TIME), c,
                                              in[QMR_DR_DATE_FORM], in[QMR_DR_TIME_FORM], in + QMR_DR_TIMESTAMP_TEXT);
    if (c == '1' || c == '3' || c == '7' || got == expected) return "";
    return "request '" + std::string(1, c) + "' gave '" + got + "', not '" + expected + "'";
}

// ---- dates typed as text ----------------------------------------------
//
// QMRFDTEC reads a date typed as 10 characters: up to three numbers
// with one kind of separator between them and blanks anywhere, then a
// layout by the separator:
//
//   '-'  year-month-day   4-digit year, no field 0
//   '.'  day.month.year   4-digit year, no field 0
//   '/'  month/day/year   4- or 2-digit year (today's century added),
//                         month and day not 0
//   none yyyyddd          7 digits unless all are zeros, a Julian form
//
// then the engine's check of the date built (" 139").  A third separator,
// like mixed separators, is " 138" at once; a zero field is looked for
// before the number of year digits.
struct DateTextResult {
    std::string error;  // "", " 137", " 138" or " 139"
    std::int32_t date;  // when error is ""
};

// `century`: today's date / 1000000, e.g. 20 during 2000..2099.
inline DateTextResult dateText(const char* text, std::int32_t century) {
    std::string number[3];  // the digits of each field
    int fields = 1;
    char separator = 0;
    for (int i = 0; i < 10; ++i) {
        const char c = text[i];
        if (c == '-' || c == '/' || c == '.') {
            if ((separator != 0 && c != separator) || fields++ == 3) return {" 138", 0};
            separator = c;
        } else if (c >= '0' && c <= '9') {
            number[fields - 1] += c;
        } else if (c != ' ') {
            return {" 137", 0};
        }
    }
    std::int64_t f[3];
    for (int k = 0; k < 3; ++k) f[k] = number[k].empty() ? 0 : std::stoll(number[k]);
    std::int64_t date = 0;
    if (separator == 0) {
        if (number[0].find_first_not_of('0') != std::string::npos && number[0].size() != 7) return {" 138", 0};
        if (!julianDate(static_cast<std::int32_t>(f[0]))) return {" 137", 0};
        date = *julianDate(static_cast<std::int32_t>(f[0]));
    } else {
        const bool us = separator == '/';  // month/day/year
        const std::size_t yearDigits = number[separator == '-' ? 0 : 2].size();
        if (f[0] == 0 || f[1] == 0 || (!us && f[2] == 0)) return {" 137", 0};
        if (yearDigits != 4 && (!us || yearDigits != 2)) return {" 138", 0};
        date = separator == '-' ? f[0] * 10000 + f[1] * 100 + f[2] : separator == '.' ? f[2] * 10000 + f[1] * 100 + f[0]
                                                                   : f[2] * 10000 + f[0] * 100 + f[1];
        if (yearDigits == 2) date += century * 1000000LL;
    }
    if (!engineDate(static_cast<std::int32_t>(date))) return {" 139", 0};
    return {"", static_cast<std::int32_t>(date)};
}

// QMRFDTEC on an exactly 10-byte field against the model, in a fresh
// context or in one whose error flag an earlier call left set (then only
// the reports of the text itself are made, and nothing is stored); ""
// when they agree.  The clock must stand in `century`.
inline std::string checkDateText(const std::string& text, bool flagSet, std::int32_t century) {
    std::vector<char> field(text.begin(), text.end());
    qmr_test::TestContext context;
    if (flagSet) context.setByte(QMR_CC_ERROR_FLAG, 'Y');
    qmr_int32 date = -7;
    QMRFDTEC(nullptr, nullptr, context.get(), field.data(), &date);
    const DateTextResult expected = dateText(text.data(), century);
    const std::string error = flagSet && expected.error == " 139" ? "" : expected.error;
    const std::string message = error.empty() ? std::string(4, '\0') : error;
    const std::int32_t stored = flagSet || !error.empty() ? -7 : expected.date;
    if (context.name() == "QMRFDTEC" && context.message() == message && date == stored) return "";
    return "'" + text + "' gave " + std::to_string(date) + " '" + context.message() + "'";
}

// ---- times and timestamps typed as text --------------------------------
//
// QMRFTMEC scans 8 characters into a picture: each number (one or two
// digits) stands as HH, MM or SS by its place, 'A' or 'P' stands with the
// character after it, blanks vanish, anything else stands as itself.  The
// picture, NUL-padded to 8, must be one of twelve; one longer than 8 is
// none of them.
//
// QMRFTSC reads YYYY-MM-DD-HH.MM.SS.ffffff position by position; a blank
// at 10 or 19 ends the text, a wrong character up to 10 is " 137", after
// it " 141", and positions at or past the field's maximum are blanks.

// The time hhmmss, or the message number.
inline std::string timeText(const char* text) {
    static const std::string pictures[] = {"HHAM", "HHPM", "HHMMAM", "HH:MMAM", "HHMMPM", "HH:MMPM",
                                           "HHMM", "HHMMSS", "HH:MM", "HH:MM:SS", "HH.MM", "HH.MM.SS"};
    const auto digit = [&](int at) { return text[at] >= '0' && text[at] <= '9'; };
    int end = 8, at = 0, numbers = 0, part[4] = {};
    char marker = 0;
    std::string picture;
    while (end > 0 && text[end - 1] == ' ') --end;
    while (at < end - 1 && text[at] == ' ') ++at;
    while (at < end && numbers <= 3) {
        const char c = text[at];
        if (digit(at)) {
            for (int k = 0; k < 2 && at < end && digit(at); ++k) part[numbers] = part[numbers] * 10 + text[at++] - '0';
            picture += std::string(2, "HMS?"[numbers++]);
        } else if (c != ' ') {
            picture += text[at++];
            if (c == 'A' || c == 'P') marker = c;
            if ((c == 'A' || c == 'P') && at < end) picture += text[at++];
        } else {
            ++at;
        }
    }
    picture.resize(std::max<std::size_t>(picture.size(), 8), '\0');
    const bool known = std::any_of(std::begin(pictures), std::end(pictures), [&](const std::string& p) {
        return picture == p + std::string(8 - p.size(), '\0');
    });
    if (numbers == 0 || numbers > 3 || !known) return " 142";
    int hour = part[0];
    if (marker != 0 && (hour < 1 || hour > 12)) return " 141";
    hour = marker == 'P' && hour != 12 ? hour + 12 : marker == 'A' && hour == 12 ? 0 : hour;
    const std::int32_t time = (hour * 100 + part[1]) * 100 + part[2];
    return engineTime(time) ? std::to_string(time) : " 141";
}

// The 20 digits and the NUL QMRFTSC writes, or the message number.
inline std::string timestampText(const unsigned char* text, std::int32_t maximum) {
    static const char layout[] = "9999-99-99-99.99.99.999999";
    std::int32_t part[7] = {};
    if (maximum < 1 || maximum > 4096) return " 130";
    for (int i = 0, p = 0; i < 26; ++i) {
        const unsigned char c = i < maximum ? text[i] : ' ';
        if ((i == 10 || i == 19) && c == ' ') break;
        if (layout[i] == '9' ? c < '0' || c > '9' : c != layout[i]) return i <= 10 ? " 137" : " 141";
        if (layout[i] == '9') part[p] = part[p] * 10 + c - '0';
        else ++p;
    }
    const std::int32_t date = part[0] * 10000 + part[1] * 100 + part[2],
                       time = part[3] * 10000 + part[4] * 100 + part[5];
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%08d%06d%06d", date, time, part[6]);
    return !engineDate(date) ? " 139" : !engineTime(time) ? " 141" : std::string(stamp, 21);
}

// QMRFTMEC on an exactly 8-byte field after a call that left `staleDate`
// in the context's request (the engine checks it too): "" when it agrees
// with the model.
inline std::string checkTimeText(const std::string& text, std::int32_t staleDate) {
    std::vector<char> field(text.begin(), text.end());
    qmr_test::TestContext context;
    context.setInt32At(QMR_CC_DATE_REQUEST + QMR_DR_DATE, staleDate);
    qmr_int32 time = -7;
    QMRFTMEC(nullptr, nullptr, context.get(), field.data(), &time);
    std::string expected = timeText(text.data());
    if (expected[0] != ' ' && !engineDate(staleDate)) expected = " 141";
    const std::string got = context.failed() ? context.message() : std::to_string(time);
    if (context.name() == "QMRFTMEC" && got == expected && (!context.failed() || time == -7)) return "";
    return "'" + text + "' after " + std::to_string(staleDate) + " gave " + got + " (" + std::to_string(time) +
           "), not " + expected;
}

// QMRFTSC on a field of exactly the text bytes its maximum allows (none
// outside 1..4096), whose current length is never read, into 21 bytes
// between guards: "" when it agrees with the model and writes nothing on
// a failure.
inline std::string checkTimestampText(const std::string& text, std::int32_t maximum) {
    const std::size_t room = maximum >= 1 && maximum <= 4096 ? std::size_t(maximum) : 0;
    std::vector<unsigned char> field(QMR_TF_TEXT + room, 'x');
    qmr_test::putLe32(field.data() + QMR_TF_MAX_LENGTH, maximum);
    qmr_test::putLe32(field.data() + QMR_TF_LENGTH, -77);
    std::memcpy(field.data() + QMR_TF_TEXT, text.data(), std::min(room, text.size()));
    std::string stamp(21 + 16, '#');
    qmr_test::TestContext context;
    QMRFTSC(nullptr, nullptr, context.get(), reinterpret_cast<const TextField*>(field.data()), stamp.data() + 8);
    const std::string expected = timestampText(field.data() + QMR_TF_TEXT, maximum);
    const std::string got = context.failed() ? context.message() : stamp.substr(8, 21);
    const bool guarded = stamp == "########" + (context.failed() ? std::string(21, '#') : got) + "########";
    if (context.name() == "QMRFTSC " && got == expected && guarded) return "";
    return "'" + text + "' in " + std::to_string(maximum) + " gave '" + got + "', not '" + expected + "'";
}

}  // namespace qmr_model
