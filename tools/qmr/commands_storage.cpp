// qmr call: the storage-format conversions.
//
// A text argument is placed in a field of its layout's length, blank-padded
// ("12-31-1999", or "" for ten blanks).  A written text is shown one byte
// past what the conversion may write, with \0 for a NUL and ~ for a byte
// the call left untouched.
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"

namespace qmr_cli {
namespace {

using TextToValue = qmr_int32(QMR_CALL*)(const char*, qmr_int32*);
using ValueToText = qmr_int32(QMR_CALL*)(qmr_int32, char*);
using TextToText = qmr_int32(QMR_CALL*)(const char*, char*);

constexpr char kDate[] = "date";
constexpr char kTime[] = "time";
constexpr char kText[] = "text";
constexpr char kStamp[] = "timestamp";

// The argument as the host's field of `length` characters.
std::vector<char> field(const Args& a, std::size_t i, std::size_t length) {
    const std::string text = a.text(i);
    if (text.size() > length) a.fail(i, "is longer than " + std::to_string(length) + " characters");
    std::vector<char> bytes(length, ' ');
    std::memcpy(bytes.data(), text.data(), text.size());
    return bytes;
}

template <TextToValue F, std::size_t Length, const char* Label>
void readValue(Session& s, const Args& a) {
    const std::vector<char> text = field(a, 0, Length);
    qmr_int32 value = 0;
    F(text.data(), &value);
    s.number(Label, value);
}

// `Written`: the most the conversion may write, terminator included.
template <ValueToText F, std::size_t Written>
void writeValue(Session& s, const Args& a) {
    const qmr_int32 value = a.int32(0);
    ByteMask untouched;
    const auto out = probeOutput(Written + 1, untouched, [&](unsigned char* p) { F(value, reinterpret_cast<char*>(p)); });
    s.text(kText, out.data(), out.size(), &untouched);
}

template <TextToText F, std::size_t Length, std::size_t Written, const char* Label>
void convertText(Session& s, const Args& a) {
    const std::vector<char> text = field(a, 0, Length);
    ByteMask untouched;
    const auto out =
        probeOutput(Written + 1, untouched, [&](unsigned char* p) { F(text.data(), reinterpret_cast<char*>(p)); });
    s.text(Label, out.data(), out.size(), &untouched);
}

constexpr std::size_t kStampIn = 20;
constexpr std::size_t kStampOut = QMR_TIMESTAMP_SIZE;

const Command kCommands[] = {
    {"QMRD2VM", "TEXT", "qmr_int32 QMRD2VM(const char* text, qmr_int32* date);",
     "M-form date text MM-DD-YYYY to yyyymmdd; 01-01-1753 gives 0", 1, 1, false,
     readValue<QMRD2VM, QMR_MY_DATE_LENGTH, kDate>},
    {"QMRD2VY", "TEXT", "qmr_int32 QMRD2VY(const char* text, qmr_int32* date);",
     "Y-form date text MM-DD-YYYY to yyyymmdd; 01-01-1753 gives 0", 1, 1, false,
     readValue<QMRD2VY, QMR_MY_DATE_LENGTH, kDate>},
    {"QMRD2VW", "TEXT", "qmr_int32 QMRD2VW(const char* text, qmr_int32* date);",
     "W-form date text YYYY-MM-DD to yyyymmdd; 0001-01-01 gives 0", 1, 1, false,
     readValue<QMRD2VW, QMR_W_DATE_LENGTH, kDate>},
    {"QMRVM2D", "DATE", "qmr_int32 QMRVM2D(qmr_int32 date, char* text);",
     "yyyymmdd to MM-DD-YYYY and a NUL; 0 gives 01-01-1753", 1, 1, false,
     writeValue<QMRVM2D, QMR_MY_DATE_LENGTH + 1>},
    {"QMRVY2D", "DATE", "qmr_int32 QMRVY2D(qmr_int32 date, char* text);", "second name of QMRVM2D", 1, 1, false,
     writeValue<QMRVY2D, QMR_MY_DATE_LENGTH + 1>},
    {"QMRVW2D", "DATE", "qmr_int32 QMRVW2D(qmr_int32 date, char* text);",
     "yyyymmdd to YYYY-MM-DD, no terminator; 0 gives 0001-01-01", 1, 1, false,
     writeValue<QMRVW2D, QMR_W_DATE_LENGTH>},
    {"QMRT2VW", "TEXT", "qmr_int32 QMRT2VW(const char* text, qmr_int32* time);",
     "W-form time text hh.mm.ss to hhmmss", 1, 1, false, readValue<QMRT2VW, QMR_W_TIME_LENGTH, kTime>},
    {"QMRT2VO", "TEXT", "qmr_int32 QMRT2VO(const char* text, qmr_int32* time);",
     "O-form time text 0001-01-01hh.mm.ss to hhmmss", 1, 1, false, readValue<QMRT2VO, QMR_O_TIME_LENGTH, kTime>},
    {"QMRVM2T", "TIME", "qmr_int32 QMRVM2T(qmr_int32 time, char* text);", "hhmmss to hh:mm:ss and a NUL", 1, 1,
     false, writeValue<QMRVM2T, QMR_MY_TIME_LENGTH + 1>},
    {"QMRVY2T", "TIME", "qmr_int32 QMRVY2T(qmr_int32 time, char* text);", "second name of QMRVM2T", 1, 1, false,
     writeValue<QMRVY2T, QMR_MY_TIME_LENGTH + 1>},
    {"QMRVW2T", "TIME", "qmr_int32 QMRVW2T(qmr_int32 time, char* text);", "hhmmss to hh.mm.ss, no terminator", 1, 1,
     false, writeValue<QMRVW2T, QMR_W_TIME_LENGTH>},
    {"QMRVO2T", "TIME", "qmr_int32 QMRVO2T(qmr_int32 time, char* text);",
     "hhmmss to 0001-01-01hh.mm.ss and a NUL; hour 24 gives 00", 1, 1, false,
     writeValue<QMRVO2T, QMR_O_TIME_LENGTH + 1>},
    {"QMRS2VW", "TEXT", "qmr_int32 QMRS2VW(const char* text, char* stamp);",
     "W-form text YYYY-MM-DD-hh.mm.ss.ffffff to the internal timestamp", 1, 1, false,
     convertText<QMRS2VW, QMR_W_STAMP_LENGTH, kStampOut, kStamp>},
    {"QMRS2VO", "TEXT", "qmr_int32 QMRS2VO(const char* text, char* stamp);",
     "O-form text YYYY-MM-DDhh.mm.ss to the internal timestamp", 1, 1, false,
     convertText<QMRS2VO, QMR_O_STAMP_LENGTH, kStampOut, kStamp>},
    {"QMRS2VM", "TEXT", "qmr_int32 QMRS2VM(const char* text, char* stamp);",
     "M-form twelve-hour text (three layouts) to the internal timestamp", 1, 1, false,
     convertText<QMRS2VM, QMR_MY_STAMP_READ_SIZE, kStampOut, kStamp>},
    {"QMRS2VY", "TEXT", "qmr_int32 QMRS2VY(const char* text, char* stamp);",
     "Y-form twelve-hour text (three layouts) to the internal timestamp", 1, 1, false,
     convertText<QMRS2VY, QMR_MY_STAMP_READ_SIZE, kStampOut, kStamp>},
    {"QMRVW2S", "TIMESTAMP", "qmr_int32 QMRVW2S(const char* stamp, char* text);",
     "internal timestamp to YYYY-MM-DD-hh.mm.ss.ffffff, no terminator", 1, 1, false,
     convertText<QMRVW2S, kStampIn, QMR_W_STAMP_LENGTH, kText>},
    {"QMRVO2S", "TIMESTAMP", "qmr_int32 QMRVO2S(const char* stamp, char* text);",
     "internal timestamp to YYYY-MM-DDhh.mm.ss and a NUL", 1, 1, false,
     convertText<QMRVO2S, kStampIn, QMR_O_STAMP_LENGTH + 1, kText>},
    {"QMRVM2S", "TIMESTAMP", "qmr_int32 QMRVM2S(const char* stamp, char* text);",
     "internal timestamp to MM/DD/YYYY hh:mm:ss:fff and a NUL", 1, 1, false,
     convertText<QMRVM2S, kStampIn, QMR_MY_STAMP_LENGTH + 1, kText>},
    {"QMRVY2S", "TIMESTAMP", "qmr_int32 QMRVY2S(const char* stamp, char* text);", "second name of QMRVM2S", 1, 1,
     false, convertText<QMRVY2S, kStampIn, QMR_MY_STAMP_LENGTH + 1, kText>},
};
const Registrar registrar(Family::Storage, kCommands);

}  // namespace
}  // namespace qmr_cli
