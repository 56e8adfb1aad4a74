// Timestamps between the internal text yyyymmddhhmmssffffff and the W, O,
// M and Y storage texts, through the exported conversions.
#include <gtest/gtest.h>

#include <string>

#include "qmr/qmr.h"
#include "storage_io.h"

namespace {

using namespace std::string_literals;
using storage_test::convert;

const std::string kNull = "00000000000000000000\0"s;

struct Case {
    const char* id;
    const char* text;   // the source, exactly as long as its field
    std::string shown;  // what is written, '~' for untouched, and one byte past
};

void check(storage_test::TextToText conversion, const Case& c) {
    EXPECT_EQ(convert(conversion, c.text, c.shown.size()), c.shown) << c.id;
}

TEST(StorageTimestamps, WAndOReaders) {
    const Case w[] = {
        {"s2vw.1", "0001-01-01-00.00.00.000000", kNull + "~"},
        {"s2vw.2", "0001-01-01-00.00.00.000001", "00010101000000000001\0~"s},
        {"s2vw.3", "2001-02-03-04.05.06.123456", "20010203040506123456\0~"s},
        {"s2vw.4", "2001/02/03 04:05:06:123456", "20010203040506123456\0~"s},  // separators not examined
        {"s2vw.6", "  01-0x-01-  .00.00.0000 0", "  010x01  00000000 0\0~"s},  // copied as they stand
    };
    for (const auto& c : w) check(QMRS2VW, c);
    const Case o[] = {
        {"s2vo.1", "0001-01-0100.00.00", kNull + "~"}, {"s2vo.2", "2001-02-0304.05.06", "20010203040506000000\0~"s},
        {"s2vo.4", "0001/01/0100:00:00", kNull + "~"},  // separators not examined
    };
    for (const auto& c : o) check(QMRS2VO, c);
}

// The writers read only the internal characters their form keeps: 20 for
// W, 14 for O and 17 for M, and the fields below are exactly that long.
TEST(StorageTimestamps, Writers) {
    const struct { storage_test::TextToText writer; Case c; } cases[] = {
        {QMRVW2S, {"vw2s.1", "20010203040506123456", "2001-02-03-04.05.06.123456~"}},
        {QMRVW2S, {"vw2s.2", "00000000000000000000", "0001-01-01-00.00.00.000000~"}},
        {QMRVW2S, {"vw2s.4", "00000001000000000000", "0000-00-01-00.00.00.000000~"}},
        {QMRVW2S, {"vw2s.5", "2001 2x3 4 5 6 12345", "2001- 2-x3- 4. 5. 6. 12345~"}},
        {QMRVO2S, {"vo2s.1", "20010203040506", "2001-02-0304.05.06\0~"s}},
        {QMRVO2S, {"vo2s.2", "00000000000000", "0001-01-0100.00.00\0~"s}},
        {QMRVM2S, {"vm2s.1", "20010203040506123", "02/03/2001 04:05:06:123\0~"s}},
        {QMRVM2S, {"vm2s.2", "00000000123000000", "01/01/1753 12:30:00:000\0~"s}},
        {QMRVM2S, {"vm2s.4", "19991231235959999", "12/31/1999 23:59:59:999\0~"s}},
    };
    for (const auto& c : cases) check(c.writer, c.c);
}

// The M and Y readers side by side.  Layouts: 1 when the text starts with
// '0' or '1' and has 'A' or 'P' at 24; 2 when it starts so but has not;
// 3 when it starts otherwise.  Layouts 1 and 2 read at most 25 characters
// and are given 25 here; layout 3 reads 26.
TEST(StorageTimestamps, TwelveHourReaders) {
    const struct {
        const char* id;
        const char* text;
        std::string m;  // QMRS2VM
        std::string y;  // QMRS2VY
    } cases[] = {
        // layout 2: anything but "AM" at 23..24 is afternoon
        {"2.1", "01/15/2001 03:04:05:006PM", "20010115150405006000\0"s, "20010115150405006000\0"s},
        {"2.2", "01/15/2001 12:04:05:006AM", "20010115000405006000\0"s, "20010115000405006000\0"s},
        {"2.3", "01/15/2001 12:04:05:006PM", "20010115120405006000\0"s, "20010115120405006000\0"s},
        {"2.5", "01/15/2001 09:04:05:006  ", "20010115210405006000\0"s, "20010115210405006000\0"s},
        {"2.7", "01/15/2001 03:04:05:006am", "20010115150405006000\0"s, "20010115150405006000\0"s},
        {"2.8", "01/15/2001 1x:04:05:006AM", "200101151x0405006000\0"s, "200101151x0405006000\0"s},
        {"2.9", "01/15/2001 03:04:05:00612", "20010115150405612000\0"s, "20010115150405612000\0"s},
        {"2.10", "01/15/2001 03:04:05:-5 PM", "20010115150405-05000\0"s, "20010115150405-05000\0"s},
        // layout 1: one marker letter at 24
        {"1.1", "01/15/2001  03:04:05:006P", "20010115150405006000\0"s, "20010115150405006000\0"s},
        {"1.2", "01/15/2001  03:04:05:006A", "20010115030405006000\0"s, "20010115030405006000\0"s},
        {"1.3", "01/15/2001  12:04:05:006A", "20010115000405006000\0"s, "20010115000405006000\0"s},
        {"1.4", "01/15/2001   3:04:05:006A", "20010115030405006000\0"s, "20010115030405006000\0"s},
        {"1.6", "01/15/2001  11:59:59:999P", "20010115235959999000\0"s, "20010115235959999000\0"s},
        // layout 3: month names, and the readers' two ways with the hour
        {"3.1", "Jan 15 2001  3:04:05:006PM", "20010115150405006000\0"s, "20010115150405006000\0"s},
        {"3.2", "Jan 15 2001 12:00:00:000AM", "20010115000000000000\0"s, "20010115000000000000\0"s},
        {"3.4", "Jan 15 2001 13:00:00:000PM", "20010115250000000000\0"s, "20010115130000000000\0"s},
        {"3.5", "Jan 15 2001  0:00:00:000PM", "20010115120000000000\0"s, "20010115000000000000\0"s},
        {"3.6", "Jan 15 2001  3:00:00:000  ", "20010115030000000000\0"s, "20010115030000000000\0"s},
        {"3.8", "Jan 15 2001 99:00:00:000PM", "20010115110000000000\0"s, "20010115990000000000\0"s},
        {"3.9", "Jan 15 2001  3:04:05: 6 PM", "20010115150405006000\0"s, "20010115150405 6 000\0"s},
        {"3.10", "Jan 15 2001  3:04:05:00612", "20010115030405612000\0"s, "20010115030405006000\0"s},
        {"3.11", "Foo 15 2001  3:04:05:006PM", "2001~~15150405006000\0"s, "2001~~15150405006000\0"s},
        // the null timestamp: any time of 1753-01-01 for M, only midnight for Y
        {"n.1", "01/01/1753 10:00:00:000AM", kNull, "17530101100000000000\0"s},
        {"n.2", "01/01/1753 12:00:00:000AM", kNull, kNull},
        {"n.3", "01/01/1753 12:00:00:001AM", kNull, "17530101000000001000\0"s},
        {"n.4", "Jan  1 1753 12:00:00:000AM", kNull, kNull},
        {"n.5", "Jan  1 1753  3:00:00:000PM", kNull, "17530101150000000000\0"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convert(QMRS2VM, c.text, c.m.size()), c.m) << c.id << " M";
        EXPECT_EQ(convert(QMRS2VY, c.text, c.y.size()), c.y) << c.id << " Y";
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
