// The string built-ins against the plain models of support/text_model.h:
// the text fuzz target's checks over seeded random inputs (every set,
// every function, texts of pieces that favour shift codes, lead bytes and
// blanks), then what random texts seldom reach.
#include <gtest/gtest.h>

#include <random>

#include "../../fuzz/fuzz_text.cpp"
#include "platform/editsvc.h"
#include "support/emulation.h"
#include "text/text_test.h"

namespace {

using namespace qmr_test;

TEST(TextModels, AgreeWithTheBuiltInsOnRandomCalls) {
    std::mt19937 random(20261206);
    for (int round = 0; round < (kEmulated ? 10000 : 100000); ++round) {
        std::uint8_t input[600];
        for (std::uint8_t& b : input) b = static_cast<std::uint8_t>(random());
        input[2] |= 1;  // the first text is made of pieces
        LLVMFuzzerTestOneInput(input, 8 + random() % (sizeof input - 8));
    }
    qmr_use_charset("single");
}

// Every double-byte character, a run's in shift-code text: only the set's
// 26 small letters change.
TEST(TextModels, UpperCaseEveryDoubleByteCharacter) {
    for (const qmr_model::Charset& cs : qmr_model::kCharsets) {
        const UseCharset use(cs.name);
        const std::string open(cs.shiftOut != 0, cs.shiftOut);
        int letters = 0;
        for (unsigned code = 0x0101; code <= 0xFFFF; code += (code & 0xFF) == 0xFF ? 2 : 1) {  // no NUL
            const std::string text = open + pair(code);
            std::string upper = text;
            qmr::VKUPPR(nullptr, nullptr, upper.data());
            ASSERT_EQ(upper, qmr_model::upper(cs, text)) << cs.name << " " << code;
            letters += upper != text && qmr_model::chars(cs, text, qmr_model::kindOf(cs))[open.size()].length == 2;
        }
        EXPECT_EQ(letters, cs.letters.empty() ? 0 : 26) << cs.name;
    }
}

// A set of 70 distinct characters finds its last six (mended: members past
// the 64th were searched byte by byte).
TEST(TextModels, LargeSetsFindEveryMember) {
    const unsigned kFirst[] = {0x21, 0x3021, 0x8940, 0xB0A1, 0xB0A1, 0xA1};
    for (std::size_t i = 0; i < qmr_model::kCharsets.size(); ++i) {
        const qmr_model::Charset& cs = qmr_model::kCharsets[i];
        const UseCharset use(cs.name);
        const std::size_t width = kFirst[i] > 0xFF ? 2 : 1;
        std::string set(cs.shiftOut != 0, cs.shiftOut);
        for (unsigned code = kFirst[i]; code < kFirst[i] + 70; ++code) set += pair(code).substr(2 - width);
        const std::string tail = set.substr(0, cs.shiftOut != 0) + set.substr(set.size() - 6 * width);
        for (const std::string& text : {tail, tail + "~"}) {
            TestContext ctx;
            TestField t(512, text), members(512, set);
            qmr_int16 position = 99;
            QMRFVRDB(nullptr, nullptr, ctx.get(), t.get(), members.get(), &position);
            EXPECT_EQ(position, text == tail ? 0 : int(text.size())) << cs.name;
        }
    }
}

}  // namespace
