// The sort as its rules read, for the list tests and fuzz targets: the
// keys read pair by pair, a std::stable_sort of the occurrences by them
// (NaN after every number, -0 equal to +0, texts through VKSTRNCM over
// their element size, 20-byte values byte by byte, the default ordering),
// then every array the rules name put into that order.  It shares no code
// with the library.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "support/filter_model.h"
#include "support/list_group.h"

namespace qmr_test {

// Negative, zero or positive as occurrence a orders before, with or
// after occurrence b in field f, ascending.
inline int modelCompareKey(const FieldDescriptor& f, std::size_t a, std::size_t b) {
    const auto* d = static_cast<const char*>(f.data);
    const auto sign = [](auto x, auto y) { return (x > y) - (x < y); };
    const auto load = [d](auto v, std::size_t at) { return std::memcpy(&v, d + at * sizeof v, sizeof v), v; };
    switch (f.typeCode) {
    case QMR_FIELD_SHORT: return sign(load(std::int16_t{}, a), load(std::int16_t{}, b));
    case QMR_FIELD_LONG:
    case QMR_FIELD_DATE:
    case QMR_FIELD_TIME: return sign(load(std::int32_t{}, a), load(std::int32_t{}, b));
    case QMR_FIELD_REAL: {
        const double x = load(double{}, a), y = load(double{}, b);
        return std::isnan(x) || std::isnan(y) ? std::isnan(x) - std::isnan(y) : sign(x, y);
    }
    case QMR_FIELD_VALUE20: return sign(std::memcmp(d + 20 * a, d + 20 * b, 20), 0);
    default:
        if (!isTextField(f.typeCode)) return 0;
        return modelStrncmp({d + a * f.elementSize, f.elementSize}, {d + b * f.elementSize, f.elementSize}, f.elementSize);
    }
}

// Puts occurrence order[k] at place k of an array of `width`-byte elements.
inline void modelPermute(void* array, std::size_t width, const std::vector<std::size_t>& order) {
    if (array == nullptr || width == 0) return;
    auto* bytes = static_cast<unsigned char*>(array);
    const std::vector<unsigned char> copy(bytes, bytes + width * order.size());
    for (std::size_t k = 0; k < order.size(); ++k) std::memcpy(bytes + k * width, &copy[order[k] * width], width);
}

// What QMRSORT does to the group under the rules, done in place; returns
// the message.
inline std::string modelSort(GroupDescriptor& group, const std::string& keyText) {
    if (group.occurrenceCount == 0) return "";
    std::vector<std::string> tokens;
    for (std::size_t at = 0; (at = keyText.find_first_not_of(' ', at)) != std::string::npos; at += tokens.back().size()) {
        tokens.push_back(keyText.substr(at, keyText.find(' ', at) - at));
    }
    if (tokens.empty()) return " 153";
    std::vector<std::pair<const FieldDescriptor*, bool>> keys;  // field, ascending
    for (std::size_t t = 0; t < tokens.size(); t += 2) {
        const std::int32_t number = modelDecimal(tokens[t]);
        if (number < 1 || static_cast<std::uint32_t>(number) > group.fieldCount) return " 155";
        if (t + 1 == tokens.size() || tokens[t + 1].size() != 1) return " 154";
        const char direction = tokens[t + 1][0];
        if (std::string_view("AaDd").find(direction) == std::string_view::npos) return " 154";
        keys.emplace_back(&group.fields[number - 1], direction == 'A' || direction == 'a');
    }
    for (const auto& [f, ascending] : keys) {
        if (widthOfType(f->typeCode, f->elementSize) != 0 && f->data == nullptr) return " 153";
    }
    std::vector<std::size_t> order(group.occurrenceCount);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
        for (const auto& [f, ascending] : keys) {
            if (const int c = modelCompareKey(*f, a, b); c != 0) return ascending ? c < 0 : c > 0;
        }
        return false;
    });
    modelPermute(group.occurrenceState, 1, order);
    for (std::uint32_t f = 0; f < group.fieldCount; ++f) {
        FieldDescriptor& d = group.fields[f];
        if (group.cellStateFlag != 0) modelPermute(d.cellState, 1, order);
        modelPermute(d.cellAttributes, QMR_CELL_ATTRIBUTE_SIZE, order);
        modelPermute(d.data, widthOfType(d.typeCode, d.elementSize), order);
    }
    return "";
}

}  // namespace qmr_test
