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

struct ReadCase {
    const char* id;
    const char* text;  // exactly the layout's length
    qmr_int32 value;
};

TEST(StorageDates, MFormReaders) {
    const ReadCase cases[] = {
        {"m.1", "01-01-1753", 0},
        {"m.2", "01/01/1753", 0},  // separators are not examined
        {"m.3", "12-31-1999", 19991231},
        {"m.4", "          ", 0},
        {"m.5", "02-01-1753", 17530201},
        {"m.6", "01-02-1753", 17530102},
        {"m.7", "01-01-1754", 17540101},
        {"m.8", "12-3x-1999", 1999123},   // yyyymmdd "1999123x" stops at the x
        {"m.9", " 1-05-2001", 2001},      // "2001 105" stops at the blank
        {"m.10", "01-01-    ", 101},      // "    0101": leading blanks skipped
        {"m.11", "01-01--999", -9990101}, // a sign leads the year
        {"m.12", "00-00-0000", 0},
        {"m.13", "1\0-01-2000", 20001},  // "20001\0" "01": a NUL ends the number
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readValue(QMRD2VM, std::string(c.text, 10)), c.value) << c.id;
        EXPECT_EQ(readValue(QMRD2VY, std::string(c.text, 10)), c.value) << c.id << " (Y)";
    }
}

TEST(StorageDates, WFormReader) {
    const ReadCase cases[] = {
        {"w.1", "0001-01-01", 0},
        {"w.2", "0001/01/01", 0},
        {"w.3", "1999-12-31", 19991231},
        {"w.4", "0001-01-02", 10102},
        {"w.5", "          ", 0},
        {"w.6", "1753-01-01", 17530101},  // the M form's null date is an ordinary date here
        {"w.7", "+999-12-31", 9991231},
        {"w.8", "2026-1 -04", 20261},
    };
    for (const auto& c : cases) EXPECT_EQ(readValue(QMRD2VW, c.text), c.value) << c.id;
}

TEST(StorageTimes, Readers) {
    const struct {
        const char* id;
        storage_test::TextToValue reader;
        const char* text;
        qmr_int32 value;
    } cases[] = {
        {"tw.1", QMRT2VW, "09.30.05", 93005},
        {"tw.2", QMRT2VW, "09:30:05", 93005},
        {"tw.3", QMRT2VW, "        ", 0},
        {"tw.4", QMRT2VW, "24.00.00", 240000},
        {"tw.5", QMRT2VW, "9 .30.05", 9},
        {"tw.6", QMRT2VW, "-1.00.00", -10000},
        {"to.1", QMRT2VO, "0001-01-0109.30.05", 93005},
        {"to.2", QMRT2VO, "xxxxxxxxxx23.59.59", 235959},  // the date part is not examined
        {"to.3", QMRT2VO, "0001-01-01  .  .05", 5},
        {"to.4", QMRT2VO, "0001-01-01        ", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(readValue(c.reader, c.text), c.value) << c.id;
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
        {"vm2d.3", QMRVM2D, 17530101, "01-01-1753\0~"s},  // reads back as the null date
        {"vm2d.4", QMRVM2D, -5, "00-00--000\0~"s},        // "%08.8ld" gives "-00000005"
        {"vm2d.5", QMRVM2D, 123456789, "56-78-1234\0~"s},
        {"vw2d.1", QMRVW2D, 0, "0001-01-01~~"},
        {"vw2d.2", QMRVW2D, 20010203, "2001-02-03~~"},
        {"vw2d.3", QMRVW2D, 10101, "0001-01-01~~"},
        {"vw2d.4", QMRVW2D, -5, "-000-00-00~~"},
        {"vw2d.5", QMRVW2D, 99999999, "9999-99-99~~"},
        {"vm2t.1", QMRVM2T, 0, "00:00:00\0~"s},
        {"vm2t.2", QMRVM2T, 134525, "13:45:25\0~"s},
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
        {"vo2t.6", QMRVO2T, 0, "0001-01-0100.00.00\0~"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(writeValue(c.writer, c.value, c.shown.size()), c.shown) << c.id;
    }
}

TEST(StorageConversions, NullArgumentsChangeNothing) {
    qmr_int32 value = 7;
    char text[32] = "unchanged";
    EXPECT_EQ(QMRD2VM(nullptr, &value), 0);
    EXPECT_EQ(QMRD2VW("0001-01-01", nullptr), 0);
    EXPECT_EQ(QMRT2VO(nullptr, &value), 0);
    EXPECT_EQ(QMRVM2D(20260101, nullptr), 0);
    EXPECT_EQ(QMRS2VM(nullptr, text), 0);
    EXPECT_EQ(QMRS2VY("Jan 15 2001  3:04:05:006PM", nullptr), 0);
    EXPECT_EQ(QMRVW2S(nullptr, text), 0);
    EXPECT_EQ(value, 7);
    EXPECT_STREQ(text, "unchanged");
}

}  // namespace
