// Helpers for the text tests: a host's text field in a block of exactly
// its size, so that ASan reports any byte touched beyond it, and the
// character set in force for one scope.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qmr/qmr.h"
#include "support/context.h"

namespace qmr_test {

class Field {
public:
    Field(std::int32_t maximum, const std::string& text) : block_(QMR_TF_TEXT + std::size_t(maximum), '~') {
        putLe32(&block_[QMR_TF_MAX_LENGTH], maximum);
        putLe32(&block_[QMR_TF_LENGTH], static_cast<std::int32_t>(text.size()));
        text.copy(reinterpret_cast<char*>(&block_[QMR_TF_TEXT]), text.size());
    }
    TextField* get() { return reinterpret_cast<TextField*>(block_.data()); }
    std::int32_t length() const { return le32(&block_[QMR_TF_LENGTH]); }
    std::string bytes() const { return {reinterpret_cast<const char*>(&block_[QMR_TF_TEXT]), block_.size() - 8}; }

private:
    std::vector<unsigned char> block_;
};

// A double-byte code as its two bytes, high first.
inline std::string pair(unsigned code) { return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }

struct UseCharset {
    explicit UseCharset(const char* name) { EXPECT_EQ(qmr_use_charset(name), 0) << name; }
    ~UseCharset() { qmr_use_charset("single"); }
};

}  // namespace qmr_test
