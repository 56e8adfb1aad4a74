// QMDDAQUE in both calling forms against the plain model of
// tests/support/queue_model.h: random requests, the rows of mended
// faults, every request for storage failing in turn, and handles that
// name no queue; the numeric text of a parameter block against strtol.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>

#include "queue/caller_fields.h"
#include "queue/queue_handles.h"
#include "support/queue_model.h"

namespace {

using namespace qmr_test;
using qmr::queue::kSlotMask;

TEST(Queue, RandomRequestsOnSeveralBlocksMatchTheModel) {
    EXPECT_EQ(RequestStream(4).runSeeded(20260401, 20000), "");
}

// Runs `script` on a new CMCB of each form, checking each request and
// the release at the end: every disagreement, the first one first.
std::string run(const std::vector<QueueRequest>& script) {
    std::string error;
    for (Form form : {Form::block, Form::pairs}) {
        Cmcb cmcb(form);
        QueueModel model;
        for (const QueueRequest& request : script) error += checkRequest(cmcb, model, request);
        error += closeQueue(cmcb, model);
    }
    return error;
}

QueueRequest add(std::vector<std::string> fields, int ending = kAtCount) { return {'A', std::move(fields), ending}; }

// The random requests reach every edge of a page and of a field list;
// these rows are the mended faults and a call without a CMCB.
TEST(Queue, MendedReadsAndACallWithoutCmcb) {
    EXPECT_EQ(QMDDAQUE(nullptr, nullptr, nullptr, static_cast<void*>(nullptr)), 4);
    // READ cuts each saved field to the caller's room and leaves the
    // caller's fields beyond the saved ones alone (mended).
    const std::vector<std::string> rooms = {"...", std::string(25, '.'), "....", "..", "."};
    EXPECT_EQ(run({add({"ABCDEFGH", "twenty-bytes-of-text", "WXYZ"}), {'N'}, {'R', rooms}}), "");
    // READ stops at the block's field count (mended); a first length of
    // 0 saves a relationship without fields.
    const QueueRequest readTwo{'R', {"..", ".."}, kCountOrNullData};
    EXPECT_EQ(run({add({"f1", "f2"}), add({}, kZeroLength), {'N'}, readTwo, {'N'}, {'R', {"."}}}), "");
}

// A queue over several pages, walked with READs, released by the NEXT
// past its end, and a second one started: each call's first and second
// request for storage (its anchor, its page) fails in turn.
TEST(Queue, EveryRequestForStorageOfARunFailsAsDocumented) {
    std::vector<QueueRequest> script;
    for (int i = 0; i < 12; ++i) script.push_back(add({std::string(300 + 97 * i, char('a' + i))}));
    for (int i = 0; i < 26; ++i) script.push_back({i < 14 && i % 2 ? 'R' : 'N', {"....."}});
    for (int i = 0; i < 3; ++i) script.push_back(add({std::string(2000, 'f')}));
    for (std::size_t n = 0; n < 2 * script.size(); ++n) {
        std::vector<QueueRequest> failing = script;
        failing[n / 2].failing = int(n % 2) + 1;
        EXPECT_EQ(run(failing), "") << "call " << n / 2 << ", request " << n % 2 + 1;
    }
}

// Every text of four characters from digits, blanks, signs, NUL and
// letters that make a number negative, against strtol on the NUL-filled
// work area: the loop for four digits and the general reading alike.
TEST(QueueNumericText, ReadsEveryTextAsStrtolReadsTheWorkArea) {
    const char alphabet[] = {'0', '1', '8', '9', ' ', '\t', '+', '-', '\0', 'p', 'y', 'x', 'A', '@'};
    for (int code = 0; code < 14 * 14 * 14 * 14; ++code) {
        unsigned char text[4];
        char work[5] = {};
        for (int k = 0, c = code; k < 4; ++k, c /= 14) work[k] = alphabet[c % 14];
        std::memcpy(text, work, 4);
        const bool negative = text[3] & 0x40;
        if (negative) work[3] = char(text[3] & 0x3F);
        const long value = std::strtol(work, nullptr, 10);
        ASSERT_EQ(qmr::queue::readNumericText(text), negative ? -value : value) << work;
    }
}

// A copy of a CMCB taken before its queue was released, once the slot
// holds another queue, and made-up values in the slot count as no queue:
// the call starts a new one and leaves the others alone.  (Handles of free
// slots, handles past the table and a live handle under a block's state
// 'U' come from the random requests.)
TEST(QueueHandles, StaleAndMadeUpHandlesCountAsNoQueue) {
    for (Form form : {Form::block, Form::pairs}) {
        Cmcb reissued(form);
        QueueModel model;
        ASSERT_EQ(checkRequest(reissued, model, add({"r"})), "");
        const std::uint32_t stale = reissued.handle();
        const auto sameSlot = [&] { return ((reissued.handle() ^ stale) & kSlotMask) == 0; };
        // No unused slot: freed ones are taken again, oldest first.
        qmr::testing::limitQueueSlots(1);
        for (int i = 0; i < 5000 && (i == 0 || !sameSlot()); ++i) {
            ASSERT_EQ(closeQueue(reissued, model), "");
            ASSERT_EQ(checkRequest(reissued, model, {'N'}), "");
        }
        qmr::testing::limitQueueSlots(0);
        ASSERT_TRUE(sameSlot());
        const std::uint32_t h = reissued.handle();
        // 0x00100400 and 0x00100800: slots just past a table of 1024 or 2048.
        for (const std::uint32_t value : {stale, 1u, 0x000FFFFFu, 0x00100000u, 0x00100400u, 0x00100800u,
                                          h ^ 0xFFF00000, h + kSlotMask + 1}) {
            Cmcb c(form);
            c.anchor(value);
            ASSERT_EQ(closeQueue(c), "") << value;
        }
        EXPECT_EQ(closeQueue(reissued, model), "");
    }
}

// A new queue is refused, its CMCB untouched, when the handle table
// cannot grow (the call's second request for storage, the new table, or
// its third, the free list) or is full; once it can, the queue is taken.
TEST(QueueHandles, TableThatCannotGrowOrIsFullRefusesTheNewQueue) {
    for (const long k : {2L, 3L, 0L}) {  // 0: a full table
        if (k == 0) qmr::testing::limitQueueSlots(1);
        std::deque<Cmcb> open;
        Cmcb fresh(Form::pairs);
        fresh.bytes[QMR_CMCB_REQUEST] = 'N';
        CallerFields none(Form::pairs, {});
        int result = 0;
        do {
            open.push_back(fresh);
            qmr::testing::failAllocation(k);
            result = none.call(open.back());
            qmr::testing::failAllocation(0);
        } while (open.back().anchored() && open.size() < 1100000);
        EXPECT_EQ(result, 4);
        EXPECT_EQ(open.back().text(0, Cmcb::kSize), fresh.text(0, Cmcb::kSize)) << k;
        qmr::testing::limitQueueSlots(0);
        EXPECT_TRUE(none.call(open.back()) == 4 && open.back().anchored()) << k;
        // No slot is free now: a limit at the next unused slot still hands that slot out.
        qmr::testing::limitQueueSlots((open.back().handle() & kSlotMask) + 1);
        open.push_back(fresh);
        EXPECT_TRUE(none.call(open.back()) == 4 && open.back().anchored()) << k;
        qmr::testing::limitQueueSlots(0);
        for (Cmcb& c : open) EXPECT_EQ(closeQueue(c, {c.anchored(), false, 0, {}, {}}), "");
    }
}

}  // namespace
