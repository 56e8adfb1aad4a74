// Up to eight characters of a storage text as one 64-bit word, the first
// character in the low byte.  A field assembled from several runs of a
// text, or from several numbers, stays in a register instead of passing
// through memory (a narrow store read back wide cannot be forwarded), is
// compared with one instruction, and, when it is all digits (the common
// case), converted with three multiplications; any other field is read as
// a 32-bit strtol reads it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "frame/digits.h"

namespace qmr::storage {

using DigitWord = std::uint64_t;  // characters 0..7 in bytes 0..7

constexpr DigitWord byteAt(char c, std::size_t index) noexcept {
    return DigitWord{static_cast<unsigned char>(c)} << (8 * index);
}

// An unsigned integer of exactly N bytes, N a power of two.
template <std::size_t N>
using Bytes = std::conditional_t<N == 1, std::uint8_t,
              std::conditional_t<N == 2, std::uint16_t, std::conditional_t<N == 4, std::uint32_t, std::uint64_t>>>;

// N characters to and from the low N bytes of a word.  On little-endian
// hosts each is a load or store of a power-of-two width (3 is 2 + 1, 6 is
// 4 + 2), never a narrow store read back wide, which processors cannot
// forward.
template <std::size_t N>
constexpr DigitWord loadWord(const char* text) noexcept {
    static_assert(1 <= N && N <= 8);
    if (std::is_constant_evaluated() || std::endian::native != std::endian::little) {
        DigitWord word = 0;
        for (std::size_t i = 0; i < N; ++i) word |= byteAt(text[i], i);
        return word;
    } else if constexpr (std::has_single_bit(N)) {
        Bytes<N> bytes;
        std::memcpy(&bytes, text, N);
        return bytes;
    } else {
        constexpr std::size_t kLow = std::bit_floor(N);
        return loadWord<kLow>(text) | loadWord<N - kLow>(text + kLow) << (8 * kLow);
    }
}

template <std::size_t N>
constexpr void storeWord(char* text, DigitWord word) noexcept {
    static_assert(1 <= N && N <= 8);
    if (std::is_constant_evaluated() || std::endian::native != std::endian::little) {
        for (std::size_t i = 0; i < N; ++i) text[i] = static_cast<char>(word >> (8 * i));
    } else if constexpr (std::has_single_bit(N)) {
        const auto bytes = static_cast<Bytes<N>>(word);
        std::memcpy(text, &bytes, N);
    } else {
        constexpr std::size_t kLow = std::bit_floor(N);
        storeWord<kLow>(text, word);
        storeWord<N - kLow>(text + kLow, word >> (8 * kLow));
    }
}

template <std::size_t N>
constexpr DigitWord wordOf(const char (&text)[N]) noexcept {
    static_assert(N - 1 <= 8);
    DigitWord word = 0;
    for (std::size_t i = 0; i + 1 < N; ++i) word |= byteAt(text[i], i);
    return word;
}

// The value of a word of eight digits: pairs, then quadruples, then all.
constexpr std::uint32_t valueOfDigits(DigitWord word) noexcept {
    constexpr DigitWord kLowBytes = 0x000000FF000000FF;
    constexpr DigitWord kHundredsAndMillions = 100 + (1000000ULL << 32);
    constexpr DigitWord kOnesAndTenThousands = 1 + (10000ULL << 32);
    word -= 0x3030303030303030;
    word = word * 10 + (word >> 8);  // byte 2k: the pair 2k, 2k+1, [0, 99]
    return static_cast<std::uint32_t>(
        ((word & kLowBytes) * kHundredsAndMillions + ((word >> 16) & kLowBytes) * kOnesAndTenThousands) >> 32);
}

// The first N characters of a word as a 32-bit strtol reads them.
template <std::size_t N>
constexpr std::int32_t readWord(DigitWord word) noexcept {
    static_assert(1 <= N && N <= 8);
    DigitWord padded = word;
    if constexpr (N < 8) padded = word << (8 * (8 - N)) | wordOf("00000000") >> (8 * N);  // leading zeros
    if (nonDigitBytes(padded) == 0) return static_cast<std::int32_t>(valueOfDigits(padded));
    char text[N] = {};
    storeWord<N>(text, word);
    return readDecimal(text, N);
}

}  // namespace qmr::storage
