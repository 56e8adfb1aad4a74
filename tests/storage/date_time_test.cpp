// Dates and times to and from the M, Y, W and O storage texts, through the
// exported conversions, with every text laid out byte by byte.
#include <gtest/gtest.h>

#include <string>

#include "qmr/qmr.h"
#include "storage_io.h"

namespace {

using namespace std::string_literals;
using storage_test::readValue;
using storage_test::writeValue;

// Digits that are not plain are read as strtol does: format_oracle_test.
TEST(StorageDatesAndTimes, Readers) {
    const struct {
        const char* id;
        storage_test::TextToValue reader;
        const char* text;  // exactly the layout's length
        qmr_int32 value;
    } cases[] = {
        {"m.1", QMRD2VM, "01-01-1753", 0},
        {"m.2", QMRD2VY, "01/01/1753", 0},  // separators are not examined
        {"m.3", QMRD2VM, "12-31-1999", 19991231},
        {"m.4", QMRD2VY, "          ", 0},
        {"m.5", QMRD2VM, "02-01-1753", 17530201},
        {"m.6", QMRD2VY, "01-01-1754", 17540101},
        {"m.7", QMRD2VM, "1\0-01-2000", 20001},  // "20001\0" "01": a NUL ends the number
        {"w.1", QMRD2VW, "0001-01-01", 0},
        {"w.2", QMRD2VW, "0001/01/01", 0},
        {"w.3", QMRD2VW, "1999-12-31", 19991231},
        {"w.4", QMRD2VW, "0001-01-02", 10102},
        {"w.5", QMRD2VW, "1753-01-01", 17530101},  // the M form's null date is an ordinary date here
        {"tw.1", QMRT2VW, "09.30.05", 93005},
        {"tw.2", QMRT2VW, "24:00:00", 240000},
        {"to.1", QMRT2VO, "0001-01-0109.30.05", 93005},
        {"to.2", QMRT2VO, "xxxxxxxxxx23.59.59", 235959},  // the date part is not examined
    };
    for (const auto& c : cases) {
        const std::size_t length = c.reader == QMRT2VW ? 8 : c.reader == QMRT2VO ? 18 : 10;
        EXPECT_EQ(readValue(c.reader, std::string(c.text, length)), c.value) << c.id;
    }
}

// The written bytes and one byte past the longest a writer may write.
TEST(StorageDatesAndTimes, Writers) {
    const struct {
        const char* id;
        storage_test::ValueToText writer;
        qmr_int32 value;
        std::string shown;
    } cases[] = {
        {"vm2d.1", QMRVM2D, 0, "01-01-1753\0~"s},
        {"vm2d.2", QMRVM2D, 20010203, "02-03-2001\0~"s},
        {"vm2d.4", QMRVM2D, -5, "00-00--000\0~"s},        // "%08.8ld" gives "-00000005"
        {"vm2d.5", QMRVM2D, 123456789, "56-78-1234\0~"s},
        {"vw2d.1", QMRVW2D, 0, "0001-01-01~~"},
        {"vw2d.2", QMRVW2D, 20010203, "2001-02-03~~"},
        {"vw2d.4", QMRVW2D, -5, "-000-00-00~~"},
        {"vm2t.1", QMRVM2T, 0, "00:00:00\0~"s},
        {"vm2t.3", QMRVM2T, -1, "-0:00:01\0~"s},  // "%06ld" gives "-00001"
        {"vm2t.4", QMRVM2T, 1234567, "12:34:56\0~"s},
        {"vw2t.1", QMRVW2T, 0, "00.00.00~~"},
        {"vw2t.2", QMRVW2T, 93005, "09.30.05~~"},
        {"vw2t.3", QMRVW2T, 1234567, "12.34.56~~"},
        {"vo2t.1", QMRVO2T, 240000, "0001-01-0100.00.00\0~"s},
        {"vo2t.2", QMRVO2T, 93005, "0001-01-0109.30.05\0~"s},
        {"vo2t.3", QMRVO2T, 245959, "0001-01-0100.59.59\0~"s},
        {"vo2t.4", QMRVO2T, 2400, "0001-01-0100.24.00\0~"s},  // only the hour 24 becomes 00
        {"vo2t.5", QMRVO2T, 2412345, "0001-01-0100.12.34\0~"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(writeValue(c.writer, c.value, c.shown.size()), c.shown) << c.id;
    }
}

// Every export goes through one of three shells; one of each.
TEST(StorageConversions, NullArgumentsChangeNothing) {
    qmr_int32 value = 7;
    char text[32] = "unchanged";
    EXPECT_EQ(QMRD2VM(nullptr, &value) + QMRD2VW("0001-01-01", nullptr) + QMRVM2D(20260101, nullptr), 0);
    EXPECT_EQ(QMRS2VM(nullptr, text) + QMRS2VY("Jan 15 2001  3:04:05:006PM", nullptr), 0);
    EXPECT_EQ(value, 7);
    EXPECT_STREQ(text, "unchanged");
}

}  // namespace
