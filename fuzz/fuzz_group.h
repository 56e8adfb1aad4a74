// A repeating group generated from fuzz input: a few fields of any type
// code (unknown ones included), short columns of small values so that
// literals and keys meet equal values often, each array its own guarded
// allocation.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "fuzz_support.h"

namespace qmr_fuzz {

constexpr std::uint32_t kMaxOccurrences = 48;
constexpr std::uint32_t kMaxFields = 8;

inline std::size_t widthOf(std::int32_t type, std::uint32_t elementSize) {
    switch (type) {
    case QMR_FIELD_SHORT: return 2;
    case QMR_FIELD_LONG:
    case QMR_FIELD_DATE:
    case QMR_FIELD_TIME: return 4;
    case QMR_FIELD_REAL: return 8;
    case QMR_FIELD_TEXT:
    case QMR_FIELD_TIMESTAMP:
    case QMR_FIELD_TEXT2:
    case QMR_FIELD_TEXT3: return elementSize;
    case QMR_FIELD_VALUE20: return 20;
    default: return 4;  // type 10 and unknown codes: a column nothing may touch
    }
}

class FuzzGroup {
public:
    explicit FuzzGroup(Input& in) {
        count_ = in.below(kMaxOccurrences + 1);
        const std::uint32_t fieldCount = 1 + in.below(kMaxFields);
        // The selection flags: a text field of its own, usually, or one of
        // the fields, whose element size is then the flags' stride.
        const std::uint8_t selection = in.byte();
        const std::uint32_t flagSize = 1 + selection % 3;
        selection_ = selection < 16 ? selection % (fieldCount + 1) : fieldCount;
        for (std::uint32_t f = 0; f < fieldCount; ++f) {
            const std::uint8_t shape = in.byte();
            FieldDescriptor d{};
            d.typeCode = shape % 13;  // 0 and 12 are unknown codes
            d.elementSize = in.below(25);
            const std::size_t width = widthOf(d.typeCode, d.elementSize);
            const std::size_t stride = f == selection_ ? std::max<std::size_t>(width, d.elementSize) : width;
            columns_.push_back(std::make_unique<Guarded>(stride * count_));
            if (shape >= 240) {
                d.data = nullptr;
            } else {
                d.data = columns_.back()->data();
                fill(in, d.typeCode, width, columns_.back()->data());
            }
            if (shape % 7 == 3) {
                cellStates_.push_back(std::make_unique<Guarded>(count_, static_cast<unsigned char>(f)));
                d.cellState = cellStates_.back()->data();
            }
            if (shape % 5 == 2) {
                attributes_.push_back(std::make_unique<Guarded>(std::size_t{count_} * QMR_CELL_ATTRIBUTE_SIZE, 0x40));
                d.cellAttributes = attributes_.back()->data();
            }
            fields_.push_back(d);
        }
        ownFlags_ = selection_ == fieldCount;
        if (ownFlags_) {
            columns_.push_back(std::make_unique<Guarded>(std::size_t{flagSize} * count_, '.'));
            static constexpr char kFlags[] = " *H-+<>A";
            const std::uint64_t pattern = in.u32() | std::uint64_t{in.u32()} << 32;
            for (std::uint32_t i = 0; i < count_; ++i) {
                columns_.back()->data()[i * flagSize] = static_cast<unsigned char>(kFlags[(pattern >> (i % 21 * 3)) & 7]);
            }
            fields_.push_back({nullptr, nullptr, QMR_FIELD_TEXT, flagSize, columns_.back()->data()});
        }
        const std::uint8_t extras = in.byte();
        if (extras & 1) {
            occurrenceState_ = std::make_unique<Guarded>(count_);
            for (std::uint32_t i = 0; i < count_; ++i) occurrenceState_->data()[i] = static_cast<unsigned char>(i);
        }
        cellStateFlag_ = (extras & 2) != 0;
    }

