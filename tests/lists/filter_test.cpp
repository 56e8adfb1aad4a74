// QMRFLTR: the messages of the expression parser, literal forms per type,
// the grouping of connectives (read from the occurrences hidden) and deep
// expressions (storage failures: sort_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "lists/filter_tree.h"
#include "lists/group.h"
#include "test_group.h"

namespace {

using qmr_test::TestContext;
using qmr_test::TestGroup;

std::string filter(TestGroup& group, const char* expression) {
    return qmr_test::callList(QMRFLTR, "QMRFLTR ", group, expression);
}

// Which occurrences keep their flag ('Y') after the expression.
std::string passes(TestGroup& g, const char* expression) {
    g.setFlags(std::string(g.count(), ' '));
    EXPECT_EQ(filter(g, expression), "") << expression;
    std::string out;
    for (char flag : g.flags()) out += flag == 'H' ? 'N' : 'Y';
    return out;
}

// One field of every type code (1 to 11), then the selection field (12).
std::unique_ptr<TestGroup> everyType() {
    auto g = std::make_unique<TestGroup>(4);
    g->addShorts({-1, 0, 5, -31073});
    g->addLongs({-5, 0, 100, 2147483647});
    g->addReals({-0.5, 0.0, 1500.0, std::nan("")});
    g->addTexts(6, {"AB", "AB   ", "A\"B", "   "});
    g->addLongs({20011231, 20010101, 19991231, 0}, QMR_FIELD_DATE);
    g->addLongs({83000, 235959, 0, 120000}, QMR_FIELD_TIME);
    g->addTexts(21, {"20261204134525000000", "20261204134525000001", "1", ""}, QMR_FIELD_TIMESTAMP);
    g->addTexts(4, {"ABCD", "ABC", "AB", "ABCE"}, QMR_FIELD_TEXT2);  // no NUL in a full element
    g->addTexts(3, {"a c", "a", "", "b"}, QMR_FIELD_TEXT3);
    g->addNoColumn();
    g->addValue20s({});
    g->addSelection("    ");
    return g;
}

TEST(FilterParser, ReportsEveryMessageWithUnbalancedParenthesesFirst) {
    const struct { const char* expression; const char* message; } cases[] = {
        {"1 = 5", ""}, {"", " 154"}, {")", " 154"},
        // Parentheses balance only at the end; a failure inside an unclosed group is 155.
        {"((1 = 5))", ""}, {"1 = 5) AND (2 = 6", ""}, {"1 = 5 )", " 155"}, {"(1 = 5", " 155"}, {"(", " 155"},
        // Field references, connectives, operators.
        {"0 = 5", " 154"}, {"13 = 5", " 154"}, {"2x = 5", ""}, {"1", " 154"}, {"= 5", " 154"}, {"1=5AND2=6", ""},
        {"1 = 5 And 2 = 6", " 154"}, {"1 = 5 AND", " 154"}, {"1 = 5 X", " 154"}, {"2 =< 5", " 154"},
        {"1 ! 5", " 154"}, {"1 =", " 154"},
        // Literals that cannot be read for their type.
        {"1 = )", " 154"}, {"1 = AND 2 = 6", " 154"}, {"5 = 2001-1-31", " 154"}, {"6 = 8:30:00", " 154"},
        {"6 = 08-30-00", " 154"}, {"4 = AB", " 154"}, {"4 = \"A\"\"", " 154"}, {"7 = 1234567890123456789", " 154"},
        {"7 = 1234567890123456789X", " 154"}, {"10 = 5", " 154"}, {"11 = 5", " 154"}, {"3 < abc", " 154"},
        {"3 = 1,5", " 154"},
        // A number that cannot be read is 0, and the text goes on from there.
        {"3 < OR 1 = 5", ""}, {"3 < )", " 155"},
    };
    const auto group = everyType();
    for (const auto& c : cases) {
        group->setFlags("    ");
        EXPECT_EQ(filter(*group, c.expression), c.message) << c.expression;
        if (*c.message != '\0') {
            EXPECT_EQ(group->flags(), "    ") << "a failure leaves the group unchanged";
        }
    }
}

// The stack of pushed nodes, from the bottom (c comparison, L logical, x
// neither), is one tree or refused.
TEST(FilterParser, TreeBuildingRefusesAStackThatIsNotOneTree) {
    const struct { const char* kinds; int result; } cases[] = {
        {"ccL", qmr::kListDone}, {"cLcccLL", qmr::kListDone}, {"cc", qmr::kListTree}, {"L", qmr::kListTree},
        {"cL", qmr::kListTree},  {"xcL", qmr::kListTree},     {"cx", qmr::kListTree}, {"", qmr::kListTree}};
    for (const auto& [kinds, result] : cases) {
        auto tree = std::make_unique<qmr::FilterTree>();
        ASSERT_TRUE(tree->nodes.obtain(std::strlen(kinds) + 1));
        for (const char* k = kinds; *k; ++k) {
            qmr::FilterNode node{};
            node.kind = *k == 'c' ? qmr::FilterNode::comparison
                        : *k == 'L' ? qmr::FilterNode::logical
                                    : qmr::FilterNode::Kind{7};
            node.connective = qmr::Connective::conjunction;
            tree->nodes[tree->count++] = node;
        }
        EXPECT_EQ(qmr::buildFilterTree(*tree), result) << kinds;
    }
}

// Each literal form, read from which occurrences pass (operators and
// text comparison: the random test below).
TEST(FilterLiterals, EveryTypeReadsItsForm) {
    const struct { const char* expression; const char* passes; } cases[] = {  // Y: the occurrence keeps its flag
        {"1 = +5", "NNYN"}, {"1 = 99999", "NNNY"}, {"1 < 0", "YNNY"}, {"2 = 9999999999", "NNNY"},
        {"2 >= 100", "NNYY"}, {"2 = 100xyz", "NNYN"},
        {"3 = 1.5e3", "NNYY"}, {"3 < 0", "YNNN"}, {"3 <> 0", "YNYN"}, {"3 <= -1e400", "NNNY"},
        {"3 > .5", "NNYN"}, {"3 = -0", "NYNY"},
        // beyond the double range: infinity or 0, as the C library gives them
        {"3 < 0.0001e-400", "YNNN"}, {"3 < 12.5e400", "YYYN"}, {"3 > 0.000e999", "NNYN"}, {"3 = 000.5e-999", "NYNY"},
        {"4 = \"A\"\"B\"", "NNYN"}, {"4 = \"A AND (B\" OR 1 = 0", "NYNN"},
        {"5 = 2001/12-31", "YNNN"}, {"5 = 2001-13-45", "NNNN"}, {"6 = 08.30.00", "YNNN"}, {"6 >= 12:00:00", "NYNY"},
        {"7 = 20261204134525000000", "YNNN"}, {"8 < \"ABCDE\"", "YYYN"}, {"9 = \"a c\"", "YNNN"},
    };
    const auto g = everyType();
    for (const auto& c : cases) EXPECT_EQ(passes(*g, c.expression), c.passes) << c.expression;
}

// Random texts with NULs and trailing blanks against every operator: texts
// compare without their trailing blanks, over the longer of the two, a
// text ending (at its NUL or its element's end) before any byte.
TEST(FilterLiterals, TextsCompareWithoutTrailingBlanksAndWithinTheirElements) {
    std::mt19937 random(3);
    const auto text = [&](std::size_t length, const char* alphabet) {
        std::string t;
        for (std::size_t k = 0; k < length; ++k) t += alphabet[random() % std::strlen(alphabet)];
        return t;
    };
    const auto trim = [](std::string t) {
        t = t.substr(0, t.find('\0'));
        return t.substr(0, t.find_last_not_of(' ') + 1);
    };
    constexpr std::uint32_t kRows = 200;
    std::vector<std::string> values;
    for (std::uint32_t i = 0; i < kRows; ++i) values.push_back(text(4, i % 2 ? "AB \x80" : "AB"));
    for (auto& v : values) v[random() % 5 % 4] = random() % 3 ? v[0] : '\0';  // a NUL, or none in the element
    TestGroup g(kRows);
    g.addTexts(4, values);
    g.addSelection("");
    const char* const ops[] = {"=", "<>", "<", "<=", ">", ">="};
    for (int round = 0; round < 200; ++round) {
        const std::string literal = text(random() % 6, "AB \x80");
        const int op = static_cast<int>(random() % 6);
        const std::string expression = "1 " + std::string(ops[op]) + " \"" + literal + "\"";
        std::string expected;
        for (const std::string& v : values) {
            const std::string a = trim(v), b = trim(literal);
            const int c = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                       [](char x, char y) { return uint8_t(x) < uint8_t(y); })
                              ? -1
                              : a == b ? 0 : 1;
            const bool holds[] = {c == 0, c != 0, c < 0, c <= 0, c > 0, c >= 0};
            expected += holds[op] ? 'Y' : 'N';
        }
        EXPECT_EQ(passes(g, expression.c_str()), expected) << expression;
    }
}

