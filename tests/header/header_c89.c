/* qmr.h must be usable from strict C89. */
#include "qmr/qmr.h"

int qmr_header_c89_check(void) {
    DateRequest request;
    request.requestCode = '0';
    return (int)sizeof request + (int)QMR_CALL_CONTEXT_MIN_SIZE;
}

int qmr_header_c89_fields(void) {
    OptionalNumber start;
    start.indicator = 'N';
    start.value = 1;
    return (int)sizeof(TextField) + start.value;
}
