// Exports of the buffer routines with a two-byte length field: QMROTRIM,
// QMRVTRIM and QMROPAD.  They take only their operands and report
// nothing.
#include <cstring>

#include "frame/bytes.h"
#include "text/trim.h"

namespace qmr {
namespace {

unsigned char* bytes(char* p) noexcept {
    return reinterpret_cast<unsigned char*>(p);
}
const unsigned char* bytes(const char* p) noexcept {
    return reinterpret_cast<const unsigned char*>(p);
}

std::int32_t trimmedCount(const TextRules& rules, const char* text, std::int32_t count) noexcept {
    return count > 0 ? trimmedLength(rules, bytes(text), count) : count;
}

}  // namespace
}  // namespace qmr

extern "C" {

QMR_API qmr_int32 QMR_CALL QMROTRIM(char* lengthField, char* text) {
    using namespace qmr;
    if (text == nullptr) return 0;
    const TextRules rules = TextRules::current();
    const std::int32_t count =
        lengthField != nullptr ? loadLE16(bytes(lengthField)) : static_cast<std::int32_t>(std::strlen(text));
    std::int32_t trimmed = trimmedCount(rules, text, count);
    if (trimmed < 1) {
        if (const char* blank = rules.services->BlankOf(1)) {
            text[0] = *blank;
            trimmed = 1;
        }
    }
    if (lengthField != nullptr) {
        storeLE16(bytes(lengthField), static_cast<std::int16_t>(trimmed));
    } else {
        text[trimmed] = 0;
    }
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVTRIM(char* lengthField, const char* text, const qmr_int16* order) {
    using namespace qmr;
    if (lengthField == nullptr || text == nullptr) return 0;
    std::int16_t native = 0;
    std::memcpy(&native, lengthField, sizeof native);
    const bool nativeOrder = order != nullptr && *order == 1;
    const std::int32_t count = nativeOrder ? native : loadLE16(bytes(lengthField));
    const auto trimmed = static_cast<std::int16_t>(trimmedCount(TextRules::current(), text, count));
    if (nativeOrder) {
        std::memcpy(lengthField, &trimmed, sizeof trimmed);
    } else {
        storeLE16(bytes(lengthField), trimmed);
    }
    return 0;
}

// A source longer than the target is cut at the target's length, so the
// copy never writes past the target.
QMR_API qmr_int32 QMR_CALL QMROPAD(const char* sourceLength, const char* source, const char* targetLength,
                                   char* target) {
    using namespace qmr;
    const std::int32_t room = loadLE16(bytes(targetLength));
    std::int32_t count = loadLE16(bytes(sourceLength));
    if (count < 0) count = 0;
    if (count > room) count = room < 0 ? 0 : room;
    std::memmove(target, source, static_cast<std::size_t>(count));
    if (room > count) std::memset(target + count, ' ', static_cast<std::size_t>(room - count));
    return 0;
}

}  // extern "C"
