// Qmstrcmp: comparison of two NUL-terminated texts in which trailing
// blanks, single- or double-byte, do not matter.
#include <algorithm>
#include <cstring>

#include "platform/text_walk.h"

namespace qmr {
namespace {

const unsigned char* bytes(const char* p) noexcept {
    return reinterpret_cast<const unsigned char*>(p);
}

// Every character from p to the NUL is a blank (IsBlank), walking by
// CharLength; where CharLength answers below 1 the walked part decides.
bool blankToEnd(const TextRules& rules, const unsigned char* p) noexcept {
    const auto size = static_cast<std::int32_t>(std::strlen(asChars(p)));
    TextRules byLength = rules;
    if (byLength.kind != TextKind::singleByte) byLength.kind = TextKind::leadByte;
    CharWalker walker(byLength, p, size, ShiftState::singleByte);
    for (TextChar c; walker.next(c);) {
        if (!rules.isBlank(p + c.start, c.length)) return false;
    }
    return true;
}

// Where the texts differ: a text that goes on with blanks only has ended
// there, and an ended text orders before one that goes on, as at a NUL;
// both ended are equal.  Only where neither has ended does the differing
// byte or code decide.  Without this "ab " would order after "ab\t" while
// "ab" orders before it and equals "ab ".
std::int32_t endsOrders(bool aEnded, bool bEnded, std::int32_t byCode) noexcept {
    if (aEnded || bEnded) return aEnded == bEnded ? 0 : aEnded ? -1 : 1;
    return byCode;
}

// The start of the character that holds byte i of p (bytes before i are
// the same in both texts, so only the character holding i can differ).
std::int32_t characterStart(const TextRules& rules, const unsigned char* p, std::int32_t i) noexcept {
    if (rules.kind == TextKind::singleByte) return i;
    TextRules byLength = rules;
    byLength.kind = TextKind::leadByte;
    CharWalker walker(byLength, p, i + 1, ShiftState::singleByte);
    for (TextChar c; walker.next(c);) {
        if (c.start + c.length > i) return c.start;
    }
    return i;
}

std::int32_t compareBytes(const TextRules& rules, const unsigned char* a, const unsigned char* b) noexcept {
    for (std::int32_t i = 0;; ++i) {
        const unsigned char x = a[i];
        const unsigned char y = b[i];
        if (x == y) {
            if (x == 0) return 0;
            continue;
        }
        if (x == 0) return blankToEnd(rules, b + i) ? 0 : -1;
        if (y == 0) return blankToEnd(rules, a + i) ? 0 : 1;
        // Byte i may be a trail byte in one text and a character of its own
        // in the other (a lead byte's trail range decides); taking the
        // earlier start in both directions keeps the answer antisymmetric.
        const std::int32_t from = std::min(characterStart(rules, a, i), characterStart(rules, b, i));
        return endsOrders(blankToEnd(rules, a + from), blankToEnd(rules, b + from), x < y ? -1 : 1);
    }
}

// One text of shift-code text, read a code at a time.
struct ShiftReader {
    const unsigned char* p;
    ShiftState state = ShiftState::singleByte;

    // In the single-byte state a shift-out's code is shift-out * 256; in
    // the double-byte state a character's code is first * 256 + second
    // (a byte before the NUL stands alone, the NUL is never consumed).
    std::int32_t nextCode(const TextRules& rules) noexcept {
        const unsigned char b = *p++;
        if (state == ShiftState::singleByte) {
            if (b != rules.shiftOut) return b;
            state = ShiftState::doubleByte;
            return std::int32_t{b} << 8;
        }
        if (b == rules.shiftIn) {
            state = ShiftState::singleByte;
            return b;
        }
        const unsigned char second = *p;
        if (second != 0) ++p;
        return std::int32_t{b} << 8 | second;
    }

    // Blanks of the state's width and shift codes up to the NUL.  The NUL
    // is looked at before the blank test, so a double-byte test never
    // reads past it.
    bool blankToEnd(const TextRules& rules) const noexcept {
        const unsigned char* q = p;
        ShiftState s = state;
        for (;;) {
            if (*q == 0) return true;
            const int width = s == ShiftState::doubleByte && q[1] != 0 ? 2 : 1;
            if (rules.isBlank(q, width)) {
                q += width;
            } else if (*q == rules.shiftOut || *q == rules.shiftIn) {
                s = *q++ == rules.shiftOut ? ShiftState::doubleByte : ShiftState::singleByte;
            } else {
                return false;
            }
        }
    }
};

std::int32_t compareShiftCode(const TextRules& rules, const unsigned char* a, const unsigned char* b) noexcept {
    ShiftReader x{a};
    ShiftReader y{b};
    for (;;) {
        if (*x.p == 0) return y.blankToEnd(rules) ? 0 : -1;
        if (*y.p == 0) return x.blankToEnd(rules) ? 0 : 1;
        const ShiftReader xBefore = x;
        const ShiftReader yBefore = y;
        const std::int32_t cx = x.nextCode(rules);
        const std::int32_t cy = y.nextCode(rules);
        if (cx == cy) continue;
        return endsOrders(xBefore.blankToEnd(rules), yBefore.blankToEnd(rules), cx < cy ? -1 : 1);
    }
}

}  // namespace
}  // namespace qmr

extern "C" QMR_API qmr_int32 QMR_CALL Qmstrcmp(const char* first, const char* second) {
    using namespace qmr;
    if (first == second) return 0;
    if (first == nullptr) return -1;
    if (second == nullptr) return 1;
    const TextRules rules = TextRules::current();
    return rules.kind == TextKind::shiftCode ? compareShiftCode(rules, bytes(first), bytes(second))
                                             : compareBytes(rules, bytes(first), bytes(second));
}
