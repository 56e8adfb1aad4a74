// Timestamp texts of the M and Y forms as their interfaces deliver them:
// a twelve-hour clock with an AM/PM marker, in one of three layouts told
// apart by the first character and the character at 24.
//
//   layout 1  "01/15/2001  03:04:05:006PM"  first '0' or '1', 'A' or 'P' at 24
//   layout 2  "01/15/2001 03:04:05:006PM"   first '0' or '1', anything else at 24
//   layout 3  "Jan 15 2001  3:04:05:006PM"  first neither '0' nor '1'
//
// The result is the internal text yyyymmddhhmmssffffff and a NUL: month,
// day, hour, minute and second as two digits, milliseconds as three,
// microseconds 17..19 "000", the year copied as it stands.  A number at a
// position is read as strtol reads it, but only within the layout's text:
// layouts 1 and 2 are read within their first 25 characters, layout 3
// within its 26.  A number outside 0..99 (0..999 for milliseconds) keeps
// the leading characters of its "%02d" ("%03d") text.  In layout 3 a month
// name that is none of the twelve leaves result positions 4..5 as they were.
//
// The two readers differ in layout 3 and in the null rule:
//   hour      M adds 12 for PM unless the hour is 12; Y only to hours 1..11
//   millis    M reads a number at 21; Y copies characters 21..23
//   null      M: any time on 1753-01-01 is the null timestamp;
//             Y: only 1753-01-01 00:00:00.000000 is
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "frame/digits.h"
#include "frame/wrap32.h"
#include "storage/fixed_digits.h"
#include "storage/timestamp_text.h"

namespace qmr::storage {

enum class TwelveHourReader { M, Y };

struct TwelveHourLayout {  // positions in the text
    std::uint8_t day, year, hour, minute, second, millis;
    std::uint8_t marker, markerWidth;  // "AM" or "PM", or only its first letter
    std::uint8_t length;               // characters that may be read
};
inline constexpr TwelveHourLayout kLayout1{3, 6, 12, 15, 18, 21, 24, 1, 25};
inline constexpr TwelveHourLayout kLayout2{3, 6, 11, 14, 17, 20, 23, 2, 25};
inline constexpr TwelveHourLayout kLayout3{4, 7, 12, 15, 18, 21, 24, 2, 26};

inline constexpr char kMonthNames[] = "JanFebMarAprMayJunJulAugSepOctNovDec";  // case matters

// 1 to 12, or 0 when the three characters name no month.
constexpr int monthOfName(const char* name) noexcept {
    for (int n = 0; n < 12; ++n) {
        if (std::equal(name, name + 3, kMonthNames + 3 * n)) return n + 1;
    }
    return 0;
}

constexpr bool markerIs(const char* text, const TwelveHourLayout& layout, const char (&marker)[3]) noexcept {
    return std::equal(marker, marker + layout.markerWidth, text + layout.marker);
}

// Layout 3: the hour as read, moved by the marker.
constexpr std::int32_t layout3Hour(std::int32_t hour, bool am, bool pm, TwelveHourReader reader) noexcept {
    const bool morningHour = hour >= 1 && hour <= 11;
    if (pm && (reader == TwelveHourReader::M ? hour != 12 : morningHour)) return wrapAdd(hour, 12);
    if (am && hour == 12) return 0;
    return hour;
}

constexpr void readTwelveHourStamp(const char* text, char* stamp, TwelveHourReader reader) noexcept {
    const bool monthNumber = text[0] == '0' || text[0] == '1';
    const TwelveHourLayout& layout = !monthNumber                           ? kLayout3
                                     : text[24] == 'A' || text[24] == 'P' ? kLayout1
                                                                          : kLayout2;
    const auto numberAt = [&](std::size_t at) { return readDecimal(text + at, layout.length - at); };

    if (monthNumber) {
        putLeading<2>(stamp + 4, numberAt(0));
    } else if (const int month = monthOfName(text); month != 0) {
        putLeading<2>(stamp + 4, month);
    }
    putLeading<2>(stamp + 6, numberAt(layout.day));
    std::copy_n(text + layout.year, 4, stamp);

    const char* hour = text + layout.hour;
    if (!monthNumber) {
        putLeading<2>(stamp + 8, layout3Hour(numberAt(layout.hour), markerIs(text, layout, "AM"),
                                             markerIs(text, layout, "PM"), reader));
    } else if (!markerIs(text, layout, "AM")) {  // no marker counts as afternoon
        const std::int32_t h = numberAt(layout.hour);
        putLeading<2>(stamp + 8, h < 12 ? h + 12 : h);
    } else if (hour[0] == '1' && hour[1] == '2') {
        stamp[8] = stamp[9] = '0';
    } else {
        stamp[8] = hour[0] == ' ' ? '0' : hour[0];
        stamp[9] = hour[1];
    }

    putLeading<2>(stamp + 10, numberAt(layout.minute));
    putLeading<2>(stamp + 12, numberAt(layout.second));
    if (!monthNumber && reader == TwelveHourReader::Y) {
        std::copy_n(text + layout.millis, 3, stamp + 14);
    } else {
        putLeading<3>(stamp + 14, numberAt(layout.millis));
    }
    std::fill_n(stamp + 17, 3, '0');
    stamp[kStampLength] = '\0';

    const bool null = reader == TwelveHourReader::M
                          ? std::equal(kMNullDate, kMNullDate + 8, stamp)
                          : std::equal(kMNullDate, kMNullDate + 8, stamp) && std::equal(stamp + 8, stamp + 20, kNullStamp);
    if (null) std::copy_n(kNullStamp, kStampLength, stamp);
}

}  // namespace qmr::storage
