// The date built-ins through qmr.h: results, names, reports and outputs
// after a failure.  Whole-calendar sweeps are in day_number_test.cpp.
#include <gtest/gtest.h>

#include <cstring>
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

// A built-in as a table column, with the name it stamps.
#define BUILTIN(f) call<f>, #f

TEST(DateComponents, ResultsReportsAndOutputs) {
    const struct {
        date_test::Caller function;
        const char* name;
        std::string input;
        std::int32_t output;  // kKept: the marker the host put there survived
        const char* error;    // "" or the message number
    } cases[] = {
        {BUILTIN(QMRFDAY), "20261204", 4, ""}, {BUILTIN(QMRFDAY), "20261232", 0, " 137"},  // cleared, then refused
        {BUILTIN(QMRFDAY), "-20261204", -4, ""},  // the engine reads it as 00000000
        {BUILTIN(QMRFMTH), "20261204", 12, ""}, {BUILTIN(QMRFYEAR), "20261204", 2026, ""},
        {BUILTIN(QMRFYEAR), "2147483647", 18140, ""},  // 214748 in 16 bits
        {BUILTIN(QMRFDAYS), "0", -396, ""},  // empty date
        {BUILTIN(QMRFDTEJ), "20010229", 0, " 137"}, {BUILTIN(QMRFDSTS), kStamp, 739954, ""},
        {BUILTIN(QMRFDTTS), "  261204", 261204, ""},  // blanks lead
        {BUILTIN(QMRFDTTS), "0000000099999999", 0, ""},  // only 8 characters are read
        {BUILTIN(QMRFDYTS), "2026120x", 0, " 137"},      // 2026120: month 61
        {BUILTIN(QMRFMOTS), kStamp, 12, ""}, {BUILTIN(QMRFYRTS), kStamp, 2026, ""},
        {BUILTIN(QMRFNUMD), "20261204", 20261204, ""}, {BUILTIN(QMRFNUMD), "20261232", kKept, " 137"},  // not cleared
        {BUILTIN(QMRFDNUM), "20261232", 20261232, ""},  // no validation, nor in the rest
        {BUILTIN(QMRFDAYN), "20261232", 32, ""}, {BUILTIN(QMRFMTHN), "-20261204", -12, ""},
        {BUILTIN(QMRFYRN), "-20261204", -2026, ""},
        // time components; the plain values (...N, QMRFTNUM) are not validated
        {BUILTIN(QMRFHOUR), "240000", 24, ""}, {BUILTIN(QMRFHOUR), "235960", 0, " 141"},  // 24:00:00 is a time
        {BUILTIN(QMRFMIN), "134525", 45, ""}, {BUILTIN(QMRFSEC), "134525", 25, ""},
        {BUILTIN(QMRFHRTS), stamp("      "), 0, ""},  // blank time is 0
        {BUILTIN(QMRFHRTS), "XXXXXXXX134525XXXXXX", 13, ""},  // the date is not looked at
        {BUILTIN(QMRFMITS), stamp("134525"), 45, ""}, {BUILTIN(QMRFSCTS), stamp("13x525"), 13, ""},  // stops at x
        {BUILTIN(QMRFMICR), stamp("134525", "-12345"), -12345, ""},  // never validated
        {BUILTIN(QMRFMICR), stamp("246000", "000123"), 0, " 141"},
        {BUILTIN(QMRFTMTS), stamp("134525"), 134525, ""}, {BUILTIN(QMRFTMTS), stamp("235960"), 0, " 141"},
        {BUILTIN(QMRFNUMT), "134525", 134525, ""}, {BUILTIN(QMRFNUMT), "246000", 0x20202020, " 141"},  // four blanks
        {BUILTIN(QMRFHRN), "-2147483648", -214748, ""}, {BUILTIN(QMRFMINN), "-134525", -45, ""},  // truncating
        {BUILTIN(QMRFSECN), "2147483647", 47, ""}, {BUILTIN(QMRFTNUM), "246000", 246000, ""},
        // from a day number or a Julian form; the output is kept on failure
        {BUILTIN(QMRFDTEN), "3652060", kKept, " 140"}, {BUILTIN(QMRFDTEN), "0", kKept, " 136"},
        {BUILTIN(QMRFJDTE), "0", 0, ""}, {BUILTIN(QMRFJDTE), "2026366", kKept, " 137"},
        // century form to date; cleared to 0 first; month 0 and day 0 are valid
        {BUILTIN(QMRFNCYY), "7000101", 16000101, ""}, {BUILTIN(QMRFNCYY), "6991231", 25991231, ""},
        {BUILTIN(QMRFNCYY), "0", 19000000, ""}, {BUILTIN(QMRFNCYY), "7000000", 0, " 137"},  // 26000000
        {BUILTIN(QMRFNCYY), "1260230", 0, " 137"}, {BUILTIN(QMRFNCYY), "2147483647", 0, " 137"},
        // date to century form; cleared to 0 first
        {BUILTIN(QMRFCYYD), "16000101", 7000101, ""}, {BUILTIN(QMRFCYYD), "19000101", 101, ""},
        {BUILTIN(QMRFCYYD), "15991231", 0, " 137"}, {BUILTIN(QMRFCYYD), "26000101", 0, " 137"},
        {BUILTIN(QMRFCYYN), "20261204", 1261204, ""}, {BUILTIN(QMRFCYYN), "25991232", 0, " 137"},
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.name << c.input;
        EXPECT_EQ(context.error(), c.error) << c.name << c.input;
        EXPECT_EQ(context.name(), (c.name + std::string(8, ' ')).substr(0, 8)) << c.input;
        EXPECT_EQ(context.facility(), *c.error ? "RQ" : std::string(2, '\0')) << c.name << c.input;
    }
    qmr_test::TestContext context;
    qmr_int32 field = 20261204, time = 134525;
    QMRFDAYS(nullptr, nullptr, context.get(), &field, &field);
    QMRFNUMT(nullptr, nullptr, context.get(), &time, &time);
    QMRFTNUM(nullptr, nullptr, context.get(), &time, &time);
    EXPECT_EQ(field * 1000000LL + time, 739954134525LL) << "one field as input and output";
    alignas(4) char stamp[21] = "20261204134525000123";
    qmr_int32 micros;
    QMRFMICR(nullptr, nullptr, context.get(), stamp, reinterpret_cast<qmr_int32*>(stamp + 16));
    std::memcpy(&micros, stamp + 16, 4);
    EXPECT_EQ(micros, 123) << "an output over the microseconds";
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
        {"12/04/00", 20001204, ""}, {"12/04", kKept, " 138"},  // no year digits
        {"00/04/2026", kKept, " 137"}, {"12/00/2026", kKept, " 137"},
        // no separator: a Julian form of 7 digits
        {"2026338", 20261204, ""}, {"2026366", kKept, " 137"},  // no day 366 in 2026
        {"20261204", kKept, " 138"}, {"9999999999", kKept, " 138"},
        {"3865470571", kKept, " 138"},  // a digit sum that wraps to 0 in 32 bits
        // blanks and zeros: the empty date
        {"", 0, ""}, {"0000000000", 0, ""},
        // refused characters and layouts
        {"2026-12-4x", kKept, " 137"}, {std::string_view("12/04/26\0\0", 10), kKept, " 137"},  // NUL is no blank
        {"2026-12/04", kKept, " 138"},  // mixed separators
        {"1/2/3/x", kKept, " 138"},     // a third separator, refused before the letter
        {"-", kKept, " 137"},           // zero fields before year digits
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

// Every date of the calendar is in the sweep.
TEST(DateComponents, DayOfWeekOfTheEmptyDateAndARefusal) {
    qmr_test::TestContext context;
    EXPECT_EQ(dayName(context.get(), 0), "WEDNESDAY");
    EXPECT_EQ(context.name(), "QMRFDOW ");
    EXPECT_FALSE(context.failed());
    EXPECT_EQ(dayName(context.get(), 20261232), "         ") << "blank before the engine refuses";
    EXPECT_EQ(context.error(), " 137");
}

// The date functions store only the date fields of the context's request,
// the time functions only its time, request code and time form, so what an
// earlier call left there invalid fails the next call.  Hosts see this.
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
        {false, call<QMRFHOUR>, "134525", 0, " 141"},      {false, call<QMRFNUMT>, "134525", 0x20202020, " 141"},
        {false, call<QMRFMICR>, stamp, 0, " 141"},         {false, call<QMRFTMTS>, stamp, 0, " 141"},
        {false, date_test::timeText, "12:30", kKept, " 141"},
        {false, call<QMRFHRN>, "134525", 13, ""},          // plain values do not validate
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        date_test::leaveInvalid(context, c.timeLeft);
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.input;
        EXPECT_EQ(context.error(), c.error) << c.input;
    }
    qmr_test::TestContext context;
    date_test::leaveInvalid(context, true);
    EXPECT_EQ(dayName(context.get(), 20261204), "         ");
    EXPECT_EQ(context.error(), " 137");
}

// The date and timestamp durations fail on a stale time, the time duration
// on a stale date.
TEST(StaleRequest, DurationsFailOnIt) {
    qmr_test::TestContext context;
    date_test::leaveInvalid(context, true);
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
    qmr_test::TestContext stale;
    date_test::leaveInvalid(stale, false);
    stale.setInt32At(QMR_CC_DUR_TIME, 101010);
    date_test::select(stale, "s", 1);
    QMRFTDUR(nullptr, nullptr, stale.get());
    EXPECT_EQ(stale.error(), " 141");
}

// The date functions keep the time form left with the time: 235959 is
// valid as hundredths (00:23:59.59), not as tenths (02:35:95.9).
TEST(StaleRequest, TheTimeIsReadInTheFormLeftWithIt) {
    qmr_test::TestContext context;
    date_test::leaveInvalid(context, true);
    context.request()->time = 235959;
    context.request()->timeForm = '0';
    EXPECT_EQ(call<QMRFDAY>(context.get(), "20261204"), 4);
    context.request()->timeForm = '1';
    EXPECT_EQ(call<QMRFDAY>(context.get(), "20261204"), 0);
    EXPECT_EQ(context.error(), " 137");
}

}  // namespace
