// Reading a date typed as 10 characters of text, as QMRFDTEC takes it.
//
// The text holds at most three numbers with one kind of separator between
// them, and blanks anywhere:
//
//   2026-12-04   year-month-day     4-digit year
//   04.12.2026   day.month.year     4-digit year
//   12/04/2026   month/day/year     4- or 2-digit year (12/04/26: the
//                                   current century is added by the caller)
//   2026338      yyyyddd            7 digits, a Julian form
//
// Blanks and zeros without a separator are the empty date 0.
#pragma once

#include <cstdint>

#include "frame/digits.h"

namespace qmr {

constexpr int kDateTextLength = 10;

enum class DateTextFault : std::uint8_t {
    none,
    notADate,  // a character that is no digit, blank or separator; a zero field
    layout,    // mixed separators, a fourth field, a wrong number of year digits
};

struct DateText {
    DateTextFault fault;
    std::int32_t value;  // the date; a Julian form when `julian`
    bool julian;         // no separator: value is yyyyddd, to be converted
    bool twoDigitYear;   // month/day/year with a 2-digit year: no century yet
};

constexpr DateText readDateText(const char* text) noexcept {
    std::int64_t field[3] = {};  // one has at most 10 digits
    int digits[3] = {};
    int index = 0;
    char separator = '\0';
    bool nonZeroDigit = false;  // the host's test "digit sum is not 0"
    for (int i = 0; i < kDateTextLength; ++i) {
        const char c = text[i];
        if (c == '-' || c == '/' || c == '.') {
            if ((separator != '\0' && c != separator) || index == 2) return {DateTextFault::layout, 0, false, false};
            separator = c;
            ++index;
        } else if (isDigit(static_cast<unsigned char>(c))) {
            field[index] = field[index] * 10 + (c - '0');
            ++digits[index];
            nonZeroDigit = nonZeroDigit || c != '0';
        } else if (c != ' ') {
            return {DateTextFault::notADate, 0, false, false};
        }
    }
    // Each layout assembles its date only after its checks, which leave at
    // most 8 digits in all: no int32 overflows.  A field of 9 or 10 digits
    // only ever meets a refusal; its conversion is modular (C++20).
    const auto f1 = static_cast<std::int32_t>(field[0]);
    const auto f2 = static_cast<std::int32_t>(field[1]);
    const auto f3 = static_cast<std::int32_t>(field[2]);
    switch (separator) {
    case '-':
        if (f1 == 0 || f2 == 0 || f3 == 0) return {DateTextFault::notADate, 0, false, false};
        if (digits[0] != 4) return {DateTextFault::layout, 0, false, false};
        return {DateTextFault::none, f1 * 10000 + f2 * 100 + f3, false, false};
    case '.':
        if (f1 == 0 || f2 == 0 || f3 == 0) return {DateTextFault::notADate, 0, false, false};
        if (digits[2] != 4) return {DateTextFault::layout, 0, false, false};
        return {DateTextFault::none, f3 * 10000 + f2 * 100 + f1, false, false};
    case '/':
        if (f1 == 0 || f2 == 0) return {DateTextFault::notADate, 0, false, false};
        if (digits[2] != 4 && digits[2] != 2) return {DateTextFault::layout, 0, false, false};
        return {DateTextFault::none, f3 * 10000 + f1 * 100 + f2, false, digits[2] == 2};
    default:
        if (nonZeroDigit && digits[0] != 7) return {DateTextFault::layout, 0, false, false};
        return {DateTextFault::none, f1, true, false};
    }
}

}  // namespace qmr
