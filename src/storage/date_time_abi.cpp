// Exports of the date and time storage conversions.  Each takes exactly
// (source, destination) and returns 0; none validates or reports.  A null
// source or destination leaves everything as it is.
//
// QMRVY2D and QMRVY2T are second names of QMRVM2D and QMRVM2T: the same
// function at the same address.  ELF builds define them here as aliases;
// the Windows export table names them in qmr.def.
#include "qmr/qmr.h"
#include "storage/export_alias.h"
#include "storage/date_time_text.h"

namespace st = qmr::storage;

extern "C" {

QMR_API qmr_int32 QMR_CALL QMRD2VM(const char* text, qmr_int32* date) {
    if (text != nullptr && date != nullptr) *date = st::readMDate(text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRD2VY(const char* text, qmr_int32* date) {
    if (text != nullptr && date != nullptr) *date = st::readMDate(text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRD2VW(const char* text, qmr_int32* date) {
    if (text != nullptr && date != nullptr) *date = st::readWDate(text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVM2D(qmr_int32 date, char* text) {
    if (text != nullptr) st::writeMDate(date, text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVW2D(qmr_int32 date, char* text) {
    if (text != nullptr) st::writeWDate(date, text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRT2VW(const char* text, qmr_int32* time) {
    if (text != nullptr && time != nullptr) *time = st::readWTime(text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRT2VO(const char* text, qmr_int32* time) {
    if (text != nullptr && time != nullptr) *time = st::readOTime(text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVM2T(qmr_int32 time, char* text) {
    if (text != nullptr) st::writeMTime(time, text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVW2T(qmr_int32 time, char* text) {
    if (text != nullptr) st::writeWTime(time, text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVO2T(qmr_int32 time, char* text) {
    if (text != nullptr) st::writeOTime(time, text);
    return 0;
}

#if defined(QMR_ELF_ALIASES)
QMR_API qmr_int32 QMR_CALL QMRVY2D(qmr_int32 date, char* text) QMR_ALIAS_OF("QMRVM2D");
QMR_API qmr_int32 QMR_CALL QMRVY2T(qmr_int32 time, char* text) QMR_ALIAS_OF("QMRVM2T");
#endif

}  // extern "C"
