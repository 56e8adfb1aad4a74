// The anchor slot of a CMCB: stale, made-up and released handles count as
// no queue, and every way storage can be missing leaves the caller's
// queue as it was.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <vector>

#include "platform/alloc.h"
#include "queue/queue_handles.h"
#include "queue_host.h"

namespace {

using qmr_test::Form;
using qmr_test::QueueClient;

constexpr Form kForms[] = {Form::block, Form::pairs};

// After a NEXT on a CMCB whose slot names no queue: a new, empty one.
void expectNewEmptyQueue(QueueClient& q, std::uint32_t before) {
    EXPECT_EQ(q.next(), 4);
    EXPECT_EQ(q.cmcb.code(), "Q1");
    EXPECT_TRUE(q.cmcb.anchored());
    EXPECT_NE(q.cmcb.handle(), before);
}

// How many relationships a full walk of the queue yields.
std::size_t walk(QueueClient& q) {
    std::size_t n = 0;
    while (q.next() == 0) ++n;
    return n;
}

TEST(QueueHandles, CopyTakenBeforeTheReleaseCountsAsNoQueue) {
    for (Form form : kForms) {
        QueueClient q(form);
        ASSERT_EQ(q.add("R1", "A", {"a"}) + q.add("R2", "A", {"b"}), 0);
        QueueClient stale(form);
        stale.cmcb.bytes() = q.cmcb.bytes();
        const std::uint32_t released = q.cmcb.handle();
        EXPECT_EQ(walk(q), 2u);
        ASSERT_FALSE(q.cmcb.anchored());
        // The slot's next queue, and a few hundred after it, never answer
        // to the stale handle.
        QueueClient other(form);
        ASSERT_EQ(other.add("OTHER", "A", {"o"}), 0);
        std::set<std::uint32_t> issued;
        for (int i = 0; i < 300; ++i) {
            QueueClient churn(form);
            ASSERT_EQ(churn.next(), 4);
            issued.insert(churn.cmcb.handle());
        }
        EXPECT_EQ(issued.count(released), 0u);
        expectNewEmptyQueue(stale, released);
        EXPECT_EQ(walk(other), 1u) << "the other queue is untouched";
    }
}

// Made-up values in the slot, and a block whose state says 'U' whatever
// its slot holds.
TEST(QueueHandles, GarbageInTheSlotCountsAsNoQueue) {
    for (Form form : kForms) {
        QueueClient live(form);
        for (int i = 0; i < 5; ++i) ASSERT_EQ(live.add("LIVE" + std::to_string(i), "A", {"l"}), 0);
        const std::uint32_t h = live.cmcb.handle();
        std::vector<std::uint32_t> garbage = {1, 0x000FFFFF, 0x00100000, 0xFFFFFFFF, h + (1u << 20), h ^ 0xFFF00000};
        std::mt19937 random(7);
        for (int i = 0; i < 500; ++i) garbage.push_back(static_cast<std::uint32_t>(random()));
        if (form == Form::block) garbage.push_back(h);
        for (std::uint32_t value : garbage) {
            if (value == h && form == Form::pairs) continue;
            QueueClient q(form);
            q.cmcb.setHandle(value);
            q.cmcb.setState(value == h ? 'U' : 'A');
            expectNewEmptyQueue(q, value);
        }
        EXPECT_EQ(walk(live), 5u);
    }
}

// A new queue is refused, its block untouched, when the handle table
// cannot grow (no storage for its new table or its free list: the
// anchor is the call's first allocation, then those two) or is full; it
// is taken once the table can hold it.
TEST(QueueStorage, HandleTableThatCannotGrowOrIsFullRefusesTheNewQueue) {
    for (const long k : {2L, 3L, 0L}) {  // 0: a full table
        std::vector<std::unique_ptr<QueueClient>> open;
        if (k == 0) qmr::testing::limitQueueSlots(1);
        bool refused = false;
        for (int i = 0; i < 1100000 && !refused; ++i) {
            open.push_back(std::make_unique<QueueClient>(i % 2 ? Form::block : Form::pairs));
            QueueClient& q = *open.back();
            q.cmcb.setRequest('N');
            const std::vector<unsigned char> before = q.cmcb.bytes();
            qmr::testing::failAllocation(k);
            const int result = q.next();
            qmr::testing::failAllocation(0);
            if (result == 4 && !q.cmcb.anchored()) {
                refused = true;
                EXPECT_EQ(q.cmcb.bytes(), before);
            }
        }
        qmr::testing::limitQueueSlots(0);
        EXPECT_TRUE(refused) << k;
        EXPECT_EQ(open.back()->next(), 4);
        EXPECT_TRUE(open.back()->cmcb.anchored()) << k;
    }
}

}  // namespace
