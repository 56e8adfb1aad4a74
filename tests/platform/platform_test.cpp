// The host-library stand-ins.  The allocation hook is exercised by every
// allocation-failure run of the filter, the sort and the queue, and
// VKSTRNCM by the list tests' random filters and sorts against their model.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/alloc.h"
#include "platform/editsvc.h"
#include "platform/mbtext.h"
#include "platform/value20.h"
#include "qmr/qmr.h"
#if defined(_WIN32)
#include <windows.h>
#endif
#if defined(__linux__) && !defined(QMR_EMULATED)
#include <spawn.h>
#include <sys/wait.h>
#define QMR_TEST_CHILDREN 1
#endif

namespace {

using namespace std::string_literals;

const char* inForce() { return qmr::charsetOf(qmr::textServices())->name; }

// First, before any test chooses a set: the set chosen at load.  Runs
// again in child processes with the environment set (below), which name
// the set they expect in QMR_TEST_EXPECT.
TEST(SystemCharset, InForceAtLoad) {
    const char* expected = std::getenv("QMR_TEST_EXPECT");
    if (expected == nullptr && std::getenv("QMR_CHARSET") != nullptr) GTEST_SKIP() << "QMR_CHARSET is set";
#if defined(_WIN32)
    if (expected == nullptr) expected = qmr::systemCharset();
#endif
    EXPECT_STREQ(inForce(), expected != nullptr ? expected : "single");
}

TEST(SystemCharset, CodePagesAndLocales) {
    std::string got;
    for (unsigned page : {932, 936, 949, 950, 874, 65001, 1252, 0}) got += qmr::charsetOfCodePage(page) + " "s;
    for (const char* locale : {"ja_JP.SJIS", "ja_JP.shift_jis@x", "x.CP932", "zh_CN.GBK", "x.cp936", "ko_KR.EUC-KR",
                               "x.CP949", "ko_KR.UHC", "zh_TW.Big5", "x.CP950", "th_TH.TIS-620", "C.UTF-8",
                               "en_US.utf8", "ja_JP", "de_DE.ISO-8859-15", "x.utf-8-and-more", "", "C"}) {
        got += qmr::charsetOfLocale(locale) + " "s;
    }
    EXPECT_EQ(got, "sjis gbk uhc big5 tis620 utf8 single single sjis sjis sjis gbk gbk uhc uhc uhc big5 big5 tis620 "
                   "utf8 utf8 single single single single single ");
#if defined(_WIN32)
    EXPECT_EQ(qmr_use_charset("system"), 0);
    EXPECT_STREQ(inForce(), qmr::charsetOfCodePage(GetACP()));
#endif
    qmr_use_charset("single");
}

#ifdef QMR_TEST_CHILDREN
// The first of LC_ALL, LC_CTYPE and LANG that is set and not empty names
// the machine's set; QMR_CHARSET, read at load, names the set in force.
TEST(SystemCharset, FollowsTheEnvironmentOfAChildProcess) {
    const struct { const char* environment[4]; const char* expected; } runs[] = {
        {{"LANG=ja_JP.SJIS"}, "single"},
        {{"QMR_CHARSET=system", "LANG=ja_JP.SJIS"}, "sjis"},
        {{"QMR_CHARSET=system", "LC_ALL=", "LC_CTYPE=ko_KR.CP949", "LANG=C.UTF-8"}, "uhc"},
        {{"QMR_CHARSET=system", "LC_ALL=zh_TW.BIG5", "LC_CTYPE=ko_KR.CP949"}, "big5"},
        {{"QMR_CHARSET=utf8", "LANG=ja_JP.SJIS"}, "utf8"},
        {{"QMR_CHARSET=latin1", "LC_ALL=ja_JP.SJIS"}, "single"},
    };
    char self[] = "/proc/self/exe", filter[] = "--gtest_filter=SystemCharset.InForceAtLoad";
    char* arguments[] = {self, filter, nullptr};
    for (const auto& run : runs) {
        std::string expect = std::string("QMR_TEST_EXPECT=") + run.expected;
        char* environment[6] = {expect.data()};
        for (int i = 0; i < 4; ++i) environment[i + 1] = const_cast<char*>(run.environment[i]);
        pid_t child = 0;
        int status = -1;
        ASSERT_EQ(posix_spawn(&child, self, nullptr, nullptr, arguments, environment), 0);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << run.expected;
    }
}
#endif

int QMR_CALL reversedLess(const void* a, const void* b) { return std::memcmp(a, b, 20) > 0; }
int QMR_CALL anyEqual(const void*, const void*) { return 1; }

// A host's pair is copied once, the same pair again takes no storage, and
// a half pair, or a new pair without storage, leaves the ordering as it was.
TEST(Value20Order, DefaultsToBytesAndTakesAHostPair) {
    const char low[20] = {1}, high[20] = {2};
    EXPECT_TRUE(qmr::value20IsByteOrder() && qmr::value20Less(low, high) && !qmr::value20Equal(low, high));
    EXPECT_FALSE(qmr::value20Less(low, low) || qmr::value20Less(high, low));
    EXPECT_TRUE(qmr_set_value20_order(reversedLess, nullptr) == -1 && qmr::value20IsByteOrder());
    EXPECT_EQ(qmr_set_value20_order(reversedLess, anyEqual), 0);
    EXPECT_TRUE(!qmr::value20IsByteOrder() && qmr::value20Less(high, low) && qmr::value20Equal(low, high));
    EXPECT_TRUE(qmr_set_value20_order(nullptr, nullptr) == 0 && qmr::value20Less(low, high));
    qmr::testing::failAllocation(1);
    EXPECT_TRUE(qmr_set_value20_order(reversedLess, anyEqual) == 0 && qmr::testing::allocationCount() == 0);
    EXPECT_EQ(qmr_set_value20_order(reversedLess, reversedLess), -1);
    qmr::testing::failAllocation(0);
    EXPECT_TRUE(qmr::value20Less(high, low) && qmr::value20Equal(low, high));
    EXPECT_TRUE(qmr_set_value20_order(nullptr, nullptr) == 0 && qmr::value20IsByteOrder());
}

}  // namespace
