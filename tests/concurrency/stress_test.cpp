// Every family called from several threads at once, each thread on its
// own call contexts, fields, groups and CMCBs: a table of calls is run
// once on one thread, then over and over on four, and every byte each call
// wrote (outputs and the whole call context) must be what the single
// thread saw.  Built with ThreadSanitizer (`make test-tsan`) this also
// finds any data race between the calls.  The queue's calls are checked
// against the queue model instead, as its handles differ from run to run.
//
// The character set and the 20-byte value ordering are process-wide.
// The first test fixes them before its threads start; the second switches
// both while the threads run, between settings under which the results
// cannot differ (ASCII texts, a host ordering that orders as the bytes
// do), which is what a host switching them at run time relies on.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "qmr/qmr.h"
#include "support/context.h"
#include "support/emulation.h"
#include "support/list_models.h"
#include "support/queue_model.h"

namespace {

using qmr_test::TestContext;

// The calls of one family with argument i: the bytes they wrote.
using Calls = std::string (*)(int i);

std::string bytesOf(const void* p, std::size_t n) { return {static_cast<const char*>(p), n}; }
std::string context(const TestContext& c) { return c.text(0, TestContext::kSize); }

// A TextField of `maximum` bytes holding `text`.
std::string field(int maximum, const std::string& text) {
    std::string f(std::size_t(8 + maximum), '~');
    qmr_test::putLe32(reinterpret_cast<unsigned char*>(f.data()), maximum);
    qmr_test::putLe32(reinterpret_cast<unsigned char*>(f.data() + 4), int(text.size()));
    return f.replace(8, text.size(), text);
}
TextField* tf(std::string& f) { return reinterpret_cast<TextField*>(f.data()); }

std::string dateTimeStorageAndNumeric(int i) {
    TestContext c;
    const qmr_int32 date = (1600 + i * 104729 % 8000) * 10000 + (1 + i % 12) * 100 + 1 + i % 28;
    qmr_int32 out[3] = {};
    double number[2] = {};
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date / 10000, date / 100 % 100, date % 100);
    QMRFDTEC(nullptr, nullptr, c.get(), text, &out[0]);
    std::snprintf(text, sizeof text, "%d:%02d %s", i % 12 + 1, i * 7 % 60, i % 2 ? "PM" : "AM");
    QMRFTMEC(nullptr, nullptr, c.get(), text, &out[1]);
    QMRVW2D(out[0], text);
    QMRD2VW(text, &out[2]);
    std::snprintf(text, sizeof text, "%-17.*f", i % 6, i * 7.25 * (i % 2 ? -1 : 1));
    QMRFNUM(nullptr, nullptr, c.get(), text, &number[0]);
    number[1] = qmrd2dec(number[0], i % 5 - 2, i % 2);
    return bytesOf(out, sizeof out) + bytesOf(number, sizeof number) + context(c);
}

// Texts of the character set "sjis"; the ASCII ones read alike in every set.
std::string text(int i, bool asciiOnly) {
    static const char* const kTexts[] = {"Hello wide world  ", "  plain text ", "a\x82\xa0\x81\x40 x", "ab\x81\x40 cd"};
    TestContext c;
    std::string a = field(40, kTexts[i % (asciiOnly ? 2 : 4)]), b = field(20, kTexts[i / 3 % 2]);
    std::string search = field(8, i % 2 || asciiOnly ? "e" : "\x81\x40"), result = field(60, "");
    qmr_int16 position = 0;
    QMRFINDX(nullptr, nullptr, c.get(), tf(a), tf(search), &position);
    QMRFCCAT(nullptr, nullptr, c.get(), tf(a), tf(b), tf(result));
    QMRFUPPR(nullptr, nullptr, c.get(), tf(result), tf(a));
    return std::to_string(position) + a + result + context(c);
}

// A group of random longs and 20-byte values, with a column of flags.
std::string lists(int i) {
    std::mt19937 random{std::uint32_t(i)};
    qmr_test::ListGroup list(40, {QMR_FIELD_LONG, QMR_FIELD_VALUE20}, 2, random);
    TestContext c;
    QMRSORT(nullptr, nullptr, c.get(), &list.group, "2 D 1 A");
    QMRFLTR(nullptr, nullptr, c.get(), &list.group, "1 < 2 AND (1 >= 0 OR 3 <> \"AB\")");
    QMRSORT(nullptr, nullptr, c.get(), &list.group, "1 A 2 d");
    std::string all = std::to_string(QMRGSEL(nullptr, nullptr, c.get(), '*', 1 + i % 7)) + context(c);
    for (const qmr_test::Bytes& b : list.blocks) all += bytesOf(b.data(), b.size());
    return all;
}

// Requests on two CMCBs, each checked against the queue model: what disagreed.
std::string queue(int i) { return qmr_test::RequestStream(2).runSeeded(std::uint32_t(i), 40); }

int QMR_CALL bytesLess(const void* a, const void* b) { return std::memcmp(a, b, 20) < 0; }
int QMR_CALL bytesEqual(const void* a, const void* b) { return std::memcmp(a, b, 20) == 0; }

// Runs each family's calls for i from 0 to 149 on one thread, then again
// on four threads, each from its own place in the table, while another
// thread switches the character set and the ordering if `switching`;
// counts the calls whose bytes differ from the single thread's.
int mismatches(const std::vector<Calls>& families, bool switching = false) {
    constexpr std::size_t kPerFamily = 150, kThreads = 4;
    const std::size_t rounds = qmr_test::kEmulated ? 1 : 3;
    const auto call = [&families](std::size_t n) { return families[n / kPerFamily](int(n % kPerFamily)); };
    std::vector<std::string> expected;
    for (std::size_t n = 0; n < families.size() * kPerFamily; ++n) expected.push_back(call(n));
    std::atomic<int> wrong{0}, running{int(kThreads)};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t k = t * 97; k < t * 97 + rounds * expected.size(); ++k) {
                if (call(k % expected.size()) != expected[k % expected.size()]) ++wrong;
            }
            --running;
        });
    }
    static const char* const kSets[] = {"single", "sosi", "sjis", "gbk", "big5", "tis620"};
    for (int i = 0; switching && running > 0; ++i) {
        qmr_use_charset(kSets[i % 6]);
        qmr_set_value20_order(i % 2 ? bytesLess : nullptr, i % 2 ? bytesEqual : nullptr);
        std::this_thread::yield();
    }
    for (std::thread& thread : threads) thread.join();
    qmr_use_charset("single");
    qmr_set_value20_order(nullptr, nullptr);
    return wrong;
}

TEST(Concurrency, EveryFamilyAtOnceGivesTheSingleThreadedAnswers) {
    ASSERT_EQ(qmr_use_charset("sjis"), 0);
    EXPECT_EQ(mismatches({dateTimeStorageAndNumeric, [](int i) { return text(i, false); }, lists, queue}), 0);
}

TEST(Concurrency, SwitchingTheCharacterSetAndTheOrderingWhileCallsRun) {
    EXPECT_EQ(mismatches({[](int i) { return text(i, true); }, lists}, true), 0);
}

}  // namespace
