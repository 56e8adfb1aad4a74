// QMRFLTR and QMRSORT against the rules (tests/support/list_models.h):
// random expressions and keys over every field type in groups of one to
// several blocks; the messages; groups they cannot read; every allocation
// failing.  Then QMRGSEL and QMRSSEL: their whole truth table.
#include <gtest/gtest.h>

#include "support/list_models.h"

namespace {

using namespace qmr_test;

const std::vector<std::int32_t> kEveryType = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 12: an unknown code

std::string message(ListFunction function, GroupDescriptor* group, const char* text) {
    TestContext context;
    function(nullptr, nullptr, context.get(), group, text);
    return context.error();
}

// Literals of the type codes 1 to 7 (8 and 9 take those of 4), in every
// form the rules read, some beyond their type's range.
const std::vector<std::string> kLiterals[] = {
    {"-1", "0", "+1", "2", "32767", "-32768", "99999", "65537"},
    {"-1", "0", "1", "2x", "70", "2147483647", "-2147483648", "9999999999"},
    {"-1.5", "0", "-0", "2.5e0", ".25E1", "nan", "inf", "-INF", "1e400", "1e-400", ".5e400"},
    {"\"\"", "\"A\"", "\"AB \"", "\"B\"\"\"", "\"A B\"", "\"\xFF\"", "\"  \"", "\"A\"\"B  \""},
    {"2026-01-01", "2026/01-02", "2026-01/03", "0000-00-00"}, {"12:00:00", "12.00.01", "12:00.02", "00.00.00"},
    {"11111111111111111110", "11111111111111111112", "01111111111111111111"},
};

// One to three terms joined by connectives written with and without
// blanks; field n has type code n.  One term, at a random place, is a
// group nested down to depth `deepest`; the others are comparisons, or
// now and then a shallow group.
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
        const auto& literals = kLiterals[type >= 8 ? 3 : type - 1];
        text += std::to_string(type) + (random() % 2 ? " " : "") + kOperators[random() % 6] + " " +
                literals[random() % literals.size()];
    }
    return text;
}

TEST(FilterRandom, EveryExpressionGivesTheFlagsOfTheRules) {
    std::mt19937 random(17);
    // Three compositions that once hid occurrences that pass; one where
    // hiding an occurrence changes a long value of a later one.
    std::string nested = "4 = \"A\"", closing;
    for (int level = 0; level < 12; ++level) nested += " OR (2 = " + std::to_string(level), closing += ')';
    const std::vector<std::string> once = {"1 = 2 or 4 <= \"AB\"", "2 > 0 AND 4 < \"M\"", nested + closing, "2 < 70"};
    // The flags in a field of their own, in a compared text field, and in
    // a long field, where hiding one occurrence may change another's value.
    for (std::uint32_t count : {1u, 1023u, 1024u, 1025u, 5000u}) {
        for (std::uint32_t selection : {12u, 3u, 1u}) {
            ListGroup g(count, kEveryType, selection, random);
            std::vector<std::string> texts = once;
            for (int round = 0; round < 20; ++round) texts.push_back(expression(random, 0, round % 2 ? round % 5 : 20));
            for (const std::string& e : texts) {
                EXPECT_EQ(checkListCall(QMRFLTR, g, e), "") << count << ": " << e;
            }
        }
    }
}

