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

#include <cstddef>
#include <cstring>

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

// The whole text is gathered before the stamp is written, so that a
// stamp laid over its own text still receives the text's characters.
template <const Picture& Text>
void readStamp(const char* text, char* stamp) noexcept {
    char digits[kStampLength + 1] = "00000000000000000000";  // the O form leaves microseconds 000000
    gather<Text>(text, digits);
    if (std::memcmp(digits, "00010101000000000000", kStampLength) == 0) std::memcpy(digits, kNullStamp, kStampLength);
    std::memcpy(stamp, digits, kStampLength + 1);
}

// The null date is written over the date part of the text, in each form
// its first ten characters: the W date layout, and the M one with '/'.
// The stamp's date is looked at before anything is written.
template <const Picture& Text, const Picture& DatePart, const char (&NullDate)[9]>
void writeStamp(const char* stamp, char* text) noexcept {
    const bool nullDate = std::memcmp(stamp, kNullStamp, 8) == 0;
    scatter<Text>(stamp, text);
    if (nullDate) scatter<DatePart>(NullDate, text);
}

inline void readWStamp(const char* text, char* stamp) noexcept { readStamp<kWStamp>(text, stamp); }
inline void readOStamp(const char* text, char* stamp) noexcept { readStamp<kOStamp>(text, stamp); }

inline void writeWStamp(const char* stamp, char* text) noexcept { writeStamp<kWStamp, kWDate, kWNullDate>(stamp, text); }
inline void writeOStamp(const char* stamp, char* text) noexcept {
    writeStamp<kOStamp, kWDate, kWNullDate>(stamp, text);
    text[kOStamp.length] = '\0';
}
inline void writeMStamp(const char* stamp, char* text) noexcept {
    writeStamp<kMStamp, kMStampDate, kMNullDate>(stamp, text);
    text[kMStamp.length] = '\0';
}

static_assert(kWStamp.length == 26 && kWStamp.internalLength == 20);
static_assert(kOStamp.length == 18 && kOStamp.internalLength == 14);
static_assert(kMStamp.length == 23 && kMStamp.internalLength == 17);

}  // namespace qmr::storage
