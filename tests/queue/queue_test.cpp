// QMDDAQUE request by request, in both calling forms, on CMCBs laid out
// byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/alloc.h"
#include "queue/caller_fields.h"
#include "queue_host.h"

namespace {

using qmr_test::Form;
using qmr_test::PairField;
using qmr_test::ParameterBlock;
using qmr_test::QueueClient;

constexpr char kInvalid[] = "INVALID REQUEST PASSED IN CMCB.";
constexpr char kAddAlone[] = "CMCB CANNOT BE ONLY PARM FOR ADD.";
constexpr char kReadAlone[] = "CMCB CANNOT BE ONLY PARM FOR READ.";
constexpr char kNoEnd[] = "LAST FIELD IN PARMLIST NEVER FOUND BEFORE MAX.";
constexpr char kNoStorage[] = "GETMAIN FOR TABLE OF RELATIONSHIPS FAILED.";
constexpr char kNoMore[] = "NO MORE RELATIONSHIPS FOUND IN QUEUE.";
constexpr char kNoneRead[] = "NO RELATIONSHIPS FOUND IN QUEUE.";

// The answer a call left: result, code and message area.
std::string answer(int result, const qmr_test::Cmcb& cmcb) {
    return std::to_string(result) + " " + cmcb.code() + " " + cmcb.messageArea();
}
std::string ok() { return "0 OK " + qmr_test::messageArea(""); }
std::string refused(const char* code, const char* message) {
    return std::string("4 ") + code + " " + qmr_test::messageArea(message);
}

// n fields "f1", "f2", ...
std::vector<std::string> numberedFields(int n) {
    std::vector<std::string> fields;
    for (int i = 1; i <= n; ++i) fields.push_back("f" + std::to_string(i));
    return fields;
}

class QueueForms : public ::testing::TestWithParam<Form> {};

INSTANTIATE_TEST_SUITE_P(Both, QueueForms, ::testing::Values(Form::block, Form::pairs),
                         [](const auto& info) { return std::string(info.param == Form::block ? "block" : "pairs"); });

// The walk itself, against a model, is in queue_model_test.cpp.
TEST_P(QueueForms, WalksThenReleasesAndStartsAnew) {
    QueueClient q(GetParam());
    ASSERT_EQ(answer(q.add("REL00001", "ASC00001", {"ORDER-1", "Widget"}), q.cmcb), ok());
    const std::uint32_t handle = q.cmcb.handle();
    EXPECT_GE(handle, 0x100000u);
    q.cmcb.setIds("zzzzzzzz", "zzzzzzzz");
    ASSERT_EQ(answer(q.next(), q.cmcb), ok());
    std::vector<std::string> got;
    std::vector<int> lengths;
    q.cmcb.setIds("zzzzzzzz", "zzzzzzzz");
    ASSERT_EQ(answer(q.read({7, 6, 1}, &got, &lengths), q.cmcb), ok());
    EXPECT_EQ(q.cmcb.relationship() + q.cmcb.associated(), q.cmcb.id("REL00001") + q.cmcb.id("ASC00001"))
        << "READ restores the identifiers";
    EXPECT_EQ(got, (std::vector<std::string>{"ORDER-1", "Widget", "."}));
    EXPECT_EQ(lengths.back(), GetParam() == Form::pairs ? 0 : 1) << "one more than saved: length 0";
    EXPECT_EQ(answer(q.next(), q.cmcb), refused("Q1", kNoMore));
    EXPECT_EQ(q.cmcb.handle(), 0u) << "the NEXT after the last relationship releases the queue";
    if (GetParam() == Form::block) {
        EXPECT_EQ(q.cmcb.state(), 'U');
    }
    EXPECT_EQ(answer(q.next(), q.cmcb), refused("Q1", kNoMore)) << "a new, empty anchor";
    EXPECT_TRUE(q.cmcb.anchored());
    EXPECT_NE(q.cmcb.handle(), handle);
    EXPECT_EQ(answer(q.read({4}), q.cmcb), refused("Q1", kNoneRead));
    EXPECT_TRUE(q.cmcb.onlyDocumentedBytesWritten());
}

// Every answer, with the CMCB's other bytes left alone.
TEST_P(QueueForms, AnswersEachRefusalWithItsCodeAndMessage) {
    const struct {
        const char* id;
        int (*call)(QueueClient&);
        std::string expected;
    } cases[] = {
        {"request X", [](QueueClient& q) { return q.bare('X'); }, refused("Q4", kInvalid)},
        {"request a", [](QueueClient& q) { return q.bare('a'); }, refused("Q4", kInvalid)},
        {"request NUL", [](QueueClient& q) { return q.bare('\0'); }, refused("Q4", kInvalid)},
        {"ADD alone", [](QueueClient& q) { return q.bare('A'); }, refused("Q4", kAddAlone)},
        {"ADD zero id", [](QueueClient& q) { return q.add(std::string(8, '\0'), "A", {"a"}); }, refused("Q4", kInvalid)},
        {"ADD 240 fields", [](QueueClient& q) { return q.add(numberedFields(240)); }, refused("Q2", kNoEnd)},
        {"ADD 4093 bytes", [](QueueClient& q) { return q.add({std::string(4093 - 28 - 2, 'b')}); },
         refused("Q3", kNoStorage)},
        {"NEXT empty", [](QueueClient& q) { return q.next(); }, refused("Q1", kNoMore)},
        {"READ alone", [](QueueClient& q) { return q.bare('R'); }, refused("Q4", kReadAlone)},
        {"READ first", [](QueueClient& q) { return q.add({"a"}) + q.read({1}); }, refused("Q1", kNoneRead)},
        {"ADD", [](QueueClient& q) { return q.add({"a"}); }, ok()},
        {"ADD no field", [](QueueClient& q) { return q.add({""}); }, ok()},
    };
    for (const auto& c : cases) {
        QueueClient q(GetParam());
        std::memset(q.cmcb.bytes().data() + QMR_CMCB_MESSAGE, 'm', QMR_CMCB_MESSAGE_SIZE);
        const int result = c.call(q);
        EXPECT_EQ(answer(result, q.cmcb), c.expected) << c.id;
        EXPECT_TRUE(q.cmcb.anchored()) << c.id << ": every request anchors a queue";
        EXPECT_TRUE(q.cmcb.onlyDocumentedBytesWritten()) << c.id;
    }
    EXPECT_EQ(QMDDAQUE(nullptr, nullptr, nullptr, static_cast<void*>(nullptr)), 4) << "no CMCB";
}

// Refused ADDs take no page and add nothing: 240 fields (also when they
// outgrow the 40 bytes left in the page before the list is known to have
// no end: still "Q2"), and an entry larger than a page.
TEST_P(QueueForms, RefusedAddsTakeNoPage) {
    QueueClient q(GetParam());
    ASSERT_EQ(q.add({std::string(4092 - 40 - 30, 'f')}), 0);
    qmr::testing::failAllocation(0);
    EXPECT_EQ(answer(q.add(numberedFields(240)), q.cmcb), refused("Q2", kNoEnd));
    EXPECT_EQ(answer(q.add({std::string(4092 - 30 + 1, 'x')}), q.cmcb), refused("Q3", kNoStorage));
    EXPECT_EQ(answer(q.add({std::string(3000, 'x'), std::string(1100, 'y')}), q.cmcb), refused("Q3", kNoStorage));
    EXPECT_EQ(qmr::testing::allocationCount(), 0);
    EXPECT_EQ(answer(q.add(numberedFields(239)), q.cmcb), ok());
    EXPECT_EQ(qmr::testing::allocationCount(), 1);
    ASSERT_EQ(q.next() + q.next(), 0);
    std::vector<std::string> got;
    std::vector<int> lengths;
    ASSERT_EQ(q.read(std::vector<int>(240, 4), &got, &lengths), 0);
    EXPECT_EQ(got[238], "f239");
    EXPECT_EQ(lengths[239], GetParam() == Form::pairs ? 0 : 4);
    EXPECT_EQ(answer(q.next(), q.cmcb), refused("Q1", kNoMore));
    EXPECT_FALSE(q.cmcb.anchored());
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
TEST_P(QueueForms, FillsPagesAsTheSizeRuleSays) {
    std::vector<int> mixed;
    for (int i = 0; i < 2000; ++i) mixed.push_back(1 + (i * 37) % 700);
    const struct {
        const char* id;
        std::vector<int> fieldLengths;  // one field per entry
        int pages;
    } cases[] = {
        {"small", std::vector<int>(3000, 38), 50},  // 68 bytes each, 60 a page
        {"mixed", mixed, 203},
        {"whole pages", std::vector<int>(5, 4092 - 30), 5},     // exactly 4092 bytes
        {"half pages", std::vector<int>(7, 2046 - 30), 7},      // the second does not fit (2046 >= 2046)
        {"just under half", std::vector<int>(7, 2044 - 30), 4},
    };
    for (const auto& c : cases) {
        QueueClient q(GetParam());
        ASSERT_EQ(q.next(), 4);  // anchor first, so only pages are counted below
        qmr::testing::failAllocation(0);
        for (std::size_t i = 0; i < c.fieldLengths.size(); ++i) {
            const std::string field(std::size_t(c.fieldLengths[i]), char('a' + i % 26));
            ASSERT_EQ(q.add("R" + std::to_string(i), "A", {field}), 0) << c.id << ' ' << i;
        }
        EXPECT_EQ(qmr::testing::allocationCount(), c.pages) << c.id;
        std::vector<std::string> got;
        for (std::size_t i = 0; i < c.fieldLengths.size(); ++i) {
            ASSERT_EQ(q.next() + q.read({c.fieldLengths[i]}, &got), 0) << c.id << ' ' << i;
            ASSERT_EQ(got[0], std::string(std::size_t(c.fieldLengths[i]), char('a' + i % 26))) << c.id << ' ' << i;
        }
    }
}

// The field count bounds the list; a negative length text or count ends it.
TEST(QueueBlock, FieldCountAndLengthTextsBoundTheFieldList) {
    QueueClient q(Form::block);
    const auto call = [&q](char request, ParameterBlock& block) {
        q.cmcb.setRequest(request);
        return QMDDAQUE(nullptr, nullptr, q.cmcb.get(), block.data());
    };
    // 240 fields present but only 239 declared: 239 are saved.
    EXPECT_EQ(call('A', ParameterBlock(numberedFields(240)).count(239)), 0);
    // 999 declared, 240 present before a zero length: too many.
    EXPECT_EQ(call('A', ParameterBlock(numberedFields(240)).count(999).rawField("0000", "")), 4);
    EXPECT_EQ(answer(4, q.cmcb), refused("Q2", kNoEnd));
    EXPECT_EQ(call('A', ParameterBlock().count(3).field("keep").rawField("003p", "gone").field("gone")), 0);
    EXPECT_EQ(call('A', ParameterBlock().countText("001p").field("x")), 4);
    EXPECT_EQ(answer(4, q.cmcb), refused("Q4", kAddAlone));
    // 3 declared: READ fills 3 caller fields and never reads the length
    // text of a fourth (here deliberately garbage); the length texts stay.
    ASSERT_EQ(q.next(), 0);
    ParameterBlock read({"....", "....", "...."});
    EXPECT_EQ(call('R', read.rawField("0004", "....")), 0);
    EXPECT_EQ(read.fieldText(0) + read.fieldText(2) + read.fieldText(3), "0004f1..0004f3..0004....");
    ASSERT_EQ(q.next(), 0);
    std::vector<std::string> got;
    ASSERT_EQ(q.read({4, 4}, &got), 0);
    EXPECT_EQ(got, (std::vector<std::string>{"keep", "...."}));
}

TEST(QueueNumericText, ReadsSignedDecimalsWithANegativeLastCharacter) {
    const struct { const char* text; int value; } cases[] = {
        {"0012", 12}, {"  12", 12}, {"12  ", 12},  {"-012", -12},   {"+012", 12}, {"000p", 0},
        {"001p", -10}, {"001y", -19}, {"999y", -9999}, {"12ab", -12}, {"    ", 0}, {"ab12", 0},
        {"12\0" "3", 12}, {"9999", 9999}, {"001A", -1}, {"-01q", 11},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qmr::queue::readNumericText(reinterpret_cast<const unsigned char*>(c.text)), c.value) << c.text;
    }
}

TEST(QueuePairs, ListEndsAtALengthBelowOneOrANullDataPointer) {
    QueueClient q(Form::pairs);
    q.cmcb.setRequest('A');
    std::vector<PairField> fields = {PairField::of("keep"), PairField::room(-5), PairField::of("gone")};
    ASSERT_EQ(qmr_test::callPairs(q.cmcb.get(), fields), 0);
    std::vector<PairField> nullData = {PairField::of("gone")};
    ASSERT_EQ(qmr_test::callPairs(q.cmcb.get(), nullData, true), 0) << "saved without fields";
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

}  // namespace
