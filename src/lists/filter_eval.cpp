// Runs a compiled filter over the group, one block of occurrences at a
// time, and hides the shown occurrences it rejects.
#include <algorithm>

#include "lists/filter_eval.h"
#include "lists/group.h"
#include "lists/selection.h"
#include "lists/text_compare.h"
#include "platform/editsvc.h"

namespace qmr {
namespace {

// "=" holds when neither side is less nor greater, so a NaN equals every
// number, as the comparison reads for every type.
template <Operator op, typename T>
constexpr bool holds(T value, T literal) noexcept {
    const bool less = value < literal;
    const bool greater = value > literal;
    switch (op) {
    case Operator::equal: return !less && !greater;
    case Operator::notEqual: return less || greater;
    case Operator::less: return less;
    case Operator::lessOrEqual: return !greater;
    case Operator::greater: return greater;
    case Operator::greaterOrEqual: return !less;
    }
    return false;
}

template <Operator op, typename T>
void compareNumbers(const unsigned char* column, std::size_t n, T literal, const std::uint8_t* active,
                    std::uint8_t* out) noexcept {
    for (std::size_t j = 0; j < n; ++j) {
        const auto pass = static_cast<std::uint8_t>(-std::uint8_t{holds<op>(loadElement<T>(column, j), literal)});
        out[j] = active[j] & pass;
    }
}

template <typename T>
void compareNumbers(Operator op, const unsigned char* column, std::size_t n, T literal, const std::uint8_t* active,
                    std::uint8_t* out) noexcept {
    switch (op) {
    case Operator::equal: return compareNumbers<Operator::equal>(column, n, literal, active, out);
    case Operator::notEqual: return compareNumbers<Operator::notEqual>(column, n, literal, active, out);
    case Operator::less: return compareNumbers<Operator::less>(column, n, literal, active, out);
    case Operator::lessOrEqual: return compareNumbers<Operator::lessOrEqual>(column, n, literal, active, out);
    case Operator::greater: return compareNumbers<Operator::greater>(column, n, literal, active, out);
    case Operator::greaterOrEqual: return compareNumbers<Operator::greaterOrEqual>(column, n, literal, active, out);
    }
}

bool holdsForSign(Operator op, int c) noexcept {
    switch (op) {
    case Operator::equal: return c == 0;
    case Operator::notEqual: return c != 0;
    case Operator::less: return c < 0;
    case Operator::lessOrEqual: return c <= 0;
    case Operator::greater: return c > 0;
    case Operator::greaterOrEqual: return c >= 0;
    }
    return false;
}

std::size_t trimmedLength(const char* text, std::size_t length) noexcept {
    while (length > 0 && text[length - 1] == ' ') --length;
    return length;
}

// Texts compare without their trailing blanks, over the longer of the two.
// Most values differ from the literal within the literal's own trimmed
// length, where that is the answer; only a value equal that far needs its
// length.
int compareWithLiteral(const char* value, std::size_t size, const char* literal, std::size_t literalLength,
                       std::size_t literalTrimmed) noexcept {
    const std::size_t within = std::min(literalTrimmed, size);
    const int c = VKSTRNCM(value, literal, within);  // neither side can reach a NUL first: the literal has none
    if (c != 0) return c;
    if (within < literalTrimmed) return -1;  // the value's element ends first, without a NUL
    const std::size_t length = textLength(reinterpret_cast<const unsigned char*>(value), size);
    const std::size_t count = std::max(trimmedLength(value, length), literalTrimmed);
    return compareBoundedTexts(value, length, literal, literalLength, count);
}

void compareTexts(Operator op, const unsigned char* column, std::size_t size, std::size_t n, const char* literal,
                  std::size_t literalLength, const std::uint8_t* active, std::uint8_t* out) noexcept {
    const std::size_t literalTrimmed = trimmedLength(literal, literalLength);
    // The occurrences still open, gathered first: a branch per occurrence
    // on whether it is open would be mispredicted as often as not.
    static_assert(kFilterBlock <= 65536);
    std::uint16_t open[kFilterBlock];
    std::size_t openCount = 0;
    for (std::size_t j = 0; j < n; ++j) {
        out[j] = 0;
        open[openCount] = static_cast<std::uint16_t>(j);
        openCount += active[j] != 0;
    }
    for (std::size_t k = 0; k < openCount; ++k) {
        const std::size_t j = open[k];
        const auto* value = reinterpret_cast<const char*>(column + j * size);
        const int c = compareWithLiteral(value, size, literal, literalLength, literalTrimmed);
        out[j] = holdsForSign(op, c) ? 0xFF : 0;
    }
}

void compare(const FilterNode& node, const FieldDescriptor& field, const char* text, std::size_t first,
             std::size_t n, const std::uint8_t* active, std::uint8_t* out) noexcept {
    const auto* data = static_cast<const unsigned char*>(field.data);
    const std::int32_t type = field.typeCode;
    if (isTextType(type)) {
        const std::size_t size = field.elementSize;
        compareTexts(node.op, data + first * size, size, n, text + node.literal.text.offset,
                     node.literal.text.length, active, out);
    } else if (type == QMR_FIELD_SHORT) {
        const auto literal = static_cast<std::int16_t>(node.literal.integer);
        compareNumbers<std::int16_t>(node.op, data + first * 2, n, literal, active, out);
    } else if (type == QMR_FIELD_REAL) {
        compareNumbers<double>(node.op, data + first * 8, n, node.literal.real, active, out);
    } else {
        compareNumbers<std::int32_t>(node.op, data + first * 4, n, node.literal.integer, active, out);
    }
}

}  // namespace

void runFilter(const FilterProgram& program, const FilterTree& tree, const GroupDescriptor& group) noexcept {
    const FieldDescriptor& selection = group.fields[group.selectionField];
    auto* flags = static_cast<char*>(selection.data);
    const std::size_t stride = selection.elementSize;
    const auto mask = [&](std::uint32_t r) { return program.masks.get() + std::size_t{r} * kFilterBlock; };
    std::uint8_t* shown = mask(0);
    const std::uint8_t* passed = mask(1);  // where the root's result lands

    for (std::size_t first = 0; first < group.occurrenceCount; first += kFilterBlock) {
        const std::size_t n = std::min<std::size_t>(kFilterBlock, group.occurrenceCount - first);
        char* blockFlags = flags + first * stride;
        for (std::size_t j = 0; j < n; ++j) shown[j] = selectionHolds(blockFlags[j * stride], QMR_SEL_SHOWN) ? 0xFF : 0;
        for (std::uint32_t s = 0; s < program.stepCount; ++s) {
            const FilterStep& step = program.steps[s];
            std::uint8_t* out = mask(step.out);
            const std::uint8_t* a = mask(step.a);
            switch (step.op) {
            case FilterStep::compare: {
                const FilterNode& node = tree.nodes[step.node];
                compare(node, group.fields[node.field], tree.text.get(), first, n, a, out);
                break;
            }
            case FilterStep::exclude: {
                const std::uint8_t* b = mask(step.b);
                for (std::size_t j = 0; j < n; ++j) out[j] = a[j] & static_cast<std::uint8_t>(~b[j]);
                break;
            }
            case FilterStep::merge:
                for (std::size_t j = 0; j < n; ++j) out[j] |= a[j];
                break;
            case FilterStep::copy: std::copy(a, a + n, out); break;
            }
        }
        for (std::size_t j = 0; j < n; ++j) {  // without a branch, for the same reason
            char& flag = blockFlags[j * stride];
            flag = (shown[j] & ~passed[j]) != 0 ? changedSelection(flag, QMR_SEL_HIDDEN) : flag;
        }
    }
}

}  // namespace qmr
