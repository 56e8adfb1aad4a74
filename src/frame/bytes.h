// Little-endian integers inside host records, copied in and out rather
// than accessed through a cast pointer, so that the result depends on
// neither the alignment nor the byte order of the host.  On a
// little-endian machine a store is one plain store of the whole value, so
// that a host's next read of it is served from that store.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace qmr {

inline std::int32_t loadLE32(const unsigned char* p) noexcept {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                     std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

inline void storeLE32(unsigned char* p, std::int32_t value) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &value, sizeof value);
        return;
    }
    const auto v = static_cast<std::uint32_t>(value);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline std::int16_t loadLE16(const unsigned char* p) noexcept {
    return static_cast<std::int16_t>(std::uint16_t(p[0] | p[1] << 8));
}

inline void storeLE16(unsigned char* p, std::int16_t value) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &value, sizeof value);
        return;
    }
    const auto v = static_cast<std::uint16_t>(value);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

// Any pointer argument as the byte address the accessors work on.
template <typename T>
inline unsigned char* bytesOf(T* p) noexcept {
    return reinterpret_cast<unsigned char*>(p);
}
template <typename T>
inline const unsigned char* bytesOf(const T* p) noexcept {
    return reinterpret_cast<const unsigned char*>(p);
}

}  // namespace qmr
