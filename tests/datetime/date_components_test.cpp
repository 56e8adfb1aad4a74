// The date component built-ins through qmr.h: results, the name each
// stamps, what each reports and what its output holds after a failure,
// and the day of the week against std::chrono over the whole calendar.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "date_builtins.h"

namespace {

using date_test::call;
using date_test::kKept;

struct Case {
    const char* id;
    date_test::Caller function;
    const char* name;
    const char* input;
    std::int32_t output;  // kKept: the marker the host put there survived
    const char* error;    // "" or the message number
};

constexpr char kStamp[] = "20261204134525000000";

TEST(DateComponents, ResultsReportsAndOutputs) {
    const Case cases[] = {
        {"day.1", call<QMRFDAY>, "QMRFDAY ", "20261204", 4, ""},
        {"day.2", call<QMRFDAY>, "QMRFDAY ", "20261232", 0, " 137"},  // cleared, then refused
        {"day.3", call<QMRFDAY>, "QMRFDAY ", "0", 0, ""},             // the empty date is valid
        {"day.5", call<QMRFDAY>, "QMRFDAY ", "-20261204", -4, ""},    // the engine reads it as 00000000
        {"mth.1", call<QMRFMTH>, "QMRFMTH ", "20261204", 12, ""},
        {"mth.3", call<QMRFMTH>, "QMRFMTH ", "20261304", 0, " 137"},
        {"year.1", call<QMRFYEAR>, "QMRFYEAR", "20261204", 2026, ""},
        {"year.3", call<QMRFYEAR>, "QMRFYEAR", "2147483647", 18140, ""},  // 214748 in 16 bits
        {"days.1", call<QMRFDAYS>, "QMRFDAYS", "20261204", 739954, ""},
        {"days.2", call<QMRFDAYS>, "QMRFDAYS", "0", -396, ""},
        {"days.4", call<QMRFDAYS>, "QMRFDAYS", "20261131", 0, " 137"},
        {"jul.1", call<QMRFDTEJ>, "QMRFDTEJ", "20261204", 2026338, ""},
        {"jul.3", call<QMRFDTEJ>, "QMRFDTEJ", "20010229", 0, " 137"},
        {"sts.1", call<QMRFDSTS>, "QMRFDSTS", kStamp, 739954, ""},
        {"sts.2", call<QMRFDSTS>, "QMRFDSTS", "20261232", 0, " 137"},
        {"tts.1", call<QMRFDTTS>, "QMRFDTTS", kStamp, 20261204, ""},
        {"tts.2", call<QMRFDTTS>, "QMRFDTTS", "  261204", 261204, ""},  // blanks lead the number
        {"tts.4", call<QMRFDTTS>, "QMRFDTTS", "2026-12-04", 0, " 137"},  // read as 2026: month 20
        {"tts.5", call<QMRFDTTS>, "QMRFDTTS", "0000000099999999", 0, ""},  // only 8 characters are read
        {"dyts.1", call<QMRFDYTS>, "QMRFDYTS", kStamp, 4, ""},
        {"dyts.3", call<QMRFDYTS>, "QMRFDYTS", "2026120x", 0, " 137"},  // 2026120: month 61
        {"mots.1", call<QMRFMOTS>, "QMRFMOTS", kStamp, 12, ""},
        {"yrts.1", call<QMRFYRTS>, "QMRFYRTS", kStamp, 2026, ""},
        {"numd.1", call<QMRFNUMD>, "QMRFNUMD", "20261204", 20261204, ""},
        {"numd.2", call<QMRFNUMD>, "QMRFNUMD", "20261232", kKept, " 137"},  // not cleared
        {"dnum.1", call<QMRFDNUM>, "QMRFDNUM", "20261232", 20261232, ""},  // no validation
        {"dayn.1", call<QMRFDAYN>, "QMRFDAYN", "20261232", 32, ""},
        {"mthn.2", call<QMRFMTHN>, "QMRFMTHN", "-20261204", -12, ""},
        {"yrn.1", call<QMRFYRN>, "QMRFYRN ", "-20261204", -2026, ""},
    };
    for (const Case& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.id;
        EXPECT_EQ(context.error(), c.error) << c.id;
        EXPECT_EQ(context.name(), c.name) << c.id;
        if (*c.error) {
            EXPECT_EQ(context.facility(), "RQ") << c.id;
        }
    }
}

std::string dayName(CallContext* context, qmr_int32 date) {
    char name[10] = "~~~~~~~~~";
    QMRFDOW(nullptr, nullptr, context, &date, name);
    return name;
}

TEST(DateComponents, DayOfWeekAgreesWithChronoOverTheWholeCalendar) {
    using namespace std::chrono;
    static const char* const names[] = {"SUNDAY   ", "MONDAY   ", "TUESDAY  ", "WEDNESDAY",
                                        "THURSDAY ", "FRIDAY   ", "SATURDAY "};
    qmr_test::TestContext context;
    const sys_days last = year{9999} / December / 31;
    for (sys_days d = year{1} / January / 1; d <= last; d += days{1}) {
        const year_month_day ymd{d};
        const qmr_int32 date = int(ymd.year()) * 10000 + int(unsigned(ymd.month())) * 100 + int(unsigned(ymd.day()));
        if (dayName(context.get(), date) != names[weekday{d}.c_encoding()]) {
            FAIL() << date << " gave " << dayName(context.get(), date);
        }
    }
    EXPECT_FALSE(context.failed());
}

TEST(DateComponents, DayOfWeekOfStoredValuesAndRefusals) {
    const struct {
        qmr_int32 date;
        const char* name;
        const char* error;
    } cases[] = {
        {20261204, "FRIDAY   ", ""},     {20000101, "SATURDAY ", ""}, {19000101, "MONDAY   ", ""},
        {0, "WEDNESDAY", ""},            // the empty date
        {46000301, "SATURDAY ", ""},     // the congruence sums to -1 here
        {20261232, "         ", " 137"}, // blank before the engine refuses
        {20230229, "         ", " 137"},
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(dayName(context.get(), c.date), c.name) << c.date;
        EXPECT_EQ(context.error(), c.error) << c.date;
        EXPECT_EQ(context.name(), "QMRFDOW ") << c.date;
    }
}

TEST(DateComponents, OneFieldAsInputAndOutput) {
    qmr_test::TestContext context;
    qmr_int32 field = 20261204;
    QMRFDAYS(nullptr, nullptr, context.get(), &field, &field);
    EXPECT_EQ(field, 739954);
}

}  // namespace
