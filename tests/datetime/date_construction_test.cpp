// Dates built from text, day numbers, Julian and century forms, and the
// century form of a date, through qmr.h.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "datetime/clock.h"
#include "date_builtins.h"

namespace {

using date_test::call;
using date_test::kKept;

qmr::ClockReading clockIn2026() { return {2026, 12, 4, 13, 45, 25, 678}; }
qmr::ClockReading clockIn1999() { return {1999, 12, 31, 23, 59, 59, 999}; }

class DateText : public ::testing::Test {
protected:
    void SetUp() override { qmr::testing::setClock(clockIn2026); }
    void TearDown() override { qmr::testing::setClock(nullptr); }

    // QMRFDTEC on exactly 10 characters; shorter texts are blank-padded.
    static std::int32_t read(qmr_test::TestContext& context, std::string text) {
        text.resize(10, ' ');
        qmr_int32 out = date_test::kMarker32;
        QMRFDTEC(nullptr, nullptr, context.get(), text.data(), &out);
        return date_test::outcome(out);
    }
};

TEST_F(DateText, WholeGrammar) {
    const struct {
        const char* id;
        std::string_view text;
        std::int32_t date;  // kKept on every failure: the output is never cleared
        const char* error;
    } cases[] = {
        // year-month-day
        {"ymd.1", "2026-12-04", 20261204, ""},
        {"ymd.2", "2026-1-4", 20260104, ""},
        {"ymd.3", "2026-00-04", kKept, " 137"},   // a zero field
        {"ymd.4", "2026-12-", kKept, " 137"},     // no day: zero
        {"ymd.5", "26-12-04", kKept, " 138"},     // year of 2 digits
        {"ymd.6", "12-04-2026", kKept, " 138"},
        {"ymd.8", "2026-02-30", kKept, " 139"},   // read, then refused by the engine
        {"ymd.9", "2026-13-04", kKept, " 139"},
        // day.month.year
        {"dmy.1", "04.12.2026", 20261204, ""},
        {"dmy.3", "04.12.26", kKept, " 138"},
        {"dmy.4", "00.12.2026", kKept, " 137"},
        // month/day/year; a two-digit year takes the current century
        {"mdy.1", "12/04/2026", 20261204, ""},
        {"mdy.2", "12/04/26", 20261204, ""},
        {"mdy.3", " 12/ 4/26 ", 20261204, ""},    // blanks anywhere
        {"mdy.4", "12/04/00", 20001204, ""},      // a zero year is allowed
        {"mdy.5", "12/04/0000", 1204, ""},
        {"mdy.6", "12/04/026", kKept, " 138"},
        {"mdy.7", "12/04", kKept, " 138"},        // no year digits
        {"mdy.8", "00/04/2026", kKept, " 137"},
        {"mdy.9", "12/00/2026", kKept, " 137"},
        {"mdy.10", "02/29/2023", kKept, " 139"},
        {"mdy.11", "02/29/2024", 20240229, ""},
        {"mdy.12", "2026/12/04", kKept, " 139"},  // month 2026, day 12, year 04
        // no separator: a Julian form of 7 digits
        {"jul.1", "2026338", 20261204, ""},
        {"jul.3", "9999365", 99991231, ""},
        {"jul.4", " 2026 338 ", 20261204, ""},
        {"jul.5", "2026366", kKept, " 137"},      // no day 366 in 2026
        {"jul.6", "2026000", kKept, " 137"},
        {"jul.7", "20261204", kKept, " 138"},     // 8 digits
        {"jul.8", "1204", kKept, " 138"},
        {"jul.9", "9999999999", kKept, " 138"},
        // blanks and zeros: the empty date
        {"empty.1", "", 0, ""},
        {"empty.2", "0000000000", 0, ""},
        // refused characters and layouts
        {"bad.1", "2026-12-4x", kKept, " 137"},
        {"bad.3", std::string_view("12/04/26\0\0", 10), kKept, " 137"},  // NUL is no blank
        {"bad.4", "2026-12/04", kKept, " 138"},   // mixed separators
        {"bad.5", "1-2-3-4", kKept, " 138"},      // a third separator
        {"bad.6", "1/2/3/x", kKept, " 138"},      // refused at the separator, before the letter
        {"bad.7", "-", kKept, " 137"},
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(read(context, std::string(c.text)), c.date) << c.id;
        EXPECT_EQ(context.error(), c.error) << c.id;
        EXPECT_EQ(context.name(), "QMRFDTEC") << c.id;
    }
}

TEST_F(DateText, TwoDigitYearsTakeTheCenturyOfTheClock) {
    qmr::testing::setClock(clockIn1999);
    qmr_test::TestContext context;
    EXPECT_EQ(read(context, "12/04/26"), 19261204);
    EXPECT_EQ(read(context, "12/04/2026"), 20261204);
    EXPECT_FALSE(context.failed());
}

TEST_F(DateText, AFlagLeftSetStopsItWithoutOutput) {
    qmr_test::TestContext context;
    context.setByte(QMR_CC_ERROR_FLAG, 'Y');
    context.setText(QMR_CC_MESSAGE_NUMBER, " 999");
    EXPECT_EQ(read(context, "2026-12-04"), kKept);
    EXPECT_EQ(context.error(), " 999");
}

struct Case {
    const char* id;
    date_test::Caller function;
    const char* name;
    const char* input;
    std::int32_t output;
    const char* error;
};

TEST(DateConstruction, ResultsReportsAndOutputs) {
    const Case cases[] = {
        // from a day number; the output is kept on failure
        {"ten.1", call<QMRFDTEN>, "QMRFDTEN", "1", 10101, ""},
        {"ten.2", call<QMRFDTEN>, "QMRFDTEN", "739954", 20261204, ""},
        {"ten.3", call<QMRFDTEN>, "QMRFDTEN", "3652059", 99991231, ""},
        {"ten.4", call<QMRFDTEN>, "QMRFDTEN", "3652060", kKept, " 140"},
        {"ten.5", call<QMRFDTEN>, "QMRFDTEN", "0", kKept, " 136"},
        {"ten.7", call<QMRFDTEN>, "QMRFDTEN", "2147483647", kKept, " 140"},
        // from a Julian form; the output is kept on failure
        {"jdte.1", call<QMRFJDTE>, "QMRFJDTE", "2026338", 20261204, ""},
        {"jdte.3", call<QMRFJDTE>, "QMRFJDTE", "0", 0, ""},
        {"jdte.4", call<QMRFJDTE>, "QMRFJDTE", "2026000", kKept, " 137"},
        {"jdte.5", call<QMRFJDTE>, "QMRFJDTE", "2026366", kKept, " 137"},
        {"jdte.6", call<QMRFJDTE>, "QMRFJDTE", "-2026338", kKept, " 137"},
        // century form to date; cleared to 0 first
        {"ncyy.1", call<QMRFNCYY>, "QMRFNCYY", "1261204", 20261204, ""},
        {"ncyy.2", call<QMRFNCYY>, "QMRFNCYY", "9991231", 18991231, ""},
        {"ncyy.3", call<QMRFNCYY>, "QMRFNCYY", "7000101", 16000101, ""},
        {"ncyy.4", call<QMRFNCYY>, "QMRFNCYY", "6991231", 25991231, ""},
        {"ncyy.5", call<QMRFNCYY>, "QMRFNCYY", "0", 19000000, ""},  // month 0 and day 0 are valid
        {"ncyy.6", call<QMRFNCYY>, "QMRFNCYY", "7000000", 0, " 137"},  // 26000000
        {"ncyy.7", call<QMRFNCYY>, "QMRFNCYY", "1260230", 0, " 137"},
        {"ncyy.9", call<QMRFNCYY>, "QMRFNCYY", "2147483647", 0, " 137"},
        // date to century form; cleared to 0 first
        {"cyyd.1", call<QMRFCYYD>, "QMRFCYYD", "20261204", 1261204, ""},
        {"cyyd.2", call<QMRFCYYD>, "QMRFCYYD", "16000101", 7000101, ""},
        {"cyyd.3", call<QMRFCYYD>, "QMRFCYYD", "19000101", 101, ""},
        {"cyyd.5", call<QMRFCYYD>, "QMRFCYYD", "15991231", 0, " 137"},
        {"cyyd.6", call<QMRFCYYD>, "QMRFCYYD", "26000101", 0, " 137"},
        {"cyyd.7", call<QMRFCYYD>, "QMRFCYYD", "20260230", 0, " 137"},
        {"cyyn.1", call<QMRFCYYN>, "QMRFCYYN", "20261204", 1261204, ""},
        {"cyyn.2", call<QMRFCYYN>, "QMRFCYYN", "25991232", 0, " 137"},
    };
    for (const Case& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.id;
        EXPECT_EQ(context.error(), c.error) << c.id;
        EXPECT_EQ(context.name(), c.name) << c.id;
    }
}

// Every day of 0001-01-01..9999-12-31 goes from day number to date and
// back, and from date to Julian form and back.
TEST(DateConstruction, DayNumbersAndJulianFormsRoundTrip) {
    qmr_test::TestContext context;
    for (qmr_int32 n = 1; n <= 3652059; ++n) {
        qmr_int32 date = 0, back = 0, julian = 0, again = 0;
        QMRFDTEN(nullptr, nullptr, context.get(), &n, &date);
        QMRFDAYS(nullptr, nullptr, context.get(), &date, &back);
        QMRFDTEJ(nullptr, nullptr, context.get(), &date, &julian);
        QMRFJDTE(nullptr, nullptr, context.get(), &julian, &again);
        if (back != n || again != date || julian / 1000 != date / 10000) {
            FAIL() << n << " -> " << date << " -> " << back << ", julian " << julian << " -> " << again;
        }
    }
    EXPECT_FALSE(context.failed());
}

}  // namespace
