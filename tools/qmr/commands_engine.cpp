// qmr call: the date request engine and the day-number routines.
#include <cstring>
#include <string>

#include "cli.h"

namespace qmr_cli {
namespace {

// QMRDAT2 CODE [DATE [TIME [DATEFORM [TIMEFORM [DAYOFFSET [TIMESTAMP]]]]]]
void printRequest(Session& s, const DateRequest& r) {
    s.number("returnCode", r.returnCode);
    s.number("date", r.date);
    s.number("time", r.time);
    if (r.returnCode != 0) {
        s.text("message", r.messageText, strnlen(r.messageText, sizeof r.messageText));
    }
    if (r.requestCode == '6' || r.requestCode == '7') s.text("timestamp", r.timestampText, sizeof r.timestampText);
}

DateRequest requestFrom(const Args& a) {
    DateRequest r;
    std::memset(&r, 0, sizeof r);
    r.requestCode = a.character(0);
    r.date = a.int32Or(1, 0);
    r.time = a.int32Or(2, 0);
    r.dateForm = a.characterOr(3, '0');
    r.timeForm = a.characterOr(4, '0');
    r.dayOffset = a.int32Or(5, 0);
    if (a.has(6)) {
        const std::string stamp = a.text(6);
        std::memcpy(r.timestampText, stamp.data(), std::min(stamp.size(), sizeof r.timestampText));
    }
    return r;
}

void dat2(Session& s, const Args& a) {
    DateRequest r = requestFrom(a);
    QMRDAT2(nullptr, nullptr, &r);
    printRequest(s, r);
}

void date(Session& s, const Args& a) {
    DateRequest r = requestFrom(a);
    QMRDATE(nullptr, &r);
    printRequest(s, r);
}

void dat1(Session& s, const Args& a) { s.number("dayNumber", QMRFDAT1(nullptr, nullptr, a.int32(0))); }
void dat2n(Session& s, const Args& a) { s.number("date", QMRFDAT2(nullptr, nullptr, a.int32(0))); }
void dat3(Session& s, const Args& a) { s.number("date", QMRFDAT3(nullptr, nullptr, s.context(), a.int32(0))); }
void dat4(Session& s, const Args& a) { s.number("julian", QMRFDAT4(nullptr, nullptr, a.int32(0))); }

constexpr char kRequestUsage[] = "CODE [DATE [TIME [DATEFORM [TIMEFORM [DAYOFFSET [TIMESTAMP]]]]]]";

const Command kCommands[] = {
    {"QMRDAT2", kRequestUsage, "qmr_int32 QMRDAT2(void* opaque1, void* opaque2, DateRequest* request);",
     "date request engine: validate, convert date forms, split a timestamp, read the clock", 1, 7, false, dat2},
    {"QMRDATE", kRequestUsage, "qmr_int32 QMRDATE(void* opaque1, DateRequest* request);",
     "QMRDAT2 with one opaque value", 1, 7, false, date},
    {"QMRFDAT1", "DATE", "qmr_int32 QMRFDAT1(void* opaque1, void* opaque2, qmr_int32 date);",
     "yyyymmdd to day number (0001-01-01 is day 1)", 1, 1, false, dat1},
    {"QMRFDAT2", "DAYNUMBER", "qmr_int32 QMRFDAT2(void* opaque1, void* opaque2, qmr_int32 dayNumber);",
     "day number to yyyymmdd", 1, 1, false, dat2n},
    {"QMRFDAT3", "JULIAN",
     "qmr_int32 QMRFDAT3(void* opaque1, void* opaque2, CallContext* context, qmr_int32 julian);",
     "Julian form yyyyddd to yyyymmdd; reports \" 137\" when invalid", 1, 1, true, dat3},
    {"QMRFDAT4", "DATE", "qmr_int32 QMRFDAT4(void* opaque1, void* opaque2, qmr_int32 date);",
     "yyyymmdd to Julian form yyyyddd", 1, 1, false, dat4},
};
const Registrar registrar(Family::Engine, kCommands);

}  // namespace
}  // namespace qmr_cli
