// Decimal text in the forms the host's records use.
//
// Reading: a slice of text is read as a decimal integer the way a 32-bit
// `strtol` reads it: leading white space, one optional sign, digits up to
// the first non-digit, no digits giving 0, and a value beyond the int32
// range saturating.  Only the bytes inside the slice are looked at, so an
// unterminated field is never read past its end.
//
// Writing: byte-for-byte what printf gives for "%0Wd" and "%0W.Pd" on a
// 32-bit value, without printf, locale or allocation; digits go out two
// at a time from one table of the pairs "00".."99".
//
// Checking: whether characters are ASCII digits, one at a time or eight
// at a time in a word, the first character in the low byte (the storage
// readers' test of a whole field or layout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

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

inline constexpr auto kDigitPairs = [] {  // "00", "01", ..., "99"
    struct {
        char text[200];
    } pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs.text[2 * i] = static_cast<char>('0' + i / 10);
        pairs.text[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The last `count` digits of `value`, zero-padded: what "%0<count>u"
// gives for a value below 10^count.
constexpr void putDigits(char* out, std::uint32_t value, int count) noexcept {
    for (; count >= 2; count -= 2, value /= 100) {
        if (std::is_constant_evaluated()) {
            out[count - 2] = kDigitPairs.text[2 * (value % 100)];
            out[count - 1] = kDigitPairs.text[2 * (value % 100) + 1];
        } else {
            std::memcpy(out + count - 2, kDigitPairs.text + 2 * (value % 100), 2);
        }
    }
    if (count == 1) out[0] = static_cast<char>('0' + value % 10);
}

inline constexpr std::uint32_t kPowersOf10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The first `width` (1..8) characters of printf("%0<width>d", value), or
// of printf("%0<width>.<width>d", value) when `precision` is set (the
// dates' "%08.8ld").  Inside 0..10^width - 1 that is the value's digits;
// any other value keeps the leading characters of its longer text
// ("-0000000" for the date -5, "123456" for the time 1234567), so the
// field is never overrun.
constexpr void putLeading(char* out, std::int32_t value, int width, bool precision = false) noexcept {
    if (static_cast<std::uint32_t>(value) < kPowersOf10[width]) {
        putDigits(out, static_cast<std::uint32_t>(value), width);
        return;
    }
    char text[12] = {};  // formatDecimal needs 11
    formatDecimal(text, value, width, precision ? width : -1);
    for (int i = 0; i < width; ++i) out[i] = text[i];
}

// Bit 7 set in every byte of `word` that is not an ASCII digit, the other
// bits clear.  A byte that is no digit may also flag the byte above it
// (a carry), never the other way round: a word of digits alone gives 0.
constexpr std::uint64_t nonDigitBytes(std::uint64_t word) noexcept {
    constexpr std::uint64_t kZeros = 0x3030303030303030, kTenUp = 0x7676767676767676, kHigh = 0x8080808080808080;
    const std::uint64_t t = word ^ kZeros;  // a digit becomes 0..9
    return ((t + kTenUp) | t) & kHigh;      // 10 or more reaches bit 7
}

}  // namespace qmr