// The messages of the expression and key texts, read off the text alone:
// unbalanced parentheses before every other refusal of an expression, the
// first faulty key pair's.  Field 9's column is null: refused once the
// text is read; type 10 columns are never read.
TEST(ListMessages, ReportEachFaultTheFirstOrUnbalancedParenthesesFirst) {
    using Cases = std::vector<std::pair<const char*, const char*>>;  // the text, its message
    const std::pair<ListFunction, Cases> tables[] = {{QMRFLTR, {
        {"  ", " 154"}, {")", " 154"}, {"1 = 5) AND (2 = 6", ""}, {"1 = 5 )", " 155"}, {"(1 = 5", " 155"},
        {"(1 =", " 155"}, {"3 < )", " 155"}, {"0 = 5", " 154"}, {"13 = 5", " 154"}, {"2x = 5", ""}, {"1", " 154"},
        {"= 5", " 154"}, {"1=5AND2=6", ""}, {"1 = 5 And 2 = 6", " 154"}, {"1 = 5 AND", " 154"}, {"1 = 5 X", " 154"},
        {"2 =< 5", " 154"}, {"1 = AND 2 = 6", " 154"}, {"5 = 2001-1-31", " 154"}, {"6 = 08-30-00", " 154"},
        {"4 = AB", " 154"}, {"4 = \"A\"\"", " 154"}, {"7 = 1234567890123456789", " 154"}, {"11 = 5", " 154"},
        {"3 = 0x10", " 154"}, {"3 = +-5", " 154"}, {"3 < OR 1 = 5", ""}, {"9 = \"A\" X", " 154"}, {"9 = \"A\"", " 153"}}},
        {QMRSORT, {{"  1   D  2 d ", ""}, {"+2 A", ""}, {"     ", " 153"}, {"1", " 154"}, {"1 AA", " 154"}, {"1 X", " 154"},
        {"1 A 2 ", " 154"}, {"0 A", " 155"}, {"X A", " 155"}, {"13 A", " 155"}, {"99999999999 A", " 155"},
        {"1 A 0 X", " 155"}, {"1 X 0 A", " 154"}, {"9 X", " 154"}, {"9 A", " 153"}, {"10 A 1 D", ""}}}};
    std::mt19937 random(3);
    ListGroup g(3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 11, random);
    g.fields[8].data = nullptr;
    for (const auto& [function, cases] : tables) {
        for (const auto& [text, expected] : cases) {
            EXPECT_EQ(message(function, &g.group, text), expected) << text;
            EXPECT_EQ(checkListCall(function, g, text), "") << text;
        }
    }
}

// The host's ordering of 20-byte values: by the last byte, descending.
unsigned char lastByte(const void* value) { return static_cast<const unsigned char*>(value)[19]; }
int QMR_CALL lastByteLess(const void* a, const void* b) { return lastByte(a) > lastByte(b); }
int QMR_CALL lastByteEqual(const void* a, const void* b) { return lastByte(a) == lastByte(b); }

TEST(SortRandom, EveryKeyTypeInGroupsOfManyBlocks) {
    std::mt19937 random(11);
    for (std::uint32_t count : {1u, 2u, 17u, 1025u, 3000u}) {
        ListGroup g(count, kEveryType, static_cast<std::uint32_t>(random() % 13), random);
        for (int round = 0; round < 12; ++round) {
            auto& order = hostValue20;  // every third round, the host's ordering
            order = round % 3 == 0 ? Value20Order{lastByteLess, lastByteEqual} : Value20Order{};
            ASSERT_EQ(qmr_set_value20_order(order.first, order.second), 0);
            std::string keys;
            for (std::uint32_t k = 0, n = 1 + random() % 4; k < n; ++k) {
                keys += std::to_string(1 + random() % g.group.fieldCount) + " " + "AaDd"[random() % 4] + " ";
            }
            EXPECT_EQ(checkListCall(QMRSORT, g, keys), "") << count << ": " << keys;
        }
    }
    qmr_set_value20_order(nullptr, nullptr);
}

