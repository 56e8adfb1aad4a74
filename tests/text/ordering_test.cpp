// Qmstrcmp is an ordering: a text that goes on with blanks only orders
// as if it had ended there, so that "ab", "ab " and "ab" followed by a
// double-byte blank order alike against every other text, also against
// one that goes on with a byte below the blank (found by fuzzing).
#include "text/text_test.h"

namespace {

using namespace qmr_test;

TEST(CompareOrdering, TextsEndingInBlanksOrderAsTheirEnd) {
    const struct {
        const char* id;
        const char* charset;
        std::string_view a, b;
        int expected;
    } rows[] = {
        {"o1", "single", "ab", "ab\t", -1},
        {"o2", "single", "ab ", "ab\t", -1},  // was 1: the blank's byte is above the tab's
        {"o3", "single", " ", "\x08", -1},
        {"o4", "single", "ab  ", "ab \x01", -1},
        {"o5", "single", "ab c", "ab\tc", 1},  // neither has ended: the bytes decide
        {"o6", "sjis", "ab\x81\x40", "abc", -1},  // was 1: the blank's lead byte is above 'c'
        {"o7", "sjis", "ab\x81\x40", "ab\x01", -1},
        {"o8", "sosi", "ab" SO "\x21\x21" SI, "ab\x01", -1},
        {"o9", "sosi", "ab ", "ab" SO "\x30\x30" SI, -1},
        // 0xA1 takes 0xA1 as its trail but not the blank: the blank ended
        // text orders first both ways round (was -1 both ways).
        {"o10", "gbk", "\xA1\xA1", "\xA1 \x08", -1},
    };
    for (const auto& r : rows) {
        const UseCharset use(r.charset);
        Buffer a(r.a), b(r.b);
        EXPECT_EQ(Qmstrcmp(a.get(), b.get()), r.expected) << r.id;
        EXPECT_EQ(Qmstrcmp(b.get(), a.get()), -r.expected) << r.id;
    }
}

// Every triple of a small set of texts: equal texts order alike against
// the third, and the order is transitive.
TEST(CompareOrdering, IsTransitive) {
    for (const char* charset : {"single", "sjis", "sosi", "gbk"}) {
        const UseCharset use(charset);
        const std::string_view texts[] = {"", " ", "\t", "a", "a ", "a\t", "a\x81\x40", "a" SO "\x21\x21" SI,
                                          "a\x01", "ab", "a b", "\x81\x40", "a" SO "\x30\x30" SI, "\xA1\xA1", "\xA1 \x08"};
        const auto cmp = [](std::string_view x, std::string_view y) {
            Buffer a(x), b(y);
            return Qmstrcmp(a.get(), b.get());
        };
        for (std::string_view x : texts) {
            for (std::string_view y : texts) {
                for (std::string_view z : texts) {
                    const int xy = cmp(x, y), yz = cmp(y, z), xz = cmp(x, z);
                    if (xy <= 0 && yz <= 0) {
                        EXPECT_LE(xz, 0) << charset << ": '" << x << "' '" << y << "' '" << z << "'";
                    }
                    if (xy == 0) {
                        EXPECT_EQ(xz, yz) << charset << ": '" << x << "' '" << y << "' '" << z << "'";
                    }
                }
            }
        }
    }
}

}  // namespace
