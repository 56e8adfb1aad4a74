// The caller's fields of one call, taken one at a time from a parameter
// block or from a pair list.  Both readers answer `present` (whether the
// call has parameters at all) before their first `next`, and `next`
// gives the following field until the list ends.  Neither reads anything
// past the field that ends the list, and a caller that stops asking reads
// nothing beyond the last field it took.
#pragma once

#include <bit>
#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "frame/bytes.h"
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

// A pair's length, set in place: 4 bytes, least significant first, in one
// store, so that the host's next read of it is served from that store.
inline void storeLength(unsigned char* slot, std::int32_t value) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(slot, &value, sizeof value);
    } else {
        storeLE32(slot, value);
    }
}

// A parameter block: at most its field count of fields, up to the first
// length below 1.  The count bounds both ADD and READ, so no length text
// beyond the declared fields is ever read; it is read by `present`, so a
// request without fields reads nothing of the block past its version.
class BlockFields {
public:
    explicit BlockFields(unsigned char* block) noexcept : block_(block), at_(block + QMR_QPB_FIELDS) {}

    bool present() noexcept {
        left_ = readNumericText(block_ + QMR_QPB_FIELD_COUNT);
        return left_ >= 1;
    }

    bool next(CallerField& field) noexcept {
        if (left_ <= 0) return false;
        --left_;
        const std::int32_t length = readNumericText(at_);
        if (length < 1) return false;
        field = {at_ + QMR_QPB_LENGTH_SIZE, length, nullptr};
        at_ += QMR_QPB_LENGTH_SIZE + length;
        return true;
    }

private:
    unsigned char* block_;
    unsigned char* at_;  // the next field's length text
    std::int32_t left_ = 0;
};

// A pair list: (length pointer, data pointer) pairs from the variable
// argument list of the exported function, whose frame owns `rest`.  The
// list ends at a null length pointer, a length below 1 or a null data
// pointer.  The length pointer of a pair is taken only when its field is
// asked for.
class PairFields {
public:
    PairFields(void* first, std::va_list* rest) noexcept : lengthSlot_(static_cast<unsigned char*>(first)), rest_(rest) {}

    bool present() const noexcept { return lengthSlot_ != nullptr; }

    bool next(CallerField& field) noexcept {
        if (taken_) lengthSlot_ = static_cast<unsigned char*>(va_arg(*rest_, void*));
        if (lengthSlot_ == nullptr) return false;
        const std::int32_t length = loadLE32(lengthSlot_);
        if (length < 1) return false;
        auto* const data = static_cast<unsigned char*>(va_arg(*rest_, void*));
        if (data == nullptr) return false;
        field = {data, length, lengthSlot_};
        taken_ = true;
        return true;
    }

private:
    unsigned char* lengthSlot_;  // the next pair's length; the first pair's until one is taken
    std::va_list* rest_;
    bool taken_ = false;
};

}  // namespace qmr::queue
