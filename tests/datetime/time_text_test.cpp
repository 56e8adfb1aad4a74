// QMRFTMEC and QMRFTSC over their grammars.  Text fields are laid out in
// exactly-sized heap blocks, so that a read past a field is an
// AddressSanitizer error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "qmr/qmr.h"
#include "support/context.h"

namespace {

using qmr_test::TestContext;

constexpr int32_t kUntouched = 0x5A5A5A5A;

// ------------------------------------------------------------- QMRFTMEC

struct TimeRead {
    int32_t time;
    std::string error;
};

TimeRead timeFromText(const std::string& text, TestContext& context) {
    const std::unique_ptr<char[]> exact(new char[8]);  // the eight characters, blank-padded
    std::memset(exact.get(), ' ', 8);
    std::memcpy(exact.get(), text.data(), std::min<std::size_t>(text.size(), 8));
    int32_t time = kUntouched;
    QMRFTMEC(nullptr, nullptr, context.get(), exact.get(), &time);
    EXPECT_EQ(context.name(), "QMRFTMEC");
    return {time, context.error()};
}

TimeRead timeFromText(const std::string& text) {
    TestContext context;
    return timeFromText(text, context);
}

TEST(TimeFromText, ReadsTheTwelvePictures) {
    const struct {
        const char* id;
        const char* text;
        int32_t time;  // kUntouched after a failure
        const char* error;
    } cases[] = {
        // each picture
        {"p.1", "12AM", 0, ""},
        {"p.2", "1PM", 130000, ""},
        {"p.3", "1230AM", 3000, ""},
        {"p.4", "12:30AM", 3000, ""},
        {"p.5", "1230PM", 123000, ""},
        {"p.6", "9:30 PM", 213000, ""},
        {"p.7", "1230", 123000, ""},
        {"p.8", "123045", 123045, ""},
        {"p.9", "13:00", 130000, ""},
        {"p.10", "12:30:45", 123045, ""},
        {"p.11", "12.30", 123000, ""},
        {"p.12", "12.30.45", 123045, ""},
        // numbers of one or two digits, cut after two
        {"n.1", "1:2:3", 10203, ""},
        {"n.2", "12345", 123405, ""},
        {"n.3", "1234 5", 123405, ""},
        {"n.4", "930", 0, " 141"},  // 93 and 0
        {"n.5", "0", 0, " 142"},  // HH alone is no picture
        {"n.6", "24:00", 240000, ""},
        {"n.7", "24:01", 0, " 141"},
        {"n.8", "12:60", 0, " 141"},
        // blanks
        {"b.1", "  9:30", 93000, ""},
        {"b.2", " 12 : 30", 123000, ""},
        {"b.3", "", 0, " 142"},
        // AM and PM
        {"a.1", "12:30 AM", 3000, ""},
        {"a.2", "12:30 PM", 123000, ""},
        {"a.3", "11PM", 230000, ""},
        {"a.4", "0:30 AM", 0, " 141"},
        {"a.5", "13:00 PM", 0, " 141"},
        {"a.6", "12:30 am", 0, " 142"},  // lower case is not a marker
        {"a.7", "12A", 0, " 142"},
        {"a.8", "12MM", 120000, ""},  // typed letters stand as themselves
        {"a.9", "12PMAM", 0, " 142"},
        // other pictures
        {"x.1", "12-30", 0, " 142"},
        {"x.2", "1:2:3:4", 0, " 142"},  // a fourth number
        {"x.3", ":1230", 0, " 142"},
        {"x.4", "AM", 0, " 142"},  // no number
        {"x.5", "1:2:3 PM", 0, " 142"},  // HH:MM:SSPM, ten characters: no picture
        {"x.6", "1:2:3XYZ", 0, " 142"},
        {"x.7", "12\t30", 0, " 142"},
    };
    for (const auto& c : cases) {
        const TimeRead read = timeFromText(c.text);
        EXPECT_EQ(read.error, c.error) << c.id << " '" << c.text << "'";
        EXPECT_EQ(read.time, *c.error ? kUntouched : c.time) << c.id << " '" << c.text << "'";
    }
}

TEST(TimeFromText, ChecksTheDateLeftInTheRequest) {
    TestContext context;
    context.request()->date = 20260230;
    EXPECT_EQ(timeFromText("12:30", context).error, " 141");
    context.request()->date = 20260228;
    context.clearError();
    EXPECT_EQ(timeFromText("12:30", context).error, "");
}

// Every text over a small alphabet that builds the longest pictures (one-
// digit numbers, separators, markers): nothing is written outside the
// picture, and a text is accepted only with one or two digits per number.
TEST(TimeFromText, SurvivesEveryShortText) {
    const char alphabet[] = {'1', '2', ' ', ':', 'A', 'P', 'M', 'x'};
    char text[8];
    long accepted = 0;
    TestContext context;
    for (long code = 0; code < 8L * 8 * 8 * 8 * 8 * 8 * 8 * 8; code += 7) {
        long rest = code;
        for (char& c : text) {
            c = alphabet[rest % 8];
            rest /= 8;
        }
        context.clearError();
        int32_t time = kUntouched;
        QMRFTMEC(nullptr, nullptr, context.get(), text, &time);
        if (!context.failed()) {
            ++accepted;
            ASSERT_TRUE(time >= 0 && time <= 240000) << std::string(text, 8);
        } else {
            ASSERT_EQ(time, kUntouched);
        }
    }
    EXPECT_GT(accepted, 0);
}

// ------------------------------------------------------------- QMRFTSC

struct StampRead {
    std::string timestamp;  // the 21 bytes of the output field
    std::string error;
};

// A text field of exactly `maxLength` bytes holding `text` (cut or
// padded with blanks), with a current length that nothing should read.
StampRead timestampFromText(const std::string& text, int32_t maxLength, TestContext& context) {
    const std::size_t bytes = 8 + static_cast<std::size_t>(maxLength > 0 ? maxLength : 0);
    const std::unique_ptr<unsigned char[]> field(new unsigned char[bytes]);
    qmr_test::putLe32(field.get() + QMR_TF_MAX_LENGTH, maxLength);
    qmr_test::putLe32(field.get() + QMR_TF_LENGTH, -77);
    std::memset(field.get() + QMR_TF_TEXT, ' ', bytes - 8);
    std::memcpy(field.get() + QMR_TF_TEXT, text.data(), std::min(text.size(), bytes - 8));
    char out[21];
    std::memset(out, '#', sizeof out);
    QMRFTSC(nullptr, nullptr, context.get(), reinterpret_cast<const TextField*>(field.get()), out);
    EXPECT_EQ(context.name(), "QMRFTSC ");
    return {std::string(out, 21), context.error()};
}

StampRead timestampFromText(const std::string& text, int32_t maxLength) {
    TestContext context;
    return timestampFromText(text, maxLength, context);
}

const std::string kKept(21, '#');

std::string result(const char* digits) { return std::string(digits) + '\0'; }

TEST(TimestampFromText, ReadsTheLayout) {
    const struct {
        const char* id;
        const char* text;
        int32_t maxLength;
        std::string timestamp;
        const char* error;
    } cases[] = {
        {"l.1", "2001-02-03-04.05.06.000007", 26, result("20010203040506000007"), ""},
        {"l.2", "2001-02-03", 30, result("20010203000000000000"), ""},
        {"l.3", "2001-02-03-04.05.06", 30, result("20010203040506000000"), ""},
        {"l.4", "2001-02-03-24.00.00", 30, result("20010203240000000000"), ""},
        {"l.5", "2001-02-03-04.05.06.999999xyz", 40, result("20010203040506999999"), ""},  // read to 25 only
        // short fields: positions at or past the maximum length are blanks
        {"f.1", "2001-02-03", 10, result("20010203000000000000"), ""},
        {"f.2", "2001-02-03-04.05.06", 19, result("20010203040506000000"), ""},
        {"f.3", "2001-02-03-04.05.06.0000", 24, kKept, " 141"},
        {"f.4", "2001-02-03-04.0", 15, kKept, " 141"},
        {"f.5", "2001-02-03-", 11, kKept, " 141"},
        {"f.6", "2001-02-0", 9, kKept, " 137"},
        {"f.7", "2", 1, kKept, " 137"},
        {"f.8", "", 0, kKept, " 130"},
        {"f.9", "2001-02-03", 4097, kKept, " 130"},
        {"f.10", "2001-02-03", 4096, result("20010203000000000000"), ""},
        // the engine's checks
        {"e.1", "2001-02-30", 10, kKept, " 139"},
        {"e.2", "1900-02-29", 10, kKept, " 139"},
        {"e.3", "2000-02-29", 10, result("20000229000000000000"), ""},
        {"e.4", "2001-02-03-25.00.00", 19, kKept, " 141"},
        {"e.5", "2001-02-03-12.60.00", 19, kKept, " 141"},
        {"e.6", "2001-02-30-25.00.00", 19, kKept, " 139"},  // the date is checked first
        // layout faults
        {"x.1", "", 30, kKept, " 137"},
        {"x.2", "2001-02-03-04.05.06.12345", 30, kKept, " 141"},
        {"x.3", " 2001-02-03", 30, kKept, " 137"},
    };
    for (const auto& c : cases) {
        const StampRead read = timestampFromText(c.text, c.maxLength);
        EXPECT_EQ(read.error, c.error) << c.id;
        EXPECT_EQ(read.timestamp, c.timestamp) << c.id;
    }
}

// A wrong character at each position: the date part reports " 137", the
// time part " 141".
TEST(TimestampFromText, NamesThePartOfAWrongCharacter) {
    const std::string good = "2001-02-03-04.05.06.000007";
    for (std::size_t position = 0; position < good.size(); ++position) {
        std::string text = good;
        text[position] = 'x';
        EXPECT_EQ(timestampFromText(text, 26).error, position <= 10 ? " 137" : " 141") << position;
    }
}

TEST(TimestampFromText, ChecksTheTimeLeftInTheRequest) {
    TestContext context;
    const int32_t invalid = 246000;
    qmr_int16 hour = 0;
    QMRFHOUR(nullptr, nullptr, context.get(), &invalid, &hour);
    context.clearError();
    EXPECT_EQ(timestampFromText("2001-02-03", 10, context).error, " 139");
    const DateRequest& r = *context.request();
    EXPECT_EQ(r.date, 20010203);
}

}  // namespace
