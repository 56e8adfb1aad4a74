// Exports of the date and time storage conversions.
//
// QMRVY2D and QMRVY2T are second names of QMRVM2D and QMRVM2T: the same
// function at the same address.  ELF builds define them here as aliases;
// the Windows export table names them in qmr.def.
#include "qmr/qmr.h"
#include "storage/conversion_shell.h"
#include "storage/date_time_text.h"
#include "storage/export_alias.h"

namespace st = qmr::storage;

extern "C" {

QMR_API qmr_int32 QMR_CALL QMRD2VM(const char* text, qmr_int32* date) { return st::readInto<st::readMDate>(text, date); }
QMR_API qmr_int32 QMR_CALL QMRD2VY(const char* text, qmr_int32* date) { return st::readInto<st::readMDate>(text, date); }
QMR_API qmr_int32 QMR_CALL QMRD2VW(const char* text, qmr_int32* date) { return st::readInto<st::readWDate>(text, date); }
QMR_API qmr_int32 QMR_CALL QMRVM2D(qmr_int32 date, char* text) { return st::writeFrom<st::writeMDate>(date, text); }
QMR_API qmr_int32 QMR_CALL QMRVW2D(qmr_int32 date, char* text) { return st::writeFrom<st::writeWDate>(date, text); }

QMR_API qmr_int32 QMR_CALL QMRT2VW(const char* text, qmr_int32* time) { return st::readInto<st::readWTime>(text, time); }
QMR_API qmr_int32 QMR_CALL QMRT2VO(const char* text, qmr_int32* time) { return st::readInto<st::readOTime>(text, time); }
QMR_API qmr_int32 QMR_CALL QMRVM2T(qmr_int32 time, char* text) { return st::writeFrom<st::writeMTime>(time, text); }
QMR_API qmr_int32 QMR_CALL QMRVW2T(qmr_int32 time, char* text) { return st::writeFrom<st::writeWTime>(time, text); }
QMR_API qmr_int32 QMR_CALL QMRVO2T(qmr_int32 time, char* text) { return st::writeFrom<st::writeOTime>(time, text); }

#if defined(QMR_ELF_ALIASES)
QMR_API qmr_int32 QMR_CALL QMRVY2D(qmr_int32 date, char* text) QMR_ALIAS_OF("QMRVM2D");
QMR_API qmr_int32 QMR_CALL QMRVY2T(qmr_int32 time, char* text) QMR_ALIAS_OF("QMRVM2T");
#endif

}  // extern "C"
