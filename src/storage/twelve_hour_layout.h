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

#include "frame/digits.h"
#include "storage/digit_word.h"

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
// characters at a time in a word; never beyond the layout's length.  A
// digit flagged by the carry of a non-digit below it only sends a text
// that is not plain anyway down the plain path.
template <const TwelveHourLayout& L>
constexpr bool allPlain(const char* text) noexcept {
    constexpr PlainPattern p = plainPattern(L);
    constexpr std::array<DigitWord, 4> ends = byteFlags(p.ends), looked = byteFlags(p.digits | p.ends);
    DigitWord wrong = 0;
    [&]<std::size_t... K>(std::index_sequence<K...>) {
        constexpr auto width = [](std::size_t k) { return std::min<std::size_t>(8, L.length - 8 * k); };
        ((wrong |= (nonDigitBytes(loadWord<width(K)>(text + 8 * K)) ^ ends[K]) & looked[K]), ...);
    }(std::make_index_sequence<(L.length + 7) / 8>{});
    return wrong == 0;
}

}  // namespace qmr::storage
