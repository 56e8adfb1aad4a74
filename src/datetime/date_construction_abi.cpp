// Exports that build a yyyymmdd date from another form (date text, day
// number, Julian form, century form CYYMMDD) and turn a date into the
// century form.  Each validates its result through the engine.
#include "datetime/date_builtin.h"
#include "datetime/date_text.h"
#include "datetime/day_number.h"
#include "datetime/request.h"

namespace {

using qmr::ContextView;
using qmr::FunctionName;

constexpr std::int32_t kCenturyFormFirst = 16000101;  // century digit 7
constexpr std::int32_t kCenturyFormLast = 25991231;   // century digit 6
constexpr std::int32_t kCentury19 = 19000000;         // digits 0..6: 1900s..2500s
constexpr std::int32_t kCentury16Offset = 9000000;    // digits 7..9: 7000101 + 9000000 = 16000101
constexpr std::int32_t kCenturyDigit7 = 7000000;      // still read in the 1900s: 26000000, out of range
constexpr std::int32_t kDatesPerCentury = 1000000;    // yyyymmdd / 1000000 is the century

// Request '1' for today's date (form yyyymmdd).  Like every clock request
// it also puts the current time into the block.
bool engineToday(ContextView view, std::int32_t& today) noexcept {
    const qmr::RequestView request = qmr::requestOf(view);
    request.setRequestCode('1');
    request.setDateForm('0');
    qmr::runDateRequest(view.at(QMR_CC_DATE_REQUEST));
    today = request.date();
    return request.returnCode() == 0;
}

// The last steps of QMRFDTEC and QMRFJDTE: stop when an error is flagged,
// by now or before; otherwise validate and store.
void validateAndStore(void* opaque1, void* opaque2, CallContext* context, std::int32_t date,
                      qmr_int32* output) noexcept {
    const ContextView view(context);
    if (view.errorFlagSet()) return;
    if (!qmr::engineAcceptsDate(view, date)) return qmr::report(opaque1, opaque2, context, QMR_MSG_RESULT_DATE);
    qmr::storeField(output, date);
}

// QMRFCYYD and QMRFCYYN, which differ only in the name they stamp.
void toCenturyForm(void* opaque1, void* opaque2, CallContext* context, const FunctionName& name,
                   const qmr_int32* dateField, qmr_int32* cyymmdd) noexcept {
    const std::int32_t date = qmr::loadField(dateField);
    const ContextView view(context);
    view.stampName(name);
    qmr::storeField(cyymmdd, 0);
    if (date < kCenturyFormFirst || date > kCenturyFormLast || !qmr::engineAcceptsDate(view, date)) {
        return qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
    }
    qmr::storeField(cyymmdd, date - (date >= kCentury19 ? kCentury19 : kCentury16Offset));
}

}  // namespace

extern "C" {

QMR_API void QMR_CALL QMRFDTEC(void* opaque1, void* opaque2, CallContext* context, const char* text,
                               qmr_int32* date) {
    const qmr::DateText read = qmr::readDateText(text);
    const ContextView view(context);
    view.stampName(FunctionName{"QMRFDTEC"});
    if (read.fault == qmr::DateTextFault::notADate) return qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
    if (read.fault == qmr::DateTextFault::layout) return qmr::report(opaque1, opaque2, context, QMR_MSG_DATE_LAYOUT);
    std::int32_t value = read.value;
    if (read.julian) {
        const qmr::JulianDate converted = qmr::julianToDate(value);
        if (!converted.valid) qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
        value = converted.date;
    } else if (read.twoDigitYear) {  // month/day/year has a month: never the empty date
        std::int32_t today = 0;
        if (!engineToday(view, today)) {
            return qmr::report(opaque1, opaque2, context, QMR_MSG_RESULT_DATE);  // defensive: form '0' cannot fail
        }
        value += today / kDatesPerCentury * kDatesPerCentury;
    }
    validateAndStore(opaque1, opaque2, context, value, date);
}

QMR_API void QMR_CALL QMRFDTEN(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* dayNumber,
                               qmr_int32* date) {
    const std::int32_t n = qmr::loadField(dayNumber);
    const ContextView view(context);
    view.stampName(FunctionName{"QMRFDTEN"});
    if (n < 1) return qmr::report(opaque1, opaque2, context, QMR_MSG_DAY_NUMBER_LOW);
    if (n > qmr::kDayNumberOf99991231) return qmr::report(opaque1, opaque2, context, QMR_MSG_DAY_NUMBER_HIGH);
    const std::int32_t value = qmr::dateOfDayNumber(n);
    if (!qmr::engineAcceptsDate(view, value)) return qmr::report(opaque1, opaque2, context, QMR_MSG_RESULT_DATE);
    qmr::storeField(date, value);
}

QMR_API void QMR_CALL QMRFJDTE(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* julian,
                               qmr_int32* date) {
    const std::int32_t form = qmr::loadField(julian);
    ContextView(context).stampName(FunctionName{"QMRFJDTE"});
    const qmr::JulianDate converted = qmr::julianToDate(form);
    if (!converted.valid) qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
    validateAndStore(opaque1, opaque2, context, converted.date, date);
}

QMR_API void QMR_CALL QMRFNCYY(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* cyymmdd,
                               qmr_int32* date) {
    const std::int32_t form = qmr::loadField(cyymmdd);
    const ContextView view(context);
    view.stampName(FunctionName{"QMRFNCYY"});
    qmr::storeField(date, 0);
    // Exact in 64 bits; no sum that the host's 32 bits would wrap lies in range.
    const std::int64_t value = std::int64_t{form} + (form <= kCenturyDigit7 ? kCentury19 : kCentury16Offset);
    if (value < kCenturyFormFirst || value > kCenturyFormLast ||
        !qmr::engineAcceptsDate(view, static_cast<std::int32_t>(value))) {
        return qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
    }
    qmr::storeField(date, static_cast<std::int32_t>(value));
}

QMR_API void QMR_CALL QMRFCYYD(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* cyymmdd) {
    toCenturyForm(opaque1, opaque2, context, FunctionName{"QMRFCYYD"}, date, cyymmdd);
}

QMR_API void QMR_CALL QMRFCYYN(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* cyymmdd) {
    toCenturyForm(opaque1, opaque2, context, FunctionName{"QMRFCYYN"}, date, cyymmdd);
}

}  // extern "C"
