// Storage-format conversions beside their peers, each behind a call as a
// host reaches any library function:
//   Port        the documented steps done with snprintf("%08.8ld") / strtol
//   Strftime    the C library's calendar text functions
//   HandWritten straight digit code for the sample's texts (all digits,
//               layout 2 for the M-form reader): the limit
//   Plain       the library's plain code beside its fast path: the
//               twelve-hour reader's plain path for every text, the date
//               gathered and read with readDecimal, the date formatted
//               with formatDecimal; a fast path stays only where it
//               measures at least 1.3 times as fast as this
// W-form dates YYYY-MM-DD both ways, and M-form timestamps both ways:
// internal text to "MM/DD/YYYY hh:mm:ss:fff", and the layout-2 text
// "MM/DD/YYYY hh:mm:ss:fffPM" to the internal text.  Before any timing
// the library and every peer convert the whole sample, and the run stops
// if any two disagree.  Compare the ratios within one run.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "frame/digits.h"
#include "qmr/qmr.h"
#include "storage/date_time_text.h"
#include "storage/twelve_hour_stamp.h"

namespace {

using namespace std::chrono;

constexpr std::size_t kCount = 4096;

struct Sample {
    std::vector<qmr_int32> dates;
    std::vector<std::string> wDates;   // "YYYY-MM-DD"
    std::vector<std::string> stamps;   // "yyyymmddhhmmssffffff"
    std::vector<std::string> mStamps;  // "MM/DD/YYYY hh:mm:ss:fffAM"
};

const Sample& sample() {
    static const Sample s = [] {
        Sample out;
        std::mt19937 random(1);
        std::uniform_int_distribution<int> day(1, 3652059), hour(0, 23), sixty(0, 59), micros(0, 999999);
        char text[64];
        for (std::size_t i = 0; i < kCount; ++i) {
            const year_month_day ymd{sys_days{year{1} / January / 1} + days{day(random) - 1}};
            const int y = int(ymd.year()), m = int(unsigned(ymd.month())), d = int(unsigned(ymd.day()));
            const int h = hour(random), mi = sixty(random), se = sixty(random), us = micros(random);
            out.dates.push_back(y * 10000 + m * 100 + d);
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
            out.wDates.emplace_back(text);
            std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d%06d", y, m, d, h, mi, se, us);
            out.stamps.emplace_back(text);
            std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d:%03d%s", m, d, y, (h + 11) % 12 + 1, mi,
                          se, us / 1000, h < 12 ? "AM" : "PM");
            out.mStamps.emplace_back(text);
        }
        return out;
    }();
    return s;
}

// ---- date value -> "YYYY-MM-DD" -------------------------------------------

const char* kDateFormat = "%08.8ld";  // a variable: its 0 flag is inert, and -Wformat would say so

[[gnu::noinline]] void portVW2D(qmr_int32 date, char* text) {
    char work[16];
    std::snprintf(work, sizeof work, kDateFormat, static_cast<long>(date));
    if (date == 0) std::memcpy(work, "00010101", 8);
    std::memcpy(text, work, 4);
    std::memcpy(text + 5, work + 4, 2);
    std::memcpy(text + 8, work + 6, 2);
    text[4] = text[7] = '-';
}

[[gnu::noinline]] void strftimeVW2D(qmr_int32 date, char* text) {
    std::tm tm{};
    tm.tm_year = date / 10000 - 1900;
    tm.tm_mon = date / 100 % 100 - 1;
    tm.tm_mday = date % 100;
    char work[16];
    std::strftime(work, sizeof work, "%04Y-%m-%d", &tm);  // GNU: the year in four digits, as the form keeps it
    std::memcpy(text, work, 10);
}

