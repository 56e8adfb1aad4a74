// Day numbers and the date request engine beside their peers:
// std::chrono's calendar (g++ 12 uses the Neri-Schneider algorithms) and a
// literal port of the engine that formats with snprintf("%08.8ld") and
// reads slices with strtol.  Before any timing the library and every peer
// work through the whole sample, and the run stops if any two disagree.
// Compare the ratios within one run.
#include <benchmark/benchmark.h>

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

const std::vector<int32_t>& sampleDates() {
    static const std::vector<int32_t> dates = [] {
        std::mt19937 random(1);
        std::uniform_int_distribution<int> day(1, 3652059);
        std::vector<int32_t> out;
        for (std::size_t i = 0; i < kCount; ++i) {
            const year_month_day ymd{sys_days{year{1} / January / 1} + days{day(random) - 1}};
            out.push_back(int(ymd.year()) * 10000 + int(unsigned(ymd.month())) * 100 + int(unsigned(ymd.day())));
        }
        return out;
    }();
    return dates;
}

const std::vector<int32_t>& sampleDayNumbers() {
    static const std::vector<int32_t> numbers = [] {
        std::vector<int32_t> out;
        for (int32_t d : sampleDates()) out.push_back(QMRFDAT1(nullptr, nullptr, d));
        return out;
    }();
    return numbers;
}

const int kDaysBefore0001 = sys_days{year{1} / January / 1}.time_since_epoch().count() - 1;

void BM_QMRFDAT1(benchmark::State& state) {
    const auto& dates = sampleDates();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t d : dates) sum += QMRFDAT1(nullptr, nullptr, d);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

int32_t chronoDayNumber(int32_t d) {
    const year_month_day ymd{year{d / 10000}, month{unsigned(d / 100 % 100)}, day{unsigned(d % 100)}};
    return ymd.ok() ? sys_days{ymd}.time_since_epoch().count() - kDaysBefore0001 : 0;
}

void BM_ChronoDateToDays(benchmark::State& state) {
    const auto& dates = sampleDates();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t d : dates) sum += chronoDayNumber(d);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

void BM_QMRFDAT2(benchmark::State& state) {
    const auto& numbers = sampleDayNumbers();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t n : numbers) sum += QMRFDAT2(nullptr, nullptr, n);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

int32_t chronoDate(int32_t n) {
    const year_month_day ymd{sys_days{days{n + kDaysBefore0001}}};
    return int(ymd.year()) * 10000 + int(unsigned(ymd.month())) * 100 + int(unsigned(ymd.day()));
}

void BM_ChronoDaysToDate(benchmark::State& state) {
    const auto& numbers = sampleDayNumbers();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t n : numbers) sum += chronoDate(n);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

// The same conversion behind a call, as a host reaches any library
// function: separates the cost of the call from that of the arithmetic.
[[gnu::noinline]] int32_t chronoDateOfDayNumber(int32_t n) { return chronoDate(n); }

void BM_ChronoDaysToDate_Called(benchmark::State& state) {
    const auto& numbers = sampleDayNumbers();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t n : numbers) sum += chronoDateOfDayNumber(n);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

void BM_QMRFDAT4(benchmark::State& state) {
    const auto& dates = sampleDates();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t d : dates) sum += QMRFDAT4(nullptr, nullptr, d);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

int32_t chronoJulian(int32_t d) {
    const year y{d / 10000};
    const sys_days day{year_month_day{y, month{unsigned(d / 100 % 100)}, std::chrono::day{unsigned(d % 100)}}};
    return int(y) * 1000 + (day - sys_days{y / January / 1}).count() + 1;
}

void BM_ChronoDayOfYear(benchmark::State& state) {
    const auto& dates = sampleDates();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t d : dates) sum += chronoJulian(d);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

void BM_QMRDAT2_Validate(benchmark::State& state) {
    const auto& dates = sampleDates();
    DateRequest request;
    std::memset(&request, 0, sizeof request);
    request.requestCode = '0';
    request.dateForm = '0';
    for (auto _ : state) {
        int64_t failures = 0;
        for (int32_t d : dates) {
            request.date = d;
            QMRDAT2(nullptr, nullptr, &request);
            failures += request.returnCode;
        }
        benchmark::DoNotOptimize(failures);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

// The engine's request '0' written the obvious way.  The format is the
// host's own ("%08.8ld"), kept in a variable since its 0 flag is inert.
const char* kDateFormat = "%08.8ld";  // not const: keeps -Wformat from judging it

bool literalValidate(long date) {
    char text[16];
    std::snprintf(text, sizeof text, kDateFormat, date);
    if (date < 0 || date > 99999999) std::memcpy(text, "00000000", 9);  // more than 8 digits
    char slice[5] = {};
    std::memcpy(slice, text, 4);
    const long y = std::strtol(slice, nullptr, 10);
    std::memset(slice, 0, sizeof slice);
    std::memcpy(slice, text + 4, 2);
    const long m = std::strtol(slice, nullptr, 10);
    std::memcpy(slice, text + 6, 2);
    const long d = std::strtol(slice, nullptr, 10);
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    if (m < 0 || m > 12 || d < 0 || d > 31 || y < 0 || y > 9999) return false;
    if (m == 2 && (d > 29 || (d > 28 && !leap))) return false;
    return !((m == 4 || m == 6 || m == 9 || m == 11) && d > 30);
}

void BM_LiteralPort_Validate(benchmark::State& state) {
    const auto& dates = sampleDates();
    for (auto _ : state) {
        int64_t failures = 0;
        for (int32_t d : dates) failures += !literalValidate(d);
        benchmark::DoNotOptimize(failures);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

// The library and every peer on the whole sample, before any timing.
const bool kSameResults = [] {
    const auto disagree = [](const char* peer, int32_t input) {
        std::fprintf(stderr, "bench_dates: %s disagrees with the library on %d\n", peer, int(input));
        std::abort();
    };
    DateRequest request;
    std::memset(&request, 0, sizeof request);
    request.requestCode = '0';
    request.dateForm = '0';
    for (std::size_t i = 0; i < kCount; ++i) {
        const int32_t d = sampleDates()[i], n = sampleDayNumbers()[i];
        if (chronoDayNumber(d) != QMRFDAT1(nullptr, nullptr, d)) disagree("ChronoDateToDays", d);
        if (chronoDate(n) != QMRFDAT2(nullptr, nullptr, n)) disagree("ChronoDaysToDate", n);
        if (chronoJulian(d) != QMRFDAT4(nullptr, nullptr, d)) disagree("ChronoDayOfYear", d);
        for (const int32_t date : {d, d + 30, d + 1100, -d}) {  // refused ones too
            request.date = date;
            QMRDAT2(nullptr, nullptr, &request);
            if (literalValidate(date) != (request.returnCode == 0)) disagree("LiteralPort_Validate", date);
        }
    }
    return true;
}();

BENCHMARK(BM_QMRFDAT1);
BENCHMARK(BM_ChronoDateToDays);
BENCHMARK(BM_QMRFDAT2);
BENCHMARK(BM_ChronoDaysToDate);
BENCHMARK(BM_ChronoDaysToDate_Called);
BENCHMARK(BM_QMRFDAT4);
BENCHMARK(BM_ChronoDayOfYear);
BENCHMARK(BM_QMRDAT2_Validate);
BENCHMARK(BM_LiteralPort_Validate);

}  // namespace
