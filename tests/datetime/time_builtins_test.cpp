// QMRFTMEC and QMRFTSC over their grammars, on exactly-sized heap fields
// (the time components are in date_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "date_builtins.h"

namespace {

using date_test::kKept;
using qmr_test::TestContext;

TEST(TimeFromText, ReadsTheTwelvePictures) {
    const struct {
        const char* text;
        int32_t time;  // kKept after a failure
        const char* error;
    } cases[] = {
        // each picture
        {"12AM", 0, ""}, {"1PM", 130000, ""}, {"1230AM", 3000, ""}, {"12:30AM", 3000, ""}, {"1230PM", 123000, ""},
        {"9:30 PM", 213000, ""}, {"1230", 123000, ""}, {"123045", 123045, ""}, {"13:00", 130000, ""},
        {"12.30.45", 123045, ""},
        // numbers of one or two digits, cut after two
        {"1:2:3", 10203, ""}, {"12345", 123405, ""},
        {"930", kKept, " 141"},  // 93 and 0, refused by the engine
        {"0", kKept, " 142"},    // HH alone is no picture
        {" 12 : 30", 123000, ""}, {"", kKept, " 142"},  // blanks
        // AM and PM
        {"0:30 AM", kKept, " 141"}, {"13:00 PM", kKept, " 141"},
        {"12:30 am", kKept, " 142"},  // lower case is not a marker
        {"12A", kKept, " 142"},
        {"12MM", 120000, ""},  // typed letters stand as themselves
        // other pictures
        {"12-30", kKept, " 142"},
        {"1:2:3:4", kKept, " 142"},   // a fourth number
        {"1:2:3 PM", kKept, " 142"},  // HH:MM:SSPM, ten characters: no picture
    };
    for (const auto& c : cases) {
        TestContext context;
        EXPECT_EQ(date_test::timeText(context.get(), c.text), c.time) << "'" << c.text << "'";
        EXPECT_EQ(context.name(), "QMRFTMEC");
        EXPECT_EQ(context.error(), c.error) << "'" << c.text << "'";
    }
}

// QMRFTSC on an exactly `maxLength`-byte field holding `text`, with a
// current length nothing may read; the 21 output bytes, '#' where untouched.
std::string timestampFromText(TestContext& context, const std::string& text, int32_t maxLength) {
    const auto field = date_test::exactField(std::string(QMR_TF_TEXT, '\0') + text,
                                             QMR_TF_TEXT + static_cast<std::size_t>(std::max(maxLength, 0)));
    qmr_test::putLe32(reinterpret_cast<unsigned char*>(field.get()) + QMR_TF_MAX_LENGTH, maxLength);
    qmr_test::putLe32(reinterpret_cast<unsigned char*>(field.get()) + QMR_TF_LENGTH, -77);
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
        {"2001-02-03-04.05.06.999999xyz", 40, "20010203040506999999", ""},  // read to 25 only
        // short fields: positions at or past the maximum length are blanks
        {"2001-02-03", 10, "20010203000000000000", ""}, {"2001-02-03-04.05.06", 19, "20010203040506000000", ""},
        {"2001-02-03-04.05.06.0000", 24, kept, " 141"}, {"2001-02-03-", 11, kept, " 141"},
        {"2001-02-0", 9, kept, " 137"}, {"", 0, kept, " 130"}, {"2001-02-03", 4097, kept, " 130"},
        {"2001-02-03", 4096, "20010203000000000000", ""},
        // the engine's checks, the date first
        {"2001-02-30", 10, kept, " 139"}, {"2001-02-03-25.00.00", 19, kept, " 141"},
        {"2001-02-30-25.00.00", 19, kept, " 139"},
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

}  // namespace
