// The caller's fields of one call, from a parameter block or from a pair
// list.  Both readers answer `present` (whether the call has parameters
// at all) first; `forEach` then hands each field in order to a visitor,
// up to the end of the list and at most kFieldLimit of them, and answers
// how many it handed.  Nothing past the field that ends the list, nor
// past the kFieldLimit-th field, is read.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "frame/bytes.h"
#include "frame/digits.h"
#include "queue/relationship_queue.h"

namespace qmr::queue {

// Four characters of numeric text: a signed decimal, read as far as it
// goes, where a fourth character with bit 0x40 set makes the number
// negative and stands for its low six bits ('p' to 'y' for 0 to 9).  The
// usual four digits ("0020") take a loop of their own, which bench_queue
// times at 1.25x to 1.5x the general reading for a parameter block.
inline std::int32_t readNumericText(const unsigned char* text) noexcept {
    std::int32_t value = 0;  // [0, 9999]
    int digits = 0;
    for (; digits < 4 && isDigit(text[digits]); ++digits) value = value * 10 + (text[digits] - '0');
    if (digits == 4) return value;
    char work[4] = {static_cast<char>(text[0]), static_cast<char>(text[1]), static_cast<char>(text[2]),
                    static_cast<char>(text[3])};
    const bool negative = (text[3] & 0x40) != 0;
    if (negative) work[3] = static_cast<char>(text[3] & 0x3F);
    value = readDecimal(work, 4);  // [-999, 9999]
    return negative ? -value : value;
}

// A parameter block: at most its field count of fields, up to the first
// length below 1.  The count bounds both ADD and READ, so no length text
// beyond the declared fields is ever read; it is read by `present`, so a
// request without fields reads nothing of the block past its version.
class BlockFields {
public:
    explicit BlockFields(unsigned char* block) noexcept : block_(block) {}

    bool present() noexcept {
        declared_ = readNumericText(block_ + QMR_QPB_FIELD_COUNT);
        return declared_ >= 1;
    }

    template <typename Visit>
    int forEach(Visit&& visit) noexcept {
        unsigned char* at = block_ + QMR_QPB_FIELDS;
        int taken = 0;
        while (taken < declared_ && taken < kFieldLimit) {
            const std::int32_t length = readNumericText(at);
            if (length < 1) break;
            visit(CallerField{at + QMR_QPB_LENGTH_SIZE, length, nullptr});
            ++taken;
            at += QMR_QPB_LENGTH_SIZE + length;
        }
        return taken;
    }

private:
    unsigned char* block_;
    std::int32_t declared_ = 0;
};

// A pair list: (length pointer, data pointer) pairs from the variable
// argument list of the exported function, whose frame owns `rest`.  The
// list ends at a null length pointer, a length below 1 or a null data
// pointer.
class PairFields {
public:
    PairFields(void* first, std::va_list* rest) noexcept : first_(static_cast<unsigned char*>(first)), rest_(rest) {}

    bool present() const noexcept { return first_ != nullptr; }

    template <typename Visit>
    int forEach(Visit&& visit) noexcept {
        int taken = 0;
        for (unsigned char* lengthSlot = first_; lengthSlot != nullptr;) {
            const std::int32_t length = loadLE32(lengthSlot);
            if (length < 1) break;
            auto* const data = static_cast<unsigned char*>(va_arg(*rest_, void*));
            if (data == nullptr) break;
            visit(CallerField{data, length, lengthSlot});
            if (++taken == kFieldLimit) break;
            lengthSlot = static_cast<unsigned char*>(va_arg(*rest_, void*));
        }
        return taken;
    }

private:
    unsigned char* first_;
    std::va_list* rest_;
};

}  // namespace qmr::queue
