#include "text/trim.h"

#include <cstring>

namespace qmr {
namespace {

bool blank(const TextRules& rules, BlankTest test, const unsigned char* p, int length) noexcept {
    return test == BlankTest::isBlank ? rules.isBlank(p, length) : rules.isBlankChar(p, length);
}

}  // namespace

KeptEnd keptEnd(const TextRules& rules, const unsigned char* text, std::int32_t size, WalkMode mode,
                BlankTest test) noexcept {
    KeptEnd kept;
    kept.walked = size;
    if (rules.kind == TextKind::singleByte) {
        kept.end = size;
        while (kept.end > 0 && blank(rules, test, text + kept.end - 1, 1)) --kept.end;
        return kept;
    }
    CharWalker walker(rules, text, size, mode);
    for (TextChar c; walker.next(c);) {
        if (c.shiftCode || blank(rules, test, text + c.start, c.length)) continue;
        kept.end = c.start + c.length;
        kept.closeRun = walker.state() == ShiftState::doubleByte;
    }
    kept.walked = walker.position();
    return kept;
}

std::int32_t trimText(const TextRules& rules, const unsigned char* source, std::int32_t size, unsigned char* out,
                      std::int32_t room) noexcept {
    const KeptEnd kept = keptEnd(rules, source, size, WalkMode::byKind, BlankTest::isBlank);
    std::memmove(out, source, static_cast<std::size_t>(kept.walked));
    if (!kept.closeRun || kept.end >= room) return kept.end;
    out[kept.end] = rules.shiftIn;
    return kept.end + 1;
}

std::int32_t trimmedLength(const TextRules& rules, const unsigned char* text, std::int32_t size) noexcept {
    const void* nul = std::memchr(text, 0, static_cast<std::size_t>(size));
    if (nul != nullptr) size = static_cast<std::int32_t>(static_cast<const unsigned char*>(nul) - text);
    return keptEnd(rules, text, size, WalkMode::byLength, BlankTest::isBlankChar).end;
}

}  // namespace qmr
