// Calling the storage conversions as a host does: a source laid out in a
// heap field of exactly its text's length, so that AddressSanitizer
// catches a read beyond it, and a destination between guard bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "qmr/qmr.h"

namespace storage_test {

// A field holding exactly `text`, no terminator.
inline std::unique_ptr<char[]> field(std::string_view text) {
    auto bytes = std::make_unique<char[]>(text.size());
    std::memcpy(bytes.get(), text.data(), text.size());
    return bytes;
}

// What `call(destination)` writes into the first `size` bytes of its
// destination, shown as `qmr call` shows it: a NUL as '\0' in the string
// and '~' for a byte left untouched.  The call runs twice, over bytes of
// 0x00 and of 0xFF; a byte that kept its fill both times was untouched.
// Any write into the guard bytes around the `size` bytes fails the test.
template <typename Call>
std::string written(std::size_t size, Call call) {
    constexpr std::size_t kGuard = 8;
    std::vector<unsigned char> zeros(size + 2 * kGuard, 0x00), ones(size + 2 * kGuard, 0xFF);
    call(reinterpret_cast<char*>(zeros.data() + kGuard));
    call(reinterpret_cast<char*>(ones.data() + kGuard));
    std::string shown;
    for (std::size_t i = 0; i < zeros.size(); ++i) {
        const bool untouched = zeros[i] == 0x00 && ones[i] == 0xFF;
        if (i < kGuard || i >= kGuard + size) {
            EXPECT_TRUE(untouched) << "wrote at offset " << static_cast<long>(i) - static_cast<long>(kGuard);
        } else {
            shown += untouched ? '~' : static_cast<char>(zeros[i]);
        }
    }
    return shown;
}

using TextToValue = qmr_int32(QMR_CALL*)(const char*, qmr_int32*);
using ValueToText = qmr_int32(QMR_CALL*)(qmr_int32, char*);
using TextToText = qmr_int32(QMR_CALL*)(const char*, char*);

inline qmr_int32 readValue(TextToValue reader, std::string_view text) {
    const auto source = field(text);
    qmr_int32 value = -1;
    EXPECT_EQ(reader(source.get(), &value), 0);
    return value;
}

inline std::string writeValue(ValueToText writer, qmr_int32 value, std::size_t size) {
    return written(size, [&](char* out) { EXPECT_EQ(writer(value, out), 0); });
}

inline std::string convert(TextToText conversion, std::string_view text, std::size_t size) {
    const auto source = field(text);
    return written(size, [&](char* out) { EXPECT_EQ(conversion(source.get(), out), 0); });
}

}  // namespace storage_test
