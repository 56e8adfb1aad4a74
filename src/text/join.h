// The join of two texts (QMRFCCAT): where the first ends a double-byte
// run with a shift-in and the second opens one with a shift-out, the two
// shift codes go, so that the runs become one.
#pragma once

#include <cstdint>

#include "platform/text_walk.h"

namespace qmr {

// The joined text is first[0, firstEnd) followed by second[secondFrom, secondSize).
struct Join {
    std::int32_t firstEnd;
    std::int32_t secondFrom;
};

// Texts of a single byte are never joined: a lone shift code is no run.
inline Join joinTexts(const TextRules& rules, const unsigned char* first, std::int32_t firstSize,
                      const unsigned char* second, std::int32_t secondSize) noexcept {
    const bool merges = rules.kind == TextKind::shiftCode && secondSize > 1 && second[0] == rules.shiftOut &&
                        firstSize > 1 && first[firstSize - 1] == rules.shiftIn;
    return merges ? Join{firstSize - 1, 1} : Join{firstSize, 0};
}

}  // namespace qmr
