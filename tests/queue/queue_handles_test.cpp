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
void expectNewEmptyQueue(QueueClient& q, std::uint32_t before, const char* id) {
    EXPECT_EQ(q.next(), 4) << id;
    EXPECT_EQ(q.cmcb.code(), "Q1") << id;
    EXPECT_TRUE(q.cmcb.anchored()) << id;
    EXPECT_NE(q.cmcb.handle(), before) << id;
}

// The relationship identifiers a full walk of the queue yields.
std::vector<std::string> walk(QueueClient& q) {
    std::vector<std::string> ids;
    while (q.next() == 0) ids.push_back(q.cmcb.relationship());
    return ids;
}

TEST(QueueHandles, CopyTakenBeforeTheReleaseCountsAsNoQueue) {
    for (Form form : kForms) {
        QueueClient q(form);
        ASSERT_EQ(q.add("R1", "A", {"a"}), 0);
        ASSERT_EQ(q.add("R2", "A", {"b"}), 0);
        QueueClient stale(form);
        stale.cmcb.bytes() = q.cmcb.bytes();
        const std::uint32_t released = q.cmcb.handle();
        EXPECT_EQ(walk(q).size(), 2u);
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
        expectNewEmptyQueue(stale, released, "stale copy");
        EXPECT_EQ(walk(other).size(), 1u) << "the other queue is untouched";
    }
}

TEST(QueueHandles, GarbageInTheSlotCountsAsNoQueue) {
    for (Form form : kForms) {
        QueueClient live(form);
        for (int i = 0; i < 5; ++i) ASSERT_EQ(live.add("LIVE" + std::to_string(i), "A", {"l"}), 0);
        const std::uint32_t h = live.cmcb.handle();
        std::vector<std::uint32_t> garbage = {1,          0x000FFFFF, 0x00100000, 0xFFFFFFFF, 0x7FFFFFFF,
                                              0x80000000, 0xDEADBEEF, h + (1u << 20), h - (1u << 20), h ^ 0xFFF00000};
        std::mt19937 random(7);
        for (int i = 0; i < 500; ++i) garbage.push_back(static_cast<std::uint32_t>(random()));
        for (std::uint32_t value : garbage) {
            if (value == h) continue;
            QueueClient q(form);
            q.cmcb.setHandle(value);
            q.cmcb.setState('A');
            expectNewEmptyQueue(q, value, "garbage");
            q.close();
        }
        EXPECT_EQ(walk(live).size(), 5u);
    }
}

TEST(QueueHandles, StateUMeansNoQueueWhateverTheSlotHolds) {
    QueueClient live(Form::block);
    ASSERT_EQ(live.add("LIVE", "A", {"l"}), 0);
    QueueClient q(Form::block);
    q.cmcb.setHandle(live.cmcb.handle());
    q.cmcb.setState('U');
    expectNewEmptyQueue(q, live.cmcb.handle(), "state U");
    EXPECT_EQ(walk(live).size(), 1u);
}

TEST(QueueStorage, NoAnchorMeansResultFourAndAnUntouchedBlock) {
    for (Form form : kForms) {
        for (char request : {'A', 'N', 'R', 'X'}) {
            QueueClient q(form);
            q.cmcb.setRequest(request);
            const std::vector<unsigned char> before = q.cmcb.bytes();
            qmr::testing::failAllocation(1);
            const int result = request == 'A' ? q.add({"a"}) : request == 'R' ? q.read({1}) : q.bare(request);
            qmr::testing::failAllocation(0);
            EXPECT_EQ(result, 4) << request;
            EXPECT_EQ(q.cmcb.bytes(), before) << request;
        }
    }
}

// Every ADD that needs a page is tried once without storage: it answers
// "Q3", adds nothing, and the same ADD succeeds afterwards.
TEST(QueueStorage, MissingPageLeavesTheQueueAsItWas) {
    for (Form form : kForms) {
        QueueClient q(form);
        ASSERT_EQ(q.next(), 4);  // the anchor
        int refusals = 0;
        for (int i = 0; i < 400; ++i) {
            const std::string field(static_cast<std::size_t>(1 + i * 13 % 600), 'p');
            q.cmcb.setIds("R" + std::to_string(i), "A");
            qmr::testing::failAllocation(1);
            const int first = q.add({field});
            qmr::testing::failAllocation(0);
            if (first != 0) {
                ++refusals;
                ASSERT_EQ(q.cmcb.code(), "Q3");
                ASSERT_EQ(q.cmcb.messageArea(), qmr_test::messageArea("GETMAIN FOR TABLE OF RELATIONSHIPS FAILED."));
                ASSERT_EQ(q.add({field}), 0);
            }
        }
        EXPECT_GT(refusals, 20);
        const std::vector<std::string> ids = walk(q);
        ASSERT_EQ(ids.size(), 400u);
        for (int i = 0; i < 400; ++i) {
            EXPECT_EQ(ids[std::size_t(i)], ("R" + std::to_string(i) + "       ").substr(0, q.cmcb.idWidth()));
        }
    }
}

TEST(QueueStorage, HandleTableThatCannotGrowRefusesTheNewQueue) {
    std::vector<std::unique_ptr<QueueClient>> open;
    bool refused = false;
    for (int i = 0; i < 5000 && !refused; ++i) {
        open.push_back(std::make_unique<QueueClient>(i % 2 ? Form::block : Form::pairs));
        QueueClient& q = *open.back();
        q.cmcb.setRequest('N');
        const std::vector<unsigned char> before = q.cmcb.bytes();
        qmr::testing::failAllocation(2);  // the anchor is the first allocation, the table's chunk the second
        const int result = q.next();
        qmr::testing::failAllocation(0);
        if (result == 4 && !q.cmcb.anchored()) {
            refused = true;
            EXPECT_EQ(q.cmcb.bytes(), before);
            EXPECT_EQ(q.next(), 4);
            EXPECT_TRUE(q.cmcb.anchored()) << "the table grows once storage is there";
        }
    }
    EXPECT_TRUE(refused);
}

TEST(QueueStorage, FullHandleTableRefusesTheNewQueue) {
    std::vector<std::unique_ptr<QueueClient>> open;
    qmr::testing::limitQueueSlots(1);
    bool refused = false;
    for (int i = 0; i < 1100000 && !refused; ++i) {
        open.push_back(std::make_unique<QueueClient>(Form::pairs));
        QueueClient& q = *open.back();
        q.cmcb.setRequest('N');
        const std::vector<unsigned char> before = q.cmcb.bytes();
        if (q.next() == 4 && !q.cmcb.anchored()) {
            refused = true;
            EXPECT_EQ(q.cmcb.bytes(), before);
        }
    }
    qmr::testing::limitQueueSlots(0);
    EXPECT_TRUE(refused);
    EXPECT_EQ(open.back()->next(), 4);
    EXPECT_TRUE(open.back()->cmcb.anchored());
}

}  // namespace
