// QMRFTMEC and QMRFTSC written again from their rules.
//
// QMRFTMEC scans 8 characters into a picture: each number (one or two
// digits) stands as HH, MM or SS by its place, 'A' or 'P' stands with
// the character after it, blanks vanish, anything else stands as itself.
// The picture, NUL-padded to 8, must be one of twelve, and a picture
// longer than 8 is none of them.
//
// QMRFTSC reads YYYY-MM-DD-HH.MM.SS.ffffff position by position; a blank
// at 10 or 19 ends the text, a wrong character up to 10 is " 137", after
// it " 141", and positions at or past the field's maximum are blanks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/calendar.h"

namespace qmr_model {

struct TimeTextResult {
    std::string error;  // "", " 141" or " 142"
    std::int32_t time;  // when error is ""
};

inline TimeTextResult timeText(const char* text) {
    static const std::string pictures[] = {"HHAM", "HHPM", "HHMMAM", "HH:MMAM", "HHMMPM", "HH:MMPM",
                                           "HHMM", "HHMMSS", "HH:MM", "HH:MM:SS", "HH.MM", "HH.MM.SS"};
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    int end = 8, at = 0, numbers = 0, part[4] = {};
    char marker = 0;
    std::string picture;
    while (end > 0 && text[end - 1] == ' ') --end;
    while (at < end - 1 && text[at] == ' ') ++at;
    while (at < end && numbers <= 3) {
        const char c = text[at];
        if (digit(c)) {
            for (int k = 0; k < 2 && at < end && digit(text[at]); ++k) part[numbers] = part[numbers] * 10 + text[at++] - '0';
            picture += std::string(2, "HMS?"[numbers++]);
        } else if (c == ' ') {
            ++at;
        } else {
            if (c == 'A' || c == 'P') marker = c;
            picture += text[at++];
            if ((c == 'A' || c == 'P') && at < end) picture += text[at++];
        }
    }
    bool known = false;
    for (const std::string& p : pictures) known |= picture.size() <= 8 && (picture + std::string(8, '\0')).compare(0, 8, p + std::string(8 - p.size(), '\0')) == 0;
    if (numbers == 0 || numbers > 3 || !known) return {" 142", 0};
    int hour = part[0];
    if (marker != 0 && (hour < 1 || hour > 12)) return {" 141", 0};
    if (marker == 'P' && hour != 12) hour += 12;
    if (marker == 'A' && hour == 12) hour = 0;
    const std::int32_t time = (hour * 100 + part[1]) * 100 + part[2];
    if (!engineTime(time)) return {" 141", 0};
    return {"", time};
}

// The 20 digits and the NUL QMRFTSC writes, or the message number.
inline std::string timestampText(const unsigned char* text, std::int32_t maximum) {
    if (maximum < 1 || maximum > 4096) return " 130";
    static const char layout[] = "9999-99-99-99.99.99.999999";
    std::int32_t part[7] = {};
    for (int i = 0, p = 0; i < 26; ++i) {
        const unsigned char c = i < maximum ? text[i] : ' ';
        if ((i == 10 || i == 19) && c == ' ') break;
        if (layout[i] == '9' ? c < '0' || c > '9' : c != layout[i]) return i <= 10 ? " 137" : " 141";
        if (layout[i] == '9') part[p] = part[p] * 10 + c - '0'; else ++p;
    }
    const std::int32_t date = part[0] * 10000 + part[1] * 100 + part[2], time = part[3] * 10000 + part[4] * 100 + part[5];
    if (!engineDate(date)) return " 139";
    if (!engineTime(time)) return " 141";
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%08d%06d%06d", date, time, part[6]);
    return std::string(stamp, 21);
}

}  // namespace qmr_model
