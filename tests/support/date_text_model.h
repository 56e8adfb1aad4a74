// QMRFDTEC's reading of a date typed as 10 characters, written again from
// its rules: up to three numbers with one kind of separator between them
// and blanks anywhere, then a layout by the separator:
//
//   '-'  year-month-day   4-digit year, no field 0
//   '.'  day.month.year   4-digit year, no field 0
//   '/'  month/day/year   4- or 2-digit year (today's century added),
//                         month and day not 0
//   none yyyyddd          7 digits unless all are zeros, a Julian form
//
// and the engine's validation of the date built ("139").  A third
// separator, like mixed separators, is " 138" at once; a zero field is
// looked for before the number of year digits.
#pragma once

#include <cstdint>
#include <string>

#include "support/calendar.h"

namespace qmr_model {

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
            if ((separator != 0 && c != separator) || fields == 3) return {" 138", 0};
            separator = c;
            ++fields;
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
        const auto julian = julianDate(static_cast<std::int32_t>(f[0]));
        if (!julian) return {" 137", 0};
        date = *julian;
    } else {
        const int year = separator == '-' ? 0 : 2;
        if (f[0] == 0 || f[1] == 0 || (separator != '/' && f[2] == 0)) return {" 137", 0};
        const std::size_t digits = number[year].size();
        if (digits != 4 && (separator != '/' || digits != 2)) return {" 138", 0};
        const std::int64_t month = separator == '/' ? f[0] : f[1], day = separator == '/' ? f[1] : separator == '.' ? f[0] : f[2];
        date = f[year] * 10000 + month * 100 + day + (digits == 2 ? century * 1000000LL : 0);
    }
    if (!engineDate(static_cast<std::int32_t>(date))) return {" 139", 0};
    return {"", static_cast<std::int32_t>(date)};
}

}  // namespace qmr_model