constexpr auto kPairs = [] {  // "00".."99"
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

[[gnu::noinline]] void handVW2D(qmr_int32 date, char* text) {
    const auto d = static_cast<unsigned>(date);
    const unsigned year = d / 10000, monthDay = d % 10000;
    std::memcpy(text, &kPairs[2 * (year / 100)], 2);
    std::memcpy(text + 2, &kPairs[2 * (year % 100)], 2);
    std::memcpy(text + 5, &kPairs[2 * (monthDay / 100)], 2);
    std::memcpy(text + 8, &kPairs[2 * (monthDay % 100)], 2);
    text[4] = text[7] = '-';
}

[[gnu::noinline]] void plainVW2D(qmr_int32 date, char* text) {
    char digits[12];
    qmr::formatDecimal(digits, date == 0 ? 10101 : date, 8, 8);
    qmr::storage::scatter<qmr::storage::kWDate>(digits, text);
}

template <void (*Write)(qmr_int32, char*)>
void writeDates(benchmark::State& state) {
    const auto& dates = sample().dates;
    char text[16] = {};
    for (auto _ : state) {
        for (const qmr_int32 d : dates) {
            Write(d, text);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kCount);
}

void libraryVW2D(qmr_int32 date, char* text) { QMRVW2D(date, text); }

// ---- "YYYY-MM-DD" -> date value -------------------------------------------

[[gnu::noinline]] qmr_int32 portD2VW(const char* text) {
    char work[9];
    std::memcpy(work, text, 4);
    std::memcpy(work + 4, text + 5, 2);
    std::memcpy(work + 6, text + 8, 2);
    work[8] = '\0';
    if (std::memcmp(work, "00010101", 8) == 0) return 0;
    return static_cast<qmr_int32>(std::strtol(work, nullptr, 10));
}

[[gnu::noinline]] qmr_int32 strptimeD2VW(const char* text) {
    char work[11];
    std::memcpy(work, text, 10);
    work[10] = '\0';
    std::tm tm{};
    strptime(work, "%Y-%m-%d", &tm);
    const qmr_int32 date = (tm.tm_year + 1900) * 10000 + (tm.tm_mon + 1) * 100 + tm.tm_mday;
    return date == 10101 ? 0 : date;
}

[[gnu::noinline]] qmr_int32 handD2VW(const char* t) {
    const auto digit = [t](int i) { return t[i] - '0'; };
    const qmr_int32 date = ((((digit(0) * 10 + digit(1)) * 10 + digit(2)) * 10 + digit(3)) * 10 + digit(5)) * 1000 +
                           (digit(6) * 10 + digit(8)) * 10 + digit(9);
    return date == 10101 ? 0 : date;
}

[[gnu::noinline]] qmr_int32 plainD2VW(const char* text) {
    char digits[8];
    qmr::storage::gather<qmr::storage::kWDate>(text, digits);
    return std::memcmp(digits, "00010101", 8) == 0 ? 0 : qmr::readDecimal(digits, 8);
}

qmr_int32 libraryD2VW(const char* text) {
    qmr_int32 date = 0;
    QMRD2VW(text, &date);
    return date;
}

template <qmr_int32 (*Read)(const char*)>
void readDates(benchmark::State& state) {
    const auto& texts = sample().wDates;
    for (auto _ : state) {
        int64_t sum = 0;
        for (const std::string& t : texts) sum += Read(t.data());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kCount);
}

// ---- internal timestamp -> "MM/DD/YYYY hh:mm:ss:fff" -----------------------

[[gnu::noinline]] void portVM2S(const char* s, char* text) {
    const bool null = std::memcmp(s, "00000000", 8) == 0;
    std::snprintf(text, 24, "%.2s/%.2s/%.4s %.2s:%.2s:%.2s:%.3s", null ? "01" : s + 4, null ? "01" : s + 6,
                  null ? "1753" : s, s + 8, s + 10, s + 12, s + 14);
}

// Slices read with strtol into a struct tm, written back with strftime.
[[gnu::noinline]] void strftimeVM2S(const char* s, char* text) {
    const auto slice = [s](int at, int width) {
        char part[8] = {};
        std::memcpy(part, s + at, width);
        return static_cast<int>(std::strtol(part, nullptr, 10));
    };
    std::tm tm{};
    tm.tm_year = slice(0, 4) - 1900;
    tm.tm_mon = slice(4, 2) - 1;
    tm.tm_mday = slice(6, 2);
    tm.tm_hour = slice(8, 2);
    tm.tm_min = slice(10, 2);
    tm.tm_sec = slice(12, 2);
    char work[32];
    std::strftime(work, sizeof work, "%m/%d/%04Y %H:%M:%S:", &tm);
    std::memcpy(text, work, 20);
    std::memcpy(text + 20, s + 14, 3);
    text[23] = '\0';
}

[[gnu::noinline]] void handVM2S(const char* s, char* text) {
    std::memcpy(text, s + 4, 2);
    std::memcpy(text + 3, s + 6, 2);
    std::memcpy(text + 6, s, 4);
    std::memcpy(text + 11, s + 8, 2);
    std::memcpy(text + 14, s + 10, 2);
    std::memcpy(text + 17, s + 12, 2);
    std::memcpy(text + 20, s + 14, 3);
    text[2] = text[5] = '/';
    text[10] = ' ';
    text[13] = text[16] = text[19] = ':';
    text[23] = '\0';
}

void libraryVM2S(const char* stamp, char* text) { QMRVM2S(stamp, text); }

template <void (*Write)(const char*, char*)>
void writeStamps(benchmark::State& state) {
    const auto& stamps = sample().stamps;
    char text[32] = {};
    for (auto _ : state) {
        for (const std::string& s : stamps) {
            Write(s.data(), text);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kCount);
}

// ---- "MM/DD/YYYY hh:mm:ss:fffPM" -> internal timestamp ---------------------

[[gnu::noinline]] void portS2VM(const char* t, char* stamp) {
    const auto number = [t](int at) { return static_cast<int>(std::strtol(t + at, nullptr, 10)); };
    int hour = number(11);
    if (t[23] != 'A' || t[24] != 'M') {
        if (hour < 12) hour += 12;
    } else if (hour == 12) {
        hour = 0;
    }
    std::snprintf(stamp, 21, "%.4s%02d%02d%02d%02d%02d%03d000", t + 6, number(0), number(3), hour, number(14),
                  number(17), number(20));
    if (std::memcmp(stamp, "17530101", 8) == 0) std::memset(stamp, '0', 20);
}

[[gnu::noinline]] void strptimeS2VM(const char* t, char* stamp) {
    char work[32];
    std::memcpy(work, t, 19);
    std::memcpy(work + 19, t + 23, 2);
    work[21] = '\0';
    std::tm tm{};
    strptime(work, "%m/%d/%Y %I:%M:%S%p", &tm);
    char out[32];
    std::strftime(out, sizeof out, "%04Y%m%d%H%M%S", &tm);
    std::memcpy(stamp, std::memcmp(out, "17530101", 8) == 0 ? "00000000000000" : out, 14);
    std::memcpy(stamp + 14, std::memcmp(out, "17530101", 8) == 0 ? "000" : t + 20, 3);
    std::memcpy(stamp + 17, "000", 4);
}

[[gnu::noinline]] void handS2VM(const char* t, char* stamp) {
    if (std::memcmp(t + 6, "1753", 4) == 0 && std::memcmp(t, "01", 2) == 0 && std::memcmp(t + 3, "01", 2) == 0) {
        std::memcpy(stamp, "00000000000000000000", 21);
        return;
    }
    std::memcpy(stamp, t + 6, 4);
    std::memcpy(stamp + 4, t, 2);
    std::memcpy(stamp + 6, t + 3, 2);
    unsigned hour = static_cast<unsigned>((t[11] - '0') * 10 + (t[12] - '0'));
    if (t[23] != 'A' || t[24] != 'M') {
        if (hour < 12) hour += 12;
    } else if (hour == 12) {
        hour = 0;
    }
    stamp[8] = static_cast<char>('0' + hour / 10);
    stamp[9] = static_cast<char>('0' + hour % 10);
    std::memcpy(stamp + 10, t + 14, 2);
    std::memcpy(stamp + 12, t + 17, 2);
    std::memcpy(stamp + 14, t + 20, 3);
    std::memcpy(stamp + 17, "000", 4);
}

void libraryS2VM(const char* text, char* stamp) { QMRS2VM(text, stamp); }

[[gnu::noinline]] void plainS2VM(const char* text, char* stamp) {
    qmr::storage::readTwelveHourStamp<qmr::storage::TwelveHourReader::M>(text, stamp, false);
}

// Every peer against the library on the whole sample, before any timing.
[[noreturn]] void disagree(const char* what, const std::string& input) {
    std::fprintf(stderr, "bench_storage: %s disagrees with the library on '%s'\n", what, input.c_str());
    std::abort();
}

const bool kSameResults = [] {
    const Sample& s = sample();
    for (std::size_t i = 0; i < kCount; ++i) {
        char ours[32] = {}, theirs[32] = {};
        libraryVW2D(s.dates[i], ours);
        for (const auto& [peer, name] : {std::pair{&portVW2D, "VW2D_Port"}, std::pair{&strftimeVW2D, "VW2D_Strftime"},
                                         std::pair{&handVW2D, "VW2D_HandWritten"}, std::pair{&plainVW2D, "VW2D_Plain"}}) {
            peer(s.dates[i], theirs);
            if (std::memcmp(ours, theirs, 10) != 0) disagree(name, std::to_string(s.dates[i]));
        }
        for (const auto& [peer, name] : {std::pair{&portD2VW, "D2VW_Port"}, std::pair{&strptimeD2VW, "D2VW_Strptime"},
                                         std::pair{&handD2VW, "D2VW_HandWritten"}, std::pair{&plainD2VW, "D2VW_Plain"}}) {
            if (peer(s.wDates[i].data()) != libraryD2VW(s.wDates[i].data())) disagree(name, s.wDates[i]);
        }
        libraryVM2S(s.stamps[i].data(), ours);
        for (const auto& [peer, name] : {std::pair{&portVM2S, "VM2S_Port"}, std::pair{&strftimeVM2S, "VM2S_Strftime"},
                                         std::pair{&handVM2S, "VM2S_HandWritten"}}) {
            peer(s.stamps[i].data(), theirs);
            if (std::memcmp(ours, theirs, 24) != 0) disagree(name, s.stamps[i]);
        }
        libraryS2VM(s.mStamps[i].data(), ours);
        for (const auto& [peer, name] : {std::pair{&portS2VM, "S2VM_Port"}, std::pair{&strptimeS2VM, "S2VM_Strptime"},
                                         std::pair{&handS2VM, "S2VM_HandWritten"}, std::pair{&plainS2VM, "S2VM_Plain"}}) {
            peer(s.mStamps[i].data(), theirs);
            if (std::memcmp(ours, theirs, 21) != 0) disagree(name, s.mStamps[i]);
        }
    }
    return true;
}();

template <void (*Read)(const char*, char*)>
void readStamps(benchmark::State& state) {
    const auto& texts = sample().mStamps;
    char stamp[32] = {};
    for (auto _ : state) {
        for (const std::string& t : texts) {
            Read(t.data(), stamp);
            benchmark::DoNotOptimize(stamp);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kCount);
}

BENCHMARK(writeDates<libraryVW2D>)->Name("QMRVW2D");
BENCHMARK(writeDates<portVW2D>)->Name("VW2D_Port");
BENCHMARK(writeDates<strftimeVW2D>)->Name("VW2D_Strftime");
BENCHMARK(writeDates<handVW2D>)->Name("VW2D_HandWritten");
BENCHMARK(writeDates<plainVW2D>)->Name("VW2D_Plain");
BENCHMARK(readDates<libraryD2VW>)->Name("QMRD2VW");
BENCHMARK(readDates<portD2VW>)->Name("D2VW_Port");
BENCHMARK(readDates<strptimeD2VW>)->Name("D2VW_Strptime");
BENCHMARK(readDates<handD2VW>)->Name("D2VW_HandWritten");
BENCHMARK(readDates<plainD2VW>)->Name("D2VW_Plain");
BENCHMARK(writeStamps<libraryVM2S>)->Name("QMRVM2S");
BENCHMARK(writeStamps<portVM2S>)->Name("VM2S_Port");
BENCHMARK(writeStamps<strftimeVM2S>)->Name("VM2S_Strftime");
BENCHMARK(writeStamps<handVM2S>)->Name("VM2S_HandWritten");
BENCHMARK(readStamps<libraryS2VM>)->Name("QMRS2VM");
BENCHMARK(readStamps<portS2VM>)->Name("S2VM_Port");
BENCHMARK(readStamps<strptimeS2VM>)->Name("S2VM_Strptime");
BENCHMARK(readStamps<handS2VM>)->Name("S2VM_HandWritten");
BENCHMARK(readStamps<plainS2VM>)->Name("S2VM_Plain");

}  // namespace
