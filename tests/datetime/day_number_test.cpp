// Day numbers, Julian forms and weekdays against std::chrono, 32-bit
// wrap outside the calendar, and the fast paths against the formulas.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "datetime/date_duration.h"
#include "datetime/day_number.h"
#include "datetime/weekday.h"
#include "date_builtins.h"

namespace {

using namespace std::chrono;

// Every day of 0001-01-01..9999-12-31 against chrono, through the routines
// and the built-ins; the day after each year's last is refused.
TEST(DayNumbers, AgreeWithChronoOverTheWholeCalendar) {
    static const char* const names[] = {"SUNDAY   ", "MONDAY   ", "TUESDAY  ", "WEDNESDAY",
                                        "THURSDAY ", "FRIDAY   ", "SATURDAY "};
    qmr_test::TestContext context;
    const sys_days first = year{1} / January / 1, last = year{9999} / December / 31;
    for (sys_days d = first; d <= last; d += days{1}) {
        const year_month_day ymd{d};
        const int32_t date = date_test::yyyymmdd(ymd);
        const int32_t number = (d - first).count() + 1;
        const int32_t julian = int(ymd.year()) * 1000 + (d - sys_days{ymd.year() / January / 1}).count() + 1;
        if (QMRFDAT1(nullptr, nullptr, date) != number || QMRFDAT2(nullptr, nullptr, number) != date ||
            QMRFDAT4(nullptr, nullptr, date) != julian || QMRFDAT3(nullptr, nullptr, context.get(), julian) != date) {
            FAIL() << "date " << date << " day number " << number << " julian " << julian;
        }
        qmr_int32 fromNumber = 0, back = 0, toJulian = 0, fromJulian = 0;
        char name[10] = "~~~~~~~~~";
        QMRFDTEN(nullptr, nullptr, context.get(), &number, &fromNumber);
        QMRFDAYS(nullptr, nullptr, context.get(), &date, &back);
        QMRFDTEJ(nullptr, nullptr, context.get(), &date, &toJulian);
        QMRFJDTE(nullptr, nullptr, context.get(), &julian, &fromJulian);
        QMRFDOW(nullptr, nullptr, context.get(), &date, name);
        if (fromNumber != date || back != number || toJulian != julian || fromJulian != date ||
            std::string(name) != names[weekday{d}.c_encoding()] || context.failed()) {
            FAIL() << "built-ins at " << date << ": " << fromNumber << " " << back << " " << toJulian << " "
                   << fromJulian << " " << name;
        }
        if (ymd.month() == December && ymd.day() == day{31}) {
            if (QMRFDAT3(nullptr, nullptr, context.get(), julian + 1) != 0 || !context.failed()) {
                FAIL() << julian + 1 << " accepted";
            }
            context.clearError();
        }
    }
}

// Outside the calendar the results are the 32-bit formulas' own; the
// expected values come from a separate model of 32-bit C arithmetic.
TEST(DayNumbers, WrappedExtremes) {
    const struct {
        int32_t (*routine)(void*, void*, qmr_int32);
        int32_t input, expected;
    } cases[] = {
        {QMRFDAT1, 0, -396},          {QMRFDAT1, INT32_MAX, 78435847}, {QMRFDAT1, INT32_MIN, -78436640},
        {QMRFDAT1, -20261204, -740747}, {QMRFDAT2, 0, 1231},           {QMRFDAT2, 3652060, 100000101},
        {QMRFDAT2, INT32_MAX, 1230},  {QMRFDAT2, INT32_MIN, 1231},     {QMRFDAT2, 100000000, -1557056383},
        {QMRFDAT2, -1, 1230},         {QMRFDAT4, 20260000, 2025970},   {QMRFDAT4, INT32_MAX, 214749115},
        {QMRFDAT4, INT32_MIN, -214749177},
    };
    for (const auto& c : cases) EXPECT_EQ(c.routine(nullptr, nullptr, c.input), c.expected) << c.input;
}

// Julian forms outside the sweep: 0 is the empty date, the rest refused.
TEST(DayNumbers, JulianFormValidation) {
    for (const int32_t julian : {0, 2026000, 5, 10000001, INT32_MIN}) {
        qmr_test::TestContext context;
        EXPECT_EQ(QMRFDAT3(nullptr, nullptr, context.get(), julian), 0) << julian;
        EXPECT_EQ(context.error(), julian != 0 ? " 137" : "") << julian;
        EXPECT_EQ(context.name(), std::string(8, '\0')) << "the day-number routines stamp no name";
    }
}

// The unsigned fast paths equal the signed formulas for every month and
// day a date can hold; random int32s run the arithmetic under UBSan.
TEST(DayNumbers, FastPathsAgreeWithTheHostFormulasForAnyInput) {
    for (int32_t y : {0, 1, 2, 99, 100, 101, 399, 400, 1600, 1900, 2000, 2026, 4600, 9998, 9999}) {
        for (int32_t md = 0; md <= 9999; ++md) {
            const int32_t date = y * 10000 + md;
            ASSERT_EQ(qmr::dayNumberInCalendar(date), qmr::dayNumber(date)) << date;
            ASSERT_EQ(qmr::weekdayInCalendar(date), qmr::weekdayOf(date)) << date;
        }
    }
    qmr_test::TestContext context;
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    int32_t sink = 0;
    for (int i = 0; i < 1000000; ++i) {
        const int32_t v = any(random);
        ASSERT_EQ(qmr::dayNumberInCalendar(v), qmr::dayNumber(v)) << v;
        ASSERT_EQ(qmr::weekdayInCalendar(v), qmr::weekdayOf(v)) << v;
        sink ^= QMRFDAT2(nullptr, nullptr, v) ^ QMRFDAT4(nullptr, nullptr, v) ^
                QMRFDAT3(nullptr, nullptr, context.get(), v);
    }
    (void)sink;
}

}  // namespace
