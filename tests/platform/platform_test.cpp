// The host-library stand-ins and the allocation hook.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/alloc.h"
#include "platform/editsvc.h"
#include "platform/value20.h"
#include "qmr/qmr.h"

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(Vkstrncm, OrdersBytesUnsignedWithinTheLimit) {
    struct { const char* a; const char* b; std::size_t n; int expected; } const cases[] = {
        {"AB", "AB", 2, 0},   {"AB", "AC", 2, -1},  {"AC", "AB", 2, 1},     {"AB", "ABC", 3, -1},
        {"AB", "ABC", 2, 0},  {"", "", 5, 0},       {"\x80", "\x7f", 1, 1}, {"A\0X", "A\0Y", 3, 0},
        {"ab", "AB", 2, 1},   {"x", "y", 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(sign(qmr::VKSTRNCM(c.a, c.b, c.n)), c.expected) << c.a << " " << c.b;
}

int QMR_CALL reversedLess(const void* a, const void* b) { return std::memcmp(a, b, 20) > 0; }
int QMR_CALL anyEqual(const void*, const void*) { return 1; }

int QMR_CALL neverLess(const void*, const void*) { return 0; }

// A host's pair is copied once, the same pair again takes no storage, and
// a new pair without storage is refused with the ordering left as it was.
TEST(Value20Order, DefaultsToBytesAndTakesAHostPair) {
    const char low[20] = {1};
    const char high[20] = {2};
    EXPECT_TRUE(qmr::value20IsByteOrder());
    EXPECT_TRUE(qmr::value20Less(low, high));
    EXPECT_FALSE(qmr::value20Equal(low, high));
    EXPECT_EQ(qmr_set_value20_order(reversedLess, nullptr), -1);
    EXPECT_TRUE(qmr::value20IsByteOrder()) << "a half pair changes nothing";
    EXPECT_EQ(qmr_set_value20_order(reversedLess, anyEqual), 0);
    EXPECT_FALSE(qmr::value20IsByteOrder());
    EXPECT_TRUE(qmr::value20Less(high, low));
    EXPECT_TRUE(qmr::value20Equal(low, high));
    EXPECT_EQ(qmr_set_value20_order(nullptr, nullptr), 0);
    EXPECT_TRUE(qmr::value20Less(low, high));
    qmr::testing::failAllocation(1);
    EXPECT_EQ(qmr_set_value20_order(reversedLess, anyEqual), 0) << "the same pair needs no storage";
    EXPECT_EQ(qmr::testing::allocationCount(), 0);
    EXPECT_EQ(qmr_set_value20_order(neverLess, anyEqual), -1) << "a new pair without storage";
    qmr::testing::failAllocation(0);
    EXPECT_TRUE(qmr::value20Less(high, low)) << "the ordering in force is kept";
    qmr_set_value20_order(nullptr, nullptr);
    EXPECT_TRUE(qmr::value20IsByteOrder());
}

TEST(AllocationHook, FailsTheKthAllocationOnly) {
    qmr::testing::failAllocation(2);
    void* first = qmr::allocate(8);
    void* second = qmr::allocateZeroed(8);
    void* third = qmr::allocate(8);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(qmr::testing::allocationCount(), 3);
    qmr::release(first);
    qmr::release(third);
    qmr::testing::failAllocation(1, true);
    EXPECT_EQ(qmr::allocate(1), nullptr);
    EXPECT_EQ(qmr::allocate(1), nullptr);
    qmr::testing::failAllocation(0);
    void* fine = qmr::allocate(1);
    EXPECT_NE(fine, nullptr);
    qmr::release(fine);
}

}  // namespace
