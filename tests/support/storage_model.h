// The storage-format conversions written again from their layouts, with
// the C library's own strtol and snprintf: a reader gathers its digit
// positions and reads them as a 32-bit strtol; a writer places the first
// characters of printf's "%08.8ld" (dates) or "%06ld" (times).  The
// twelve-hour readers are built from their layout table: each number
// read as strtol reads it within the layout's text, then written with
// "%02d" ("%03d" for milliseconds) cut to its field.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace qmr_model {

// strtol as a 32-bit long reads it: leading white space, a sign, digits
// up to the first other character (a NUL among them), saturating.
inline std::int32_t strtol32(const std::string& text) {
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

inline std::string printed(const char* format, std::int32_t value, std::size_t keep) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return std::string(text).substr(0, keep);
}

// Positions of a text, picked by their indices, e.g. pick(t, {6,7,8,9}).
inline std::string pick(const std::string& t, std::initializer_list<int> at) {
    std::string s;
    for (int i : at) s += t[i];
    return s;
}

// yyyymmdd of the M and W date texts, hhmmss of the W and O time texts.
inline std::string mDateDigits(const std::string& t) { return pick(t, {6, 7, 8, 9, 0, 1, 3, 4}); }
inline std::string wDateDigits(const std::string& t) { return pick(t, {0, 1, 2, 3, 5, 6, 8, 9}); }
inline std::int32_t readMDate(const std::string& t) { return mDateDigits(t) == "17530101" ? 0 : strtol32(mDateDigits(t)); }
inline std::int32_t readWDate(const std::string& t) { return wDateDigits(t) == "00010101" ? 0 : strtol32(wDateDigits(t)); }
inline std::int32_t readWTime(const std::string& t) { return strtol32(pick(t, {0, 1, 3, 4, 6, 7})); }
inline std::int32_t readOTime(const std::string& t) { return strtol32(pick(t, {10, 11, 13, 14, 16, 17})); }

// What the writers put in their fields, a NUL where they write one.
inline std::string writeMDate(std::int32_t date) {
    const std::string d = date == 0 ? "17530101" : printed("%08.8d", date, 8);
    return d.substr(4, 2) + '-' + d.substr(6, 2) + '-' + d.substr(0, 4) + '\0';
}
inline std::string writeWDate(std::int32_t date) {
    const std::string d = date == 0 ? "00010101" : printed("%08.8d", date, 8);
    return d.substr(0, 4) + '-' + d.substr(4, 2) + '-' + d.substr(6, 2);
}
inline std::string writeTime(std::int32_t time, char separator) {
    const std::string t = printed("%06d", time, 6);
    return t.substr(0, 2) + separator + t.substr(2, 2) + separator + t.substr(4, 2);
}
inline std::string writeOTime(std::int32_t time) {
    const std::string w = writeTime(time, '.');
    return "0001-01-01" + (w.compare(0, 2, "24") == 0 ? "00" + w.substr(2) : w) + '\0';
}

// The timestamp texts: 20 internal characters (and the NUL readers write).
inline std::string readStamp(const std::string& t, bool oForm) {
    const std::string s = oForm ? pick(t, {0, 1, 2, 3, 5, 6, 8, 9, 10, 11, 13, 14, 16, 17}) + "000000"
                                : pick(t, {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18, 20, 21, 22, 23, 24, 25});
    return (s == "00010101000000000000" ? std::string(20, '0') : s) + '\0';
}
inline std::string writeStamp(const std::string& s, char form) {  // 'W', 'O' or 'M'
    const bool null = s.compare(0, 8, "00000000") == 0;
    const std::string y = null ? (form == 'M' ? "1753" : "0001") : s.substr(0, 4);
    const std::string m = null ? "01" : s.substr(4, 2), d = null ? "01" : s.substr(6, 2);
    const std::string time = s.substr(8, 2) + (form == 'M' ? ':' : '.') + s.substr(10, 2) + (form == 'M' ? ':' : '.') + s.substr(12, 2);
    if (form == 'W') return y + '-' + m + '-' + d + '-' + time + '.' + s.substr(14, 6);
    if (form == 'O') return y + '-' + m + '-' + d + time + '\0';
    return m + '/' + d + '/' + y + ' ' + time + ':' + s.substr(14, 3) + '\0';
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
    const auto put = [&](int at, std::int32_t value, int width) { r.replace(at, width, printed(width == 2 ? "%02d" : "%03d", value, width)); };
    r.replace(0, 4, t, l.year, 4);
    if (shape != 2) put(4, number(l.month), 2);
    for (int n = 0; shape == 2 && n < 12; ++n) {
        if (names.compare(3 * n, 3, t, 0, 3) == 0) put(4, n + 1, 2);
    }
    put(6, number(l.day), 2);
    std::int32_t hour = number(l.hour);
    if (shape == 2) {
        if (marker("PM") && (y ? hour >= 1 && hour <= 11 : hour != 12)) hour = static_cast<std::int32_t>(static_cast<std::uint32_t>(hour) + 12);
        else if (marker("AM") && hour == 12) hour = 0;
        put(8, hour, 2);
    } else if (!marker("AM")) {
        put(8, hour < 12 ? hour + 12 : hour, 2);
    } else {
        r.replace(8, 2, t.compare(l.hour, 2, "12") == 0 ? "00" : t.substr(l.hour, 2));
        if (r[8] == ' ') r[8] = '0';
    }
    put(10, number(l.minute), 2);
    put(12, number(l.second), 2);
    if (shape == 2 && y) r.replace(14, 3, t, l.millis, 3); else put(14, number(l.millis), 3);
    r.replace(17, 4, std::string("000\0", 4));
    const bool null = y ? r.compare(0, 20, "17530101000000000000") == 0 : r.compare(0, 8, "17530101") == 0;
    return null ? std::string(20, '0') + '\0' : r;
}

}  // namespace qmr_model
