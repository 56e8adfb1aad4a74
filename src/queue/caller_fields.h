// The caller's fields of one call, read from a parameter block.  (A pair
// list is read where the variable argument list is, in the exported
// function.)
#pragma once

#include <cstdint>

#include "frame/digits.h"
#include "queue/relationship_queue.h"

namespace qmr::queue {

// Four characters of numeric text: a signed decimal, read as far as it
// goes, where a fourth character with bit 0x40 set makes the number
// negative and stands for its low six bits ('p' to 'y' for 0 to 9).
constexpr std::int32_t readNumericText(const unsigned char* text) noexcept {
    if (isDigit(text[0]) && isDigit(text[1]) && isDigit(text[2]) && isDigit(text[3])) {  // the usual "0020"
        return ((text[0] - '0') * 10 + (text[1] - '0')) * 100 + (text[2] - '0') * 10 + (text[3] - '0');
    }
    char work[4] = {static_cast<char>(text[0]), static_cast<char>(text[1]), static_cast<char>(text[2]),
                    static_cast<char>(text[3])};
    const bool negative = (text[3] & 0x40) != 0;
    if (negative) work[3] = static_cast<char>(text[3] & 0x3F);
    const std::int32_t value = readDecimal(work, 4);  // [-999, 9999]
    return negative ? -value : value;
}

// The fields of a parameter block: at most its field count, up to the
// first length below 1.  The block's count bounds both ADD and READ, so
// no length text beyond the declared fields is ever read.
inline void readBlockFields(unsigned char* block, CallerFields& fields) noexcept {
    const std::int32_t declared = readNumericText(block + QMR_QPB_FIELD_COUNT);
    fields.present = declared >= 1;
    fields.count = 0;
    unsigned char* at = block + QMR_QPB_FIELDS;
    while (fields.count < declared && fields.count < kFieldLimit) {
        const std::int32_t length = readNumericText(at);
        if (length < 1) break;
        fields.field[fields.count++] = {at + QMR_QPB_LENGTH_SIZE, length, nullptr};
        at += QMR_QPB_LENGTH_SIZE + length;
    }
}

}  // namespace qmr::queue
