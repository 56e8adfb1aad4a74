// The index search: where a search text first occurs in a source text,
// trying a match only where a character starts.
#pragma once

#include <cstdint>

#include "platform/text_walk.h"

namespace qmr {

// 1-based byte position of the first occurrence of search[0, searchSize)
// in source[0, size), 0 when none.  Shift-code text is walked from
// `startState`; a search text may carry a leading shift-out (its first
// character is then double-byte) and a trailing shift-in.
std::int32_t findText(const TextRules& rules, const unsigned char* source, std::int32_t size,
                      const unsigned char* search, std::int32_t searchSize, ShiftState startState) noexcept;

}  // namespace qmr
