// Thousands of mixed requests on several CMCBs at once, checked against a
// plain std::deque model of each queue; and queues used on several
// threads at the same time.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "queue_host.h"

namespace {

using qmr_test::Form;
using qmr_test::QueueClient;

struct Relationship {
    std::string relationship;
    std::string associated;
    std::vector<std::string> fields;
};

// What one CMCB's queue holds, as the documented behaviour describes it.
struct Model {
    bool everAdded = false;  // since the anchor was created
    std::deque<Relationship> pending;
    std::optional<Relationship> current;
};

struct Expected {
    int result;
    std::string code;
};

int entrySize(const std::vector<std::string>& fields) {
    int size = 28;
    for (const std::string& f : fields) size += 2 + int(f.size());
    return (size + 3) / 4 * 4;
}

class Driver {
public:
    explicit Driver(std::uint32_t seed) : random_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    std::string id(int width) {
        std::string s = std::to_string(pick(1, 999999));
        s.resize(std::size_t(width), ' ');
        return s;
    }

    std::vector<std::string> fields() {
        const int shape = pick(0, 99);
        int count = pick(1, 6);
        if (shape == 0) count = 240;
        if (shape == 1) count = 239;
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            int length = shape < 5 ? 1 : pick(1, 40);
            if (shape == 98) length = pick(1000, 2100);
            if (shape == 99 && i == 0) length = pick(3900, 4300);
            out.push_back(std::string(std::size_t(length), char('A' + pick(0, 25))));
        }
        return out;
    }

    void add(QueueClient& q, Model& m) {
        const int w = q.cmcb.idWidth();
        Relationship r{id(w), id(w), fields()};
        if (pick(0, 99) == 0) r.relationship = std::string(std::size_t(w), '\0');
        if (pick(0, 49) == 0) r.fields.clear();  // one field of length 0: saved without fields
        q.cmcb.setIds(r.relationship, r.associated);
        q.cmcb.setRawRelationship(r.relationship);
        const int result = q.add(r.fields.empty() ? std::vector<std::string>{""} : r.fields);
        Expected e{0, "OK"};
        if (r.relationship == std::string(std::size_t(w), '\0')) {
            e = {4, "Q4"};
        } else if (r.fields.size() >= 240) {
            e = {4, "Q2"};
        } else if (entrySize(r.fields) > 4092) {
            e = {4, "Q3"};
        } else {
            m.pending.push_back(r);
            m.everAdded = true;
        }
        check(q, result, e, "ADD");
    }

    void next(QueueClient& q, Model& m) {
        const int result = q.next();
        if (!m.everAdded) return check(q, result, {4, "Q1"}, "NEXT on empty");
        if (m.pending.empty()) {
            check(q, result, {4, "Q1"}, "NEXT past the end");
            EXPECT_FALSE(q.cmcb.anchored());
            m = Model{};
            return;
        }
        m.current = m.pending.front();
        m.pending.pop_front();
        check(q, result, {0, "OK"}, "NEXT");
        EXPECT_EQ(q.cmcb.relationship(), m.current->relationship);
        EXPECT_EQ(q.cmcb.associated(), m.current->associated);
    }

    void read(QueueClient& q, Model& m) {
        std::vector<int> rooms;
        const std::size_t saved = m.current ? m.current->fields.size() : 0;
        const std::size_t count = saved + std::size_t(pick(0, 2)) - (saved > 0 ? std::size_t(pick(0, 1)) : 0);
        for (std::size_t i = 0; i < count; ++i) {
            const int length = i < saved ? int(m.current->fields[i].size()) : 5;
            rooms.push_back(std::max(1, length + pick(-3, 3)));
        }
        if (rooms.empty()) {
            check(q, q.bare('R'), {4, "Q4"}, "READ alone");
            return;
        }
        std::vector<std::string> got;
        std::vector<int> lengths;
        q.cmcb.setIds("????????", "????????");
        const int result = q.read(rooms, &got, &lengths);
        if (!m.current) return check(q, result, {4, "Q1"}, "READ first");
        check(q, result, {0, "OK"}, "READ");
        EXPECT_EQ(q.cmcb.relationship(), m.current->relationship);
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            const std::size_t room = std::size_t(rooms[i]);
            std::string expected(room, '.');
            if (i >= 240) {  // beyond the caller fields READ looks at
                EXPECT_EQ(got[i], expected);
                EXPECT_EQ(lengths[i], rooms[i]);
                continue;
            }
            std::size_t copied = 0;
            if (i < saved) {
                copied = std::min(room, m.current->fields[i].size());
                expected.replace(0, copied, m.current->fields[i], 0, copied);
            }
            EXPECT_EQ(got[i], expected) << i;
            EXPECT_EQ(lengths[i], q.form() == Form::pairs ? int(copied) : rooms[i]) << i;
        }
    }

    void invalid(QueueClient& q) { check(q, q.bare("XnrA"[pick(0, 3)] == 'A' ? 'a' : 'X'), {4, "Q4"}, "invalid"); }

private:
    void check(QueueClient& q, int result, const Expected& e, const char* what) {
        ++steps_;
        EXPECT_EQ(result, e.result) << what << " at step " << steps_;
        EXPECT_EQ(q.cmcb.code(), e.code) << what << " at step " << steps_;
    }

    std::mt19937 random_;
    int steps_ = 0;

};

TEST(QueueModel, MixedRequestsOnSeveralBlocksMatchADequeModel) {
    Driver driver(20260401);
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
        const int adds = (step / 400) % 2 == 0 ? 60 : 20;
        const int what = driver.pick(0, 99);
        if (what < adds) {
            driver.add(q, models[k]);
        } else if (what < 78) {
            driver.next(q, models[k]);
        } else if (what < 98) {
            driver.read(q, models[k]);
        } else {
            driver.invalid(q);
        }
        EXPECT_TRUE(q.cmcb.onlyDocumentedBytesWritten());
    }
}

TEST(QueueThreads, SeparateBlocksOnSeparateThreadsDoNotInterfere) {
    std::atomic<int> mismatches{0};
    auto work = [&mismatches](int t) {
        const Form form = t % 2 ? Form::block : Form::pairs;
        for (int round = 0; round < 60; ++round) {
            QueueClient q(form);
            const int n = 1 + (round * 37 + t) % 300;
            for (int i = 0; i < n; ++i) {
                const std::string tag = std::to_string(t) + "-" + std::to_string(i);
                if (q.add(tag, "T", {tag, std::string(std::size_t(i % 90), 'f')}) != 0) ++mismatches;
            }
            for (int i = 0; i < n; ++i) {
                const std::string tag = std::to_string(t) + "-" + std::to_string(i);
                std::vector<std::string> got;
                if (q.next() != 0 || q.read({int(tag.size())}, &got) != 0 || got[0] != tag) ++mismatches;
            }
            if (q.next() != 4 || q.cmcb.anchored()) ++mismatches;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(work, t);
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
