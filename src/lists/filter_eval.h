// Evaluation of a parsed filter over a whole group, one block of
// occurrences at a time.
//
// Every tree the parser builds has one shape.  A chain is a comparison,
// or a connective whose first operand is a chain and whose second is a
// comparison: the text's comparisons joined from the left.  The tree is a
// chain, or a connective written directly before "(" whose first operand
// is a chain and whose second is again such a tree.  So the evaluation
// reads the comparisons in the text's order, with a handful of masks (one
// byte per occurrence of the block, 0xFF where it holds):
//
//   open      the occurrences whose answer the text still leaves open
//   chain     those of `open` for which the chain read so far holds
//   accepted  those known to satisfy the whole expression
//
// A chain begins with chain = open AND its first comparison; "AND c"
// then evaluates c where the chain holds, "OR c" where it fails.  A chain
// ending before "AND (" narrows `open` to the chain; one ending before
// "OR (" or at the end of the text adds the chain to `accepted` and takes
// it out of `open`.  Every comparison is thus evaluated for exactly the
// occurrences for which the one-at-a-time evaluation evaluates it, and
// the occurrences that end outside `accepted` are the ones it rejects.
// Each step writes a mask other than those it reads; swapping two mask
// pointers passes a result on.
#pragma once

#include <cstdint>

#include "lists/filter_tree.h"
#include "lists/group.h"
#include "lists/working_storage.h"

namespace qmr {

struct FilterStep {
    enum Kind : std::uint8_t {
        begin,    // chain = open AND the comparison
        andAlso,  // chain = chain AND the comparison
        orElse,   // chain = chain OR (open AND the comparison)
        narrow,   // open = chain: the chain ends before "AND ("
        accept,   // accepted = accepted OR chain, open = open AND NOT chain
    } kind;
    std::uint32_t node;  // the comparison of begin, andAlso and orElse
};

struct FilterProgram {
    WorkingStorage<FilterStep> steps;
    std::uint32_t stepCount = 0;
};

// Occurrences evaluated together: their masks and column slices stay in
// the first-level cache.
constexpr std::uint32_t kFilterBlock = 1024;

// The steps of `tree` in the text's order: ListResult::done, failed
// (storage) or tree (a tree of another shape, which the parser never
// builds).
ListResult compileFilter(const FilterTree& tree, FilterProgram& program) noexcept;

// Hides ('H') every shown occurrence for which the expression is false.
// The group's selection field and compared columns must be readable.
// ListResult::done, or failed when the masks cannot be obtained.
ListResult runFilter(const FilterProgram& program, const FilterTree& tree, const GroupDescriptor& group) noexcept;

}  // namespace qmr
