// The three layouts of the M and Y forms' timestamp texts, and the test
// that a text holds every number of its layout as plain digits.
//
//   layout 1  "01/15/2001  03:04:05:006PM"  first '0' or '1', 'A' or 'P' at 24
//   layout 2  "01/15/2001 03:04:05:006PM"   first '0' or '1', anything else at 24
//   layout 3  "Jan 15 2001  3:04:05:006PM"  first neither '0' nor '1'
//
// A layout is read within its first `length` characters: 25 for layouts 1
// and 2, whose marker ends at 24, and 26 for layout 3.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "storage/digit_word.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qmr::storage {

struct NumberField {
    std::uint8_t at;
    std::uint8_t width;  // the result characters it fills
};

struct TwelveHourLayout {
    bool monthName;  // layout 3: "Jan".."Dec" at 0..2
    NumberField month, day, hour, minute, second, millis;
    std::uint8_t year;                 // four characters copied
    std::uint8_t marker, markerWidth;  // "AM"/"PM", or only its first letter
    std::uint8_t length;
};
inline constexpr TwelveHourLayout kLayout1{false, {0, 2}, {3, 2}, {12, 2}, {15, 2}, {18, 2}, {21, 3}, 6, 24, 1, 25};
inline constexpr TwelveHourLayout kLayout2{false, {0, 2}, {3, 2}, {11, 2}, {14, 2}, {17, 2}, {20, 3}, 6, 23, 2, 25};
inline constexpr TwelveHourLayout kLayout3{true, {0, 0}, {4, 2}, {12, 2}, {15, 2}, {18, 2}, {21, 3}, 7, 24, 2, 26};

// Positions (bit i for position i) that must hold digits, and those right
// after each number that must not (unless the text ends there).
struct PlainPattern {
    std::uint32_t digits = 0;
    std::uint32_t ends = 0;
};

constexpr PlainPattern plainPattern(const TwelveHourLayout& l) {
    PlainPattern p;
    for (const NumberField& f : {l.month, l.day, l.hour, l.minute, l.second, l.millis}) {
        if (f.width == 0) continue;
        for (std::size_t k = 0; k < f.width; ++k) p.digits |= 1u << (f.at + k);
        if (f.at + f.width < l.length) p.ends |= 1u << (f.at + f.width);
    }
    return p;
}

// Bit 7 set in every byte that is not a digit; the other bits are left
// over.  A byte of 0x80 or more may carry into the byte above and flag a
// digit there too, which only sends such a text down the general path.
constexpr DigitWord nonDigits(DigitWord word) noexcept {
    constexpr DigitWord kZeros = 0x3030303030303030, kTenUp = 0x7676767676767676;
    const DigitWord t = word ^ kZeros;  // a digit becomes 0..9
    return (t + kTenUp) | t;
}

// A position mask as bit 7 of the bytes of words of eight characters.
constexpr std::array<DigitWord, 4> byteFlags(std::uint32_t positions) noexcept {
    std::array<DigitWord, 4> words{};
    for (std::size_t i = 0; i < 32; ++i) {
        if ((positions >> i) & 1) words[i / 8] |= DigitWord{0x80} << (8 * (i % 8));
    }
    return words;
}

// Whether every number of the layout is exactly its width of digits, so
// that the text's own characters are what "%02d" ("%03d") gives.  Eight
// characters at a time in a word; never beyond the layout's length.
template <const TwelveHourLayout& L>
constexpr bool allPlainByWords(const char* text) noexcept {
    constexpr PlainPattern p = plainPattern(L);
    constexpr std::array<DigitWord, 4> ends = byteFlags(p.ends), looked = byteFlags(p.digits | p.ends);
    DigitWord wrong = 0;
    [&]<std::size_t... K>(std::index_sequence<K...>) {
        constexpr auto width = [](std::size_t k) { return std::min<std::size_t>(8, L.length - 8 * k); };
        ((wrong |= (nonDigits(loadWord<width(K)>(text + 8 * K)) ^ ends[K]) & looked[K]), ...);
    }(std::make_index_sequence<(L.length + 7) / 8>{});
    return wrong == 0;
}

#if defined(__SSE2__)
// The same for a layout whose numbers and their ends lie in its first 24
// characters, 16 and 8 at a time.
template <const TwelveHourLayout& L>
inline bool allPlainBySse2(const char* text) noexcept {
    constexpr PlainPattern p = plainPattern(L);
    static_assert((p.digits | p.ends) >> 24 == 0);
    const auto digitBits = [](__m128i bytes) {
        const __m128i t = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));  // a digit becomes 0..9
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(t, _mm_set1_epi8(9)), t)));
    };
    const std::uint32_t digits = digitBits(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text))) |
                                 digitBits(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(text + 16))) << 16;
    return ((digits ^ p.digits) & (p.digits | p.ends)) == 0;
}
#endif

template <const TwelveHourLayout& L>
inline bool allPlain(const char* text) noexcept {
#if defined(__SSE2__)
    if constexpr ((plainPattern(L).digits | plainPattern(L).ends) >> 24 == 0) return allPlainBySse2<L>(text);
#endif
    return allPlainByWords<L>(text);
}

}  // namespace qmr::storage
