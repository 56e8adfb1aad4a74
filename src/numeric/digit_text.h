// The 15-digit text of a number's whole part, as QMRFCHR delivers it:
// floor(|number|) in decimal, zero-padded on the left to 15 digits, with
// no sign, no point and no terminator.  Byte for byte what "%015.0f"
// prints for floor(|number|) whenever that has at most 15 digits.
#pragma once

namespace qmr {

constexpr int kDigitTextSize = 15;

// Writes the 15 digits and returns true; returns false and writes nothing
// when the whole part has 16 digits or more, or the number is an infinity
// or a NaN.
bool wholePartDigits(double number, char* out) noexcept;

}  // namespace qmr
