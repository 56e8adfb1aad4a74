// The tree a filter expression parses into: comparisons of one field with
// a literal, joined by AND and OR.
#pragma once

#include <cstdint>

#include "lists/group.h"
#include "lists/working_storage.h"
#include "qmr/qmr.h"

namespace qmr {

enum class Operator : std::uint8_t { equal = 1, notEqual, less, lessOrEqual, greater, greaterOrEqual };
enum class Connective : std::uint8_t { conjunction = 1, disjunction = 2 };  // AND, OR

struct TextSpan {
    std::uint32_t offset;  // into FilterTree::text
    std::uint32_t length;
};

struct FilterNode {
    enum Kind : std::uint8_t { logical = 1, comparison = 2 } kind;
    Operator op;             // comparison
    Connective connective;   // logical
    std::uint32_t field;     // comparison: index into the field array, from 0
    std::uint32_t first;     // logical: the left-hand operand, a node index
    std::uint32_t second;    // logical: the right-hand operand
    union {
        std::int32_t integer;  // types 1 (in int16 range), 2, 5, 6
        double real;           // type 3
        TextSpan text;         // types 4, 7, 8, 9; no NUL inside
    } literal;
};

// The nodes in the order the parser pushed them; after building, `root`
// names the node whose value is the expression's.
struct FilterTree {
    WorkingStorage<char> text;  // the copy of the expression, text literals unquoted in place
    WorkingStorage<FilterNode> nodes;
    std::uint32_t count = 0;
    std::uint32_t root = 0;
};

// Parses `expression` against the group's fields into `tree` and builds
// it: done, or failed (storage), syntax, parentheses (they do not
// balance; before a syntax error) or tree (no single tree).
ListResult parseFilter(const char* expression, const FieldDescriptor* fields, std::uint32_t fieldCount,
                       FilterTree& tree) noexcept;

// Takes the pushed nodes from the top down and links them into one tree:
// done, failed or tree.  A guard: every text the parser accepts pushes
// nodes that form one tree, so `tree` needs a stack the parser never
// makes.
ListResult buildFilterTree(FilterTree& tree) noexcept;

}  // namespace qmr
