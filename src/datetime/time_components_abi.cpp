// Exports of the time and timestamp component functions.
//
// The validating ones put the time into the call context's date request
// and ask the engine; only the time, the request code and the time form
// are stored, so a date that an earlier call left there is checked too
// and, when invalid, fails the time as well.  The ...N functions and
// QMRFTNUM take the value as it is and never fail.
//
// Every input is read before any output is written, so an output field
// that overlaps an input (one field passed as both, or laid over a
// timestamp's microseconds) gives the result of the input.
#include <cstring>

#include "datetime/date_builtin.h"
#include "datetime/request.h"
#include "frame/digits.h"

namespace {

using qmr::ContextView;
using qmr::FunctionName;

constexpr std::size_t kTimeOfTimestamp = 8;     // hhmmss in yyyymmddhhmmssffffff
constexpr std::size_t kMicrosOfTimestamp = 14;  // ffffff

std::int32_t timeOfTimestamp(const char* timestamp) noexcept { return qmr::readDecimal(timestamp + kTimeOfTimestamp, 6); }

std::int32_t hoursOf(std::int32_t time) noexcept { return time / 10000; }
std::int32_t minutesOf(std::int32_t time) noexcept { return time / 100 % 100; }
std::int32_t secondsOf(std::int32_t time) noexcept { return time % 100; }

// Stamps the name, clears the output and checks the time; true when the
// engine accepts it, after reporting " 141" otherwise.
template <typename Out>
bool acceptTime(void* opaque1, void* opaque2, CallContext* context, const FunctionName& name, std::int32_t time,
                Out* out) noexcept {
    const ContextView view(context);
    view.stampName(name);
    qmr::storeField(out, 0);
    if (qmr::engineAcceptsTime(view, time)) return true;
    qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_TIME);
    return false;
}

// A 16-bit component of a validated time.
void component16(void* opaque1, void* opaque2, CallContext* context, const FunctionName& name, std::int32_t time,
                 qmr_int16* out, std::int32_t (*part)(std::int32_t)) noexcept {
    if (acceptTime(opaque1, opaque2, context, name, time, out)) qmr::storeField(out, part(time));
}

// A component of a value taken as it is.
void plain(CallContext* context, const FunctionName& name, std::int32_t value, qmr_int32* out) noexcept {
    ContextView(context).stampName(name);
    qmr::storeField(out, value);
}

}  // namespace

extern "C" {

QMR_API void QMR_CALL QMRFHOUR(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time, qmr_int16* hour) {
    component16(opaque1, opaque2, context, FunctionName{"QMRFHOUR"}, qmr::loadField(time), hour, hoursOf);
}

QMR_API void QMR_CALL QMRFMIN(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time, qmr_int16* minute) {
    component16(opaque1, opaque2, context, FunctionName{"QMRFMIN "}, qmr::loadField(time), minute, minutesOf);
}

QMR_API void QMR_CALL QMRFSEC(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time, qmr_int16* second) {
    component16(opaque1, opaque2, context, FunctionName{"QMRFSEC "}, qmr::loadField(time), second, secondsOf);
}

QMR_API void QMR_CALL QMRFHRTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp, qmr_int16* hour) {
    component16(opaque1, opaque2, context, FunctionName{"QMRFHRTS"}, timeOfTimestamp(timestamp), hour, hoursOf);
}

QMR_API void QMR_CALL QMRFMITS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* minute) {
    component16(opaque1, opaque2, context, FunctionName{"QMRFMITS"}, timeOfTimestamp(timestamp), minute, minutesOf);
}

QMR_API void QMR_CALL QMRFSCTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* second) {
    component16(opaque1, opaque2, context, FunctionName{"QMRFSCTS"}, timeOfTimestamp(timestamp), second, secondsOf);
}

QMR_API void QMR_CALL QMRFMICR(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int32* micros) {
    const std::int32_t time = timeOfTimestamp(timestamp);
    const std::int32_t value = qmr::readDecimal(timestamp + kMicrosOfTimestamp, 6);
    if (acceptTime(opaque1, opaque2, context, FunctionName{"QMRFMICR"}, time, micros)) qmr::storeField(micros, value);
}

QMR_API void QMR_CALL QMRFTMTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int32* time) {
    const std::int32_t t = timeOfTimestamp(timestamp);
    if (acceptTime(opaque1, opaque2, context, FunctionName{"QMRFTMTS"}, t, time)) qmr::storeField(time, t);
}

// The output starts as four blanks, not 0, and keeps them after a failure.
QMR_API void QMR_CALL QMRFNUMT(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* number,
                               qmr_int32* time) {
    const ContextView view(context);
    view.stampName(FunctionName{"QMRFNUMT"});
    const std::int32_t value = qmr::loadField(number);
    std::memset(time, ' ', sizeof *time);
    if (qmr::engineAcceptsTime(view, value)) {
        qmr::storeField(time, value);
    } else {
        qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_TIME);
    }
}

QMR_API void QMR_CALL QMRFHRN(void*, void*, CallContext* context, qmr_int32 time, qmr_int32* hour) {
    plain(context, FunctionName{"QMRFHRN "}, hoursOf(time), hour);
}

QMR_API void QMR_CALL QMRFMINN(void*, void*, CallContext* context, qmr_int32 time, qmr_int32* minute) {
    plain(context, FunctionName{"QMRFMINN"}, minutesOf(time), minute);
}

QMR_API void QMR_CALL QMRFSECN(void*, void*, CallContext* context, qmr_int32 time, qmr_int32* second) {
    plain(context, FunctionName{"QMRFSECN"}, secondsOf(time), second);
}

QMR_API void QMR_CALL QMRFTNUM(void*, void*, CallContext* context, const qmr_int32* time, qmr_int32* number) {
    plain(context, FunctionName{"QMRFTNUM"}, qmr::loadField(time), number);
}

}  // extern "C"
