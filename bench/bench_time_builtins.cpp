// Time and timestamp built-ins beside their peers: std::chrono doing the
// same computation (the validity check and the component; sys_time
// arithmetic for the timestamp duration), the same behind a call as a
// host reaches a library function, and a literal port that formats with
// snprintf and reads slices with strtol as the host's engine does.
// Before any timing the library and every peer work through the whole
// sample, and the run stops if any two disagree.  Compare the ratios
// within one run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "qmr/qmr.h"

namespace {

using namespace std::chrono;

constexpr std::size_t kCount = 4096;

const std::vector<int32_t>& sampleTimes() {
    static const std::vector<int32_t> times = [] {
        std::mt19937 random(3);
        std::uniform_int_distribution<int> second(0, 86399);
        std::vector<int32_t> out;
        for (std::size_t i = 0; i < kCount; ++i) {
            const int s = second(random);
            out.push_back(s / 3600 * 10000 + s / 60 % 60 * 100 + s % 60);
        }
        return out;
    }();
    return times;
}

struct StampSample {
    char text[20];
    int32_t micros;  // the count to add
};

const std::vector<StampSample>& sampleStamps() {
    static const std::vector<StampSample> stamps = [] {
        std::mt19937 random(4);
        std::uniform_int_distribution<int> day(0, 3652058 - 1);
        std::uniform_int_distribution<int64_t> micro(0, 86400LL * 1000000 - 1);
        std::uniform_int_distribution<int32_t> count(-5000000, 5000000);
        std::vector<StampSample> out;
        for (std::size_t i = 0; i < kCount; ++i) {
            const sys_time<microseconds> t = sys_days{year{1} / January / 1} + days{day(random)} + microseconds{micro(random)};
            const sys_days d = floor<days>(t);
            const year_month_day ymd{d};
            const hh_mm_ss<microseconds> clock{t - d};
            char text[32];
            std::snprintf(text, sizeof text, "%04d%02u%02u%02ld%02ld%02ld%06ld", int(ymd.year()), unsigned(ymd.month()),
                          unsigned(ymd.day()), long(clock.hours().count()), long(clock.minutes().count()),
                          long(clock.seconds().count()), long(clock.subseconds().count()));
            StampSample s;
            std::memcpy(s.text, text, 20);
            s.micros = count(random);
            out.push_back(s);
        }
        return out;
    }();
    return stamps;
}

// A host's call context: zeroed, larger than the minimum.
struct Context {
    std::vector<unsigned char> bytes = std::vector<unsigned char>(4096, 0);
    CallContext* get() { return reinterpret_cast<CallContext*>(bytes.data()); }
};

// ---------------------------------------------------------------- QMRFHOUR

void BM_QMRFHOUR(benchmark::State& state) {
    const auto& times = sampleTimes();
    Context context;
    for (auto _ : state) {
        int64_t sum = 0;
        for (const int32_t& t : times) {
            qmr_int16 hour;
            QMRFHOUR(nullptr, nullptr, context.get(), &t, &hour);
            sum += hour;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

// The check the engine makes (24:00:00 at most, minutes and seconds
// below 60) and the hour, in chrono's terms.
inline int chronoHour(int32_t t) {
    const int32_t m = t / 100 % 100;
    const int32_t s = t % 100;
    const seconds since = hours{t / 10000} + minutes{m} + seconds{s};
    if (t < 0 || m > 59 || s > 59 || since > days{1}) return 0;
    return int(hh_mm_ss<seconds>{since}.hours().count());
}

[[gnu::noinline]] int chronoHourCalled(int32_t t) { return chronoHour(t); }

// Chrono inlined into the loop, or behind a call as the built-in is.
template <int (*Hour)(int32_t)>
void BM_ChronoHour(benchmark::State& state) {
    const auto& times = sampleTimes();
    for (auto _ : state) {
        int64_t sum = 0;
        for (const int32_t t : times) sum += Hour(t);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

// ------------------------------------------------------ the literal port

// Formats are kept in variables: -Wformat would judge them otherwise.
const char* kDateFormat = "%08.8ld";
const char* kTimeFormat = "%08ld";
const char* kStampFormat = "%08ld%06ld%06ld";

long slice(const char* text, std::size_t from, std::size_t length) {
    char work[16] = {};
    std::memcpy(work, text + from, length);
    return std::strtol(work, nullptr, 10);
}

// The engine's request '0' as the host writes it: a work copy of the
// block, the date and the time formatted into text and read back in
// slices, the copy written back.
struct LiteralRequest {
    long date;
    long time;
    short returnCode;
    char rest[98];
};

bool literalValidate(LiteralRequest& block) {
    LiteralRequest work;
    std::memcpy(&work, &block, sizeof work);
    work.returnCode = 0;
    if (work.date != 0) {
        char text[16];
        std::snprintf(text, sizeof text, kDateFormat, work.date);
        const long y = slice(text, 0, 4), m = slice(text, 4, 2), d = slice(text, 6, 2);
        const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
        if (m < 0 || m > 12 || d < 0 || d > 31 || y < 0 || y > 9999 || (m == 2 && (d > 29 || (d > 28 && !leap))) ||
            ((m == 4 || m == 6 || m == 9 || m == 11) && d > 30)) {
            work.returnCode = 8;
        }
    }
    if (work.returnCode == 0 && work.time != 0) {
        const long hundredths = work.time * 100;
        if (hundredths < 0 || hundredths > 24000000) {
            work.returnCode = 8;
        } else {
            char text[16];
            std::snprintf(text, sizeof text, kTimeFormat, hundredths);
            if (slice(text, 2, 2) > 59 || slice(text, 4, 2) > 59) work.returnCode = 8;
        }
    }
    std::memcpy(&block, &work, sizeof work);
    return block.returnCode == 0;
}

void BM_LiteralPort_Hour(benchmark::State& state) {
    const auto& times = sampleTimes();
    LiteralRequest request{};
    char name[8];
    for (auto _ : state) {
        int64_t sum = 0;
        for (const int32_t t : times) {
            std::memcpy(name, "QMRFHOUR", 8);
            benchmark::DoNotOptimize(name);
            short hour = 0;
            request.time = t;
            if (literalValidate(request)) hour = short(request.time / 10000);
            sum += hour;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

// ------------------------------------------------ QMRFSDUR, microseconds

void BM_QMRFSDUR_Micros(benchmark::State& state) {
    const auto& stamps = sampleStamps();
    Context context;
    unsigned char* bytes = context.bytes.data();
    bytes[QMR_CC_DUR_MICROS_SELECTED] = 'Y';
    for (auto _ : state) {
        int64_t sum = 0;
        for (const StampSample& s : stamps) {
            std::memcpy(bytes + QMR_CC_DUR_TIMESTAMP, s.text, 20);
            std::memcpy(bytes + QMR_CC_DUR_MICROS, &s.micros, 4);
            QMRFSDUR(nullptr, nullptr, context.get());
            sum += bytes[QMR_CC_DUR_RESULT_TIMESTAMP + 19];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

inline int32_t digits(const char* text, int count) {
    int32_t v = 0;
    for (int i = 0; i < count; ++i) v = v * 10 + (text[i] - '0');
    return v;
}

inline void putDigits(char* out, int64_t value, int count) {
    for (int i = count - 1; i >= 0; --i, value /= 10) out[i] = char('0' + value % 10);
}

// The same in chrono's terms: read the text, check the date and the time,
// add on sys_time<microseconds>, check the range, write 20 digits.
inline bool chronoAddMicros(const char* text, int32_t count, char* out) {
    const year_month_day ymd{year{digits(text, 4)}, month{unsigned(digits(text + 4, 2))}, day{unsigned(digits(text + 6, 2))}};
    const int32_t h = digits(text + 8, 2), m = digits(text + 10, 2), s = digits(text + 12, 2);
    if (!ymd.ok() || m > 59 || s > 59 || hours{h} + minutes{m} + seconds{s} > days{1}) return false;
    const sys_time<microseconds> t = sys_days{ymd} + hours{h} + minutes{m} + seconds{s} +
                                     microseconds{digits(text + 14, 6)} + microseconds{count};
    const sys_days d = floor<days>(t);
    const year_month_day to{d};
    if (to.year() < year{1} || to.year() > year{9999}) return false;
    const hh_mm_ss<microseconds> clock{t - d};
    putDigits(out, int(to.year()), 4);
    putDigits(out + 4, unsigned(to.month()), 2);
    putDigits(out + 6, unsigned(to.day()), 2);
    putDigits(out + 8, clock.hours().count(), 2);
    putDigits(out + 10, clock.minutes().count(), 2);
    putDigits(out + 12, clock.seconds().count(), 2);
    putDigits(out + 14, clock.subseconds().count(), 6);
    out[20] = 0;
    return true;
}

[[gnu::noinline]] bool chronoAddMicrosCalled(const char* text, int32_t count, char* out) {
    return chronoAddMicros(text, count, out);
}

template <bool (*Add)(const char*, int32_t, char*)>
void BM_ChronoAddMicros(benchmark::State& state) {
    const auto& stamps = sampleStamps();
    char out[21];
    for (auto _ : state) {
        int64_t sum = 0;
        for (const StampSample& s : stamps) {
            Add(s.text, s.micros, out);
            sum += out[19];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

// Floor split of v by b.
inline long floorCarry(long& v, long b) {
    long q = v / b;
    v %= b;
    if (v < 0) {
        --q;
        v += b;
    }
    return q;
}

// QMRFSDUR for a microseconds count, written the obvious way.
void literalAddMicros(const char* text, int32_t count, char* out, LiteralRequest& request) {
    std::memcpy(out, "00000000000000000000", 21);
    const long date = slice(text, 0, 8), time = slice(text, 8, 6);
    long micros = slice(text, 14, 6);
    request.date = date;
    if (!literalValidate(request)) return;
    request.time = time;
    if (!literalValidate(request)) return;
    long h = time / 10000, m = time / 100 % 100, s = time % 100;
    long days = 0;
    if (count != 0) {
        micros += count;
        long carry = floorCarry(micros, 1000000);
        if (carry != 0) {
            s += carry;
            carry = floorCarry(s, 60);
            if (carry != 0) {
                m += carry;
                carry = floorCarry(m, 60);
                if (carry != 0) {
                    h += carry;
                    days = floorCarry(h, 24);
                }
            }
        }
    }
    long newDate = date;
    if (days != 0) newDate = QMRFDAT2(nullptr, nullptr, int32_t(QMRFDAT1(nullptr, nullptr, int32_t(date)) + days));
    if (newDate < 10000 || newDate > 99991231) return;
    request.date = newDate;
    if (!literalValidate(request)) return;
    request.time = h * 10000 + m * 100 + s;
    if (!literalValidate(request)) return;
    std::snprintf(out, 21, kStampFormat, newDate, request.time, micros);
}

void BM_LiteralPort_AddMicros(benchmark::State& state) {
    const auto& stamps = sampleStamps();
    LiteralRequest request{};
    char out[21];
    for (auto _ : state) {
        int64_t sum = 0;
        for (const StampSample& s : stamps) {
            literalAddMicros(s.text, s.micros, out, request);
            sum += out[19];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

// The library and every peer on the whole sample, before any timing.
const bool kSameResults = [] {
    const auto disagree = [](const char* peer, const std::string& input) {
        std::fprintf(stderr, "bench_time_builtins: %s disagrees with the library on %s\n", peer, input.c_str());
        std::abort();
    };
    Context context, durations;  // the hour checks leave refused times in theirs
    unsigned char* bytes = durations.bytes.data();
    LiteralRequest request{};
    for (const int32_t t : sampleTimes()) {
        for (const int32_t time : {t, t + 60, t + 6000, -t}) {  // refused ones too
            qmr_int16 hour = 0;
            QMRFHOUR(nullptr, nullptr, context.get(), &time, &hour);
            request.time = time;
            const short literal = literalValidate(request) ? short(time / 10000) : 0;
            if (chronoHour(time) != hour) disagree("ChronoHour", std::to_string(time));
            if (literal != hour) disagree("LiteralPort_Hour", std::to_string(time));
        }
    }
    bytes[QMR_CC_DUR_MICROS_SELECTED] = 'Y';
    LiteralRequest fresh{};
    for (const StampSample& s : sampleStamps()) {
        std::memcpy(bytes + QMR_CC_DUR_TIMESTAMP, s.text, 20);
        std::memcpy(bytes + QMR_CC_DUR_MICROS, &s.micros, 4);
        QMRFSDUR(nullptr, nullptr, durations.get());
        char chrono[21] = "00000000000000000000", literal[21];
        chronoAddMicros(s.text, s.micros, chrono);
        literalAddMicros(s.text, s.micros, literal, fresh);
        const std::string input = std::string(s.text, 20) + " + " + std::to_string(s.micros);
        if (std::memcmp(bytes + QMR_CC_DUR_RESULT_TIMESTAMP, chrono, 21) != 0) disagree("ChronoAddMicros", input);
        if (std::memcmp(bytes + QMR_CC_DUR_RESULT_TIMESTAMP, literal, 21) != 0) disagree("LiteralPort_AddMicros", input);
    }
    return true;
}();

BENCHMARK(BM_QMRFHOUR);
BENCHMARK(BM_ChronoHour<chronoHour>)->Name("BM_ChronoHour");
BENCHMARK(BM_ChronoHour<chronoHourCalled>)->Name("BM_ChronoHour_Called");
BENCHMARK(BM_LiteralPort_Hour);
BENCHMARK(BM_QMRFSDUR_Micros);
BENCHMARK(BM_ChronoAddMicros<chronoAddMicros>)->Name("BM_ChronoAddMicros");
BENCHMARK(BM_ChronoAddMicros<chronoAddMicrosCalled>)->Name("BM_ChronoAddMicros_Called");
BENCHMARK(BM_LiteralPort_AddMicros);

}  // namespace
