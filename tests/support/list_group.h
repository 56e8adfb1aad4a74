// A host's repeating group for the list tests and fuzz targets, and the
// check of one QMRFLTR or QMRSORT call on it against a model of the rules.
// Every column, state array and attribute array is a heap block of
// exactly its size, so that ASan stops any read or write outside it.
// Values come from a few per type, so that literals and keys often meet
// equal values; texts hold blanks, quotes, high bytes and NULs, and fill
// their element without a NUL as often as not.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "platform/alloc.h"
#include "qmr/qmr.h"
#include "support/context.h"

namespace qmr_test {

using Bytes = std::vector<unsigned char>;

// Bytes of one occurrence in a field's column; 0 where nothing is read or
// moved (type 10 and codes outside 1 to 11).
inline std::size_t widthOfType(std::int32_t type, std::uint32_t elementSize) {
    switch (type) {
    case QMR_FIELD_SHORT: return 2;
    case QMR_FIELD_LONG:
    case QMR_FIELD_DATE:
    case QMR_FIELD_TIME: return 4;
    case QMR_FIELD_REAL: return 8;
    case QMR_FIELD_VALUE20: return 20;
    case QMR_FIELD_TEXT:
    case QMR_FIELD_TIMESTAMP:
    case QMR_FIELD_TEXT2:
    case QMR_FIELD_TEXT3: return elementSize;
    default: return 0;
    }
}

struct ListGroup {
    // Fields of the type codes `types`; the selection flags are the first
    // byte of each element of field `selection` (from 0), or of a text
    // field of their own after the others when `selection` is types.size().
    ListGroup(std::uint32_t count, std::vector<std::int32_t> types, std::uint32_t selection, std::mt19937& random) {
        const auto pick = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
        if (selection == types.size()) types.push_back(QMR_FIELD_TEXT);
        for (std::uint32_t f = 0; f < types.size(); ++f) {
            const std::int32_t type = types[f];
            const std::uint32_t size = type == QMR_FIELD_TIMESTAMP ? 19 + pick(3) : 1 + pick(8);
            const std::size_t width = widthOfType(type, size);
            unsigned char* at = block(std::max(width, f == selection ? std::size_t{size} : 0) * count, pick).data();
            for (std::uint32_t i = 0; i < count; ++i, at += width) fill(type, at, width, pick);
            FieldDescriptor d{nullptr, nullptr, type, size, blocks.back().data()};
            if (pick(3) == 0) d.cellState = block(count, pick).data();
            if (pick(3) == 0) d.cellAttributes = block(std::size_t{count} * QMR_CELL_ATTRIBUTE_SIZE, pick).data();
            fields.push_back(d);
        }
        unsigned char* flags = static_cast<unsigned char*>(fields[selection].data);
        for (std::uint32_t i = 0; i < count; ++i) flags[std::size_t{i} * fields[selection].elementSize] = " *H-+<>Ax"[pick(9)];
        unsigned char* occurrenceState = pick(4) != 0 ? block(count, pick).data() : nullptr;
        group = {count, static_cast<std::uint32_t>(fields.size()), static_cast<std::int32_t>(pick(2)),
                 occurrenceState, selection, fields.data()};
    }
    ListGroup(const ListGroup&) = delete;

    std::vector<Bytes> snapshot() const { return {blocks.begin(), blocks.end()}; }
    void restore(const std::vector<Bytes>& arrays) {
        for (std::size_t a = 0; a < arrays.size(); ++a) std::copy(arrays[a].begin(), arrays[a].end(), blocks[a].begin());
    }

    std::deque<Bytes> blocks;  // every array, each its own heap block
    std::vector<FieldDescriptor> fields;
    GroupDescriptor group;

private:
    template <typename Pick>
    static void fill(std::int32_t type, unsigned char* at, std::size_t width, Pick& pick) {
        static constexpr std::int16_t kShorts[] = {-1, 0, 1, 2, INT16_MIN, INT16_MAX};
        static constexpr std::int32_t kLongs[] = {-1, 0, 1, 2, INT32_MIN, INT32_MAX};
        static constexpr double kReals[] = {-1.5, 0.0, -0.0, 2.5, NAN, INFINITY};
        const auto put = [at](auto v) { std::memcpy(at, &v, sizeof v); };
        switch (type) {
        case QMR_FIELD_SHORT: return put(kShorts[pick(6)]);
        case QMR_FIELD_LONG: return put(kLongs[pick(6)]);
        case QMR_FIELD_DATE: return put(static_cast<std::int32_t>(20260101 + pick(3)));
        case QMR_FIELD_TIME: return put(static_cast<std::int32_t>(120000 + pick(3)));
        case QMR_FIELD_REAL: return put(kReals[pick(6)]);
        case QMR_FIELD_TIMESTAMP:  // 19 digits, then 0, 1, 2 or a NUL
            for (std::size_t b = 0; b < width; ++b) at[b] = static_cast<unsigned char>(b < 19 ? '1' : "012"[pick(4)]);
            return;
        default:  // texts and 20-byte values
            for (std::size_t b = 0; b < width; ++b) at[b] = static_cast<unsigned char>("AB \"\x80"[pick(6)]);
        }
    }

    template <typename Pick>
    Bytes& block(std::size_t size, Pick& pick) {
        Bytes& b = blocks.emplace_back(size);
        for (unsigned char& byte : b) byte = static_cast<unsigned char>(pick(256));
        return b;
    }
};

using ListFunction = void(QMR_CALL*)(void*, void*, CallContext*, GroupDescriptor*, const char*);

// Calls `function` (QMRFLTR or QMRSORT) on the group with its `failAt`-th
// allocation failing (none for 0), beside `model`, which applies the rules
// to the group in place and returns the message they give; a failed
// allocation must give " 153" and leave the group as it was.  Returns ""
// when the name, the message and every byte agree, else what differs;
// `allocations` receives the number the call made.  The group is left as
// it was.
template <typename Model>
std::string checkListCall(ListFunction function, const char* name, ListGroup& g, const std::string& text,
                          Model model, long failAt = 0, long* allocations = nullptr) {
    const std::vector<Bytes> before = g.snapshot();
    std::string message = model(g.group, text);
    std::vector<Bytes> wanted = g.snapshot();
    g.restore(before);
    TestContext context;
    qmr::testing::failAllocation(failAt);
    function(nullptr, nullptr, context.get(), &g.group, text.c_str());
    const long made = qmr::testing::allocationCount();
    qmr::testing::failAllocation(0);
    if (allocations != nullptr) *allocations = made;
    if (failAt > 0 && made >= failAt) message = " 153", wanted = before;
    if (context.name() != name || context.error() != message) {
        return context.name() + " reported '" + context.error() + "', not '" + message + "'";
    }
    const std::vector<Bytes> got = g.snapshot();
    g.restore(before);
    for (std::size_t a = 0; a < got.size(); ++a) {
        const auto at = std::mismatch(got[a].begin(), got[a].end(), wanted[a].begin()).first - got[a].begin();
        if (at != static_cast<long>(got[a].size())) {
            return "array " + std::to_string(a) + " byte " + std::to_string(at) + ": " + std::to_string(got[a][at]) +
                   ", not " + std::to_string(wanted[a][at]);
        }
    }
    return "";
}

}  // namespace qmr_test
