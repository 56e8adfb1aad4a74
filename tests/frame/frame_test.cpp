// The call frame: error reporting into the host's call context, and the
// decimal text helpers every family shares against the C library's own
// printf and strtol (the word digit test is checked through the storage
// readers that use it).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "frame/call_context.h"
#include "frame/digits.h"
#include "support/context.h"
#include "support/storage_model.h"

namespace {

TEST(ErrorReport, SetsFlagFacilityAndNumberAndNothingElse) {
    qmr_test::TestContext context;
    qmr::ErrorReport(nullptr, nullptr, context.get(), "RQ", " 137");
    EXPECT_EQ(context.kSize - std::count(context.bytes(), context.bytes() + context.kSize, 0), 1u + 2 + 4);
    EXPECT_EQ(QMRFDAT3(nullptr, nullptr, context.get(), 2026338), 20261204) << "a success leaves the error";
    qmr::report(nullptr, nullptr, context.get(), QMR_MSG_RESULT_DATE);
    EXPECT_EQ(context.error() + context.facility(), " 139RQ") << "a second failure overwrites the number";
}

// Every width with and without precision, for the edges and random values
// as often short as long; random texts and their slices, which are read
// no further, runs of digits that saturate among them.
TEST(DecimalText, WritesAsPrintfAndReadsAsA32BitStrtol) {
    std::mt19937 random(7);
    for (int i = -2000; i < 20000; ++i) {
        const std::int32_t v =
            i < 0 ? i + 1000 : i < 3 ? INT32_MIN + 2 - i : static_cast<std::int32_t>(random()) >> (i % 32);
        for (int width = 1; width <= 8; ++width) {
            for (const bool precision : {false, true}) {
                const std::string format =
                    "%0" + std::to_string(width) + (precision ? "." + std::to_string(width) : "") + "d";
                char ours[16], leading[8];
                ASSERT_EQ(std::string(ours, qmr::formatDecimal(ours, v, width, precision ? width : -1)),
                          qmr_model::printed(format.c_str(), v, 16))
                    << format << v;
                qmr::putLeading(leading, v, width, precision);
                ASSERT_EQ(std::string(leading, width), qmr_model::printed(format.c_str(), v, width)) << format << v;
            }
        }
    }
    static const std::string alphabet = "0123456789 \t\n\v\f\r+-x";  // every white space of the C locale
    for (int i = 0; i < 100000; ++i) {
        std::string text(random() % 14, i % 50 == 0 ? '9' : ' ');
        for (char& c : text) c = i % 50 == 0 ? c : alphabet[random() % alphabet.size()];
        if (i % 100 == 0 && !text.empty()) text[0] = '-';
        const std::size_t slice = random() % (text.size() + 1);
        ASSERT_EQ(qmr::readDecimal(text.data(), slice), qmr_model::strtol32(text.substr(0, slice))) << text << slice;
    }
}

}  // namespace
