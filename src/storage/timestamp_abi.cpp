// Exports of the timestamp storage conversions.
//
// QMRVY2S is a second name of QMRVM2S: the same function at the same
// address.  ELF builds define it here as an alias; the Windows export
// table names it in qmr.def.
#include "qmr/qmr.h"
#include "storage/conversion_shell.h"
#include "storage/export_alias.h"
#include "storage/timestamp_text.h"
#include "storage/twelve_hour_stamp.h"

namespace st = qmr::storage;

extern "C" {

QMR_API qmr_int32 QMR_CALL QMRS2VW(const char* text, char* stamp) { return st::convertInto<st::readWStamp>(text, stamp); }
QMR_API qmr_int32 QMR_CALL QMRS2VO(const char* text, char* stamp) { return st::convertInto<st::readOStamp>(text, stamp); }
QMR_API qmr_int32 QMR_CALL QMRS2VM(const char* text, char* stamp) { return st::convertInto<st::readMStamp>(text, stamp); }
QMR_API qmr_int32 QMR_CALL QMRS2VY(const char* text, char* stamp) { return st::convertInto<st::readYStamp>(text, stamp); }
QMR_API qmr_int32 QMR_CALL QMRVW2S(const char* stamp, char* text) { return st::convertInto<st::writeWStamp>(stamp, text); }
QMR_API qmr_int32 QMR_CALL QMRVO2S(const char* stamp, char* text) { return st::convertInto<st::writeOStamp>(stamp, text); }
QMR_API qmr_int32 QMR_CALL QMRVM2S(const char* stamp, char* text) { return st::convertInto<st::writeMStamp>(stamp, text); }

#if defined(QMR_ELF_ALIASES)
QMR_API qmr_int32 QMR_CALL QMRVY2S(const char* stamp, char* text) QMR_ALIAS_OF("QMRVM2S");
#endif

}  // extern "C"
