// Exports of the day-number routines.  Only QMRFDAT3 validates; it
// reports through the call context but stamps no name.
#include "datetime/day_number.h"
#include "frame/call_context.h"

extern "C" {

QMR_API qmr_int32 QMR_CALL QMRFDAT1(void*, void*, qmr_int32 date) { return qmr::dayNumber(date); }

QMR_API qmr_int32 QMR_CALL QMRFDAT2(void*, void*, qmr_int32 dayNumber) { return qmr::dateOfDayNumber(dayNumber); }

QMR_API qmr_int32 QMR_CALL QMRFDAT3(void* opaque1, void* opaque2, CallContext* context, qmr_int32 julian) {
    const qmr::JulianDate result = qmr::julianToDate(julian);
    if (!result.valid) qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
    return result.date;
}

QMR_API qmr_int32 QMR_CALL QMRFDAT4(void*, void*, qmr_int32 date) { return qmr::dateToJulian(date); }

}  // extern "C"
