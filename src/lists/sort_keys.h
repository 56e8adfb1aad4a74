// The sort keys as the host writes them: pairs of a field number and a
// direction, the first pair the most significant key.
#pragma once

#include <cstdint>

#include "lists/group.h"
#include "lists/working_storage.h"
#include "qmr/qmr.h"

namespace qmr {

struct SortKey {
    const FieldDescriptor* field;
    bool ascending;
};

struct SortKeys {
    WorkingStorage<SortKey> keys;
    std::uint32_t count = 0;
};

// Reads "FIELD DIRECTION ..." (tokens between blanks; direction A, a, D
// or d): done, or failed (empty, or storage), syntax (a missing or bad
// direction) or fieldNumber (a field number below 1 or above
// `fieldCount`).
ListResult parseSortKeys(const char* keyText, const FieldDescriptor* fields, std::uint32_t fieldCount,
                         SortKeys& keys) noexcept;

}  // namespace qmr
