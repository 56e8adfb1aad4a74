#include "numeric/digit_text.h"

#include <cmath>
#include <cstdint>

#include "numeric/powers_of_ten.h"

namespace qmr {

bool wholePartDigits(double number, char* out) noexcept {
    const double whole = std::floor(std::fabs(number));
    if (!(whole < kPowerOfTen[kDigitTextSize])) return false;  // also an infinity or a NaN
    auto value = static_cast<std::uint64_t>(whole);            // [0, 10^15 - 1], exact
    for (int i = kDigitTextSize - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
    return true;
}

}  // namespace qmr
