// qmr call: the date built-ins.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"

namespace qmr_cli {
namespace {

// A text argument as a fixed-width field: blank-padded, never cut.
std::string field(const Args& a, std::size_t i, std::size_t width) {
    std::string text = a.text(i);
    if (text.size() > width) a.fail(i, "is longer than " + std::to_string(width) + " characters");
    text.resize(width, ' ');
    return text;
}

template <typename Function>
struct OutputOf;
template <typename In, typename Out>
struct OutputOf<void(QMR_CALL*)(void*, void*, CallContext*, In, Out*)> {
    using type = Out;
};

// Runners by the kind of input; Label names the output.
template <auto Function, const char* Label>
void dateCall(Session& s, const Args& a) {  // a date field
    using Out = typename OutputOf<decltype(Function)>::type;
    const qmr_int32 input = a.int32(0);
    s.probedNumber<Out>(Label, [&](Out* out) { Function(nullptr, nullptr, s.context(), &input, out); });
}

template <auto Function, const char* Label, std::size_t Width>
void textCall(Session& s, const Args& a) {  // a text field of Width characters
    using Out = typename OutputOf<decltype(Function)>::type;
    const std::string input = field(a, 0, Width);
    s.probedNumber<Out>(Label, [&](Out* out) { Function(nullptr, nullptr, s.context(), input.data(), out); });
}

template <auto Function, const char* Label>
void numberCall(Session& s, const Args& a) {  // a number by value
    const qmr_int32 input = a.int32(0);
    s.probedNumber<qmr_int32>(Label, [&](qmr_int32* out) { Function(nullptr, nullptr, s.context(), input, out); });
}

void dayOfWeek(Session& s, const Args& a) {
    const qmr_int32 date = a.int32(0);
    ByteMask untouched;
    const auto name = s.probe(9, untouched, [&](unsigned char* out) {
        QMRFDOW(nullptr, nullptr, s.context(), &date, reinterpret_cast<char*>(out));
    });
    s.text("dayName", name.data(), name.size(), &untouched);
}

// QMRFDDUR DATE years|months|days COUNT [skip]: lays the operands out in
// the context's duration fields, one unit selected, and prints the result.
void dateDuration(Session& s, const Args& a) {
    unsigned char* context = s.contextBytes();
    const auto put32 = [&](std::size_t offset, qmr_int32 v) {
        const auto u = static_cast<qmr_uint32>(v);
        for (int i = 0; i < 4; ++i) context[offset + i] = static_cast<unsigned char>(u >> (8 * i));
    };
    const auto get32 = [&](std::size_t offset) {
        qmr_uint32 u = 0;
        for (int i = 3; i >= 0; --i) u = u << 8 | context[offset + i];
        return static_cast<qmr_int32>(u);
    };
    const std::string unit = a.word(1);
    if (unit != "years" && unit != "months" && unit != "days") a.fail(1, "is not years, months or days");
    if (a.has(3) && a.word(3) != "skip") a.fail(3, "is not 'skip'");
    const qmr_int32 count = a.int32(2);
    put32(QMR_CC_DUR_DATE, a.int32(0));
    context[QMR_CC_DUR_YEARS_SELECTED] = unit == "years" ? 'Y' : 'N';
    context[QMR_CC_DUR_MONTHS_SELECTED] = unit == "months" ? 'Y' : 'N';
    context[QMR_CC_DUR_DAYS_SELECTED] = unit == "days" ? 'Y' : 'N';
    put32(QMR_CC_DUR_YEARS, count);
    put32(QMR_CC_DUR_MONTHS, count);
    put32(QMR_CC_DUR_DAYS, count);
    context[QMR_CC_SKIP_VALIDATION] = a.has(3) ? 'Y' : 'N';
    QMRFDDUR(nullptr, nullptr, s.context());
    s.number("result", get32(QMR_CC_DUR_RESULT_DATE));
}

constexpr char kDay[] = "day";
constexpr char kMonth[] = "month";
constexpr char kYear[] = "year";
constexpr char kDayNumber[] = "dayNumber";
constexpr char kJulian[] = "julian";
constexpr char kDate[] = "date";
constexpr char kNumber[] = "number";
constexpr char kCentury[] = "cyymmdd";

constexpr int kStamp = 20;    // a timestamp text; only its first 8 characters are read
constexpr int kDateText = 10;

#define QMR_PROTO_(name, in, out) "void " #name "(void* opaque1, void* opaque2, CallContext* context, " in ", " out ");"

const Command kCommands[] = {
    {"QMRFDAY", "DATE", QMR_PROTO_(QMRFDAY, "const qmr_int32* date", "qmr_int16* day"),
     "day of a validated date", 1, 1, true, dateCall<QMRFDAY, kDay>},
    {"QMRFMTH", "DATE", QMR_PROTO_(QMRFMTH, "const qmr_int32* date", "qmr_int16* month"),
     "month of a validated date", 1, 1, true, dateCall<QMRFMTH, kMonth>},
    {"QMRFYEAR", "DATE", QMR_PROTO_(QMRFYEAR, "const qmr_int32* date", "qmr_int16* year"),
     "year of a validated date", 1, 1, true, dateCall<QMRFYEAR, kYear>},
    {"QMRFDAYS", "DATE", QMR_PROTO_(QMRFDAYS, "const qmr_int32* date", "qmr_int32* dayNumber"),
     "day number of a validated date", 1, 1, true, dateCall<QMRFDAYS, kDayNumber>},
    {"QMRFDTEJ", "DATE", QMR_PROTO_(QMRFDTEJ, "const qmr_int32* date", "qmr_int32* julian"),
     "Julian form yyyyddd of a validated date", 1, 1, true, dateCall<QMRFDTEJ, kJulian>},
    {"QMRFDSTS", "TIMESTAMP", QMR_PROTO_(QMRFDSTS, "const char* timestamp", "qmr_int32* dayNumber"),
     "day number of a timestamp's date", 1, 1, true, textCall<QMRFDSTS, kDayNumber, kStamp>},
    {"QMRFDTTS", "TIMESTAMP", QMR_PROTO_(QMRFDTTS, "const char* timestamp", "qmr_int32* date"),
     "date of a timestamp", 1, 1, true, textCall<QMRFDTTS, kDate, kStamp>},
    {"QMRFDYTS", "TIMESTAMP", QMR_PROTO_(QMRFDYTS, "const char* timestamp", "qmr_int16* day"),
     "day of a timestamp's date", 1, 1, true, textCall<QMRFDYTS, kDay, kStamp>},
    {"QMRFMOTS", "TIMESTAMP", QMR_PROTO_(QMRFMOTS, "const char* timestamp", "qmr_int16* month"),
     "month of a timestamp's date", 1, 1, true, textCall<QMRFMOTS, kMonth, kStamp>},
    {"QMRFYRTS", "TIMESTAMP", QMR_PROTO_(QMRFYRTS, "const char* timestamp", "qmr_int16* year"),
     "year of a timestamp's date", 1, 1, true, textCall<QMRFYRTS, kYear, kStamp>},
    {"QMRFNUMD", "NUMBER", QMR_PROTO_(QMRFNUMD, "const qmr_int32* number", "qmr_int32* date"),
     "the number once it is a valid date", 1, 1, true, dateCall<QMRFNUMD, kDate>},
    {"QMRFDOW", "DATE", QMR_PROTO_(QMRFDOW, "const qmr_int32* date", "char* dayName"),
     "name of the day of the week, 9 characters", 1, 1, true, dayOfWeek},
    {"QMRFDNUM", "DATE", QMR_PROTO_(QMRFDNUM, "const qmr_int32* date", "qmr_int32* number"),
     "the date as a number, not validated", 1, 1, true, dateCall<QMRFDNUM, kNumber>},
    {"QMRFDAYN", "NUMBER", QMR_PROTO_(QMRFDAYN, "qmr_int32 number", "qmr_int32* day"),
     "number mod 100, not validated", 1, 1, true, numberCall<QMRFDAYN, kDay>},
    {"QMRFMTHN", "NUMBER", QMR_PROTO_(QMRFMTHN, "qmr_int32 number", "qmr_int32* month"),
     "(number / 100) mod 100, not validated", 1, 1, true, numberCall<QMRFMTHN, kMonth>},
    {"QMRFYRN", "NUMBER", QMR_PROTO_(QMRFYRN, "qmr_int32 number", "qmr_int32* year"),
     "number / 10000, not validated", 1, 1, true, numberCall<QMRFYRN, kYear>},
    {"QMRFDTEC", "TEXT", QMR_PROTO_(QMRFDTEC, "const char* text", "qmr_int32* date"),
     "date from 10 characters: 2026-12-04, 04.12.2026, 12/04/2026, 12/04/26, 2026338", 1, 1, true,
     textCall<QMRFDTEC, kDate, kDateText>},
    {"QMRFDTEN", "DAYNUMBER", QMR_PROTO_(QMRFDTEN, "const qmr_int32* dayNumber", "qmr_int32* date"),
     "date of a day number", 1, 1, true, dateCall<QMRFDTEN, kDate>},
    {"QMRFJDTE", "JULIAN", QMR_PROTO_(QMRFJDTE, "const qmr_int32* julian", "qmr_int32* date"),
     "date of a Julian form yyyyddd", 1, 1, true, dateCall<QMRFJDTE, kDate>},
    {"QMRFNCYY", "CYYMMDD", QMR_PROTO_(QMRFNCYY, "const qmr_int32* cyymmdd", "qmr_int32* date"),
     "date of a century form (1600-01-01..2599-12-31)", 1, 1, true, dateCall<QMRFNCYY, kDate>},
    {"QMRFCYYD", "DATE", QMR_PROTO_(QMRFCYYD, "const qmr_int32* date", "qmr_int32* cyymmdd"),
     "century form CYYMMDD of a date", 1, 1, true, dateCall<QMRFCYYD, kCentury>},
    {"QMRFCYYN", "DATE", QMR_PROTO_(QMRFCYYN, "const qmr_int32* date", "qmr_int32* cyymmdd"),
     "century form CYYMMDD of a date (as QMRFCYYD)", 1, 1, true, dateCall<QMRFCYYN, kCentury>},
    {"QMRFDDUR", "DATE years|months|days COUNT [skip]",
     "void QMRFDDUR(void* opaque1, void* opaque2, CallContext* context);",
     "date plus years, months or days, through the context's duration fields", 3, 4, true, dateDuration},
};
const Registrar registrar(Family::Dates, kCommands);

#undef QMR_PROTO_

}  // namespace
}  // namespace qmr_cli
