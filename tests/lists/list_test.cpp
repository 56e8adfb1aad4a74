// QMRFLTR and QMRSORT against the rules (tests/support/list_models.h):
// random expressions and keys, as written and mistyped, over every field
// type in groups of one to several blocks, with every allocation failing;
// the messages the rules name; a column they cannot read.  Then QMRGSEL and
// QMRSSEL: their whole truth table.
#include <gtest/gtest.h>

#include "support/list_models.h"

namespace {

using namespace qmr_test;

// Literals of the type codes 1 to 7 (8 and 9 take those of 4), in every
// form the rules read, some beyond their type's range.
const std::vector<std::string> kLiterals[] = {
    {"-1", "0", "+1", "2", "32767", "-32768", "99999", "65537"},
    {"-1", "0", "1", "2x", "70", "2147483647", "-2147483648", "9999999999"},
    {"-1.5", "0", "-0", "2.5e0", ".25E1", "nan", "inf", "-INF", "1e400", "1e-400", ".5e400"},
    {"\"\"", "\"A\"", "\"AB \"", "\"B\"\"\"", "\"A B\"", "\"\xFF\"", "\"  \"", "\"A\"\"B  \""},
    {"2026-01-01", "2026/01-02", "2026-01/03", "0000-00-00"},
    {"12:00:00", "12.00.01", "12:00.02", "00.00.00"},
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
        const std::uint32_t type = 1 + random() % 9;
        const auto& literals = kLiterals[type >= 8 ? 3 : type - 1];
        text += std::to_string(type) + (random() % 2 ? " " : "") + kOperators[random() % 6] + " " +
                literals[random() % literals.size()];
    }
    return text;
}

// The text as a host may mistype it: cut short, or with a stray character.
std::string mistyped(std::mt19937& random, std::string text) {
    const std::size_t at = random() % (text.size() + 1);
    if (random() % 3 == 0) return text.substr(0, at);
    return text.insert(at, 1, "()=<>\"AOdX 0-"[random() % 13]);
}

// The host's ordering of 20-byte values: by the last byte, descending.
unsigned char lastByte(const void* value) { return static_cast<const unsigned char*>(value)[19]; }
int QMR_CALL lastByteLess(const void* a, const void* b) { return lastByte(a) > lastByte(b); }
int QMR_CALL lastByteEqual(const void* a, const void* b) { return lastByte(a) == lastByte(b); }

// Every type code and 12, an unknown one; the flags in a field of their
// own, in a compared text field, and in a long field, where hiding one
// occurrence may change another's value.  The filter's texts begin with
// three compositions that once hid occurrences that pass and one where
// hiding an occurrence changes a long value of a later one; some texts
// and keys are mistyped.  The sort orders 20-byte values by the host's
// tests where the flags are in a text field.  On the group of 1025, every
// allocation of a filter that enlarges the parser's stack inside unclosed
// parentheses, and of a sort, fails in turn.
TEST(ListRandom, EveryTextGivesTheGroupOfTheRules) {
    std::mt19937 random(17);
    std::string nested = "4 = \"A\"", deep = "(1 = 1";
    for (int level = 0; level < 12; ++level) nested += " OR (2 = " + std::to_string(level);
    for (int i = 1; i < 80; ++i) deep += (i % 2 ? " OR (2 = " : " OR 2 = ") + std::to_string(i % 3);
    nested += std::string(12, ')');
    deep += std::string(41, ')');
    for (std::uint32_t count : {0u, 1u, 1023u, 1024u, 1025u, 5000u}) {
        for (std::uint32_t selection : {12u, 3u, 1u}) {
            ListGroup g(count, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, selection, random);
            std::vector<std::string> texts = {"1 = 2 or 4 <= \"AB\"", "2 > 0 AND 4 < \"M\"", nested, "2 < 70"};
            for (int round = 0; round < 20; ++round) {
                texts.push_back(expression(random, 0, round % 2 ? round % 5 : 20));
                texts.push_back(mistyped(random, texts.back()));
            }
            for (const std::string& e : texts) EXPECT_EQ(checkListCall(QMRFLTR, g, e), "") << e;
            // The host's ordering where the flags are in a text field (so
            // not after the last group, whose flags are in field 1).
            hostValue20 = selection == 3 ? Value20Order{lastByteLess, lastByteEqual} : Value20Order{};
            ASSERT_EQ(qmr_set_value20_order(hostValue20.first, hostValue20.second), 0);
            for (int round = 0; round < 8; ++round) {
                std::string keys;  // one to four keys on any field, now and then mistyped
                for (std::uint32_t k = 0, n = 1 + random() % 4; k < n; ++k) {
                    keys += std::to_string(1 + random() % g.group.fieldCount);
                    keys += std::string(" ") + "AaDd"[random() % 4] + " ";
                }
                if (round % 4 == 1) keys = mistyped(random, keys);
                EXPECT_EQ(checkListCall(QMRSORT, g, keys), "") << count << ": " << keys;
            }
            if (count != 1025 || selection != 12) continue;
            const std::pair<ListFunction, std::string> calls[] = {{QMRFLTR, deep}, {QMRSORT, "4 D 2 A 7 a"}};
            for (const auto& [function, text] : calls) {
                for (long k = 1, made = 0; made >= k - 1; ++k) {  // until a call makes fewer
                    EXPECT_EQ(checkListCall(function, g, text, k, &made), "") << text << ": " << k;
                }
            }
        }
    }
}

