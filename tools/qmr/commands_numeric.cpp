// qmr call: numeric text and decimal rounding.
#include <charconv>
#include <cstring>
#include <string>

#include "cli.h"

namespace qmr_cli {
namespace {

// The shortest text that reads back as the same double.
std::string shortest(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// QMRFCHR NUMBER
void chr(Session& s, const Args& a) {
    const double number = a.real(0);
    ByteMask untouched;
    const auto digits = s.probe(QMR_DIGIT_TEXT_SIZE, untouched, [&](unsigned char* out) {
        QMRFCHR(nullptr, nullptr, s.context(), &number, reinterpret_cast<char*>(out));
    });
    s.text("digits", digits.data(), digits.size(), &untouched);
}

// QMRFNUM TEXT: the text is cut or blank-padded to its 17 bytes.
void num(Session& s, const Args& a) {
    std::string text = a.text(0);
    text.resize(QMR_NUMERIC_TEXT_SIZE, ' ');
    double number = 0;
    QMRFNUM(nullptr, nullptr, s.context(), text.data(), &number);
    s.text("text", text.data(), text.size());
    s.line("number", shortest(number));
}

void d2dec(Session& s, const Args& a) { s.line("result", shortest(qmrd2dec(a.real(0), a.int32(1), a.int32(2)))); }

void d2dc1(Session& s, const Args& a) {
    s.line("result", shortest(qmrd2dc1(a.real(0), a.int32(1), a.int32(2), a.int32(3))));
}

const Command kCommands[] = {
    {"QMRFCHR", "NUMBER",
     "void QMRFCHR(void* opaque1, void* opaque2, CallContext* context, const double* number, char* digits);",
     "whole part of |number| as 15 digits; \" 145\" from 1e15 up", 1, 1, true, chr},
    {"QMRFNUM", "TEXT",
     "void QMRFNUM(void* opaque1, void* opaque2, CallContext* context, const char* text, double* number);",
     "17-byte numeric text to a number; \" 143\" not a number, \" 145\" over 15 digits", 1, 1, true, num},
    {"qmrd2dec", "VALUE PLACES MODE", "double qmrd2dec(double value, qmr_int32 places, qmr_int32 mode);",
     "value cut to PLACES decimals: MODE 0 truncates, other modes round", 3, 3, false, d2dec},
    {"qmrd2dc1", "VALUE PLACES MODE DIGITS",
     "double qmrd2dc1(double value, qmr_int32 places, qmr_int32 mode, qmr_int32 digits);",
     "qmrd2dec for a field of DIGITS digits; leaves a value that fills a wide field alone", 4, 4, false, d2dc1},
};
const Registrar registrar(Family::Numeric, kCommands);

}  // namespace
}  // namespace qmr_cli
