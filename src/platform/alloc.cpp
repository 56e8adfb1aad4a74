#include "platform/alloc.h"

#include <cstdlib>

namespace qmr {
namespace {

// Per thread, so that concurrent tests do not disturb each other.
thread_local long allocationsSeen = 0;
thread_local long failingAllocation = 0;  // 0: none
thread_local bool failuresSticky = false;

bool shouldFail() noexcept {
    ++allocationsSeen;
    if (failingAllocation <= 0) return false;
    return allocationsSeen == failingAllocation || (failuresSticky && allocationsSeen > failingAllocation);
}

}  // namespace

void* allocate(std::size_t size) noexcept { return shouldFail() ? nullptr : std::malloc(size == 0 ? 1 : size); }

void* allocateZeroed(std::size_t size) noexcept { return shouldFail() ? nullptr : std::calloc(size == 0 ? 1 : size, 1); }

void release(void* block) noexcept { std::free(block); }

void testing::failAllocation(long k, bool sticky) noexcept {
    allocationsSeen = 0;
    failingAllocation = k;
    failuresSticky = sticky;
}

long testing::allocationCount() noexcept { return allocationsSeen; }

}  // namespace qmr
