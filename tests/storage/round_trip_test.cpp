// Timestamp writer then reader gives the value back, form by form, over a
// seeded sample of the calendar 0001-01-01..9999-12-31.  QMRVY2S is called
// by its M name: the same function (the export test checks the addresses),
// and a static link on Windows knows only the M names.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "qmr/qmr.h"
#include "storage_io.h"

namespace {

using namespace std::chrono;
using namespace std::string_literals;

std::vector<qmr_int32> sampleDates() {
    std::mt19937 random(20261204);
    std::uniform_int_distribution<int> day(0, 3652058);
    std::vector<qmr_int32> dates;
    for (int i = 0; i < 5000; ++i) {
        const year_month_day ymd{sys_days{year{1} / January / 1} + days{day(random)}};
        const qmr_int32 date = int(ymd.year()) * 10000 + int(unsigned(ymd.month())) * 100 + int(unsigned(ymd.day()));
        if (date != 17530101 && date != 10101) dates.push_back(date);  // the M and W null dates read back as 0
    }
    return dates;
}

std::string through(storage_test::TextToText writer, storage_test::TextToText reader, const std::string& stamp,
                    std::size_t field) {
    std::string text(field, ' ');  // the host's field; the M and Y readers look at position 24
    writer(stamp.c_str(), text.data());
    char back[QMR_TIMESTAMP_SIZE];
    reader(text.data(), back);
    return std::string(back, sizeof back);
}

// A timestamp of each sample date at a random time of day.  The M and Y
// texts are written with a 24-hour clock and no marker, which their
// readers take as afternoon, so only afternoon hours (12..23), with
// milliseconds, come back unchanged through them.
TEST(StorageRoundTrip, Timestamps) {
    std::mt19937 random(1);
    std::uniform_int_distribution<unsigned> hour(0, 23), sixty(0, 59), micros(0, 999999);
    for (const qmr_int32 date : sampleDates()) {
        char text[32];
        std::snprintf(text, sizeof text, "%08ld%02u%02u%02u%06u", long(date), hour(random), sixty(random),
                      sixty(random), micros(random));
        const std::string w = text;
        EXPECT_EQ(through(QMRVW2S, QMRS2VW, w, 26), w + '\0') << w;
        const std::string o = w.substr(0, 14) + "000000";
        EXPECT_EQ(through(QMRVO2S, QMRS2VO, o, 19), o + '\0') << o;
        const std::string m = w.substr(0, 8) + std::to_string(12 + hour(random) % 12) + w.substr(10, 7) + "000";
        EXPECT_EQ(through(QMRVM2S, QMRS2VM, m, 25), m + '\0') << m;
        EXPECT_EQ(through(QMRVM2S, QMRS2VY, m, 25), m + '\0') << m;
    }
    // The null timestamp is written "01/01/1753 00:00:00:000", with no
    // marker: the Y reader takes the hour 00 as afternoon, 12:00, which is
    // not its null timestamp (W, O and M null texts: timestamp_test.cpp).
    EXPECT_EQ(through(QMRVM2S, QMRS2VY, std::string(20, '0'), 25), "17530101120000000000\0"s);
}

}  // namespace
