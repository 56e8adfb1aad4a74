// The date built-ins through qmr.h: results, the name each stamps, what
// each reports and what its output holds after a failure; dates from
// text; and a time left invalid in the call context by an earlier time
// built-in.  Whole-calendar sweeps are in day_number_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "date_builtins.h"

namespace {

using date_test::call;
using date_test::kKept;

constexpr char kStamp[] = "20261204134525000000";

// A 20-character timestamp with the given time and microseconds parts.
std::string stamp(const char* hhmmss, const char* micros = "000000") {
    return std::string("20261204") + hhmmss + micros;
}

TEST(DateComponents, ResultsReportsAndOutputs) {
    const struct {
        date_test::Caller function;
        const char* name;
        std::string input;
        std::int32_t output;  // kKept: the marker the host put there survived
        const char* error;    // "" or the message number
    } cases[] = {
        {call<QMRFDAY>, "QMRFDAY ", "20261204", 4, ""},
        {call<QMRFDAY>, "QMRFDAY ", "20261232", 0, " 137"},  // cleared, then refused
        {call<QMRFDAY>, "QMRFDAY ", "-20261204", -4, ""},    // the engine reads it as 00000000
        {call<QMRFMTH>, "QMRFMTH ", "20261204", 12, ""},     {call<QMRFYEAR>, "QMRFYEAR", "20261204", 2026, ""},
        {call<QMRFYEAR>, "QMRFYEAR", "2147483647", 18140, ""},  // 214748 in 16 bits
        {call<QMRFDAYS>, "QMRFDAYS", "20261204", 739954, ""}, {call<QMRFDAYS>, "QMRFDAYS", "0", -396, ""},  // empty date
        {call<QMRFDTEJ>, "QMRFDTEJ", "20010229", 0, " 137"},
        {call<QMRFDSTS>, "QMRFDSTS", kStamp, 739954, ""},     {call<QMRFDTTS>, "QMRFDTTS", kStamp, 20261204, ""},
        {call<QMRFDTTS>, "QMRFDTTS", "  261204", 261204, ""},     // blanks lead the number
        {call<QMRFDTTS>, "QMRFDTTS", "2026-12-04", 0, " 137"},    // read as 2026: month 20
        {call<QMRFDTTS>, "QMRFDTTS", "0000000099999999", 0, ""},  // only 8 characters are read
        {call<QMRFDYTS>, "QMRFDYTS", "2026120x", 0, " 137"},  // 2026120: month 61
        {call<QMRFMOTS>, "QMRFMOTS", kStamp, 12, ""},         {call<QMRFYRTS>, "QMRFYRTS", kStamp, 2026, ""},
        {call<QMRFNUMD>, "QMRFNUMD", "20261204", 20261204, ""},
        {call<QMRFNUMD>, "QMRFNUMD", "20261232", kKept, " 137"},  // not cleared
        {call<QMRFDNUM>, "QMRFDNUM", "20261232", 20261232, ""},   // no validation, nor in the rest
        {call<QMRFDAYN>, "QMRFDAYN", "20261232", 32, ""},         {call<QMRFMTHN>, "QMRFMTHN", "-20261204", -12, ""},
        {call<QMRFYRN>, "QMRFYRN ", "-20261204", -2026, ""},
        // time components; the plain values (...N, QMRFTNUM) are not validated
        {call<QMRFHOUR>, "QMRFHOUR", "240000", 24, ""},        // 24:00:00 is a time
        {call<QMRFHOUR>, "QMRFHOUR", "235960", 0, " 141"},     // 60 seconds
        {call<QMRFMIN>, "QMRFMIN ", "134525", 45, ""},         {call<QMRFSEC>, "QMRFSEC ", "134525", 25, ""},
        {call<QMRFHRTS>, "QMRFHRTS", stamp("      "), 0, ""},  // blank time is 0
        {call<QMRFHRTS>, "QMRFHRTS", stamp("246000"), 0, " 141"},
        {call<QMRFHRTS>, "QMRFHRTS", "XXXXXXXX134525XXXXXX", 13, ""},  // the date is not looked at
        {call<QMRFMITS>, "QMRFMITS", stamp("134525"), 45, ""},
        {call<QMRFSCTS>, "QMRFSCTS", stamp("13x525"), 13, ""},  // a slice stops at a non-digit
        {call<QMRFMICR>, "QMRFMICR", stamp("134525", "-12345"), -12345, ""},  // never validated
        {call<QMRFMICR>, "QMRFMICR", stamp("246000", "000123"), 0, " 141"},
        {call<QMRFTMTS>, "QMRFTMTS", stamp("134525"), 134525, ""}, {call<QMRFTMTS>, "QMRFTMTS", stamp("235960"), 0, " 141"},
        {call<QMRFNUMT>, "QMRFNUMT", "134525", 134525, ""},
        {call<QMRFNUMT>, "QMRFNUMT", "246000", 0x20202020, " 141"},  // four blanks
        {call<QMRFHRN>, "QMRFHRN ", "-10000", -1, ""},  // truncating division
        {call<QMRFHRN>, "QMRFHRN ", "-2147483648", -214748, ""}, {call<QMRFMINN>, "QMRFMINN", "-134525", -45, ""},
        {call<QMRFSECN>, "QMRFSECN", "2147483647", 47, ""},      {call<QMRFTNUM>, "QMRFTNUM", "246000", 246000, ""},
        // from a day number; the output is kept on failure
        {call<QMRFDTEN>, "QMRFDTEN", "1", 10101, ""},           {call<QMRFDTEN>, "QMRFDTEN", "3652059", 99991231, ""},
        {call<QMRFDTEN>, "QMRFDTEN", "3652060", kKept, " 140"}, {call<QMRFDTEN>, "QMRFDTEN", "0", kKept, " 136"},
        // from a Julian form; the output is kept on failure
        {call<QMRFJDTE>, "QMRFJDTE", "2026338", 20261204, ""},  {call<QMRFJDTE>, "QMRFJDTE", "0", 0, ""},
        {call<QMRFJDTE>, "QMRFJDTE", "2026366", kKept, " 137"},
        // century form to date; cleared to 0 first
        {call<QMRFNCYY>, "QMRFNCYY", "7000101", 16000101, ""}, {call<QMRFNCYY>, "QMRFNCYY", "6991231", 25991231, ""},
        {call<QMRFNCYY>, "QMRFNCYY", "0", 19000000, ""},     // month 0 and day 0 are valid
        {call<QMRFNCYY>, "QMRFNCYY", "7000000", 0, " 137"},  // 26000000
        {call<QMRFNCYY>, "QMRFNCYY", "1260230", 0, " 137"}, {call<QMRFNCYY>, "QMRFNCYY", "2147483647", 0, " 137"},
        // date to century form; cleared to 0 first
        {call<QMRFCYYD>, "QMRFCYYD", "16000101", 7000101, ""}, {call<QMRFCYYD>, "QMRFCYYD", "19000101", 101, ""},
        {call<QMRFCYYD>, "QMRFCYYD", "15991231", 0, " 137"},   {call<QMRFCYYD>, "QMRFCYYD", "26000101", 0, " 137"},
        {call<QMRFCYYN>, "QMRFCYYN", "20261204", 1261204, ""}, {call<QMRFCYYN>, "QMRFCYYN", "25991232", 0, " 137"},
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.name << c.input;
        EXPECT_EQ(context.error(), c.error) << c.name << c.input;
        EXPECT_EQ(context.name(), c.name) << c.input;
        EXPECT_EQ(context.facility(), *c.error ? "RQ" : std::string(2, '\0')) << c.name << c.input;
    }
    qmr_test::TestContext context;
    qmr_int32 field = 20261204, time = 134525;
    QMRFDAYS(nullptr, nullptr, context.get(), &field, &field);
    QMRFNUMT(nullptr, nullptr, context.get(), &time, &time);
    QMRFTNUM(nullptr, nullptr, context.get(), &time, &time);
    EXPECT_EQ(field * 1000000LL + time, 739954134525LL) << "one field as input and output";
}

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

std::string dayName(CallContext* context, qmr_int32 date) {
    char name[10] = "~~~~~~~~~";
    QMRFDOW(nullptr, nullptr, context, &date, name);
    return name;
}

TEST(DateComponents, DayOfWeekOfStoredValuesAndRefusals) {
    const struct { qmr_int32 date; const char* name; const char* error; } cases[] = {
        {0, "WEDNESDAY", ""},             // the empty date
        {46000301, "SATURDAY ", ""},      // the congruence sums to -1 here
        {20261232, "         ", " 137"},  // blank before the engine refuses
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(dayName(context.get(), c.date), c.name) << c.date;
        EXPECT_EQ(context.error(), c.error) << c.date;
        EXPECT_EQ(context.name(), "QMRFDOW ") << c.date;
    }
}

// The built-ins share the context's date request: the date functions store
// only its date fields, the time functions only its time, request code and
// time form, so the engine validates again what an earlier call left there
// and the call fails on it.  Hosts see this; it is kept.
TEST(StaleRequest, WhatAnEarlierCallLeftInvalidFailsTheNextCall) {
    const date_test::FixedClock clock;
    const std::string stamp = "20261204134525000123";
    const struct {
        bool timeLeft;  // else a date
        date_test::Caller function;
        std::string input;
        std::int32_t output;
        const char* error;
    } cases[] = {
        {true, call<QMRFDAY>, "20261204", 0, " 137"},      {true, call<QMRFNUMD>, "20261204", kKept, " 137"},
        {true, call<QMRFDAYN>, "20261204", 4, ""},         // does not validate
        {true, call<QMRFDTEN>, "739954", kKept, " 139"},   {true, call<QMRFJDTE>, "2026338", kKept, " 139"},
        {true, call<QMRFNCYY>, "1261204", 0, " 137"},      {true, call<QMRFCYYD>, "20261204", 0, " 137"},
        {true, date_test::dateText, "2026-12-04", kKept, " 139"},
        {true, date_test::dateText, "12/04/26", 20261204, ""},  // its clock request replaced the time
        {false, call<QMRFHOUR>, "134525", 0, " 141"},      {false, call<QMRFMIN>, "134525", 0, " 141"},
        {false, call<QMRFSEC>, "134525", 0, " 141"},       {false, call<QMRFNUMT>, "134525", 0x20202020, " 141"},
        {false, call<QMRFHRTS>, stamp, 0, " 141"},         {false, call<QMRFMITS>, stamp, 0, " 141"},
        {false, call<QMRFSCTS>, stamp, 0, " 141"},         {false, call<QMRFMICR>, stamp, 0, " 141"},
        {false, call<QMRFTMTS>, stamp, 0, " 141"},         {false, date_test::timeText, "12:30", kKept, " 141"},
        {false, call<QMRFHRN>, "134525", 13, ""},          // plain values do not validate
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        c.timeLeft ? date_test::leaveInvalidTime(context) : date_test::leaveInvalidDate(context);
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.input;
        EXPECT_EQ(context.error(), c.error) << c.input;
    }
    qmr_test::TestContext context;
    date_test::leaveInvalidTime(context);
    EXPECT_EQ(dayName(context.get(), 20261204), "         ");
    EXPECT_EQ(context.error(), " 137");
}

// Both durations check their input date with the stale time, unless
// validation is skipped.
TEST(StaleRequest, DurationsFailUnlessValidationIsSkipped) {
    qmr_test::TestContext context;
    date_test::leaveInvalidTime(context);
    context.setInt32At(QMR_CC_DUR_DATE, 20261204);
    context.setText(QMR_CC_DUR_TIMESTAMP, "20010228000000000000");
    context.setByte(QMR_CC_DUR_DAYS_SELECTED, 'Y');
    context.setInt32At(QMR_CC_DUR_DAYS, 1);
    QMRFSDUR(nullptr, nullptr, context.get());
    EXPECT_EQ(context.error(), " 137");
    context.clearError();
    QMRFDDUR(nullptr, nullptr, context.get());
    EXPECT_EQ(context.error(), " 137");
    EXPECT_EQ(context.int32At(QMR_CC_DUR_RESULT_DATE), 0);
    context.clearError();
    context.setByte(QMR_CC_SKIP_VALIDATION, 'Y');  // the engine is not asked
    QMRFDDUR(nullptr, nullptr, context.get());
    EXPECT_FALSE(context.failed());
    EXPECT_EQ(context.int32At(QMR_CC_DUR_RESULT_DATE), 20261205);
}

// Once a call leaves a valid time, read in the time form left with it,
// the date functions pass again.
TEST(StaleRequest, AValidTimeClearsIt) {
    qmr_test::TestContext context;
    date_test::leaveInvalidTime(context);
    context.request()->time = 235959;
    EXPECT_EQ(call<QMRFDAY>(context.get(), "20261204"), 4);
    context.request()->timeForm = '0';  // the same number read as hundredths: 00:23:59.59
    EXPECT_EQ(call<QMRFDAY>(context.get(), "20261204"), 4);
    EXPECT_FALSE(context.failed());
    context.request()->timeForm = '1';  // as tenths: 02:35:95.9
    EXPECT_EQ(call<QMRFDAY>(context.get(), "20261204"), 0);
    EXPECT_EQ(context.error(), " 137");
}

}  // namespace
