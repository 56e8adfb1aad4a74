// Trimming, upper-casing, padding and justification through qmr.h.
#include <span>
#include <tuple>

#include "text/text_test.h"

namespace {

using namespace qmr_test;

struct CopyRow {
    const char* charset;
    std::string_view source;
    std::int32_t sourceMax, resultMax;
    std::string_view result;  // the whole result field
    std::int32_t length;
    const char* error;
};

void runCopyRows(std::span<const CopyRow> rows,
                 void(QMR_CALL* f)(void*, void*, CallContext*, const TextField*, TextField*), const char* name) {
    for (const CopyRow& r : rows) {
        const UseCharset use(r.charset);
        TestContext ctx;
        Field source(r.sourceMax, r.source), out(r.resultMax, "");
        f(nullptr, nullptr, ctx.get(), source.get(), out.get());
        const auto row = &r - rows.data();
        EXPECT_EQ(out.bytes(), r.result) << row;
        EXPECT_EQ(out.length(), r.length) << row;
        EXPECT_EQ(ctx.error(), r.error) << row;
        EXPECT_EQ(ctx.name(), name) << row;
    }
}

const CopyRow kTrim[] = {
    {"single", "    ", 4, 5, "\0   ~"sv, 0, ""}, {"single", "ab", 4, 2, "ab", 2, ""},
    {"single", "abc", 4, 2, "\0~"sv, 0, " 130"},  // longer than the result
    {"single", "abc", 2, 4, "\0~~~"sv, 0, " 130"},  // longer than its own field
    {"single", "", 4, 0, "", 0, " 130"}, {"sosi", "a" SO "\x23\x41" SI "  ", 7, 7, "a" SO "\x23\x41" SI "\0 "sv, 5, ""},
    {"sosi", "a" SO "\x23\x41\x21\x21" SI, 7, 7, "a" SO "\x23\x41" SI "\0" SI ""sv, 5, ""},
    {"sosi", "a" SO "\x23\x41", 4, 5, "a" SO "\x23\x41" SI, 5, ""},
    {"sosi", "a" SO "\x23\x41\x23\x42", 6, 6, "a" SO "\x23\x41\x23\x42", 6, ""},  // no room: kept unclosed
    {"sosi", "a " SO "\x21\x21" SI, 6, 6, "a\0" SO "\x21\x21" SI ""sv, 1, ""},
    {"sjis", "\x82\x60\x81\x40 ", 5, 5, "\x82\x60\0\x40 "sv, 2, ""},
    {"sjis", "a\x82", 2, 2, "a\x82", 2, ""},  // a lone lead byte at the end is kept
};

TEST(Trim, DropsTrailingBlanksOfEitherWidth) {
    runCopyRows(kTrim, QMRFTRIM, "QMRFTRIM");
    runCopyRows(std::span(kTrim, 2), QMRFTRDB, "QMRFTRDB");
}

TEST(Trim, ResultMayBeTheSource) {
    TestContext ctx;
    Field f(6, "ab  ");
    QMRFTRIM(nullptr, nullptr, ctx.get(), f.get(), f.get());
    EXPECT_EQ(f.bytes(), "ab\0 ~~"s);
}

const CopyRow kUpper[] = {
    {"single", "abc", 3, 10, "ABC       ", 3, ""},
    {"single", "a\0b"sv, 3, 4, "A   ", 1, ""},  // up to the first NUL
    {"single", "xyz", 3, 3, "XYZ", 3, ""},  // fills the field: no terminator past it
    {"single", "xyz", 3, 2, "\0~"sv, 0, " 130"}, {"sjis", "\x82\x81" "a\x83\x61", 5, 6, "\x82\x60" "A\x83\x61 ", 5, ""},
    {"sosi", "a" SO "\x23\x61\x30\x61" SI "b", 8, 8, "A" SO "\x23\x41\x30\x61" SI "B", 8, ""},
};

TEST(Upper, UpperCasesIntoABlankFilledResult) {
    runCopyRows(kUpper, QMRFUPPR, "QMRFUPPR");
    runCopyRows(std::span(kUpper, 2), QMRFUPDB, "QMRFUPDB");
}

std::string le16(int n) {
    return {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF)};
}

