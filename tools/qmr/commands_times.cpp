// qmr call: the time and timestamp built-ins.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "cli.h"

namespace qmr_cli {
namespace {

constexpr std::size_t kTimestampLength = 20;

// A timestamp argument: at most 20 characters, blank-padded to 20.
std::string timestampArg(const Args& a, std::size_t i) {
    std::string stamp = a.text(i);
    if (stamp.size() > kTimestampLength) a.fail(i, "is longer than 20 characters");
    stamp.resize(kTimestampLength, ' ');
    return stamp;
}

template <void (*F)(void*, void*, CallContext*, const qmr_int32*, qmr_int16*)>
void timeTo16(Session& s, const Args& a) {
    const qmr_int32 time = a.int32(0);
    qmr_int16 out = 0;
    F(nullptr, nullptr, s.context(), &time, &out);
    s.number("result", out);
}

template <void (*F)(void*, void*, CallContext*, const char*, qmr_int16*)>
void stampTo16(Session& s, const Args& a) {
    const std::string stamp = timestampArg(a, 0);
    qmr_int16 out = 0;
    F(nullptr, nullptr, s.context(), stamp.data(), &out);
    s.number("result", out);
}

template <void (*F)(void*, void*, CallContext*, const char*, qmr_int32*)>
void stampTo32(Session& s, const Args& a) {
    const std::string stamp = timestampArg(a, 0);
    qmr_int32 out = 0;
    F(nullptr, nullptr, s.context(), stamp.data(), &out);
    s.number("result", out);
}

template <void (*F)(void*, void*, CallContext*, qmr_int32, qmr_int32*)>
void byValue(Session& s, const Args& a) {
    qmr_int32 out = 0;
    F(nullptr, nullptr, s.context(), a.int32(0), &out);
    s.number("result", out);
}

void numt(Session& s, const Args& a) {
    const qmr_int32 number = a.int32(0);
    qmr_int32 out = 0;
    QMRFNUMT(nullptr, nullptr, s.context(), &number, &out);
    s.number("result", out);
    s.text("bytes", &out, sizeof out);
}

void tnum(Session& s, const Args& a) {
    const qmr_int32 time = a.int32(0);
    qmr_int32 out = 0;
    QMRFTNUM(nullptr, nullptr, s.context(), &time, &out);
    s.number("result", out);
}

struct UnitField {
    const char* name;
    std::size_t selected;
    std::size_t count;
};

constexpr UnitField kTimestampUnits[] = {
    {"years", QMR_CC_DUR_YEARS_SELECTED, QMR_CC_DUR_YEARS},
    {"months", QMR_CC_DUR_MONTHS_SELECTED, QMR_CC_DUR_MONTHS},
    {"days", QMR_CC_DUR_DAYS_SELECTED, QMR_CC_DUR_DAYS},
    {"hours", QMR_CC_DUR_HOURS_SELECTED, QMR_CC_DUR_HOURS},
    {"minutes", QMR_CC_DUR_MINUTES_SELECTED, QMR_CC_DUR_MINUTES},
    {"seconds", QMR_CC_DUR_SECONDS_SELECTED, QMR_CC_DUR_SECONDS},
    {"micros", QMR_CC_DUR_MICROS_SELECTED, QMR_CC_DUR_MICROS},
};
constexpr std::size_t kFirstTimeUnit = 3;  // QMRFTDUR takes hours, minutes, seconds

// Selects exactly the named unit, with COUNT, among units [first, last).
void selectUnit(Session& s, const Args& a, std::size_t unitArg, std::size_t first, std::size_t last) {
    const std::string name = a.text(unitArg);
    const UnitField* chosen = nullptr;
    for (std::size_t i = first; i < last; ++i) {
        if (name == kTimestampUnits[i].name) chosen = &kTimestampUnits[i];
    }
    if (chosen == nullptr) a.fail(unitArg, "is not a unit this function takes");
    const qmr_int32 count = a.int32(unitArg + 1);
    unsigned char* context = s.contextBytes();
    for (std::size_t i = 0; i < std::size(kTimestampUnits); ++i) {
        context[kTimestampUnits[i].selected] = ' ';
        std::memset(context + kTimestampUnits[i].count, 0, 4);
    }
    context[chosen->selected] = 'Y';
    const auto u = static_cast<qmr_uint32>(count);
    for (int i = 0; i < 4; ++i) context[chosen->count + i] = static_cast<unsigned char>(u >> (8 * i));
}

qmr_int32 int32At(Session& s, std::size_t offset) {
    const unsigned char* p = s.contextBytes() + offset;
    return static_cast<qmr_int32>(qmr_uint32{p[0]} | qmr_uint32{p[1]} << 8 | qmr_uint32{p[2]} << 16 |
                                  qmr_uint32{p[3]} << 24);
}

// QMRFTDUR TIME hours|minutes|seconds COUNT
void tdur(Session& s, const Args& a) {
    const qmr_int32 time = a.int32(0);
    selectUnit(s, a, 1, kFirstTimeUnit, std::size(kTimestampUnits) - 1);
    const auto u = static_cast<qmr_uint32>(time);
    for (int i = 0; i < 4; ++i) s.contextBytes()[QMR_CC_DUR_TIME + i] = static_cast<unsigned char>(u >> (8 * i));
    QMRFTDUR(nullptr, nullptr, s.context());
    s.number("result", int32At(s, QMR_CC_DUR_RESULT_TIME));
}

// QMRFSDUR TIMESTAMP UNIT COUNT [skip]
void sdur(Session& s, const Args& a) {
    const std::string stamp = timestampArg(a, 0);
    selectUnit(s, a, 1, 0, std::size(kTimestampUnits));
    if (a.has(3) && a.text(3) != "skip") a.fail(3, "is not 'skip'");
    unsigned char* context = s.contextBytes();
    context[QMR_CC_SKIP_VALIDATION] = a.has(3) ? 'Y' : ' ';
    std::memcpy(context + QMR_CC_DUR_TIMESTAMP, stamp.data(), kTimestampLength);
    QMRFSDUR(nullptr, nullptr, s.context());
    s.text("result", context + QMR_CC_DUR_RESULT_TIMESTAMP, kTimestampLength + 1);
}

// QMRFTMEC TEXT: up to eight characters, blank-padded.
void tmec(Session& s, const Args& a) {
    std::string text = a.text(0);
    if (text.size() > 8) a.fail(0, "is longer than 8 characters");
    text.resize(8, ' ');
    s.probedNumber<qmr_int32>("result",
                              [&](qmr_int32* time) { QMRFTMEC(nullptr, nullptr, s.context(), text.data(), time); });
}

// QMRFTSC TEXT [MAXLENGTH]: a text field exactly MAXLENGTH bytes long
// (the text's length by default), the text cut or blank-padded to it.
void tsc(Session& s, const Args& a) {
    const std::string text = a.text(0);
    const qmr_int32 maxLength = a.has(1) ? a.int32(1) : static_cast<qmr_int32>(text.size());
    if (maxLength > QMR_TF_LARGEST_MAX + 1) a.fail(1, "is more than one past the largest field");
    const std::size_t size = maxLength > 0 ? static_cast<std::size_t>(maxLength) : 0;
    std::vector<unsigned char> field(QMR_TF_TEXT + size, ' ');
    const qmr_int32 header[2] = {maxLength, static_cast<qmr_int32>(std::min(text.size(), size))};
    for (int k = 0; k < 2; ++k) {
        const auto u = static_cast<qmr_uint32>(header[k]);
        for (int i = 0; i < 4; ++i) field[4 * k + i] = static_cast<unsigned char>(u >> (8 * i));
    }
    std::memcpy(field.data() + QMR_TF_TEXT, text.data(), std::min(text.size(), size));
    ByteMask untouched;
    const auto out = s.probe(kTimestampLength + 1, untouched, [&](unsigned char* timestamp) {
        QMRFTSC(nullptr, nullptr, s.context(), reinterpret_cast<const TextField*>(field.data()),
                reinterpret_cast<char*>(timestamp));
    });
    s.text("result", out.data(), out.size(), &untouched);
}

const Command kCommands[] = {
    {"QMRFHOUR", "TIME",
     "void QMRFHOUR(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time, qmr_int16* hour);",
     "hour of a time hhmmss, validated; reports \" 141\"", 1, 1, true, timeTo16<QMRFHOUR>},
    {"QMRFMIN", "TIME",
     "void QMRFMIN(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time, qmr_int16* minute);",
     "minute of a time hhmmss, validated; reports \" 141\"", 1, 1, true, timeTo16<QMRFMIN>},
    {"QMRFSEC", "TIME",
     "void QMRFSEC(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time, qmr_int16* second);",
     "second of a time hhmmss, validated; reports \" 141\"", 1, 1, true, timeTo16<QMRFSEC>},
    {"QMRFHRTS", "TIMESTAMP",
     "void QMRFHRTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp, qmr_int16* hour);",
     "hour of a timestamp yyyymmddhhmmssffffff, validated; reports \" 141\"", 1, 1, true, stampTo16<QMRFHRTS>},
    {"QMRFMITS", "TIMESTAMP",
     "void QMRFMITS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp, qmr_int16* minute);",
     "minute of a timestamp, validated; reports \" 141\"", 1, 1, true, stampTo16<QMRFMITS>},
    {"QMRFSCTS", "TIMESTAMP",
     "void QMRFSCTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp, qmr_int16* second);",
     "second of a timestamp, validated; reports \" 141\"", 1, 1, true, stampTo16<QMRFSCTS>},
    {"QMRFMICR", "TIMESTAMP",
     "void QMRFMICR(void* opaque1, void* opaque2, CallContext* context, const char* timestamp, qmr_int32* micros);",
     "microseconds of a timestamp, its time validated; reports \" 141\"", 1, 1, true, stampTo32<QMRFMICR>},
    {"QMRFTMTS", "TIMESTAMP",
     "void QMRFTMTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp, qmr_int32* time);",
     "time hhmmss of a timestamp, validated; reports \" 141\"", 1, 1, true, stampTo32<QMRFTMTS>},
    {"QMRFNUMT", "NUMBER",
     "void QMRFNUMT(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* number, qmr_int32* time);",
     "a number checked as a time; four blanks and \" 141\" when invalid", 1, 1, true, numt},
    {"QMRFHRN", "TIME",
     "void QMRFHRN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 time, qmr_int32* hour);",
     "time / 10000, not validated", 1, 1, true, byValue<QMRFHRN>},
    {"QMRFMINN", "TIME",
     "void QMRFMINN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 time, qmr_int32* minute);",
     "time / 100 % 100, not validated", 1, 1, true, byValue<QMRFMINN>},
    {"QMRFSECN", "TIME",
     "void QMRFSECN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 time, qmr_int32* second);",
     "time % 100, not validated", 1, 1, true, byValue<QMRFSECN>},
    {"QMRFTNUM", "TIME",
     "void QMRFTNUM(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time, qmr_int32* number);",
     "a time as a number, unchanged", 1, 1, true, tnum},
    {"QMRFTDUR", "TIME hours|minutes|seconds COUNT", "void QMRFTDUR(void* opaque1, void* opaque2, CallContext* context);",
     "a time plus a count of one unit, wrapped within the day; reports \" 141\", \" 130\"", 3, 3, true, tdur},
    {"QMRFSDUR", "TIMESTAMP years|months|days|hours|minutes|seconds|micros COUNT [skip]",
     "void QMRFSDUR(void* opaque1, void* opaque2, CallContext* context);",
     "a timestamp plus a count of one unit; reports \" 137\" \" 141\" \" 130\" \" 147\" \" 139\" \" 148\"", 3, 4, true,
     sdur},
    {"QMRFTMEC", "TEXT",
     "void QMRFTMEC(void* opaque1, void* opaque2, CallContext* context, const char* text, qmr_int32* time);",
     "time hhmmss of a text such as \"9:30 PM\"; reports \" 142\", \" 141\"", 1, 1, true, tmec},
    {"QMRFTSC", "TEXT [MAXLENGTH]",
     "void QMRFTSC(void* opaque1, void* opaque2, CallContext* context, const TextField* field, char* timestamp);",
     "timestamp of YYYY-MM-DD[-HH.MM.SS[.ffffff]]; reports \" 130\" \" 137\" \" 139\" \" 141\"", 1, 2, true, tsc},
};
const Registrar registrar(Family::Times, kCommands);

}  // namespace
}  // namespace qmr_cli
