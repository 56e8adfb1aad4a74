// The built-in character sets against ICU's converters, and the choice of
// the services in force.
#ifdef QMR_HAVE_ICU
#include <unicode/uchar.h>
#include <unicode/ucnv.h>

#include <span>

#include "platform/charsets.h"
#include "platform/mbtext.h"
#include "text/text_test.h"

namespace {

using namespace qmr_test;

// An ICU converter that stops at the first byte sequence it cannot map.
class Converter {
public:
    explicit Converter(const char* name) {
        UErrorCode error = U_ZERO_ERROR;
        converter_ = ucnv_open(name, &error);
        EXPECT_TRUE(U_SUCCESS(error)) << name;
        ucnv_setToUCallBack(converter_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    }
    ~Converter() { ucnv_close(converter_); }
    // The bytes ICU reads as its first character (mapped or unassigned,
    // but well-formed), and that character.
    int firstCharacter(std::string_view bytes, UChar32& character) {
        ucnv_reset(converter_);
        const char* at = bytes.data();
        UErrorCode error = U_ZERO_ERROR;
        character = ucnv_getNextUChar(converter_, &at, bytes.data() + bytes.size(), &error);
        return error == U_ILLEGAL_CHAR_FOUND ? 1 : static_cast<int>(at - bytes.data());
    }
    std::u16string decodeAll(std::string_view bytes) {
        std::u16string text(bytes.size(), u'\0');
        UErrorCode error = U_ZERO_ERROR;
        const int n = ucnv_toUChars(converter_, reinterpret_cast<UChar*>(text.data()), static_cast<int>(text.size()),
                                    bytes.data(), static_cast<int>(bytes.size()), &error);
        return U_SUCCESS(error) ? text.substr(0, static_cast<std::size_t>(n)) : u"?";
    }
    UChar32 decode(std::string_view bytes) {
        UChar32 character = 0;
        return firstCharacter(bytes, character) == static_cast<int>(bytes.size()) ? character : -1;
    }

private:
    UConverter* converter_ = nullptr;
};

std::string pair(unsigned code) { return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }

struct LeadByteSet {
    const char* name;
    const char* icuName;
};
const LeadByteSet kLeadByteSets[] = {{"sjis", "Shift_JIS"}, {"gbk", "GBK"}, {"big5", "Big5"}};

TEST(Charsets, LeadAndTrailBytesAreThoseIcuReadsAsOneCharacter) {
    for (const auto& set : kLeadByteSets) {
        const UseCharset use(set.name);
        const QmrTextServices& services = qmr::textServices();
        Converter icu(set.icuName);
        EXPECT_NE(services.UsesLeadBytes(), 0);
        EXPECT_EQ(services.ShiftOutCode(), 0);
        int differences = 0;
        for (unsigned code = 0; code <= 0xFFFF; ++code) {
            UChar32 ignored;
            const std::string bytes = pair(code);
            differences += services.CharLength(bytes.data()) != icu.firstCharacter(bytes, ignored);
        }
        EXPECT_EQ(differences, 0) << set.name;
    }
}

TEST(Charsets, BlanksAreTheIdeographicSpace) {
    const struct {
        const char* name;
        const char* icuName;
    } sets[] = {{"sjis", "Shift_JIS"}, {"gbk", "GBK"}, {"big5", "Big5"}, {"sosi", "ibm-970"}};
    for (const auto& set : sets) {
        const UseCharset use(set.name);
        const QmrTextServices& services = qmr::textServices();
        const char* blank = services.BlankOf(2);
        ASSERT_NE(blank, nullptr) << set.name;
        std::string bytes(blank, 2);
        if (set.name == "sosi"sv) bytes = pair((0x8080 | static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]));
        EXPECT_EQ(Converter(set.icuName).decode(bytes), 0x3000) << set.name;
        EXPECT_NE(services.IsBlank(blank, 2), 0);
        EXPECT_EQ(services.IsBlank("\x82\x60", 2), 0);
        EXPECT_STREQ(services.BlankOf(1), " ");
    }
    const UseCharset use("single");
    EXPECT_EQ(qmr::textServices().BlankOf(2), nullptr);
}

// The KS X 1001 pairs of "sosi" are ISO-2022-KR's double-byte characters.
TEST(Charsets, ShiftCodesAreThoseOfIso2022Kr) {
    const UseCharset use("sosi");
    const QmrTextServices& services = qmr::textServices();
    const std::string text = "\x1b$)C" SO + std::string(services.BlankOf(2), 2) + "\x23\x41" SI "A";
    EXPECT_TRUE(Converter("ISO-2022-KR").decodeAll(text) == u"\u3000\uff21A");
    EXPECT_EQ(services.ShiftOutCode(), 0x0E);
    EXPECT_EQ(services.ShiftInCode(), 0x0F);
    EXPECT_EQ(services.UsesLeadBytes(), 0);
}

TEST(Charsets, ThaiCombiningMarksAreIcuNonSpacingMarks) {
    const UseCharset use("tis620");
    const QmrTextServices& services = qmr::textServices();
    Converter icu("TIS-620");
    EXPECT_NE(services.UsesCombining(), 0);
    for (unsigned b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const UChar32 c = icu.decode(byte);
        EXPECT_EQ(services.IsCombining(byte.data()) != 0, c >= 0 && u_charType(c) == U_NON_SPACING_MARK) << b;
        EXPECT_EQ(services.CharLength(byte.data()), 1);
    }
}

TEST(Charsets, FullWidthLettersMapSmallToCapitalAsIcuReadsThem) {
    const struct {
        const qmr::Charset& set;
        const char* icuName;
    } sets[] = {{qmr::kShiftJis, "Shift_JIS"}, {qmr::kGbk, "GBK"}, {qmr::kBig5, "Big5"}, {qmr::kShiftCodes, "ibm-970"}};
    for (const auto& [set, icuName] : sets) {
        Converter icu(icuName);
        const unsigned high = set.shiftOut != 0 ? 0x8080 : 0;  // KS X 1001 in its 8-bit form
        int letters = 0;
        for (const qmr::CaseRun& run : std::span(set.caseRuns, static_cast<std::size_t>(set.caseRunCount))) {
            for (unsigned code = run.first; code <= run.last; ++code, ++letters) {
                const UChar32 small = icu.decode(pair(code | high));
                EXPECT_EQ(small, 0xFF41 + letters) << set.name << std::hex << " " << code;
                EXPECT_EQ(icu.decode(pair((run.upper + code - run.first) | high)), small - 0x20) << set.name;
            }
        }
        EXPECT_EQ(letters, 26) << set.name;
    }
}

TEST(Charsets, CodesAndAnalysis) {
    const UseCharset use("sjis");
    const QmrTextServices& services = qmr::textServices();
    EXPECT_EQ(services.CharCode(" ", 1), 32);
    EXPECT_EQ(services.CharCode("\x82\x60", 2), 0x8260);
    TextAnalysis* analysis = services.AnalyseText("a\x82\x60 \x81", 0);
    ASSERT_NE(analysis, nullptr);
    EXPECT_EQ(analysis->byteLength, 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(analysis->charLengths), 4), "\1\2\1\1");
    EXPECT_EQ(analysis->usable, 1);
    services.ReleaseAnalysis(analysis);
    analysis = services.AnalyseText("", 0);
    EXPECT_EQ(analysis->usable, 0);
    services.ReleaseAnalysis(analysis);
    services.ReleaseAnalysis(nullptr);
}