TEST(BufferTrim, TrimsByLengthFieldOrNul) {
    const struct {
        const char* charset;
        std::string_view text;
        int count;  // -1: no length field, the text ends at its NUL
        int trimmed;
        std::string_view after;
    } rows[] = {
        {"single", "ab  ", 4, 2, "ab  "},
        {"single", "    ", 4, 1, "    "},  // one blank stays
        {"single", "ab  ", -1, 2, "ab\0 \0"sv},  // NUL at the trimmed length
        {"single", "", -1, 1, " \0"sv},  // empty: one blank
        {"single", "ab \0 x"sv, 6, 2, "ab \0 x"sv},  // stops at a NUL
        {"sjis", "a\x81\x40", 3, 1, "a\x81\x40"}, {"single", "xyz", 0, 1, " yz"},
    };
    for (const auto& r : rows) {
        const UseCharset use(r.charset);
        Buffer text(r.text, r.count < 0 ? std::max<std::size_t>(r.text.size() + 1, 2) : r.text.size());
        std::string field = le16(r.count);
        EXPECT_EQ(QMROTRIM(r.count < 0 ? nullptr : field.data(), text.get()), 0);
        EXPECT_EQ(text.bytes(), r.after) << &r - rows;
        EXPECT_EQ(field, le16(r.count < 0 ? -1 : r.trimmed)) << &r - rows;
    }
    std::string field = le16(4);
    qmr_int16 count = 4;
    const qmr_int16 lowFirst = 0, native = 1;
    Buffer blanks("    ", 4), text("ab  ", 4);
    QMRVTRIM(field.data(), blanks.get(), &lowFirst);
    QMRVTRIM(reinterpret_cast<char*>(&count), text.get(), &native);
    EXPECT_EQ(field + std::to_string(count), le16(0) + "2") << "no single-blank rule";
}

TEST(Pad, CopiesAndBlanksToTheTargetLength) {
    const std::string three = le16(3), six = le16(6), two = le16(2);
    Buffer target("", 6), small("", 2);
    EXPECT_EQ(QMROPAD(three.data(), "abc", six.data(), target.get()), 0);
    QMROPAD(three.data(), "xyz", two.data(), small.get());
    EXPECT_EQ(target.bytes() + small.bytes(), "abc   xy") << "a longer source is cut at the target's length";
    // Null arguments are ignored.
    Qmrrjust(nullptr);
    Qmrrjus2(nullptr, "abc", 4);
    Qmrrjus2(target.get(), "abc", 0);
    std::string field = le16(2);
    EXPECT_EQ(QMROTRIM(nullptr, nullptr) + QMRVTRIM(nullptr, "a", nullptr) + QMRVTRIM(field.data(), nullptr, nullptr), 0);
    EXPECT_EQ(field, le16(2));
    EXPECT_EQ(target.bytes(), "abc   ");
}

TEST(Justify, MovesTrailingBlanksToTheFront) {
    const struct { const char* charset; std::string_view text, justified; } rows[] = {
        {"single", "abcd  ", "  abcd"}, {"single", "  ", "  "}, {"single", "", ""}, {"sjis", "ab\x81\x40", "  ab"},
        {"sosi", "ab" SO "\x21\x21" SI, "ab" SO "\x21\x21" SI}};
    for (const auto& r : rows) {
        const UseCharset use(r.charset);
        Buffer text(r.text);
        Qmrrjust(text.get());
        EXPECT_EQ(text.bytes(), std::string(r.justified) + '\0') << r.text;
    }
    for (const auto& [text, width, expected] :
         {std::tuple{"abc", 6, "  abc\0"sv}, std::tuple{"abcdefg", 6, "cdefg\0"sv}, std::tuple{"abc", 1, "\0"sv}}) {
        Buffer target("", static_cast<std::size_t>(width));
        Qmrrjus2(target.get(), text, width);
        EXPECT_EQ(target.bytes(), expected);
    }
}

}  // namespace
