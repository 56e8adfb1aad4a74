// Reading a time typed as text (QMRFTMEC).
//
// The eight-character text is scanned into a picture: every number (one
// or two digits) stands as "HH", "MM" or "SS" by its place, an 'A' or 'P'
// stands with the character after it, blanks vanish and any other
// character stands as itself.  The picture must be one of twelve:
//
//   "12AM"   -> HHAM       "1230"     -> HHMM       "12:30"    -> HH:MM
//   "12PM"   -> HHPM       "123045"   -> HHMMSS     "12:30:45" -> HH:MM:SS
//   "1230AM" -> HHMMAM     "12:30 AM" -> HH:MMAM    "12.30"    -> HH.MM
//   "1230PM" -> HHMMPM     "12:30 PM" -> HH:MMPM    "12.30.45" -> HH.MM.SS
//
// Letters typed in the text are not told apart from those numbers stand
// for ("12MM" reads as HHMM, 12:00), and a number is cut after two digits
// ("12345" reads as 12, 34 and 5).  A picture longer than eight characters
// is none of the twelve.
#pragma once

#include <cstdint>

namespace qmr {

constexpr int kTimeTextLength = 8;

enum class PictureFault { none, picture, hour };

struct TimeFromText {
    PictureFault fault;  // picture: " 142"; hour: AM/PM with an hour outside 1..12
    std::int32_t time;   // hhmmss, not yet checked by the engine
};

TimeFromText readTimeText(const char* text) noexcept;

}  // namespace qmr
