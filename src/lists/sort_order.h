// The order of a group's occurrences under a list of sort keys.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lists/sort_keys.h"
#include "platform/value20.h"

namespace qmr {

// Negative, zero or positive as occurrence a orders before, with or after
// occurrence b under the keys: the first key that tells them apart
// decides, 20-byte values by `order`.  NaN orders after every number
// (ascending), so that the ordering is consistent.
int compareOccurrences(const SortKey* keys, std::uint32_t keyCount, const Value20Order& order, std::uint32_t a,
                       std::uint32_t b) noexcept;

// Bytes per occurrence that orderOccurrences works in.
constexpr std::size_t kOrderWorkWidth = 32;

// Fills `permutation` (count entries) with the occurrence that is to stand
// at each position, equal occurrences in their present order.  `work`
// holds count * kOrderWorkWidth bytes, suitably aligned for 8-byte items.
void orderOccurrences(const SortKeys& keys, std::uint32_t count, std::uint32_t* permutation, void* work) noexcept;

}  // namespace qmr
