// QMDDAQUE request by request, in both calling forms, on CMCBs laid out
// byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/alloc.h"
#include "queue/caller_fields.h"
#include "queue_host.h"

namespace {

using qmr_test::Cmcb;
using qmr_test::Form;
using qmr_test::messageArea;
using qmr_test::ParameterBlock;
using qmr_test::PairField;
using qmr_test::QueueClient;

constexpr char kInvalid[] = "INVALID REQUEST PASSED IN CMCB.";
constexpr char kAddAlone[] = "CMCB CANNOT BE ONLY PARM FOR ADD.";
constexpr char kReadAlone[] = "CMCB CANNOT BE ONLY PARM FOR READ.";
constexpr char kNoEnd[] = "LAST FIELD IN PARMLIST NEVER FOUND BEFORE MAX.";
constexpr char kNoStorage[] = "GETMAIN FOR TABLE OF RELATIONSHIPS FAILED.";
constexpr char kNoMore[] = "NO MORE RELATIONSHIPS FOUND IN QUEUE.";
constexpr char kNoneRead[] = "NO RELATIONSHIPS FOUND IN QUEUE.";

// The answer a call left: result, code and message area.
struct Answer {
    int result;
    std::string code;
    std::string message;
    bool operator==(const Answer&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answer& a) {
    return out << a.result << " \"" << a.code << "\" \"" << a.message << '"';
}

Answer answerOf(int result, const Cmcb& cmcb) { return {result, cmcb.code(), cmcb.messageArea()}; }
Answer ok() { return {0, "OK", messageArea("")}; }
Answer refused(const char* code, const char* message) { return {4, code, messageArea(message)}; }

// n fields "f1", "f2", ...
std::vector<std::string> numberedFields(int n) {
    std::vector<std::string> fields;
    for (int i = 1; i <= n; ++i) fields.push_back("f" + std::to_string(i));
    return fields;
}

class QueueForms : public ::testing::TestWithParam<Form> {};

INSTANTIATE_TEST_SUITE_P(Both, QueueForms, ::testing::Values(Form::block, Form::pairs),
                         [](const auto& info) { return std::string(qmr_test::formName(info.param)); });

TEST_P(QueueForms, WalksRelationshipsInTheOrderAddedThenReleases) {
    QueueClient q(GetParam());
    const int w = q.cmcb.idWidth();
    const std::vector<std::vector<std::string>> saved = {{"ORDER-1", "Widget", "12"}, {"x"}, {"last", "two"}};
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        ASSERT_EQ(answerOf(q.add("REL0000" + n, "ASC0000" + n, saved[i]), q.cmcb), ok()) << i;
    }
    const std::uint32_t handle = q.cmcb.handle();
    EXPECT_GE(handle, 0x100000u);
    q.cmcb.setIds("zzzzzzzz", "zzzzzzzz");
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        ASSERT_EQ(answerOf(q.next(), q.cmcb), ok()) << i;
        EXPECT_EQ(q.cmcb.relationship(), ("REL0000" + n).substr(0, w));
        EXPECT_EQ(q.cmcb.associated(), ("ASC0000" + n).substr(0, w));
        std::vector<int> rooms;
        for (const std::string& f : saved[i]) rooms.push_back(int(f.size()));
        rooms.push_back(1);  // one more than saved: length 0 reported
        std::vector<std::string> got;
        std::vector<int> lengths;
        q.cmcb.setIds("zzzzzzzz", "zzzzzzzz");
        ASSERT_EQ(answerOf(q.read(rooms, &got, &lengths), q.cmcb), ok());
        EXPECT_EQ(q.cmcb.relationship(), ("REL0000" + n).substr(0, w)) << "READ restores the identifiers";
        for (std::size_t k = 0; k < saved[i].size(); ++k) EXPECT_EQ(got[k], saved[i][k]);
        EXPECT_EQ(got.back(), ".");
        if (GetParam() == Form::pairs) {
            EXPECT_EQ(lengths.back(), 0);
        }
        EXPECT_EQ(q.cmcb.handle(), handle);
    }
    EXPECT_EQ(answerOf(q.next(), q.cmcb), refused("Q1", kNoMore));
    EXPECT_EQ(q.cmcb.handle(), 0u) << "the NEXT after the last relationship releases the queue";
    if (GetParam() == Form::block) {
        EXPECT_EQ(q.cmcb.state(), 'U');
    }

