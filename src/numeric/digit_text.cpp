#include "numeric/digit_text.h"

#include <cmath>
#include <cstdint>

#include "numeric/powers_of_ten.h"

namespace qmr {

namespace {

// `count` digits of value, the last at out[count - 1].
void putDigits(char* out, int count, std::uint32_t value) noexcept {
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

}  // namespace

bool wholePartDigits(double number, char* out) noexcept {
    const double whole = std::floor(std::fabs(number));
    if (!(whole < kPowerOfTen[kDigitTextSize])) return false;  // also an infinity or a NaN
    const auto value = static_cast<std::uint64_t>(whole);     // [0, 10^15 - 1], exact
    // Two 32-bit halves: the first 7 digits and the last 8.
    putDigits(out, 7, static_cast<std::uint32_t>(value / 100000000));
    putDigits(out + 7, 8, static_cast<std::uint32_t>(value % 100000000));
    return true;
}

}  // namespace qmr
