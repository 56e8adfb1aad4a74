// Every family called from several threads at once, each thread on its
// own call contexts, fields, groups and CMCBs: every transcript must be
// the one a single thread produced before.  Built with ThreadSanitizer
// (`make test-tsan`) this also finds any data race between the calls.
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
#include "support/queue_model.h"

namespace {

using qmr_test::TestContext;

// Everything a workload saw: outputs, field bytes, the contexts' error fields.
struct Transcript {
    std::string text;
    Transcript& operator<<(long long v) { return *this << std::to_string(v); }
    Transcript& operator<<(const std::string& s) {
        text += s + '|';
        return *this;
    }
};

// A TextField of `maximum` bytes holding `text`.
std::string field(int maximum, const std::string& text) {
    std::string f(std::size_t(8 + maximum), '~');
    qmr_test::putLe32(reinterpret_cast<unsigned char*>(f.data()), maximum);
    qmr_test::putLe32(reinterpret_cast<unsigned char*>(f.data() + 4), int(text.size()));
    return f.replace(8, text.size(), text);
}
TextField* tf(std::string& f) { return reinterpret_cast<TextField*>(f.data()); }

// The workloads: call i of a family.
void dateTimeStorageAndNumericCalls(int i, Transcript& t) {
    TestContext c;
    const qmr_int32 date = (1600 + i * 104729 % 8000) * 10000 + (1 + i % 12) * 100 + 1 + i % 28;
    qmr_int32 read = 0, time = 0, stored = 0;
    double number = 0;
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date / 10000, date / 100 % 100, date % 100);
    QMRFDTEC(nullptr, nullptr, c.get(), text, &read);
    std::snprintf(text, sizeof text, "%d:%02d %s", i % 12 + 1, i * 7 % 60, i % 2 ? "PM" : "AM");
    QMRFTMEC(nullptr, nullptr, c.get(), text, &time);
    QMRVW2D(read, text);
    QMRD2VW(text, &stored);
    std::snprintf(text, sizeof text, "%-17.*f", i % 6, i * 7.25 * (i % 2 ? -1 : 1));
    QMRFNUM(nullptr, nullptr, c.get(), text, &number);
    t << read << time << stored << static_cast<long long>(qmrd2dec(number, i % 5 - 2, i % 2) * 1000)
      << c.error() + c.name();
}

// Texts of the character set "sjis"; the ASCII ones read alike in every set.
void textCalls(int i, Transcript& t, bool asciiOnly) {
    static const char* const kTexts[] = {"Hello wide world  ", "  plain text ", "a\x82\xa0\x81\x40 x", "ab\x81\x40 cd"};
    TestContext c;
    std::string a = field(40, kTexts[i % (asciiOnly ? 2 : 4)]), b = field(20, kTexts[i / 3 % 2]);
    std::string search = field(8, i % 2 || asciiOnly ? "e" : "\x81\x40"), result = field(60, "");
    qmr_int16 position = 0;
    QMRFINDX(nullptr, nullptr, c.get(), tf(a), tf(search), &position);
    QMRFCCAT(nullptr, nullptr, c.get(), tf(a), tf(b), tf(result));
    QMRFUPPR(nullptr, nullptr, c.get(), tf(result), tf(a));
    t << position << c.error() + c.name() + a;
}

void listCalls(int i, Transcript& t) {
    constexpr int kCount = 40;
    std::vector<qmr_int32> longs(kCount);
    std::vector<char> values(kCount * 20, 0), flags(kCount);
    for (std::size_t k = 0; k < kCount; ++k) {
        longs[k] = (int(k) * 7919 + i) % 97;
        std::snprintf(&values[k * 20], 20, "V%d", (int(k) * 17 + i) % 41);
        flags[k] = " *H-+"[k % 5];
    }
    FieldDescriptor fields[] = {{nullptr, nullptr, QMR_FIELD_LONG, 0, longs.data()},
                                {nullptr, nullptr, QMR_FIELD_VALUE20, 20, values.data()},
                                {nullptr, nullptr, QMR_FIELD_TEXT, 1, flags.data()}};
    GroupDescriptor group{kCount, 3, 0, nullptr, 2, fields};
    TestContext c;
    QMRSORT(nullptr, nullptr, c.get(), &group, "2 D 1 A");
    QMRFLTR(nullptr, nullptr, c.get(), &group, "1 < 50 AND (1 >= 3 OR 2 <> \"V4\")");
    QMRSORT(nullptr, nullptr, c.get(), &group, "1 A 2 d");
    t << c.error() + c.name()
      << QMRGSEL(nullptr, nullptr, c.get(), static_cast<signed char>(flags[0]), 1 + std::uint32_t(i) % 7)
      << std::string(values.begin(), values.end()) + std::string(flags.begin(), flags.end());
}

// Requests on two CMCBs, each checked against the queue model: the
// transcript holds what disagreed.
void queueCalls(int i, Transcript& t) {
    qmr_test::RequestStream stream(2);
    std::mt19937 random{std::uint32_t(i)};
    for (int step = 0; step < 40; ++step) t << stream.step([&random] { return std::uint8_t(random()); });
    t << stream.close();
}

using Workload = void (*)(int i, Transcript& t);

std::string transcript(Workload work) {
    Transcript t;
    for (int i = 0; i < 150; ++i) work(i, t);
    return t.text;
}

int QMR_CALL bytesLess(const void* a, const void* b) { return std::memcmp(a, b, 20) < 0; }
int QMR_CALL bytesEqual(const void* a, const void* b) { return std::memcmp(a, b, 20) == 0; }

// Runs every workload on four threads, each in its own order, while
// another thread switches the character set and the ordering if
// `switching`; counts the transcripts that differ from the ones a single
// thread gave first.
int mismatches(const std::vector<Workload>& work, bool switching = false) {
    const std::size_t rounds = qmr_test::kEmulated ? 1 : 3, threadCount = 4;
    std::vector<std::string> expected;
    for (Workload w : work) expected.push_back(transcript(w));
    std::atomic<int> wrong{0}, running{int(threadCount)};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t k = t; k < t + rounds * work.size(); ++k) {
                if (transcript(work[k % work.size()]) != expected[k % work.size()]) ++wrong;
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
    const Workload text = [](int i, Transcript& t) { textCalls(i, t, false); };
    EXPECT_EQ(mismatches({dateTimeStorageAndNumericCalls, text, listCalls, queueCalls}), 0);
}

TEST(Concurrency, SwitchingTheCharacterSetAndTheOrderingWhileCallsRun) {
    const Workload text = [](int i, Transcript& t) { textCalls(i, t, true); };
    EXPECT_EQ(mismatches({text, listCalls}, true), 0);
}

}  // namespace
