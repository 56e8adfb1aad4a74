// Exports of the date request engine.
#include "datetime/request.h"

extern "C" {

QMR_API qmr_int32 QMR_CALL QMRDAT2(void*, void*, DateRequest* request) {
    qmr::runDateRequest(qmr::bytesOf(request));
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRDATE(void*, DateRequest* request) {
    qmr::runDateRequest(qmr::bytesOf(request));
    return 0;
}

}  // extern "C"
