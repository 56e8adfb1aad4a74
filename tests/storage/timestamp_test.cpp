// Timestamps between the internal text yyyymmddhhmmssffffff and the W, O,
// M and Y storage texts, through the exported conversions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "qmr/qmr.h"
#include "storage_io.h"

namespace {

using namespace std::string_literals;
using storage_test::convert;

const std::string kNull = "00000000000000000000\0"s;

// The W and O readers, and the writers, which read only the internal
// characters their form keeps: 20 for W, 14 for O and 17 for M.  What is
// written is shown with '~' for untouched, up to one byte past (ordinary
// values both ways: round_trip_test.cpp).
TEST(StorageTimestamps, WAndOReadersAndTheWriters) {
    const struct { storage_test::TextToText conversion; const char* text; std::string shown; } cases[] = {
        {QMRS2VW, "0001-01-01-00.00.00.000000", kNull + "~"},
        {QMRS2VW, "0001-01-01-00.00.00.000001", "00010101000000000001\0~"s},
        {QMRS2VW, "  01/0x/01   :00:00:0000 0", "  010x01  00000000 0\0~"s},  // separators not examined
        {QMRS2VO, "0001/01/0100:00:00", kNull + "~"}, {QMRS2VO, "2001-02-0304.05.06", "20010203040506000000\0~"s},
        {QMRVW2S, "20010203040506123456", "2001-02-03-04.05.06.123456~"},
        {QMRVW2S, "00000000000000000000", "0001-01-01-00.00.00.000000~"},
        {QMRVW2S, "00000001000000000000", "0000-00-01-00.00.00.000000~"},
        {QMRVW2S, "2001 2x3 4 5 6 12345", "2001- 2-x3- 4. 5. 6. 12345~"},
        {QMRVO2S, "20010203040506", "2001-02-0304.05.06\0~"s}, {QMRVO2S, "00000000000000", "0001-01-0100.00.00\0~"s},
        {QMRVM2S, "20010203040506123", "02/03/2001 04:05:06:123\0~"s},
        {QMRVM2S, "00000000123000000", "01/01/1753 12:30:00:000\0~"s},
    };
    for (const auto& c : cases) EXPECT_EQ(convert(c.conversion, c.text, c.shown.size()), c.shown) << c.text;
}

// The M and Y readers side by side.  Layouts: 1 when the text starts with
// '0' or '1' and has 'A' or 'P' at 24; 2 when it starts so but has not;
// 3 when it starts otherwise.  Layouts 1 and 2 read at most 25 characters
// and are given 25 here; layout 3 reads 26.
TEST(StorageTimestamps, TwelveHourReaders) {
    const struct {
        const char* text;
        const char* m;            // QMRS2VM's 20 characters
        const char* y = nullptr;  // QMRS2VY's, when not the same
    } cases[] = {
        // layout 2: anything but "AM" at 23..24 is afternoon
        {"01/15/2001 03:04:05:006PM", "20010115150405006000"}, {"01/15/2001 12:04:05:006AM", "20010115000405006000"},
        {"01/15/2001 12:04:05:006PM", "20010115120405006000"}, {"01/15/2001 03:04:05:006am", "20010115150405006000"},
        {"01/15/2001 1x:04:05:006AM", "200101151x0405006000"}, {"01/15/2001 03:04:05:00612", "20010115150405612000"},
        {"01/15/2001 03:04:05:12345", "20010115150405123000"},  // only "%03d"'s first three characters
        // layout 1: one marker letter at 24
        {"01/15/2001  03:04:05:006P", "20010115150405006000"}, {"01/15/2001  03:04:05:006A", "20010115030405006000"},
        {"01/15/2001   3:04:05:006A", "20010115030405006000"}, {"01/15/2001  11:59:59:999P", "20010115235959999000"},
        // layout 3: month names, and the readers' two ways with the hour
        {"Jan 15 2001  3:04:05:006PM", "20010115150405006000"}, {"Jan 15 2001 12:00:00:000AM", "20010115000000000000"},
        {"Jan 15 2001 13:00:00:000PM", "20010115250000000000", "20010115130000000000"},
        {"Jan 15 2001  0:00:00:000PM", "20010115120000000000", "20010115000000000000"},
        {"Jan 15 2001  3:00:00:000  ", "20010115030000000000"},
        {"Jan 15 2001 99:00:00:000PM", "20010115110000000000", "20010115990000000000"},
        {"Jan 15 2001  3:04:05: 6 PM", "20010115150405006000", "20010115150405 6 000"},
        {"Jan 15 2001  3:04:05:00612", "20010115030405612000", "20010115030405006000"},
        {"Foo 15 2001  3:04:05:006PM", "2001~~15150405006000"},
        // the null timestamp: any time of 1753-01-01 for M, only midnight for Y
        {"01/01/1753 10:00:00:000AM", "00000000000000000000", "17530101100000000000"},
        {"01/01/1753 12:00:00:000AM", "00000000000000000000"},
        {"01/01/1753 12:00:00:001AM", "00000000000000000000", "17530101000000001000"},
        {"Jan  1 1753 12:00:00:000AM", "00000000000000000000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convert(QMRS2VM, c.text, 21), c.m + "\0"s) << c.text << " M";
        EXPECT_EQ(convert(QMRS2VY, c.text, 21), (c.y ? c.y : c.m) + "\0"s) << c.text << " Y";
    }
}

// A destination laid over its source gets the conversion of the source.
TEST(StorageTimestamps, InPlace) {
    const struct { storage_test::TextToText conversion; const char* text; const char* converted; } cases[] = {
        {QMRVW2S, "20010203040506123456", "2001-02-03-04.05.06.123456"}, {QMRVM2S, "00000000123000000", "01/01/1753 12:30:00:000"},
        {QMRS2VM, "01/15/2001 03:04:05:006PM", "20010115150405006000"}, {QMRS2VM, "Jan 15 2001  3:04:05:006PM", "20010115150405006000"},
        {QMRS2VW, "2001-02-03-04.05.06.123456", "20010203040506123456"},
    };
    for (const auto& c : cases) {
        char buffer[32] = {};
        std::strcpy(buffer, c.text);
        c.conversion(buffer, buffer);
        EXPECT_STREQ(buffer, c.converted) << c.text;
    }
}

TEST(StorageTimestamps, MonthNames) {
    const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int n = 1; n <= 12; ++n) {
        const std::string text = std::string(names[n - 1]) + " 15 2001  3:04:05:006PM";
        const std::string month = (n < 10 ? "0" : "") + std::to_string(n);
        EXPECT_EQ(convert(QMRS2VM, text, 21), "2001" + month + "15150405006000\0"s) << names[n - 1];
    }
}

}  // namespace
