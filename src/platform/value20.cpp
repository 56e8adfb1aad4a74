#include "platform/value20.h"

#include <atomic>
#include <cstring>

#include "qmr/qmr.h"

namespace qmr {
namespace {

int QMR_CALL byteLess(const void* a, const void* b) { return std::memcmp(a, b, kValue20Size) < 0; }
int QMR_CALL byteEqual(const void* a, const void* b) { return std::memcmp(a, b, kValue20Size) == 0; }

struct Order {
    QmrValue20Test less;
    QmrValue20Test equal;
};
// Both tests are swapped together, so a reader never pairs a host's
// less-than with the default equality.
constexpr Order kByteOrder{byteLess, byteEqual};
std::atomic<const Order*> current{&kByteOrder};
Order hostOrder;  // written only while current points elsewhere

}  // namespace

bool value20Less(const void* a, const void* b) noexcept { return current.load(std::memory_order_acquire)->less(a, b) != 0; }

bool value20Equal(const void* a, const void* b) noexcept {
    return current.load(std::memory_order_acquire)->equal(a, b) != 0;
}

bool value20IsByteOrder() noexcept { return current.load(std::memory_order_acquire) == &kByteOrder; }

}  // namespace qmr

extern "C" QMR_API int QMR_CALL qmr_set_value20_order(QmrValue20Test less, QmrValue20Test equal) {
    if (less == nullptr && equal == nullptr) {
        qmr::current.store(&qmr::kByteOrder, std::memory_order_release);
        return 0;
    }
    if (less == nullptr || equal == nullptr) return -1;
    // Switch to the default first so that no reader sees a half-written pair.
    qmr::current.store(&qmr::kByteOrder, std::memory_order_release);
    qmr::hostOrder = {less, equal};
    qmr::current.store(&qmr::hostOrder, std::memory_order_release);
    return 0;
}
