#include "platform/alloc.h"

#include <cstdlib>

namespace qmr {
namespace {

// Per thread, so that concurrent tests do not disturb each other.
thread_local long allocationsSeen = 0;
thread_local long failingAllocation = 0;  // 0: none

bool shouldFail() noexcept { return ++allocationsSeen == failingAllocation; }

}  // namespace

void* allocate(std::size_t size) noexcept { return shouldFail() ? nullptr : std::malloc(size == 0 ? 1 : size); }

void* allocateZeroed(std::size_t size) noexcept { return shouldFail() ? nullptr : std::calloc(size == 0 ? 1 : size, 1); }

void release(void* block) noexcept { std::free(block); }

void testing::failAllocation(long k) noexcept {
    allocationsSeen = 0;
    failingAllocation = k;
}

long testing::allocationCount() noexcept { return allocationsSeen; }

}  // namespace qmr
