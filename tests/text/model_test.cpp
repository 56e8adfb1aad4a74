// The string built-ins against the plain models of support/text_model.h:
// the text fuzz target's checks over seeded random inputs (every set,
// every function, texts of pieces that favour shift codes, lead bytes and
// blanks).  Texts of up to 4032 bytes make sets of hundreds of distinct
// characters and meet every full-width letter.
#include <gtest/gtest.h>

#include <random>

#include "../../fuzz/fuzz_text.cpp"
#include "support/emulation.h"

namespace {

TEST(TextModels, AgreeWithTheBuiltInsOnRandomCalls) {
    std::mt19937 random(20261206);
    for (int round = 0; round < (qmr_test::kEmulated ? 10000 : 100000); ++round) {
        std::uint8_t input[600];
        for (std::uint8_t& b : input) b = static_cast<std::uint8_t>(random());
        input[2] |= 1;  // the first text is made of pieces
        LLVMFuzzerTestOneInput(input, 8 + random() % (sizeof input - 8));
    }
    qmr_use_charset("single");
}

}  // namespace
