// Stand-ins for the host's edit-services library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/charsets.h"

namespace qmr {

struct TextRules;

// Length-limited text comparison: compares at most `count` bytes as
// unsigned values and stops after a NUL that both texts share.  Negative,
// zero or positive as `a` orders before, equal to or after `b`.
int VKSTRNCM(const char* a, const char* b, std::size_t count) noexcept;

// Upper-cases a NUL-terminated text in place: ASCII letters, and the
// full-width Latin letters of the character set in force; in UTF-8 every
// letter whose capital is as long.  The text is walked with the services
// in force, so a trail byte, or a byte of any other double-byte
// character, never changes.  The opaque values are not
// read.
void VKUPPR(void* opaque1, void* opaque2, char* text) noexcept;

// The capital of a code point where it has the same length in UTF-8,
// else the code point itself.
std::int32_t upperCodePoint(std::int32_t code) noexcept;

// VKUPPR's work on bytes[0, size), which holds no NUL.
void upperCaseText(const TextRules& rules, std::span<const CaseRun> letters, unsigned char* bytes,
                   std::int32_t size) noexcept;

}  // namespace qmr
