// Exports of time from text and timestamp construction.  Neither writes
// its output before it has succeeded: after a failure the caller's field
// keeps what it held.
#include "datetime/request.h"
#include "datetime/time_picture.h"
#include "datetime/timestamp_layout.h"
#include "datetime/timestamp_text.h"

extern "C" {

QMR_API void QMR_CALL QMRFTMEC(void* opaque1, void* opaque2, CallContext* context, const char* text, qmr_int32* time) {
    const qmr::ContextView view(context);
    view.stampName(qmr::FunctionName{"QMRFTMEC"});
    const qmr::TimeFromText read = qmr::readTimeText(text);
    if (read.fault == qmr::PictureFault::picture) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_TIME_PICTURE);
        return;
    }
    if (read.fault == qmr::PictureFault::hour || !qmr::engineAcceptsTime(view, read.time)) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_TIME);
        return;
    }
    *time = read.time;
}

QMR_API void QMR_CALL QMRFTSC(void* opaque1, void* opaque2, CallContext* context, const TextField* field,
                              char* timestamp) {
    const qmr::ContextView view(context);
    view.stampName(qmr::FunctionName{"QMRFTSC "});
    const unsigned char* bytes = qmr::bytesOf(field);
    const std::int32_t maxLength = qmr::loadLE32(bytes + QMR_TF_MAX_LENGTH);
    if (maxLength < 1 || maxLength > QMR_TF_LARGEST_MAX) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_OUT_OF_RANGE);
        return;
    }
    const qmr::ScannedTimestamp scanned = qmr::scanTimestamp(bytes + QMR_TF_TEXT, maxLength);
    if (scanned.fault == qmr::LayoutFault::date) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_DATE);
        return;
    }
    if (scanned.fault == qmr::LayoutFault::time) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_TIME);
        return;
    }
    // The date check also looks at the time an earlier call left in the
    // request, and the time check at the date just stored.
    if (!qmr::engineAcceptsDate(view, scanned.date)) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_RESULT_DATE);
        return;
    }
    if (!qmr::engineAcceptsTime(view, scanned.time)) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_INVALID_TIME);
        return;
    }
    qmr::formatTimestamp(timestamp, scanned.date, scanned.time, scanned.micros);
}

}  // extern "C"
