// Reading a timestamp written as YYYY-MM-DD-HH.MM.SS.ffffff (QMRFTSC).
//
// Position by position:
//
//   YYYY-MM-DD-HH.MM.SS.ffffff
//   0    5    10   15   20   25
//
// A blank at position 10 ends a date alone, a blank at position 19 a date
// and time; the microseconds, when present, have all six digits.  A wrong
// character in the date part (positions 0..10) makes the date invalid, one
// in the rest the time.  The field is read only up to its maximum length:
// positions beyond it count as blanks, so a 10-byte field holding a date,
// or a 19-byte field holding a date and time, reads as the layout intends.
#pragma once

#include <cstdint>

#include "frame/digits.h"

namespace qmr {

enum class LayoutFault { none, date, time };

struct ScannedTimestamp {
    LayoutFault fault;
    std::int32_t date;    // yyyymmdd
    std::int32_t time;    // hhmmss
    std::int32_t micros;  // [0, 999999]
};

namespace layout {

enum Slot : unsigned char {
    digit,      // accumulates into the current part
    dash,       // '-', then the next part
    dot,        // '.', then the next part
    dashOrEnd,  // '-' goes on to the time, a blank ends the text
    dotOrEnd,   // '.' goes on to the microseconds, a blank ends the text
};

constexpr int kLength = 26;
constexpr int kFirstTimePosition = 11;  // a fault from here on is in the time

constexpr Slot kSlots[kLength] = {
    digit, digit, digit, digit, dash, digit, digit, dash, digit, digit,  // YYYY-MM-DD
    dashOrEnd,                                                           // -
    digit, digit, dot, digit, digit, dot, digit, digit,                  // HH.MM.SS
    dotOrEnd,                                                            // .
    digit, digit, digit, digit, digit, digit,                            // ffffff
};

}  // namespace layout

// Reads `text`, of which the first `fieldLength` bytes exist (any count
// >= 0).  No byte at or past fieldLength is read.
constexpr ScannedTimestamp scanTimestamp(const unsigned char* text, std::int32_t fieldLength) noexcept {
    std::int32_t parts[7] = {};  // year, month, day, hour, minute, second, microseconds
    int current = 0;
    for (int position = 0; position < layout::kLength; ++position) {
        const unsigned char c = position < fieldLength ? text[position] : ' ';
        const layout::Slot slot = layout::kSlots[position];
        bool accepted = false;
        if (slot == layout::digit) {
            accepted = isDigit(c);
            if (accepted) parts[current] = parts[current] * 10 + (c - '0');  // at most 6 digits
        } else if ((slot == layout::dashOrEnd || slot == layout::dotOrEnd) && c == ' ') {
            break;
        } else {
            accepted = c == (slot == layout::dot || slot == layout::dotOrEnd ? '.' : '-');
            ++current;
        }
        if (!accepted) {
            const bool inDate = position < layout::kFirstTimePosition;
            return {inDate ? LayoutFault::date : LayoutFault::time, 0, 0, 0};
        }
    }
    return {LayoutFault::none, parts[0] * 10000 + parts[1] * 100 + parts[2], parts[3] * 10000 + parts[4] * 100 + parts[5],
            parts[6]};
}

}  // namespace qmr
