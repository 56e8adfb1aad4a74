// The bytes of a RelationshipEntry in its page (the layout is described
// in relationship_queue.h), in the machine's own byte order: entries
// never leave the library.  Field bytes and identifiers are moved with
// copies of fixed size where the size allows.
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

// Most fields are a few bytes long, where a call to the C library's
// memcpy costs more than the copy: up to 32 bytes are moved as two
// overlapping blocks of the largest size that fits.
template <std::size_t N>
void copyOverlapping(unsigned char* to, const unsigned char* from, std::size_t count) noexcept {
    unsigned char head[N];
    unsigned char end[N];
    std::memcpy(head, from, N);
    std::memcpy(end, from + count - N, N);
    std::memcpy(to, head, N);
    std::memcpy(to + count - N, end, N);
}

inline void copyBytes(unsigned char* to, const unsigned char* from, std::size_t count) noexcept {
    if (count >= 16) {
        if (count > 32) return static_cast<void>(std::memcpy(to, from, count));
        return copyOverlapping<16>(to, from, count);
    }
    if (count >= 8) return copyOverlapping<8>(to, from, count);
    if (count >= 4) return copyOverlapping<4>(to, from, count);
    for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
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

// Whether an identifier holds zero bytes only.  It is read in the pieces
// a host most likely wrote it in (8 bytes, or 4 and 2), so that the read
// can be served from the host's own recent stores.
inline bool allZero(const unsigned char* bytes, int width) noexcept {
    if (width == kIdSize) {
        std::uint64_t all;
        std::memcpy(&all, bytes, sizeof all);
        return all == 0;
    }
    std::uint32_t head;
    std::uint16_t end;
    std::memcpy(&head, bytes, sizeof head);
    std::memcpy(&end, bytes + sizeof head, sizeof end);
    return (head | end) == 0;
}

}  // namespace qmr::queue
