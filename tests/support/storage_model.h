// The storage-format conversions written again from their layouts with
// the C library's own strtol and snprintf, and checks of the library
// against them, for the unit tests and the fuzz target.
//
// A reader gathers its digit positions and reads them as a 32-bit strtol;
// a writer places the first characters of printf's "%08.8ld" (dates) or
// "%06ld" (times).  The twelve-hour readers are built from their layout
// table: each number read as strtol reads it within the layout's text,
// then written with "%02d" ("%03d" for milliseconds) cut to its field.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "qmr/qmr.h"
#include "support/datetime_model.h"

namespace qmr_model {

inline std::string printed(const char* format, std::int32_t value, std::size_t keep) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return std::string(text).substr(0, keep);
}

// The characters of `t` at the positions `at`, in that order.
inline std::string pick(const std::string& t, std::initializer_list<int> at) {
    std::string s;
    for (int i : at) s += t[i];
    return s;
}

// yyyymmdd digits read as a date: the form's null date is 0.
inline std::string readDate(const std::string& digits, const char* nullDate) {
    return std::to_string(digits == nullDate ? 0 : strtol32(digits));
}

// A timestamp written in the W, O or M form (with the NUL the writer
// adds), and a W or O text read into 20 characters and a NUL.
inline std::string writeStamp(const std::string& s, char form) {
    const bool null = s.compare(0, 8, "00000000") == 0;
    const std::string y = null ? (form == 'M' ? "1753" : "0001") : s.substr(0, 4), m = null ? "01" : s.substr(4, 2),
                      d = null ? "01" : s.substr(6, 2), mark = form == 'M' ? ":" : ".";
    const std::string time = s.substr(8, 2) + mark + s.substr(10, 2) + mark + s.substr(12, 2);
    if (form == 'W') return y + '-' + m + '-' + d + '-' + time + '.' + s.substr(14, 6);
    return form == 'O' ? y + '-' + m + '-' + d + time + '\0'
                       : m + '/' + d + '/' + y + ' ' + time + ':' + s.substr(14, 3) + '\0';
}
inline std::string readStamp(const std::string& t, bool oForm) {
    const std::string s = oForm ? pick(t, {0, 1, 2, 3, 5, 6, 8, 9, 10, 11, 13, 14, 16, 17}) + "000000"
                                : pick(t, {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18, 20, 21, 22, 23, 24, 25});
    return (s == "00010101000000000000" ? std::string(20, '0') : s) + '\0';
}

// QMRS2VM (y false) and QMRS2VY of a text of at least 26 characters;
// `before` holds the 21 bytes of the result field before the call.
inline std::string twelveHourStamp(const std::string& text, const std::string& before, bool y) {
    struct Layout { int month, day, year, hour, minute, second, millis, marker, markerWidth, length; };
    static const Layout layouts[3] = {{0, 3, 6, 12, 15, 18, 21, 24, 1, 25}, {0, 3, 6, 11, 14, 17, 20, 23, 2, 25},
                                      {-1, 4, 7, 12, 15, 18, 21, 24, 2, 26}};
    static const std::string names = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const int shape = text[0] != '0' && text[0] != '1' ? 2 : text[24] == 'A' || text[24] == 'P' ? 0 : 1;
    const Layout& l = layouts[shape];
    const std::string t = text.substr(0, l.length);
    const auto number = [&](int at) { return strtol32(t.substr(at)); };
    const auto marker = [&](const char* m) { return t.compare(l.marker, l.markerWidth, m, l.markerWidth) == 0; };
    std::string r = before.substr(0, 21);
    const auto put = [&](int at, std::int32_t v, int w) { r.replace(at, w, printed(w == 2 ? "%02d" : "%03d", v, w)); };
    r.replace(0, 4, t, l.year, 4);
    if (shape != 2) put(4, number(l.month), 2);
    for (int n = 0; shape == 2 && n < 12; ++n) {
        if (names.compare(3 * n, 3, t, 0, 3) == 0) put(4, n + 1, 2);
    }
    put(6, number(l.day), 2);
    std::int32_t hour = number(l.hour);
    if (shape == 2 && marker("PM") && (y ? hour >= 1 && hour <= 11 : hour != 12)) {
        put(8, static_cast<std::int32_t>(static_cast<std::uint32_t>(hour) + 12), 2);  // 32 bits, wrapping
    } else if (shape == 2) {
        put(8, marker("AM") && hour == 12 ? 0 : hour, 2);
    } else if (!marker("AM")) {
        put(8, hour < 12 ? hour + 12 : hour, 2);
    } else {
        r.replace(8, 2, t.compare(l.hour, 2, "12") == 0 ? "00" : t.substr(l.hour, 2));
        if (r[8] == ' ') r[8] = '0';
    }
    put(10, number(l.minute), 2);
    put(12, number(l.second), 2);
    if (shape == 2 && y) r.replace(14, 3, t, l.millis, 3);
    else put(14, number(l.millis), 3);
    r.replace(17, 4, std::string("000\0", 4));
    const bool null = y ? r.compare(0, 20, "17530101000000000000") == 0 : r.compare(0, 8, "17530101") == 0;
    return null ? std::string(20, '0') + '\0' : r;
}

// ---- the library against the model -----------------------------------

