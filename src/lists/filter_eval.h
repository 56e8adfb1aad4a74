// Evaluation of a parsed filter over a whole group.  The tree is compiled
// once into a short program over occurrence masks (one byte per
// occurrence, 0xFF where a condition holds), which then runs block by
// block: each comparison over a whole column slice, each connective over
// two masks.  A connective's right-hand side is only evaluated for the
// occurrences its left-hand side leaves undecided, as a short-circuit
// evaluation would; the results are the same, since evaluation cannot
// fail and has no effects.
#pragma once

#include <cstdint>

#include "lists/filter_tree.h"
#include "lists/working_storage.h"

namespace qmr {

struct FilterStep {
    enum Op : std::uint8_t {
        compare,  // out = (node's comparison holds) & a; a may be out
        exclude,  // out = a & ~b: the occurrences an OR's left side leaves open
        merge,    // out |= a
        copy,     // out = a
    } op;
    std::uint32_t node;
    std::uint32_t a, b, out;  // mask registers; 0 holds the shown occurrences
};

struct FilterProgram {
    WorkingStorage<FilterStep> steps;
    std::uint32_t stepCount = 0;
    WorkingStorage<std::uint8_t> masks;  // registerCount blocks of kFilterBlock bytes
    std::uint32_t registerCount = 0;
};

// Occurrences evaluated together: the masks and the column slices of one
// block stay in the first-level cache.
constexpr std::uint32_t kFilterBlock = 1024;

// kListDone or 153 (storage).
int compileFilter(const FilterTree& tree, FilterProgram& program) noexcept;

// Hides ('H') every shown occurrence for which the expression is false.
// The group's selection field and compared columns must be readable.
void runFilter(const FilterProgram& program, const FilterTree& tree, const GroupDescriptor& group) noexcept;

}  // namespace qmr
