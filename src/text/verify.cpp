#include "text/verify.h"

#include <algorithm>
#include <cstring>

#include "text/text_field.h"

namespace qmr {
namespace {

constexpr std::int32_t kBlankCode = ' ';

bool blanksOnly(const unsigned char* bytes, std::int32_t size) noexcept {
    for (std::int32_t i = 0; i < size; ++i) {
        if (bytes[i] != ' ') return false;
    }
    return true;
}

// The answer at the first character that is not a member: 0 when it is a
// single-byte blank after the first character and only blanks follow.
std::int32_t firstStranger(const unsigned char* text, std::int32_t size, std::int32_t at, std::int32_t code) noexcept {
    return at != 0 && code == kBlankCode && blanksOnly(text + at, size - at) ? 0 : at + 1;
}

// Single-byte text: a character's code is its byte.  The members are a
// 256-entry table, and also a C string of the members other than NUL, so
// that the C library's own span routine can run over a terminated copy
// of the text where it is the faster one (glibc's works 16 bytes at a
// time).
class ByteSet {
public:
    ByteSet(const unsigned char* set, std::int32_t size) noexcept {
        int count = 0;
        for (std::int32_t i = 0; i < size; ++i) {
            const unsigned char b = set[i];
            if (member_[b] == 0 && b != 0) accept_[count++] = static_cast<char>(b);
            member_[b] = 1;
        }
    }
    bool holds(std::int32_t code) const noexcept { return code >= 0 && code <= 255 && member_[code]; }

    std::int32_t verify(const unsigned char* text, std::int32_t size) const noexcept {
        const std::int32_t i = membersFrom(text, size);
        return i == size ? 0 : firstStranger(text, size, i, text[i]);
    }

private:
    // The length of the text's first run of members.
    std::int32_t membersFrom(const unsigned char* text, std::int32_t size) const noexcept {
#if defined(__GLIBC__)
        if (size <= kLargestField) {
            char terminated[kLargestField + 1];
            std::memcpy(terminated, text, static_cast<std::size_t>(size));
            terminated[size] = 0;
            std::int32_t i = 0;
            for (;;) {
                i += static_cast<std::int32_t>(std::strspn(terminated + i, accept_));
                if (i >= size || terminated[i] != 0 || !member_[0]) return i;
                ++i;  // a NUL of the text, and NUL is a member
            }
        }
#endif
        std::int32_t i = 0;
        while (i < size && member_[text[i]]) ++i;
        return i;
    }

    unsigned char member_[256] = {};
    char accept_[256] = {};
};

// Other text: the distinct codes of the set's characters, in order.
class CodeSet {
public:
    CodeSet(const TextRules& rules, const unsigned char* set, std::int32_t size, ShiftState state) noexcept {
        CharWalker walker(rules, set, size, WalkMode::withMarks, state);
        for (TextChar c; count_ < kLargestField && walker.next(c);) {
            if (!c.shiftCode) codes_[count_++] = rules.code(set + c.start, c.length);
        }
        std::sort(codes_, codes_ + count_);
        count_ = static_cast<std::int32_t>(std::unique(codes_, codes_ + count_) - codes_);
    }
    bool holds(std::int32_t code) const noexcept { return std::binary_search(codes_, codes_ + count_, code); }

    std::int32_t verify(const TextRules& rules, const unsigned char* text, std::int32_t size,
                        ShiftState state) const noexcept {
        CharWalker walker(rules, text, size, WalkMode::withMarks, state);
        for (TextChar c; walker.next(c);) {
            if (c.shiftCode) continue;
            const std::int32_t code = rules.code(text + c.start, c.length);
            if (!holds(code)) return firstStranger(text, size, c.start, code);
        }
        return 0;
    }

private:
    std::int32_t codes_[kLargestField];
    std::int32_t count_ = 0;
};

// The code of the blank that stands for an empty text; the single-byte
// blank where the character set has none of the width asked.  False
// when it has no blank at all.
bool blankCode(const TextRules& rules, int width, std::int32_t& code) noexcept {
    const char* blank = rules.services->BlankOf(static_cast<qmr_int16>(width));
    if (blank == nullptr && width != 1) {
        width = 1;
        blank = rules.services->BlankOf(1);
    }
    if (blank == nullptr) return false;
    code = rules.services->CharCode(blank, static_cast<qmr_int16>(width));
    return true;
}

}  // namespace

std::int32_t verifyText(const TextRules& rules, const unsigned char* text, std::int32_t size, const unsigned char* set,
                        std::int32_t setSize, ShiftState startState) noexcept {
    std::int32_t emptyCode = 0;
    const bool empty = size == 0;
    if (empty && !blankCode(rules, widthOf(startState), emptyCode)) return 1;
    if (rules.kind == TextKind::singleByte) {
        const ByteSet members(set, setSize);
        if (empty) return members.holds(emptyCode) ? 0 : 1;
        return members.verify(text, size);
    }
    const CodeSet members(rules, set, setSize, startState);
    if (empty) return members.holds(emptyCode) ? 0 : 1;
    return members.verify(rules, text, size, startState);
}

}  // namespace qmr
