// The M and Y forms' readers of timestamp texts with a twelve-hour clock
// (layouts in twelve_hour_layout.h).
//
// The result is the internal text yyyymmddhhmmssffffff and a NUL: month,
// day, hour, minute and second as two digits, milliseconds as three,
// microseconds 17..19 "000", the year copied as it stands.  A number at a
// position is read as strtol reads it, but only within the layout's text.
// A number outside 0..99 (0..999 for milliseconds) keeps the leading
// characters of its "%02d" ("%03d") text.  In layout 3 a month name that
// is none of the twelve leaves result positions 4..5 as they were.
//
// The two readers differ in layout 3 and in the null rule:
//   hour      M adds 12 for PM unless the hour is 12; Y only to hours 1..11
//   millis    M reads a number at 21; Y copies characters 21..23
//   null      M: any time on 1753-01-01 is the null timestamp;
//             Y: only 1753-01-01 00:00:00.000000 is
//
// A text whose numbers are all plain digits, as the interfaces deliver
// them, takes a path on which every field is one load.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "frame/digits.h"
#include "frame/wrap32.h"
#include "storage/digit_word.h"
#include "storage/fixed_digits.h"
#include "storage/timestamp_text.h"
#include "storage/twelve_hour_layout.h"

// Layout 3 and the general path of every layout are kept out of line: the
// plain path of layouts 1 and 2 then has the registers to itself.
#if defined(__GNUC__)
#define QMR_NOINLINE __attribute__((noinline))
#define QMR_OUT_OF_LINE __attribute__((noinline, cold))
#else
#define QMR_NOINLINE
#define QMR_OUT_OF_LINE
#endif

