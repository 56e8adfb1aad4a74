// QMRSORT: the messages for sort keys, results against std::stable_sort with
// an independent comparison for every type code, every array moved with
// its occurrence, and the group unchanged after every failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "platform/alloc.h"
#include "test_group.h"

namespace {

using qmr_test::Bytes;
using qmr_test::TestContext;
using qmr_test::TestGroup;

std::string sort(TestGroup& group, const char* keys) { return qmr_test::callList(QMRSORT, "QMRSORT ", group, keys); }

TEST(SortKeys, ReportsEachMessageAndLeavesTheGroupUnchanged) {
    const struct { const char* keys; const char* message; } cases[] = {
        {"1 a", ""}, {"  1   D  2 d ", ""}, {"+2 A", ""}, {"     ", " 153"}, {nullptr, " 153"}, {"1", " 154"},
        {"1 AA", " 154"}, {"1 X", " 154"}, {"1 A 2 ", " 154"}, {"0 A", " 155"}, {"4 A", " 155"},
        {"99999999999 A", " 155"}, {"1 A 0 X", " 155"}, {"1 X 0 A", " 154"},
    };
    TestGroup g(5);
    g.addLongs({5, 4, 3, 2, 1});
    g.addTexts(3, {"e", "d", "c", "b", "a"});
    g.addSelection("     ");
    for (const auto& c : cases) {
        const auto before = g.snapshot();
        EXPECT_EQ(sort(g, c.keys), c.message) << (c.keys ? c.keys : "null");
        if (*c.message != '\0') {
            EXPECT_EQ(g.snapshot(), before) << c.keys;
        }
    }
}

TEST(SortGroup, EmptyGroupsAndUnreadableKeys) {
    TestGroup empty(0);
    empty.addLongs({});
    EXPECT_EQ(sort(empty, "9 X"), "");
    TestContext context;
    QMRSORT(nullptr, nullptr, context.get(), nullptr, "1 A");
    EXPECT_EQ(context.error(), " 153");

    TestGroup g(3);
    g.addLongs({3, 2, 1});
    g.addNoColumn();
    g.addLongs({1, 2, 3});
    g.field(2).data = nullptr;  // never read: type 10
    EXPECT_EQ(sort(g, "2 A 1 A"), "");
    EXPECT_EQ(g.column(1), (Bytes{1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}));
    EXPECT_EQ(g.column(3), (Bytes{3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}));
    g.field(3).data = nullptr;
    EXPECT_EQ(sort(g, "3 A"), " 153");
    EXPECT_EQ(sort(g, "1 D"), "") << "a null column that is no key has nothing to move";
    EXPECT_EQ(g.column(1), (Bytes{3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}));
}

// The expected order of occurrences a and b by one field, computed
// independently of the library: numbers by value (NaN last), 20-byte
// values by their bytes, texts byte by byte up to a NUL or the element's end.
int expectedCompare(TestGroup& g, int field, std::size_t a, std::size_t b) {
    const Bytes& c = g.column(field);
    const FieldDescriptor& f = g.field(field);
    const auto order = [](auto x, auto y) { return (x > y) - (x < y); };
    const auto at = [&c](auto value, std::size_t i) {
        std::memcpy(&value, c.data() + i * sizeof value, sizeof value);
        return value;
    };
    switch (f.typeCode) {
    case QMR_FIELD_SHORT: return order(at(std::int16_t{}, a), at(std::int16_t{}, b));
    case QMR_FIELD_LONG:
    case QMR_FIELD_DATE:
    case QMR_FIELD_TIME: return order(at(std::int32_t{}, a), at(std::int32_t{}, b));
    case QMR_FIELD_REAL: {
        const double x = at(0.0, a), y = at(0.0, b);
        return std::isnan(x) || std::isnan(y) ? int(std::isnan(x)) - int(std::isnan(y)) : order(x, y);
    }
    case QMR_FIELD_NO_COLUMN: return 0;
    case QMR_FIELD_VALUE20: return order(std::memcmp(c.data() + a * 20, c.data() + b * 20, 20), 0);
    default:
        for (std::size_t k = 0; k < f.elementSize; ++k) {
            const unsigned char x = c[a * f.elementSize + k], y = c[b * f.elementSize + k];
            if (x != y || x == 0) return order(x, y);
        }
        return 0;
    }
}

// Small alphabets, so that many values tie and the order among equal keys
// shows.
void addRandomFields(TestGroup& g, std::mt19937& random) {
    const auto pick = [&](std::size_t k) { return random() % k; };
    std::vector<std::int16_t> shorts;
    std::vector<std::int32_t> longs, dates, times;
    std::vector<double> reals;
    std::vector<std::string> texts, stamps, full, value20s;
    const double specials[] = {-0.0, 0.0, std::nan(""), std::numeric_limits<double>::infinity(), -1e300, 2.5};
    for (std::uint32_t i = 0; i < g.count(); ++i) {
        shorts.push_back(static_cast<std::int16_t>(int(pick(5)) * 16000 - 32768));
        longs.push_back(static_cast<std::int32_t>(pick(4) * 1500000000u - 2147483648u));
        reals.push_back(specials[pick(6)]);
        texts.push_back(std::string("ab ", 1 + pick(3)) + (pick(2) ? std::string(1, '\0') + "zz" : " "));
        dates.push_back(static_cast<std::int32_t>(20240101 + pick(3) * 100));
        times.push_back(static_cast<std::int32_t>(pick(3) * 10000));
        stamps.push_back("2026120413452500000" + std::to_string(pick(3)));
        full.push_back(std::string(1, char('a' + pick(2))) + char(0x7F + pick(3)) + "x");  // fills its 3 bytes
        value20s.push_back(std::string(19, 'v') + char(pick(3)));
    }
    g.addShorts(shorts);
    g.addLongs(longs);
    g.addReals(reals);
    g.addTexts(6, texts);
    g.addLongs(dates, QMR_FIELD_DATE);
    g.addLongs(times, QMR_FIELD_TIME);
    g.addTexts(21, stamps, QMR_FIELD_TIMESTAMP);
    g.addTexts(3, full, QMR_FIELD_TEXT2);
    g.addTexts(5, texts, QMR_FIELD_TEXT3);
    g.addNoColumn();
    g.addValue20s(value20s);
    g.addTexts(16, stamps);  // moved whole, never a key
    std::string flags;
    for (std::uint32_t i = 0; i < g.count(); ++i) flags += " *H-+<>"[pick(7)];
    g.addSelection(flags, 2);
    g.addCellState();
    g.addAttributes(1);
    g.addAttributes(4);
}

TEST(SortOrder, MatchesAStableSortOfTheSameKeysAndMovesEveryArray) {
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        TestGroup g(1 + random() % 400);
        addRandomFields(g, random);
        std::vector<std::pair<int, bool>> keys;  // field, ascending
        std::string keyText;
        for (std::size_t k = 0, n = 1 + random() % 4; k < n; ++k) {
            keys.push_back({int(1 + random() % 11), random() % 2 == 0});
            keyText += std::to_string(keys.back().first) + (keys.back().second ? " A " : " d ");
        }
        std::vector<std::uint32_t> order(g.count());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            for (const auto& [field, ascending] : keys) {
                const int c = expectedCompare(g, field, a, b);
                if (c != 0) return ascending ? c < 0 : c > 0;
            }
            return false;
        });
        const std::vector<Bytes> before = g.snapshot();
        ASSERT_EQ(sort(g, keyText.c_str()), "") << keyText;
        const std::vector<Bytes> after = g.snapshot();
        for (std::size_t array = 0; array < before.size(); ++array) {
            const std::size_t width = before[array].size() / g.count();
            Bytes expected = before[array];  // the type 10 column (array 10) stays
            for (std::size_t i = 0; i < order.size() && array != 10; ++i) {
                std::memcpy(expected.data() + i * width, before[array].data() + order[i] * width, width);
            }
            EXPECT_EQ(after[array], expected) << "round " << round << " array " << array << ": " << keyText;
        }
    }
}