// The grouping of connectives, read from the occurrences hidden: from the
// left, except that a connective directly before "(" takes everything
// after it.  Random expressions of hundreds of comparisons, some in
// parentheses, against that rule.
struct Term {
    int field;
    std::int16_t value;
    bool conjunction;  // the connective before this term (not for the first)
    bool opensGroup;   // that connective stands directly before "("
};

bool meaning(const std::vector<Term>& terms, std::size_t from, const std::vector<std::int16_t>& row) {
    bool value = row[terms[from].field - 1] == terms[from].value;
    for (std::size_t k = from + 1; k < terms.size(); ++k) {
        const bool next = terms[k].opensGroup ? meaning(terms, k, row) : row[terms[k].field - 1] == terms[k].value;
        value = terms[k].conjunction ? value && next : value || next;
        if (terms[k].opensGroup) break;
    }
    return value;
}

TEST(FilterGrouping, DeepRandomExpressionsMatchTheGroupingRule) {
    std::mt19937 random(7);
    constexpr int kFields = 6;
    constexpr std::uint32_t kRows = 300;
    TestGroup g(kRows);
    std::vector<std::vector<std::int16_t>> rows(kRows, std::vector<std::int16_t>(kFields));
    for (int f = 0; f < kFields; ++f) {
        std::vector<std::int16_t> column;
        for (auto& row : rows) column.push_back(row[f] = static_cast<std::int16_t>(random() % 2));
        g.addShorts(column);
    }
    g.addSelection("");
    for (int round = 0; round < 40; ++round) {
        const std::size_t size = round < 5 ? 400 : 2 + random() % 300;
        std::vector<Term> terms;
        std::string text;
        int open = 0;
        for (std::size_t k = 0; k < size; ++k) {
            Term t{int(1 + random() % kFields), std::int16_t(random() % 2), random() % 2 == 0, false};
            if (k > 0) text += t.conjunction ? (random() % 2 ? " AND " : " and ") : (random() % 2 ? " OR " : "or");
            if (random() % 3 == 0 || (round < 5 && round % 2 == 0)) {
                t.opensGroup = k > 0;
                text += "(";
                ++open;
            }
            text += std::to_string(t.field) + (random() % 2 ? " = " : "=") + std::to_string(t.value);
            if (open > 0 && random() % 4 == 0) {
                text += ")";
                --open;
            }
            terms.push_back(t);
        }
        text += std::string(static_cast<std::size_t>(open), ')');
        std::string initial, expected;
        for (std::uint32_t i = 0; i < kRows; ++i) {
            initial += i % 10 == 0 ? 'H' : '*';
            expected += initial[i] == 'H' || !meaning(terms, 0, rows[i]) ? 'H' : '*';
        }
        g.setFlags(initial);
        ASSERT_EQ(filter(g, text.c_str()), "") << text;
        EXPECT_EQ(g.flags(), expected) << "round " << round << ": " << text;
    }
}