// What `call(out)` writes into `size` bytes, '~' for a byte it left as it
// was (over fills of 0x00 and of 0xFF), or "OUTSIDE" when it wrote into
// one of the 8 bytes on either side.
template <typename Call>
std::string written(std::size_t size, Call call) {
    std::vector<unsigned char> zeros(size + 16, 0x00), ones(size + 16, 0xFF);
    call(reinterpret_cast<char*>(zeros.data() + 8));
    call(reinterpret_cast<char*>(ones.data() + 8));
    std::string shown;
    for (std::size_t i = 0; i < zeros.size(); ++i) {
        const bool untouched = zeros[i] == 0x00 && ones[i] == 0xFF, inside = i >= 8 && i < 8 + size;
        if (!inside && !untouched) return "OUTSIDE";
        if (inside) shown += untouched ? '~' : static_cast<char>(zeros[i]);
    }
    return shown;
}

// A source is a heap field of exactly its text, so that a read past it is
// an AddressSanitizer error.
inline std::string converted(qmr_int32(QMR_CALL* f)(const char*, char*), const std::string& text, std::size_t size) {
    std::vector<char> source(text.begin(), text.end());
    return written(size, [&](char* out) { f(source.data(), out); });
}
inline std::string readValue(qmr_int32(QMR_CALL* f)(const char*, qmr_int32*), const std::string& text) {
    std::vector<char> source(text.begin(), text.end());
    qmr_int32 value = -1;
    f(source.data(), &value);
    return std::to_string(value);
}

inline std::string differs(const std::string& what, const std::string& got, const std::string& expected) {
    return got == expected ? "" : what + ": '" + got + "' instead of '" + expected + "'\n";
}

// Every date and time writer on `v`, each field and one byte past it:
// "" when all agree with the model.
inline std::string checkValue(std::int32_t v) {
    const auto out = [&](qmr_int32(QMR_CALL * f)(qmr_int32, char*), std::size_t size) {
        return written(size + 1, [&](char* o) { f(v, o); });
    };
    const std::string d = printed("%08.8d", v, 8), t = printed("%06d", v, 6), id = " of " + std::to_string(v);
    const std::string m = v == 0 ? "01-01-1753" : d.substr(4, 2) + '-' + d.substr(6, 2) + '-' + d.substr(0, 4);
    const std::string w = v == 0 ? "0001-01-01" : d.substr(0, 4) + '-' + d.substr(4, 2) + '-' + d.substr(6, 2);
    const std::string wTime = t.substr(0, 2) + '.' + t.substr(2, 2) + '.' + t.substr(4, 2);
    const std::string oTime = t.compare(0, 2, "24") ? wTime : "00" + wTime.substr(2);  // hour 24 written as 00
    const std::string mTime = t.substr(0, 2) + ':' + t.substr(2, 2) + ':' + t.substr(4, 2);
    return differs("QMRVM2D" + id, out(QMRVM2D, 11), m + '\0' + '~') +
           differs("QMRVW2D" + id, out(QMRVW2D, 10), w + '~') +
           differs("QMRVM2T" + id, out(QMRVM2T, 9), mTime + '\0' + '~') +
           differs("QMRVW2T" + id, out(QMRVW2T, 8), wTime + '~') +
           differs("QMRVO2T" + id, out(QMRVO2T, 19), "0001-01-01" + oTime + '\0' + '~');
}

// Every reader on the leading characters of a text of 26 and every
// timestamp writer on its first 20: "" when all agree with the model.
inline std::string checkText(const std::string& t) {
    const std::string m = pick(t, {6, 7, 8, 9, 0, 1, 3, 4}), w = pick(t, {0, 1, 2, 3, 5, 6, 8, 9}),
                      twelve = t.substr(0, t[0] == '0' || t[0] == '1' ? 25 : 26);
    const std::string id = " of '" + t + "'";
    const std::string wTime = pick(t, {0, 1, 3, 4, 6, 7}), oTime = pick(t, {10, 11, 13, 14, 16, 17});
    return differs("QMRD2VM" + id, readValue(QMRD2VM, t.substr(0, 10)), readDate(m, "17530101")) +
           differs("QMRD2VY" + id, readValue(QMRD2VY, t.substr(0, 10)), readDate(m, "17530101")) +
           differs("QMRD2VW" + id, readValue(QMRD2VW, t.substr(0, 10)), readDate(w, "00010101")) +
           differs("QMRT2VW" + id, readValue(QMRT2VW, t.substr(0, 8)), std::to_string(strtol32(wTime))) +
           differs("QMRT2VO" + id, readValue(QMRT2VO, t.substr(0, 18)), std::to_string(strtol32(oTime))) +
           differs("QMRS2VW" + id, converted(QMRS2VW, t, 21), readStamp(t, false)) +
           differs("QMRS2VO" + id, converted(QMRS2VO, t.substr(0, 18), 21), readStamp(t, true)) +
           differs("QMRS2VM" + id, converted(QMRS2VM, twelve, 21), twelveHourStamp(t, std::string(21, '~'), false)) +
           differs("QMRS2VY" + id, converted(QMRS2VY, twelve, 21), twelveHourStamp(t, std::string(21, '~'), true)) +
           differs("QMRVW2S" + id, converted(QMRVW2S, t.substr(0, 20), 26), writeStamp(t, 'W')) +
           differs("QMRVO2S" + id, converted(QMRVO2S, t.substr(0, 14), 19), writeStamp(t, 'O')) +
           differs("QMRVM2S" + id, converted(QMRVM2S, t.substr(0, 17), 24), writeStamp(t, 'M'));
}

}  // namespace qmr_model
