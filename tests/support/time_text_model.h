// QMRFTMEC and QMRFTSC written again from their rules, and checks of the
// library against them.
//
// QMRFTMEC scans 8 characters into a picture: each number (one or two
// digits) stands as HH, MM or SS by its place, 'A' or 'P' stands with the
// character after it, blanks vanish, anything else stands as itself.  The
// picture, NUL-padded to 8, must be one of twelve; one longer than 8 is
// none of them.
//
// QMRFTSC reads YYYY-MM-DD-HH.MM.SS.ffffff position by position; a blank
// at 10 or 19 ends the text, a wrong character up to 10 is " 137", after
// it " 141", and positions at or past the field's maximum are blanks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/calendar.h"
#include "support/context.h"

namespace qmr_model {

// The time hhmmss, or the message number.
inline std::string timeText(const char* text) {
    static const std::string pictures[] = {"HHAM", "HHPM", "HHMMAM", "HH:MMAM", "HHMMPM", "HH:MMPM",
                                           "HHMM", "HHMMSS", "HH:MM", "HH:MM:SS", "HH.MM", "HH.MM.SS"};
    const auto digit = [&](int at) { return text[at] >= '0' && text[at] <= '9'; };
    int end = 8, at = 0, numbers = 0, part[4] = {};
    char marker = 0;
    std::string picture;
    while (end > 0 && text[end - 1] == ' ') --end;
    while (at < end - 1 && text[at] == ' ') ++at;
    while (at < end && numbers <= 3) {
        const char c = text[at];
        if (digit(at)) {
            for (int k = 0; k < 2 && at < end && digit(at); ++k) part[numbers] = part[numbers] * 10 + text[at++] - '0';
            picture += std::string(2, "HMS?"[numbers++]);
        } else if (c != ' ') {
            picture += text[at++];
            if (c == 'A' || c == 'P') marker = c;
            if ((c == 'A' || c == 'P') && at < end) picture += text[at++];
        } else {
            ++at;
        }
    }
    picture.resize(std::max<std::size_t>(picture.size(), 8), '\0');
    const bool known = std::any_of(std::begin(pictures), std::end(pictures), [&](const std::string& p) { return picture == p + std::string(8 - p.size(), '\0'); });
    if (numbers == 0 || numbers > 3 || !known) return " 142";
    int hour = part[0];
    if (marker != 0 && (hour < 1 || hour > 12)) return " 141";
    hour = marker == 'P' && hour != 12 ? hour + 12 : marker == 'A' && hour == 12 ? 0 : hour;
    const std::int32_t time = (hour * 100 + part[1]) * 100 + part[2];
    return engineTime(time) ? std::to_string(time) : " 141";
}

// The 20 digits and the NUL QMRFTSC writes, or the message number.
inline std::string timestampText(const unsigned char* text, std::int32_t maximum) {
    static const char layout[] = "9999-99-99-99.99.99.999999";
    std::int32_t part[7] = {};
    if (maximum < 1 || maximum > 4096) return " 130";
    for (int i = 0, p = 0; i < 26; ++i) {
        const unsigned char c = i < maximum ? text[i] : ' ';
        if ((i == 10 || i == 19) && c == ' ') break;
        if (layout[i] == '9' ? c < '0' || c > '9' : c != layout[i]) return i <= 10 ? " 137" : " 141";
        if (layout[i] == '9') part[p] = part[p] * 10 + c - '0'; else ++p;
    }
    const std::int32_t date = part[0] * 10000 + part[1] * 100 + part[2], time = part[3] * 10000 + part[4] * 100 + part[5];
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%08d%06d%06d", date, time, part[6]);
    return !engineDate(date) ? " 139" : !engineTime(time) ? " 141" : std::string(stamp, 21);
}

// QMRFTMEC on an exactly 8-byte field after a call that left `staleDate`
// in the context's request (the engine checks it too): "" when it agrees
// with the model.
inline std::string checkTimeText(const std::string& text, std::int32_t staleDate) {
    std::vector<char> field(text.begin(), text.end());
    qmr_test::TestContext context;
    context.setInt32At(QMR_CC_DATE_REQUEST + QMR_DR_DATE, staleDate);
    qmr_int32 time = -7;
    QMRFTMEC(nullptr, nullptr, context.get(), field.data(), &time);
    std::string expected = timeText(text.data());
    if (expected[0] != ' ' && !engineDate(staleDate)) expected = " 141";
    const std::string got = context.failed() ? context.message() : std::to_string(time);
    if (context.name() == "QMRFTMEC" && got == expected && (!context.failed() || time == -7)) return "";
    return "'" + text + "' after " + std::to_string(staleDate) + " gave " + got + " (" + std::to_string(time) + "), not " + expected;
}

// QMRFTSC on a field of exactly the text bytes its maximum allows (none
// outside 1..4096), whose current length is never read, into 21 bytes
// between guards: "" when it agrees with the model and writes nothing on
// a failure.
inline std::string checkTimestampText(const std::string& text, std::int32_t maximum) {
    const std::size_t room = maximum >= 1 && maximum <= 4096 ? std::size_t(maximum) : 0;
    std::vector<unsigned char> field(QMR_TF_TEXT + room, 'x');
    qmr_test::putLe32(field.data() + QMR_TF_MAX_LENGTH, maximum);
    qmr_test::putLe32(field.data() + QMR_TF_LENGTH, -77);
    std::memcpy(field.data() + QMR_TF_TEXT, text.data(), std::min(room, text.size()));
    std::string stamp(21 + 16, '#');
    qmr_test::TestContext context;
    QMRFTSC(nullptr, nullptr, context.get(), reinterpret_cast<const TextField*>(field.data()), stamp.data() + 8);
    const std::string expected = timestampText(field.data() + QMR_TF_TEXT, maximum);
    const std::string got = context.failed() ? context.message() : stamp.substr(8, 21);
    if (context.name() == "QMRFTSC " && got == expected && stamp == "########" + (context.failed() ? std::string(21, '#') : got) + "########") return "";
    return "'" + text + "' in " + std::to_string(maximum) + " gave '" + got + "', not '" + expected + "'";
}

}  // namespace qmr_model
