// The bytes of a RelationshipEntry in its page (the layout is described
// in relationship_queue.h), in the machine's own byte order: entries
// never leave the library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "queue/relationship_queue.h"

namespace qmr::queue {

inline constexpr std::size_t kSizeAt = 0;
inline constexpr std::size_t kLastInPageAt = 2;
inline constexpr std::size_t kFieldCountAt = 4;
inline constexpr std::size_t kRelationshipAt = 6;
inline constexpr std::size_t kAssociatedAt = kRelationshipAt + kIdSize;
static_assert(kAssociatedAt + kIdSize == kEntryHead);

inline std::uint16_t load16(const unsigned char* at) noexcept {
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

inline void store16(unsigned char* at, std::int32_t value) noexcept {
    const auto narrow = static_cast<std::uint16_t>(value);
    std::memcpy(at, &narrow, sizeof narrow);
}

// Identifiers are 8 or 6 bytes; a 6-byte one is saved zero-padded.
inline void saveIdentifier(unsigned char* to, const unsigned char* from, int width) noexcept {
    if (width == kIdSize) {
        std::memcpy(to, from, kIdSize);
    } else {
        std::memcpy(to, from, 6);
        std::memset(to + 6, 0, kIdSize - 6);
    }
}

inline void restoreIdentifier(unsigned char* to, const unsigned char* from, int width) noexcept {
    if (width == kIdSize) {
        std::memcpy(to, from, kIdSize);
    } else {
        std::memcpy(to, from, 6);
    }
}

inline void copyIdentifiersOut(const unsigned char* entry, const Identifiers& ids) noexcept {
    restoreIdentifier(ids.relationship, entry + kRelationshipAt, ids.width);
    restoreIdentifier(ids.associated, entry + kAssociatedAt, ids.width);
}

// Whether an identifier holds zero bytes only.
inline bool allZero(const unsigned char* bytes, int width) noexcept {
    for (int i = 0; i < width; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

}  // namespace qmr::queue
