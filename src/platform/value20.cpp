#include "platform/value20.h"

#include <atomic>
#include <cstring>

#include "platform/alloc.h"

namespace qmr {
namespace {

int QMR_CALL byteLess(const void* a, const void* b) { return std::memcmp(a, b, kValue20Size) < 0; }
int QMR_CALL byteEqual(const void* a, const void* b) { return std::memcmp(a, b, kValue20Size) == 0; }

constexpr Value20Order kByteOrder{byteLess, byteEqual};

// A host's ordering, copied once and never changed or freed: a call on
// another thread may still be working with it after the host has switched
// to another.  Installing a pair that was installed before reuses its
// copy, so switching back and forth takes no more storage.
struct HostOrder {
    Value20Order order;
    const HostOrder* previous;
};

std::atomic<const Value20Order*> current{&kByteOrder};
std::atomic<const HostOrder*> hostOrders{nullptr};

const Value20Order* copyOf(QmrValue20Test less, QmrValue20Test equal) noexcept {
    for (const HostOrder* h = hostOrders.load(std::memory_order_acquire); h != nullptr; h = h->previous) {
        if (h->order.less == less && h->order.equal == equal) return &h->order;
    }
    auto* copy = static_cast<HostOrder*>(allocate(sizeof(HostOrder)));
    if (copy == nullptr) return nullptr;
    copy->order = {less, equal};
    copy->previous = hostOrders.load(std::memory_order_relaxed);
    while (!hostOrders.compare_exchange_weak(copy->previous, copy, std::memory_order_acq_rel)) {
    }
    return &copy->order;
}

}  // namespace

const Value20Order& value20Order() noexcept { return *current.load(std::memory_order_acquire); }

bool isByteOrder(const Value20Order& order) noexcept { return &order == &kByteOrder; }

bool value20Less(const void* a, const void* b) noexcept { return value20Order().less(a, b) != 0; }
bool value20Equal(const void* a, const void* b) noexcept { return value20Order().equal(a, b) != 0; }
bool value20IsByteOrder() noexcept { return isByteOrder(value20Order()); }

}  // namespace qmr

extern "C" QMR_API int QMR_CALL qmr_set_value20_order(QmrValue20Test less, QmrValue20Test equal) {
    if (less == nullptr && equal == nullptr) {
        qmr::current.store(&qmr::kByteOrder, std::memory_order_release);
        return 0;
    }
    if (less == nullptr || equal == nullptr) return -1;
    const qmr::Value20Order* order = qmr::copyOf(less, equal);
    if (order == nullptr) return -1;
    qmr::current.store(order, std::memory_order_release);
    return 0;
}
