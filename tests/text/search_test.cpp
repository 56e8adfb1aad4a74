// QMRFINDX, QMRFINDB, QMRFVRFY and QMRFVRDB through qmr.h.
#include <span>
#include <tuple>

#include "text/text_test.h"

namespace {

using namespace qmr_test;

struct SearchRow {
    const char* charset;
    bool db;                       // QMRFINDB, QMRFVRDB
    std::string_view text, other;  // source and search text, or text and set
    int expected;
    const char* error;
};

template <typename Function>
void runRows(std::span<const SearchRow> rows, Function single, Function doubleByte, const char* name,
             const char* dbName) {
    for (const SearchRow& r : rows) {
        const UseCharset use(r.charset);
        TestContext ctx;
        Field text(8, r.text), other(8, r.other);
        qmr_int16 position = 99;
        (r.db ? doubleByte : single)(nullptr, nullptr, ctx.get(), text.get(), other.get(), &position);
        const auto row = &r - rows.data();
        EXPECT_EQ(position, r.expected) << row;
        EXPECT_EQ(ctx.error(), r.error) << row;
        if (*r.error == 0) {
            EXPECT_EQ(ctx.name(), r.db ? dbName : name) << row;
        }
    }
}

const SearchRow kIndex[] = {
    {"single", 0, "", "a", 0, " 130"}, {"single", 0, "a", "", 0, " 130"}, {"single", 1, "xxab", "ab", 3, ""},
    {"sjis", 0, "\x82" "aa", "a", 3, ""},  // never on a trail byte
    {"sosi", 0, "ab" SO "\x21\x21" SI, "b", 2, ""},  // QMRFINDX starts single-byte
    {"sosi", 1, "ab" SO "\x21\x21" SI, "b", 0, ""},  // QMRFINDB double-byte: "ab" is one character
    {"sosi", 1, SI "x" SO "\x21\x21\x23\x41", SO "\x23\x41" SI, 6, ""},
    {"sosi", 1, SO "CD" SI "AB", "AB", 0, ""},  // after SI nothing until the next SO
    {"sosi", 0, "abc", SI, 0, ""},  // nothing left of the search text
    {"sosi", 1, "\x21\x41\x42\x43", "\x41\x42", 0, ""},  // pairs only
};

TEST(Index, FindsOnlyAtCharacterStarts) {
    runRows(kIndex, QMRFINDX, QMRFINDB, "QMRFINDX", "QMRFINDB");
}

const SearchRow kVerify[] = {
    // single-byte text against reference code: differential_test.cpp
    {"sjis", 0, "\x82\x60\x82\x61", "\x82\x60", 3, ""}, {"sjis", 0, "\x82\x60  ", "\x82\x60", 0, ""},
    {"sjis", 0, "\x82\x60\x81\x40", "\x82\x60", 3, ""},  // a double-byte blank is no trailing blank
    {"sjis", 1, "", "\x81\x40", 0, ""}, {"sjis", 0, "", "\x81\x40", 1, ""},
    {"sosi", 0, "a" SO "\x21\x22" SI, "a" SO "\x21\x22" SI, 0, ""},
    {"sosi", 0, "a" SO "\x21\x22" SI, "a\x21\x22", 3, ""},  // not the same characters single-byte
    {"sosi", 1, "\x21\x22\x23\x24", "\x21\x22", 3, ""},
    {"sosi", 1, "", "\x21\x21", 0, ""},
    {"tis620", 0, "\xa1\xd4", "\xa1", 1, ""},  // the mark belongs to its base
    {"tis620", 0, "\xa1\xd4\xa2", "\xa2\xa1\xd4", 0, ""},
};

TEST(Verify, FindsTheFirstCharacterOutsideTheSet) {
    runRows(kVerify, QMRFVRFY, QMRFVRDB, "QMRFTRIM", "QMRFVRDB");
}

// Sets of more than 64 distinct characters, in every kind of text: the
// last six of 70 are members, '~' is not.
TEST(Verify, LargeSetsFindEveryMember) {
    for (const auto& [charset, width, first] :
         {std::tuple{"single", 1, 0x21u}, std::tuple{"gbk", 2, 0xB0A1u}, std::tuple{"sosi", 2, 0x3021u}}) {
        const UseCharset use(charset);
        const std::string open = charset == "sosi"sv ? SO : "", close = open.empty() ? "" : SI;
        std::string set;
        for (unsigned code = first; code < first + 70; ++code)
            set += width == 2 ? pair(code) : std::string(1, char(code));
        const std::string tail = set.substr(set.size() - 6 * width);
        for (const auto& [text, expected] : {std::pair{tail, 0}, std::pair{tail + "~~~", 6 * width + 1}}) {
            TestContext ctx;
            Field t(512, open + text + close), members(512, open + set + close);
            qmr_int16 position = 99;
            QMRFVRDB(nullptr, nullptr, ctx.get(), t.get(), members.get(), &position);
            EXPECT_EQ(position, expected == 0 ? 0 : expected + static_cast<int>(open.size())) << charset;
        }
    }
}

// The text is held to its maximum, and so is QMRFVRDB's set; QMRFVRFY's
// set goes to QMRFTRIM, which refuses it and leaves an empty set.
TEST(Verify, FieldChecks) {
    Field text(4, "ab"), longSet(2, "abc"), longText(2, "abc");
    qmr_int16 position = 99;
    TestContext trimmed;
    QMRFVRFY(nullptr, nullptr, trimmed.get(), text.get(), longSet.get(), &position);
    EXPECT_EQ(trimmed.error() + trimmed.name() + std::to_string(position), " 130QMRFTRIM1");
    const std::tuple<decltype(&QMRFVRFY), Field*, Field*, const char*> refused[] = {
        {QMRFVRFY, &longText, &text, "QMRFVRFY"}, {QMRFVRDB, &longText, &text, "QMRFVRDB"},
        {QMRFVRDB, &text, &longSet, "QMRFVRDB"}};
    for (const auto& [f, t, set, name] : refused) {
        TestContext ctx;
        f(nullptr, nullptr, ctx.get(), t->get(), set->get(), &position);
        EXPECT_EQ(ctx.error() + ctx.name() + std::to_string(position), " 130"s + name + "0");
    }
}

}  // namespace
