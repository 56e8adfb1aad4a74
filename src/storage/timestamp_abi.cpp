// Exports of the timestamp storage conversions.  Each takes exactly
// (source, destination) and returns 0; none validates or reports.  A null
// source or destination leaves everything as it is.
//
// QMRVY2S is a second name of QMRVM2S: the same function at the same
// address.  ELF builds define it here as an alias; the Windows export
// table names it in qmr.def.
#include "qmr/qmr.h"
#include "storage/export_alias.h"
#include "storage/timestamp_text.h"
#include "storage/twelve_hour_stamp.h"

namespace st = qmr::storage;

extern "C" {

QMR_API qmr_int32 QMR_CALL QMRS2VW(const char* text, char* stamp) {
    if (text != nullptr && stamp != nullptr) st::readWStamp(text, stamp);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRS2VO(const char* text, char* stamp) {
    if (text != nullptr && stamp != nullptr) st::readOStamp(text, stamp);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRS2VM(const char* text, char* stamp) {
    if (text != nullptr && stamp != nullptr) st::readTwelveHourStamp<st::TwelveHourReader::M>(text, stamp);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRS2VY(const char* text, char* stamp) {
    if (text != nullptr && stamp != nullptr) st::readTwelveHourStamp<st::TwelveHourReader::Y>(text, stamp);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVW2S(const char* stamp, char* text) {
    if (stamp != nullptr && text != nullptr) st::writeWStamp(stamp, text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVO2S(const char* stamp, char* text) {
    if (stamp != nullptr && text != nullptr) st::writeOStamp(stamp, text);
    return 0;
}

QMR_API qmr_int32 QMR_CALL QMRVM2S(const char* stamp, char* text) {
    if (stamp != nullptr && text != nullptr) st::writeMStamp(stamp, text);
    return 0;
}

#if defined(QMR_ELF_ALIASES)
QMR_API qmr_int32 QMR_CALL QMRVY2S(const char* stamp, char* text) QMR_ALIAS_OF("QMRVM2S");
#endif

}  // extern "C"
