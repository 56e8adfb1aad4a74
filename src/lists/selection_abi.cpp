// QMRGSEL and QMRSSEL: test and change one selection flag.  Unlike every
// other built-in they leave the call context alone.
#include "lists/selection.h"
#include "qmr/qmr.h"

extern "C" {

QMR_API qmr_int32 QMR_CALL QMRGSEL(void*, void*, CallContext*, signed char flag, qmr_uint32 request) {
    return qmr::selectionHolds(static_cast<char>(flag), request) ? 1 : 0;
}

QMR_API void QMR_CALL QMRSSEL(void*, void*, CallContext*, char* flag, qmr_uint32 request) {
    if (flag == nullptr) return;
    const char changed = qmr::changedSelection(*flag, request);
    if (changed != *flag) *flag = changed;
}

}  // extern "C"
