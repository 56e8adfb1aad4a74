// Qmstrcmp: comparison of two NUL-terminated texts in which trailing
// blanks, single- or double-byte, do not matter.
//
// Each text is first cut after its last character that is neither a
// blank nor a shift code; the cut texts then compare character by
// character, and a text that ends first orders first.  The cut depends on
// one text alone, so the order is the same both ways round and transitive
// for every input, well-formed or not.  Lead-byte and single-byte text
// compare as unsigned bytes.  Shift-code text compares codes: a shift-out
// is shift-out * 256 and a shift-in its byte, a character of the
// single-byte state its byte, one of the double-byte state first * 256 +
// second (a byte before the NUL standing alone as first * 256).
#include <algorithm>
#include <cstring>

#include "text/trim.h"

namespace qmr {
namespace {

struct Kept {
    const unsigned char* bytes;
    std::int32_t end;
};

Kept kept(const TextRules& rules, const char* text) noexcept {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const auto size = static_cast<std::int32_t>(std::strlen(text));
    return {bytes, keptEnd(rules, bytes, size, WalkMode::byKind, BlankTest::isBlank).end};
}

std::int32_t sign(std::int64_t difference) noexcept {
    return difference < 0 ? -1 : difference > 0 ? 1 : 0;
}

std::int32_t codeOf(const TextRules& rules, const unsigned char* p, const TextChar& c, ShiftState state) noexcept {
    if (c.shiftCode) return *p == rules.shiftOut ? std::int32_t{*p} << 8 : *p;
    if (state == ShiftState::singleByte) return *p;
    return std::int32_t{p[0]} << 8 | (c.length == 2 ? p[1] : 0);
}

std::int32_t compareCodes(const TextRules& rules, const Kept& a, const Kept& b) noexcept {
    CharWalker x(rules, a.bytes, a.end);
    CharWalker y(rules, b.bytes, b.end);
    for (TextChar cx, cy;;) {
        const bool moreX = x.next(cx);
        const bool moreY = y.next(cy);
        if (!moreX || !moreY) return sign(int{moreX} - int{moreY});
        const std::int32_t codeX = codeOf(rules, a.bytes + cx.start, cx, x.state());
        const std::int32_t codeY = codeOf(rules, b.bytes + cy.start, cy, y.state());
        if (codeX != codeY) return sign(std::int64_t{codeX} - codeY);
    }
}

std::int32_t compareBytes(const Kept& a, const Kept& b) noexcept {
    const int byBytes = std::memcmp(a.bytes, b.bytes, static_cast<std::size_t>(std::min(a.end, b.end)));
    return byBytes != 0 ? sign(byBytes) : sign(std::int64_t{a.end} - b.end);
}

}  // namespace
}  // namespace qmr

extern "C" QMR_API qmr_int32 QMR_CALL Qmstrcmp(const char* first, const char* second) {
    using namespace qmr;
    if (first == second) return 0;
    if (first == nullptr) return -1;
    if (second == nullptr) return 1;
    const TextRules rules = TextRules::current();
    const Kept a = kept(rules, first);
    const Kept b = kept(rules, second);
    return rules.kind == TextKind::shiftCode ? compareCodes(rules, a, b) : compareBytes(a, b);
}
