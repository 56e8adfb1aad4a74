// Trailing blanks: where a text ends without them, for the trim of a text
// field, the trimmed length of a text buffer and the comparison.
#pragma once

#include <cstdint>

#include "platform/text_walk.h"

namespace qmr {

// Which service tells a blank: IsBlank (the field built-ins and the
// comparison) or IsBlankChar (the buffer routines).
enum class BlankTest : std::uint8_t { isBlank, isBlankChar };

struct KeptEnd {
    std::int32_t end = 0;     // after the last character that is neither a blank nor a shift code
    bool closeRun = false;    // that character stands in a double-byte run
    std::int32_t walked = 0;  // the text's size, or where CharLength answered below 1
};

// Walks text[0, size) in `mode` from the single-byte state.  Single-byte
// text is read from its end.  Bytes past a CharLength below 1 are no
// characters and are not kept.
KeptEnd keptEnd(const TextRules& rules, const unsigned char* text, std::int32_t size, WalkMode mode,
                BlankTest test) noexcept;

// Copies source[0, size) to out (which may be source) as far as it walks
// and answers the length of the copy without its trailing blanks
// (IsBlank).  A kept double-byte run gets a closing shift-in right after
// its last character; where that would land at `room` (the result's
// maximum, >= size) the text stays as the source had it, unclosed.
std::int32_t trimText(const TextRules& rules, const unsigned char* source, std::int32_t size, unsigned char* out,
                      std::int32_t room) noexcept;

// The length of text[0, size) up to its first NUL, without trailing
// blanks (IsBlankChar), walking by CharLength in every kind of text.
std::int32_t trimmedLength(const TextRules& rules, const unsigned char* text, std::int32_t size) noexcept;

}  // namespace qmr
