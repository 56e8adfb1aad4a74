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

// The longest run of whole characters that fits the room, a double-byte
// run's closing shift-in included.  Shift codes after the last character
// that fits are left out: they would switch the state for the blanks
// alone.  Where CharLength answers below 1 the text ends.
Cut cutText(const TextRules& rules, const unsigned char* text, std::int32_t length, std::int32_t room) noexcept {
    if (length <= room) return {length, false};
    if (rules.kind == TextKind::singleByte) return {room, false};
    Cut cut{0, false};
    CharWalker walker(rules, text, length);
    for (TextChar c; walker.next(c);) {
        if (c.shiftCode) continue;
        const bool inRun = walker.state() == ShiftState::doubleByte;
        const std::int32_t end = c.start + c.length;
        if (end + inRun > room) break;
        cut = {end, inRun};
    }
    return cut;
}

}  // namespace
}  // namespace qmr

extern "C" QMR_API char* QMR_CALL Qmstrcpy(char* target, const char* source, qmr_int16 size) {
    using namespace qmr;
    if (target == nullptr) return nullptr;
    if (size < 1) return target;
    const std::int32_t room = size - 1;
    const auto* text = reinterpret_cast<const unsigned char*>(source != nullptr ? source : "");
    // Past the room, only the bytes a character there may read count.
    const std::size_t fullLength = std::strlen(asChars(text));
    const auto length = static_cast<std::int32_t>(std::min(fullLength, std::size_t(room) + kLongestChar));
    const TextRules rules = TextRules::current();
    const Cut cut = cutText(rules, text, length, room);
    std::memmove(target, text, static_cast<std::size_t>(cut.end));
    if (cut.closeRun) target[cut.end] = static_cast<char>(rules.shiftIn);
    const std::int32_t filled = cut.end + cut.closeRun;
    std::memset(target + filled, ' ', static_cast<std::size_t>(room - filled));
    target[room] = 0;
    return target;
}
