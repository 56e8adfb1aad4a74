// A host's repeating group for tests: every column, state array and
// attribute array is a byte vector laid out as the host lays it out, and
// the descriptors point into them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qmr/qmr.h"
#include "support/context.h"

namespace qmr_test {

using Bytes = std::vector<unsigned char>;

class TestGroup {
public:
    explicit TestGroup(std::uint32_t count) : count_(count), occurrenceState_(count) {
        for (std::uint32_t i = 0; i < count; ++i) occurrenceState_[i] = static_cast<unsigned char>(i * 7 + 1);
    }
    TestGroup(const TestGroup&) = delete;

    std::uint32_t count() const { return count_; }

    // Each adder returns the new field's number (from 1).
    int addShorts(const std::vector<std::int16_t>& v) { return addValues(QMR_FIELD_SHORT, v); }
    int addLongs(const std::vector<std::int32_t>& v, std::int32_t type = QMR_FIELD_LONG) { return addValues(type, v); }
    int addReals(const std::vector<double>& v) { return addValues(QMR_FIELD_REAL, v); }
    // Texts of `size` bytes each: the text (cut to the size), then NUL
    // fill (none when the text fills the element).
    int addTexts(std::uint32_t size, const std::vector<std::string>& v, std::int32_t type = QMR_FIELD_TEXT) {
        Bytes column(std::size_t{size} * count_, 0);
        for (std::size_t i = 0; i < v.size(); ++i) {
            std::memcpy(column.data() + i * size, v[i].data(), std::min<std::size_t>(size, v[i].size()));
        }
        return addField(type, size, std::move(column));
    }
    int addValue20s(const std::vector<std::string>& v) { return addTexts(20, v, QMR_FIELD_VALUE20); }
    int addNoColumn() {
        Bytes column(count_ * 4u);
        for (std::size_t i = 0; i < column.size(); ++i) column[i] = static_cast<unsigned char>(i);
        return addField(QMR_FIELD_NO_COLUMN, 4, std::move(column));
    }
    // The selection field, one flag per occurrence in elements of `size`.
    int addSelection(const std::string& flags, std::uint32_t size = 1) {
        Bytes column(std::size_t{size} * count_, '.');
        for (std::size_t i = 0; i < flags.size(); ++i) column[i * size] = static_cast<unsigned char>(flags[i]);
        const int number = addField(QMR_FIELD_TEXT, size, std::move(column));
        selection_ = static_cast<std::uint32_t>(number - 1);
        return number;
    }
    // Cell state bytes for every field and attribute records for one.
    void addCellState() {
        cellStateFlag_ = 1;
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            Bytes& s = cellStates_.emplace_back(count_);
            for (std::uint32_t i = 0; i < count_; ++i) s[i] = static_cast<unsigned char>(i + 31 * f);
            fields_[f].cellState = s.data();
        }
    }
    void addAttributes(int number) {
        Bytes& a = attributes_.emplace_back(std::size_t{count_} * QMR_CELL_ATTRIBUTE_SIZE);
        for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<unsigned char>(i * 13 + number);
        fields_[number - 1].cellAttributes = a.data();
    }

    FieldDescriptor& field(int number) { return fields_[number - 1]; }
    Bytes& column(int number) { return columns_[number - 1]; }
    std::string flags() const {
        std::string out;
        const FieldDescriptor& f = fields_[selection_];
        for (std::uint32_t i = 0; i < count_; ++i) out += static_cast<const char*>(f.data)[i * f.elementSize];
        return out;
    }
    void setFlags(const std::string& flags) {
        const FieldDescriptor& f = fields_[selection_];
        for (std::size_t i = 0; i < flags.size(); ++i) static_cast<char*>(f.data)[i * f.elementSize] = flags[i];
    }

    GroupDescriptor* descriptor() {
        group_ = {count_, static_cast<std::uint32_t>(fields_.size()), cellStateFlag_, occurrenceState_.data(),
                  selection_, fields_.data()};
        return &group_;
    }

    // Every byte the sort may move, array by array.
    std::vector<Bytes> snapshot() const {
        std::vector<Bytes> all{occurrenceState_};
        for (const Bytes& c : columns_) all.push_back(c);
        for (const Bytes& s : cellStates_) all.push_back(s);
        for (const Bytes& a : attributes_) all.push_back(a);
        return all;
    }

private:
    // Numbers as the host stores them: native, little-endian on every target.
    template <typename T>
    int addValues(std::int32_t type, const std::vector<T>& v) {
        Bytes column(sizeof(T) * count_, 0);
        if (!v.empty()) std::memcpy(column.data(), v.data(), v.size() * sizeof(T));
        return addField(type, 0, std::move(column));
    }
    int addField(std::int32_t type, std::uint32_t size, Bytes column) {
        Bytes& c = columns_.emplace_back(std::move(column));
        fields_.push_back({nullptr, nullptr, type, size, c.empty() ? nullptr : c.data()});
        return static_cast<int>(fields_.size());
    }

    std::uint32_t count_;
    Bytes occurrenceState_;
    std::deque<Bytes> columns_, cellStates_, attributes_;  // stable addresses
    std::vector<FieldDescriptor> fields_;
    std::int32_t cellStateFlag_ = 0;
    std::uint32_t selection_ = 0;
    GroupDescriptor group_{};
};

// Calls QMRFLTR or QMRSORT on the group; "" or the message number.
using ListFunction = void(QMR_CALL*)(void*, void*, CallContext*, GroupDescriptor*, const char*);
inline std::string callList(ListFunction function, const char* name, TestGroup& group, const char* text) {
    TestContext context;
    function(nullptr, nullptr, context.get(), group.descriptor(), text);
    EXPECT_EQ(context.name(), name);
    return context.error();
}

}  // namespace qmr_test
