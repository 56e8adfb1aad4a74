#include "text/substring.h"

namespace qmr {
namespace {

// Shift-code text: the walk to the start takes whole characters, so a
// target inside a double-byte character moves on to the next one; the
// copy takes a double-byte character that begins before the end whole.
SubstringCut cutShiftCode(const TextRules& rules, const unsigned char* source, std::int32_t size, std::int32_t target,
                          std::int32_t length, ShiftState startState) noexcept {
    CharWalker walker(rules, source, size, WalkMode::byKind, startState);
    TextChar c;
    while (walker.position() < target && walker.next(c)) {
    }
    const std::int32_t from = walker.position();
    const ShiftState stateAtStart = walker.state();
    const std::int32_t end = from + length;
    std::int32_t to = from;
    ShiftState stateAtEnd = stateAtStart;
    while (walker.position() < end && walker.next(c) && !c.cut) {
        to = walker.position();
        stateAtEnd = walker.state();
    }
    const bool encloses = startState == ShiftState::singleByte;
    return {from, to, encloses && stateAtStart == ShiftState::doubleByte,
            encloses && stateAtEnd == ShiftState::doubleByte};
}

// Lead-byte and combining text: the end is measured from the requested
// target, and a character that would reach past it is left out.  In
// combining text a target inside a character moves back to its start, in
// lead-byte text on to the next character.
SubstringCut cutByCharacters(const TextRules& rules, const unsigned char* source, std::int32_t size,
                             std::int32_t target, std::int32_t length) noexcept {
    const bool combining = rules.kind == TextKind::combining;
    CharWalker walker(rules, source, size);
    TextChar c;
    std::int32_t from = 0;
    while (walker.position() < target && walker.next(c)) from = c.start;
    if (!combining || walker.position() <= target) from = walker.position();
    const std::int64_t end = std::int64_t{target} + length;
    CharWalker copy(rules, source, size, WalkMode::byKind, ShiftState::singleByte, from);
    std::int32_t to = from;
    while (copy.next(c) && !c.cut && c.start + c.length <= end) to = copy.position();
    return {from, to, false, false};
}

}  // namespace

SubstringCut cutSubstring(const TextRules& rules, const unsigned char* source, std::int32_t size, std::int32_t start,
                          std::int32_t length, ShiftState startState) noexcept {
    const std::int32_t target = start - 1;
    if (target >= size || length == 0) return {0, 0, false, false};
    SubstringCut cut{target, target, false, false};
    switch (rules.kind) {
    case TextKind::shiftCode:
        cut = cutShiftCode(rules, source, size, target, length, startState);
        break;
    case TextKind::leadByte:
    case TextKind::combining:
        cut = cutByCharacters(rules, source, size, target, length);
        break;
    case TextKind::singleByte:
        cut.to = target + (length < size - target ? length : size - target);
        break;
    }
    if (cut.from == cut.to) return {0, 0, false, false};
    return cut;
}

}  // namespace qmr
