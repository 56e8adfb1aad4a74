// The call frame: error reporting into the host's call context, and the
// decimal text helpers every family shares, checked against the C
// library's own printf and strtol.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

#include "frame/call_context.h"
#include "frame/digits.h"
#include "support/context.h"

namespace {

TEST(ErrorReport, SetsFlagFacilityAndNumberAndNothingElse) {
    qmr_test::TestContext context;
    qmr::ErrorReport(nullptr, nullptr, context.get(), "RQ", " 137");
    EXPECT_EQ(context.errorFlag(), 'Y');
    EXPECT_EQ(context.facility(), "RQ");
    EXPECT_EQ(context.message(), " 137");
    int changed = 0;
    for (std::size_t i = 0; i < qmr_test::TestContext::kSize; ++i) changed += context.bytes()[i] != 0;
    EXPECT_EQ(changed, 1 + 2 + 4);

    qmr::report(nullptr, nullptr, context.get(), QMR_MSG_RESULT_DATE);
    EXPECT_EQ(context.message(), " 139") << "a second failure overwrites the number";
    EXPECT_EQ(context.errorFlag(), 'Y');
}

TEST(ErrorReport, ASuccessfulCallLeavesAnEarlierErrorInPlace) {
    qmr_test::TestContext context;
    EXPECT_EQ(QMRFDAT3(nullptr, nullptr, context.get(), 2026366), 0);
    EXPECT_EQ(QMRFDAT3(nullptr, nullptr, context.get(), 2026338), 20261204);
    EXPECT_EQ(context.error(), " 137");
    EXPECT_EQ(context.facility(), "RQ");
}

std::string printfDecimal(const char* format, long value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string ours(int32_t value, int width, int precision) {
    char buffer[64];
    return std::string(buffer, qmr::formatDecimal(buffer, value, width, precision));
}

TEST(DecimalText, FormatsExactlyAsPrintf) {
    struct Form {
        const char* format;
        int width;
        int precision;
    } const forms[] = {{"%08.8ld", 8, 8}, {"%06ld", 6, -1}, {"%02ld", 2, -1}, {"%03ld", 3, -1},
                       {"%04ld", 4, -1},  {"%08ld", 8, -1}, {"%01ld", 1, -1}};
    std::vector<int32_t> values = {0, 1, -1, 9, 10, 99, 100, 999999, 1000000, -99999, -100000, 99999999,
                                   100000000, -9999999, -10000000, INT32_MAX, INT32_MIN, INT32_MIN + 1};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) values.push_back(static_cast<int32_t>(random()));
    for (int i = -1000; i <= 1000; ++i) values.push_back(i);
    for (const Form& f : forms) {
        for (int32_t v : values) {
            ASSERT_EQ(ours(v, f.width, f.precision), printfDecimal(f.format, v)) << f.format << " " << v;
        }
    }
}

// Whole texts, and slices of a longer text, which is read no further.
TEST(DecimalText, ReadsAsA32BitStrtol) {
    const std::string_view texts[] = {"", " ", "0", "12", "  12", "\t\n\v\f\r7", "+5", "-5", "- 5", "+-5", "12ab",
                                      "ab12", "00000123", "-0", "2147483647", "2147483648", "-2147483648",
                                      "-2147483649", "99999999999999999999", "1 2", "\x80" "1", " -00012x",
                                      {"123456", 3}, {"   456", 3}, {"-12", 1}, {"20261204", 0}};
    for (const std::string_view t : texts) {
        long expected = std::strtol(std::string(t).c_str(), nullptr, 10);
        if (expected > INT32_MAX) expected = INT32_MAX;
        if (expected < INT32_MIN) expected = INT32_MIN;
        EXPECT_EQ(qmr::readDecimal(t.data(), t.size()), expected) << '"' << t << '"';
    }
}

}  // namespace
