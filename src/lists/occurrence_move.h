// Moving a group's occurrences into a new order: every per-occurrence
// array (the occurrence state bytes, and per field the cell state bytes,
// the cell attribute records and the column) is gathered through one
// buffer and copied back, so each array moves exactly once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qmr/qmr.h"

namespace qmr {

// Bytes of the widest element that moveOccurrences moves; the buffer it
// needs holds the occurrence count times this.
std::size_t widestMovedElement(const GroupDescriptor& group) noexcept;

// Puts occurrence permutation[k] at position k in every array.  A null
// array has nothing to move; type 10 and unknown codes keep their columns.
void moveOccurrences(const GroupDescriptor& group, const std::uint32_t* permutation, unsigned char* buffer) noexcept;

}  // namespace qmr