// Shown occurrences that fail are hidden, whatever their mark; 'H' stays,
// and only the first byte of each selection element is touched.
TEST(FilterFlags, HidesOnlyShownOccurrencesThatFail) {
    TestGroup g(6);
    g.addLongs({1, 2, 1, 2, 1, 2});
    g.addSelection("*H*-+x", 3);
    EXPECT_EQ(filter(g, "1 = 1"), "");
    EXPECT_EQ(g.flags(), "*H*H+H");
    EXPECT_EQ(std::string(g.column(2).begin(), g.column(2).end()), "*..H..*..H..+..H..");
}

// A group that cannot be read is 153; with no occurrences nothing is read.
TEST(FilterGroup, RefusesWhatItCannotReadAndIgnoresAnEmptyGroup) {
    TestContext context;
    QMRFLTR(nullptr, nullptr, context.get(), nullptr, "1 = 1");
    EXPECT_EQ(context.error(), " 153");

    TestGroup empty(0);
    empty.addLongs({});
    EXPECT_EQ(filter(empty, "garbage (") + filter(empty, nullptr), "");

    TestGroup g(2);
    g.addLongs({1, 2});
    g.addSelection("  ");
    EXPECT_EQ(filter(g, nullptr), " 154");
    GroupDescriptor broken = *g.descriptor();
    broken.selectionField = 2;
    QMRFLTR(nullptr, nullptr, context.get(), &broken, "1 = 1");
    EXPECT_EQ(context.error(), " 153");
    g.field(2).elementSize = 0;
    EXPECT_EQ(filter(g, "1 = 1"), " 153");
    g.field(2).elementSize = 1;
    g.field(1).data = nullptr;
    EXPECT_EQ(filter(g, "1 = 1"), " 153");
    EXPECT_EQ(filter(g, "1 = x x"), " 154") << "the expression is read first";
    EXPECT_EQ(g.flags(), "  ");
}

}  // namespace
