// A host's repeating group for the list tests and fuzz targets.  Every
// column, state array and attribute array is a heap block of exactly its
// size, so that ASan stops any read or write outside it.  Values come
// from a few per type, so that literals and keys often meet equal values;
// texts hold blanks, quotes, 0xFF bytes and NULs, and fill their element
// without a NUL as often as not.
#pragma once

#include <cmath>
#include <cstring>
#include <deque>
#include <random>
#include <vector>

#include "support/context.h"

namespace qmr_test {

using Bytes = std::vector<unsigned char>;

inline bool isTextField(std::int32_t type) {
    return type == QMR_FIELD_TEXT || type == QMR_FIELD_TIMESTAMP || type == QMR_FIELD_TEXT2 || type == QMR_FIELD_TEXT3;
}

// Bytes of one occurrence in a field's column; 0 where nothing is read or
// moved (type 10 and codes outside 1 to 11).
inline std::size_t widthOfType(std::int32_t type, std::uint32_t elementSize) {
    const bool isLong = type == QMR_FIELD_LONG || type == QMR_FIELD_DATE || type == QMR_FIELD_TIME;
    if (isTextField(type)) return elementSize;
    return type == QMR_FIELD_SHORT ? 2 : type == QMR_FIELD_REAL ? 8 : type == QMR_FIELD_VALUE20 ? 20 : isLong ? 4 : 0;
}

// The value of occurrence i of a number, date or time field.
inline double numberAt(const FieldDescriptor& f, std::size_t i) {
    const auto load = [&f, i](auto v) { return std::memcpy(&v, static_cast<char*>(f.data) + i * sizeof v, sizeof v), v; };
    return f.typeCode == QMR_FIELD_SHORT ? load(std::int16_t{}) : f.typeCode == QMR_FIELD_REAL ? load(0.0) : load(0);
}

struct ListGroup {
    // Fields of the type codes `types`; the selection flags are the first
    // byte of each element of field `selection` (from 0), or of a text
    // field of their own after the others when `selection` is types.size().
    ListGroup(std::uint32_t count, std::vector<std::int32_t> types, std::uint32_t selection, std::mt19937& random) {
        const auto pick = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
        if (selection == types.size()) types.push_back(QMR_FIELD_TEXT);
        for (std::uint32_t f = 0; f < types.size(); ++f) {
            const std::uint32_t size = types[f] == QMR_FIELD_TIMESTAMP ? 19 + pick(3) : 1 + pick(8);
            const std::size_t width = widthOfType(types[f], size);
            unsigned char* column = block(std::max(width, f == selection ? std::size_t{size} : 0) * count, pick);
            for (std::uint32_t i = 0; i < count; ++i) fill(types[f], column + i * width, width, pick);
            for (std::uint32_t i = 0; i < count && f == selection; ++i) column[std::size_t{i} * size] = " *H-+<>Ax"[pick(9)];
            fields.push_back({pick(3) == 0 ? block(count, pick) : nullptr,
                              pick(3) == 0 ? block(std::size_t{count} * QMR_CELL_ATTRIBUTE_SIZE, pick) : nullptr,
                              types[f], size, column});
        }
        group = {count, static_cast<std::uint32_t>(fields.size()), static_cast<std::int32_t>(pick(2)),
                 pick(4) != 0 ? block(count, pick) : nullptr, selection, fields.data()};
    }

    std::vector<Bytes> snapshot() const { return {blocks.begin(), blocks.end()}; }
    void restore(const std::vector<Bytes>& arrays) {  // into the same blocks, which the descriptors name
        for (std::size_t a = 0; a < arrays.size(); ++a) std::copy(arrays[a].begin(), arrays[a].end(), blocks[a].begin());
    }

    std::deque<Bytes> blocks;  // every array, each its own heap block of random bytes
    std::vector<FieldDescriptor> fields;
    GroupDescriptor group;

private:
    template <typename Pick>
    unsigned char* block(std::size_t size, Pick& pick) {
        Bytes& b = blocks.emplace_back(size);
        for (unsigned char& byte : b) byte = static_cast<unsigned char>(pick(256));
        return b.data();
    }

    // A number from a few per type; a text's bytes from a few, NUL among
    // them (a timestamp: 19 digits, then more or a NUL).
    template <typename Pick>
    static void fill(std::int32_t type, unsigned char* at, std::size_t width, Pick& pick) {
        static constexpr std::int32_t kNumbers[] = {-1, 0, 1, 2, INT16_MIN, INT16_MAX, INT32_MIN, INT32_MAX};
        static constexpr double kReals[] = {-1.5, 0.0, -0.0, 2.5, NAN, INFINITY};
        const auto put = [at](auto v) { std::memcpy(at, &v, sizeof v); };
        const std::uint32_t base = type == QMR_FIELD_DATE ? 20260101 : type == QMR_FIELD_TIME ? 120000 : 0;
        const auto number = static_cast<std::int32_t>(base != 0 ? base + pick(3) : kNumbers[pick(8)]);
        if (type == QMR_FIELD_SHORT) put(static_cast<std::int16_t>(number));
        if (type == QMR_FIELD_REAL) put(kReals[pick(6)]);
        if (width == 4 && !isTextField(type)) put(number);
        const bool digits = type == QMR_FIELD_TIMESTAMP;
        for (std::size_t b = 0; b < width && (isTextField(type) || type == QMR_FIELD_VALUE20); ++b) {
            at[b] = static_cast<unsigned char>(!digits ? "AB \"\xFF"[pick(6)] : b < 19 ? '1' : "012"[pick(4)]);
        }
    }
};

}  // namespace qmr_test
