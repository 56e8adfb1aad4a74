/* A host of the installed library: one call that succeeds, one that
 * reports through the call context.  Exits 0 when both answer as they
 * should. */
#include <stdio.h>
#include <string.h>

#include <qmr/qmr.h>

int main(void) {
    char context[QMR_CALL_CONTEXT_MIN_SIZE] = {0};
    const qmr_int32 date = 20260230;
    qmr_int16 day = -1;
    QMRFDAY(NULL, NULL, (CallContext*)context, &date, &day);
    if (QMRFDAT1(NULL, NULL, 20261204) != 739954 || day != 0 || context[QMR_CC_ERROR_FLAG] != 'Y' ||
        memcmp(context + QMR_CC_MESSAGE_NUMBER, QMR_MSG_INVALID_DATE, 4) != 0) {
        puts("consumer: unexpected answers");
        return 1;
    }
    puts("consumer: QMRFDAT1 and QMRFDAY answer as documented");
    return 0;
}
