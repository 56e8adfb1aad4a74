// The one allocation hook of the library.  Every working storage the
// library obtains (filter trees, sort buffers, queue pages) comes from
// here, so that a test can make the k-th allocation fail and check that
// each failure ends in the documented outcome.
#pragma once

#include <cstddef>

namespace qmr {

// malloc-like: null when the storage is not available.
void* allocate(std::size_t size) noexcept;
// calloc-like: zero-filled storage, null when not available.
void* allocateZeroed(std::size_t size) noexcept;
// free-like: null allowed.
void release(void* block) noexcept;

namespace testing {
// Makes the k-th allocation from now on (1-based) on the calling thread
// fail; k <= 0 turns failures off.
void failAllocation(long k) noexcept;
// Allocations made on the calling thread since the last failAllocation.
long allocationCount() noexcept;
}  // namespace testing

}  // namespace qmr
