// Exports of the decimal rounding routines.  They take only their
// operands and report nothing.
#include "numeric/decimal_round.h"
#include "qmr/qmr.h"

extern "C" {

QMR_API double QMR_CALL qmrd2dec(double value, qmr_int32 places, qmr_int32 mode) {
    return qmr::roundToPlaces(value, places, mode);
}

QMR_API double QMR_CALL qmrd2dc1(double value, qmr_int32 places, qmr_int32 mode, qmr_int32 digits) {
    return qmr::roundToField(value, places, mode, digits);
}

}  // extern "C"
