// QMRFDDUR: a date plus a signed number of years, months or days, with
// its operands and result in the call context's duration fields.
#include "datetime/date_duration.h"
#include "datetime/request.h"

namespace {

// The first selected unit: years before months before days.  False when
// none is selected.
bool addSelectedUnit(const qmr::ContextView& view, std::int32_t date, std::int64_t& result) noexcept {
    if (view.selected(QMR_CC_DUR_YEARS_SELECTED)) {
        result = qmr::dateAfterYears(date, view.int32At(QMR_CC_DUR_YEARS));
    } else if (view.selected(QMR_CC_DUR_MONTHS_SELECTED)) {
        result = qmr::dateAfterMonths(date, view.int32At(QMR_CC_DUR_MONTHS));
    } else if (view.selected(QMR_CC_DUR_DAYS_SELECTED)) {
        result = qmr::dateAfterDays(date, view.int32At(QMR_CC_DUR_DAYS));
    } else {
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

QMR_API void QMR_CALL QMRFDDUR(void* opaque1, void* opaque2, CallContext* context) {
    const qmr::ContextView view(context);
    view.stampName(qmr::FunctionName{"QMRFDDUR"});
    view.setInt32At(QMR_CC_DUR_RESULT_DATE, 0);
    const std::int32_t date = view.int32At(QMR_CC_DUR_DATE);
    // The engine writes only the request block, so the result can be
    // worked out before the input is checked; it is used only after.
    std::int64_t result = 0;
    const bool unitSelected = addSelectedUnit(view, date, result);
    if (!qmr::checkDate(view, date)) return qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
    if (!unitSelected) return qmr::report(opaque1, opaque2, context, QMR_MSG_OUT_OF_RANGE);
    // An error flag that an earlier call left stops it without a report.
    if (view.errorFlagSet()) return;
    if (result < qmr::kFirstDurationDate || result > qmr::kLastDurationDate) {
        return qmr::report(opaque1, opaque2, context, QMR_MSG_DURATION_RANGE);
    }
    if (!qmr::checkDate(view, static_cast<std::int32_t>(result))) {
        return qmr::report(opaque1, opaque2, context, QMR_MSG_RESULT_DATE);
    }
    view.setInt32At(QMR_CC_DUR_RESULT_DATE, static_cast<std::int32_t>(result));
}

}  // extern "C"