namespace qmr::storage {

enum class TwelveHourReader { M, Y };

inline constexpr char kMonthNames[] = "JanFebMarAprMayJunJulAugSepOctNovDec";  // case matters

// 1 to 12, or 0 when the three characters name no month.
constexpr int monthOfName(const char* name) noexcept {
    for (int n = 0; n < 12; ++n) {
        if (std::equal(name, name + 3, kMonthNames + 3 * n)) return n + 1;
    }
    return 0;
}

template <const TwelveHourLayout& L>
constexpr bool markerIs(const char* text, const char (&marker)[3]) noexcept {
    return std::equal(marker, marker + L.markerWidth, text + L.marker);
}

// Layout 3: the hour as read, moved by the marker.
constexpr std::int32_t layout3Hour(std::int32_t hour, bool am, bool pm, TwelveHourReader reader) noexcept {
    const bool morningHour = hour >= 1 && hour <= 11;
    if (pm && (reader == TwelveHourReader::M ? hour != 12 : morningHour)) return wrapAdd(hour, 12);
    if (am && hour == 12) return 0;
    return hour;
}

constexpr DigitWord pairOf(std::uint32_t value) noexcept { return loadWord<2>(kDigitPairs.text + 2 * value); }  // [0, 99]

template <std::size_t Width>
constexpr DigitWord formatted(std::int32_t value) noexcept {
    if (Width == 2 && static_cast<std::uint32_t>(value) < 100) return pairOf(static_cast<std::uint32_t>(value));
    char text[Width] = {};
    putLeading<Width>(text, value);
    return loadWord<Width>(text);
}

// Whether the number at f is exactly f.width digits.
template <const TwelveHourLayout& L>
constexpr bool plainNumber(const char* text, NumberField f) noexcept {
    for (std::size_t k = 0; k < f.width; ++k) {
        if (!isDigit(static_cast<unsigned char>(text[f.at + k]))) return false;
    }
    return f.at + f.width == L.length || !isDigit(static_cast<unsigned char>(text[f.at + f.width]));
}

constexpr std::uint32_t twoDigits(const char* text) noexcept {  // [0, 99]
    return static_cast<std::uint32_t>((text[0] - '0') * 10 + (text[1] - '0'));
}

template <const TwelveHourLayout& L, bool Plain>
constexpr std::int32_t numberAt(const char* text, NumberField f) noexcept {
    if (Plain || plainNumber<L>(text, f)) return static_cast<std::int32_t>(twoDigits(text + f.at));
    return readDecimal(text + f.at, L.length - f.at);
}

// The number as f.width result characters: a plain number's own digits
// are what "%02d" ("%03d") gives for it.
template <const TwelveHourLayout& L, bool Plain, std::size_t Width>
constexpr DigitWord numberField(const char* text, NumberField f) noexcept {
    if (Plain || plainNumber<L>(text, f)) return loadWord<Width>(text + f.at);
    return formatted<Width>(readDecimal(text + f.at, L.length - f.at));
}

// Result characters of the plain hours 00..99: with AM (12 is 00), then
// without (12 added below 12).
inline constexpr auto kMarkedHours = [] {
    struct {
        char text[400];
    } hours{};
    for (std::uint32_t h = 0; h < 100; ++h) {
        const std::uint32_t morning = h == 12 ? 0 : h, afternoon = h < 12 ? h + 12 : h;
        storeWord<2>(hours.text + 2 * h, pairOf(morning));
        storeWord<2>(hours.text + 200 + 2 * h, pairOf(afternoon));
    }
    return hours;
}();

// Layouts 1 and 2: with an AM marker the hour characters are copied, 12
// becoming 00 and a leading blank 0; anything else is afternoon.
template <const TwelveHourLayout& L, bool Plain>
constexpr DigitWord markedHour(const char* text) noexcept {
    const bool am = markerIs<L>(text, "AM");
    const char* h = text + L.hour.at;
    if constexpr (Plain) {  // a lookup, not a branch: the marker is as likely one way as the other
        return loadWord<2>(kMarkedHours.text + 2 * (am ? 0 : 100) + 2 * twoDigits(h));
    } else if (!am) {
        const std::int32_t value = numberAt<L, false>(text, L.hour);
        return formatted<2>(value < 12 ? value + 12 : value);
    } else if (h[0] == '1' && h[1] == '2') {
        return wordOf("00");
    } else {
        return byteAt(h[0] == ' ' ? '0' : h[0], 0) | byteAt(h[1], 1);
    }
}

// One layout, its positions known at compile time.  The result is composed
// in registers (the date, the time up to the second millisecond digit, the
// last digit) and stored once; the null rule looks at the composed words.
template <const TwelveHourLayout& L, TwelveHourReader Reader, bool Plain>
constexpr void readLayout(const char* text, char* stamp) noexcept {
    bool monthWritten = true;
    DigitWord month = 0;
    if constexpr (!L.monthName) {
        month = numberField<L, Plain, 2>(text, L.month);
    } else if (const int n = monthOfName(text); n != 0) {
        month = formatted<2>(n);
    } else {
        monthWritten = false;  // the null rule sees what the positions hold
        month = loadWord<2>(stamp + 4);
    }
    const DigitWord year = loadWord<4>(text + L.year);
    const DigitWord day = numberField<L, Plain, 2>(text, L.day);
    const DigitWord date = year | month << 32 | day << 48;

    DigitWord hour = 0;
    if constexpr (L.monthName) {
        hour = formatted<2>(layout3Hour(numberAt<L, Plain>(text, L.hour), markerIs<L>(text, "AM"),
                                        markerIs<L>(text, "PM"), Reader));
    } else {
        hour = markedHour<L, Plain>(text);
    }
    const DigitWord minute = numberField<L, Plain, 2>(text, L.minute);
    const DigitWord second = numberField<L, Plain, 2>(text, L.second);
    const DigitWord millis = L.monthName && Reader == TwelveHourReader::Y
                                 ? loadWord<3>(text + L.millis.at)
                                 : numberField<L, Plain, 3>(text, L.millis);
    const DigitWord time = hour | minute << 16 | second << 32 | millis << 48;  // to the second millisecond digit
    const char lastMilli = static_cast<char>(millis >> 16);

    const bool midnight = time == wordOf("00000000") && lastMilli == '0';
    if (date == wordOf("17530101") && (Reader == TwelveHourReader::M || midnight)) {
        copyChars<kStampLength + 1>(kNullStamp, stamp);
        return;
    }
    if (monthWritten) {
        storeWord<8>(stamp, date);
    } else {
        storeWord<4>(stamp, year);
        storeWord<2>(stamp + 6, day);
    }
    storeWord<8>(stamp + 8, time);
    stamp[16] = lastMilli;
    copyChars<4>("000", stamp + 17);  // and the NUL
}

// Texts with blanks, signs or other characters inside their numbers.
template <const TwelveHourLayout& L, TwelveHourReader Reader>
QMR_OUT_OF_LINE void readGeneral(const char* text, char* stamp) noexcept {
    readLayout<L, Reader, false>(text, stamp);
}

template <const TwelveHourLayout& L, TwelveHourReader Reader>
inline void readLayout(const char* text, char* stamp) noexcept {
    if (allPlain<L>(text)) {
        readLayout<L, Reader, true>(text, stamp);
    } else {
        readGeneral<L, Reader>(text, stamp);
    }
}

template <TwelveHourReader Reader>
QMR_NOINLINE void readLayout3(const char* text, char* stamp) noexcept {
    readLayout<kLayout3, Reader>(text, stamp);
}

template <TwelveHourReader Reader>
inline void readTwelveHourStamp(const char* text, char* stamp) noexcept {
    if (text[0] != '0' && text[0] != '1') {
        readLayout3<Reader>(text, stamp);
    } else if (text[24] == 'A' || text[24] == 'P') {
        readLayout<kLayout1, Reader>(text, stamp);
    } else {
        readLayout<kLayout2, Reader>(text, stamp);
    }
}

}  // namespace qmr::storage
