// Calling the date built-ins as a host does, with every output field
// filled with a marker first so that a test sees whether a call cleared
// it, kept it or wrote a result.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "qmr/qmr.h"
#include "support/context.h"

namespace date_test {

// The output still holds what the host put there before the call.
constexpr std::int32_t kKept = INT32_MIN;
constexpr qmr_int16 kMarker16 = 0x7777;
constexpr qmr_int32 kMarker32 = 0x77777777;

// A 20-character timestamp field holding `text`, the rest '0'.
inline std::string timestampField(const std::string& text) {
    std::string field = text.substr(0, 20);
    field.resize(20, '0');
    return field;
}

template <typename Out>
constexpr Out marker() {
    if constexpr (sizeof(Out) == 2) return kMarker16;
    else return kMarker32;
}

template <typename Out>
std::int32_t outcome(Out out) {
    return out == marker<Out>() ? kKept : std::int32_t{out};
}

// A date built-in on a date field or, for the timestamp members, on the
// timestamp text `input`; returns its output, or kKept.
template <typename In, typename Out>
std::int32_t callBuiltin(void (*function)(void*, void*, CallContext*, const In*, Out*), CallContext* context,
                         const std::string& input) {
    Out out = marker<Out>();
    if constexpr (std::is_same_v<In, char>) {
        function(nullptr, nullptr, context, timestampField(input).c_str(), &out);
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

// Any built-in of the family as one table column.
using Caller = std::int32_t (*)(CallContext*, const std::string&);
template <auto Function>
std::int32_t call(CallContext* context, const std::string& input) {
    return callBuiltin(Function, context, input);
}

// Leaves an invalid time in the context's request, as a time built-in
// whose time the engine refused leaves it: time form '2', 24:60:00.
inline void leaveInvalidTime(qmr_test::TestContext& context) {
    DateRequest* request = context.request();
    request->requestCode = '0';
    request->timeForm = '2';
    request->time = 246000;
    QMRDAT2(nullptr, nullptr, request);
}

}  // namespace date_test
