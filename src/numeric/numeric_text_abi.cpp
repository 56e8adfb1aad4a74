// Exports of the numeric text built-ins QMRFCHR and QMRFNUM.
#include <cstring>

#include "frame/call_context.h"
#include "numeric/digit_text.h"
#include "numeric/numeric_text.h"

extern "C" {

// A whole part of 16 digits or more has no 15-digit text: it is reported,
// not cut to its first 15 digits, and the output keeps what it held.
QMR_API void QMR_CALL QMRFCHR(void* opaque1, void* opaque2, CallContext* context, const double* number,
                              char* digits) {
    qmr::ContextView(context).stampName(qmr::FunctionName{"QMRFCHR "});
    double value;
    std::memcpy(&value, number, sizeof value);
    if (!qmr::wholePartDigits(value, digits)) qmr::report(opaque1, opaque2, context, QMR_MSG_TOO_MANY_DIGITS);
}

QMR_API void QMR_CALL QMRFNUM(void* opaque1, void* opaque2, CallContext* context, const char* text,
                              double* number) {
    qmr::ContextView(context).stampName(qmr::FunctionName{"QMRFNUM "});
    const qmr::NumericText read = qmr::readNumericText(qmr::bytesOf(text));
    std::memcpy(number, &read.value, sizeof read.value);
    if (read.status == qmr::NumericTextStatus::notNumber) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_NOT_NUMBER);
    } else if (read.status == qmr::NumericTextStatus::tooManyDigits) {
        qmr::report(opaque1, opaque2, context, QMR_MSG_TOO_MANY_DIGITS);
    }
}

}  // extern "C"
