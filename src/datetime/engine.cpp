// The date request engine: validates dates and times, converts between
// the yyyymmdd, century (CYYMMDD) and two-digit-year forms, splits a
// timestamp text and reads the clock.
//
// The host's engine works on a copy of the caller's block and writes the
// whole copy back at the end, success or not, so that a failed request
// leaves in the block whatever was computed before the failure.  This
// engine writes the same fields in the same order directly into the
// block, which leaves the same bytes.  Its date text and time text are
// working storage of one request, on the stack: nothing observes them
// between requests, and no two threads can share them.
#include <cstdint>
#include <cstring>

#include "datetime/clock.h"
#include "datetime/day_number.h"
#include "datetime/request.h"
#include "frame/digits.h"

namespace qmr {
namespace {

constexpr char kInvalidRequest[] = "Invalid request code.";
constexpr char kInvalidDate[] = "Invalid date input.";
constexpr char kInvalidTime[] = "Invalid time specified.";
constexpr char kInvalidTimestamp[] = "Invalid timestamp input.";
static_assert(sizeof kInvalidTimestamp <= QMR_DR_MESSAGE_SIZE);

using Failure = const char*;  // a message, or null for success

struct EngineText {
    char date[8];  // yyyymmdd: year 0..3, month 4..5, day 6..7
    char time[8];  // hhmmssff: hours 0..1, minutes 2..3, seconds 4..5, hundredths 6..7
};

constexpr std::uint32_t kLargest8Digits = 99999999;
constexpr std::int32_t kCenturyBase = 19000000;        // century digit 0 is the 1900s
constexpr std::int32_t kLargestScaledTime = 24000000;  // 24:00:00.00

// Format date: the value as an unsigned number of 8 digits; one that needs
// more (every negative value among them) gives "00000000".
void formatDate(char* text, std::int32_t date) noexcept {
    const auto u = static_cast<std::uint32_t>(date);
    putDigits(text, u <= kLargest8Digits ? u : 0, 8);
}

// Decode century form: CYYMMDD + 19000000, falling back to "19000101";
// century digits 7, 8 and 9 (leading 26, 27, 28) become 16, 17 and 18.
void decodeCentury(char* text, std::int32_t cyymmdd) noexcept {
    const auto u = static_cast<std::uint32_t>(wrapAdd(cyymmdd, kCenturyBase));
    putDigits(text, u <= kLargest8Digits ? u : 19000101u, 8);
    if ((text[1] & 0x0F) > 5) text[0] = '1';
}

bool validDate(std::int32_t year, std::int32_t month, std::int32_t day) noexcept {
    if (month < 0 || month > 12 || day < 0 || day > 31 || year < 0 || year > 9999) return false;
    if (month == 2 && (day > 29 || (day > 28 && !isLeapYear(year)))) return false;
    if ((month == 4 || month == 6 || month == 9 || month == 11) && day > 30) return false;
    return true;
}

// Month 0 and day 0 pass: "00000000" and dates such as 20260000 are valid.
bool validDateText(const char* text) noexcept {
    return validDate(readDecimal(text, 4), readDecimal(text + 4, 2), readDecimal(text + 6, 2));
}

bool minutesAndSecondsValid(const char* timeText) noexcept {
    return readDecimal(timeText + 2, 2) <= 59 && readDecimal(timeText + 4, 2) <= 59;
}

// The date output step, shared by every request that produces a date.
Failure dateOutput(const RequestView& work, char* text) noexcept {
    if (work.dateForm() == '2') {
        text[0] = text[1] = '0';  // YYMMDD
    } else if (work.dateForm() == '1') {
        const std::int32_t year = readDecimal(text, 4);
        if (year != 0) {
            if (year < 1600 || year > 2599) return kInvalidDate;
            putDigits(text, static_cast<std::uint32_t>(year - 900), 4);  // 2026 -> 1126, 1650 -> 0750
            text[0] = '0';  // a zero, the century digit, the two-digit year
        }
    }
    work.setDate(readDecimal(text, 8));
    return nullptr;
}

void readClockInto(EngineText& t) noexcept {
    const ClockReading now = readClock();
    putLeading(t.date, now.year, 4);
    putDigits(t.date + 4, unsigned(now.month), 2);
    putDigits(t.date + 6, unsigned(now.day), 2);
    putDigits(t.time, unsigned(now.hour), 2);
    putDigits(t.time + 2, unsigned(now.minute), 2);
    putDigits(t.time + 4, unsigned(now.second), 2);
    putDigits(t.time + 6, unsigned(now.millisecond / 10), 2);
}

// Request '0'.  The texts it would write hold digits only, so their
// slices are read straight from the numbers.
Failure validateRequest(const RequestView& work, EngineText& t) noexcept {
    const std::int32_t date = work.date();
    if (date != 0) {
        if (work.dateForm() == '1') {
            decodeCentury(t.date, date);
            if (!validDateText(t.date)) return kInvalidDate;
        } else {
            auto u = static_cast<std::uint32_t>(date);
            if (u > kLargest8Digits) u = 0;  // "00000000"
            const auto year = static_cast<std::int32_t>(u / 10000);
            if (!validDate(year, static_cast<std::int32_t>(u / 100 % 100), static_cast<std::int32_t>(u % 100))) {
                return kInvalidDate;
            }
        }
    }
    const std::int32_t time = work.time();
    if (time != 0) {
        // Scaled in 64 bits: a 32-bit product could wrap back into range.
        const std::int64_t scale = work.timeForm() == '1' ? 10 : work.timeForm() == '2' ? 100 : 1;
        const std::int64_t hundredths = time * scale;
        if (hundredths < 0 || hundredths > kLargestScaledTime) return kInvalidTime;
        if (hundredths / 100 % 100 > 59 || hundredths / 10000 % 100 > 59) return kInvalidTime;
    }
    return nullptr;
}

// Requests '1' and '3'.
Failure currentDateRequest(const RequestView& work, EngineText& t, bool addOffset) noexcept {
    readClockInto(t);
    std::size_t kept = 8;
    if (work.timeForm() == '2') {
        kept = 6;
    } else if (work.timeForm() == '1') {
        kept = 7;
    } else {
        t.time[7] = '0';  // hundredths with tenths precision
    }
    work.setTime(readDecimal(t.time, kept));
    if (addOffset) {
        const std::int32_t today = readDecimal(t.date, 8);
        const std::int64_t target = std::int64_t{dayNumber(today)} + work.dayOffset();
        if (target < 1 || target > kDayNumberOf99991231) return kInvalidDate;
        putDigits(t.date, static_cast<std::uint32_t>(dateOfDayNumber(static_cast<std::int32_t>(target))), 8);
    }
    return dateOutput(work, t.date);
}

// Request '6': timestamp text to date and time hhmmss.
Failure timestampRequest(const RequestView& work, EngineText& t) noexcept {
    const unsigned char* stamp = work.timestampText();
    if (stamp[0] == 0) return kInvalidTimestamp;
    std::memcpy(t.date, stamp, 8);
    work.setDate(readDecimal(t.date, 8));
    if (!validDateText(t.date)) return kInvalidDate;
    const std::int32_t time = readDecimal(reinterpret_cast<const char*>(stamp) + 8, 6);
    work.setTime(time);
    if (time > 240000) return kInvalidTime;
    std::memcpy(t.time, stamp + 8, 6);
    t.time[6] = t.time[7] = '0';
    if (!minutesAndSecondsValid(t.time)) return kInvalidTime;
    return dateOutput(work, t.date);
}

// Request '7': the timestamp text carries hundredths, `time` a zero fraction.
Failure currentTimestampRequest(const RequestView& work, EngineText& t) noexcept {
    readClockInto(t);
    unsigned char* stamp = work.timestampText();
    std::memcpy(stamp, t.date, 8);
    std::memcpy(stamp + 8, t.time, 8);
    std::memcpy(stamp + 16, "0000", 4);
    const std::int32_t hhmmss = readDecimal(t.time, 6);
    const std::int32_t scale = work.timeForm() == '2' ? 1 : work.timeForm() == '1' ? 10 : 100;
    work.setTime(hhmmss * scale);
    return dateOutput(work, t.date);
}

Failure perform(const RequestView& work) noexcept {
    EngineText t;
    switch (work.requestCode()) {
    case '0':
        return validateRequest(work, t);
    case '1':
        return currentDateRequest(work, t, false);
    case '3':
        return currentDateRequest(work, t, true);
    case '4':
        decodeCentury(t.date, work.date());
        return validDateText(t.date) ? dateOutput(work, t.date) : kInvalidDate;
    case '5':
        formatDate(t.date, work.date());
        return validDateText(t.date) ? dateOutput(work, t.date) : kInvalidDate;
    case '6':
        return timestampRequest(work, t);
    case '7':
        return currentTimestampRequest(work, t);
    default:
        return kInvalidRequest;
    }
}

}  // namespace

void runDateRequest(unsigned char* block) noexcept {
    const RequestView work(block);
    work.setReturnCode(0);
    if (const Failure failure = perform(work)) {
        work.setReturnCode(8);
        work.setMessage(failure);
    }
}

}  // namespace qmr
