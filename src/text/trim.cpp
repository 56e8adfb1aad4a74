#include "text/trim.h"

#include <cstring>

namespace qmr {
namespace {

// The end of the last non-blank character, and whether it stands in a
// double-byte run that a shift-in must close.
struct KeptEnd {
    std::int32_t end = 0;
    bool closeRun = false;
};

std::int32_t trimShiftCode(const TextRules& rules, const unsigned char* source, std::int32_t size, unsigned char* out,
                           std::int32_t room) noexcept {
    KeptEnd last;
    KeptEnd beforeLast;
    CharWalker walker(rules, source, size, ShiftState::singleByte);
    for (TextChar c; walker.next(c);) {
        if (c.shiftCode || rules.isBlank(source + c.start, c.length)) continue;
        beforeLast = last;
        last = {c.start + c.length, walker.state() == ShiftState::doubleByte};
    }
    std::memmove(out, source, static_cast<std::size_t>(size));
    if (last.closeRun && last.end >= room) last = beforeLast;
    if (!last.closeRun) return last.end;
    out[last.end] = rules.shiftIn;
    return last.end + 1;
}

std::int32_t trimLeadByte(const TextRules& rules, const unsigned char* source, std::int32_t size,
                          unsigned char* out) noexcept {
    std::int32_t end = 0;
    CharWalker walker(rules, source, size, ShiftState::singleByte);
    for (TextChar c; walker.next(c);) {
        if (!rules.isBlank(source + c.start, c.length)) end = c.start + c.length;
    }
    std::memmove(out, source, static_cast<std::size_t>(walker.position()));
    return end;
}

}  // namespace

std::int32_t trimText(const TextRules& rules, const unsigned char* source, std::int32_t size, unsigned char* out,
                      std::int32_t room) noexcept {
    switch (rules.kind) {
    case TextKind::shiftCode:
        return trimShiftCode(rules, source, size, out, room);
    case TextKind::leadByte:
        return trimLeadByte(rules, source, size, out);
    case TextKind::combining:
    case TextKind::singleByte:
        break;
    }
    std::memmove(out, source, static_cast<std::size_t>(size));
    return trimBytes(out, size, [&rules](const unsigned char* p) { return rules.isBlank(p, 1); });
}

std::int32_t trimmedLength(const TextRules& rules, const unsigned char* text, std::int32_t size) noexcept {
    const void* nul = std::memchr(text, 0, static_cast<std::size_t>(size));
    if (nul != nullptr) size = static_cast<std::int32_t>(static_cast<const unsigned char*>(nul) - text);
    if (rules.kind == TextKind::singleByte) {
        return trimBytes(text, size, [&rules](const unsigned char* p) { return rules.isBlankChar(p, 1); });
    }
    TextRules byLength = rules;
    byLength.kind = TextKind::leadByte;
    std::int32_t end = 0;
    CharWalker walker(byLength, text, size, ShiftState::singleByte);
    for (TextChar c; walker.next(c);) {
        if (!rules.isBlankChar(text + c.start, c.length)) end = c.start + c.length;
    }
    return end;
}

}  // namespace qmr
