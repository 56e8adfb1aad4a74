// How a text is walked under the character-set services: which kind of
// text it is, and a walker that hands out its characters one by one.
//
// The services are asked at the byte where a character starts and never
// beyond the text: CharLength is asked on a zero-padded copy when fewer
// than kLongestChar bytes remain, and IsBlank and CharCode get lengths
// that end inside the text.  A character whose length reaches past the
// end is handed out cut to the bytes that remain, marked `cut`.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/mbtext.h"

namespace qmr {

enum class TextKind : std::uint8_t { shiftCode, leadByte, combining, singleByte };

// The state of shift-code text; its value is the width of a character.
enum class ShiftState : std::uint8_t { singleByte = 1, doubleByte = 2 };

constexpr int widthOf(ShiftState state) noexcept {
    return static_cast<int>(state);
}

inline const char* asChars(const unsigned char* p) noexcept {
    return reinterpret_cast<const char*>(p);
}

// Whether a call walks combining text as such (substring and verify do)
// or as single-byte text (every other call).
enum class CombiningText : std::uint8_t { asSingleByte, asCombining };

struct TextRules {
    const QmrTextServices* services;
    TextKind kind;
    unsigned char shiftOut;  // shift-code text only
    unsigned char shiftIn;
    // A built-in set's byte roles, or its UTF-8 sequences, answering for
    // CharLength.
    const ByteRoles* roles = nullptr;
    const Sequences* sequences = nullptr;

    // Asks the services in the order that decides a text's kind: shift
    // codes, lead bytes, then combining bytes where the call walks
    // combining text.
    static TextRules of(const QmrTextServices& services, CombiningText combining) noexcept {
        TextRules rules{&services, TextKind::singleByte, 0, 0};
        if (const Charset* charset = charsetOf(services)) {
            if (charset->sequences != nullptr) {
                rules.sequences = charset->sequences;
            } else {
                rules.roles = &charset->roles;
            }
        }
        if (const int so = services.ShiftOutCode(); so != 0) {
            rules.kind = TextKind::shiftCode;
            rules.shiftOut = static_cast<unsigned char>(so);
            rules.shiftIn = static_cast<unsigned char>(services.ShiftInCode());
        } else if (services.UsesLeadBytes() != 0) {
            rules.kind = TextKind::leadByte;
        } else if (combining == CombiningText::asCombining && services.UsesCombining() != 0) {
            rules.kind = TextKind::combining;
        }
        return rules;
    }
    static TextRules current(CombiningText combining = CombiningText::asSingleByte) noexcept {
        return of(textServices(), combining);
    }

    // CharLength at p, `remaining` (>= 1) bytes before the end of the text.
    int charLength(const unsigned char* p, std::int32_t remaining) const noexcept {
        // UTF-8 is asked first but marked unlikely: the index search of
        // the double-byte sets then keeps its speed (bench_text).
        if (sequences != nullptr) [[unlikely]] return lengthBySequences(*sequences, p, remaining);
        if (roles != nullptr) return lengthByRoles(*roles, p[0], remaining > 1 ? p[1] : 0);
        if (remaining >= kLongestChar) return services->CharLength(asChars(p));
        char padded[kLongestChar] = {};
        std::memcpy(padded, p, static_cast<std::size_t>(remaining));
        return services->CharLength(padded);
    }
    bool combines(const unsigned char* p) const noexcept { return services->IsCombining(asChars(p)) != 0; }
    bool isBlank(const unsigned char* p, int length) const noexcept {
        return services->IsBlank(asChars(p), static_cast<qmr_int16>(length)) != 0;
    }
    bool isBlankChar(const unsigned char* p, int length) const noexcept {
        return services->IsBlankChar(asChars(p), static_cast<qmr_int16>(length)) != 0;
    }
    std::int32_t code(const unsigned char* p, int length) const noexcept {
        return services->CharCode(asChars(p), static_cast<qmr_int16>(length));
    }
};

// How a walker takes characters.
enum class WalkMode : std::uint8_t {
    // By the text's kind: shift codes and states in shift-code text,
    // CharLength in lead-byte text, a 1-byte character with the bytes that
    // IsCombining claims in combining text, byte by byte in single-byte
    // text.
    byKind,
    // As byKind, and in lead-byte text too a 1-byte character takes the
    // combining bytes after it (verify).
    withMarks,
    // CharLength in every kind of text but single-byte, shift codes not
    // set apart (the buffer trims).
    byLength,
};

struct TextChar {
    std::int32_t start;
    std::int32_t length;  // >= 1, ends inside the text
    bool shiftCode;       // a shift-out or shift-in byte
    bool cut;             // its length reached past the end of the text
};

// Hands out the characters of bytes[0, size) from `from` on, shift-code
// text from the state `state`.
class CharWalker {
public:
    CharWalker(const TextRules& rules, const unsigned char* bytes, std::int32_t size, WalkMode mode = WalkMode::byKind,
               ShiftState state = ShiftState::singleByte, std::int32_t from = 0) noexcept
        : rules_(rules),
          bytes_(bytes),
          size_(size),
          position_(from),
          state_(state),
          byState_(rules.kind == TextKind::shiftCode && mode != WalkMode::byLength),
          byLength_(rules.kind != TextKind::singleByte && !byState_),
          absorb_((rules.kind == TextKind::combining && mode != WalkMode::byLength) ||
                  (rules.kind == TextKind::leadByte && mode == WalkMode::withMarks)) {}

    std::int32_t position() const noexcept { return position_; }
    ShiftState state() const noexcept { return state_; }

    // The next character, moving past it; false at the end of the text or
    // where CharLength answers below 1 (and from then on).
    bool next(TextChar& c) noexcept {
        if (position_ >= size_ || stopped_) return false;
        const std::int32_t remaining = size_ - position_;
        const unsigned char* p = bytes_ + position_;
        c = {position_, 1, false, false};
        if (byState_) {
            if (*p == rules_.shiftOut || *p == rules_.shiftIn) {
                state_ = *p == rules_.shiftOut ? ShiftState::doubleByte : ShiftState::singleByte;
                c.shiftCode = true;
            } else {
                take(c, widthOf(state_), remaining);
            }
        } else if (byLength_) {
            const int length = rules_.charLength(p, remaining);
            if (length < 1) {
                stopped_ = true;
                return false;
            }
            take(c, length, remaining);
            if (absorb_ && length == 1) {
                while (c.length < remaining && rules_.combines(p + c.length)) ++c.length;
            }
        }
        position_ += c.length;
        return true;
    }

private:
    static void take(TextChar& c, int length, std::int32_t remaining) noexcept {
        c.cut = length > remaining;
        c.length = c.cut ? remaining : length;
    }

    const TextRules& rules_;
    const unsigned char* bytes_;
    std::int32_t size_;
    std::int32_t position_;
    ShiftState state_;
    bool byState_;   // shift codes and states
    bool byLength_;  // CharLength; otherwise byte by byte
    bool absorb_;    // a 1-byte character takes the combining bytes after it
    bool stopped_ = false;
};

}  // namespace qmr
