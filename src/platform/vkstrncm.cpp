#include "platform/editsvc.h"

namespace qmr {

int VKSTRNCM(const char* a, const char* b, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) break;
    }
    return 0;
}

}  // namespace qmr
