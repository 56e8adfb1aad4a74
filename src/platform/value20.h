// Ordering of the 20-byte value type, a stand-in for the host's window
// run-time library: less-than and equality tests that a host may replace
// with qmr_set_value20_order.
#pragma once

#include "qmr/qmr.h"

namespace qmr {

constexpr int kValue20Size = 20;

// One ordering: its less-than and equality tests, installed together.
struct Value20Order {
    QmrValue20Test less;
    QmrValue20Test equal;
};

// The ordering in force.  A call reads it once and works with that one
// throughout, so that it never mixes two orderings when the host switches
// them meanwhile; every ordering ever installed stays readable.
const Value20Order& value20Order() noexcept;

// True for the default byte-wise ordering, under which callers may
// compare the bytes directly.
bool isByteOrder(const Value20Order& order) noexcept;

// The tests of the ordering in force, each reading it afresh.
bool value20Less(const void* a, const void* b) noexcept;
bool value20Equal(const void* a, const void* b) noexcept;
bool value20IsByteOrder() noexcept;

}  // namespace qmr
