// Trailing blanks: the trim of a text field and the trimmed length of a
// text buffer.
#pragma once

#include <cstdint>

#include "platform/text_walk.h"

namespace qmr {

// Copies source[0, size) to out (which may be source) and answers the
// length of the copy without its trailing blanks (IsBlank).  Shift-code
// text is walked from the single-byte state; a kept double-byte run gets
// a closing shift-in right after its last character.  When that shift-in
// would land at `room` (the result's maximum, >= size), the run's last
// character is left out and the shift-in takes its place.  Lead-byte text
// is copied up to where CharLength answers below 1.
std::int32_t trimText(const TextRules& rules, const unsigned char* source, std::int32_t size, unsigned char* out,
                      std::int32_t room) noexcept;

// The length of text[0, size) up to its first NUL, without trailing
// blanks (IsBlankChar), walking by CharLength in every kind of text.
std::int32_t trimmedLength(const TextRules& rules, const unsigned char* text, std::int32_t size) noexcept;

// The end of bytes[0, size) without trailing 1-byte blanks.  Asks the
// blank test only where the byte differs from the one asked before.
template <typename IsBlank>
std::int32_t trimBytes(const unsigned char* bytes, std::int32_t size, IsBlank isBlank) noexcept {
    int asked = -1;
    bool blank = false;
    while (size > 0) {
        const unsigned char b = bytes[size - 1];
        if (b != asked) {
            asked = b;
            blank = isBlank(bytes + size - 1);
        }
        if (!blank) break;
        --size;
    }
    return size;
}

}  // namespace qmr
