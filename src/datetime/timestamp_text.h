// The 20-character timestamp text yyyymmddhhmmssffffff that the duration
// and construction functions write: the date, the time and the
// microseconds as printf's "%08ld%06ld%06ld" gives them, and a NUL.
#pragma once

#include <cstdint>

#include "frame/digits.h"

namespace qmr {

constexpr int kTimestampLength = 20;

struct TimestampText {
    char text[kTimestampLength + 1];  // the characters and a NUL
};

// Exactly 20 characters for a date in [0, 99999999] and a time and
// microseconds in [-99999, 999999], the ranges every caller produces.
// Other values would need more: the text is then cut to the field.
constexpr TimestampText formatTimestamp(std::int32_t date, std::int32_t time, std::int32_t micros) noexcept {
    char all[3 * 11] = {};  // three values of at most 11 characters
    int n = formatDecimal(all, date, 8);
    n += formatDecimal(all + n, time, 6);
    n += formatDecimal(all + n, micros, 6);
    TimestampText out{};
    for (int i = 0; i < kTimestampLength && i < n; ++i) out.text[i] = all[i];
    return out;
}

}  // namespace qmr
