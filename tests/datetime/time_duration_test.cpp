// QMRFTDUR and QMRFSDUR through the call context's duration fields, with
// std::chrono's calendar and clock arithmetic as the oracle for sweeps.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "datetime/timestamp_text.h"
#include "date_builtins.h"

namespace {

using namespace std::chrono;
using qmr_test::TestContext;

constexpr char kZeros[] = "00000000000000000000";

int32_t addTime(TestContext& context, int32_t time, const char* units, int32_t count) {
    context.setInt32At(QMR_CC_DUR_RESULT_TIME, 777);
    context.setInt32At(QMR_CC_DUR_TIME, time);
    date_test::select(context, units, count);
    QMRFTDUR(nullptr, nullptr, context.get());
    return context.int32At(QMR_CC_DUR_RESULT_TIME);
}

TEST(TimeDuration, WrapsWithinTheDay) {
    const struct { int32_t time; const char* units; int32_t count, result; const char* error; } cases[] = {
        {0, "s", INT32_MAX, 31407, ""},      // 2147483647 s = 24855 days + 3:14:07
        {0, "s", INT32_MIN, 204552, ""},     // -2147483648 s = -24856 days + 20:45:52
        {10000, "m", INT32_MIN, 225200, ""}, {10000, "h", INT32_MAX, 80000, ""},  // (1 + 2^31 - 1) mod 24 = 8
        {101010, "hms", 1, 111010, ""},      // hours first
        {101010, "ms", 1, 101110, ""},       // then minutes
        // 24:00:00 steps as 00:00:00 but stays when nothing is added
        {240000, "h", 0, 240000, ""},        {240000, "s", -1, 235959, ""}, {240000, "h", 24, 0, ""},
        {240000, "s", 60, 100, ""},          // the minutes step ran, not the hours step
        {246000, "s", 1, 0, " 141"},         {101010, "", 1, 0, " 130"},
        {246000, "", 1, 0, " 141"},          // the time is checked first
    };
    for (const auto& c : cases) {
        TestContext context;
        context.setByte(QMR_CC_SKIP_VALIDATION, 'Y');  // serves the other durations only
        EXPECT_EQ(addTime(context, c.time, c.units, c.count), c.result) << c.time << " " << c.count << c.units;
        EXPECT_EQ(context.error(), c.error) << c.time << " " << c.count << c.units;
        EXPECT_EQ(context.name(), "QMRFTDUR");
    }
}

int32_t hhmmss(int64_t second) {
    const hh_mm_ss<seconds> t{seconds{second}};
    return int32_t(t.hours().count() * 10000 + t.minutes().count() * 100 + t.seconds().count());
}

TEST(TimeDuration, AgreesWithClockArithmeticForEveryTime) {
    const struct {
        char unit[2];
        int32_t seconds;  // of one
    } units[] = {{"h", 3600}, {"m", 60}, {"s", 1}};
    int failures = 0;
    TestContext context;
    for (int32_t t = 0; t < 86400; ++t) {
        for (const auto& u : units) {
            for (const int32_t count : {1, -1, 59, -61, 1439, -86401, 123457, -999999}) {
                const int32_t expected = hhmmss(((t + int64_t{count} * u.seconds) % 86400 + 86400) % 86400);
                const int32_t result = addTime(context, hhmmss(t), u.unit, count);
                if ((result != expected || context.failed()) && ++failures < 5) {
                    ADD_FAILURE() << hhmmss(t) << " + " << count << u.unit << " = " << result << ", not " << expected;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

// The 21 bytes of the result field after QMRFSDUR.
std::string addStamp(TestContext& context, const std::string& from, const char* units, int32_t count,
                     bool skip = false) {
    context.setText(QMR_CC_DUR_TIMESTAMP, from);
    context.setText(QMR_CC_DUR_RESULT_TIMESTAMP, std::string(21, '#'));
    context.setByte(QMR_CC_SKIP_VALIDATION, skip ? 'Y' : 'N');
    date_test::select(context, units, count);
    QMRFSDUR(nullptr, nullptr, context.get());
    EXPECT_EQ(context.name(), "QMRFSDUR");
    return context.text(QMR_CC_DUR_RESULT_TIMESTAMP, 21);
}

TEST(TimestampDuration, CarriesAndClamps) {
    const struct {
        const char* from;
        const char* units;
        int32_t count;
        bool skip;
        const char* result;  // the 20 characters
        const char* error;
    } cases[] = {
        // carries in every unit are against chrono below
        {"20010101000000      ", "u", 5, false, "20010101000000000005", ""},
        {"19000131000000000000", "M", 1, false, "19000228000000000000", ""},  // 1900 is not leap
        {"20000229000000000000", "Y", 1, false, "20010228000000000000", ""},
        {"20000229000000000000", "Y", -400, false, "16000229000000000000", ""},  // 1600 is
        {"20010101010101000001", "YMDhmsu", 2, false, "20030101010101000001", ""},  // years first
        {"20010101010101000001", "Dhmsu", 2, false, "20010103010101000001", ""},    // then days
        // empty parts: a count of 0 fills them
        {kZeros, "Y", 0, false, "00010000000000000000", ""},
        {"20260000000000000000", "M", 0, false, "20260100000000000000", ""},
        {"20260100000000000000", "D", 0, false, "20260101000000000000", ""},
        {"20261204000000000000", "Y", 0, false, "20261204000000000000", ""}, {kZeros, "h", 1, false, kZeros, " 147"},
        // 24:00:00 has no rule of its own here
        {"20011231240000000000", "h", 1, false, "20020101010000000000", ""},
        {"20011231240000000000", "s", 1, false, kZeros, " 148"},
        {"20011231240000000000", "u", 1, false, "20011231240000000001", ""},
        // range and message numbers
        {"99991231235959999999", "u", 1, false, kZeros, " 147"},
        {"00010101000000000000", "u", -1, false, kZeros, " 147"},
        {"20010101000000000000", "Y", INT32_MAX, false, kZeros, " 147"},  // no 32-bit wrap
        {"20010230000000000000", "h", 1, false, kZeros, " 137"},
        {"20010101246000000000", "h", 1, false, kZeros, " 141"}, {"20010101000000000000", "", 1, false, kZeros, " 130"},
        {"-0010101000000000000", "Y", 3, false, kZeros, " 139"},  // a negative date passes as 0: 00019899
        // skip validation: nothing is checked but the range (an invalid date: below)
        {"20010101246000000000", "u", 1, true, "20010101246000000001", ""},
        {"20010101240000000000", "s", 1, true, "20010101240001000000", ""},
        {"-0010101000000000000", "Y", 3, true, "00019899000000000000", ""}, {kZeros, "h", 1, true, kZeros, " 147"},
    };
    for (const auto& c : cases) {
        TestContext context;
        EXPECT_EQ(addStamp(context, c.from, c.units, c.count, c.skip), std::string(c.result) + '\0')
            << c.from << " + " << c.count << c.units;
        EXPECT_EQ(context.error(), c.error) << c.from << " + " << c.count << c.units;
    }
}

TEST(TimestampDuration, SkippingStoresTheRequestWithoutAskingTheEngine) {
    TestContext context;
    DateRequest& r = *context.request();
    r.returnCode = 8;
    std::strcpy(r.messageText, "earlier");
    EXPECT_EQ(addStamp(context, "20010230101010000000", "s", 5, true), std::string("20010230101015000000") + '\0');
    EXPECT_FALSE(context.failed());
    EXPECT_EQ(r.returnCode, 0);
    EXPECT_STREQ(r.messageText, "earlier");
    EXPECT_EQ(std::to_string(r.date) + " " + std::to_string(r.time), "20010230 101015");
    EXPECT_EQ(std::string{r.requestCode} + r.dateForm + r.timeForm, "002");
}

std::string stampText(sys_time<microseconds> t) {
    const sys_days day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss<microseconds> clock{t - day};
    char out[64];
    std::snprintf(out, sizeof out, "%08ld%02ld%02ld%02ld%06ld", long(date_test::yyyymmdd(ymd)),
                  long(clock.hours().count()), long(clock.minutes().count()), long(clock.seconds().count()),
                  long(clock.subseconds().count()));
    return out;
}

// Random timestamps and counts of every unit against sys_time (clock
// units) and year_month_day with the day capped (months and years).
TEST(TimestampDuration, AgreesWithChrono) {
    std::mt19937 random(7);
    const sys_days first = year{1} / January / 1, last = year{9999} / December / 31;
    std::uniform_int_distribution<int> anyDay(0, (last - first).count()), smallCount(-50, 50);
    std::uniform_int_distribution<int64_t> anyMicro(0, 86400LL * 1000000 - 1);
    std::uniform_int_distribution<int32_t> anyCount(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> calendarCount(-240000, 240000);  // months within chrono's years
    int failures = 0;
    for (int i = 0; i < 20000; ++i) {
        const sys_time<microseconds> from = first + days{anyDay(random)} + microseconds{anyMicro(random)};
        const char unit = "YMDhmsu"[i % 7];
        const bool calendar = unit == 'Y' || unit == 'M';
        const int32_t count = i % 3 == 1 ? smallCount(random)
                              : calendar ? calendarCount(random) / (unit == 'Y' ? 12 : 1 + i % 3 * 100)
                              : unit == 'D' ? anyCount(random) / 256  // chrono's microseconds hold it
                              : i % 3 == 0  ? anyCount(random)
                                            : anyCount(random) / 4096;
        if (calendar && count == 0) continue;  // covered by the table: 0 fills only empty parts
        const sys_days fromDay = floor<days>(from);
        year_month_day moved{fromDay};
        sys_time<microseconds> to{};
        switch (unit) {
        case 'Y': moved += years{count}; break;
        case 'M': moved += months{count}; break;
        case 'D': to = from + days{count}; break;
        case 'h': to = from + hours{count}; break;
        case 'm': to = from + minutes{count}; break;
        case 's': to = from + seconds{count}; break;
        default: to = from + microseconds{count}; break;
        }
        if (calendar) {
            if (!moved.ok()) moved = moved.year() / moved.month() / std::chrono::last;
            to = sys_days{moved} + (from - fromDay);
        }
        const bool inRange = to >= first && to < last + days{1};
        const char units[2] = {unit, 0};
        TestContext context;
        const std::string sum = addStamp(context, stampText(from), units, count);
        const std::string want = inRange ? stampText(to) : std::string(kZeros);
        if ((sum != want + '\0' || context.error() != (inRange ? "" : " 147")) && ++failures < 5) {
            ADD_FAILURE() << stampText(from) << " + " << count << unit << " = " << sum << context.error()
                          << ", expected " << want;
        }
    }
    EXPECT_EQ(failures, 0);
}

// printf's "%08ld%06ld%06ld" cut to the field, also for parts of the wrong
// width (negative ones come from skipped validation).
TEST(TimestampText, IsPrintfsTimestampFormat) {
    const int32_t clock[] = {0, 5, 134525, 999999, -1, -99999, -84041};
    for (const int32_t date : {0, 20261204, 99999999}) {
        for (const int32_t time : clock) {
            for (const int32_t micros : clock) {
                char expected[64], t[21];
                std::snprintf(expected, sizeof expected, "%08ld%06ld%06ld", long(date), long(time), long(micros));
                qmr::formatTimestamp(t, date, time, micros);
                EXPECT_EQ(std::string(t, 21), std::string(expected, 20) + '\0') << date << ' ' << time << ' ' << micros;
            }
        }
    }
    char wide[21];
    qmr::formatTimestamp(wide, INT32_MIN, INT32_MAX, -1);
    EXPECT_EQ(std::string(wide, 21), std::string("-2147483648214748364") + '\0');
}

}  // namespace
