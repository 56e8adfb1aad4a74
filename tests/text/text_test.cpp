// The string built-ins against the plain models of support/text_model.h
// (the text fuzz target's checks over seeded random inputs: every set,
// every function, texts of pieces that favour shift codes, lead bytes and
// blanks, texts of up to 4032 bytes that make sets of hundreds of
// distinct characters and meet every full-width letter); the faults this
// library mends, each as the call that showed it; and the built-in
// character sets against ICU's converters.
#include <gtest/gtest.h>

#include <random>
#include <span>

#include "../../fuzz/fuzz_text.cpp"
#include "platform/charsets.h"
#include "platform/editsvc.h"
#include "platform/text_walk.h"
#include "support/emulation.h"
#ifdef QMR_HAVE_ICU
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/utf8.h>
#endif

namespace {

struct UseCharset {
    explicit UseCharset(const char* name) { EXPECT_EQ(qmr_use_charset(name), 0) << name; }
    ~UseCharset() { qmr_use_charset("single"); }
};

// A host's field of exactly the text's size, between guards.
Input none(nullptr, 0);
Field field(const std::string& text) { return Field(none, 0, text); }

TEST(TextModels, AgreeWithTheBuiltInsOnRandomCalls) {
    std::mt19937 random(20261206);
    for (int round = 0; round < (qmr_test::kEmulated ? 10000 : 100000); ++round) {
        std::uint8_t input[600];
        for (std::uint8_t& b : input) b = static_cast<std::uint8_t>(random());
        input[2] |= 1;  // the first text is made of pieces
        LLVMFuzzerTestOneInput(input, 8 + random() % (sizeof input - 8));
    }
    qmr_use_charset("single");
}

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
    Context ctx;
    Field text = field("\x0e#A#B"), set = field("a\x0e" + std::string(4092, '!') + "#Z"), subject = field("\x0e#Z\x0f");
    QMRFTRIM(nullptr, nullptr, ctx.get(), text.get(), text.get());
    qmr_int16 position = 99;
    QMRFVRFY(nullptr, nullptr, ctx.get(), subject.get(), set.get(), &position);
    EXPECT_EQ(text.text() + std::to_string(text.lengthNow() * 10 + position) + ctx.error(), "\x0e#A#B50");
}

// A result field that claims a maximum past the largest gets nothing
// written past its 4096th byte, even by a substring of 4096 bytes.
TEST(Mended, SubstringWritesNothingPastTheLargestField) {
    Context ctx;
    Input in(reinterpret_cast<const std::uint8_t*>("\7\3\1"), 3);  // maximum 4097, length 0, 4096 bytes in guards
    Field source = field(std::string(4096, 'a')), out(in, 0, "");
    OptionalNumber start{'N', 0, 0}, length{'N', 0, 0};
    QMRFSSTR(nullptr, nullptr, ctx.get(), source.get(), &start, &length, out.get());
    EXPECT_TRUE(out.maximum == 4097 && out.intact() && out.lengthNow() == 4096) << ctx.error();
}

// Edges random texts seldom reach: a lone shift code, first or second,
// joins no run.
TEST(TextModels, EdgesRandomTextsSeldomReach) {
    const UseCharset use("sosi");
    for (const auto& [first, second] : {std::pair("a\x0e!!\x0f", "\x0e"), std::pair("\x0f", "\x0e!!\x0f")}) {
        Context ctx;
        Field a = field(first), b = field(second), out = field(std::string(8, '~'));
        QMRFCCAT(nullptr, nullptr, ctx.get(), a.get(), b.get(), out.get());
        const std::string joined = std::string(first) + second + '\0';
        EXPECT_EQ(out.text().substr(0, joined.size()), joined);
    }
}

TEST(BufferRoutines, TakeNullArgumentsAsNothing) {
    char target[4] = "abc";
    Qmrrjust(nullptr), Qmrrjus2(nullptr, "abc", 4), Qmrrjus2(target, "xy", 0);
    EXPECT_EQ(QMROTRIM(nullptr, nullptr) + QMRVTRIM(nullptr, "a", nullptr) + QMRVTRIM(target, nullptr, nullptr), 0);
    EXPECT_EQ(Qmstrcpy(nullptr, "abc", 4), nullptr);
    EXPECT_EQ(std::string(Qmstrcpy(target, nullptr, 4)) + std::to_string(Qmstrcmp(nullptr, nullptr)), "   0");
}

// Names and tables: an unknown name or an incomplete table changes
// nothing, a host's table is copied (the fuzz target's goes out of scope
// once installed), and no table brings back single-byte text.
TEST(Charsets, ChoosingAndInstallingServices) {
    const QmrTextServices* single = &qmr::textServices();
    QmrTextServices host = *single;
    host.IsBlank = nullptr;
    EXPECT_EQ(qmr_use_charset("latin9") + qmr_use_charset(nullptr) + qmr_set_text_services(&host), -3);
    EXPECT_EQ(&qmr::textServices(), single);
    EXPECT_EQ(qmr_set_text_services(single), 0);
    EXPECT_NE(&qmr::textServices(), single) << "a host's table is a copy";
    EXPECT_EQ(qmr_use_charset("gbk") + qmr_set_text_services(nullptr), 0);
    EXPECT_EQ(&qmr::textServices(), single);
}

#ifdef QMR_HAVE_ICU

// A double-byte code as its two bytes, high first.
std::string pair(unsigned code) { return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }

// The one character that is all of `bytes`, else -1; `length` gets the
// length of the first character ICU reads (mapped or unassigned, but
// well-formed; 1 where it is ill-formed).
UChar32 icuDecode(const char* converterName, const std::string& bytes, int* length = nullptr) {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(converterName, &error);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    const char* at = bytes.data();
    const UChar32 c = ucnv_getNextUChar(converter, &at, bytes.data() + bytes.size(), &error);
    ucnv_close(converter);
    const int read = error == U_ILLEGAL_CHAR_FOUND ? 1 : static_cast<int>(at - bytes.data());
    if (length != nullptr) *length = read;
    return read == static_cast<int>(bytes.size()) ? c : -1;
}

// KS X 1001 in 8-bit form (EUC-KR) for the 7-bit pairs of "sosi".
const struct { const qmr::Charset& set; const char* icuName; } kSets[] = {
    {qmr::kShiftJis, "Shift_JIS"}, {qmr::kGbk, "GBK"}, {qmr::kBig5, "Big5"}, {qmr::kUhc, "windows-949"},
    {qmr::kShiftCodes, "ibm-970"}};

TEST(Charsets, AgreeWithIcu) {
    for (const auto& [set, icuName] : kSets) {
        const UseCharset use(set.name);
        const QmrTextServices& services = qmr::textServices();
        const unsigned high = set.shiftOut != 0 ? 0x8080 : 0;  // the 7-bit pairs of a run
        const qmr::TextRules rules = qmr::TextRules::current();  // the walkers read the byte roles
        for (unsigned code = 0; high == 0 && code <= 0xFFFF; ++code) {
            const std::string two = pair(code);
            int length = 0;
            icuDecode(icuName, two, &length);
            ASSERT_EQ(services.CharLength(two.data()), length) << code;
            ASSERT_EQ(rules.charLength(reinterpret_cast<const unsigned char*>(two.data()), 2), length) << code;
        }
        const char* blank = services.BlankOf(2);
        EXPECT_EQ(icuDecode(icuName, pair((unsigned(uint8_t(blank[0])) << 8 | uint8_t(blank[1])) | high)), 0x3000);
        EXPECT_TRUE(services.IsBlank(blank, 2) && !services.IsBlank("\x82\x60", 2) && services.IsBlank(" ", 1));
        int letters = 0;
        for (const qmr::CaseRun& run : std::span(set.caseRuns, std::size_t(set.caseRunCount))) {
            for (unsigned code = run.first; code <= run.last; ++code, ++letters) {
                EXPECT_EQ(icuDecode(icuName, pair(code | high)), 0xFF41 + letters) << set.name << " " << code;
                EXPECT_EQ(icuDecode(icuName, pair((run.upper + code - run.first) | high)), 0xFF21 + letters);
            }
        }
        EXPECT_EQ(letters, 26) << set.name;
    }
    EXPECT_EQ(icuDecode("ISO-2022-KR", "\x1b$)C" + std::string{char(qmr::kShiftCodes.shiftOut)} + "\x23\x41"), 0xFF21);
    const UseCharset thai("tis620");
    for (unsigned b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const UChar32 c = icuDecode("TIS-620", byte);
        EXPECT_EQ(qmr::textServices().IsCombining(byte.data()) != 0, c >= 0 && u_charType(c) == U_NON_SPACING_MARK);
        EXPECT_EQ(qmr::textServices().CharLength(byte.data()), 1) << b;
    }
}

// Random texts of well-formed characters and ill-formed bytes: each
// character ICU's decoder reads is one of the analysis, and its code is
// the code point; where ICU finds an ill-formed sequence, its first byte
// stands alone with a code past Unicode's.  Then every code point's
// upper-casing against u_toupper, where the capital is as long.
TEST(Charsets, Utf8AgreesWithIcu) {
    const UseCharset use("utf8");
    const QmrTextServices& s = qmr::textServices();
    std::mt19937 random(949);
    for (int round = 0; round < (qmr_test::kEmulated ? 200 : 3000); ++round) {
        std::string text;
        while (text.size() < 40) {
            // A code point (a surrogate's bytes are ill-formed), at times cut short, or a random byte.
            const UChar32 c = UChar32(1 + random() % (random() % 2 ? 0x7FF : 0x10FFFF));
            char bytes[4] = {char(1 + random() % 255)};
            int n = 0;
            if (random() % 8) U8_APPEND_UNSAFE(bytes, n, c);
            text.append(bytes, std::size_t(std::max(1, n - int(random() % 6 == 0))));
        }
        TextAnalysis* analysis = s.AnalyseText(text.c_str(), 0);
        int count = 0;
        for (int i = 0, next = 0; i < int(text.size()); i = next, ++count) {
            UChar32 c;
            U8_NEXT(text.data(), next, int(text.size()), c);
            if (c < 0) next = i + 1, c = qmr::kNotUnicode + (text[std::size_t(i)] & 0xFF);
            ASSERT_EQ(analysis->charLengths[count], next - i) << text.substr(std::size_t(i));
            ASSERT_EQ(s.CharCode(text.data() + i, qmr_int16(next - i)), c);
            ASSERT_EQ(s.CharLength(text.data() + i), next - i);
        }
        EXPECT_EQ(analysis->charCount, count);
        s.ReleaseAnalysis(analysis);
    }
    for (UChar32 c = 0x80; c <= 0x10FFFF; ++c) {
        char small[5] = {}, capital[5] = {};
        int n = 0, m = 0;
        U8_APPEND_UNSAFE(small, n, c);
        U8_APPEND_UNSAFE(capital, m, u_toupper(c));
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        qmr::VKUPPR(nullptr, nullptr, small);
        ASSERT_STREQ(small, n == m ? capital : small) << std::hex << c;
    }
}

#endif  // QMR_HAVE_ICU

}  // namespace
