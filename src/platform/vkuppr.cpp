// VKUPPR: upper-casing in place under the character-set services.
#include <cstring>

#include "platform/editsvc.h"
#include "platform/text_walk.h"

namespace qmr {
namespace {

constexpr unsigned char upperAscii(unsigned char c) noexcept {
    return static_cast<unsigned char>(static_cast<unsigned char>(c - 'a') <= 'z' - 'a' ? c - ('a' - 'A') : c);
}

void upperAsciiBytes(unsigned char* bytes, std::int32_t size) noexcept {
    for (std::int32_t i = 0; i < size; ++i) bytes[i] = upperAscii(bytes[i]);
}

void upperDoubleByte(std::span<const CaseRun> letters, unsigned char* p) noexcept {
    const unsigned code = unsigned{p[0]} << 8 | p[1];
    for (const CaseRun& run : letters) {
        if (code - run.first <= unsigned{run.last} - run.first) {
            const unsigned upper = run.upper + (code - run.first);
            p[0] = static_cast<unsigned char>(upper >> 8);
            p[1] = static_cast<unsigned char>(upper);
            return;
        }
    }
}

}  // namespace

void upperCaseText(const TextRules& rules, std::span<const CaseRun> letters, unsigned char* bytes,
                   std::int32_t size) noexcept {
    if (rules.kind == TextKind::singleByte || rules.kind == TextKind::combining) {
        upperAsciiBytes(bytes, size);
        return;
    }
    CharWalker walker(rules, bytes, size);
    for (TextChar c; walker.next(c);) {
        unsigned char* p = bytes + c.start;
        if (c.shiftCode || c.cut) continue;
        if (c.length == 1) {
            *p = upperAscii(*p);
        } else if (c.length == 2) {
            upperDoubleByte(letters, p);
        }
    }
}

void VKUPPR(void*, void*, char* text) noexcept {
    if (text == nullptr) return;
    const QmrTextServices& services = textServices();
    const TextRules rules = TextRules::of(services, CombiningText::asSingleByte);
    upperCaseText(rules, caseRunsOf(services), reinterpret_cast<unsigned char*>(text),
                  static_cast<std::int32_t>(std::strlen(text)));
}

}  // namespace qmr
