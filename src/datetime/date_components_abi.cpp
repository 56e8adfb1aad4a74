// Exports of the date component built-ins: day, month, year, day number,
// Julian form and day of the week of a date, a plain number or the date
// of a timestamp text.
//
// A validating member stamps its name, clears its output, has the engine
// validate the date (request '0' on the call context's DateRequest, which
// also validates the time an earlier call left there) and reports " 137"
// when the engine refuses.  The input is read before the output is
// cleared, so one field passed as both gives the result of its value.
#include <cstring>

#include "datetime/date_builtin.h"
#include "datetime/day_number.h"
#include "datetime/request.h"
#include "datetime/weekday.h"

namespace {

using qmr::ContextView;
using qmr::FunctionName;

template <typename Output, typename Component>
void validatedComponent(void* opaque1, void* opaque2, CallContext* context, const FunctionName& name,
                        std::int32_t date, Output* output, Component component) noexcept {
    const ContextView view(context);
    view.stampName(name);
    qmr::storeField(output, 0);
    if (!qmr::engineAcceptsDate(view, date)) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
        return;
    }
    qmr::storeField(output, component(date));
}

constexpr std::int32_t dayOf(std::int32_t date) noexcept { return date % 100; }
constexpr std::int32_t monthOf(std::int32_t date) noexcept { return date / 100 % 100; }
constexpr std::int32_t yearOf(std::int32_t date) noexcept { return date / 10000; }
constexpr std::int32_t itself(std::int32_t date) noexcept { return date; }

}  // namespace

extern "C" {

QMR_API void QMR_CALL QMRFDAY(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                              qmr_int16* day) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFDAY "}, qmr::loadField(date), day, dayOf);
}

QMR_API void QMR_CALL QMRFMTH(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                              qmr_int16* month) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFMTH "}, qmr::loadField(date), month, monthOf);
}

QMR_API void QMR_CALL QMRFYEAR(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int16* year) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFYEAR"}, qmr::loadField(date), year, yearOf);
}

QMR_API void QMR_CALL QMRFDAYS(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* dayNumber) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFDAYS"}, qmr::loadField(date), dayNumber,
                       qmr::dayNumber);
}

QMR_API void QMR_CALL QMRFDTEJ(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* julian) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFDTEJ"}, qmr::loadField(date), julian,
                       qmr::dateToJulian);
}

QMR_API void QMR_CALL QMRFDSTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int32* dayNumber) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFDSTS"}, qmr::timestampDate(timestamp),
                       dayNumber, qmr::dayNumber);
}

QMR_API void QMR_CALL QMRFDTTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int32* date) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFDTTS"}, qmr::timestampDate(timestamp), date,
                       itself);
}

QMR_API void QMR_CALL QMRFDYTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* day) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFDYTS"}, qmr::timestampDate(timestamp), day,
                       dayOf);
}

QMR_API void QMR_CALL QMRFMOTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* month) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFMOTS"}, qmr::timestampDate(timestamp), month,
                       monthOf);
}

QMR_API void QMR_CALL QMRFYRTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* year) {
    validatedComponent(opaque1, opaque2, context, FunctionName{"QMRFYRTS"}, qmr::timestampDate(timestamp), year,
                       yearOf);
}

// Validated like the others, but the output keeps its value on failure.
QMR_API void QMR_CALL QMRFNUMD(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* number,
                               qmr_int32* date) {
    const std::int32_t value = qmr::loadField(number);
    const ContextView view(context);
    view.stampName(FunctionName{"QMRFNUMD"});
    if (!qmr::engineAcceptsDate(view, value)) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
        return;
    }
    qmr::storeField(date, value);
}

// The output is blank before the engine is called: a refused date leaves
// nine blanks.
QMR_API void QMR_CALL QMRFDOW(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                              char* dayName) {
    const std::int32_t value = qmr::loadField(date);
    const ContextView view(context);
    view.stampName(FunctionName{"QMRFDOW "});
    std::memset(dayName, ' ', qmr::kDayNameLength);
    if (!qmr::engineAcceptsDate(view, value)) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
        return;
    }
    std::memcpy(dayName, qmr::kDayNames[qmr::weekdayInCalendar(value)], qmr::kDayNameLength);
}

// The members without validation never fail.
QMR_API void QMR_CALL QMRFDNUM(void*, void*, CallContext* context, const qmr_int32* date, qmr_int32* number) {
    const std::int32_t value = qmr::loadField(date);
    ContextView(context).stampName(FunctionName{"QMRFDNUM"});
    qmr::storeField(number, value);
}

QMR_API void QMR_CALL QMRFDAYN(void*, void*, CallContext* context, qmr_int32 number, qmr_int32* day) {
    ContextView(context).stampName(FunctionName{"QMRFDAYN"});
    qmr::storeField(day, dayOf(number));
}

QMR_API void QMR_CALL QMRFMTHN(void*, void*, CallContext* context, qmr_int32 number, qmr_int32* month) {
    ContextView(context).stampName(FunctionName{"QMRFMTHN"});
    qmr::storeField(month, monthOf(number));
}

QMR_API void QMR_CALL QMRFYRN(void*, void*, CallContext* context, qmr_int32 number, qmr_int32* year) {
    ContextView(context).stampName(FunctionName{"QMRFYRN "});
    qmr::storeField(year, yearOf(number));
}

}  // extern "C"
