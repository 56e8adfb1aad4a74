// The literal of a comparison, read in the form its field's type code asks
// for.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lists/filter_tree.h"

namespace qmr {

// A field reference and an unquoted literal span at most this many
// characters.
constexpr std::size_t kScanLimit = 49;

// Reads the literal at `cursor` into `node` for a field of `type`.  `base`
// is the start of the expression copy, which text literals are unquoted
// into.  Returns the position after the literal, or null when the text
// there is not a literal of that type.
char* readLiteral(char* base, char* cursor, char* end, std::int32_t type, FilterNode& node) noexcept;

// A decimal number as the C library's text-to-double conversion reads it
// in the C locale, whatever locale the host has set: leading white space,
// a sign, digits with a decimal point, an exponent; also inf and nan.
// Returns the characters read, 0 when there is no number (value 0).
std::size_t readReal(const char* text, std::size_t length, double& value) noexcept;

}  // namespace qmr
