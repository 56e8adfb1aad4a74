// Fixed-width digit fields of the storage texts.
//
// Writing: a field of `Width` characters receives the first `Width`
// characters of what printf gives for "%0<Width>d" (or "%0<Width>.<Width>d",
// the dates' "%08.8ld").  Inside 0..10^Width - 1 that is the value's digits;
// any other value keeps the leading characters of the formatted text
// ("-0000000" for the date -5 under "%08.8ld", "123456" for the time
// 1234567 under "%06ld"), so the field is never overrun.
//
// Reading: an assembled field is read as a 32-bit strtol reads it; a field
// of digits only, the common case, is summed directly.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "frame/digits.h"

namespace qmr::storage {

inline constexpr std::uint32_t kPowerOf10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

template <int Width, int Precision = -1>
constexpr void putLeading(char* out, std::int32_t value) noexcept {
    static_assert(1 <= Width && Width <= 8);
    static_assert(Precision == -1 || Precision == Width, "the formatted text must be at least Width long");
    if (auto v = static_cast<std::uint32_t>(value); v < kPowerOf10[Width]) {
        for (int i = Width - 1; i >= 0; --i, v /= 10) out[i] = static_cast<char>('0' + v % 10);
        return;
    }
    char text[12] = {};  // formatDecimal needs 11
    formatDecimal(text, value, Width, Precision);
    std::copy_n(text, Width, out);
}

template <std::size_t N>
constexpr std::int32_t readField(const char* field) noexcept {
    static_assert(N <= 9, "nine digits and more could leave the int32 range");
    std::uint32_t value = 0;  // [0, 10^N)
    for (std::size_t i = 0; i < N; ++i) {
        const unsigned digit = static_cast<unsigned char>(field[i]) - unsigned{'0'};
        if (digit > 9) return readDecimal(field, N);
        value = value * 10 + digit;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace qmr::storage
