/* qmr.h must be usable from strict C89: its records are complete types
   whose members a C89 host can set. */
#include "qmr/qmr.h"

int qmr_header_c89_check(void) {
    OptionalNumber start;
    start.indicator = 'N';
    start.value = 1;
    return (int)(sizeof(DateRequest) + sizeof(TextField) + QMR_CALL_CONTEXT_MIN_SIZE) + start.value;
}
