// A date built-in called after a time built-in whose time the engine
// refused: the date functions store only the date fields of the context's
// DateRequest, so the engine validates the time left there again and the
// date function fails on it.  Hosts see this; it is kept.
#include <gtest/gtest.h>

#include <string>

#include "datetime/clock.h"
#include "date_builtins.h"

namespace {

using date_test::call;
using date_test::kKept;

qmr::ClockReading clockIn2026() { return {2026, 12, 4, 13, 45, 25, 678}; }

std::int32_t dateText(CallContext* context, const std::string& text) {
    std::string field = text;
    field.resize(10, ' ');
    qmr_int32 out = date_test::kMarker32;
    QMRFDTEC(nullptr, nullptr, context, field.data(), &out);
    return date_test::outcome(out);
}

TEST(StaleRequest, ATimeLeftInvalidFailsTheNextDateFunction) {
    qmr::testing::setClock(clockIn2026);
    const struct {
        const char* id;
        date_test::Caller function;
        const char* input;
        std::int32_t output;
        const char* error;
    } cases[] = {
        {"s.1", call<QMRFDAY>, "20261204", 0, " 137"},
        {"s.2", call<QMRFDTTS>, "20261204134525000000", 0, " 137"},
        {"s.3", call<QMRFNUMD>, "20261204", kKept, " 137"},
        {"s.4", call<QMRFDAYN>, "20261204", 4, ""},  // does not validate
        {"s.5", call<QMRFDTEN>, "739954", kKept, " 139"},
        {"s.6", call<QMRFJDTE>, "2026338", kKept, " 139"},
        {"s.7", call<QMRFNCYY>, "1261204", 0, " 137"},
        {"s.8", call<QMRFCYYD>, "20261204", 0, " 137"},
        {"s.9", dateText, "2026-12-04", kKept, " 139"},
        {"s.10", dateText, "12/04/26", 20261204, ""},  // its clock request replaced the time
    };
    for (const auto& c : cases) {
        qmr_test::TestContext context;
        date_test::leaveInvalidTime(context);
        EXPECT_EQ(c.function(context.get(), c.input), c.output) << c.id;
        EXPECT_EQ(context.error(), c.error) << c.id;
    }
    qmr::testing::setClock(nullptr);
}

TEST(StaleRequest, DayOfWeekAndDuration) {
    qmr_test::TestContext context;
    date_test::leaveInvalidTime(context);
    char name[9];
    const qmr_int32 date = 20261204;
    QMRFDOW(nullptr, nullptr, context.get(), &date, name);
    EXPECT_EQ(std::string(name, 9), "         ");
    EXPECT_EQ(context.error(), " 137");

    context.clearError();
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

// Once a call leaves a valid time (or none), the date functions pass again.
TEST(StaleRequest, AValidTimeClearsIt) {
    qmr_test::TestContext context;
    date_test::leaveInvalidTime(context);
    context.request()->time = 235959;
    EXPECT_EQ(call<QMRFDAY>(context.get(), "20261204"), 4);
    EXPECT_FALSE(context.failed());
    context.request()->timeForm = '0';  // the same number read as hundredths: 00:23:59.59
    EXPECT_EQ(call<QMRFDAY>(context.get(), "20261204"), 4);
    context.request()->timeForm = '1';  // as tenths: 02:35:95.9
    EXPECT_EQ(call<QMRFDAY>(context.get(), "20261204"), 0);
    EXPECT_EQ(context.error(), " 137");
}

}  // namespace
