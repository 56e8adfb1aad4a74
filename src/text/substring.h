// The substring walk: which source bytes a substring takes, and which
// shift codes enclose them.
#pragma once

#include <cstdint>

#include "platform/text_walk.h"

namespace qmr {

// The result is: a shift-out when `openShift`, source[from, to), a
// shift-in when `closeShift`.  Shift codes inside [from, to) are taken
// with the characters around them, so the result reads in the same states
// as the source did.
struct SubstringCut {
    std::int32_t from;
    std::int32_t to;
    bool openShift;
    bool closeShift;

    std::int32_t size() const noexcept { return to - from + openShift + closeShift; }
};

// The substring of source[0, size) from the 1-based `start` for `length`
// bytes (start >= 1, length >= 0).  Shift-code text is walked from
// `startState`; only a single-byte start state encloses a double-byte
// result in shift codes.  A range that takes no byte is empty.
SubstringCut cutSubstring(const TextRules& rules, const unsigned char* source, std::int32_t size, std::int32_t start,
                          std::int32_t length, ShiftState startState) noexcept;

}  // namespace qmr
