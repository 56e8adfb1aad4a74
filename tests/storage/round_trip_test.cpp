// Writer then reader gives the value back, form by form, for a seeded
// sample of the calendar 0001-01-01..9999-12-31 and for the null date.
// The Y form's writers are called by their M names: QMRVY2D, QMRVY2T and
// QMRVY2S are the same functions (the export test checks the addresses),
// and a static link on Windows knows only the M names.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "qmr/qmr.h"
#include "storage_io.h"

namespace {

using namespace std::chrono;
using namespace std::string_literals;

constexpr qmr_int32 kMNullDate = 17530101;  // 01-01-1753: read back as 0
constexpr qmr_int32 kWNullDate = 10101;     // 0001-01-01: read back as 0

std::vector<qmr_int32> sampleDates() {
    std::mt19937 random(20261204);
    std::uniform_int_distribution<int> day(0, 3652058);
    std::vector<qmr_int32> dates;
    for (int i = 0; i < 5000; ++i) {
        const year_month_day ymd{sys_days{year{1} / January / 1} + days{day(random)}};
        const qmr_int32 date = int(ymd.year()) * 10000 + int(unsigned(ymd.month())) * 100 + int(unsigned(ymd.day()));
        if (date != kMNullDate && date != kWNullDate) dates.push_back(date);
    }
    dates.push_back(0);
    return dates;
}

std::string digits(unsigned value, int width) {
    std::string text(width, '0');
    for (int i = width - 1; i >= 0; --i, value /= 10) text[i] = static_cast<char>('0' + value % 10);
    return text;
}

TEST(StorageRoundTrip, Dates) {
    for (const qmr_int32 date : sampleDates()) {
        char text[11];
        qmr_int32 back = -1;
        QMRVM2D(date, text);
        QMRD2VM(text, &back);
        EXPECT_EQ(back, date) << "M " << date;
        QMRD2VY(text, &back);
        EXPECT_EQ(back, date) << "Y " << date;
        QMRVW2D(date, text);
        QMRD2VW(text, &back);
        EXPECT_EQ(back, date) << "W " << date;
    }
}

TEST(StorageRoundTrip, Times) {
    for (qmr_int32 time = 0; time < 240000; time += 37) {  // every 37th second-step value, valid or not
        if (time % 100 > 59 || time / 100 % 100 > 59) continue;
        char text[19];
        qmr_int32 back = -1;
        QMRVW2T(time, text);
        QMRT2VW(text, &back);
        EXPECT_EQ(back, time) << "W " << time;
        QMRVO2T(time, text);
        QMRT2VO(text, &back);
        EXPECT_EQ(back, time) << "O " << time;
    }
}

// A timestamp of `date` at a random time of day; `afternoon` keeps the hour
// in 12..23.  The M and Y texts are written with a 24-hour clock and no
// marker, which their readers take as afternoon, so only afternoon hours
// come back unchanged through them.
std::string stampOf(qmr_int32 date, std::mt19937& random, bool afternoon) {
    std::uniform_int_distribution<unsigned> hour(afternoon ? 12 : 0, 23), sixty(0, 59), micros(0, 999999);
    return digits(static_cast<unsigned>(date), 8) + digits(hour(random), 2) + digits(sixty(random), 2) +
           digits(sixty(random), 2) + digits(micros(random), 6);
}

std::string through(storage_test::TextToText writer, storage_test::TextToText reader, const std::string& stamp,
                    std::size_t field) {
    std::string text(field, ' ');  // the host's field; the M and Y readers look at position 24
    writer(stamp.c_str(), text.data());
    char back[QMR_TIMESTAMP_SIZE];
    reader(text.data(), back);
    return std::string(back, sizeof back);
}

TEST(StorageRoundTrip, Timestamps) {
    std::mt19937 random(1);
    for (const qmr_int32 date : sampleDates()) {
        if (date == 0) continue;
        const std::string w = stampOf(date, random, false);
        EXPECT_EQ(through(QMRVW2S, QMRS2VW, w, 26), w + '\0') << w;
        const std::string o = w.substr(0, 14) + "000000";
        EXPECT_EQ(through(QMRVO2S, QMRS2VO, o, 19), o + '\0') << o;
        const std::string m = stampOf(date, random, true).substr(0, 17) + "000";
        EXPECT_EQ(through(QMRVM2S, QMRS2VM, m, 25), m + '\0') << m;
        EXPECT_EQ(through(QMRVM2S, QMRS2VY, m, 25), m + '\0') << m;
    }
}

TEST(StorageRoundTrip, NullTimestamp) {
    const std::string null(20, '0');
    EXPECT_EQ(through(QMRVW2S, QMRS2VW, null, 26), null + '\0');
    EXPECT_EQ(through(QMRVO2S, QMRS2VO, null, 19), null + '\0');
    EXPECT_EQ(through(QMRVM2S, QMRS2VM, null, 25), null + '\0');
    // "01/01/1753 00:00:00:000" has no marker, so the Y reader takes the
    // hour 00 as afternoon: 12:00, which is not its null timestamp.
    EXPECT_EQ(through(QMRVM2S, QMRS2VY, null, 25), "17530101120000000000\0"s);
}

}  // namespace
