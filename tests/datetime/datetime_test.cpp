// The date and time engine and built-ins through qmr.h: every day of the
// calendar and every time of the day against std::chrono, the engine and
// the date, time and timestamp texts against the models of tests/support
// over seeded random inputs, the durations against chrono's arithmetic,
// and a row for each rule those leave out.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>

#include "datetime/clock.h"
#include "datetime/date_duration.h"
#include "datetime/timestamp_text.h"
#include "datetime/weekday.h"
#include "support/datetime_model.h"

namespace {

using namespace std::chrono;
using namespace std::string_literals;
using qmr_model::yyyymmdd;
using qmr_test::TestContext;

// A built-in on `input`: a number (by value or in a field) or the leading
// characters of a 20-character timestamp ('0' after them).  Its output
// ("-" when it still holds the marker the host put there) and report.
template <typename In, typename Out>
std::string run(void (*f)(void*, void*, CallContext*, In, Out*), TestContext& c, const std::string& input) {
    Out out = static_cast<Out>(0x77777777);
    if constexpr (std::is_same_v<In, const char*>) {
        f(nullptr, nullptr, c.get(), (input + std::string(20, '0')).substr(0, 20).c_str(), &out);
    } else if constexpr (std::is_pointer_v<In>) {
        const qmr_int32 number = std::stoi(input);
        f(nullptr, nullptr, c.get(), &number, &out);
    } else {
        f(nullptr, nullptr, c.get(), std::stoi(input), &out);
    }
    return (out == static_cast<Out>(0x77777777) ? "-" : std::to_string(out)) + c.error();
}
struct Call {  // a built-in, its name, its input, its output and report
    std::string (*function)(TestContext&, const std::string&);
    const char* name;
    const char* input;
    const char* result;
};
#define CALL(f, input, result) {[](TestContext& c, const std::string& in) { return run(f, c, in); }, #f, input, result}

// QMRFDDUR ('D'), QMRFTDUR ('T') or QMRFSDUR ('S') on an operand with
// the units of `units` selected with `count` (Y years, M months, D days,
// h hours, m minutes, s seconds, u microseconds), the others not: its
// result field and the report.  A result timestamp must end in a NUL.
std::string duration(char f, TestContext& c, const std::string& operand, const char* units, std::int32_t count,
                     bool skip = false) {
    static const std::size_t fields[7][2] = {  // the flag and the count of Y, M, D, h, m, s, u
        {QMR_CC_DUR_YEARS_SELECTED, QMR_CC_DUR_YEARS}, {QMR_CC_DUR_MONTHS_SELECTED, QMR_CC_DUR_MONTHS},
        {QMR_CC_DUR_DAYS_SELECTED, QMR_CC_DUR_DAYS}, {QMR_CC_DUR_HOURS_SELECTED, QMR_CC_DUR_HOURS},
        {QMR_CC_DUR_MINUTES_SELECTED, QMR_CC_DUR_MINUTES}, {QMR_CC_DUR_SECONDS_SELECTED, QMR_CC_DUR_SECONDS},
        {QMR_CC_DUR_MICROS_SELECTED, QMR_CC_DUR_MICROS}};
    for (int k = 0; k < 7; ++k) {
        c.setByte(fields[k][0], std::strchr(units, "YMDhmsu"[k]) ? 'Y' : 'N');
        c.setInt32At(fields[k][1], std::strchr(units, "YMDhmsu"[k]) ? count : 0);
    }
    const std::size_t in = f == 'D' ? QMR_CC_DUR_DATE : f == 'T' ? QMR_CC_DUR_TIME : QMR_CC_DUR_TIMESTAMP;
    const std::size_t out =
        f == 'D' ? QMR_CC_DUR_RESULT_DATE : f == 'T' ? QMR_CC_DUR_RESULT_TIME : QMR_CC_DUR_RESULT_TIMESTAMP;
    c.setByte(QMR_CC_SKIP_VALIDATION, skip ? 'Y' : 'N');
    c.setText(out, std::string(f == 'S' ? 21 : 4, '#'));
    if (f == 'S') c.setText(in, operand);
    else c.setInt32At(in, std::stoi(operand));
    (f == 'D' ? QMRFDDUR : f == 'T' ? QMRFTDUR : QMRFSDUR)(nullptr, nullptr, c.get());
    EXPECT_EQ(c.name(), f == 'D' ? "QMRFDDUR" : f == 'T' ? "QMRFTDUR" : "QMRFSDUR");
    const std::string result =
        f == 'S' ? c.text(out, 20) + (c.bytes()[out + 20] ? "(no NUL)" : "") : std::to_string(c.int32At(out));
    return result + c.error();
}

// Leaves in the context's request the invalid time a time built-in left
// after refusing 24:60:00 (form '2'), or the invalid date QMRFTSC left
// after 2001-02-30.
void leaveInvalid(TestContext& context, bool time) {
    DateRequest& r = *context.request();
    r.requestCode = '0';
    (time ? r.time : r.date) = time ? 246000 : 20010230;
    (time ? r.timeForm : r.dateForm) = time ? '2' : '0';
    QMRDAT2(nullptr, nullptr, &r);
}

qmr::ClockReading clockIn2026() { return {2026, 12, 4, 13, 45, 25, 678}; }
qmr::ClockReading clockIn1999() { return {1999, 12, 31, 23, 59, 59, 999}; }
qmr::ClockReading clockIn1599() { return {1599, 12, 31, 23, 59, 59, 5}; }
struct FixedClock {  // the clock reads `source` for the life of the object
    explicit FixedClock(qmr::ClockReading (*source)() = clockIn2026) { qmr::testing::setClock(source); }
    ~FixedClock() { qmr::testing::setClock(nullptr); }
};

// Every day of 0001-01-01..9999-12-31 through the routines and the
// built-ins; the day after each year's last is refused.
TEST(Calendar, EveryDayAgreesWithChrono) {
    static const char* const names[] = {"SUNDAY   ", "MONDAY   ", "TUESDAY  ", "WEDNESDAY",
                                        "THURSDAY ", "FRIDAY   ", "SATURDAY "};
    TestContext c;
    const sys_days first = year{1} / January / 1;
    for (sys_days d = first; d <= year{9999} / December / 31; d += days{1}) {
        const year_month_day ymd{d};
        const qmr_int32 date = yyyymmdd(ymd), number = (d - first).count() + 1;
        const qmr_int32 julian = int(ymd.year()) * 1000 + (d - sys_days{ymd.year() / January / 1}).count() + 1;
        qmr_int32 fromNumber = 0, back = 0, toJulian = 0, fromJulian = 0;
        char name[10] = "~~~~~~~~~";
        QMRFDTEN(nullptr, nullptr, c.get(), &number, &fromNumber);
        QMRFDAYS(nullptr, nullptr, c.get(), &date, &back);
        QMRFDTEJ(nullptr, nullptr, c.get(), &date, &toJulian);
        QMRFJDTE(nullptr, nullptr, c.get(), &julian, &fromJulian);
        QMRFDOW(nullptr, nullptr, c.get(), &date, name);
        if (QMRFDAT1(nullptr, nullptr, date) != number || QMRFDAT2(nullptr, nullptr, number) != date ||
            QMRFDAT4(nullptr, nullptr, date) != julian || QMRFDAT3(nullptr, nullptr, c.get(), julian) != date ||
            fromNumber != date || back != number || toJulian != julian || fromJulian != date ||
            name != std::string(names[weekday{d}.c_encoding()]) || c.failed() ||
            (ymd.month() == December && ymd.day() == day{31} && QMRFDAT3(nullptr, nullptr, c.get(), julian + 1) != 0)) {
            FAIL() << date << ": " << fromNumber << " " << back << " " << toJulian << " " << fromJulian << " " << name;
        }
        c.clearError();
    }
}

// Outside the calendar the formulas give what 32-bit C arithmetic gives;
// the unsigned fast paths equal the signed formulas for every month and
// day a date can hold, and any int32 runs the arithmetic under UBSan.
TEST(Calendar, OutsideItTheFormulasWrapIn32Bits) {
    const struct { qmr_int32 (*routine)(void*, void*, qmr_int32); qmr_int32 input, expected; } cases[] = {
        {QMRFDAT1, 0, -396}, {QMRFDAT1, INT32_MAX, 78435847}, {QMRFDAT1, INT32_MIN, -78436640}, {QMRFDAT2, 0, 1231},
        {QMRFDAT2, 3652060, 100000101}, {QMRFDAT2, INT32_MAX, 1230}, {QMRFDAT2, INT32_MIN, 1231}, {QMRFDAT2, -1, 1230},
        {QMRFDAT2, 100000000, -1557056383}, {QMRFDAT4, 20260000, 2025970}, {QMRFDAT4, INT32_MIN, -214749177}};
    for (const auto& c : cases) EXPECT_EQ(c.routine(nullptr, nullptr, c.input), c.expected) << c.input;
    std::mt19937 random(7);
    for (int i = 0; i < 400000; ++i) {
        const qmr_int32 v =
            i < 100000 ? i / 10000 * 1111 * 10000 + i % 10000 : static_cast<qmr_int32>(random()) >> (i % 20);
        ASSERT_EQ(qmr::dayNumberInCalendar(v), qmr::dayNumber(v)) << v;
        ASSERT_EQ(qmr::weekdayInCalendar(v), qmr::weekdayOf(v)) << v;
        TestContext c;
        ASSERT_EQ(QMRFDAT3(nullptr, nullptr, c.get(), v), qmr_model::julianDate(v).value_or(0)) << v;
        ASSERT_EQ(c.error() + c.name(), (qmr_model::julianDate(v) ? ""s : " 137"s) + std::string(8, '\0')) << v;
    }
}

// Random blocks, their dates and times near the edges of the calendar and
// of the clock, their timestamp texts mostly digits, in every form and
// for every request that does not read the clock, against the model.
TEST(Engine, AgreesWithTheModelOnAnyBlock) {
    std::mt19937 random(8);
    const auto pick = [&](int n) { return static_cast<int>(random() % n); };
    const auto near = [&](int edge, int n) { return pick(2) ? edge - pick(2) : pick(n); };  // an edge, below, any
    unsigned char block[QMR_DATE_REQUEST_SIZE];
    for (int i = 0; i < 300000; ++i) {
        for (unsigned char& b : block) b = static_cast<unsigned char>(i % 4 ? '0' + random() % 10 : random());
        const qmr_int32 date = i % 7 ? pick(i % 5 ? 10000 : 3000) * 10000 + near(13, 14) * 100 + near(32, 33)
                               : i % 49 ? static_cast<qmr_int32>(random()) : 99999999 + pick(2);  // 8, 9 digits
        const qmr_int32 time = i % 5 == 0 ? 0 : i % 9 ? (near(25, 26) * 100 + near(60, 61)) * 100 + near(60, 61)
                                                      : static_cast<qmr_int32>(random());
        std::memcpy(block + QMR_DR_DATE, &date, 4);
        std::memcpy(block + QMR_DR_TIME, &time, 4);
        std::snprintf(reinterpret_cast<char*>(block + QMR_DR_TIMESTAMP_TEXT), 16, "%08d%06d", date,
                      pick(4) ? time % 1000000 : 240000);
        block[QMR_DR_TIMESTAMP_TEXT + pick(QMR_DR_TIMESTAMP_SIZE)] = " -\0"[pick(3)];
        block[QMR_DR_REQUEST_CODE] = "0000000445566128\x09"[pick(17)];
        block[QMR_DR_DATE_FORM] = "0012x"[pick(5)];
        block[QMR_DR_TIME_FORM] = "0122x"[pick(5)];
        ASSERT_EQ(qmr_model::checkEngine(block), "") << i;
    }
}

// QMRDAT2 (or `engine`) on 2026-12-04 and the time 7 with the request
// code, date form and time form of `codes`: the message (or ""), the date
// and the time it leaves, and the timestamp text of request '7'.
std::string request(const char* codes, qmr_int32 offset = 0, qmr_int32 (*engine)(void*, DateRequest*) = nullptr) {
    DateRequest r{20261204, 7, 0, 0, offset, 0, codes[0], codes[1], codes[2], {}, {}, {}};
    engine ? engine(nullptr, &r) : QMRDAT2(nullptr, nullptr, &r);
    const std::string stamp = codes[0] == '7' ? " " + std::string(r.timestampText, 20) : "";
    return (r.returnCode ? r.messageText : "") + " "s + std::to_string(r.date) + " " + std::to_string(r.time) + stamp;
}

TEST(Engine, ReadsTheClockUnderEitherName) {
    EXPECT_EQ(request("510", 0, QMRDATE), " 1261204 7") << "QMRDATE is QMRDAT2";
    const FixedClock clock;
    for (const auto& [codes, offset, expected] :
         {std::tuple{"102", 0, " 20261204 134525"}, std::tuple{"111", 0, " 1261204 1345256"},
          std::tuple{"302", -739953, " 10101 134525"}, std::tuple{"302", 2912105, " 99991231 134525"},
          std::tuple{"120", 0, " 261204 13452560"}, std::tuple{"701", 0, " 20261204 1345250 20261204134525670000"},
          std::tuple{"70x", 0, " 20261204 13452500 20261204134525670000"},
          std::tuple{"302", -739954, "Invalid date input. 20261204 134525"},
          std::tuple{"302", INT32_MAX, "Invalid date input. 20261204 134525"}}) {
        EXPECT_EQ(request(codes, offset), expected) << codes << offset;
    }
    const FixedClock early(clockIn1599);
    EXPECT_EQ(request("112"), "Invalid date input. 20261204 235959") << "the time is set before the century check";
}

// A row for each built-in, its name, its result and what a refusal leaves.
TEST(Builtins, ResultsReportsAndOutputs) {
    // "-": the host's marker stays; 538976288 is four blanks.
    const Call cases[] = {
        CALL(QMRFDAY, "20261232", "0 137"), CALL(QMRFMTH, "20261204", "12"), CALL(QMRFYEAR, "2147483647", "18140"),
        CALL(QMRFDAYS, "0", "-396"), CALL(QMRFDTEJ, "20010229", "0 137"), CALL(QMRFDSTS, "20261204", "739954"),
        CALL(QMRFDTTS, "  2612049", "261204"), CALL(QMRFDYTS, "2026120x", "0 137"), CALL(QMRFMOTS, "20261204", "12"),
        CALL(QMRFYRTS, "20261204", "2026"), CALL(QMRFNUMD, "20261232", "- 137"), CALL(QMRFNUMD, "20261204", "20261204"),
        CALL(QMRFDNUM, "20261232", "20261232"), CALL(QMRFDAYN, "20261232", "32"), CALL(QMRFMTHN, "-20261204", "-12"),
        CALL(QMRFYRN, "-20261204", "-2026"), CALL(QMRFDTEN, "3652060", "- 140"), CALL(QMRFDTEN, "0", "- 136"),
        CALL(QMRFJDTE, "2026366", "- 137"), CALL(QMRFNCYY, "6991231", "25991231"),
        CALL(QMRFNCYY, "7000101", "16000101"), CALL(QMRFNCYY, "7000000", "0 137"),
        CALL(QMRFNCYY, "2147483647", "0 137"), CALL(QMRFCYYD, "16000101", "7000101"),
        CALL(QMRFCYYD, "15991231", "0 137"), CALL(QMRFCYYN, "19000101", "101"), CALL(QMRFCYYN, "26000101", "0 137"),
        CALL(QMRFCYYN, "25991232", "0 137"), CALL(QMRFHOUR, "240000", "24"), CALL(QMRFHOUR, "235960", "0 141"),
        CALL(QMRFMIN, "134525", "45"), CALL(QMRFSEC, "134525", "25"), CALL(QMRFHRTS, "20261204      ", "0"),
        CALL(QMRFMITS, "XXXXXXXX134525", "45"), CALL(QMRFSCTS, "2026120413x525", "13"),
        CALL(QMRFMICR, "20261204134525-12345", "-12345"), CALL(QMRFMICR, "20261204246000000123", "0 141"),
        CALL(QMRFTMTS, "20261204235960", "0 141"), CALL(QMRFTMTS, "20261204134525", "134525"),
        CALL(QMRFNUMT, "246000", "538976288 141"), CALL(QMRFNUMT, "134525", "134525"),
        CALL(QMRFHRN, "-2147483648", "-214748"), CALL(QMRFMINN, "-134525", "-45"), CALL(QMRFSECN, "2147483647", "47"),
        CALL(QMRFTNUM, "246000", "246000")};
    for (const auto& c : cases) {
        TestContext context;
        EXPECT_EQ(c.function(context, c.input), c.result) << c.name << c.input;
        EXPECT_EQ(context.name() + context.facility(),
                  (c.name + "  "s).substr(0, 8) + (context.failed() ? "RQ" : std::string(2, '\0')))
            << c.input;
    }
    TestContext context;
    alignas(4) char stamp[21] = "20261204134525000123";
    qmr_int32 field = 20261204, time = 134525, micros;
    QMRFDAYS(nullptr, nullptr, context.get(), &field, &field);
    QMRFNUMT(nullptr, nullptr, context.get(), &time, &time);
    QMRFTNUM(nullptr, nullptr, context.get(), &time, &time);
    QMRFMICR(nullptr, nullptr, context.get(), stamp,
             reinterpret_cast<qmr_int32*>(stamp + 16));  // over the microseconds
    std::memcpy(&micros, stamp + 16, 4);
    EXPECT_EQ(std::to_string(field) + " " + std::to_string(time) + " " + std::to_string(micros), "739954 134525 123")
        << "an output over an input";
}

// What an earlier call left invalid in the context's request fails the
// next call that asks the engine: date functions store only the date,
// time functions only the time, and the engine checks both.
TEST(Builtins, WhatAnEarlierCallLeftInvalidFailsTheNextCall) {
    const FixedClock clock;
    // 538976288 is four blanks; QMRFDTEC's clock request replaces the time.
    const Call cases[] = {
        CALL(QMRFDAY, "20261204", "0 137"), CALL(QMRFDTEN, "739954", "- 139"), CALL(QMRFNCYY, "1261204", "0 137"),
        CALL(QMRFNUMT, "134525", "538976288 141"), CALL(QMRFDTEC, "12/04/26  ", "20261204")};
    for (const auto& c : cases) {
        TestContext context;
        leaveInvalid(context, c.name != "QMRFNUMT"s);
        EXPECT_EQ(c.function(context, c.input), c.result) << c.name;
    }
    TestContext context;
    leaveInvalid(context, true);
    context.request()->time = 235959;  // valid as hundredths (00:23:59.59), not as tenths
    context.request()->timeForm = '0';
    EXPECT_EQ(run(QMRFDAY, context, "20261204"), "4");
    context.request()->timeForm = '1';
    EXPECT_EQ(run(QMRFDAY, context, "20261204"), "0 137");
}

// Random texts near the layouts and of their characters against the
// models, dates with the clock in two centuries and after an error flag
// left set, times after a date left invalid, timestamps in fields of
// every maximum.
TEST(Texts, AgreeWithTheModels) {
    static const std::string dateChars = "0123456789012345678900000-/. x\0"s,
                             timeChars = "0123456789012345:.  APM:x\0"s, stampChars = "0123456789-. x";
    std::mt19937 random(9);
    const auto any = [&](const std::string& chars) { return chars[random() % chars.size()]; };
    for (const auto& [clock, century] : {std::pair{&clockIn2026, 20}, std::pair{&clockIn1999, 19}}) {
        const FixedClock fixed(clock);
        ASSERT_EQ(qmr_model::checkDateText("3865470571", false, century), "") << "a digit sum of 0 in 32 bits";
        for (int i = 0; i < 200000; ++i) {
            char typed[64];
            const char* const shapes[] = {"%04d-%02d-%02d", "%02d.%02d.%04d", "%02d/%02d/%02d  ", "%d%03d   "};
            std::snprintf(typed, sizeof typed, shapes[i % 4], int(random() % 10000), int(random() % 40),
                          int(random() % (i % 2 ? 100 : 4000)));
            std::string text = (typed + "          "s).substr(0, 10);
            for (int edits = int(random() % 5) - 2; edits > 0; --edits) text[random() % 10] = any(dateChars);
            for (char& c : text) c = i % 5 ? c : any(dateChars);
            ASSERT_EQ(qmr_model::checkDateText(text, i % 11 == 0, century), "");
        }
    }
    for (int i = 0; i < 300000; ++i) {
        std::string text(8, ' ');
        for (char& c : text) c = timeChars[random() % (i % 3 ? timeChars.size() : 16)];
        if (i % 4 == 0) {  // a clock-face time, its hour near the edges of twelve
            std::snprintf(text.data(), 9, "%02d:%02d%cM", int(random() % 14), int(random() % 61), "AP"[random() % 2]);
        }
        ASSERT_EQ(qmr_model::checkTimeText(text, i % 13 == 0 ? 20010230 : 0), "");
    }
    for (int i = 0; i < 20000; ++i) {
        std::string text = "2001-02-03-04.05.06.000007xyz";
        for (int edits = int(random() % 4); edits > 0; --edits) text[random() % 28] = any(stampChars);
        if (i % 4 == 0) text[random() % 2 ? 10 : 19] = ' ';
        for (const std::int32_t max : {0, 4097, INT32_MIN, 4096, int(random() % 30), int(random() % 30)}) {
            ASSERT_EQ(qmr_model::checkTimestampText(text, max), "");
        }
    }
}

// The rules the chrono sweeps leave out, for QMRFDDUR ('D'), QMRFTDUR
// ('T') and QMRFSDUR ('S'): empty parts, the last day, 32-bit counts,
// inputs read as 0, several units, 24:00:00 and skipping the checks.
TEST(Durations, StepsOutsideWhatChronoChecks) {
    const std::string zeros(20, '0');
    const struct { char f; std::string from; const char* units; std::int32_t count; bool skip;
                   std::string result; } cases[] = {  // a result " 1nn" is a report, the result field 0
        // Empty parts become 1; the ends of the calendar.
        {'D', "0", "Y", 0, 0, "10000"}, {'D', "229", "Y", 0, 0, "10228"}, {'D', "20260000", "M", 0, 0, "20260100"},
        {'D', "20261200", "D", 0, 0, "20261201"}, {'D', "10101", "D", 3652058, 0, "99991231"},
        {'D', "10102", "D", -1, 0, "10101"},
        // 123456789 reads as 00000000 (month 67); counts past the calendar, none wrapping in 32 bits; years
        // before days; nothing selected; a checked and a skipped input.
        {'D', "123456789", "Y", -3000, 0, " 139"}, {'D', "20260101", "Y", 1717987, 0, " 147"},
        {'D', "20261204", "M", INT32_MIN, 0, " 147"}, {'D', "20261204", "D", 1073741824, 0, " 147"},
        {'D', "20261204", "YMD", 5, 0, "20311204"}, {'D', "20261204", "", 5, 0, " 130"},
        {'D', "20261232", "D", 1, 0, " 137"}, {'D', "20261332", "D", 1, 1, "20270202"},
        {'D', "20261232", "Y", 1, 1, "20271232"},
        // 24:00:00 stays when nothing is added; a time is always checked.
        {'T', "0", "s", INT32_MIN, 1, "204552"}, {'T', "10000", "h", INT32_MAX, 1, "80000"},
        {'T', "101010", "hms", 1, 1, "111010"}, {'T', "101010", "ms", 1, 1, "101110"},
        {'T', "240000", "h", 0, 1, "240000"}, {'T', "240000", "s", -1, 1, "235959"}, {'T', "240000", "s", 60, 1, "100"},
        {'T', "246000", "", 1, 1, " 141"}, {'T', "101010", "", 1, 1, " 130"},
        // Blank microseconds are 0; no rule adds seconds to 24:00; -0010101 reads as 00000000 (00019899).
        {'S', "20010101000000      ", "u", 5, 0, "20010101000000000005"},
        {'S', "20010101010101000001", "YMDhmsu", 2, 0, "20030101010101000001"},
        {'S', "20010101010101000001", "Dhmsu", 2, 0, "20010103010101000001"},
        {'S', zeros, "Y", 0, 0, "00010000000000000000"}, {'S', zeros, "h", 1, 0, " 147"},
        {'S', "20260000000000000000", "M", 0, 0, "20260100000000000000"},
        {'S', "20260100000000000000", "D", 0, 0, "20260101000000000000"},
        {'S', "20011231240000000000", "h", 1, 0, "20020101010000000000"},
        {'S', "20011231240000000000", "s", 1, 0, " 148"}, {'S', "20010101000000000000", "Y", INT32_MAX, 0, " 147"},
        {'S', "20010230000000000000", "h", 1, 0, " 137"}, {'S', "20010101246000000000", "h", 1, 0, " 141"},
        {'S', "20010101000000000000", "", 1, 0, " 130"}, {'S', "-0010101000000000000", "Y", 3, 0, " 139"},
        {'S', "20010101246000000000", "u", 1, 1, "20010101246000000001"},
        {'S', "20010101-00001-00012", "Y", 1, 1, "20020101-00001-00012"}};
    for (const auto& c : cases) {
        TestContext context;
        const std::string expected = c.result[0] == ' ' ? (c.f == 'S' ? zeros : "0") + c.result : c.result;
        EXPECT_EQ(duration(c.f, context, c.from, c.units, c.count, c.skip), expected)
            << c.f << c.from << " + " << c.count << c.units;
    }
    TestContext flagged, context;
    flagged.setByte(QMR_CC_ERROR_FLAG, 'Y');
    EXPECT_EQ(duration('D', flagged, "20261204", "D", 1000000000), "0"s + std::string(4, '\0'))
        << "a flag left set stops it before the range check";
    EXPECT_EQ(duration('D', flagged, "20261232", "D", 1), "0 137") << "but after the input check";
    DateRequest& r = *context.request();
    r.returnCode = 8;
    std::strcpy(r.messageText, "earlier");
    EXPECT_EQ(duration('S', context, "20010230101010000000", "s", 5, true), "20010230101015000000");
    EXPECT_EQ(std::to_string(r.returnCode) + r.messageText + std::to_string(r.date) +
                  std::to_string(r.time) + r.requestCode + r.dateForm + r.timeForm,
              "0earlier20010230101015002") << "skipping stores the request without asking the engine";
    for (const auto& [f, from, invalidTime] : {std::tuple{'D', "20261204", true},
             std::tuple{'T', "101010", false}, std::tuple{'S', "20010228000000000000", true}}) {
        TestContext stale;
        leaveInvalid(stale, invalidTime);
        EXPECT_EQ(duration(f, stale, from, f == 'T' ? "s" : "D", 1), f == 'S' ? zeros + " 137"
                  : f == 'D' ? "0 137" : "0 141") << f << ": a time or date left invalid";
    }
}

std::string stampText(sys_time<microseconds> t) {
    const sys_days day = floor<days>(t);
    const hh_mm_ss<microseconds> clock{t - day};
    char out[64];
    std::snprintf(out, sizeof out, "%08d%02d%02d%02d%06d", yyyymmdd(year_month_day{day}), int(clock.hours().count()),
                  int(clock.minutes().count()), int(clock.seconds().count()), int(clock.subseconds().count()));
    return out;
}

auto hhmmss(std::int64_t s) { return std::to_string(std::stoi(stampText(sys_days{} + seconds{s}).substr(8, 6))); }

TEST(TimeDuration, WrapsWithinTheDayAsClockArithmeticDoes) {
    TestContext fresh;
    for (std::int32_t t = 0; t < 86400; ++t) {
        for (const auto& [unit, length] : {std::pair{"h", 3600}, std::pair{"m", 60}, std::pair{"s", 1}}) {
            for (const std::int32_t count : {1, -1, 59, -61, 1439, -86401, 123457, -999999}) {
                const std::string to = hhmmss(((t + std::int64_t{count} * length) % 86400 + 86400) % 86400);
                ASSERT_EQ(duration('T', fresh, hhmmss(t), unit, count), to) << hhmmss(t) << " + " << count << unit;
            }
        }
    }
}

// Random timestamps and counts of every unit against sys_time (clock
// units) and year_month_day with the day capped (months and years); the
// same years, months and days added to the timestamp's date alone.
TEST(DateAndTimestampDurations, AgreeWithChrono) {
    std::mt19937 random(7);
    const sys_days first = year{1} / January / 1, last = year{9999} / December / 31;
    const auto any = [&] { return static_cast<std::int32_t>(random()); };
    for (int i = 0; i < 100000; ++i) {
        const sys_time<microseconds> from =
            first + days{random() % 3652059} + microseconds{std::int64_t(random()) * 20117 % 86400000000};
        const char unit = "YMDhmsu"[i % 7], units[2] = {unit, 0};
        const bool calendar = unit == 'Y' || unit == 'M';
        const std::int32_t count = i % 3 == 1 ? int(random() % 101) - 50
                                   : calendar ? (int(random() % 480001) - 240000) / (unit == 'Y' ? 12 : 1 + i % 3 * 100)
                                   : unit == 'D' ? any() / 256 : i % 3 == 0 ? any() : any() / 4096;
        const sys_days day = floor<days>(from);
        year_month_day moved = year_month_day{day} + years{unit == 'Y' ? count : 0} + months{unit == 'M' ? count : 0};
        if (!moved.ok()) moved = moved.year() / moved.month() / std::chrono::last;
        const sys_time<microseconds> to = calendar ? sys_days{moved} + (from - day) : unit == 'D' ? from + days{count}
                                          : unit == 'h' ? from + hours{count} : unit == 'm' ? from + minutes{count}
                                          : unit == 's' ? from + seconds{count} : from + microseconds{count};
        const bool inRange = to >= first && to < last + days{1};
        if (calendar && count == 0) continue;  // 0 fills only empty parts: the rows
        TestContext context;
        ASSERT_EQ(duration('S', context, stampText(from), units, count),
                  inRange ? stampText(to) : std::string(20, '0') + " 147")
            << stampText(from) << " + " << count << unit;
        if (unit != 'Y' && unit != 'M' && unit != 'D') continue;
        const auto date = [](sys_time<microseconds> t) { return std::to_string(yyyymmdd(floor<days>(t))); };
        context.clearError();
        ASSERT_EQ(duration('D', context, date(from), units, count), inRange ? date(to) : "0 147")
            << date(from) << " + " << count << unit;
    }
    for (const std::int32_t date : {10000, 99991231}) {  // printf's "%08ld%06ld%06ld", negatives passed by skipping too
        for (const std::int32_t time : {0, 134525, 999999, -1, -99999}) {
            for (const std::int32_t micros : {0, 999999, -1, -84041}) {
                char expected[64], t[21];
                std::snprintf(expected, sizeof expected, "%08d%06d%06d", date, time, micros);
                qmr::formatTimestamp(t, date, time, micros);
                EXPECT_EQ(std::string(t, 21), std::string(expected, 20) + '\0') << date << ' ' << time << ' ' << micros;
            }
        }
    }
}

}  // namespace
