// What every fuzz target shares: a reader that takes the input front to
// back (so that mutations stay local), the tests' call context, host
// fields of exactly their declared size with guard bytes around them, and
// a check that stops the run with a message.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "qmr/qmr.h"
#include "support/context.h"

// Under ASan the header poisons for real; without it, as a mingw build
// of the tests that run the targets has none, intact() alone finds writes.
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(p, n) ((void)(p), (void)(n))
#define ASAN_UNPOISON_MEMORY_REGION(p, n) ((void)(p), (void)(n))
#endif

namespace qmr_fuzz {

// Stops the run: libFuzzer saves the input that got here.
#define QMR_FUZZ_CHECK(condition, ...)                                                           \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, __VA_ARGS__);                                                   \
            std::fprintf(stderr, "\n%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t left() const { return size_ - at_; }
    bool empty() const { return left() == 0; }

    // 0 once the input is used up.
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Four bytes, the first the lowest.
    std::int32_t i32() { return qmr_test::le32(reinterpret_cast<const unsigned char*>(fixed(4, '\0').data())); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(i32()); }
    // A value in [0, n), n >= 1.
    std::uint32_t below(std::uint32_t n) { return byte() % n; }

    // Up to `n` bytes (fewer when the input ends).
    std::string bytes(std::size_t n) {
        const std::size_t take = n < left() ? n : left();
        std::string s(reinterpret_cast<const char*>(data_ + at_), take);
        at_ += take;
        return s;
    }
    // Exactly `n` bytes, padded with `fill` where the input ends.
    std::string fixed(std::size_t n, char fill = ' ') {
        std::string s = bytes(n);
        s.resize(n, fill);
        return s;
    }
    std::string rest() { return bytes(left()); }

    // A length or maximum that favours the edges: small values, the
    // limits of a text field, negative and oversized ones.
    std::int32_t fieldNumber(std::int32_t typical) {
        const std::int32_t edges[] = {-1, 0, QMR_TF_LARGEST_MAX, QMR_TF_LARGEST_MAX + 1, INT32_MIN, INT32_MAX};
        const int pick = byte() % 16;
        if (pick < 6) return edges[pick];
        return pick == 6 ? i32() : pick == 7 ? typical + 1 : static_cast<std::int32_t>(byte() % (typical + 2));
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A call context with the fields the library writes read back.
using Context = qmr_test::TestContext;

// Host storage of `size` bytes between two guards.  The guards are
// poisoned under ASan, so any read or write outside the storage stops the
// run at once; without ASan intact() finds writes.
class Guarded {
public:
    static constexpr std::size_t kGuard = 32;
    static constexpr unsigned char kPattern = 0xCB;

    explicit Guarded(std::size_t size, unsigned char fill = 0) : size_(size), bytes_(size + 2 * kGuard, kPattern) {
        std::memset(data(), fill, size);
        ASAN_POISON_MEMORY_REGION(bytes_.data(), kGuard);
        ASAN_POISON_MEMORY_REGION(data() + size, kGuard);
    }
    ~Guarded() { ASAN_UNPOISON_MEMORY_REGION(bytes_.data(), bytes_.size()); }

    unsigned char* data() { return bytes_.data() + kGuard; }
    std::size_t size() const { return size_; }
    std::string text() const { return std::string(reinterpret_cast<const char*>(&bytes_[kGuard]), size_); }

    bool intact() {
        ASAN_UNPOISON_MEMORY_REGION(bytes_.data(), bytes_.size());
        bool ok = true;
        for (std::size_t i = 0; i < kGuard; ++i) ok = ok && bytes_[i] == kPattern && data()[size_ + i] == kPattern;
        ASAN_POISON_MEMORY_REGION(bytes_.data(), kGuard);
        ASAN_POISON_MEMORY_REGION(data() + size_, kGuard);
        return ok;
    }

private:
    std::size_t size_;
    std::vector<unsigned char> bytes_;
};

using qmr_test::le32;
using qmr_test::putLe32;

}  // namespace qmr_fuzz
