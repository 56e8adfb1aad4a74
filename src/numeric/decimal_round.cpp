#include "numeric/decimal_round.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "numeric/double_math.h"
#include "numeric/powers_of_ten.h"

namespace qmr {

namespace {

// Truncation first adds half a unit of the value's 15th significant digit,
// so that a value stored just below its 15-digit decimal (0.29 is
// 0.28999999999999998) is not cut to the digit below.  Entry k serves
// values below 10^k from 10^(k-1) up; the first serves everything below 1
// and the last everything from 1e14 up.
constexpr double kHalfUnitOf15thDigit[] = {5e-16, 5e-15, 5e-14, 5e-13, 5e-12, 5e-11, 5e-10, 5e-9,
                                           5e-8,  5e-7,  5e-6,  5e-5,  5e-4,  5e-3,  5e-2,  0.5};
constexpr int kLastDecade = 15;
static_assert(std::size(kHalfUnitOf15thDigit) == kLastDecade + 1);

double halfUnitOf15thDigit(double magnitude) noexcept {
    int decade = 0;
    while (decade < kLastDecade && magnitude >= kPowerOfTen[decade]) ++decade;
    return kHalfUnitOf15thDigit[decade];
}

// 10^places, correctly rounded wherever it can be had without the C
// library: the exact powers up to 10^22, and for -22..-1 one division of
// exact operands, which IEEE rounds correctly.  That is what a correctly
// rounded pow answers, so the result no longer depends on the quality of
// the platform's pow (some are an ulp off even for 10^20 or 10^-2).
QMR_DOUBLE_MATH double scaleOf(std::int32_t places) noexcept {
    constexpr std::int32_t kLargestExact = kExactPowersOfTen - 1;
    if (places >= 0 && places <= kLargestExact) return kPowerOfTen[places];
    if (places < 0 && places >= -kLargestExact) return 1.0 / kPowerOfTen[-places];
    return std::pow(10.0, places);
}

}  // namespace

// Where the scale, the scaled value or the result leaves the double
// range, the formula would give NaN or an infinity (0 * inf, inf / inf,
// 0 / 0, 2 / 1e-308); the value then has no digit that these places
// remove, and is returned as it is.  A scale of 0 (places below -323)
// removes every digit: the value becomes zero.
QMR_DOUBLE_MATH double roundToPlaces(double value, std::int32_t places, std::int32_t mode) noexcept {
    const double scale = scaleOf(places);
    const bool negative = value < 0;
    if (!std::isfinite(value) || std::isinf(scale)) return value;
    if (scale == 0) return negative ? -0.0 : 0.0;
    const double magnitude = negative ? -value : value;
    const double nudged = mode != 0 ? magnitude : magnitude + halfUnitOf15thDigit(magnitude);
    const double scaled = nudged * scale;
    if (std::isinf(scaled)) return value;
    const double shifted = mode != 0 ? scaled + 0.5 : scaled;
    const double result = std::floor(shifted) / scale;
    if (std::isinf(result)) return value;  // rounded up past the largest double
    return negative ? -result : result;
}

double roundToField(double value, std::int32_t places, std::int32_t mode, std::int32_t digits) noexcept {
    constexpr std::int32_t kWideField = 15;
    if (digits < kWideField || places == 0) return roundToPlaces(value, places, mode);
    // A field of places >= digits has no integer digits; like the field
    // with exactly none, it is left alone.
    const std::int64_t integerDigits = std::int64_t{digits} - places;
    if (integerDigits <= 0) return value;
    // The smallest value that fills them: 10^(integerDigits - 1), at most 1e14.
    constexpr std::int64_t kLargestFillExponent = 14;
    const double fills = kPowerOfTen[std::min(integerDigits - 1, kLargestFillExponent)];
    if (value >= fills || value <= -fills) return value;
    return roundToPlaces(value, places, mode);
}

}  // namespace qmr
