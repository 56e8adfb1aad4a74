// Cutting a double to a number of decimal places, for host fields that
// hold decimal numbers as doubles (qmrd2dec, qmrd2dc1).
//
// The results are those of the host's formulas in IEEE double arithmetic,
// bit for bit, not of decimal arithmetic: 1.005 is stored below 1.005 and
// rounds to 1 at two places, while 0.015, also stored below, rounds to
// 0.02 because its product with 100 is rounded to exactly 1.5.
#pragma once

#include <cstdint>

namespace qmr {

// mode 0 truncates, any other mode rounds halves away from zero.  places
// may be negative (tens, hundreds...) or above 18 (10^places then comes
// from std::pow; beyond about 308 it is 0 or infinite and the result is
// what IEEE arithmetic makes of that).
double roundToPlaces(double value, std::int32_t places, std::int32_t mode) noexcept;

// roundToPlaces for a field of `digits` digits, `places` of them after the
// point, except that a field of 15 or more digits leaves alone a value
// that already fills its integer digits.
double roundToField(double value, std::int32_t places, std::int32_t mode, std::int32_t digits) noexcept;

}  // namespace qmr
