// Time and timestamp component functions, QMRFTMEC and QMRFTSC over their
// grammars, called as a host calls them, and the way they share the call
// context's date request with the date functions.  Text fields are laid
// out in exactly-sized heap blocks, so that a read past a field is an
// AddressSanitizer error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "date_builtins.h"

namespace {

using date_test::call;
using date_test::kKept;
using qmr_test::TestContext;

constexpr int32_t kBlanks = 0x20202020;  // four blank bytes

// A 20-character timestamp with the given time and microseconds parts.
std::string stamp(const char* hhmmss, const char* micros = "000000") {
    return std::string("20261204") + hhmmss + micros;
}

TEST(TimeComponents, ResultsReportsAndOutputs) {
    const struct {
        date_test::Caller function;
        const char* name;
        std::string input;  // a time number or a timestamp
        const char* error;
        int32_t output;  // also after a failure: the value set on entry
    } cases[] = {
        {call<QMRFHOUR>, "QMRFHOUR", "134525", "", 13},
        {call<QMRFHOUR>, "QMRFHOUR", "240000", "", 24},  // 24:00:00 is a time
        {call<QMRFHOUR>, "QMRFHOUR", "0", "", 0},
        {call<QMRFHOUR>, "QMRFHOUR", "235960", " 141", 0},  // 60 seconds
        {call<QMRFMIN>, "QMRFMIN ", "134525", "", 45},         {call<QMRFSEC>, "QMRFSEC ", "134525", "", 25},
        {call<QMRFHRTS>, "QMRFHRTS", stamp("134525"), "", 13},
        {call<QMRFHRTS>, "QMRFHRTS", stamp("      "), "", 0},         // blank time is 0
        {call<QMRFHRTS>, "QMRFHRTS", stamp("246000"), " 141", 0},
        {call<QMRFHRTS>, "QMRFHRTS", "XXXXXXXX134525XXXXXX", "", 13},  // the date is not looked at
        {call<QMRFMITS>, "QMRFMITS", stamp("134525"), "", 45},
        {call<QMRFSCTS>, "QMRFSCTS", stamp("13x525"), "", 13},  // a slice stops at a non-digit
        {call<QMRFMICR>, "QMRFMICR", stamp("134525", "000123"), "", 123},
        {call<QMRFMICR>, "QMRFMICR", stamp("134525", "-12345"), "", -12345},  // never validated
        {call<QMRFMICR>, "QMRFMICR", stamp("246000", "000123"), " 141", 0},
        {call<QMRFTMTS>, "QMRFTMTS", stamp("134525"), "", 134525},
        {call<QMRFTMTS>, "QMRFTMTS", stamp("235960"), " 141", 0},
        {call<QMRFNUMT>, "QMRFNUMT", "134525", "", 134525},
        {call<QMRFNUMT>, "QMRFNUMT", "246000", " 141", kBlanks},
        // plain values: no validation, no failure, whatever the date request holds
        {call<QMRFHRN>, "QMRFHRN ", "-10000", "", -1},  // truncating division
        {call<QMRFHRN>, "QMRFHRN ", "-2147483648", "", -214748},
        {call<QMRFMINN>, "QMRFMINN", "-134525", "", -45},
        {call<QMRFSECN>, "QMRFSECN", "2147483647", "", 47},
        {call<QMRFTNUM>, "QMRFTNUM", "246000", "", 246000},
        {call<QMRFTNUM>, "QMRFTNUM", "-2147483648", "", INT32_MIN},
    };
    for (const auto& c : cases) {
        TestContext context;
        const bool plain = std::string("QMRFHRN |QMRFMINN|QMRFSECN|QMRFTNUM").find(c.name) != std::string::npos;
        if (plain) context.request()->date = 20261232;  // an invalid date would fail any engine call
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.name << " " << c.input;
        EXPECT_EQ(context.error(), c.error) << c.name << " " << c.input;
        EXPECT_EQ(context.name(), c.name) << c.input;
        EXPECT_EQ(context.facility(), *c.error ? "RQ" : std::string(2, '\0')) << c.name;
        const DateRequest& r = *context.request();
        EXPECT_EQ(r.requestCode, plain ? 0 : '0') << c.name << ": the engine is asked only to validate";
        EXPECT_EQ(r.timeForm, plain ? 0 : '2') << c.name;
    }
    TestContext context;
    int32_t field = 134525;
    QMRFNUMT(nullptr, nullptr, context.get(), &field, &field);
    QMRFTNUM(nullptr, nullptr, context.get(), &field, &field);
    EXPECT_EQ(field, 134525) << "one field as input and output";
    EXPECT_FALSE(context.failed());
}

int32_t timeFromText(TestContext& context, const std::string& text) {
    const std::unique_ptr<char[]> exact(new char[8]);  // the eight characters, blank-padded
    std::memset(exact.get(), ' ', 8);
    std::memcpy(exact.get(), text.data(), std::min<std::size_t>(text.size(), 8));
    qmr_int32 time = date_test::kMarker32;
    QMRFTMEC(nullptr, nullptr, context.get(), exact.get(), &time);
    EXPECT_EQ(context.name(), "QMRFTMEC");
    return date_test::outcome(time);
}

TEST(TimeFromText, ReadsTheTwelvePictures) {
    const struct {
        const char* text;
        int32_t time;  // kKept after a failure
        const char* error;
    } cases[] = {
        // each picture
        {"12AM", 0, ""}, {"1PM", 130000, ""}, {"1230AM", 3000, ""}, {"12:30AM", 3000, ""}, {"1230PM", 123000, ""},
        {"9:30 PM", 213000, ""}, {"1230", 123000, ""}, {"123045", 123045, ""}, {"13:00", 130000, ""},
        {"12:30:45", 123045, ""}, {"12.30", 123000, ""}, {"12.30.45", 123045, ""},
        // numbers of one or two digits, cut after two
        {"1:2:3", 10203, ""}, {"12345", 123405, ""},
        {"930", kKept, " 141"},  // 93 and 0
        {"0", kKept, " 142"},    // HH alone is no picture
        {"24:00", 240000, ""}, {"24:01", kKept, " 141"},
        // blanks
        {"  9:30", 93000, ""}, {" 12 : 30", 123000, ""}, {"", kKept, " 142"},
        // AM and PM
        {"12:30 AM", 3000, ""}, {"12:30 PM", 123000, ""}, {"0:30 AM", kKept, " 141"}, {"13:00 PM", kKept, " 141"},
        {"12:30 am", kKept, " 142"},  // lower case is not a marker
        {"12A", kKept, " 142"},
        {"12MM", 120000, ""},  // typed letters stand as themselves
        {"12PMAM", kKept, " 142"},
        // other pictures
        {"12-30", kKept, " 142"},
        {"1:2:3:4", kKept, " 142"},   // a fourth number
        {"AM", kKept, " 142"},        // no number
        {"1:2:3 PM", kKept, " 142"},  // HH:MM:SSPM, ten characters: no picture
    };
    for (const auto& c : cases) {
        TestContext context;
        EXPECT_EQ(timeFromText(context, c.text), c.time) << "'" << c.text << "'";
        EXPECT_EQ(context.error(), c.error) << "'" << c.text << "'";
    }
}

// Every text over a small alphabet that builds the longest pictures (one-
// digit numbers, separators, markers): nothing is written outside the
// picture, and an accepted text gives a time of the day.
TEST(TimeFromText, SurvivesEveryShortText) {
    const char alphabet[] = {'1', '2', ' ', ':', 'A', 'P', 'M', 'x'};
    char text[8];
    long accepted = 0;
    TestContext context;
    for (long code = 0; code < 8L * 8 * 8 * 8 * 8 * 8 * 8 * 8; code += 7) {
        for (long rest = code, i = 0; i < 8; ++i, rest /= 8) text[i] = alphabet[rest % 8];
        context.clearError();
        int32_t time = date_test::kMarker32;
        QMRFTMEC(nullptr, nullptr, context.get(), text, &time);
        accepted += !context.failed();
        ASSERT_TRUE(context.failed() ? time == date_test::kMarker32 : time >= 0 && time <= 240000)
            << std::string(text, 8);
    }
    EXPECT_GT(accepted, 0);
}

// QMRFTSC on a text field of exactly `maxLength` bytes holding `text`
// (cut or padded with blanks), with a current length that nothing should
// read; the 21 bytes of the output field, '#' where untouched.
std::string timestampFromText(TestContext& context, const std::string& text, int32_t maxLength) {
    const std::size_t bytes = 8 + static_cast<std::size_t>(std::max(maxLength, 0));
    const std::unique_ptr<unsigned char[]> field(new unsigned char[bytes]);
    qmr_test::putLe32(field.get() + QMR_TF_MAX_LENGTH, maxLength);
    qmr_test::putLe32(field.get() + QMR_TF_LENGTH, -77);
    std::memset(field.get() + QMR_TF_TEXT, ' ', bytes - 8);
    std::memcpy(field.get() + QMR_TF_TEXT, text.data(), std::min(text.size(), bytes - 8));
    char out[21];
    std::memset(out, '#', sizeof out);
    QMRFTSC(nullptr, nullptr, context.get(), reinterpret_cast<const TextField*>(field.get()), out);
    EXPECT_EQ(context.name(), "QMRFTSC ");
    return std::string(out, 21);
}

TEST(TimestampFromText, ReadsTheLayout) {
    const std::string kept(21, '#');
    const struct {
        const char* text;
        int32_t maxLength;
        std::string timestamp;  // the 20 digits, or kept
        const char* error;
    } cases[] = {
        {"2001-02-03-04.05.06.000007", 26, "20010203040506000007", ""},
        {"2001-02-03", 30, "20010203000000000000", ""},
        {"2001-02-03-04.05.06", 30, "20010203040506000000", ""},
        {"2001-02-03-24.00.00", 30, "20010203240000000000", ""},
        {"2001-02-03-04.05.06.999999xyz", 40, "20010203040506999999", ""},  // read to 25 only
        // short fields: positions at or past the maximum length are blanks
        {"2001-02-03", 10, "20010203000000000000", ""},
        {"2001-02-03-04.05.06", 19, "20010203040506000000", ""},
        {"2001-02-03-04.05.06.0000", 24, kept, " 141"},
        {"2001-02-03-", 11, kept, " 141"},
        {"2001-02-0", 9, kept, " 137"},
        {"", 0, kept, " 130"},
        {"2001-02-03", 4097, kept, " 130"},
        {"2001-02-03", 4096, "20010203000000000000", ""},
        // the engine's checks, the date first
        {"2001-02-30", 10, kept, " 139"},
        {"2001-02-03-25.00.00", 19, kept, " 141"},
        {"2001-02-30-25.00.00", 19, kept, " 139"},
        {"2001-02-03-04.05.06.12345", 30, kept, " 141"},
    };
    for (const auto& c : cases) {
        TestContext context;
        EXPECT_EQ(timestampFromText(context, c.text, c.maxLength), c.timestamp == kept ? kept : c.timestamp + '\0')
            << c.text;
        EXPECT_EQ(context.error(), c.error) << c.text;
    }
    // A wrong character at each position: the date part reports " 137", the time part " 141".
    const std::string good = "2001-02-03-04.05.06.000007";
    for (std::size_t position = 0; position < good.size(); ++position) {
        std::string text = good;
        text[position] = 'x';
        TestContext context;
        timestampFromText(context, text, 26);
        EXPECT_EQ(context.error(), position <= 10 ? " 137" : " 141") << position;
    }
}

// The functions store only the time, the request code and the time form
// in the date request, so whatever date the previous call left there is
// validated with them, and the date functions in turn validate the time
// the time functions leave.
TEST(TimeComponents, ShareTheDateRequestWithEarlierCalls) {
    TestContext context;
    ASSERT_EQ(timestampFromText(context, "2001-02-30", 10), std::string(21, '#'));
    ASSERT_EQ(context.error(), " 139") << "refused 2001-02-30 and left it in the block";
    const std::pair<date_test::Caller, std::string> validating[] = {
        {call<QMRFHOUR>, "134525"},         {call<QMRFMIN>, "134525"},          {call<QMRFSEC>, "134525"},
        {call<QMRFNUMT>, "134525"},         {call<QMRFHRTS>, stamp("134525")}, {call<QMRFMITS>, stamp("134525")},
        {call<QMRFSCTS>, stamp("134525")}, {call<QMRFMICR>, stamp("134525")}, {call<QMRFTMTS>, stamp("134525")}};
    for (const auto& [function, input] : validating) {
        context.clearError();
        function(context.get(), input);
        EXPECT_EQ(context.error(), " 141") << "a valid time fails after a date call left an invalid date";
    }
    context.clearError();
    EXPECT_EQ(timeFromText(context, "12:30"), kKept);
    EXPECT_EQ(context.error(), " 141");

    context.clearError();
    timestampFromText(context, "2001-02-28", 10);
    ASSERT_FALSE(context.failed());
    EXPECT_EQ(call<QMRFHOUR>(context.get(), "134525"), 13);
    EXPECT_FALSE(context.failed()) << "until a call stores a good date";

    // A failing time function leaves its time; a date check that follows
    // fails on it although its own date is good, and so does the
    // timestamp duration's input date check.
    EXPECT_EQ(call<QMRFMIN>(context.get(), "246000"), 0);
    context.clearError();
    timestampFromText(context, "2001-02-03", 10);
    EXPECT_EQ(context.error(), " 139");
    EXPECT_EQ(context.request()->date, 20010203);
    context.clearError();
    context.setText(QMR_CC_DUR_TIMESTAMP, "20010228000000000000");
    context.setByte(QMR_CC_DUR_DAYS_SELECTED, 'Y');
    context.setInt32At(QMR_CC_DUR_DAYS, 1);
    QMRFSDUR(nullptr, nullptr, context.get());
    EXPECT_EQ(context.error(), " 137");
}

}  // namespace
