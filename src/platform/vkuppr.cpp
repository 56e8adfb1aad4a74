// VKUPPR: upper-casing in place under the character-set services.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/editsvc.h"
#include "platform/text_walk.h"
#include "platform/utf8_upper.h"

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

std::int32_t upperCodePoint(std::int32_t code) noexcept {
    const UpperRun* run = std::lower_bound(std::begin(kUtf8Upper), std::end(kUtf8Upper), code,
                                           [](const UpperRun& r, std::int32_t c) { return r.last < c; });
    if (run == std::end(kUtf8Upper) || code < run->first || (code - run->first) % run->step != 0) return code;
    return code + run->delta;
}

namespace {

// A UTF-8 character of 2 to 4 bytes, upper-cased in place; its capital
// has as many bytes.
void upperUtf8(unsigned char* p, int length) noexcept {
    std::int32_t code = upperCodePoint(utf8Code(p, length));
    if (code >= kNotUnicode) return;
    for (int i = length - 1; i > 0; --i, code >>= 6) p[i] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    p[0] = static_cast<unsigned char>((0xFF00 >> length & 0xFF) | code);
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
        } else if (rules.sequences != nullptr) {
            upperUtf8(p, c.length);
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
