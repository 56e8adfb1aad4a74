// QMRFDTEC's reading of a date typed as 10 characters, written again from
// its rules, and a check of the library against it.  Up to three numbers
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
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/calendar.h"
#include "support/context.h"

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
    if (context.name() == "QMRFDTEC" && context.message() == (error.empty() ? std::string(4, '\0') : error) &&
        date == (flagSet || !error.empty() ? -7 : expected.date)) {
        return "";
    }
    return "'" + text + "' gave " + std::to_string(date) + " '" + context.message() + "'";
}

}  // namespace qmr_model
