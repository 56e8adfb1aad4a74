// Decimal text in the forms the host's records use.
//
// Reading: a slice of text is read as a decimal integer the way a 32-bit
// `strtol` reads it: leading white space, one optional sign, digits up to
// the first non-digit, no digits giving 0, and a value beyond the int32
// range saturating.  Only the bytes inside the slice are looked at, so an
// unterminated field is never read past its end.
//
// Writing: byte-for-byte what printf gives for "%0Wd" and "%0W.Pd" on a
// 32-bit value, without printf, locale or allocation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qmr {

constexpr bool isDigit(unsigned char c) noexcept { return unsigned(c - '0') <= 9; }

// The C locale's white space: blank, \t, \n, \v, \f, \r.
constexpr bool isCSpace(unsigned char c) noexcept { return c == ' ' || unsigned(c - '\t') <= '\r' - '\t'; }

constexpr std::int32_t readDecimal(const char* text, std::size_t length) noexcept {
    std::size_t i = 0;
    while (i < length && isCSpace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t magnitude = 0;  // [0, 2^31], saturated
    for (; i < length && isDigit(static_cast<unsigned char>(text[i])); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{INT32_MAX} + 1) magnitude = std::int64_t{INT32_MAX} + 1;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

// Digits of |value| into the end of a 10-byte scratch; returns the count.
constexpr int unsignedDigits(std::uint32_t magnitude, char* scratchEnd) noexcept {
    int count = 0;
    do {
        *--scratchEnd = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        ++count;
    } while (magnitude != 0);
    return count;
}

// printf("%0*.*d", width, precision, value) when precision >= 0 (the 0 flag
// is then ignored and the width pads with blanks); printf("%0*d", width,
// value) when precision < 0.  `out` needs max(width, precision + 1, 11)
// bytes; no terminator is written.  Returns the number of characters.
constexpr int formatDecimal(char* out, std::int32_t value, int width, int precision = -1) noexcept {
    const bool negative = value < 0;
    const std::uint32_t magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    char scratch[10] = {};
    const int digitCount = unsignedDigits(magnitude, scratch + 10);
    int zeros = 0;
    int blanks = 0;
    const int signWidth = negative ? 1 : 0;
    if (precision >= 0) {
        zeros = precision > digitCount ? precision - digitCount : 0;
        const int body = signWidth + zeros + digitCount;
        blanks = width > body ? width - body : 0;
    } else {
        const int body = signWidth + digitCount;
        zeros = width > body ? width - body : 0;
    }
    int n = 0;
    while (blanks-- > 0) out[n++] = ' ';
    if (negative) out[n++] = '-';
    while (zeros-- > 0) out[n++] = '0';
    for (int i = 10 - digitCount; i < 10; ++i) out[n++] = scratch[i];
    return n;
}

// Two digits of a value known to be in [0, 99].
constexpr void putTwoDigits(char* out, unsigned value) noexcept {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
}

}  // namespace qmr
