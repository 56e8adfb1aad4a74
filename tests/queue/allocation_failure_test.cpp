// Failing the k-th allocation of a run of queue calls, for every k the
// run makes: the call that meets the failure answers as documented (no
// queue can be started: result 4 and the CMCB untouched; no page: "Q3"
// and the queue as it was), every later call goes on as if the refused
// one had not been made, and at the end nothing is left allocated (ASan's
// leak check).
#include <gtest/gtest.h>

#include "platform/alloc.h"
#include "queue_host.h"

namespace {

using qmr_test::Form;
using qmr_test::QueueClient;

// The run: a queue started by ADD, entries over several pages, a walk
// with READs, the queue released and a second one started on the same
// CMCB.
struct Step {
    char request;
    int fieldLength;  // ADD: one field of this many bytes
};

std::vector<Step> script() {
    std::vector<Step> steps;
    for (int i = 0; i < 12; ++i) steps.push_back({'A', 300 + 97 * i});  // about 6 pages
    for (int i = 0; i < 14; ++i) steps.push_back({i % 2 ? 'R' : 'N', 0});
    for (int i = 0; i < 12; ++i) steps.push_back({'N', 0});  // past the end: released
    for (int i = 0; i < 3; ++i) steps.push_back({'A', 2000});
    return steps;
}

// Runs the script with the k-th allocation failing (0: none); returns the
// relationships the walk saw, and how many allocations were made.
long runScript(Form form, long k, std::vector<std::string>& seen) {
    QueueClient q(form);
    qmr::testing::failAllocation(k);
    int added = 0;
    for (const Step& step : script()) {
        if (step.request == 'A') q.cmcb.setIds("R" + std::to_string(added), "A");
        q.cmcb.setRequest(step.request);
        const std::vector<unsigned char> before = q.cmcb.bytes();
        const bool hadQueue = q.cmcb.anchored();
        const long allocationsBefore = qmr::testing::allocationCount();
        int result;
        if (step.request == 'A') {
            result = q.add({std::string(std::size_t(step.fieldLength), char('a' + added % 26))});
        } else if (step.request == 'N') {
            result = q.next();
            if (result == 0) seen.push_back(q.cmcb.relationship());
        } else {
            std::vector<std::string> got;
            result = q.read({4}, &got);
        }
        const bool metFailure = k > allocationsBefore && k <= qmr::testing::allocationCount();
        if (metFailure && !hadQueue && k == allocationsBefore + 1) {  // the new queue's anchor
            EXPECT_EQ(result, 4) << "k=" << k;
            EXPECT_EQ(q.cmcb.bytes(), before) << "k=" << k << ": a CMCB without a queue was written";
            continue;
        }
        if (metFailure) {  // a page
            EXPECT_EQ(step.request, 'A') << "k=" << k;
            EXPECT_EQ(result, 4) << "k=" << k;
            EXPECT_EQ(q.cmcb.code(), "Q3") << "k=" << k;
            continue;
        }
        if (step.request == 'A' && result == 0) ++added;
    }
    const long count = qmr::testing::allocationCount();
    qmr::testing::failAllocation(0);
    return count;
}

TEST(QueueStorage, EveryAllocationOfARunFailsAsDocumented) {
    for (Form form : {Form::block, Form::pairs}) {
        std::vector<std::string> all;
        const long total = runScript(form, 0, all);
        ASSERT_GT(total, 5) << "an anchor and pages for both queues";
        ASSERT_EQ(all.size(), 12u);
        for (long k = 1; k <= total; ++k) {
            std::vector<std::string> seen;
            runScript(form, k, seen);
            // The refused ADD is missing from the walk, nothing else.
            EXPECT_GE(seen.size() + 1, all.size()) << "k=" << k;
            EXPECT_LE(seen.size(), all.size()) << "k=" << k;
        }
    }
}

}  // namespace
