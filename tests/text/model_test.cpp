// The string built-ins against the plain models of support/text_model.h:
// the text fuzz target's checks run over seeded random inputs (every set,
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

// Every double-byte character: only the set's 26 small letters change.
TEST(TextModels, UpperCaseEveryDoubleByteCharacter) {
    for (const qmr_model::Charset& cs : qmr_model::kCharsets) {
        const UseCharset use(cs.name);
        const std::string open = cs.shiftOut ? std::string(1, char(cs.shiftOut)) : "", close = open.empty() ? "" : "\x0f";
        int changed = 0;
        for (unsigned code = 0x0101; code <= 0xFFFF; ++code) {
            std::string text = open + pair(code) + close;
            if (text.find('\0') != std::string::npos) continue;
            const std::string expected = qmr_model::upper(cs, text);
            const auto characters = qmr_model::chars(cs, text, qmr_model::kindOf(cs));
            qmr::VKUPPR(nullptr, nullptr, text.data());
            ASSERT_EQ(text, expected) << cs.name << " " << std::hex << code;
            changed += text != open + pair(code) + close && characters[open.size()].length == 2;
        }
        EXPECT_EQ(changed, cs.letters.empty() ? 0 : 26) << cs.name;
    }
}

// Sets of more than 64 distinct characters find every member (mended: the
// characters past the 64th were searched byte-wise).
TEST(TextModels, LargeSetsFindEveryMember) {
    for (const auto& [charset, width, first] : {std::tuple{"single", 1, 0x21u}, std::tuple{"gbk", 2, 0xB0A1u},
                                                std::tuple{"sosi", 2, 0x3021u}, std::tuple{"tis620", 1, 0xA1u}}) {
        const UseCharset use(charset);
        const std::string open = charset == std::string("sosi") ? "\x0e" : "";
        std::string set;
        for (unsigned code = first; code < first + 70; ++code) set += width == 2 ? pair(code) : std::string(1, char(code));
        const std::string tail = open + set.substr(set.size() - 6u * width);
        for (const std::string& text : {tail, tail + "~~"}) {
            TestContext ctx;
            qmr_test::Field t(512, text), members(512, open + set);
            qmr_int16 position = 99;
            QMRFVRDB(nullptr, nullptr, ctx.get(), t.get(), members.get(), &position);
            const auto& cs = *std::find_if(qmr_model::kCharsets.begin(), qmr_model::kCharsets.end(),
                                           [&](const qmr_model::Charset& c) { return c.name == std::string(charset); });
            EXPECT_EQ(position, qmr_model::verify(cs, text, open + set, true)) << charset;
            EXPECT_EQ(position == 0, text == tail) << charset;
        }
    }
}

}  // namespace
