// What the exported date built-ins share: access to the host's input and
// output fields, and the date of a timestamp text.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/digits.h"
#include "qmr/qmr.h"

namespace qmr {

// Host fields arrive as typed pointers with no promise of alignment:
// copied, never dereferenced.
inline std::int32_t loadField(const qmr_int32* field) noexcept {
    std::int32_t value;
    std::memcpy(&value, field, sizeof value);
    return value;
}

inline void storeField(qmr_int32* field, std::int32_t value) noexcept { std::memcpy(field, &value, sizeof value); }

// A 16-bit output keeps the low 16 bits, as the host's store does.
inline void storeField(qmr_int16* field, std::int32_t value) noexcept {
    const auto narrow = static_cast<std::int16_t>(value);
    std::memcpy(field, &narrow, sizeof narrow);
}

// The date of a 20-character timestamp text: its first 8 characters read
// as one decimal number (blanks and a sign allowed, reading stops at the
// first non-digit).  Nothing beyond them is read.
inline std::int32_t timestampDate(const char* timestamp) noexcept { return readDecimal(timestamp, 8); }

}  // namespace qmr
