// The host-library stand-ins.  The allocation hook is exercised by every
// allocation-failure run of the filter, the sort and the queue.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/alloc.h"
#include "platform/editsvc.h"
#include "platform/value20.h"
#include "qmr/qmr.h"

namespace {

TEST(Vkstrncm, OrdersBytesUnsignedWithinTheLimitUpToASharedNul) {
    const struct { const char* a; const char* b; std::size_t n; int expected; } cases[] = {
        {"AB", "AB", 2, 0}, {"AB", "AC", 2, -1}, {"AC", "AB", 2, 1}, {"AB", "ABC", 2, 0},
        {"AB", "ABC", 3, -1}, {"\x80", "\x7f", 1, 1}, {"A\0X", "A\0Y", 3, 0},
    };
    for (const auto& c : cases) {
        const int got = qmr::VKSTRNCM(c.a, c.b, c.n);
        EXPECT_EQ((got > 0) - (got < 0), c.expected) << c.a << " " << c.b << " " << c.n;
    }
}

int QMR_CALL reversedLess(const void* a, const void* b) { return std::memcmp(a, b, 20) > 0; }
int QMR_CALL anyEqual(const void*, const void*) { return 1; }
int QMR_CALL neverLess(const void*, const void*) { return 0; }

// A host's pair is copied once, the same pair again takes no storage, and
// a half pair, or a new pair without storage, leaves the ordering as it was.
TEST(Value20Order, DefaultsToBytesAndTakesAHostPair) {
    const char low[20] = {1}, high[20] = {2};
    EXPECT_TRUE(qmr::value20IsByteOrder() && qmr::value20Less(low, high) && !qmr::value20Equal(low, high));
    EXPECT_TRUE(qmr_set_value20_order(reversedLess, nullptr) == -1 && qmr::value20IsByteOrder());
    EXPECT_EQ(qmr_set_value20_order(reversedLess, anyEqual), 0);
    EXPECT_TRUE(!qmr::value20IsByteOrder() && qmr::value20Less(high, low) && qmr::value20Equal(low, high));
    EXPECT_TRUE(qmr_set_value20_order(nullptr, nullptr) == 0 && qmr::value20Less(low, high));
    qmr::testing::failAllocation(1);
    EXPECT_TRUE(qmr_set_value20_order(reversedLess, anyEqual) == 0 && qmr::testing::allocationCount() == 0);
    EXPECT_EQ(qmr_set_value20_order(neverLess, anyEqual), -1);
    qmr::testing::failAllocation(0);
    EXPECT_TRUE(qmr::value20Less(high, low));
    EXPECT_TRUE(qmr_set_value20_order(nullptr, nullptr) == 0 && qmr::value20IsByteOrder());
}

}  // namespace
