// The call frame: error reporting into the host's call context, and the
// decimal text helpers every family shares, checked against the C
// library's own printf and strtol and against a byte-by-byte digit test.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
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
    int changed = 0;
    for (std::size_t i = 0; i < qmr_test::TestContext::kSize; ++i) changed += context.bytes()[i] != 0;
    EXPECT_EQ(changed, 1 + 2 + 4);
    EXPECT_EQ(QMRFDAT3(nullptr, nullptr, context.get(), 2026338), 20261204) << "a success leaves the error";
    EXPECT_EQ(context.error() + context.facility(), " 137RQ");
    qmr::report(nullptr, nullptr, context.get(), QMR_MSG_RESULT_DATE);
    EXPECT_EQ(context.error(), " 139") << "a second failure overwrites the number";
}

std::vector<std::int32_t> sampleValues() {
    std::vector<std::int32_t> values = {INT32_MAX, INT32_MIN, INT32_MIN + 1};
    for (int i = -1000; i <= 1000; ++i) values.push_back(i);
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) values.push_back(static_cast<std::int32_t>(random()) >> (i % 32));
    return values;
}

TEST(DecimalText, FormatsExactlyAsPrintf) {
    for (const std::int32_t v : sampleValues()) {
        for (int width = 1; width <= 8; ++width) {
            char ours[16], leading[8];
            for (const bool precision : {false, true}) {
                const std::string format = "%0" + std::to_string(width) + (precision ? "." + std::to_string(width) : "") + "d";
                const std::string printed = qmr_model::printed(format.c_str(), v, 16);
                ASSERT_EQ(std::string(ours, qmr::formatDecimal(ours, v, width, precision ? width : -1)), printed) << format << v;
                qmr::putLeading(leading, v, width, precision);
                ASSERT_EQ(std::string(leading, width), printed.substr(0, width)) << format << v;
            }
        }
    }
}

// Random texts and their slices, which are read no further, and runs of
// digits that saturate.
TEST(DecimalText, ReadsAsA32BitStrtol) {
    static const std::string alphabet = "0123456789 \t\n+-x";
    std::mt19937 random(8);
    for (int i = 0; i < 100000; ++i) {
        std::string text(random() % 14, ' ');
        for (char& c : text) c = i % 50 == 0 ? '9' : alphabet[random() % alphabet.size()];
        if (i % 100 == 0 && !text.empty()) text[0] = '-';
        const std::size_t slice = random() % (text.size() + 1);
        ASSERT_EQ(qmr::readDecimal(text.data(), slice), qmr_model::strtol32(text.substr(0, slice))) << text << slice;
    }
}

// Each byte that is no digit is flagged; a digit only by the carry of a
// non-digit right below it.
TEST(DecimalText, WordDigitTestAgreesWithTheByteOne) {
    static const std::string alphabet = "0123456789/:\x80\xFF ";
    std::mt19937 random(9);
    for (int i = 0; i < 100000; ++i) {
        std::uint64_t word = 0;
        bool digit[8];
        for (int k = 0; k < 8; ++k) {
            const unsigned char c = i % 3 == 0 ? '0' + random() % 10 : alphabet[random() % alphabet.size()];
            digit[k] = qmr::isDigit(c);
            word |= std::uint64_t{c} << (8 * k);
        }
        const std::uint64_t flags = qmr::nonDigitBytes(word);
        for (int k = 0; k < 8; ++k) {
            const bool flagged = (flags >> (8 * k + 7)) & 1;
            ASSERT_TRUE(digit[k] ? !flagged || (k > 0 && !digit[k - 1]) : flagged) << std::hex << word << " byte " << k;
        }
        ASSERT_EQ(flags & ~0x8080808080808080ULL, 0u);
    }
}

}  // namespace
