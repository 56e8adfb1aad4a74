#include "text/search.h"

#include <cstring>
#include <string_view>

namespace qmr {
namespace {

bool matchesAt(const unsigned char* at, const unsigned char* search, std::int32_t searchSize) noexcept {
    return *at == *search && std::memcmp(at, search, static_cast<std::size_t>(searchSize)) == 0;
}

std::int32_t findBytes(const unsigned char* source, std::int32_t size, const unsigned char* search,
                       std::int32_t searchSize) noexcept {
    const std::string_view text(asChars(source), static_cast<std::size_t>(size));
    const std::size_t found = text.find(std::string_view(asChars(search), static_cast<std::size_t>(searchSize)));
    return found == std::string_view::npos ? 0 : static_cast<std::int32_t>(found) + 1;
}

std::int32_t findShiftCode(const TextRules& rules, const unsigned char* source, std::int32_t size,
                           const unsigned char* search, std::int32_t searchSize, ShiftState state) noexcept {
    if (search[searchSize - 1] == rules.shiftIn) --searchSize;
    ShiftState firstState = state;
    if (searchSize > 0 && search[0] == rules.shiftOut) {
        ++search;
        --searchSize;
        firstState = ShiftState::doubleByte;
    }
    if (searchSize == 0) return 0;
    CharWalker walker(rules, source, size, WalkMode::byKind, state);
    for (TextChar c; walker.next(c) && size - c.start >= searchSize;) {
        if (!c.shiftCode && walker.state() == firstState && matchesAt(source + c.start, search, searchSize)) {
            return c.start + 1;
        }
    }
    return 0;
}

std::int32_t findLeadByte(const TextRules& rules, const unsigned char* source, std::int32_t size,
                          const unsigned char* search, std::int32_t searchSize) noexcept {
    CharWalker walker(rules, source, size);
    for (TextChar c; size - walker.position() >= searchSize;) {
        if (matchesAt(source + walker.position(), search, searchSize)) return walker.position() + 1;
        if (!walker.next(c)) return 0;
    }
    return 0;
}

}  // namespace

std::int32_t findText(const TextRules& rules, const unsigned char* source, std::int32_t size,
                      const unsigned char* search, std::int32_t searchSize, ShiftState startState) noexcept {
    if (searchSize < 1 || size < 1) return 0;
    switch (rules.kind) {
    case TextKind::shiftCode:
        return findShiftCode(rules, source, size, search, searchSize, startState);
    case TextKind::leadByte:
        return findLeadByte(rules, source, size, search, searchSize);
    case TextKind::combining:
    case TextKind::singleByte:
        break;
    }
    return findBytes(source, size, search, searchSize);
}

}  // namespace qmr
