// Decimal literals beyond the double range, with digits after the point:
// the point's zeros move the exponent down, later digits do not, and the
// sign of the whole exponent decides between infinity and zero.  And a
// sort that moves a column of 16-byte elements.
#include "lists/test_group.h"

namespace {

using qmr_test::TestGroup;

TEST(FilterLiterals, DecimalsBeyondTheRangeWithAFraction) {
    TestGroup g(3);
    g.addReals({-1.0, 0.0, 1e300});
    g.addSelection("   ");
    const struct {
        const char* expression;
        const char* flags;
    } cases[] = {
        {"1 < 0.0001e-400", " HH"},  // zero ('H': the occurrence fails)
        {"1 < 12.5e400", "   "},     // infinity
        {"1 > 0.000e999", "HH "},    // no significant digit: zero
        {"1 < 0.00012e308", "   "},  // 1.2e304, in range
        {"1 = 000.5e-999", "H H"},   // zero
    };
    for (const auto& c : cases) {
        g.setFlags("   ");
        EXPECT_EQ(qmr_test::callList(QMRFLTR, "QMRFLTR ", g, c.expression), "") << c.expression;
        EXPECT_EQ(g.flags(), c.flags) << c.expression;
    }
}

TEST(SortMoves, SixteenByteElementsMoveWhole) {
    TestGroup g(3);
    g.addLongs({3, 1, 2});
    g.addTexts(16, {"third occurrence", "first occurrence", "second occurrenc"});
    EXPECT_EQ(qmr_test::callList(QMRSORT, "QMRSORT ", g, "1 A"), "");
    const std::string column(g.column(2).begin(), g.column(2).end());
    EXPECT_EQ(column, "first occurrencesecond occurrencthird occurrence");
}

}  // namespace
