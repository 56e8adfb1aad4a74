// QMRFLTR against the rules (tests/support/filter_model.h): random
// expressions over every field type in groups of one to several
// evaluation blocks, then the messages and the groups it cannot read.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/filter_model.h"
#include "support/list_group.h"

namespace {

using qmr_test::ListGroup;

const std::vector<std::int32_t> kEveryType = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

std::string checkFilter(ListGroup& g, const std::string& expression) {
    return qmr_test::checkListCall(QMRFLTR, "QMRFLTR ", g, expression, qmr_test::modelFilter);
}

// Literals of the comparable type codes 1 to 7 (8 and 9 take those of 4),
// in every form the rules read, some beyond their type's range.
const std::vector<std::string> kLiterals[] = {
    {},
    {"-1", "0", "+1", "2", "32767", "-32768", "99999", "65537"},
    {"-1", "0", "1", "2x", "70", "2147483647", "-2147483648", "9999999999"},
    {"-1.5", "0", "-0", "2.5e0", ".25E1", "nan", "inf", "-INF", "1e400", "1e-400"},
    {"\"\"", "\"A\"", "\"AB \"", "\"B\"\"\"", "\"A B\"", "\"\x80\"", "\"  \"", "\"A\"\"B  \""},
    {"2026-01-01", "2026/01-02", "2026-01/03", "0000-00-00"},
    {"12:00:00", "12.00.01", "12:00.02", "00.00.00"},
    {"11111111111111111110", "11111111111111111112", "01111111111111111111"},
};

// One to three terms joined by connectives, written with and without
// blanks.  One term, at a random place, is a group nested down to depth
// `deepest`; the others are comparisons, or now and then a shallow group.
std::string expression(std::mt19937& random, int depth, int deepest) {
    static const char* const kConnectives[] = {" AND ", " and ", " OR ", " or ", "AND", "or"};
    static const char* const kOperators[] = {"=", "<>", "<", "<=", ">", ">="};
    std::string text;
    const std::uint32_t terms = 1 + random() % 3, deep = random() % terms;
    for (std::uint32_t k = 0; k < terms; ++k) {
        if (k > 0) text += kConnectives[random() % 6];
        if (depth < deepest && (k == deep || random() % 5 == 0)) {
            text += "(" + expression(random, depth + 1, k == deep ? deepest : depth + 1) + ")";
            continue;
        }
        const std::int32_t type = 1 + static_cast<std::int32_t>(random() % 9);
        const auto& literals = kLiterals[type >= 8 ? 4 : type];
        text += std::to_string(type) + (random() % 2 ? " " : "") + kOperators[random() % 6] + " " +
                literals[random() % literals.size()];
    }
    return text;
}

TEST(FilterRandom, EveryExpressionGivesTheFlagsOfTheRules) {
    std::mt19937 random(17);
    std::string nested = "4 = \"A\"";  // once hid the occurrences holding "A"
    for (int level = 0; level < 12; ++level) nested += " OR (2 = " + std::to_string(level);
    nested += std::string(12, ')');
    // The flags in a field of their own, in a compared text field, and in
    // a long field, where hiding one occurrence may change another's value.
    for (std::uint32_t count : {1u, 1023u, 1024u, 1025u, 5000u}) {
        for (std::uint32_t selection : {11u, 3u, 1u}) {
            ListGroup g(count, kEveryType, selection, random);
            for (const std::string& e : {std::string("1 = 2 or 4 <= \"AB\""), std::string("2 > 0 AND 4 < \"M\""), nested}) {
                EXPECT_EQ(checkFilter(g, e), "") << count << ": " << e;
            }
            for (int round = 0; round < 20; ++round) {
                const std::string e = expression(random, 0, round % 2 == 0 ? 20 : round % 5);
                EXPECT_EQ(checkFilter(g, e), "") << count << ": " << e;
            }
        }
    }
}

}  // namespace
