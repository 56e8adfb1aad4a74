// VKUPPR against golden tables made once with Python's codecs.
#include <algorithm>

#include "platform/editsvc.h"
#include "platform/mbtext.h"
#include "text/text_test.h"

namespace {

using namespace qmr_test;

struct Golden {
    const char* charset;
    std::uint16_t small[26];
    std::uint16_t capital[26];
    const char* text;
    const char* upper;
};
const Golden kGolden[] = {
#include "text/data/vkuppr_golden.inc"
};

std::string upper(std::string text) {
    qmr::VKUPPR(nullptr, nullptr, text.data());
    return text;
}

TEST(Vkuppr, UpperCasesMixedTextAsTheCodecsDo) {
    for (const Golden& g : kGolden) {
        const UseCharset use(g.charset);
        EXPECT_EQ(upper(g.text), g.upper) << g.charset;
    }
    EXPECT_EQ(upper("abz{`@\xe1\0x"s), "ABZ{`@\xe1\0x"s) << "up to the NUL";
}

// Every double-byte character other than the 26 small letters keeps both
// bytes, in particular trail bytes 'a'..'z'; the letters become capitals.
TEST(Vkuppr, ChangesNoOtherDoubleByteCharacter) {
    for (const Golden& g : kGolden) {
        const UseCharset use(g.charset);
        const bool shifted = g.charset == "sosi"sv;
        int changed = 0;
        for (unsigned code = 0x2121; code <= 0xFEFE; ++code) {
            const std::string bytes = pair(code);
            const bool character = shifted ? (code & 0xFF) - 0x21u <= 0x7E - 0x21 && code < 0x7F00
                                           : (code & 0xFF) != 0 && qmr::textServices().CharLength(bytes.data()) == 2;
            if (!character) continue;
            const std::string text = shifted ? SO + bytes + SI : bytes;
            const std::string result = upper(text);
            if (result == text) continue;
            ++changed;
            const auto* found = std::find(std::begin(g.small), std::end(g.small), code);
            ASSERT_NE(found, std::end(g.small)) << g.charset << std::hex << " " << code;
            const std::string capital = pair(g.capital[found - g.small]);
            EXPECT_EQ(result, shifted ? SO + capital + SI : capital);
        }
        EXPECT_EQ(changed, 26) << g.charset;
    }
}

}  // namespace
