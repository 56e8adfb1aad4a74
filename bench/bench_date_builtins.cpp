// Date built-ins beside their peers: std::chrono's calendar doing the same
// computation (validity check, then the component; sys_days arithmetic
// for durations), the same behind a call as a host reaches any library
// function, and a literal port of the host's code: its engine copies the
// request block in and out, formats the date with snprintf("%08.8ld")
// and reads the slices back with strtol.  Before any timing the library
// and every peer work through the whole sample, and the run stops if any
// two disagree.  Compare the ratios within one run; on a shared machine
// take the fastest of interleaved repetitions:
//   bench_date_builtins --benchmark_repetitions=12
//                       --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "qmr/qmr.h"

namespace {

using namespace std::chrono;

constexpr std::size_t kCount = 4096;

int32_t yyyymmdd(const year_month_day& ymd) {
    return int(ymd.year()) * 10000 + int(unsigned(ymd.month())) * 100 + int(unsigned(ymd.day()));
}

year_month_day civil(int32_t date) {
    return year_month_day{year{date / 10000}, month{unsigned(date / 100 % 100)}, day{unsigned(date % 100)}};
}

// Dates of 1900..2100, where business dates lie, so that durations of a
// few years stay in range.
const std::vector<int32_t>& sampleDates() {
    static const std::vector<int32_t> dates = [] {
        std::mt19937 random(1);
        const sys_days first = year{1900} / January / 1;
        std::uniform_int_distribution<int> offset(0, (sys_days{year{2100} / December / 31} - first).count());
        std::vector<int32_t> out;
        for (std::size_t i = 0; i < kCount; ++i) out.push_back(yyyymmdd(year_month_day{first + days{offset(random)}}));
        return out;
    }();
    return dates;
}

const std::vector<int32_t>& sampleCounts(int range) {
    static std::vector<int32_t> counts[2];
    std::vector<int32_t>& out = counts[range > 100];
    if (out.empty()) {
        std::mt19937 random(2);
        std::uniform_int_distribution<int> count(-range, range);
        for (std::size_t i = 0; i < kCount; ++i) out.push_back(count(random));
    }
    return out;
}

template <typename Body>
void loop(benchmark::State& state, Body body) {
    const auto& dates = sampleDates();
    for (auto _ : state) {
        int64_t sum = 0;
        for (std::size_t i = 0; i < kCount; ++i) sum += body(dates[i], i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

std::vector<unsigned char>& context() {
    static std::vector<unsigned char> block(4096, 0);
    return block;
}
CallContext* callContext() { return reinterpret_cast<CallContext*>(context().data()); }

// ---- the literal port -------------------------------------------------

const char* kDateFormat = "%08.8ld";  // not const: keeps -Wformat from judging the host's format

long slice(const char* text, int from, int length) {
    char part[9] = {};
    std::memcpy(part, text + from, length);
    return std::strtol(part, nullptr, 10);
}

long loadLE32(const unsigned char* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

void storeLE32(unsigned char* p, long v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i));
}

struct LiteralWork {  // the engine's work copy of the 108-byte block
    long date, time, reserved1, reserved2, dayOffset;
    short returnCode;
    char requestCode, dateForm, timeForm;
    char message[60];
    char timestamp[20];
    char spare[3];
};

char literalDateText[9];  // the engine's module-level working storage
char literalTimeText[9];

bool literalDateTextValid() {
    const long y = slice(literalDateText, 0, 4), m = slice(literalDateText, 4, 2), d = slice(literalDateText, 6, 2);
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    return !(m < 0 || m > 12 || d < 0 || d > 31 || y < 0 || y > 9999 || (m == 2 && (d > 29 || (d > 28 && !leap))) ||
             ((m == 4 || m == 6 || m == 9 || m == 11) && d > 30));
}

// QMRDAT2 request '0' as the host's engine is written: the block is read
// into a work copy, the date formatted into the date text and read back
// slice by slice (the time likewise when it is not 0), and the whole work
// copy written back.
void literalEngine(unsigned char* block) {
    LiteralWork work;
    work.date = loadLE32(block);
    work.time = loadLE32(block + 4);
    work.reserved1 = loadLE32(block + 8);
    work.reserved2 = loadLE32(block + 12);
    work.dayOffset = loadLE32(block + 16);
    work.returnCode = static_cast<short>(block[20] | block[21] << 8);
    work.requestCode = static_cast<char>(block[22]);
    work.dateForm = static_cast<char>(block[23]);
    work.timeForm = static_cast<char>(block[24]);
    std::memcpy(work.message, block + 25, 60);
    std::memcpy(work.timestamp, block + 85, 20);
    std::memcpy(work.spare, block + 105, 3);
    work.returnCode = 0;
    if (work.requestCode - '0' == 0) {
        if (work.date != 0) {
            char text[16];
            std::snprintf(text, sizeof text, kDateFormat, work.date);
            std::memcpy(literalDateText, work.date < 0 || work.date > 99999999 ? "00000000" : text, 9);
            if (!literalDateTextValid()) {
                work.returnCode = 8;
                std::strcpy(work.message, "Invalid date input.");
            }
        }
        if (work.returnCode == 0 && work.time != 0) {
            const long hundredths = work.time * (work.timeForm == '1' ? 10 : work.timeForm == '2' ? 100 : 1);
            char text[16];
            std::snprintf(text, sizeof text, "%08ld", hundredths);
            std::memcpy(literalTimeText, text, 9);
            if (hundredths < 0 || hundredths > 24000000 || slice(literalTimeText, 2, 2) > 59 ||
                slice(literalTimeText, 4, 2) > 59) {
                work.returnCode = 8;
                std::strcpy(work.message, "Invalid time specified.");
            }
        }
    }
    storeLE32(block, work.date);
    storeLE32(block + 4, work.time);
    storeLE32(block + 8, work.reserved1);
    storeLE32(block + 12, work.reserved2);
    storeLE32(block + 16, work.dayOffset);
    block[20] = static_cast<unsigned char>(work.returnCode);
    block[21] = static_cast<unsigned char>(work.returnCode >> 8);
    block[22] = static_cast<unsigned char>(work.requestCode);
    block[23] = static_cast<unsigned char>(work.dateForm);
    block[24] = static_cast<unsigned char>(work.timeForm);
    std::memcpy(block + 25, work.message, 60);
    std::memcpy(block + 85, work.timestamp, 20);
    std::memcpy(block + 105, work.spare, 3);
}

bool literalValidate(unsigned char* block, int32_t date) {
    block[22] = '0';
    block[23] = '0';
    storeLE32(block, date);
    literalEngine(block);
    return block[20] == 0 && block[21] == 0;
}

unsigned char* literalRequest() { return context().data() + QMR_CC_DATE_REQUEST; }

int32_t literalDay(int32_t date) {
    std::memcpy(context().data() + QMR_CC_FUNCTION_NAME, "QMRFDAY ", 8);
    int16_t out = 0;
    if (!literalValidate(literalRequest(), date)) return out;
    out = static_cast<int16_t>(date % 100);
    return out;
}

int32_t literalWeekday(int32_t date) {
    static const char* const names[] = {"SUNDAY   ", "MONDAY   ", "TUESDAY  ", "WEDNESDAY",
                                        "THURSDAY ", "FRIDAY   ", "SATURDAY "};
    char out[9];
    std::memcpy(context().data() + QMR_CC_FUNCTION_NAME, "QMRFDOW ", 8);
    std::memset(out, ' ', 9);
    if (!literalValidate(literalRequest(), date)) return out[0] << 8 | out[1];
    long y = date / 10000, m = date / 100 % 100;
    const long d = date % 100;
    if (m <= 2) {
        m += 10;
        y -= 1;
    } else {
        m -= 2;
    }
    const long c = y / 100, k = y % 100;
    const long w = ((13 * m - 1) / 5 + d + k + k / 4 + c / 4 - 2 * c + 77) % 7;
    std::memcpy(out, names[w < 0 ? w + 7 : w], 9);
    return out[0] << 8 | out[1];  // two letters tell the days apart
}

long literalDayNumber(long date) {
    long y = date / 10000, m = date / 100 % 100;
    const long d = date % 100;
    if (m <= 2) {
        m += 9;
        y -= 1;
    } else {
        m -= 3;
    }
    const long c = y / 100, ya = y - 100 * c;
    return 146097 * c / 4 + 1461 * ya / 4 + (153 * m + 2) / 5 + d + 1721119 - 1721425;
}

long literalDateOfDayNumber(long n) {
    const long j = n + 1721425 - 1721119;
    const long t = 4 * j - 1, c = t / 146097, r = (t - 146097 * c) / 4;
    const long ya = (4 * r + 3) / 1461, s = (4 * r + 3 - 1461 * ya + 4) / 4;
    long m = (5 * s - 3) / 153;
    const long d = (5 * s - 3 - 153 * m + 5) / 5;
    long y = 100 * c + ya;
    if (m < 10) {
        m += 3;
    } else {
        m -= 9;
        y += 1;
    }
    return y * 10000 + m * 100 + d;
}

int32_t literalDuration(int32_t date, int32_t count, bool months) {
    std::memcpy(context().data() + QMR_CC_FUNCTION_NAME, "QMRFDDUR", 8);
    if (!literalValidate(literalRequest(), date)) return 0;
    long r;
    if (months) {
        long y = date / 10000, m = date / 100 % 100 + count, d = date % 100;
        if (m > 12 || m < 1) {
            y += m / 12;
            m %= 12;
            if (m < 1) {
                m += 12;
                y -= 1;
            }
        }
        if (d > 30 && (m == 4 || m == 6 || m == 9 || m == 11)) d = 30;
        if (m == 2 && d >= 29) d = (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 29 : 28;
        r = y * 10000 + m * 100 + d;
    } else {
        r = literalDateOfDayNumber(literalDayNumber(date) + count);
    }
    if (r < 10000 || r > 99991231 || !literalValidate(literalRequest(), static_cast<int32_t>(r))) return 0;
    return static_cast<int32_t>(r);
}

// ---- std::chrono --------------------------------------------------------

int32_t chronoDay(int32_t date) {
    const year_month_day ymd = civil(date);
    return ymd.ok() ? int(unsigned(ymd.day())) : 0;
}

int32_t chronoWeekday(int32_t date) {
    static const char* const names[] = {"SUNDAY   ", "MONDAY   ", "TUESDAY  ", "WEDNESDAY",
                                        "THURSDAY ", "FRIDAY   ", "SATURDAY "};
    char out[9];
    std::memset(out, ' ', 9);
    const year_month_day ymd = civil(date);
    if (ymd.ok()) std::memcpy(out, names[weekday{sys_days{ymd}}.c_encoding()], 9);
    benchmark::DoNotOptimize(out);
    return out[0] << 8 | out[1];
}

int32_t chronoAddDays(int32_t date, int32_t count) {
    const year_month_day ymd = civil(date);
    if (!ymd.ok()) return 0;
    const year_month_day r{sys_days{ymd} + days{count}};
    return r.ok() && r.year() >= year{1} && r.year() <= year{9999} ? yyyymmdd(r) : 0;
}

int32_t chronoAddMonths(int32_t date, int32_t count) {
    const year_month_day ymd = civil(date);
    if (!ymd.ok()) return 0;
    const year_month ym = ymd.year() / ymd.month() + months{count};
    const year_month_day r{ym / std::min(ymd.day(), year_month_day_last{ym / last}.day())};
    return r.ok() && r.year() >= year{1} && r.year() <= year{9999} ? yyyymmdd(r) : 0;
}

[[gnu::noinline]] int32_t chronoDayCalled(int32_t date) { return chronoDay(date); }
[[gnu::noinline]] int32_t chronoWeekdayCalled(int32_t date) { return chronoWeekday(date); }
[[gnu::noinline]] int32_t chronoAddDaysCalled(int32_t date, int32_t count) { return chronoAddDays(date, count); }
[[gnu::noinline]] int32_t chronoAddMonthsCalled(int32_t date, int32_t count) { return chronoAddMonths(date, count); }

// ---- qmr ----------------------------------------------------------------

int32_t qmrDay(int32_t date) {
    qmr_int16 out;
    QMRFDAY(nullptr, nullptr, callContext(), &date, &out);
    return out;
}

int32_t qmrWeekday(int32_t date) {
    char out[9];
    QMRFDOW(nullptr, nullptr, callContext(), &date, out);
    return out[0] << 8 | out[1];
}

int32_t qmrDuration(int32_t date, int32_t count, int unitOffset, int countOffset) {
    unsigned char* c = context().data();
    std::memcpy(c + QMR_CC_DUR_DATE, &date, 4);
    c[QMR_CC_DUR_YEARS_SELECTED] = c[QMR_CC_DUR_MONTHS_SELECTED] = c[QMR_CC_DUR_DAYS_SELECTED] = 'N';
    c[unitOffset] = 'Y';
    std::memcpy(c + countOffset, &count, 4);
    QMRFDDUR(nullptr, nullptr, callContext());
    int32_t r;
    std::memcpy(&r, c + QMR_CC_DUR_RESULT_DATE, 4);
    return r;
}

// ---- benchmarks ---------------------------------------------------------

constexpr int kDayRange = 1000;  // about three years either way
constexpr int kMonthRange = 36;


// The library and every peer on the whole sample, before any timing.
const bool kSameResults = [] {
    const auto& dates = sampleDates();
    const auto& dayCounts = sampleCounts(kDayRange);
    const auto& monthCounts = sampleCounts(kMonthRange);
    for (std::size_t i = 0; i < kCount; ++i) {
        const int32_t d = dates[i], day = qmrDay(d), name = qmrWeekday(d);
        const int32_t byDays = qmrDuration(d, dayCounts[i], QMR_CC_DUR_DAYS_SELECTED, QMR_CC_DUR_DAYS);
        const int32_t byMonths = qmrDuration(d, monthCounts[i], QMR_CC_DUR_MONTHS_SELECTED, QMR_CC_DUR_MONTHS);
        const struct { const char* peer; bool same; } checks[] = {
            {"ChronoDay", chronoDay(d) == day}, {"LiteralDay", literalDay(d) == day},
            {"ChronoWeekday", chronoWeekday(d) == name}, {"LiteralWeekday", literalWeekday(d) == name},
            {"ChronoAddDays", chronoAddDays(d, dayCounts[i]) == byDays}, {"LiteralAddDays", literalDuration(d, dayCounts[i], false) == byDays},
            {"ChronoAddMonths", chronoAddMonths(d, monthCounts[i]) == byMonths},
            {"LiteralAddMonths", literalDuration(d, monthCounts[i], true) == byMonths}};
        for (const auto& c : checks) {
            if (!c.same) {
                std::fprintf(stderr, "bench_date_builtins: %s disagrees with the library on %d\n", c.peer, int(d));
                std::abort();
            }
        }
    }
    return true;
}();

void BM_QMRFDAY(benchmark::State& s) { loop(s, [](int32_t d, std::size_t) { return qmrDay(d); }); }
void BM_ChronoDay(benchmark::State& s) { loop(s, [](int32_t d, std::size_t) { return chronoDay(d); }); }
void BM_ChronoDay_Called(benchmark::State& s) { loop(s, [](int32_t d, std::size_t) { return chronoDayCalled(d); }); }
void BM_LiteralDay(benchmark::State& s) { loop(s, [](int32_t d, std::size_t) { return literalDay(d); }); }

void BM_QMRFDOW(benchmark::State& s) { loop(s, [](int32_t d, std::size_t) { return qmrWeekday(d); }); }
void BM_ChronoWeekday(benchmark::State& s) { loop(s, [](int32_t d, std::size_t) { return chronoWeekday(d); }); }
void BM_ChronoWeekday_Called(benchmark::State& s) {
    loop(s, [](int32_t d, std::size_t) { return chronoWeekdayCalled(d); });
}
void BM_LiteralWeekday(benchmark::State& s) { loop(s, [](int32_t d, std::size_t) { return literalWeekday(d); }); }

void BM_QMRFDDUR_Days(benchmark::State& s) {
    const auto& n = sampleCounts(kDayRange);
    loop(s, [&](int32_t d, std::size_t i) { return qmrDuration(d, n[i], QMR_CC_DUR_DAYS_SELECTED, QMR_CC_DUR_DAYS); });
}
void BM_ChronoAddDays(benchmark::State& s) {
    const auto& n = sampleCounts(kDayRange);
    loop(s, [&](int32_t d, std::size_t i) { return chronoAddDays(d, n[i]); });
}
void BM_ChronoAddDays_Called(benchmark::State& s) {
    const auto& n = sampleCounts(kDayRange);
    loop(s, [&](int32_t d, std::size_t i) { return chronoAddDaysCalled(d, n[i]); });
}
void BM_LiteralAddDays(benchmark::State& s) {
    const auto& n = sampleCounts(kDayRange);
    loop(s, [&](int32_t d, std::size_t i) { return literalDuration(d, n[i], false); });
}

void BM_QMRFDDUR_Months(benchmark::State& s) {
    const auto& n = sampleCounts(kMonthRange);
    loop(s, [&](int32_t d, std::size_t i) {
        return qmrDuration(d, n[i], QMR_CC_DUR_MONTHS_SELECTED, QMR_CC_DUR_MONTHS);
    });
}
void BM_ChronoAddMonths(benchmark::State& s) {
    const auto& n = sampleCounts(kMonthRange);
    loop(s, [&](int32_t d, std::size_t i) { return chronoAddMonths(d, n[i]); });
}
void BM_ChronoAddMonths_Called(benchmark::State& s) {
    const auto& n = sampleCounts(kMonthRange);
    loop(s, [&](int32_t d, std::size_t i) { return chronoAddMonthsCalled(d, n[i]); });
}
void BM_LiteralAddMonths(benchmark::State& s) {
    const auto& n = sampleCounts(kMonthRange);
    loop(s, [&](int32_t d, std::size_t i) { return literalDuration(d, n[i], true); });
}

BENCHMARK(BM_QMRFDAY);
BENCHMARK(BM_ChronoDay);
BENCHMARK(BM_ChronoDay_Called);
BENCHMARK(BM_LiteralDay);
BENCHMARK(BM_QMRFDOW);
BENCHMARK(BM_ChronoWeekday);
BENCHMARK(BM_ChronoWeekday_Called);
BENCHMARK(BM_LiteralWeekday);
BENCHMARK(BM_QMRFDDUR_Days);
BENCHMARK(BM_ChronoAddDays);
BENCHMARK(BM_ChronoAddDays_Called);
BENCHMARK(BM_LiteralAddDays);
BENCHMARK(BM_QMRFDDUR_Months);
BENCHMARK(BM_ChronoAddMonths);
BENCHMARK(BM_ChronoAddMonths_Called);
BENCHMARK(BM_LiteralAddMonths);

}  // namespace
