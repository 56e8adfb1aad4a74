// Qmstrcpy: a NUL-terminated text into a fixed-size buffer, cut at a
// character boundary and filled with blanks.
#include <algorithm>
#include <cstring>

#include "platform/text_walk.h"

namespace qmr {
namespace {

struct Cut {
    std::int32_t end;
    bool closeRun;  // a shift-in follows the copied bytes
};

// Whole characters while they fit the room.  A run cut in the double-byte
// state needs a byte for its shift-in: where none is left, the run's last
// character is left out, and a run left without characters is left out
// with its shift-out.
Cut cutShiftCode(const TextRules& rules, const unsigned char* source, std::int32_t room) noexcept {
    std::int32_t position = 0;
    std::int32_t runStart = 0;  // just after the last shift-out
    ShiftState state = ShiftState::singleByte;
    while (position + widthOf(state) <= room) {
        const unsigned char b = source[position];
        if (b == rules.shiftOut || b == rules.shiftIn) {
            state = b == rules.shiftOut ? ShiftState::doubleByte : ShiftState::singleByte;
            runStart = ++position;
        } else {
            position += widthOf(state);
        }
    }
    if (state == ShiftState::singleByte) return {position, false};
    if (position < room) return {position, true};
    const std::int32_t kept = position - 2;  // without the run's last character
    return kept <= runStart ? Cut{runStart - 1, false} : Cut{kept, true};
}

std::int32_t cutLeadByte(const TextRules& rules, const unsigned char* source, std::int32_t length,
                         std::int32_t room) noexcept {
    std::int32_t position = 0;
    std::int32_t previous = 0;
    while (position < room) {
        const int charLength = rules.charLength(source + position, length - position);
        if (charLength < 1) break;
        previous = position;
        position += charLength;
    }
    return position > room ? previous : position;
}

}  // namespace
}  // namespace qmr

extern "C" QMR_API char* QMR_CALL Qmstrcpy(char* target, const char* source, qmr_int16 size) {
    using namespace qmr;
    if (target == nullptr) return nullptr;
    if (size < 1) return target;
    const std::int32_t room = size - 1;
    const auto* text = reinterpret_cast<const unsigned char*>(source != nullptr ? source : "");
    const std::size_t fullLength = std::strlen(asChars(text));
    Cut cut{static_cast<std::int32_t>(fullLength < std::size_t(room) ? fullLength : std::size_t(room)), false};
    unsigned char shiftIn = 0;
    if (fullLength > std::size_t(room)) {
        const QmrTextServices& services = textServices();
        TextRules rules{&services, TextKind::singleByte, 0, 0};
        if (const int code = services.ShiftInCode(); code != 0) {
            shiftIn = static_cast<unsigned char>(code);
            rules.shiftOut = static_cast<unsigned char>(services.ShiftOutCode());
            rules.shiftIn = shiftIn;
            cut = cutShiftCode(rules, text, room);
        } else if (services.UsesLeadBytes() != 0) {
            const auto known = static_cast<std::int32_t>(std::min(fullLength, std::size_t(room) + kLongestChar));
            cut.end = cutLeadByte(rules, text, known, room);
        }
    }
    std::memmove(target, text, static_cast<std::size_t>(cut.end));
    if (cut.closeRun) target[cut.end] = static_cast<char>(shiftIn);
    const std::int32_t filled = cut.end + cut.closeRun;
    std::memset(target + filled, ' ', static_cast<std::size_t>(room - filled));
    target[room] = 0;
    return target;
}
