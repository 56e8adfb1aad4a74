// Exports of time from text and timestamp construction.  Neither writes
// its output before it has succeeded: after a failure the caller's field
// keeps what it held.
#include "datetime/date_builtin.h"
#include "datetime/request.h"
#include "datetime/time_picture.h"
#include "datetime/timestamp_layout.h"
#include "datetime/timestamp_text.h"

namespace {

// QMRFTMEC after the name: the message number of the failure, or null
// once the time is stored.
qmr::MessageNumber timeFromText(const qmr::ContextView& view, const char* text, qmr_int32* time) noexcept {
    const qmr::TimeFromText read = qmr::readTimeText(text);
    if (read.fault == qmr::PictureFault::picture) return QMR_MSG_TIME_PICTURE;
    if (read.fault == qmr::PictureFault::hour || !qmr::engineAcceptsTime(view, read.time)) return QMR_MSG_INVALID_TIME;
    qmr::storeField(time, read.time);
    return nullptr;
}

// QMRFTSC after the name, likewise.
qmr::MessageNumber timestampFromText(const qmr::ContextView& view, const TextField* field, char* timestamp) noexcept {
    const unsigned char* bytes = qmr::bytesOf(field);
    const std::int32_t maxLength = qmr::loadLE32(bytes + QMR_TF_MAX_LENGTH);
    if (maxLength < 1 || maxLength > QMR_TF_LARGEST_MAX) return QMR_MSG_OUT_OF_RANGE;
    const qmr::ScannedTimestamp scanned = qmr::scanTimestamp(bytes + QMR_TF_TEXT, maxLength);
    if (scanned.fault == qmr::LayoutFault::date) return QMR_MSG_INVALID_DATE;
    if (scanned.fault == qmr::LayoutFault::time) return QMR_MSG_INVALID_TIME;
    // The date check also looks at the time an earlier call left in the
    // request, and the time check at the date just stored.
    if (!qmr::engineAcceptsDate(view, scanned.date)) return QMR_MSG_RESULT_DATE;
    if (!qmr::engineAcceptsTime(view, scanned.time)) return QMR_MSG_INVALID_TIME;
    qmr::formatTimestamp(timestamp, scanned.date, scanned.time, scanned.micros);
    return nullptr;
}

}  // namespace

extern "C" {

QMR_API void QMR_CALL QMRFTMEC(void* opaque1, void* opaque2, CallContext* context, const char* text, qmr_int32* time) {
    const qmr::ContextView view(context);
    view.stampName(qmr::FunctionName{"QMRFTMEC"});
    if (const qmr::MessageNumber failure = timeFromText(view, text, time)) qmr::report(opaque1, opaque2, context, failure);
}

QMR_API void QMR_CALL QMRFTSC(void* opaque1, void* opaque2, CallContext* context, const TextField* field,
                              char* timestamp) {
    const qmr::ContextView view(context);
    view.stampName(qmr::FunctionName{"QMRFTSC "});
    if (const qmr::MessageNumber failure = timestampFromText(view, field, timestamp)) {
        qmr::report(opaque1, opaque2, context, failure);
    }
}

}  // extern "C"
