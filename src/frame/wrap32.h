// 32-bit two's complement arithmetic without undefined behaviour: the
// host's formulas are defined on 32-bit integers that wrap on overflow.
// Unsigned arithmetic wraps by definition, and since C++20 the conversion
// back to int32_t is modular as well.
#pragma once

#include <cstdint>

namespace qmr {

constexpr std::int32_t wrapAdd(std::int32_t a, std::int32_t b) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrapSub(std::int32_t a, std::int32_t b) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrapMul(std::int32_t a, std::int32_t b) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

}  // namespace qmr
