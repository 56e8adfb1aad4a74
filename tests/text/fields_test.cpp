// QMRFCCAT, QMRFLGTH, QMRFSSTR and QMRFSSDB through qmr.h.  Expected
// results are the whole result field: '~' marks a byte the call left
// alone, so NULs and blank fills show.
#include <tuple>

#include "text/text_test.h"

namespace {

using namespace qmr_test;

struct ConcatRow {
    const char* charset;
    std::string_view first, second;
    std::int32_t resultMax;
    std::string_view result;
    std::int32_t length;
    const char* error;
};
const ConcatRow kConcat[] = {
    {"single", "ab", "cd", 4, "abcd", 4, ""}, {"single", "ab", "cd", 6, "abcd\0~"sv, 4, ""},
    {"single", "ab", "cd", 3, "\0~~"sv, 0, " 135"}, {"single", "ab", "cd", 0, "", 0, " 130"},
    {"sosi", "a" SO "\x21\x21" SI, SO "\x21\x22" SI, 8, "a" SO "\x21\x21\x21\x22" SI "\0"sv, 7, ""},
    {"sosi", SI, SO "\x21\x22" SI, 5, SI SO "\x21\x22" SI, 5, ""},  // a 1-byte first text is never joined
    {"sosi", "a" SO "\x21\x21" SI, SO, 6, "a" SO "\x21\x21" SI SO, 6, ""},  // nor a 1-byte second text
    {"single", "a" SI, SO "b", 4, "a" SI SO "b", 4, ""},  // no shift codes in single-byte text
};

TEST(Concat, JoinsChecksAndMergesDoubleByteRuns) {
    for (const ConcatRow& r : kConcat) {
        const UseCharset use(r.charset);
        TestContext ctx;
        Field a(8, r.first), b(8, r.second), out(r.resultMax, "");
        QMRFCCAT(nullptr, nullptr, ctx.get(), a.get(), b.get(), out.get());
        EXPECT_EQ(out.bytes(), r.result) << &r - kConcat;
        EXPECT_EQ(out.length(), r.length) << &r - kConcat;
        EXPECT_EQ(ctx.error(), r.error) << &r - kConcat;
        EXPECT_EQ(ctx.name(), "QMRFCCAT") << &r - kConcat;
    }
    TestContext ctx;
    Field a(4, "ab"), bad(2, "abc");
    QMRFCCAT(nullptr, nullptr, ctx.get(), a.get(), bad.get(), a.get());
    EXPECT_EQ(ctx.error(), " 130") << "second text longer than its field";
    EXPECT_EQ(a.length(), 0);
}

TEST(Concat, ResultMayBeEitherSource) {
    TestContext ctx;
    Field a(8, "ab"), b(8, "cd");
    QMRFCCAT(nullptr, nullptr, ctx.get(), a.get(), b.get(), a.get());
    EXPECT_EQ(a.bytes().substr(0, 5), "abcd\0"s);
    QMRFCCAT(nullptr, nullptr, ctx.get(), a.get(), b.get(), b.get());
    EXPECT_EQ(b.bytes().substr(0, 7), "abcdcd\0"s);
    EXPECT_EQ(ctx.error(), "");
}

TEST(Length, GivesTheStoredLength) {
    for (const auto& [max, length, expected, error] : {std::tuple{10, 3, 3, ""}, std::tuple{0, 3, 0, " 130"},
                                                       std::tuple{4097, 3, 0, " 130"}, std::tuple{4, 9, 9, ""}}) {
        TestContext ctx;
        Field f(max, "", length);
        qmr_int32 result = 77;
        QMRFLGTH(nullptr, nullptr, ctx.get(), f.get(), &result);
        EXPECT_EQ(result, expected) << max << " " << length;
        EXPECT_EQ(ctx.error(), error);
    }
}

constexpr qmr_int16 N = INT16_MIN;  // not supplied

struct SubstringRow {
    const char* charset;
    bool db;  // QMRFSSDB
    std::string_view source;
    qmr_int16 start, length;
    std::int32_t resultMax;
    std::string_view result;
    const char* error;
};
// sosi text a SO XX YY SI b: offsets a 0, SO 1, XX 2-3, YY 4-5, SI 6, b 7.
#define MIXED "a" SO "\x21\x22\x23\x41" SI "b"
const SubstringRow kSubstring[] = {
    {"single", 0, "abcdef", 2, 3, 6, "bcd\0~~"sv, ""},
    {"single", 0, "abc", 5, N, 6, "\0~~~~~"sv, ""},  // beyond the text, within the field
    {"single", 0, "abc", 9, 1, 4, "    ", " 133"},  // beyond the field
    {"single", 0, "abc", 2, 9, 1, " ", " 135"},
    {"single", 0, "abc", 2, 0, 0, "", ""},  // no byte for a NUL, none written
    {"sosi", 0, MIXED, 5, 2, 6, SO "\x23\x41" SI "\0~"sv, ""},  // one character inside a run
    {"sosi", 0, MIXED, 4, 2, 6, SO "\x23\x41" SI "\0~"sv, ""},  // start inside XX: on to YY
    {"sosi", 0, MIXED, 3, 1, 6, SO "\x21\x22" SI "\0~"sv, ""},  // end inside XX: XX whole
    {"sosi", 0, MIXED, N, N, 8, MIXED, ""},  // shift codes in the range are kept
    {"sosi", 0, MIXED, 2, 5, 8, SO "\x21\x22\x23\x41" SI "\0~"sv, ""},  // from the SO
    {"sosi", 0, MIXED, 7, 2, 4, SO SI "b\0"sv, ""},  // from the SI
    {"sosi", 0, MIXED, 5, 0, 4, "\0~~~"sv, ""},  // nothing taken, no shift codes
    {"sosi", 0, MIXED, 3, 2, 3, "   ", " 135"},  // SO XX SI needs 4 bytes
    {"sosi", 1, "\x21\x22\x23\x41", 3, 2, 3, "\x23\x41\0"sv, ""},
    {"sosi", 1, "\x21\x22" SI "b", 3, 2, 3, SI "b\0"sv, ""},
    {"sjis", 0, "a\x82\xa0" "b", 2, 1, 3, "\0~~"sv, ""},  // end splits the character: left out
    {"sjis", 0, "a\x82\xa0" "b", 2, 2, 3, "\x82\xa0\0"sv, ""},
    {"sjis", 0, "a\x82\xa0" "b", 3, 2, 3, "b\0~"sv, ""},  // start inside it: on to b
    {"sjis", 0, "a\x82", 2, 3, 3, "\x82\0~"sv, ""},  // a lone lead byte at the end
    {"tis620", 0, "\xa1\xd4\xe8\xa2", 2, 3, 5, "\xa1\xd4\xe8\xa2\0"sv, ""},  // back to the base
    {"tis620", 0, "\xa1\xd4\xe8\xa2", 1, 2, 5, "\0~~~~"sv, ""},
    {"tis620", 0, "\xa1\xd4\xe8\xa2", 4, N, 5, "\xa2\0~~~"sv, ""},
};

TEST(Substring, WalksEachKindOfText) {
    for (const SubstringRow& r : kSubstring) {
        const UseCharset use(r.charset);
        TestContext ctx;
        Field source(8, r.source), out(r.resultMax, "");
        OptionalNumber start{r.start == N ? 'N' : ' ', 0, r.start == N ? qmr_int16(9) : r.start};
        OptionalNumber length{r.length == N ? 'N' : ' ', 0, r.length == N ? qmr_int16(9) : r.length};
        (r.db ? QMRFSSDB : QMRFSSTR)(nullptr, nullptr, ctx.get(), source.get(), &start, &length, out.get());
        EXPECT_EQ(out.bytes(), r.result) << &r - kSubstring;
        EXPECT_EQ(ctx.error(), r.error) << &r - kSubstring;
        EXPECT_EQ(ctx.name(), r.db ? "QMRFSSDB" : "QMRFSSTR") << &r - kSubstring;
    }
}

// A source outside its range is refused before the start is looked at.
TEST(Substring, RefusesASourceOutsideItsRange) {
    for (const auto& [maximum, length] : {std::pair{0, 0}, std::pair{4097, 2}, std::pair{4, 5}, std::pair{4, -1}}) {
        TestContext ctx;
        Field source(maximum, "abcd", length), out(3, "xyz");
        OptionalNumber start{' ', 0, 9}, count{'N', 0, 0};
        QMRFSSTR(nullptr, nullptr, ctx.get(), source.get(), &start, &count, out.get());
        EXPECT_EQ(ctx.error(), " 130") << maximum << ' ' << length;
        EXPECT_EQ(out.bytes(), "   ") << maximum << ' ' << length;
    }
}

TEST(Substring, WritesBackTheSettledArgumentsAndHonoursAnEarlierError) {
    TestContext ctx;
    Field source(8, "abcdef"), out(6, "xyz");
    OptionalNumber start{'N', 0, 0}, length{'N', 0, 0};
    QMRFSSTR(nullptr, nullptr, ctx.get(), source.get(), &start, &length, out.get());
    EXPECT_EQ(start.value * 100 + length.value, 106);
    start = {' ', 0, 8};  // beyond the text, within the field: a negative length
    QMRFSSTR(nullptr, nullptr, ctx.get(), source.get(), &start, &length, out.get());
    EXPECT_EQ(length.value, -1);
    EXPECT_EQ(ctx.error(), "");
    ctx.setByte(QMR_CC_ERROR_FLAG, 'Y');
    QMRFSSDB(nullptr, nullptr, ctx.get(), source.get(), &start, &length, out.get());
    EXPECT_EQ(out.bytes(), "      ") << "an error flag already set leaves a blank result";
}

}  // namespace
