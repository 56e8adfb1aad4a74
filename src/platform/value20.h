// Ordering of the 20-byte value type, a stand-in for the host's window
// run-time library: less-than and equality tests that a host may replace
// with qmr_set_value20_order.
#pragma once

namespace qmr {

constexpr int kValue20Size = 20;

bool value20Less(const void* a, const void* b) noexcept;
bool value20Equal(const void* a, const void* b) noexcept;

// True while the default byte-wise ordering is installed, so that callers
// may compare the bytes directly.
bool value20IsByteOrder() noexcept;

}  // namespace qmr
