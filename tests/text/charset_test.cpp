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
using namespace std::string_view_literals;

// An ICU converter that stops at the first sequence it cannot read.
class Converter {
public:
    explicit Converter(const char* name) {
        UErrorCode error = U_ZERO_ERROR;
        converter_ = ucnv_open(name, &error);
        EXPECT_TRUE(U_SUCCESS(error)) << name;
        ucnv_setToUCallBack(converter_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    }
    ~Converter() { ucnv_close(converter_); }
    // The bytes ICU reads as the first character (mapped or unassigned,
    // but well-formed); the character itself into `c`.
    int firstLength(std::string_view bytes, UChar32& c) {
        ucnv_reset(converter_);
        const char* at = bytes.data();
        UErrorCode error = U_ZERO_ERROR;
        c = ucnv_getNextUChar(converter_, &at, bytes.data() + bytes.size(), &error);
        return error == U_ILLEGAL_CHAR_FOUND ? 1 : static_cast<int>(at - bytes.data());
    }
    // The one character that is all of `bytes`, else -1.
    UChar32 decode(std::string_view bytes) {
        UChar32 c = 0;
        return firstLength(bytes, c) == static_cast<int>(bytes.size()) ? c : -1;
    }

private:
    UConverter* converter_ = nullptr;
};

struct IcuName { const char* charset; const char* icu; };
// KS X 1001 in 8-bit form (EUC-KR) for the 7-bit pairs of "sosi".
const IcuName kDoubleByteSets[] = {{"sjis", "Shift_JIS"}, {"gbk", "GBK"}, {"big5", "Big5"}, {"sosi", "ibm-970"}};

TEST(Charsets, LeadAndTrailBytesAreThoseIcuReadsAsOneCharacter) {
    for (const IcuName& set : std::span(kDoubleByteSets, 3)) {
        const UseCharset use(set.charset);
        const QmrTextServices& services = qmr::textServices();
        Converter icu(set.icu);
        int differences = 0;
        for (unsigned code = 0; code <= 0xFFFF; ++code) {
            UChar32 ignored;
            const std::string bytes = pair(code);
            differences += services.CharLength(bytes.data()) != icu.firstLength(bytes, ignored);
        }
        EXPECT_EQ(differences, 0) << set.charset;
    }
}

TEST(Charsets, BlanksAreTheIdeographicSpace) {
    for (const IcuName& set : kDoubleByteSets) {
        const UseCharset use(set.charset);
        const QmrTextServices& services = qmr::textServices();
        const char* blank = services.BlankOf(2);
        ASSERT_NE(blank, nullptr) << set.charset;
        const unsigned high = set.charset == "sosi"sv ? 0x8080 : 0;
        EXPECT_EQ(Converter(set.icu).decode(pair((uint8_t(blank[0]) << 8 | uint8_t(blank[1])) | high)), 0x3000);
        EXPECT_NE(services.IsBlank(blank, 2), 0);
        EXPECT_EQ(services.IsBlank("\x82\x60", 2), 0);
        EXPECT_STREQ(services.BlankOf(1), " ");
    }
    EXPECT_EQ(qmr::textServices().BlankOf(2), nullptr) << "single";
}

TEST(Charsets, ShiftCodesAreThoseOfIso2022Kr) {
    const UseCharset use("sosi");
    const QmrTextServices& services = qmr::textServices();
    const std::string text = "\x1b$)C" + std::string(1, static_cast<char>(services.ShiftOutCode())) + "\x23\x41";
    EXPECT_EQ(Converter("ISO-2022-KR").decode(text), 0xFF21);
}

TEST(Charsets, ThaiCombiningMarksAreIcuNonSpacingMarks) {
    const UseCharset use("tis620");
    const QmrTextServices& services = qmr::textServices();
    Converter icu("TIS-620");
    for (unsigned b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const UChar32 c = icu.decode(byte);
        EXPECT_EQ(services.IsCombining(byte.data()) != 0, c >= 0 && u_charType(c) == U_NON_SPACING_MARK) << b;
        EXPECT_EQ(services.CharLength(byte.data()), 1);
    }
}

TEST(Charsets, FullWidthLettersMapSmallToCapitalAsIcuReadsThem) {
    const qmr::Charset* sets[] = {&qmr::kShiftJis, &qmr::kGbk, &qmr::kBig5, &qmr::kShiftCodes};
    for (int i = 0; i < 4; ++i) {
        const qmr::Charset& set = *sets[i];
        Converter icu(kDoubleByteSets[i].icu);
        const unsigned high = set.shiftOut != 0 ? 0x8080 : 0;
        int letters = 0;
        for (const qmr::CaseRun& run : std::span(set.caseRuns, static_cast<std::size_t>(set.caseRunCount))) {
            for (unsigned code = run.first; code <= run.last; ++code, ++letters) {
                EXPECT_EQ(icu.decode(pair(code | high)), 0xFF41 + letters) << set.name << " " << code;
                EXPECT_EQ(icu.decode(pair((run.upper + code - run.first) | high)), 0xFF21 + letters) << set.name;
            }
        }
        EXPECT_EQ(letters, 26) << set.name;
    }
}

qmr_int16 QMR_CALL everyByteBlank(const char*, qmr_int16) {
    return 1;
}

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
    }
    EXPECT_EQ(qmr_set_text_services(nullptr), 0);
    EXPECT_EQ(&qmr::textServices(), single);
}

}  // namespace

#endif  // QMR_HAVE_ICU
