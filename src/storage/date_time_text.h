// Dates (yyyymmdd) and times (hhmmss) in the storage texts of the M, Y, W
// and O forms.
//
//   M, Y date  MM-DD-YYYY            NUL at 10     the date 0 is 01-01-1753
//   W date     YYYY-MM-DD            nothing at 10 the date 0 is 0001-01-01
//   M, Y time  hh:mm:ss              NUL at 8
//   W time     hh.mm.ss              nothing at 8
//   O time     0001-01-01hh.mm.ss    NUL at 18     the hour 24 is written 00
//
// Readers look only at the digit positions of their picture, and a text
// holding the null date of its form reads as 0.  Writers write the first
// eight characters of "%08.8ld" (dates) or six of "%06ld" (times), the
// marks, and the terminator where the form has one: nothing else.
// Nothing is validated: a text converts to whatever its digits give.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/digits.h"
#include "storage/digit_word.h"
#include "storage/picture.h"

namespace qmr::storage {

inline constexpr Picture kMDate = picture("MM-DD-YYYY", "YYYYMMDD");
inline constexpr Picture kWDate = picture("YYYY-MM-DD", "YYYYMMDD");
inline constexpr Picture kMTime = picture("hh:mm:ss", "hhmmss");
inline constexpr Picture kWTime = picture("hh.mm.ss", "hhmmss");
inline constexpr Picture kOTime = picture("0001-01-01hh.mm.ss", "hhmmss");

// The null date of each form, as yyyymmdd digits.
inline constexpr char kMNullDate[] = "17530101";
inline constexpr char kWNullDate[] = "00010101";

template <const Picture& Text, const char (&NullDate)[9]>
std::int32_t readDate(const char* text) noexcept {
    const DigitWord digits = gatherWord<Text>(text);
    return digits == wordOf(NullDate) ? 0 : readWord<8>(digits);
}

template <const Picture& Text, const char (&NullDate)[9]>
void writeDate(std::int32_t date, char* text) noexcept {
    char digits[8] = {};
    if (date == 0) {
        std::memcpy(digits, NullDate, 8);
    } else {
        putLeading(digits, date, 8, true);
    }
    scatter<Text>(digits, text);
}

template <const Picture& Text>
std::int32_t readTime(const char* text) noexcept {
    return readWord<6>(gatherWord<Text>(text));
}

template <const Picture& Text>
void writeTime(std::int32_t time, char* text) noexcept {
    char digits[6] = {};
    putLeading(digits, time, 6);
    if (&Text == &kOTime && digits[0] == '2' && digits[1] == '4') digits[0] = digits[1] = '0';
    scatter<Text>(digits, text);
}

inline std::int32_t readMDate(const char* text) noexcept { return readDate<kMDate, kMNullDate>(text); }
inline std::int32_t readWDate(const char* text) noexcept { return readDate<kWDate, kWNullDate>(text); }

inline void writeMDate(std::int32_t date, char* text) noexcept {
    writeDate<kMDate, kMNullDate>(date, text);
    text[kMDate.length] = '\0';
}
inline void writeWDate(std::int32_t date, char* text) noexcept { writeDate<kWDate, kWNullDate>(date, text); }

inline std::int32_t readWTime(const char* text) noexcept { return readTime<kWTime>(text); }
inline std::int32_t readOTime(const char* text) noexcept { return readTime<kOTime>(text); }

inline void writeMTime(std::int32_t time, char* text) noexcept {
    writeTime<kMTime>(time, text);
    text[kMTime.length] = '\0';
}
inline void writeWTime(std::int32_t time, char* text) noexcept { writeTime<kWTime>(time, text); }
inline void writeOTime(std::int32_t time, char* text) noexcept {
    writeTime<kOTime>(time, text);
    text[kOTime.length] = '\0';
}

static_assert(kMDate.length == 10 && kWDate.length == 10 && kOTime.length == 18);

}  // namespace qmr::storage
