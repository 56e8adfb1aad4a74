// Helpers for the text tests: fields and buffers in exactly-sized heap
// blocks, so that ASan reports any byte touched beyond them, and the
// character set in force for one scope.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "qmr/qmr.h"
#include "support/context.h"

// Shift codes of "sosi", as pieces of string literals.
#define SO "\x0e"
#define SI "\x0f"

namespace qmr_test {

using namespace std::string_literals;
using namespace std::string_view_literals;

// A TextField of `maximum` bytes holding `text`, its unused bytes '~' so
// that a test sees what a call left alone.
class Field {
public:
    static constexpr std::int32_t kTextSize = INT32_MIN;  // length: the text's size
    Field(std::int32_t maximum, std::string_view text, std::int32_t length = kTextSize)
        : size_(QMR_TF_TEXT + static_cast<std::size_t>(maximum > 0 ? maximum : 0)), block_(new unsigned char[size_]) {
        std::memset(block_.get(), '~', size_);
        putLe32(block_.get() + QMR_TF_MAX_LENGTH, maximum);
        putLe32(block_.get() + QMR_TF_LENGTH, length == kTextSize ? static_cast<std::int32_t>(text.size()) : length);
        std::memcpy(block_.get() + QMR_TF_TEXT, text.data(), std::min(text.size(), size_ - QMR_TF_TEXT));
    }
    TextField* get() { return reinterpret_cast<TextField*>(block_.get()); }
    std::int32_t length() const { return le32(block_.get() + QMR_TF_LENGTH); }
    std::string bytes() const {
        return {reinterpret_cast<const char*>(block_.get()) + QMR_TF_TEXT, size_ - QMR_TF_TEXT};
    }

private:
    std::size_t size_;
    std::unique_ptr<unsigned char[]> block_;
};

// A text in a block of `size` bytes (default: the text and its NUL).
class Buffer {
public:
    explicit Buffer(std::string_view text, std::size_t size = 0)
        : size_(size ? size : text.size() + 1), block_(new char[size_]()) {
        std::memcpy(block_.get(), text.data(), std::min(text.size(), size_));
    }
    char* get() { return block_.get(); }
    std::string bytes() const { return {block_.get(), size_}; }

private:
    std::size_t size_;
    std::unique_ptr<char[]> block_;
};

// A double-byte code as its two bytes, high first.
inline std::string pair(unsigned code) { return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }

struct UseCharset {
    explicit UseCharset(const char* name) { EXPECT_EQ(qmr_use_charset(name), 0) << name; }
    ~UseCharset() { qmr_use_charset("single"); }
};

}  // namespace qmr_test
