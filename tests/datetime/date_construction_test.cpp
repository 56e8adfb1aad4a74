// Dates built from text, day numbers, Julian and century forms, and the
// century form of a date, through qmr.h.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "date_builtins.h"

namespace {

using date_test::call;
using date_test::kKept;

TEST(DateText, WholeGrammar) {
    const date_test::FixedClock clock;
    const struct {
        std::string_view text;
        std::int32_t date;  // kKept on every failure: the output is never cleared
        const char* error;
    } cases[] = {
        // year-month-day
        {"2026-12-04", 20261204, ""}, {"2026-1-4", 20260104, ""}, {"2026-00-04", kKept, " 137"},  // a zero field
        {"2026-12-", kKept, " 137"},  // no day: zero
        {"26-12-04", kKept, " 138"},  // year of 2 digits
        {"2026-02-30", kKept, " 139"},  // read, then refused by the engine
        // day.month.year
        {"04.12.2026", 20261204, ""}, {"04.12.26", kKept, " 138"}, {"00.12.2026", kKept, " 137"},
        // month/day/year; a two-digit year takes the current century, a zero year is allowed
        {"12/04/2026", 20261204, ""}, {"12/04/26", 20261204, ""}, {" 12/ 4/26 ", 20261204, ""},  // blanks anywhere
        {"12/04/00", 20001204, ""}, {"12/04/0000", 1204, ""}, {"12/04", kKept, " 138"},  // no year digits
        {"00/04/2026", kKept, " 137"}, {"12/00/2026", kKept, " 137"}, {"02/29/2023", kKept, " 139"},
        {"2026/12/04", kKept, " 139"},  // month 2026, day 12, year 04
        // no separator: a Julian form of 7 digits
        {"2026338", 20261204, ""}, {" 2026 338 ", 20261204, ""}, {"2026366", kKept, " 137"},  // no day 366 in 2026
        {"20261204", kKept, " 138"}, {"9999999999", kKept, " 138"},
        // blanks and zeros: the empty date
        {"", 0, ""}, {"0000000000", 0, ""},
        // refused characters and layouts
        {"2026-12-4x", kKept, " 137"}, {std::string_view("12/04/26\0\0", 10), kKept, " 137"},  // NUL is no blank
        {"2026-12/04", kKept, " 138"},  // mixed separators
        {"1-2-3-4", kKept, " 138"},     // a third separator
        {"1/2/3/x", kKept, " 138"},     // refused at the separator, before the letter
        {"-", kKept, " 137"},
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(date_test::dateText(context.get(), std::string(c.text)), c.date) << c.text;
        EXPECT_EQ(context.error(), c.error) << c.text;
        EXPECT_EQ(context.name(), "QMRFDTEC") << c.text;
    }
}

TEST(DateText, TwoDigitYearsTakeTheCenturyOfTheClockAndAFlagLeftSetStopsIt) {
    const date_test::FixedClock clock(date_test::clockIn1999);
    qmr_test::TestContext context;
    EXPECT_EQ(date_test::dateText(context.get(), "12/04/26"), 19261204);
    EXPECT_EQ(date_test::dateText(context.get(), "12/04/2026"), 20261204);
    EXPECT_FALSE(context.failed());
    context.setByte(QMR_CC_ERROR_FLAG, 'Y');
    context.setText(QMR_CC_MESSAGE_NUMBER, " 999");
    EXPECT_EQ(date_test::dateText(context.get(), "2026-12-04"), kKept);
    EXPECT_EQ(context.error(), " 999");
}

TEST(DateConstruction, ResultsReportsAndOutputs) {
    const struct {
        date_test::Caller function;
        const char* name;
        const char* input;
        std::int32_t output;
        const char* error;
    } cases[] = {
        // from a day number; the output is kept on failure
        {call<QMRFDTEN>, "QMRFDTEN", "1", 10101, ""},           {call<QMRFDTEN>, "QMRFDTEN", "3652059", 99991231, ""},
        {call<QMRFDTEN>, "QMRFDTEN", "3652060", kKept, " 140"}, {call<QMRFDTEN>, "QMRFDTEN", "0", kKept, " 136"},
        // from a Julian form; the output is kept on failure
        {call<QMRFJDTE>, "QMRFJDTE", "2026338", 20261204, ""},  {call<QMRFJDTE>, "QMRFJDTE", "0", 0, ""},
        {call<QMRFJDTE>, "QMRFJDTE", "2026366", kKept, " 137"},
        // century form to date; cleared to 0 first
        {call<QMRFNCYY>, "QMRFNCYY", "1261204", 20261204, ""}, {call<QMRFNCYY>, "QMRFNCYY", "9991231", 18991231, ""},
        {call<QMRFNCYY>, "QMRFNCYY", "7000101", 16000101, ""}, {call<QMRFNCYY>, "QMRFNCYY", "6991231", 25991231, ""},
        {call<QMRFNCYY>, "QMRFNCYY", "0", 19000000, ""},     // month 0 and day 0 are valid
        {call<QMRFNCYY>, "QMRFNCYY", "7000000", 0, " 137"},  // 26000000
        {call<QMRFNCYY>, "QMRFNCYY", "1260230", 0, " 137"}, {call<QMRFNCYY>, "QMRFNCYY", "2147483647", 0, " 137"},
        // date to century form; cleared to 0 first
        {call<QMRFCYYD>, "QMRFCYYD", "16000101", 7000101, ""}, {call<QMRFCYYD>, "QMRFCYYD", "19000101", 101, ""},
        {call<QMRFCYYD>, "QMRFCYYD", "15991231", 0, " 137"},   {call<QMRFCYYD>, "QMRFCYYD", "26000101", 0, " 137"},
        {call<QMRFCYYD>, "QMRFCYYD", "20260230", 0, " 137"},   {call<QMRFCYYN>, "QMRFCYYN", "20261204", 1261204, ""},
        {call<QMRFCYYN>, "QMRFCYYN", "25991232", 0, " 137"},
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.name << c.input;
        EXPECT_EQ(context.error(), c.error) << c.name << c.input;
        EXPECT_EQ(context.name(), c.name) << c.input;
    }
}

}  // namespace
