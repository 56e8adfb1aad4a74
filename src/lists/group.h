// The repeating group as the host describes it: field type codes and the
// width of one column element.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "qmr/qmr.h"

namespace qmr {

// What the filter and the sort cores answer; list_report.h gives each
// failure its message number.
enum class ListResult {
    done,
    failed,       // storage, or a group that cannot be read
    syntax,       // the expression or the key text cannot be read
    parentheses,  // the filter's parentheses do not balance
    fieldNumber,  // a sort key's field number is not in the group
    tree,         // the filter's conditions do not form one tree
};

constexpr bool isTextType(std::int32_t type) noexcept {
    return type == QMR_FIELD_TEXT || type == QMR_FIELD_TIMESTAMP || type == QMR_FIELD_TEXT2 ||
           type == QMR_FIELD_TEXT3;
}

constexpr bool isLongType(std::int32_t type) noexcept {
    return type == QMR_FIELD_LONG || type == QMR_FIELD_DATE || type == QMR_FIELD_TIME;
}

// Bytes per occurrence in a field's column; 0 for a field whose column is
// never read or moved (type 10 and codes outside 1..11).
constexpr std::size_t columnWidth(std::int32_t type, std::uint32_t elementSize) noexcept {
    if (isTextType(type)) return elementSize;
    switch (type) {
    case QMR_FIELD_SHORT: return 2;
    case QMR_FIELD_REAL: return 8;
    case QMR_FIELD_VALUE20: return 20;
    default: return isLongType(type) ? 4 : 0;
    }
}

// What the filter and the sort find before they read their text: no
// occurrences (nothing is read at all), a descriptor they cannot read, or
// a group to work on.  A guard: no descriptor a host builds is null or
// names fields without a field array.
enum class GroupState { empty, unreadable, readable };

inline GroupState groupState(const GroupDescriptor* group) noexcept {
    if (group == nullptr) return GroupState::unreadable;
    if (group->occurrenceCount == 0) return GroupState::empty;
    if (group->fields == nullptr && group->fieldCount != 0) return GroupState::unreadable;
    return GroupState::readable;
}

// Column elements are the host's native values, possibly unaligned.
template <typename T>
inline T loadElement(const unsigned char* column, std::size_t i) noexcept {
    T value;
    std::memcpy(&value, column + i * sizeof(T), sizeof(T));
    return value;
}

// Texts end at their NUL or at the element's end, whichever comes first.
inline std::size_t textLength(const unsigned char* text, std::size_t size) noexcept {
    const void* nul = std::memchr(text, 0, size);
    return nul == nullptr ? size : static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - text);
}

}  // namespace qmr
