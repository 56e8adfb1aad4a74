// A stable least-significant-byte-first radix sort of records by a 64-bit
// unsigned prefix, into caller-supplied scratch.  Byte positions in which
// every record agrees cost one counting pass and no move.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

namespace qmr {

template <typename Record>
void radixSortByPrefix(Record* items, Record* scratch, std::uint32_t count) noexcept {
    constexpr int kBytes = 8;
    if (count == 0) return;
    std::uint32_t offsets[kBytes][256] = {};
    for (std::uint32_t i = 0; i < count; ++i) {
        for (int b = 0; b < kBytes; ++b) ++offsets[b][(items[i].prefix >> (8 * b)) & 0xFF];
    }
    Record* from = items;
    Record* to = scratch;
    for (int b = 0; b < kBytes; ++b) {
        std::uint32_t* offset = offsets[b];
        if (offset[(from[0].prefix >> (8 * b)) & 0xFF] == count) continue;  // one value in this byte
        std::uint32_t sum = 0;
        for (int v = 0; v < 256; ++v) sum += std::exchange(offset[v], sum);
        for (std::uint32_t i = 0; i < count; ++i) to[offset[(from[i].prefix >> (8 * b)) & 0xFF]++] = from[i];
        std::swap(from, to);
    }
    if (from != items) std::memcpy(static_cast<void*>(items), from, std::size_t{count} * sizeof(Record));
}

}  // namespace qmr
