// Reading a 17-byte numeric text (QMRFNUM).
//
// The text is blank-padded on the right.  Only the bytes up to the last
// non-blank are scanned (the first byte alone when all are blanks):
//   - a blank before the first digit is skipped, one after a digit is an
//     error;
//   - one sign, "+" or "-", before any digit and any separator;
//   - one decimal separator, "." or ",", anywhere;
//   - digits, leading zeros counting among them;
//   - any other byte (a NUL, punctuation, a letter, a byte of 128 and
//     above) is an error.
// A text that breaks these rules is not a number; otherwise more than 15
// digits are too many.  The value is the digits with the sign applied and
// those after the separator as the fraction, correctly rounded to the
// nearest double as strtod rounds it.  No digits at all is zero.
#pragma once

#include <cstdint>

namespace qmr {

constexpr int kNumericTextSize = 17;
constexpr int kNumericTextDigits = 15;

enum class NumericTextStatus : std::uint8_t { number, notNumber, tooManyDigits };

struct NumericText {
    NumericTextStatus status;
    double value;  // 0 unless status is number
};

NumericText readNumericText(const unsigned char* text) noexcept;

}  // namespace qmr