qmr_int16 QMR_CALL everyByteBlank(const char*, qmr_int16) { return 1; }

TEST(Charsets, ChoosingAndInstallingServices) {
    const QmrTextServices* single = &qmr::textServices();
    EXPECT_EQ(qmr_use_charset("latin9"), -1);
    EXPECT_EQ(qmr_use_charset(nullptr), -1);
    EXPECT_EQ(&qmr::textServices(), single) << "an unknown name changes nothing";
    {
        const UseCharset use("gbk");
        QmrTextServices host = qmr::textServices();
        host.IsBlank = everyByteBlank;
        EXPECT_EQ(qmr_set_text_services(&host), 0);
        host.IsBlank = nullptr;  // the library holds its own copy
        EXPECT_EQ(qmr::textServices().IsBlank("x", 1), 1);
        EXPECT_EQ(qmr_set_text_services(&host), -1) << "an operation is missing";
        EXPECT_EQ(qmr::textServices().IsBlank("x", 1), 1);
        EXPECT_TRUE(qmr::caseRunsOf(qmr::textServices()).empty());
    }
    EXPECT_EQ(qmr_set_text_services(nullptr), 0);
    EXPECT_EQ(&qmr::textServices(), single);
}

}  // namespace

#endif  // QMR_HAVE_ICU