// The messages the rules name, read off the text alone: unbalanced
// parentheses before every other refusal of an expression, the first
// faulty key pair's.  Field 9's column is null: refused once the text is
// read; type 10 columns are never read.
TEST(ListMessages, ReportEachFaultTheFirstOrUnbalancedParenthesesFirst) {
    const std::pair<ListFunction, std::vector<std::pair<const char*, const char*>>> tables[] = {  // texts, messages
        {QMRFLTR,
         {{"  ", " 154"}, {"1 = 5) AND (2 = 6", ""}, {"(1 =", " 155"}, {"13 = 5", " 154"}, {"2x = 5", ""},
          {"1=5AND2=6", ""}, {"1 = 5 And 2 = 6", " 154"}, {"6 = 08-30-00", " 154"}, {"11 = 5", " 154"},
          {"3 = 0x10", " 154"}, {"3 = +-5", " 154"}, {"3 < OR 1 = 5", ""}, {"9 = \"A\" X", " 154"},
          {"9 = \"A\"", " 153"}}},
        {QMRSORT,
         {{"  1   D  2 d ", ""}, {"+2 A", ""}, {"     ", " 153"}, {"0 A", " 155"}, {"X A", " 155"}, {"13 A", " 155"},
          {"99999999999 A", " 155"}, {"1 A 0 X", " 155"}, {"1 X 0 A", " 154"}, {"9 X", " 154"}, {"9 A", " 153"}}}};
    std::mt19937 random(3);
    ListGroup g(3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 11, random);
    g.fields[8].data = nullptr;
    for (const auto& [function, cases] : tables) {
        for (const auto& [text, expected] : cases) {
            EXPECT_EQ(checkListCall(function, g, text, 0, nullptr, expected), "") << text;
        }
    }
}

// Per request 1 to 7, for each flag of " *H-+<>A": QMRGSEL's answer and
// what QMRSSEL makes of the flag.  Other requests do nothing.
constexpr std::string_view kFlags = " *H-+<>A";
const char* const kRequests[][2] = {
    {"00000000", " *H-+<>A"},
    /* 1 shown */ {"11011111", " * -+<>A"},
    /* 2 hidden */ {"00100000", "HHHHHHHH"},
    /* 3 first mark */ {"00011000", "-+H-+---"},
    /* 4 no first mark */ {"11100111", " *H *<>A"},
    /* 5 selected */ {"01001011", "**H++>>*"},
    /* 6 not selected */ {"10110101", "  H--<<A"},
    /* 7 second mark */ {"00000110", "<>H<<<><"},
};

TEST(Selection, EveryRequestOnEveryFlagByte) {
    TestContext context;
    for (unsigned request : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 0xFFFFFFFFu}) {
        const auto& [holds, becomes] = kRequests[request <= 7 ? request : 0];
        for (int byte = 0; byte < 256; ++byte) {
            // A byte the table does not name behaves as the blank flag.
            const std::size_t at = kFlags.find(char(byte)), as = at == kFlags.npos ? 0 : at;
            const char wanted = at == kFlags.npos && becomes[0] == ' ' ? char(byte) : becomes[as];
            char flag = static_cast<char>(byte);
            const int got = QMRGSEL(nullptr, nullptr, context.get(), static_cast<signed char>(byte), request);
            QMRSSEL(nullptr, nullptr, context.get(), &flag, request);
            EXPECT_EQ(std::pair(got, flag), std::pair(holds[as] - '0', wanted)) << request << ": " << byte;
        }
    }
    EXPECT_EQ(context.text(0, TestContext::kSize), std::string(TestContext::kSize, '\0')) << "left alone";
    QMRSSEL(nullptr, nullptr, context.get(), nullptr, 2);  // a null flag is ignored
}

}  // namespace
