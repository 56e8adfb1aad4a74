// Powers of ten that are exact doubles.  Every 10^k up to 10^22 is: 5^22
// needs 52 bits, and the factor 2^k goes into the exponent.
#pragma once

#include <array>
#include <cstdint>

namespace qmr {

constexpr int kExactPowersOfTen = 23;  // 1e0 .. 1e22

constexpr std::array<double, kExactPowersOfTen> kPowerOfTen = [] {
    std::array<double, kExactPowersOfTen> powers{};
    double power = 1.0;
    for (double& p : powers) {
        p = power;
        power *= 10.0;  // exact: the product has at most 52 significant bits
    }
    return powers;
}();

static_assert(kPowerOfTen[15] == 1e15 && kPowerOfTen[18] == 1e18 && kPowerOfTen[22] == 1e22);
static_assert(std::uint64_t(kPowerOfTen[18]) == 1000000000000000000u);

}  // namespace qmr
