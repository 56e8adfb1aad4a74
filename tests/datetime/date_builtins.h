// Calling the date and time built-ins as a host does, each output first
// filled with a marker (cleared, kept or written?); and a fixed clock.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "datetime/clock.h"
#include "qmr/qmr.h"
#include "support/context.h"

namespace date_test {

// The output still holds what the host put there before the call.
constexpr std::int32_t kKept = INT32_MIN;
constexpr qmr_int16 kMarker16 = 0x7777;
constexpr qmr_int32 kMarker32 = 0x77777777;

inline std::int32_t yyyymmdd(const std::chrono::year_month_day& ymd) {
    return int(ymd.year()) * 10000 + int(unsigned(ymd.month())) * 100 + int(unsigned(ymd.day()));
}

template <typename Out>
std::int32_t outcome(Out out) {
    return out == (sizeof(Out) == 2 ? kMarker16 : kMarker32) ? kKept : std::int32_t{out};
}

// A built-in on a number field or a 20-character timestamp field holding
// `input`, the rest '0'; returns its output, or kKept.
template <typename In, typename Out>
std::int32_t callBuiltin(void (*function)(void*, void*, CallContext*, const In*, Out*), CallContext* context,
                         const std::string& input) {
    Out out = sizeof(Out) == 2 ? kMarker16 : kMarker32;
    if constexpr (std::is_same_v<In, char>) {
        std::string field = input.substr(0, 20);
        field.resize(20, '0');
        function(nullptr, nullptr, context, field.c_str(), &out);
    } else {
        const qmr_int32 value = std::stoi(input);
        function(nullptr, nullptr, context, &value, &out);
    }
    return outcome(out);
}

// A member that takes its number by value.
inline std::int32_t callBuiltin(void (*function)(void*, void*, CallContext*, qmr_int32, qmr_int32*),
                                CallContext* context, const std::string& input) {
    qmr_int32 out = kMarker32;
    function(nullptr, nullptr, context, std::stoi(input), &out);
    return outcome(out);
}

// `text` cut or blank-padded to `size` bytes in a heap block of exactly
// that size, so that a read past the field is an AddressSanitizer error.
inline std::unique_ptr<char[]> exactField(const std::string& text, std::size_t size) {
    std::unique_ptr<char[]> field(new char[size]);
    std::memset(field.get(), ' ', size);
    std::memcpy(field.get(), text.data(), std::min(text.size(), size));
    return field;
}

// QMRFDTEC on its 10 characters and QMRFTMEC on its 8.
template <auto Function, std::size_t Size>
std::int32_t fromText(CallContext* context, const std::string& text) {
    qmr_int32 out = kMarker32;
    Function(nullptr, nullptr, context, exactField(text, Size).get(), &out);
    return outcome(out);
}
inline constexpr auto dateText = fromText<QMRFDTEC, 10>;
inline constexpr auto timeText = fromText<QMRFTMEC, 8>;

// Any built-in of the family as one table column.
using Caller = std::int32_t (*)(CallContext*, const std::string&);
template <auto Function>
std::int32_t call(CallContext* context, const std::string& input) {
    return callBuiltin(Function, context, input);
}

// Leaves an invalid time in the context's request, as a time built-in
// whose time the engine refused leaves it (time form '2', 24:60:00), or
// an invalid date, as QMRFTSC leaves 2001-02-30.
inline void leaveInvalid(qmr_test::TestContext& context, bool time) {
    DateRequest* r = context.request();
    r->requestCode = '0';
    if (time) { r->timeForm = '2'; r->time = 246000; } else { r->dateForm = '0'; r->date = 20010230; }
    QMRDAT2(nullptr, nullptr, r);
}

// Selects the units named in `units` (e.g. "ms"), each with `count`:
// Y years, M months, D days, h hours, m minutes, s seconds, u microseconds.
inline void select(qmr_test::TestContext& context, const char* units, std::int32_t count) {
    const struct { char key; std::size_t selected, count; } fields[] = {
        {'Y', QMR_CC_DUR_YEARS_SELECTED, QMR_CC_DUR_YEARS},     {'M', QMR_CC_DUR_MONTHS_SELECTED, QMR_CC_DUR_MONTHS},
        {'D', QMR_CC_DUR_DAYS_SELECTED, QMR_CC_DUR_DAYS},       {'h', QMR_CC_DUR_HOURS_SELECTED, QMR_CC_DUR_HOURS},
        {'m', QMR_CC_DUR_MINUTES_SELECTED, QMR_CC_DUR_MINUTES}, {'s', QMR_CC_DUR_SECONDS_SELECTED, QMR_CC_DUR_SECONDS},
        {'u', QMR_CC_DUR_MICROS_SELECTED, QMR_CC_DUR_MICROS},
    };
    for (const auto& f : fields) {
        const bool on = std::strchr(units, f.key) != nullptr;
        context.setByte(f.selected, on ? 'Y' : 'N');
        context.setInt32At(f.count, on ? count : 0);
    }
}

inline qmr::ClockReading clockIn2026() { return {2026, 12, 4, 13, 45, 25, 678}; }
inline qmr::ClockReading clockIn1999() { return {1999, 12, 31, 23, 59, 59, 999}; }
inline qmr::ClockReading clockIn1599() { return {1599, 12, 31, 23, 59, 59, 5}; }

// The clock reads `source` for the life of the object.
struct FixedClock {
    explicit FixedClock(qmr::ClockReading (*source)() = clockIn2026) { qmr::testing::setClock(source); }
    ~FixedClock() { qmr::testing::setClock(nullptr); }
};

}  // namespace date_test
