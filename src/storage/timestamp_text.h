// Timestamps between the internal text yyyymmddhhmmssffffff and the W and O
// forms, and the internal text written in the M form.
//
//   W  YYYY-MM-DD-hh.mm.ss.ffffff   no terminator   microseconds kept
//   O  YYYY-MM-DDhh.mm.ss           NUL at 18       whole seconds
//   M  MM/DD/YYYY hh:mm:ss:fff      NUL at 23       milliseconds (written only)
//
// Characters are copied as they stand; nothing is computed.  Readers write
// the 20 internal characters and a NUL; the text 0001-01-01 00:00:00 (with
// no microseconds) reads as twenty '0', the null timestamp.  Writers write
// the null date 00000000 as 0001-01-01 (W, O) or 01/01/1753 (M), the time
// unchanged, and read only the internal characters their form keeps.
#pragma once

#include <algorithm>
#include <cstddef>

#include "storage/date_time_text.h"
#include "storage/picture.h"

namespace qmr::storage {

inline constexpr char kStampDigits[] = "YYYYMMDDhhmmssffffff";
inline constexpr Picture kWStamp = picture("YYYY-MM-DD-hh.mm.ss.ffffff", kStampDigits);
inline constexpr Picture kOStamp = picture("YYYY-MM-DDhh.mm.ss", kStampDigits);
inline constexpr Picture kMStamp = picture("MM/DD/YYYY hh:mm:ss:fff", kStampDigits);
inline constexpr Picture kMStampDate = picture("MM/DD/YYYY", kStampDigits);

constexpr std::size_t kStampLength = 20;  // followed by a NUL when a reader writes it
inline constexpr char kNullStamp[] = "00000000000000000000";
inline constexpr char kWNullStampText[] = "00010101000000000000";  // as the W and O readers gather it

template <const Picture& Text>
constexpr void readStamp(const char* text, char* stamp) noexcept {
    char digits[kStampLength + 1] = "00000000000000000000";  // the O form leaves microseconds 000000
    gather<Text>(text, digits);
    if (std::equal(digits, digits + kStampLength, kWNullStampText)) copyChars<kStampLength>(kNullStamp, digits);
    copyChars<kStampLength + 1>(digits, stamp);
}

// The null date is written over the date part of the text, in each form
// its first ten characters: the W date layout, and the M one with '/'.
template <const Picture& Text, const Picture& DatePart, const char (&NullDate)[9]>
constexpr void writeStamp(const char* stamp, char* text) noexcept {
    scatter<Text>(stamp, text);
    if (std::equal(stamp, stamp + 8, kNullStamp)) scatter<DatePart>(NullDate, text);
}

constexpr void readWStamp(const char* text, char* stamp) noexcept { readStamp<kWStamp>(text, stamp); }
constexpr void readOStamp(const char* text, char* stamp) noexcept { readStamp<kOStamp>(text, stamp); }

constexpr void writeWStamp(const char* stamp, char* text) noexcept { writeStamp<kWStamp, kWDate, kWNullDate>(stamp, text); }
constexpr void writeOStamp(const char* stamp, char* text) noexcept {
    writeStamp<kOStamp, kWDate, kWNullDate>(stamp, text);
    text[kOStamp.length] = '\0';
}
constexpr void writeMStamp(const char* stamp, char* text) noexcept {
    writeStamp<kMStamp, kMStampDate, kMNullDate>(stamp, text);
    text[kMStamp.length] = '\0';
}

static_assert(kWStamp.length == 26 && kWStamp.internalLength == 20);
static_assert(kOStamp.length == 18 && kOStamp.internalLength == 14);
static_assert(kMStamp.length == 23 && kMStamp.internalLength == 17);

}  // namespace qmr::storage
