// The verify walk: the first character of a text that is not in a set.
#pragma once

#include <cstdint>

#include "platform/text_walk.h"

namespace qmr {

// 1-based byte position of the first character of text[0, size) that is
// not in set[0, setSize), 0 when every character is.  Trailing
// single-byte blanks after the first character are allowed.  An empty
// text asks whether the set holds the blank of the start state's width.
// Shift-code text (text and set alike) is walked from `startState`.
std::int32_t verifyText(const TextRules& rules, const unsigned char* text, std::int32_t size, const unsigned char* set,
                        std::int32_t setSize, ShiftState startState) noexcept;

}  // namespace qmr
