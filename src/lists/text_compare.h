// VKSTRNCM over texts that end at a length rather than at a NUL: a text
// whose element has no NUL is never read past its end.  Past its length a
// text reads as ended, which orders before any character, as a NUL does
// for VKSTRNCM.
#pragma once

#include <algorithm>
#include <cstddef>

#include "platform/editsvc.h"

namespace qmr {

// Texts of `aLength` and `bLength` bytes, neither holding a NUL, compared
// over at most `count` characters: negative, zero or positive.
inline int compareBoundedTexts(const char* a, std::size_t aLength, const char* b, std::size_t bLength,
                               std::size_t count) noexcept {
    const std::size_t both = std::min({count, aLength, bLength});
    const int c = VKSTRNCM(a, b, both);
    if (c != 0 || both == count || aLength == bLength) return c;
    return aLength < bLength ? -1 : 1;
}

}  // namespace qmr
