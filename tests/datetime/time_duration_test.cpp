// QMRFTDUR and QMRFSDUR through the call context's duration fields, with
// std::chrono's calendar and clock arithmetic as the oracle for sweeps.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <cstdio>
#include <random>
#include <string>

#include "datetime/timestamp_text.h"
#include "qmr/qmr.h"
#include "support/context.h"

namespace {

using namespace std::chrono;
using qmr_test::TestContext;

constexpr char kZeros[] = "00000000000000000000";

struct UnitField {
    char key;  // as the tables name it
    std::size_t selected;
    std::size_t count;
};

constexpr UnitField kUnits[] = {
    {'Y', QMR_CC_DUR_YEARS_SELECTED, QMR_CC_DUR_YEARS},       {'M', QMR_CC_DUR_MONTHS_SELECTED, QMR_CC_DUR_MONTHS},
    {'D', QMR_CC_DUR_DAYS_SELECTED, QMR_CC_DUR_DAYS},         {'h', QMR_CC_DUR_HOURS_SELECTED, QMR_CC_DUR_HOURS},
    {'m', QMR_CC_DUR_MINUTES_SELECTED, QMR_CC_DUR_MINUTES},   {'s', QMR_CC_DUR_SECONDS_SELECTED, QMR_CC_DUR_SECONDS},
    {'u', QMR_CC_DUR_MICROS_SELECTED, QMR_CC_DUR_MICROS},
};

// Selects the units named in `units` (e.g. "ms"), each with `count`.
void select(TestContext& context, const char* units, int32_t count) {
    for (const UnitField& u : kUnits) {
        const bool on = std::strchr(units, u.key) != nullptr;
        context.setByte(u.selected, on ? 'Y' : 'N');
        context.setInt32At(u.count, on ? count : 0);
    }
}

// ------------------------------------------------------------- QMRFTDUR

struct TimeSum {
    int32_t result;
    std::string error;
};

TimeSum addTime(int32_t time, const char* units, int32_t count, TestContext context = TestContext()) {
    context.setInt32At(QMR_CC_DUR_RESULT_TIME, 777);
    context.setInt32At(QMR_CC_DUR_TIME, time);
    select(context, units, count);
    QMRFTDUR(nullptr, nullptr, context.get());
    EXPECT_EQ(context.name(), "QMRFTDUR");
    return {context.int32At(QMR_CC_DUR_RESULT_TIME), context.error()};
}

TEST(TimeDuration, WrapsWithinTheDay) {
    const struct {
        const char* id;
        int32_t time;
        const char* units;
        int32_t count;
        int32_t result;
        const char* error;
    } cases[] = {
        {"w.1", 235959, "s", 1, 0, ""},
        {"w.2", 0, "s", -1, 235959, ""},
        {"w.3", 103000, "m", 1500, 113000, ""},  // whole days dropped
        {"w.4", 103000, "h", -35, 233000, ""},
        {"w.5", 0, "s", INT32_MAX, 31407, ""},   // 2147483647 s = 24855 days + 3:14:07
        {"w.6", 0, "s", INT32_MIN, 204552, ""},  // -2147483648 s = -24856 days + 20:45:52
        {"w.7", 10000, "m", INT32_MIN, 225200, ""},
        {"w.8", 10000, "h", INT32_MAX, 80000, ""},  // (1 + 2^31 - 1) mod 24 = 8
        {"p.1", 101010, "hms", 1, 111010, ""},   // hours first
        {"p.2", 101010, "ms", 1, 101110, ""},    // then minutes
        {"24.1", 240000, "s", 30, 30, ""},
        {"24.2", 240000, "h", 0, 240000, ""},
        {"24.3", 240000, "s", -1, 235959, ""},
        {"24.4", 240000, "h", 24, 0, ""},
        {"24.5", 240000, "h", 1, 10000, ""},
        {"24.6", 240000, "m", 60, 10000, ""},
        {"24.7", 240000, "s", 60, 100, ""},  // the minutes step ran, not the hours step
        {"e.1", 246000, "s", 1, 0, " 141"},
        {"e.2", -1, "h", 1, 0, " 141"},
        {"e.3", 101010, "", 1, 0, " 130"},
        {"e.4", 246000, "", 1, 0, " 141"},  // the time is checked first
    };
    for (const auto& c : cases) {
        const TimeSum sum = addTime(c.time, c.units, c.count);
        EXPECT_EQ(sum.result, c.result) << c.id;
        EXPECT_EQ(sum.error, c.error) << c.id;
    }
}

TEST(TimeDuration, AgreesWithClockArithmeticForEveryTime) {
    const struct {
        char unit;
        int32_t seconds;  // of one
    } units[] = {{'h', 3600}, {'m', 60}, {'s', 1}};
    const int32_t counts[] = {1, -1, 59, -61, 1439, -86401, 123457, -999999};
    int failures = 0;
    TestContext context;
    for (int32_t t = 0; t < 86400; ++t) {
        const hh_mm_ss<seconds> from{seconds{t}};
        const int32_t time = int32_t(from.hours().count() * 10000 + from.minutes().count() * 100 + from.seconds().count());
        context.setInt32At(QMR_CC_DUR_TIME, time);
        for (const auto& u : units) {
            const char units1[2] = {u.unit, 0};
            for (const int32_t count : counts) {
                const int64_t total = ((t + int64_t{count} * u.seconds) % 86400 + 86400) % 86400;
                const hh_mm_ss<seconds> to{seconds{total}};
                const int32_t expected =
                    int32_t(to.hours().count() * 10000 + to.minutes().count() * 100 + to.seconds().count());
                select(context, units1, count);
                QMRFTDUR(nullptr, nullptr, context.get());
                const int32_t result = context.int32At(QMR_CC_DUR_RESULT_TIME);
                if ((result != expected || context.failed()) && ++failures < 5) {
                    ADD_FAILURE() << time << " + " << count << u.unit << " = " << result << ", expected " << expected;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(TimeDuration, AlwaysChecksTheTimeAndTheStaleDate) {
    TestContext context;
    context.setByte(QMR_CC_SKIP_VALIDATION, 'Y');
    EXPECT_EQ(addTime(246000, "s", 1, context).error, " 141") << "the skip byte serves other functions";

    TestContext stale;
    stale.request()->date = 20261232;  // left by a failed date call
    EXPECT_EQ(addTime(101010, "s", 1, stale).error, " 141");
}

// ------------------------------------------------------------- QMRFSDUR

struct StampSum {
    std::string result;  // the 21 bytes
    std::string error;
};

StampSum addStamp(const std::string& from, const char* units, int32_t count, bool skip = false,
                  TestContext context = TestContext()) {
    context.setText(QMR_CC_DUR_TIMESTAMP, from);
    context.setText(QMR_CC_DUR_RESULT_TIMESTAMP, std::string(21, '#'));
    context.setByte(QMR_CC_SKIP_VALIDATION, skip ? 'Y' : 'N');
    select(context, units, count);
    QMRFSDUR(nullptr, nullptr, context.get());
    EXPECT_EQ(context.name(), "QMRFSDUR");
    return {context.text(QMR_CC_DUR_RESULT_TIMESTAMP, 21), context.error()};
}

TEST(TimestampDuration, CarriesAndClamps) {
    const struct {
        const char* id;
        const char* from;
        const char* units;
        int32_t count;
        bool skip;
        const char* result;  // the 20 characters
        const char* error;
    } cases[] = {
        // microseconds into seconds, minutes, hours, days, months, years
        {"u.1", "20011231235959999999", "u", 1, false, "20020101000000000000", ""},
        {"u.2", "20010101000000000000", "u", -1, false, "20001231235959999999", ""},
        {"u.3", "20010101000000000000", "u", INT32_MIN, false, "20001231232412516352", ""},
        {"u.4", "20010101000000      ", "u", 5, false, "20010101000000000005", ""},
        {"s.1", "20010228235959000000", "s", 1, false, "20010301000000000000", ""},
        {"s.2", "20000301000000000007", "s", -1, false, "20000229235959000007", ""},
        {"m.1", "20011231235900000000", "m", 1, false, "20020101000000000000", ""},
        {"h.1", "20011231230000000000", "h", 1, false, "20020101000000000000", ""},
        {"h.2", "20010101000000000000", "h", -24, false, "20001231000000000000", ""},
        {"h.3", "19991231000000000000", "h", 24 * 366, false, "20001231000000000000", ""},  // 2000 is leap
        {"D.1", "20001231101010000000", "D", 1, false, "20010101101010000000", ""},
        {"D.2", "20010301101010000000", "D", -1, false, "20010228101010000000", ""},
        {"D.3", "20000301000000000000", "D", -1, false, "20000229000000000000", ""},
        {"M.1", "20010131000000000000", "M", 1, false, "20010228000000000000", ""},
        {"M.2", "20010131000000000000", "M", 13, false, "20020228000000000000", ""},
        {"M.3", "20010131000000000000", "M", -1, false, "20001231000000000000", ""},
        {"M.4", "20000331000000000000", "M", -1, false, "20000229000000000000", ""},
        {"M.5", "19000131000000000000", "M", 1, false, "19000228000000000000", ""},
        {"M.6", "20010531000000000000", "M", 1, false, "20010630000000000000", ""},
        {"M.7", "20010115000000000000", "M", -12, false, "20000115000000000000", ""},
        {"M.8", "20010115000000000000", "M", -13, false, "19991215000000000000", ""},
        {"M.9", "20041130000000000000", "M", -9, false, "20040229000000000000", ""},
        {"Y.1", "20000229000000000000", "Y", 1, false, "20010228000000000000", ""},
        {"Y.2", "19960229000000000000", "Y", 4, false, "20000229000000000000", ""},
        {"Y.3", "20000229000000000000", "Y", -400, false, "16000229000000000000", ""},
        {"Y.4", "20010101010101000001", "YMDhmsu", 2, false, "20030101010101000001", ""},  // years first
        {"Y.5", "20010101010101000001", "Dhmsu", 2, false, "20010103010101000001", ""},    // then days
        // empty parts: a count of 0 fills them
        {"z.1", "00000000000000000000", "Y", 0, false, "00010000000000000000", ""},
        {"z.2", "20260000000000000000", "M", 0, false, "20260100000000000000", ""},
        {"z.3", "20260100000000000000", "D", 0, false, "20260101000000000000", ""},
        {"z.4", "20261204000000000000", "Y", 0, false, "20261204000000000000", ""},
        {"z.5", "00000000000000000000", "h", 1, false, kZeros, " 147"},
        // 24:00:00 has no rule of its own here
        {"24.1", "20011231240000000000", "h", 1, false, "20020101010000000000", ""},
        {"24.2", "20011231240000000000", "s", 1, false, kZeros, " 148"},
        {"24.3", "20011231240000000000", "u", 1, false, "20011231240000000001", ""},
        // range and message numbers
        {"r.1", "99991231235959999999", "u", 1, false, kZeros, " 147"},
        {"r.2", "00010101000000000000", "u", -1, false, kZeros, " 147"},
        {"r.3", "99991231000000000000", "Y", 1, false, kZeros, " 147"},
        {"r.4", "20010101000000000000", "Y", INT32_MAX, false, kZeros, " 147"},  // no 32-bit wrap
        {"r.5", "20010101000000000000", "M", INT32_MIN, false, kZeros, " 147"},
        {"r.6", "20010101000000000000", "h", INT32_MIN, false, kZeros, " 147"},
        {"r.7", "00010101000000000000", "D", -1, false, kZeros, " 147"},
        {"r.8", "20010230000000000000", "h", 1, false, kZeros, " 137"},
        {"r.9", "20010101246000000000", "h", 1, false, kZeros, " 141"},
        {"r.10", "20010101000000000000", "", 1, false, kZeros, " 130"},
        {"r.11", "-0010101000000000000", "Y", 3, false, kZeros, " 139"},  // a negative date passes as 0
        {"r.12", "-0010101000000000000", "Y", 2, false, kZeros, " 147"},
        // skip validation: nothing is checked but the range
        {"k.1", "20010230000000000000", "h", 1, true, "20010230010000000000", ""},
        {"k.2", "20010101246000000000", "u", 1, true, "20010101246000000001", ""},
        {"k.3", "20010101240000000000", "s", 1, true, "20010101240001000000", ""},
        {"k.4", "-0010101000000000000", "Y", 3, true, "00019899000000000000", ""},
        {"k.5", "00000000000000000000", "h", 1, true, kZeros, " 147"},
    };
    for (const auto& c : cases) {
        const StampSum sum = addStamp(c.from, c.units, c.count, c.skip);
        EXPECT_EQ(sum.result, std::string(c.result) + '\0') << c.id;
        EXPECT_EQ(sum.error, c.error) << c.id;
    }
}

TEST(TimestampDuration, SkippingStoresTheRequestWithoutAskingTheEngine) {
    TestContext context;
    DateRequest& r = *context.request();
    r.returnCode = 8;
    std::strcpy(r.messageText, "earlier");
    context.setText(QMR_CC_DUR_TIMESTAMP, "20010230101010000000");
    context.setByte(QMR_CC_SKIP_VALIDATION, 'Y');
    select(context, "s", 5);
    QMRFSDUR(nullptr, nullptr, context.get());
    EXPECT_FALSE(context.failed());
    EXPECT_EQ(context.text(QMR_CC_DUR_RESULT_TIMESTAMP, 20), "20010230101015000000");
    EXPECT_EQ(r.returnCode, 0);
    EXPECT_STREQ(r.messageText, "earlier");
    EXPECT_EQ(r.date, 20010230);
    EXPECT_EQ(r.time, 101015);
    EXPECT_EQ(r.requestCode, '0');
    EXPECT_EQ(r.dateForm, '0');
    EXPECT_EQ(r.timeForm, '2');
}

// Random timestamps and counts of every unit against std::chrono: clock
// units through sys_time<microseconds>, months and years through
// year_month_day, a day past the month's end falling back to its last.
TEST(TimestampDuration, AgreesWithChrono) {
    std::mt19937 random(7);
    const sys_days first = year{1} / January / 1;
    const sys_days last = year{9999} / December / 31;
    std::uniform_int_distribution<int> anyDay(0, (last - first).count());
    std::uniform_int_distribution<int64_t> anyMicro(0, 86400LL * 1000000 - 1);
    std::uniform_int_distribution<int> smallCount(-50, 50);
    std::uniform_int_distribution<int32_t> anyCount(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> calendarCount(-240000, 240000);  // months within chrono's years
    const auto text = [](sys_time<microseconds> t) {
        const sys_days day = floor<days>(t);
        const year_month_day ymd{day};
        const hh_mm_ss<microseconds> clock{t - day};
        char out[64];
        std::snprintf(out, sizeof out, "%04d%02u%02u%02ld%02ld%02ld%06ld", int(ymd.year()), unsigned(ymd.month()),
                      unsigned(ymd.day()), long(clock.hours().count()), long(clock.minutes().count()),
                      long(clock.seconds().count()), long(clock.subseconds().count()));
        return std::string(out);
    };
    int failures = 0;
    for (int i = 0; i < 20000; ++i) {
        const sys_time<microseconds> from = first + days{anyDay(random)} + microseconds{anyMicro(random)};
        const UnitField& unit = kUnits[i % 7];
        const bool calendar = unit.key == 'Y' || unit.key == 'M';
        const int32_t count = i % 3 == 1 ? smallCount(random)
                              : calendar  ? calendarCount(random) / (unit.key == 'Y' ? 12 : 1 + i % 3 * 100)
                              : unit.key == 'D' ? anyCount(random) / 256  // chrono's microseconds hold it
                              : i % 3 == 0 ? anyCount(random)
                                           : anyCount(random) / 4096;
        const sys_days fromDay = floor<days>(from);
        const year_month_day ymd{fromDay};
        std::string expected;
        year_month_day moved = ymd;
        sys_time<microseconds> to{};
        switch (unit.key) {
        case 'Y': moved = ymd + years{count}; break;
        case 'M': moved = ymd + months{count}; break;
        case 'D': to = from + days{count}; break;
        case 'h': to = from + hours{count}; break;
        case 'm': to = from + minutes{count}; break;
        case 's': to = from + seconds{count}; break;
        default: to = from + microseconds{count}; break;
        }
        if (calendar) {
            if (count == 0) continue;  // covered by the table: 0 fills only empty parts
            if (!moved.ok()) moved = moved.year() / moved.month() / std::chrono::last;
            to = sys_days{moved} + (from - fromDay);
        }
        const bool inRange = to >= first && to < last + days{1};
        const char units[2] = {unit.key, 0};
        const StampSum sum = addStamp(text(from), units, count);
        const std::string want = inRange ? text(to) : std::string(kZeros);
        if ((sum.result != want + '\0' || sum.error != (inRange ? "" : " 147")) && ++failures < 5) {
            ADD_FAILURE() << text(from) << " + " << count << unit.key << " = " << sum.result << sum.error
                          << ", expected " << want;
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(TimestampText, IsPrintfsTimestampFormat) {
    const int32_t dates[] = {0, 1, 10000, 20261204, 99991231, 99999999};
    const int32_t clock[] = {0, 5, 134525, 999999, -1, -99999, -84041};
    for (const int32_t date : dates) {
        for (const int32_t time : clock) {
            for (const int32_t micros : clock) {
                char expected[64];
                std::snprintf(expected, sizeof expected, "%08ld%06ld%06ld", long(date), long(time), long(micros));
                char t[21];
                qmr::formatTimestamp(t, date, time, micros);
                EXPECT_EQ(std::string(t, 21), std::string(expected, 20) + '\0') << date << ' ' << time << ' ' << micros;
            }
        }
    }
    // Wider values than the callers produce are cut to the field.
    char wide[21];
    qmr::formatTimestamp(wide, INT32_MIN, INT32_MAX, -1);
    EXPECT_EQ(std::string(wide, 21), std::string("-2147483648214748364") + '\0');
}

}  // namespace
