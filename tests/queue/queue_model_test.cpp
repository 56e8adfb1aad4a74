// Thousands of mixed requests on several CMCBs at once, checked against a
// plain std::deque model of each queue (queues on several threads at
// once: tests/concurrency).
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "queue_host.h"

namespace {

using qmr_test::Form;
using qmr_test::QueueClient;

struct Relationship { std::string relationship, associated; std::vector<std::string> fields; };

// What one CMCB's queue holds, as the documented behaviour describes it.
struct Model {
    bool everAdded = false;  // since the anchor was created
    std::deque<Relationship> pending;
    std::optional<Relationship> current;
};

class Driver {
public:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    void add(QueueClient& q, Model& m) {
        const std::size_t w = std::size_t(q.cmcb.idWidth());
        Relationship r{q.cmcb.id(std::to_string(pick(1, 999999))), q.cmcb.id(std::to_string(pick(1, 999999))), {}};
        if (pick(0, 99) == 0) r.relationship = std::string(w, '\0');
        const int shape = pick(0, 99);
        const int count = shape == 0 ? 240 : shape == 1 ? 239 : pick(1, 6);
        for (int i = 0; i < count; ++i) {
            const int length = shape < 5 ? 1 : shape == 98 ? pick(1000, 2100) : shape == 99 && i == 0 ? pick(3900, 4300)
                                                                                                     : pick(1, 40);
            r.fields.push_back(std::string(std::size_t(length), char('A' + pick(0, 25))));
        }
        if (pick(0, 49) == 0) r.fields.clear();  // one field of length 0: saved without fields
        int size = 28;
        for (const std::string& f : r.fields) size += 2 + int(f.size());
        const int result = q.add(r.relationship, r.associated, r.fields.empty() ? std::vector<std::string>{""} : r.fields);
        const char* code = r.relationship == std::string(w, '\0') ? "Q4"
                           : r.fields.size() >= 240               ? "Q2"
                           : (size + 3) / 4 * 4 > 4092            ? "Q3"
                                                                  : "OK";
        if (code == std::string("OK")) {
            m.pending.push_back(r);
            m.everAdded = true;
        }
        check(q, result, code, "ADD");
    }

    void next(QueueClient& q, Model& m) {
        const int result = q.next();
        if (!m.everAdded || m.pending.empty()) {
            check(q, result, "Q1", "NEXT past the end");
            if (m.everAdded) {
                EXPECT_FALSE(q.cmcb.anchored());
            }
            m = Model{};
            return;
        }
        m.current = m.pending.front();
        m.pending.pop_front();
        check(q, result, "OK", "NEXT");
        EXPECT_EQ(q.cmcb.relationship() + q.cmcb.associated(), m.current->relationship + m.current->associated);
    }

    void read(QueueClient& q, const Model& m) {
        std::vector<int> rooms;
        const std::size_t saved = m.current ? m.current->fields.size() : 0;
        const std::size_t count = saved + std::size_t(pick(0, 2)) - (saved > 0 ? std::size_t(pick(0, 1)) : 0);
        for (std::size_t i = 0; i < count; ++i) {
            rooms.push_back(std::max(1, (i < saved ? int(m.current->fields[i].size()) : 5) + pick(-3, 3)));
        }
        if (rooms.empty()) return check(q, q.bare('R'), "Q4", "READ alone");
        std::vector<std::string> got;
        std::vector<int> lengths;
        q.cmcb.setIds("????????", "????????");
        const int result = q.read(rooms, &got, &lengths);
        if (!m.current) return check(q, result, "Q1", "READ first");
        check(q, result, "OK", "READ");
        EXPECT_EQ(q.cmcb.relationship(), m.current->relationship);
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            std::string expected(std::size_t(rooms[i]), '.');
            std::size_t copied = 0;  // none beyond the 240 caller fields READ looks at
            if (i < saved && i < 240) {
                copied = std::min(expected.size(), m.current->fields[i].size());
                expected.replace(0, copied, m.current->fields[i], 0, copied);
            }
            EXPECT_EQ(got[i], expected) << i;
            EXPECT_EQ(lengths[i], q.cmcb.form == Form::pairs && i < 240 ? int(copied) : rooms[i]) << i;
        }
    }

    void check(QueueClient& q, int result, const char* code, const char* what) {
        ++steps_;
        EXPECT_EQ(result, code == std::string("OK") ? 0 : 4) << what << " at step " << steps_;
        EXPECT_EQ(q.cmcb.code(), code) << what << " at step " << steps_;
    }

private:
    std::mt19937 random_{20260401};
    int steps_ = 0;
};

TEST(QueueModel, MixedRequestsOnSeveralBlocksMatchADequeModel) {
    Driver driver;
    std::vector<std::unique_ptr<QueueClient>> clients;
    std::vector<Model> models(4);
    for (Form form : {Form::block, Form::pairs, Form::block, Form::pairs}) {
        clients.push_back(std::make_unique<QueueClient>(form));
    }
    for (int step = 0; step < 12000 && !::testing::Test::HasFailure(); ++step) {
        const std::size_t k = std::size_t(driver.pick(0, 3));
        QueueClient& q = *clients[k];
        // Phases that mostly fill and mostly drain, so queues also run
        // past their end and start again.
        const int what = driver.pick(0, 99);
        if (what < ((step / 400) % 2 == 0 ? 60 : 20)) {
            driver.add(q, models[k]);
        } else if (what < 78) {
            driver.next(q, models[k]);
        } else if (what < 98) {
            driver.read(q, models[k]);
        } else {
            driver.check(q, q.bare(driver.pick(0, 1) ? 'a' : 'X'), "Q4", "invalid");
        }
        EXPECT_TRUE(q.cmcb.onlyDocumentedBytesWritten());
    }
}

}  // namespace