    EXPECT_EQ(answerOf(q.next(), q.cmcb), refused("Q1", kNoMore)) << "a new, empty anchor";
    EXPECT_TRUE(q.cmcb.anchored());
    EXPECT_NE(q.cmcb.handle(), handle);
    EXPECT_EQ(answerOf(q.read({4}), q.cmcb), refused("Q1", kNoneRead));
    EXPECT_TRUE(q.cmcb.onlyDocumentedBytesWritten());
}

// Every answer, with the CMCB's other bytes left alone.
TEST_P(QueueForms, AnswersEachRefusalWithItsCodeAndMessage) {
    struct Case {
        const char* id;
        void (*prepare)(QueueClient&);
        int (*call)(QueueClient&);
        Answer expected;
    };
    const Case cases[] = {
        {"request X", nullptr, [](QueueClient& q) { return q.bare('X'); }, refused("Q4", kInvalid)},
        {"request a", nullptr, [](QueueClient& q) { return q.bare('a'); }, refused("Q4", kInvalid)},
        {"request NUL", nullptr, [](QueueClient& q) { return q.bare('\0'); }, refused("Q4", kInvalid)},
        {"ADD alone", nullptr, [](QueueClient& q) { return q.bare('A'); }, refused("Q4", kAddAlone)},
        {"ADD zero id",
         [](QueueClient& q) { q.cmcb.setRawRelationship(std::string(8, '\0')); },
         [](QueueClient& q) { return q.add({"a"}); }, refused("Q4", kInvalid)},
        {"ADD 240 fields", nullptr, [](QueueClient& q) { return q.add(numberedFields(240)); }, refused("Q2", kNoEnd)},
        {"ADD 4093 bytes", nullptr,
         [](QueueClient& q) { return q.add({std::string(4093 - 28 - 2, 'b')}); }, refused("Q3", kNoStorage)},
        {"NEXT empty", nullptr, [](QueueClient& q) { return q.next(); }, refused("Q1", kNoMore)},
        {"READ alone", nullptr, [](QueueClient& q) { return q.bare('R'); }, refused("Q4", kReadAlone)},
        {"READ first", [](QueueClient& q) { q.add({"a"}); }, [](QueueClient& q) { return q.read({1}); },
         refused("Q1", kNoneRead)},
        {"ADD", nullptr, [](QueueClient& q) { return q.add({"a"}); }, ok()},
        {"ADD no field", nullptr, [](QueueClient& q) { return q.add({""}); }, ok()},
    };
    for (const Case& c : cases) {
        QueueClient q(GetParam());
        if (c.prepare != nullptr) c.prepare(q);
        std::memset(q.cmcb.bytes().data() + QMR_CMCB_MESSAGE, 'm', QMR_CMCB_MESSAGE_SIZE);
        const int result = c.call(q);
        EXPECT_EQ(answerOf(result, q.cmcb), c.expected) << c.id;
        EXPECT_TRUE(q.cmcb.anchored()) << c.id << ": every request anchors a queue";
        EXPECT_TRUE(q.cmcb.onlyDocumentedBytesWritten()) << c.id;
    }
}

TEST_P(QueueForms, HoldsAtMost239Fields) {
    QueueClient q(GetParam());
    ASSERT_EQ(q.add(numberedFields(240)), 4);
    EXPECT_EQ(answerOf(q.next(), q.cmcb), refused("Q1", kNoMore)) << "the refused ADD added nothing";
    ASSERT_EQ(answerOf(q.add(numberedFields(239)), q.cmcb), ok());
    ASSERT_EQ(q.next(), 0);
    std::vector<int> rooms(240, 4);
    std::vector<std::string> got;
    std::vector<int> lengths;
    ASSERT_EQ(q.read(rooms, &got, &lengths), 0);
    const std::vector<std::string> expected = numberedFields(239);
    for (std::size_t i = 0; i < 239; ++i) EXPECT_EQ(got[i].substr(0, expected[i].size()), expected[i]) << i;
    if (GetParam() == Form::pairs) {
        EXPECT_EQ(lengths[239], 0);
    }

    // With 40 bytes left in the page, the 240 fields outgrow that room
    // before the list is known to have no end: still "Q2", and no page.
    QueueClient full(GetParam());
    ASSERT_EQ(full.add({std::string(4092 - 40 - 30, 'f')}), 0);
    qmr::testing::failAllocation(0);
    EXPECT_EQ(answerOf(full.add(numberedFields(240)), full.cmcb), refused("Q2", kNoEnd));
    EXPECT_EQ(qmr::testing::allocationCount(), 0);
    EXPECT_EQ(answerOf(full.add(numberedFields(239)), full.cmcb), ok());
    EXPECT_EQ(qmr::testing::allocationCount(), 1);
}

