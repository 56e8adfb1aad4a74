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
// Two paths give the same bytes.  The plain one reads each number and
// writes it again, and takes any text.  A text whose numbers are all
// plain digits, as the interfaces deliver them, takes the fast one: its
// digits are what "%02d" ("%03d") writes, so each field is one load, and
// the result is composed in registers and stored once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/digits.h"
#include "frame/wrap32.h"
#include "storage/digit_word.h"
#include "storage/timestamp_text.h"
#include "storage/twelve_hour_layout.h"

namespace qmr::storage {

enum class TwelveHourReader { M, Y };

inline constexpr char kMonthNames[] = "JanFebMarAprMayJunJulAugSepOctNovDec";  // case matters

// 1 to 12, or 0 when the three characters name no month.
inline int monthOfName(const char* name) noexcept {
    for (int n = 0; n < 12; ++n) {
        if (std::memcmp(name, kMonthNames + 3 * n, 3) == 0) return n + 1;
    }
    return 0;
}

template <const TwelveHourLayout& L>
bool markerIs(const char* text, const char (&marker)[3]) noexcept {
    return std::memcmp(text + L.marker, marker, L.markerWidth) == 0;
}

// Layout 3: the hour as read, moved by the marker.
constexpr std::int32_t layout3Hour(std::int32_t hour, bool am, bool pm, TwelveHourReader reader) noexcept {
    const bool morningHour = hour >= 1 && hour <= 11;
    if (pm && (reader == TwelveHourReader::M ? hour != 12 : morningHour)) return wrapAdd(hour, 12);
    if (am && hour == 12) return 0;
    return hour;
}

// ---- the plain path ----------------------------------------------------

template <const TwelveHourLayout& L>
std::int32_t numberAt(const char* text, NumberField f) noexcept {
    return readDecimal(text + f.at, L.length - f.at);
}

template <const TwelveHourLayout& L>
void putNumber(char* out, const char* text, NumberField f) noexcept {
    putLeading(out, numberAt<L>(text, f), f.width);
}

// Layout 3: the hour as read, moved by its marker.  Layouts 1 and 2: with
// an AM marker the hour characters are copied, 12 becoming 00 and a
// leading blank 0; anything else is afternoon, 12 added below 12.
template <const TwelveHourLayout& L, TwelveHourReader Reader>
void putHour(char* out, const char* text) noexcept {
    const std::int32_t hour = numberAt<L>(text, L.hour);
    const char* h = text + L.hour.at;
    if constexpr (L.monthName) {
        putLeading(out, layout3Hour(hour, markerIs<L>(text, "AM"), markerIs<L>(text, "PM"), Reader), 2);
    } else if (!markerIs<L>(text, "AM")) {
        putLeading(out, hour < 12 ? hour + 12 : hour, 2);
    } else if (h[0] == '1' && h[1] == '2') {
        std::memcpy(out, "00", 2);
    } else {
        out[0] = h[0] == ' ' ? '0' : h[0];
        out[1] = h[1];
    }
}

// The result is composed whole before the stamp is written, so that a
// stamp laid over its own text still receives the text's characters.
template <const TwelveHourLayout& L, TwelveHourReader Reader>
void readPlain(const char* text, char* stamp) noexcept {
    char r[kStampLength + 1];
    std::memcpy(r, text + L.year, 4);
    std::memcpy(r + 4, stamp + 4, 2);  // kept when a month name is none of the twelve
    if constexpr (!L.monthName) {
        putNumber<L>(r + 4, text, L.month);
    } else if (const int n = monthOfName(text); n != 0) {
        putDigits(r + 4, static_cast<std::uint32_t>(n), 2);
    }
    putNumber<L>(r + 6, text, L.day);
    putHour<L, Reader>(r + 8, text);
    putNumber<L>(r + 10, text, L.minute);
    putNumber<L>(r + 12, text, L.second);
    if (L.monthName && Reader == TwelveHourReader::Y) {
        std::memcpy(r + 14, text + L.millis.at, 3);
    } else {
        putNumber<L>(r + 14, text, L.millis);
    }
    std::memcpy(r + 17, "000", 4);  // and the NUL
    const bool null = Reader == TwelveHourReader::M ? std::memcmp(r, "17530101", 8) == 0
                                                    : std::memcmp(r, "17530101000000000000", kStampLength) == 0;
    std::memcpy(stamp, null ? kNullStamp : r, kStampLength + 1);
}

// ---- the fast path, for texts whose numbers are all plain digits -------

constexpr DigitWord pairOf(std::uint32_t value) noexcept { return loadWord<2>(kDigitPairs.text + 2 * value); }  // [0, 99]

constexpr std::uint32_t twoDigits(const char* text) noexcept {  // [0, 99]
    return static_cast<std::uint32_t>((text[0] - '0') * 10 + (text[1] - '0'));
}

// Result characters of the plain hours 00..99 of layouts 1 and 2: with AM
// (12 is 00), then without (12 added below 12).  A lookup, not a branch:
// the marker is as likely one way as the other.
inline constexpr auto kMarkedHours = [] {
    struct {
        char text[400];
    } hours{};
    for (std::uint32_t h = 0; h < 100; ++h) {
        const std::uint32_t morning = h == 12 ? 0 : h, afternoon = h < 12 ? h + 12 : h;
        putDigits(hours.text + 2 * h, morning, 2);
        putDigits(hours.text + 200 + 2 * h, afternoon, 2);
    }
    return hours;
}();

// The date, the time up to the second millisecond digit and the last
// digit are composed as words and stored once; the null rule looks at
// the composed words.  All of the text is read before the stamp is
// written.
template <const TwelveHourLayout& L, TwelveHourReader Reader>
void readFast(const char* text, char* stamp) noexcept {
    bool monthWritten = true;
    DigitWord month = 0;
    if constexpr (!L.monthName) {
        month = loadWord<2>(text + L.month.at);
    } else if (const int n = monthOfName(text); n != 0) {
        month = pairOf(static_cast<std::uint32_t>(n));
    } else {
        monthWritten = false;  // the null rule sees what the positions hold
        month = loadWord<2>(stamp + 4);
    }
    const DigitWord year = loadWord<4>(text + L.year);
    const DigitWord date = year | month << 32 | loadWord<2>(text + L.day.at) << 48;

    const std::uint32_t h = twoDigits(text + L.hour.at);
    DigitWord hour = 0;
    if constexpr (L.monthName) {
        char digits[2];
        putLeading(digits, layout3Hour(static_cast<std::int32_t>(h), markerIs<L>(text, "AM"), markerIs<L>(text, "PM"),
                                       Reader), 2);
        hour = loadWord<2>(digits);
    } else {
        hour = loadWord<2>(kMarkedHours.text + 2 * (markerIs<L>(text, "AM") ? 0 : 100) + 2 * h);
    }
    const DigitWord millis = loadWord<3>(text + L.millis.at);  // the same digits when copied
    const DigitWord time = hour | loadWord<2>(text + L.minute.at) << 16 | loadWord<2>(text + L.second.at) << 32 |
                           millis << 48;  // to the second millisecond digit
    const char lastMilli = static_cast<char>(millis >> 16);

    const bool midnight = time == wordOf("00000000") && lastMilli == '0';
    if (date == wordOf("17530101") && (Reader == TwelveHourReader::M || midnight)) {
        std::memcpy(stamp, kNullStamp, kStampLength + 1);
        return;
    }
    if (monthWritten) {
        storeWord<8>(stamp, date);
    } else {
        storeWord<4>(stamp, year);
        storeWord<2>(stamp + 6, date >> 48);
    }
    storeWord<8>(stamp + 8, time);
    stamp[16] = lastMilli;
    std::memcpy(stamp + 17, "000", 4);  // and the NUL
}

template <const TwelveHourLayout& L, TwelveHourReader Reader>
void readLayout(const char* text, char* stamp, bool fast) noexcept {
    if (fast && allPlain<L>(text)) {
        readFast<L, Reader>(text, stamp);
    } else {
        readPlain<L, Reader>(text, stamp);
    }
}

// `fast` false reads every text on the plain path, which the fast one is
// checked against.
template <TwelveHourReader Reader>
void readTwelveHourStamp(const char* text, char* stamp, bool fast = true) noexcept {
    if (text[0] != '0' && text[0] != '1') {
        readLayout<kLayout3, Reader>(text, stamp, fast);
    } else if (text[24] == 'A' || text[24] == 'P') {
        readLayout<kLayout1, Reader>(text, stamp, fast);
    } else {
        readLayout<kLayout2, Reader>(text, stamp, fast);
    }
}

inline void readMStamp(const char* text, char* stamp) noexcept { readTwelveHourStamp<TwelveHourReader::M>(text, stamp); }
inline void readYStamp(const char* text, char* stamp) noexcept { readTwelveHourStamp<TwelveHourReader::Y>(text, stamp); }

}  // namespace qmr::storage
