// Dates and times to and from the M, Y, W and O storage texts: the null
// dates, then the writers against snprintf's "%08.8ld" and "%06ld" and the
// readers against strtol, over sampled values and texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "qmr/qmr.h"
#include "frame/digits.h"
#include "storage_io.h"

namespace {

using namespace std::string_literals;
using storage_test::readValue;
using storage_test::writeValue;

// Each form's null date, and the texts next to it.
TEST(StorageDatesAndTimes, NullDates) {
    const struct {
        storage_test::TextToValue reader;
        const char* text;  // exactly the layout's length
        qmr_int32 value;
    } cases[] = {
        {QMRD2VM, "01-01-1753", 0},        {QMRD2VY, "01/01/1753", 0},  // separators are not examined
        {QMRD2VM, "02-01-1753", 17530201}, {QMRD2VY, "01-01-1754", 17540101},
        {QMRD2VW, "0001/01/01", 0},        {QMRD2VW, "0001-01-02", 10102},
        {QMRD2VW, "1753-01-01", 17530101},  // the M form's null date is an ordinary date here
    };
    for (const auto& c : cases) EXPECT_EQ(readValue(c.reader, c.text), c.value) << c.text;
    EXPECT_EQ(writeValue(QMRVM2D, 0, 12), "01-01-1753\0~"s);  // and one byte past the longest write
    EXPECT_EQ(writeValue(QMRVW2D, 0, 12), "0001-01-01~~");
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

// The edges of every width, and random values as often short as long.
std::vector<std::int32_t> sampleValues() {
    std::vector<std::int32_t> values = {INT32_MIN, INT32_MAX, 0};
    for (std::int64_t p = 1; p <= 1000000000; p *= 10) {
        for (const std::int64_t v : {p, p - 1, -p, 1 - p}) values.push_back(static_cast<std::int32_t>(v));
    }
    std::mt19937 random(1753);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    for (int i = 0; i < 20000; ++i) values.push_back(any(random) >> (i % 31));
    return values;
}

std::string first(std::size_t n, const char* format, std::int32_t value) {
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<long>(value));
    return std::string(text).substr(0, n);
}

TEST(StorageFormats, WritersPlaceThePrintfText) {
    for (const std::int32_t v : sampleValues()) {
        char out[3];  // what the twelve-hour readers write for a number outside 0..99 (0..999)
        qmr::putLeading(out, v, 2);
        EXPECT_EQ(std::string(out, 2), first(2, "%02ld", v)) << v;
        qmr::putLeading(out, v, 3);
        EXPECT_EQ(std::string(out, 3), first(3, "%03ld", v)) << v;
        if (v != 0) {  // the null date has texts of its own
            const std::string d = first(8, "%08.8ld", v);
            const std::string yyyy = d.substr(0, 4), mm = d.substr(4, 2), dd = d.substr(6, 2);
            EXPECT_EQ(writeValue(QMRVM2D, v, 11), mm + '-' + dd + '-' + yyyy + '\0') << v;
            EXPECT_EQ(writeValue(QMRVW2D, v, 11), yyyy + '-' + mm + '-' + dd + '~') << v;
        }
        const std::string t = first(6, "%06ld", v);
        const std::string hh = t.substr(0, 2), mi = t.substr(2, 2), ss = t.substr(4, 2);
        EXPECT_EQ(writeValue(QMRVM2T, v, 9), hh + ':' + mi + ':' + ss + '\0') << v;
        EXPECT_EQ(writeValue(QMRVW2T, v, 9), hh + '.' + mi + '.' + ss + '~') << v;
        EXPECT_EQ(writeValue(QMRVO2T, v, 19), "0001-01-01" + (hh == "24" ? "00"s : hh) + '.' + mi + '.' + ss + '\0')
            << v;
    }
}

// Texts of the characters that steer strtol, at random.
std::vector<std::string> sampleTexts(std::size_t length) {
    static const std::string alphabet = "0123456789012345678901234567890123456789 \t+-x\0"s;
    std::mt19937 random(static_cast<unsigned>(length));
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::vector<std::string> texts;
    for (int i = 0; i < 20000; ++i) {
        std::string text(length, ' ');
        for (char& c : text) c = alphabet[pick(random)];
        texts.push_back(text);
    }
    return texts;
}

qmr_int32 strtolOf(const std::string& digits) { return static_cast<qmr_int32>(std::strtol(digits.c_str(), nullptr, 10)); }

TEST(StorageFormats, ReadersReadAsStrtol) {
    for (const std::string& t : sampleTexts(10)) {
        const std::string m = t.substr(6, 4) + t.substr(0, 2) + t.substr(3, 2);
        EXPECT_EQ(readValue(QMRD2VM, t), m == "17530101" ? 0 : strtolOf(m)) << t;
        EXPECT_EQ(readValue(QMRD2VY, t), readValue(QMRD2VM, t)) << t;
        const std::string w = t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2);
        EXPECT_EQ(readValue(QMRD2VW, t), w == "00010101" ? 0 : strtolOf(w)) << t;
        EXPECT_EQ(readValue(QMRT2VW, t.substr(0, 8)), strtolOf(t.substr(0, 2) + t.substr(3, 2) + t.substr(6, 2))) << t;
    }
    for (const std::string& t : sampleTexts(18)) {
        EXPECT_EQ(readValue(QMRT2VO, t), strtolOf(t.substr(10, 2) + t.substr(13, 2) + t.substr(16, 2))) << t;
    }
}

}  // namespace