TEST(QueueBlock, FieldCountBoundsTheFieldList) {
    QueueClient q(Form::block);
    q.cmcb.setRequest('A');
    // 240 fields present but only 239 declared: 239 are saved.
    ParameterBlock block = ParameterBlock::withFields(numberedFields(240)).count(239);
    ASSERT_EQ(answerOf(QMDDAQUE(nullptr, nullptr, q.cmcb.get(), block.data()), q.cmcb), ok());
    // 999 declared, 240 present before a zero length: too many.
    ParameterBlock many = ParameterBlock::withFields(numberedFields(240)).count(999);
    many.rawField("0000", "");
    EXPECT_EQ(answerOf(QMDDAQUE(nullptr, nullptr, q.cmcb.get(), many.data()), q.cmcb), refused("Q2", kNoEnd));
    // 3 declared: READ fills 3 caller fields and never reads the length
    // text of a fourth (here deliberately garbage).
    ASSERT_EQ(q.next(), 0);
    q.cmcb.setRequest('R');
    ParameterBlock read = ParameterBlock::withFields({"....", "....", "...."});
    read.rawField("0004", "....");
    ASSERT_EQ(QMDDAQUE(nullptr, nullptr, q.cmcb.get(), read.data()), 0);
    EXPECT_EQ(read.fieldBytes(0), "f1..");
    EXPECT_EQ(read.fieldBytes(2), "f3..");
    EXPECT_EQ(read.fieldBytes(3), "....");
    EXPECT_EQ(read.lengthTextOf(0), "0004") << "a parameter block's length texts stay";
}

TEST(QueueNumericText, ReadsSignedDecimalsWithANegativeLastCharacter) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"0012", 12}, {"  12", 12}, {"12  ", 12}, {"-012", -12}, {"+012", 12}, {"000p", 0},
        {"001p", -10}, {"001y", -19}, {"999y", -9999}, {"12ab", -12}, {"    ", 0}, {"ab12", 0},
        {"12\0" "3", 12}, {"9999", 9999}, {"001A", -1}, {"-01q", 11},
        {"12:4", 12},  {"1/23", 1},  {"999:", 999}, {"?999", 0},   {"0\x7F" "12", 0},
    };
    for (const auto& c : cases) {
        const auto* text = reinterpret_cast<const unsigned char*>(c.text);
        EXPECT_EQ(qmr::queue::readNumericText(text), c.value) << c.text;
    }
    for (int n = 0; n <= 9999; ++n) {
        const std::string text = qmr_test::lengthText(n);
        ASSERT_EQ(qmr::queue::readNumericText(reinterpret_cast<const unsigned char*>(text.data())), n) << text;
    }
}

TEST(QueueBlock, NegativeLengthsEndTheList) {
    QueueClient q(Form::block);
    q.cmcb.setRequest('A');
    ParameterBlock block;
    block.count(3).field("keep").rawField("003p", "gone").field("gone");
    ASSERT_EQ(QMDDAQUE(nullptr, nullptr, q.cmcb.get(), block.data()), 0);
    ASSERT_EQ(q.next(), 0);
    std::vector<std::string> got;
    ASSERT_EQ(q.read({4, 4}, &got), 0);
    EXPECT_EQ(got, (std::vector<std::string>{"keep", "...."}));

    ParameterBlock negativeCount;
    negativeCount.countText("001p").field("x");
    q.cmcb.setRequest('A');
    EXPECT_EQ(answerOf(QMDDAQUE(nullptr, nullptr, q.cmcb.get(), negativeCount.data()), q.cmcb),
              refused("Q4", kAddAlone));
}