    GroupDescriptor* descriptor() {
        group_ = {count_, static_cast<std::uint32_t>(fields_.size()), cellStateFlag_,
                  occurrenceState_ ? occurrenceState_->data() : nullptr, selection_, fields_.data()};
        return &group_;
    }
    std::uint32_t count() const { return count_; }
    std::uint32_t selectionField() const { return selection_; }
    // The selection flags are a field of their own, not one compared.
    bool flagsOfTheirOwn() const { return ownFlags_; }
    const FieldDescriptor& field(std::size_t f) const { return fields_[f]; }
    std::size_t fieldCount() const { return fields_.size(); }

    // Every array's bytes, in a fixed order, to compare before and after.
    std::vector<std::string> snapshot() const {
        std::vector<std::string> all;
        for (const auto& c : columns_) all.push_back(c->text());
        for (const auto& c : cellStates_) all.push_back(c->text());
        for (const auto& c : attributes_) all.push_back(c->text());
        if (occurrenceState_) all.push_back(occurrenceState_->text());
        return all;
    }
    bool intact() {
        bool ok = true;
        for (auto& c : columns_) ok = ok && c->intact();
        for (auto& c : cellStates_) ok = ok && c->intact();
        for (auto& c : attributes_) ok = ok && c->intact();
        return ok && (!occurrenceState_ || occurrenceState_->intact());
    }
    // Index into snapshot() of field f's column.
    std::size_t columnIndex(std::size_t f) const { return f; }

private:
    // Values from an 8-byte pattern: few distinct ones, so that equal keys
    // and matching literals are common.
    void fill(Input& in, std::int32_t type, std::size_t width, unsigned char* column) {
        std::uint8_t pattern[8];
        for (auto& p : pattern) p = in.byte();
        for (std::uint32_t i = 0; i < count_; ++i) {
            const std::uint8_t v = pattern[(i * 5 + i / 8) % 8];
            unsigned char* at = column + i * width;
            switch (type) {
            case QMR_FIELD_SHORT: {
                const auto s = static_cast<std::int16_t>(v % 16 - 4 + (v >= 250 ? 30000 : 0));
                std::memcpy(at, &s, 2);
                break;
            }
            case QMR_FIELD_LONG:
            case QMR_FIELD_DATE:
            case QMR_FIELD_TIME: {
                static constexpr std::int32_t kSpecial[] = {INT32_MIN, INT32_MAX, 20261204, 123000, -1};
                const std::int32_t l = v >= 251 ? kSpecial[v - 251] : v % 16 - 4;
                std::memcpy(at, &l, 4);
                break;
            }
            case QMR_FIELD_REAL: {
                static const double kSpecial[] = {NAN, -0.0, INFINITY, -INFINITY, 1e300};
                const double d = v >= 251 ? kSpecial[v - 251] : (v % 32 - 8) / 4.0;
                std::memcpy(at, &d, 8);
                break;
            }
            default: {
                static constexpr char kLetters[] = "AB ab\0\"Z";
                for (std::size_t b = 0; b < width; ++b) {
                    at[b] = static_cast<unsigned char>(type == QMR_FIELD_TIMESTAMP ? '0' + (v + b) % 3
                                                                                   : kLetters[(v >> (b % 6)) & 7]);
                }
            }
            }
        }
    }

    std::uint32_t count_ = 0;
    std::vector<std::unique_ptr<Guarded>> columns_, cellStates_, attributes_;
    std::unique_ptr<Guarded> occurrenceState_;
    std::vector<FieldDescriptor> fields_;
    std::uint32_t selection_ = 0;
    bool ownFlags_ = false;
    std::int32_t cellStateFlag_ = 0;
    GroupDescriptor group_{};
};

// Fails the k-th allocation of the next call when the input asks for it:
// 0 for none.
inline long allocationToFail(Input& in) {
    const std::uint8_t b = in.byte();
    return b >= 192 ? b - 191 : 0;
}

}  // namespace qmr_fuzz
