// Every family called from several threads at once, each thread on its
// own call contexts, fields, groups and CMCBs: every transcript must be
// the one a single thread produced before.  Built with ThreadSanitizer
// (`make test-tsan`) this also finds any data race between the calls.
//
// The character set and the 20-byte value ordering are process-wide.
// The first test fixes them before its threads start; the second switches
// both while the threads run, between settings under which the threads'
// results cannot differ (ASCII texts, a host ordering that orders as the
// bytes do), which is what a host switching them at run time relies on.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "concurrency/workloads.h"
#include "qmr/qmr.h"
#include "support/emulation.h"

namespace {

struct Job {
    const char* name;
    std::function<std::string(int)> run;
};

constexpr int kThreads = 4;
constexpr int kSeeds = 3;
const int kRounds = qmr_test::kEmulated ? 1 : 3;

// Runs every job with every seed on kThreads threads, each thread in its
// own order; names the jobs whose transcripts differ from `expected`,
// with the number of differences ("" when none).
std::string mismatches(const std::vector<Job>& jobs, const std::vector<std::vector<std::string>>& expected) {
    std::vector<std::atomic<int>> wrong(jobs.size());
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                for (std::size_t k = 0; k < jobs.size() * kSeeds; ++k) {
                    const std::size_t pick = (k * 7 + std::size_t(t) * 5 + std::size_t(round)) % (jobs.size() * kSeeds);
                    const std::size_t j = pick % jobs.size();
                    const int seed = int(pick / jobs.size());
                    if (jobs[j].run(seed) != expected[j][std::size_t(seed)]) ++wrong[j];
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    std::string report;
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        if (wrong[j] != 0) report += std::string(jobs[j].name) + ": " + std::to_string(wrong[j].load()) + " ";
    }
    return report;
}

std::vector<std::vector<std::string>> quietAnswers(const std::vector<Job>& jobs) {
    std::vector<std::vector<std::string>> answers(jobs.size());
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        for (int seed = 0; seed < kSeeds; ++seed) answers[j].push_back(jobs[j].run(seed));
    }
    return answers;
}

int QMR_CALL bytesLess(const void* a, const void* b) { return std::memcmp(a, b, 20) < 0; }
int QMR_CALL bytesEqual(const void* a, const void* b) { return std::memcmp(a, b, 20) == 0; }

TEST(Concurrency, EveryFamilyAtOnceGivesTheSingleThreadedAnswers) {
    ASSERT_EQ(qmr_use_charset("sjis"), 0);
    const std::vector<Job> jobs = {{"dates", stress::dateCalls},     {"times", stress::timeCalls},
                                   {"storage", stress::storageCalls}, {"numeric", stress::numericCalls},
                                   {"text", [](int seed) { return stress::textCalls(seed, false); }},
                                   {"lists", stress::listCalls},      {"queue", stress::queueCalls}};
    const auto expected = quietAnswers(jobs);
    EXPECT_EQ(mismatches(jobs, expected), "");
    qmr_use_charset("single");
}

TEST(Concurrency, SwitchingTheCharacterSetAndTheOrderingWhileCallsRun) {
    const std::vector<Job> jobs = {{"text", [](int seed) { return stress::textCalls(seed, true); }},
                                   {"lists", stress::listCalls}};
    const auto expected = quietAnswers(jobs);
    std::atomic<bool> stop{false};
    std::thread switcher([&stop] {
        static const char* const kSets[] = {"single", "sosi", "sjis", "gbk", "big5", "tis620"};
        for (int i = 0; !stop.load(); ++i) {
            qmr_use_charset(kSets[i % 6]);
            if (i % 2 != 0) {
                qmr_set_value20_order(bytesLess, bytesEqual);
            } else {
                qmr_set_value20_order(nullptr, nullptr);
            }
            std::this_thread::yield();
        }
    });
    const std::string wrong = mismatches(jobs, expected);
    stop = true;
    switcher.join();
    qmr_use_charset("single");
    qmr_set_value20_order(nullptr, nullptr);
    EXPECT_EQ(wrong, "");
}

}  // namespace
