// Fixed-width digit fields written as printf writes them.
//
// A field of `Width` characters receives the first `Width`
// characters of what printf gives for "%0<Width>d" (or "%0<Width>.<Width>d",
// the dates' "%08.8ld").  Inside 0..10^Width - 1 that is the value's digits;
// any other value keeps the leading characters of the formatted text
// ("-0000000" for the date -5 under "%08.8ld", "123456" for the time
// 1234567 under "%06ld"), so the field is never overrun.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "frame/digits.h"

namespace qmr::storage {

// N characters, copied with moves of fixed width: GCC leaves std::copy_n
// of 3 or 6 characters to a call of memmove.
template <std::size_t N>
constexpr void copyChars(const char* from, char* to) noexcept {
    if (std::is_constant_evaluated()) {
        for (std::size_t i = 0; i < N; ++i) to[i] = from[i];
    } else {
        std::memcpy(to, from, N);
    }
}

inline constexpr std::uint32_t kPowerOf10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

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

template <int Width, int Precision = -1>
constexpr void putLeading(char* out, std::int32_t value) noexcept {
    static_assert(1 <= Width && Width <= 8);
    static_assert(Precision == -1 || Precision == Width, "the formatted text must be at least Width long");
    if (auto v = static_cast<std::uint32_t>(value); v < kPowerOf10[Width]) {
        int end = Width;
        for (; end >= 2; end -= 2, v /= 100) copyChars<2>(kDigitPairs.text + 2 * (v % 100), out + end - 2);
        if (end == 1) out[0] = static_cast<char>('0' + v);
        return;
    }
    char text[12] = {};  // formatDecimal needs 11
    formatDecimal(text, value, Width, Precision);
    copyChars<Width>(text, out);
}

}  // namespace qmr::storage