int QMR_CALL lastByteLess(const void* a, const void* b) {
    return static_cast<const unsigned char*>(a)[19] > static_cast<const unsigned char*>(b)[19];
}
int QMR_CALL lastByteEqual(const void* a, const void* b) {
    return static_cast<const unsigned char*>(a)[19] == static_cast<const unsigned char*>(b)[19];
}

TEST(SortOrder, UsesTheHostsOrderingOfTwentyByteValues) {
    TestGroup g(6);
    g.addValue20s({"a1", "b3", "c2", "d3", "e1", "f2"});
    for (int i = 0; i < 6; ++i) g.column(1)[i * 20 + 19] = static_cast<unsigned char>("132312"[i]);
    g.addLongs({0, 1, 2, 3, 4, 5});
    ASSERT_EQ(qmr_set_value20_order(lastByteLess, lastByteEqual), 0);
    EXPECT_EQ(sort(g, "1 A 2 D"), "");  // the host orders by the last byte, descending
    qmr_set_value20_order(nullptr, nullptr);
    EXPECT_EQ(g.column(2), (Bytes{3, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0}));
}

// Failing the k-th allocation, for every k the call makes: " 153" and
// every array unchanged (also inside the filter's unclosed parentheses),
// and nothing leaks.
TEST(ListStorage, EveryAllocationFailureLeavesTheGroupUnchanged) {
    std::string expression = "(1 = -768";
    for (int i = 1; i < 80; ++i) expression += (i % 2 ? " OR (2 = " : " OR 2 = ") + std::to_string(i % 3 - 647483649);
    expression += std::string(41, ')');
    const std::tuple<qmr_test::ListFunction, const char*> calls[] = {{QMRSORT, "4 D 2 A 7 a"},
                                                                     {QMRFLTR, expression.c_str()}};
    for (const auto& [function, text] : calls) {
        std::mt19937 random(5);
        TestGroup g(3000);
        addRandomFields(g, random);
        const std::vector<Bytes> before = g.snapshot();
        for (long k = 1;; ++k) {
            TestContext context;
            qmr::testing::failAllocation(k);
            function(nullptr, nullptr, context.get(), g.descriptor(), text);
            const bool failed = qmr::testing::allocationCount() >= k;
            qmr::testing::failAllocation(0);
            if (!failed) {
                EXPECT_EQ(context.error(), "");
                EXPECT_GT(k, 3) << text;
                EXPECT_TRUE(g.snapshot() != before) << text;
                break;
            }
            EXPECT_EQ(context.error(), " 153") << text << ": allocation " << k;
            EXPECT_TRUE(g.snapshot() == before) << text << ": allocation " << k;
        }
    }
}

}  // namespace