TEST(QueuePairs, ListEndsAtALengthBelowOneOrANullDataPointer) {
    QueueClient q(Form::pairs);
    q.cmcb.setRequest('A');
    std::vector<PairField> fields = {PairField::of("keep"), PairField::room(-5), PairField::of("gone")};
    ASSERT_EQ(qmr_test::callQueue(q.cmcb.get(), qmr_test::pairArgs(fields)), 0);
    std::vector<PairField> nullData = {PairField::of("gone")};
    ASSERT_EQ(qmr_test::callQueue(q.cmcb.get(), qmr_test::pairArgs(nullData, true)), 0) << "saved without fields";
    std::vector<std::string> got;
    std::vector<int> lengths;
    ASSERT_EQ(q.next(), 0);
    ASSERT_EQ(q.read({4, 4}, &got, &lengths), 0);
    EXPECT_EQ(got, (std::vector<std::string>{"keep", "...."}));
    EXPECT_EQ(lengths, (std::vector<int>{4, 0}));
    ASSERT_EQ(q.next(), 0);
    ASSERT_EQ(q.read({4}, &got, &lengths), 0);
    EXPECT_EQ(lengths, (std::vector<int>{0}));
}

// Caller fields shorter or more numerous than the saved ones: the saved
// bytes are cut to the caller's room, nothing beyond either is touched.
TEST_P(QueueForms, ReadStaysWithinTheEntryAndTheCallersFields) {
    QueueClient q(GetParam());
    ASSERT_EQ(q.add({"ABCDEFGH", "twenty-bytes-of-text", "WXYZ"}), 0);
    ASSERT_EQ(q.next(), 0);
    const struct {
        std::vector<int> rooms;
        std::vector<std::string> fields;
        std::vector<int> lengths;  // pair list only
    } cases[] = {
        {{8, 20, 4}, {"ABCDEFGH", "twenty-bytes-of-text", "WXYZ"}, {8, 20, 4}},
        {{3, 25, 4, 6, 2}, {"ABC", "twenty-bytes-of-text.....", "WXYZ", "......", ".."}, {3, 20, 4, 0, 0}},
        {{1}, {"A"}, {1}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        std::vector<int> lengths;
        ASSERT_EQ(q.read(c.rooms, &got, &lengths), 0);
        EXPECT_EQ(got, c.fields);
        EXPECT_EQ(lengths, GetParam() == Form::pairs ? c.lengths : c.rooms);
    }
}

// Pages as the size rule fills them: 28 + (2 + L) per field, raised to a
// multiple of 4; a new page when the size is not smaller than the room
// left of 4092.
int pagesFor(const std::vector<int>& entrySizes) {
    int pages = 0;
    int room = 0;
    for (int size : entrySizes) {
        if (size >= room) {
            ++pages;
            room = 4092;
        }
        room -= size;
    }
    return pages;
}

TEST_P(QueueForms, FillsPagesAsTheSizeRuleSays) {
    const struct {
        const char* id;
        std::vector<int> fieldLengths;  // one field per entry
    } cases[] = {
        {"small", std::vector<int>(3000, 38)},              // 68 bytes each, 60 a page
        {"mixed", [] {
             std::vector<int> v;
             for (int i = 0; i < 2000; ++i) v.push_back(1 + (i * 37) % 700);
             return v;
         }()},
        {"whole pages", std::vector<int>(5, 4092 - 30)},  // exactly 4092 bytes
        {"half pages", std::vector<int>(7, 2046 - 30)},    // 2046: the second does not fit (2046 >= 2046)
        {"just under half", std::vector<int>(7, 2044 - 30)},
    };
    for (const auto& c : cases) {
        QueueClient q(GetParam());
        ASSERT_EQ(q.next(), 4);  // anchor first, so only pages are counted below
        std::vector<int> sizes;
        qmr::testing::failAllocation(0);
        for (std::size_t i = 0; i < c.fieldLengths.size(); ++i) {
            const int length = c.fieldLengths[i];
            std::string field(static_cast<std::size_t>(length), static_cast<char>('a' + i % 26));
            q.cmcb.setIds("R" + std::to_string(i), "A");
            ASSERT_EQ(q.add({field}), 0) << c.id << ' ' << i;
            sizes.push_back((28 + 2 + length + 3) / 4 * 4);
        }
        EXPECT_EQ(qmr::testing::allocationCount(), pagesFor(sizes)) << c.id;
        for (std::size_t i = 0; i < c.fieldLengths.size(); ++i) {
            ASSERT_EQ(q.next(), 0) << c.id << ' ' << i;
            EXPECT_EQ(q.cmcb.relationship(), ("R" + std::to_string(i) + "       ").substr(0, q.cmcb.idWidth()));
            std::vector<std::string> got;
            ASSERT_EQ(q.read({c.fieldLengths[i]}, &got), 0);
            ASSERT_EQ(got[0], std::string(static_cast<std::size_t>(c.fieldLengths[i]), static_cast<char>('a' + i % 26)))
                << c.id << ' ' << i;
        }
        EXPECT_EQ(q.next(), 4);
        EXPECT_FALSE(q.cmcb.anchored()) << c.id;
    }
}

TEST_P(QueueForms, RefusesAnEntryLargerThanAPageAddingNothing) {
    QueueClient q(GetParam());
    ASSERT_EQ(q.add({"before"}), 0);
    qmr::testing::failAllocation(0);
    EXPECT_EQ(answerOf(q.add({std::string(4092 - 30 + 1, 'x')}), q.cmcb), refused("Q3", kNoStorage));
    EXPECT_EQ(answerOf(q.add({std::string(3000, 'x'), std::string(1100, 'y')}), q.cmcb), refused("Q3", kNoStorage));
    EXPECT_EQ(qmr::testing::allocationCount(), 0) << "no page is taken for an entry that cannot fit";
    ASSERT_EQ(q.next(), 0);
    EXPECT_EQ(answerOf(q.next(), q.cmcb), refused("Q1", kNoMore));
    EXPECT_FALSE(q.cmcb.anchored());
}

// NEXT that reached the last relationship continues onto one added
// later, in the same page and across a page change.
TEST_P(QueueForms, WalkAtTheEndContinuesOntoLaterRelationships) {
    QueueClient q(GetParam());
    ASSERT_EQ(q.add("R1", "A1", {"one"}), 0);
    ASSERT_EQ(q.next(), 0);
    ASSERT_EQ(q.add("R2", "A2", {"two"}), 0);  // same page
    ASSERT_EQ(q.next(), 0);
    EXPECT_EQ(q.cmcb.relationship().substr(0, 2), "R2");
    ASSERT_EQ(q.add("R3", "A3", {std::string(4000, '3')}), 0);  // a new page
    ASSERT_EQ(q.next(), 0);
    EXPECT_EQ(q.cmcb.relationship().substr(0, 2), "R3");
    ASSERT_EQ(q.add("R4", "A4", {std::string(4000, '4')}), 0);  // and another
    ASSERT_EQ(q.add("R5", "A5", {"five"}), 0);
    ASSERT_EQ(q.next(), 0);
    EXPECT_EQ(q.cmcb.relationship().substr(0, 2), "R4");
    ASSERT_EQ(q.next(), 0);
    std::vector<std::string> got;
    ASSERT_EQ(q.read({4}, &got), 0);
    EXPECT_EQ(got[0], "five");
    EXPECT_EQ(q.next(), 4);
    EXPECT_FALSE(q.cmcb.anchored());
}

TEST_P(QueueForms, SeparateBlocksHoldSeparateQueues) {
    QueueClient a(GetParam());
    QueueClient b(GetParam());
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(a.add("A" + std::to_string(i), "a", {std::string(static_cast<std::size_t>(i + 1), 'a')}), 0);
        if (i % 2 == 0) {
            ASSERT_EQ(b.add("B" + std::to_string(i), "b", {"b"}), 0);
        }
    }
    EXPECT_NE(a.cmcb.handle(), b.cmcb.handle());
    int ai = 0;
    int bi = 0;
    while (ai < 200 || bi < 200) {
        if (ai < 200) {
            ASSERT_EQ(a.next(), 0);
            EXPECT_EQ(a.cmcb.relationship(), ("A" + std::to_string(ai) + "      ").substr(0, a.cmcb.idWidth()));
            ai += 1;
        }
        if (bi < 200) {
            ASSERT_EQ(b.next(), 0);
            EXPECT_EQ(b.cmcb.relationship(), ("B" + std::to_string(bi) + "      ").substr(0, b.cmcb.idWidth()));
            bi += 2;
        }
    }
    EXPECT_EQ(a.next(), 4);
    EXPECT_EQ(b.next(), 4);
    EXPECT_FALSE(a.cmcb.anchored());
    EXPECT_FALSE(b.cmcb.anchored());
}

TEST(QueueCall, NullControlBlockIsRefused) {
    EXPECT_EQ(QMDDAQUE(nullptr, nullptr, nullptr, static_cast<void*>(nullptr)), 4);
}

}  // namespace
