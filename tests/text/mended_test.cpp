// Faults of the original text functions that this library mends, each as
// the call that showed it, and the buffer routines' null arguments.
#include "text/text_test.h"

namespace {

using namespace qmr_test;

TEST(Mended, CopyClosesARunCutAfterASecondShiftOut) {
    const UseCharset use("sosi");
    char target[7];
    Qmstrcpy(target, "\x0e" "AA" "\x0e" "BBCC", 7);
    EXPECT_EQ(std::string(target, 7), std::string("\x0e" "AA" "\x0f  \0", 7));
}

// Each triple was ordered neither both ways round nor transitively.
TEST(Mended, CompareOrdersTextsEndingInsideACharacter) {
    const struct { const char* charset; const char *a, *b; int expected; } rows[] = {
        {"sjis", "ab", "ab\x81", -1}, {"sjis", "ab\x81", "ab\x81\x40", 1}, {"sjis", "ab", "ab\x81\x40", 0},
        {"sjis", "\x9f\x81\x40", "\x9f", 1}, {"gbk", "\xa3\xa1\xa1", "\xa3", 1},
        {"sosi", "\x0e\x0e!!", "\x0e\x0e!!\x0f", 0}, {"sosi", "\x0e\x0e!!", "\x0e\x0f \x0f\x0e!!\x0f", 0},
    };
    for (const auto& r : rows) {
        const UseCharset use(r.charset);
        EXPECT_EQ(Qmstrcmp(r.a, r.b) * 10 + Qmstrcmp(r.b, r.a), r.expected * 9) << r.a << " " << r.b;
    }
}

// Without room for a closing shift-in the run stays open, where the last
// character was dropped; so a full set keeps its last member.
TEST(Mended, TrimKeepsARunWithoutRoomForItsShiftIn) {
    const UseCharset use("sosi");
    TestContext ctx;
    Field text(5, "\x0e#A#B"), set(4096, "a\x0e" + std::string(4092, '!') + "#Z"), subject(4, "\x0e#Z\x0f");
    QMRFTRIM(nullptr, nullptr, ctx.get(), text.get(), text.get());
    qmr_int16 position = 99;
    QMRFVRFY(nullptr, nullptr, ctx.get(), subject.get(), set.get(), &position);
    EXPECT_EQ(text.text() + std::to_string(position) + ctx.error(), "\x0e#A#B0");
}

TEST(BufferRoutines, TakeNullArgumentsAsNothing) {
    char target[4] = "abc";
    Qmrrjust(nullptr);
    Qmrrjus2(nullptr, "abc", 4);
    Qmrrjus2(target, "xy", 0);
    EXPECT_EQ(QMROTRIM(nullptr, nullptr) + QMRVTRIM(nullptr, "a", nullptr) + QMRVTRIM(target, nullptr, nullptr), 0);
    EXPECT_EQ(Qmstrcpy(nullptr, "abc", 4), nullptr);
    EXPECT_EQ(std::string(Qmstrcpy(target, nullptr, 4)) + std::to_string(Qmstrcmp(nullptr, nullptr)), "   0");
}

}  // namespace
