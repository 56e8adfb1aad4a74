// Qmstrcmp and Qmstrcpy through qmr.h; Qmstrcmp is an ordering.
#include "text/text_test.h"

namespace {

using namespace qmr_test;

TEST(Compare, TrailingBlanksOfEitherWidthDoNotMatter) {
    const struct { const char* charset; std::string_view a, b; int expected; } rows[] = {
        {"single", "\x80", "\x7f", 1}, {"sjis", "abc\x81\x40", "abc", 0},
        {"sjis", "abc\x81\x40", "abc  ", 0},  // mixed widths: mended
        {"sjis", "abc\x81\x40x", "abc  x", 1}, {"sjis", "a\x82\x60\x81\x40", "a\x82\x60 ", 0},
        {"sosi", "ab" SO "\x21\x21" SI, "ab ", 0},  // mixed widths: mended
        {"sosi", "ab" SO "\x21\x21" SI "  ", "ab", 0},
        {"sosi", "a" SO "\x30\x30" SI, "ab", 1},  // the shift-out's code is above any byte
        {"sosi", "a" SO "\x30\x30" SI, "a" SO "\x30\x31" SI, -1},
        {"sosi", "a" SO "\x30", "a" SO "\x30", 0},  // a byte before the NUL stands alone
        {"sosi", "a" SO "\x30", "a" SO "\x30\x30", -1}, {"sosi", "a" SO "\x21\x21x", "a", 1},
        // a text that goes on with blanks only orders as if it had ended
        // there, also against one that goes on with a byte below the blank
        // (found by fuzzing)
        {"single", "ab ", "ab\t", -1},  // was 1: the blank's byte is above the tab's
        {"single", "ab c", "ab\tc", 1},  // neither has ended: the bytes decide
        {"sjis", "ab\x81\x40", "abc", -1},  // was 1: the blank's lead byte is above 'c'
        {"sosi", "ab" SO "\x21\x21" SI, "ab\x01", -1},  // was 1: the shift-out's code is above 1
        // 0xA1 takes 0xA1 as its trail but not the blank: the blank ended
        // text orders first both ways round (was -1 both ways)
        {"gbk", "\xA1\xA1", "\xA1 \x08", -1},
    };
    for (const auto& r : rows) {
        const UseCharset use(r.charset);
        Buffer a(r.a), b(r.b);
        EXPECT_EQ(Qmstrcmp(a.get(), b.get()), r.expected) << &r - rows;
        EXPECT_EQ(Qmstrcmp(b.get(), a.get()), -r.expected) << &r - rows;
    }
    Buffer a("x");
    EXPECT_EQ(Qmstrcmp(nullptr, nullptr), 0);
    EXPECT_EQ(Qmstrcmp(nullptr, a.get()), -1);
    EXPECT_EQ(Qmstrcmp(a.get(), nullptr), 1);
    EXPECT_EQ(Qmstrcmp(a.get(), a.get()), 0);
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

TEST(BoundedCopy, CutsAtCharactersAndFillsWithBlanks) {
    const struct {
        const char* charset;
        const char* source;
        qmr_int16 size;
        std::string_view target;
    } rows[] = {
        {"single", "abc", 6, "abc  \0"sv}, {"single", nullptr, 6, "     \0"sv}, {"single", "abcdef", 4, "abc\0"sv},
        {"single", "abc", 1, "\0"sv},
        {"sjis", "ab\x82\x60", 4, "ab \0"sv},  // the split character is left out
        {"sjis", "ab\x82\x60", 5, "ab\x82\x60\0"sv},
        {"sosi", "a" SO "\x21\x21\x21\x22" SI, 6, "a" SO "\x21\x21" SI "\0"sv},
        {"sosi", "a" SO "\x21\x21\x21\x22\x21\x23" SI, 7, "a" SO "\x21\x21" SI " \0"sv},  // one less
        {"sosi", "a" SO "\x21\x21\x21\x22\x21\x23" SI, 8, "a" SO "\x21\x21\x21\x22" SI "\0"sv},
        {"sosi", "ab" SO "\x21\x21", 4, "ab \0"sv},  // a shift-out that ends the room
        {"sosi", "a" SO "\x21\x21\x21\x22", 5, "a   \0"sv},  // a run cut to nothing
        {"sosi", "a" SO "\x21\x21", 9, "a" SO "\x21\x21    \0"sv},  // not cut: copied as it is
    };
    for (const auto& r : rows) {
        const UseCharset use(r.charset);
        Buffer target("", static_cast<std::size_t>(r.size));
        EXPECT_EQ(Qmstrcpy(target.get(), r.source, r.size), target.get());
        EXPECT_EQ(target.bytes(), r.target) << &r - rows;
    }
    EXPECT_EQ(Qmstrcpy(nullptr, "abc", 4), nullptr);
}

}  // namespace
