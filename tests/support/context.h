// A host's call context for tests: a zeroed block larger than the minimum,
// with the fields the library writes read back byte by byte.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "qmr/qmr.h"

namespace qmr_test {

inline std::int32_t le32(const unsigned char* p) {
    return static_cast<std::int32_t>(p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24);
}
inline void putLe32(unsigned char* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

class TestContext {
public:
    static constexpr std::size_t kSize = 4096;
    TestContext() : bytes_(kSize, 0) {}

    CallContext* get() { return reinterpret_cast<CallContext*>(bytes_.data()); }
    unsigned char* bytes() { return bytes_.data(); }
    DateRequest* request() { return reinterpret_cast<DateRequest*>(bytes_.data() + QMR_CC_DATE_REQUEST); }

    std::string name() const { return text(QMR_CC_FUNCTION_NAME, 8); }
    std::string facility() const { return text(QMR_CC_FACILITY, 2); }
    std::string message() const { return text(QMR_CC_MESSAGE_NUMBER, 4); }
    bool failed() const { return bytes_[QMR_CC_ERROR_FLAG] == 'Y'; }
    // The error fields as one string: "" when no error, else e.g. " 137".
    std::string error() const { return failed() ? message() : std::string(); }

    // What a host does between calls.
    void clearError() {
        bytes_[QMR_CC_ERROR_FLAG] = ' ';
        std::memset(bytes_.data() + QMR_CC_FACILITY, ' ', 2);
        std::memset(bytes_.data() + QMR_CC_MESSAGE_NUMBER, ' ', 4);
    }

    std::int32_t int32At(std::size_t offset) const { return le32(bytes_.data() + offset); }
    void setInt32At(std::size_t offset, std::int32_t v) { putLe32(bytes_.data() + offset, v); }
    void setByte(std::size_t offset, char c) { bytes_[offset] = static_cast<unsigned char>(c); }
    std::string text(std::size_t at, std::size_t n) const { return {reinterpret_cast<const char*>(&bytes_[at]), n}; }
    void setText(std::size_t offset, const std::string& s) { std::memcpy(bytes_.data() + offset, s.data(), s.size()); }

private:
    std::vector<unsigned char> bytes_;
};

}  // namespace qmr_test
