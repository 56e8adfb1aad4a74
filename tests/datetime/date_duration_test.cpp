// QMRFDDUR through the duration fields of a call context, with std::chrono
// as the oracle for days and months.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "date_builtins.h"

namespace {

struct Duration {
    qmr_int32 date;
    const char* units;  // of "YMD", each with the count
    qmr_int32 count;
    bool skipValidation = false;
};

// Lays the operands out in the context and calls; returns the result date.
qmr_int32 addDuration(qmr_test::TestContext& context, const Duration& d) {
    date_test::select(context, d.units, d.count);
    context.setInt32At(QMR_CC_DUR_DATE, d.date);
    context.setByte(QMR_CC_SKIP_VALIDATION, d.skipValidation ? 'Y' : 'N');
    context.setInt32At(QMR_CC_DUR_RESULT_DATE, date_test::kMarker32);
    QMRFDDUR(nullptr, nullptr, context.get());
    EXPECT_EQ(context.name(), "QMRFDDUR");
    return context.int32At(QMR_CC_DUR_RESULT_DATE);
}

TEST(DateDuration, Steps) {
    const struct {
        Duration duration;
        qmr_int32 result;  // 0 after every failure
        const char* error;
    } cases[] = {
        // years; February 29 into a common year is February 28; 2100 is not a leap year
        {{20240229, "Y", 1}, 20250228, ""}, {{20240229, "Y", 4}, 20280229, ""}, {{20240229, "Y", 76}, 21000228, ""},
        {{20261204, "Y", -2025}, 11204, ""}, {{99991231, "Y", 1}, 0, " 147"}, {{10101, "Y", -1}, 0, " 147"},
        {{0, "Y", 0}, 10000, ""},    // year 0 plus 0 years is year 1
        {{229, "Y", 0}, 10228, ""},  // 0000-02-29 to 0001-02-28
        {{123456789, "Y", -3000}, 0, " 139"},  // accepted as 00000000, result month 67
        {{20260101, "Y", 1717987}, 0, " 147"},  // 32 bits would wrap to 20260917
        // months; the day cut to the end of a shorter month is against chrono below
        {{20260000, "M", 0}, 20260100, ""},  // month 0 plus 0 months is month 1
        {{99991201, "M", 1}, 0, " 147"}, {{20261204, "M", INT32_MAX}, 0, " 147"},
        {{20261204, "M", INT32_MIN}, 0, " 147"},
        // days
        {{10101, "D", 3652058}, 99991231, ""}, {{20261200, "D", 0}, 20261201, ""},  // day 0 plus 0 days is day 1
        {{20261204, "D", -739954}, 0, " 147"},     // 0000-12-31
        {{20261204, "D", 1073741824}, 0, " 147"},  // 32 bits: 20261204 again
        // unit selection and the input check
        {{20261204, "YMD", 5}, 20311204, ""},  // years win
        {{20261204, "", 5}, 0, " 130"}, {{20261232, "D", 1}, 0, " 137"},
        {{20261332, "D", 1, true}, 20270202, ""},  // not checked: 2026-13-32 is 2027-02-01
        {{20261232, "Y", 1, true}, 20271232, ""},  // nor is the result
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        EXPECT_EQ(addDuration(context, c.duration), c.result) << "row " << &c - cases;
        EXPECT_EQ(context.error(), c.error) << "row " << &c - cases;
    }
}

// Random dates and counts against sys_days arithmetic (days) and
// year_month arithmetic with the day capped at the month's last (months).
TEST(DateDuration, AgreesWithChrono) {
    using namespace std::chrono;
    using date_test::yyyymmdd;
    std::mt19937 random(20261204);
    std::uniform_int_distribution<int> anyDay(0, 3652058), dayCount(-400000, 400000), monthCount(-1300, 1300);
    qmr_test::TestContext context;
    for (int i = 0; i < 200000; ++i) {
        const sys_days from = sys_days{year{1} / January / 1} + days{anyDay(random)};
        const year_month_day ymd{from};
        const int n = dayCount(random), k = monthCount(random);
        const year_month_day byDays{from + days{n}};
        const bool daysInRange = byDays.year() >= year{1} && byDays.year() <= year{9999};
        ASSERT_EQ(addDuration(context, {yyyymmdd(ymd), "D", n}), daysInRange ? yyyymmdd(byDays) : 0)
            << yyyymmdd(ymd) << " + " << n << " days";
        context.clearError();  // a refusal flags the context; the next call would stop on it
        const year_month ym = ymd.year() / ymd.month() + months{k};
        const year_month_day byMonths{ym / std::min(ymd.day(), year_month_day{ym / last}.day())};
        const bool monthsInRange = ym.year() >= year{1} && ym.year() <= year{9999};
        ASSERT_EQ(addDuration(context, {yyyymmdd(ymd), "M", k}), monthsInRange ? yyyymmdd(byMonths) : 0)
            << yyyymmdd(ymd) << " + " << k << " months";
        context.clearError();
    }
}

TEST(DateDuration, AFlagLeftSetStopsItAfterTheArithmetic) {
    qmr_test::TestContext context;
    context.setByte(QMR_CC_ERROR_FLAG, 'Y');
    context.setText(QMR_CC_MESSAGE_NUMBER, " 999");
    EXPECT_EQ(addDuration(context, {20261204, "D", 1}), 0);
    EXPECT_EQ(context.message(), " 999") << "no report";
    EXPECT_EQ(addDuration(context, {20261204, "D", 1000000000}), 0);
    EXPECT_EQ(context.message(), " 999") << "the flag is looked at before the range";
    EXPECT_EQ(addDuration(context, {20261232, "D", 1}), 0);
    EXPECT_EQ(context.message(), " 137") << "the input check comes first";
}

}  // namespace
