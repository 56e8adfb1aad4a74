// The date component built-ins through qmr.h: results, the name each
// stamps, what each reports and what its output holds after a failure,
// and a time left invalid in the call context by an earlier time built-in.
// Whole-calendar sweeps are in day_number_test.cpp.
#include <gtest/gtest.h>

#include <string>

#include "date_builtins.h"

namespace {

using date_test::call;
using date_test::kKept;

constexpr char kStamp[] = "20261204134525000000";

TEST(DateComponents, ResultsReportsAndOutputs) {
    const struct {
        date_test::Caller function;
        const char* name;
        const char* input;
        std::int32_t output;  // kKept: the marker the host put there survived
        const char* error;    // "" or the message number
    } cases[] = {
        {call<QMRFDAY>, "QMRFDAY ", "20261204", 4, ""},
        {call<QMRFDAY>, "QMRFDAY ", "20261232", 0, " 137"},  // cleared, then refused
        {call<QMRFDAY>, "QMRFDAY ", "-20261204", -4, ""},    // the engine reads it as 00000000
        {call<QMRFMTH>, "QMRFMTH ", "20261204", 12, ""},     {call<QMRFMTH>, "QMRFMTH ", "20261304", 0, " 137"},
        {call<QMRFYEAR>, "QMRFYEAR", "20261204", 2026, ""},
        {call<QMRFYEAR>, "QMRFYEAR", "2147483647", 18140, ""},  // 214748 in 16 bits
        {call<QMRFDAYS>, "QMRFDAYS", "20261204", 739954, ""}, {call<QMRFDAYS>, "QMRFDAYS", "20261131", 0, " 137"},
        {call<QMRFDAYS>, "QMRFDAYS", "0", -396, ""},  // the empty date is valid
        {call<QMRFDTEJ>, "QMRFDTEJ", "20261204", 2026338, ""}, {call<QMRFDTEJ>, "QMRFDTEJ", "20010229", 0, " 137"},
        {call<QMRFDSTS>, "QMRFDSTS", kStamp, 739954, ""},     {call<QMRFDTTS>, "QMRFDTTS", kStamp, 20261204, ""},
        {call<QMRFDTTS>, "QMRFDTTS", "  261204", 261204, ""},     // blanks lead the number
        {call<QMRFDTTS>, "QMRFDTTS", "2026-12-04", 0, " 137"},    // read as 2026: month 20
        {call<QMRFDTTS>, "QMRFDTTS", "0000000099999999", 0, ""},  // only 8 characters are read
        {call<QMRFDYTS>, "QMRFDYTS", kStamp, 4, ""},
        {call<QMRFDYTS>, "QMRFDYTS", "2026120x", 0, " 137"},  // 2026120: month 61
        {call<QMRFMOTS>, "QMRFMOTS", kStamp, 12, ""},         {call<QMRFYRTS>, "QMRFYRTS", kStamp, 2026, ""},
        {call<QMRFNUMD>, "QMRFNUMD", "20261204", 20261204, ""},
        {call<QMRFNUMD>, "QMRFNUMD", "20261232", kKept, " 137"},  // not cleared
        {call<QMRFDNUM>, "QMRFDNUM", "20261232", 20261232, ""},   // no validation, nor in the rest
        {call<QMRFDAYN>, "QMRFDAYN", "20261232", 32, ""},         {call<QMRFMTHN>, "QMRFMTHN", "-20261204", -12, ""},
        {call<QMRFYRN>, "QMRFYRN ", "-20261204", -2026, ""},
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.name << c.input;
        EXPECT_EQ(context.error(), c.error) << c.name << c.input;
        EXPECT_EQ(context.name(), c.name) << c.input;
        EXPECT_EQ(context.facility(), *c.error ? "RQ" : std::string(2, '\0')) << c.name << c.input;
    }
    qmr_test::TestContext context;
    qmr_int32 field = 20261204;
    QMRFDAYS(nullptr, nullptr, context.get(), &field, &field);
    EXPECT_EQ(field, 739954) << "one field as input and output";
}

std::string dayName(CallContext* context, qmr_int32 date) {
    char name[10] = "~~~~~~~~~";
    QMRFDOW(nullptr, nullptr, context, &date, name);
    return name;
}

TEST(DateComponents, DayOfWeekOfStoredValuesAndRefusals) {
    const struct {
        qmr_int32 date;
        const char* name;
        const char* error;
    } cases[] = {
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

// The date functions store only the date fields of the context's
// DateRequest, so the engine validates the time an earlier time call left
// there again and the date function fails on it.  Hosts see this; it is
// kept.
TEST(StaleRequest, ATimeLeftInvalidFailsTheNextDateFunction) {
    const date_test::FixedClock clock;
    const struct {
        date_test::Caller function;
        const char* input;
        std::int32_t output;
        const char* error;
    } cases[] = {
        {call<QMRFDAY>, "20261204", 0, " 137"},
        {call<QMRFNUMD>, "20261204", kKept, " 137"},
        {call<QMRFDAYN>, "20261204", 4, ""},  // does not validate
        {call<QMRFDTEN>, "739954", kKept, " 139"},
        {call<QMRFJDTE>, "2026338", kKept, " 139"},
        {call<QMRFNCYY>, "1261204", 0, " 137"},
        {call<QMRFCYYD>, "20261204", 0, " 137"},
        {date_test::dateText, "2026-12-04", kKept, " 139"},
        {date_test::dateText, "12/04/26", 20261204, ""},  // its clock request replaced the time
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        date_test::leaveInvalidTime(context);
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.input;
        EXPECT_EQ(context.error(), c.error) << c.input;
    }
    qmr_test::TestContext context;
    date_test::leaveInvalidTime(context);
    EXPECT_EQ(dayName(context.get(), 20261204), "         ");
    EXPECT_EQ(context.error(), " 137");
}

TEST(StaleRequest, DurationFailsUnlessValidationIsSkipped) {
    qmr_test::TestContext context;
    date_test::leaveInvalidTime(context);
    context.setInt32At(QMR_CC_DUR_DATE, 20261204);
    context.setByte(QMR_CC_DUR_DAYS_SELECTED, 'Y');
    context.setInt32At(QMR_CC_DUR_DAYS, 1);
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
