// Day numbers and Julian forms: whole-range oracle sweeps against
// std::chrono's calendar, the documented anchors, and 32-bit wrap for
// inputs far outside the calendar.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>

#include "qmr/qmr.h"
#include "support/context.h"

namespace {

using namespace std::chrono;


int32_t yyyymmdd(const year_month_day& ymd) {
    return int(ymd.year()) * 10000 + int(unsigned(ymd.month())) * 100 + int(unsigned(ymd.day()));
}

TEST(DayNumbers, AgreeWithChronoOverTheWholeCalendar) {
    // std::chrono counts days from 1970-01-01; the day number of 0001-01-01 is 1.
    const int32_t first = sys_days{year{1} / January / 1}.time_since_epoch().count();
    const sys_days last = year{9999} / December / 31;
    int checked = 0;
    for (sys_days d = year{1} / January / 1; d <= last; d += days{1}) {
        const year_month_day ymd{d};
        const int32_t date = yyyymmdd(ymd);
        const int32_t expected = d.time_since_epoch().count() - first + 1;
        const int32_t dayOfYear = (d - sys_days{ymd.year() / January / 1}).count() + 1;
        if (QMRFDAT1(nullptr, nullptr, date) != expected || QMRFDAT2(nullptr, nullptr, expected) != date ||
            QMRFDAT4(nullptr, nullptr, date) != int(ymd.year()) * 1000 + dayOfYear) {
            FAIL() << "date " << date << " day number " << expected;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 3652059);
}

TEST(DayNumbers, JulianFormsOfEveryYearConvertBack) {
    qmr_test::TestContext context;
    for (int32_t year = 1; year <= 9999; ++year) {
        const int32_t length = (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 366 : 365;
        for (int32_t day = 1; day <= length; ++day) {
            const int32_t julian = year * 1000 + day;
            const int32_t date = QMRFDAT3(nullptr, nullptr, context.get(), julian);
            if (QMRFDAT4(nullptr, nullptr, date) != julian) FAIL() << julian << " gave " << date;
        }
        if (QMRFDAT3(nullptr, nullptr, context.get(), year * 1000 + length + 1) != 0 || !context.failed()) {
            FAIL() << "day " << length + 1 << " of " << year << " accepted";
        }
        context.clearError();
    }
    EXPECT_FALSE(context.failed());
}

struct Anchor {
    const char* id;
    int32_t (*routine)(void*, void*, qmr_int32);
    int32_t input;
    int32_t expected;
};

// Outside the calendar the results are the 32-bit formulas' own; the
// expected values come from a separate model of 32-bit C arithmetic.
TEST(DayNumbers, DocumentedAnchorsAndWrappedExtremes) {
    const Anchor anchors[] = {
        {"1a", QMRFDAT1, 10101, 1},
        {"1b", QMRFDAT1, 19000101, 693596},
        {"1c", QMRFDAT1, 20261204, 739954},
        {"1d", QMRFDAT1, 99991231, 3652059},
        {"1e", QMRFDAT1, 0, -396},
        {"1f", QMRFDAT1, INT32_MAX, 78435847},
        {"1g", QMRFDAT1, INT32_MIN, -78436640},
        {"1h", QMRFDAT1, -20261204, -740747},
        {"2a", QMRFDAT2, 0, 1231},
        {"2b", QMRFDAT2, 3652060, 100000101},
        {"2c", QMRFDAT2, INT32_MAX, 1230},
        {"2d", QMRFDAT2, INT32_MIN, 1231},
        {"2e", QMRFDAT2, 100000000, -1557056383},
        {"2f", QMRFDAT2, -1, 1230},
        {"4a", QMRFDAT4, 20000229, 2000060},
        {"4b", QMRFDAT4, 99991231, 9999365},
        {"4c", QMRFDAT4, 20260000, 2025970},
        {"4d", QMRFDAT4, INT32_MAX, 214749115},
        {"4e", QMRFDAT4, INT32_MIN, -214749177},
    };
    for (const Anchor& a : anchors) EXPECT_EQ(a.routine(nullptr, nullptr, a.input), a.expected) << a.id;
}

// Under the sanitizer build this proves the arithmetic free of undefined
// behaviour for arbitrary 32-bit inputs.
TEST(DayNumbers, AnyInt32IsALegalInput) {
    qmr_test::TestContext context;
    std::mt19937 random(20261204);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    int32_t sink = 0;
    for (int i = 0; i < 200000; ++i) {
        const int32_t v = any(random);
        sink ^= QMRFDAT1(nullptr, nullptr, v) ^ QMRFDAT2(nullptr, nullptr, v) ^ QMRFDAT4(nullptr, nullptr, v) ^
                QMRFDAT3(nullptr, nullptr, context.get(), v);
    }
    (void)sink;
}

TEST(DayNumbers, JulianFormValidation) {
    struct Case {
        int32_t julian;
        int32_t date;
        bool reported;
    } const cases[] = {
        {2026338, 20261204, false}, {2000366, 20001231, false}, {2000060, 20000229, false},
        {2026060, 20260301, false}, {0, 0, false},              {2026366, 0, true},
        {2026000, 0, true},         {1000, 0, true},            {5, 0, true},
        {-2026338, 0, true},        {10000001, 0, true},        {9999365, 99991231, false},
        {INT32_MAX, 0, true},       {INT32_MIN, 0, true},
    };
    for (const Case& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(QMRFDAT3(nullptr, nullptr, context.get(), c.julian), c.date) << c.julian;
        EXPECT_EQ(context.error(), c.reported ? " 137" : "") << c.julian;
        if (c.reported) {
            EXPECT_EQ(context.facility(), "RQ");
        }
        EXPECT_EQ(context.name(), std::string(8, '\0')) << "the day-number routines stamp no name";
    }
}

}  // namespace