// " 153" for a group that cannot be read, once the text is read; with no
// occurrences nothing at all is read (null columns: ListMessages).
TEST(ListGroups, RefusedWhenTheyCannotBeRead) {
    EXPECT_EQ(message(QMRFLTR, nullptr, "1 = 1") + message(QMRSORT, nullptr, "1 A"), " 153 153");
    std::mt19937 random(2);
    ListGroup g(2, {QMR_FIELD_LONG}, 1, random);
    EXPECT_EQ(message(QMRFLTR, &g.group, nullptr) + message(QMRSORT, &g.group, nullptr), " 154 153");
    g.group.selectionField = 2;
    EXPECT_EQ(message(QMRFLTR, &g.group, "1 = 1"), " 153");
    g.fields[g.group.selectionField = 1].elementSize = 0;
    EXPECT_EQ(message(QMRFLTR, &g.group, "1 = 1"), " 153");
    g.group.fields = nullptr;
    EXPECT_EQ(message(QMRFLTR, &g.group, "1 = 1") + message(QMRSORT, &g.group, "1 A"), " 153 153");
    g.group.occurrenceCount = 0;
    EXPECT_EQ(message(QMRFLTR, &g.group, "garbage (") + message(QMRSORT, &g.group, nullptr), "");
}

// Failing the k-th allocation, for every k the call makes: " 153" and
// every array unchanged (also inside the filter's unclosed parentheses,
// with enough comparisons to enlarge the parser's stack).
TEST(ListStorage, EveryAllocationFailureLeavesTheGroupUnchanged) {
    std::string expression = "(1 = 1", closing(41, ')');
    for (int i = 1; i < 80; ++i) expression += (i % 2 ? " OR (2 = " : " OR 2 = ") + std::to_string(i % 3 - 1);
    std::mt19937 random(5);
    ListGroup g(3000, kEveryType, 12, random);
    const std::pair<ListFunction, std::string> calls[] = {{QMRFLTR, expression + closing}, {QMRSORT, "4 D 2 A 7 a"}};
    for (const auto& [function, text] : calls) {
        for (long k = 1, made = 0; made >= k - 1; ++k) {  // until a call makes fewer than k allocations
            EXPECT_EQ(checkListCall(function, g, text, k, &made), "") << text << ": " << k;
        }
    }
}

constexpr char kFlags[] = " *H-+<>A";  // the flags the table names

// Per request 0 to 8, for each flag of kFlags: QMRGSEL's answer and what
// QMRSSEL makes of the flag.  Requests outside 1 to 7 do nothing.
const char* const kRequests[][2] = {
    {"00000000", " *H-+<>A"},
    /* 1 shown */ {"11011111", " * -+<>A"},
    /* 2 hidden */ {"00100000", "HHHHHHHH"},
    /* 3 first mark */ {"00011000", "-+H-+---"},
    /* 4 no first mark */ {"11100111", " *H *<>A"},
    /* 5 selected */ {"01001011", "**H++>>*"},
    /* 6 not selected */ {"10110101", "  H--<<A"},
    /* 7 second mark */ {"00000110", "<>H<<<><"},
    {"00000000", " *H-+<>A"},
};

TEST(Selection, EveryRequestOnEveryFlagByte) {
    TestContext context;
    const std::string before = context.text(0, TestContext::kSize);
    for (unsigned request : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 0xFFFFFFFFu}) {
        const auto& [holds, becomes] = kRequests[request <= 8 ? request : 0];
        for (int byte = 0; byte < 256; ++byte) {
            const char flag = static_cast<char>(byte);
            // A byte the table does not name behaves as the blank flag.
            const std::size_t at = std::string(kFlags).find(flag), as = at == std::string::npos ? 0 : at;
            const char expected = at == std::string::npos && becomes[0] == ' ' ? flag : becomes[as];
            EXPECT_EQ(QMRGSEL(nullptr, nullptr, context.get(), static_cast<signed char>(flag), request), holds[as] - '0')
                << "request " << request << " flag " << byte;
            char changed = flag;
            QMRSSEL(nullptr, nullptr, context.get(), &changed, request);
            EXPECT_EQ(changed, expected) << "request " << request << " flag " << byte;
        }
    }
    EXPECT_EQ(context.text(0, TestContext::kSize), before) << "the call context is left alone";
    QMRSSEL(nullptr, nullptr, context.get(), nullptr, 2);  // a null flag is ignored
}

}  // namespace
