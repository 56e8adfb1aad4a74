// The 20-character timestamp text yyyymmddhhmmssffffff that the duration
// and construction functions write: the date, the time and the
// microseconds as printf's "%08ld%06ld%06ld" gives them, and a NUL.
#pragma once

#include <cstdint>

#include "frame/digits.h"

namespace qmr {

constexpr int kTimestampLength = 20;

// Writes kTimestampLength + 1 bytes: the text and a NUL.  Exactly 20
// characters for a date in [0, 99999999] and a time and microseconds in
// [-99999, 999999], the ranges every caller produces.  Other values would
// need more: the text is then cut to the field.
constexpr void formatTimestamp(char* out, std::int32_t date, std::int32_t time, std::int32_t micros) noexcept {
    out[kTimestampLength] = 0;
    if (std::uint32_t(date) <= 99999999 && std::uint32_t(time) <= 999999 && std::uint32_t(micros) <= 999999) {
        putDigits(out, std::uint32_t(date), 8);
        putDigits(out + 8, std::uint32_t(time), 6);
        putDigits(out + 14, std::uint32_t(micros), 6);
        return;
    }
    char all[3 * 11] = {};  // three values of at most 11 characters
    int n = formatDecimal(all, date, 8);
    n += formatDecimal(all + n, time, 6);
    formatDecimal(all + n, micros, 6);
    for (int i = 0; i < kTimestampLength; ++i) out[i] = all[i];  // at least 8 + 6 + 6 were written
}

}  // namespace qmr
