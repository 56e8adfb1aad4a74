// Installing the 20-byte ordering: a host's pair is copied once, the same
// pair again takes no storage, and a pair without storage is refused with
// the ordering left as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/alloc.h"
#include "platform/value20.h"

namespace {

int QMR_CALL reversedLess(const void* a, const void* b) { return std::memcmp(a, b, 20) > 0; }
int QMR_CALL reversedEqual(const void* a, const void* b) { return std::memcmp(a, b, 20) == 0; }
int QMR_CALL neverLess(const void*, const void*) { return 0; }

TEST(Value20Order, HostPairsAreCopiedOnceAndRefusedWithoutStorage) {
    const unsigned char low[20] = {1};
    const unsigned char high[20] = {2};
    qmr::testing::failAllocation(0);
    ASSERT_EQ(qmr_set_value20_order(reversedLess, reversedEqual), 0);
    EXPECT_TRUE(qmr::value20Less(high, low));
    ASSERT_EQ(qmr_set_value20_order(nullptr, nullptr), 0);
    qmr::testing::failAllocation(1);
    EXPECT_EQ(qmr_set_value20_order(reversedLess, reversedEqual), 0) << "the same pair needs no storage";
    EXPECT_EQ(qmr::testing::allocationCount(), 0);
    EXPECT_EQ(qmr_set_value20_order(neverLess, reversedEqual), -1) << "a new pair without storage";
    qmr::testing::failAllocation(0);
    EXPECT_TRUE(qmr::value20Less(high, low)) << "the ordering in force is kept";
    qmr_set_value20_order(nullptr, nullptr);
    EXPECT_TRUE(qmr::value20IsByteOrder());
}

}  // namespace
