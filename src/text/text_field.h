// Access to the host's counted text fields and optional numbers, byte by
// byte at the offsets of qmr.h.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/bytes.h"
#include "frame/call_context.h"
#include "qmr/qmr.h"

namespace qmr {

constexpr std::int32_t kLargestField = QMR_TF_LARGEST_MAX;  // 4096

constexpr bool validMaximum(std::int32_t maximum) noexcept {
    return maximum >= 1 && maximum <= kLargestField;
}

class FieldView {
public:
    explicit FieldView(const TextField* field) noexcept : bytes_(const_cast<unsigned char*>(bytesOf(field))) {}

    std::int32_t maximum() const noexcept { return loadLE32(bytes_ + QMR_TF_MAX_LENGTH); }
    std::int32_t length() const noexcept { return loadLE32(bytes_ + QMR_TF_LENGTH); }
    void setLength(std::int32_t length) const noexcept { storeLE32(bytes_ + QMR_TF_LENGTH, length); }
    unsigned char* text() const noexcept { return bytes_ + QMR_TF_TEXT; }

    // Maximum 1..4096 and current length 0..maximum.
    bool valid() const noexcept {
        const std::int32_t max = maximum();
        return validMaximum(max) && length() >= 0 && length() <= max;
    }

    // A result of `length` bytes already in place: the length, and a NUL
    // after the text when it is shorter than the field.  A field that
    // claims more than the largest maximum is never written past its
    // 4096th byte, as blankFill does.
    void finish(std::int32_t length) const noexcept {
        setLength(length);
        if (length < maximum() && length < kLargestField) text()[length] = 0;
    }
    // The empty result most failures leave: length 0 and, when the field
    // has a byte, a NUL in it.
    void clear() const noexcept {
        setLength(0);
        if (maximum() >= 1) text()[0] = 0;
    }
    // Length 0 and blanks up to the maximum (at most 4096 bytes).
    void blankFill() const noexcept {
        setLength(0);
        const std::int32_t max = maximum();
        if (max >= 1) std::memset(text(), ' ', static_cast<std::size_t>(max < kLargestField ? max : kLargestField));
    }

private:
    unsigned char* bytes_;
};

// The start of the built-ins that copy a source into a result (trim,
// upper-casing): the name stamped, then both maxima 1..4096 and the
// source's length not above either, else an empty result and " 130".  A
// negative length passes, and copies nothing.
inline bool startCopy(void* opaque1, void* opaque2, CallContext* context, const FunctionName& name,
                      const FieldView& source, const FieldView& result) noexcept {
    ContextView(context).stampName(name);
    if (validMaximum(source.maximum()) && validMaximum(result.maximum()) && source.length() <= source.maximum() &&
        source.length() <= result.maximum()) {
        return true;
    }
    result.clear();
    report(opaque1, opaque2, context, QMR_MSG_OUT_OF_RANGE);
    return false;
}

class OptionalNumberView {
public:
    explicit OptionalNumberView(OptionalNumber* number) noexcept : bytes_(bytesOf(number)) {}

    bool supplied() const noexcept { return bytes_[QMR_ON_INDICATOR] != 'N'; }
    std::int16_t value() const noexcept { return loadLE16(bytes_ + QMR_ON_VALUE); }
    void setValue(std::int16_t value) const noexcept { storeLE16(bytes_ + QMR_ON_VALUE, value); }

private:
    unsigned char* bytes_;
};

}  // namespace qmr
