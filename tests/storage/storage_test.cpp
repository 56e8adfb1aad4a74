// The storage conversions through qmr.h against the models of
// tests/support (strtol, snprintf, the layout table) over edge and seeded
// random values and texts.  Every source is a heap field of exactly its
// layout's length, so that a read past it is an AddressSanitizer error;
// every output lies between guard bytes that must stay untouched.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "qmr/qmr.h"
#include "storage/twelve_hour_stamp.h"
#include "support/storage_model.h"

namespace {

namespace model = qmr_model;
using namespace std::string_literals;
using Convert = qmr_int32(QMR_CALL*)(const char*, char*);

// What `call(out)` writes into `size` bytes: the bytes, '~' for one left
// as it was over fills of 0x00 and of 0xFF; a write into the 8 guard
// bytes on either side fails the test.
template <typename Call>
std::string written(std::size_t size, Call call) {
    std::vector<unsigned char> zeros(size + 16, 0x00), ones(size + 16, 0xFF);
    EXPECT_EQ(call(reinterpret_cast<char*>(zeros.data() + 8)) | call(reinterpret_cast<char*>(ones.data() + 8)), 0);
    std::string shown;
    for (std::size_t i = 0; i < zeros.size(); ++i) {
        const bool untouched = zeros[i] == 0x00 && ones[i] == 0xFF;
        if (i >= 8 && i < 8 + size) {
            shown += untouched ? '~' : static_cast<char>(zeros[i]);
        } else {
            EXPECT_TRUE(untouched) << "wrote at " << int(i) - 8;
        }
    }
    return shown;
}

// `expected`, and one byte past it left alone.
template <typename Call>
void expectWritten(const std::string& expected, Call call, qmr_int32 value) {
    EXPECT_EQ(written(expected.size() + 1, call), expected + '~') << value;
}

std::vector<char> field(const std::string& text) { return std::vector<char>(text.begin(), text.end()); }

qmr_int32 readValue(qmr_int32(QMR_CALL* reader)(const char*, qmr_int32*), const std::string& text) {
    std::vector<char> source = field(text);
    qmr_int32 value = -1;
    EXPECT_EQ(reader(source.data(), &value), 0);
    return value;
}

std::string convert(Convert conversion, const std::string& text, std::size_t size) {
    std::vector<char> source = field(text);
    return written(size, [&](char* out) { return conversion(source.data(), out); });
}

// The edges of every width, and random values as often short as long.
std::vector<qmr_int32> sampleValues() {
    std::vector<qmr_int32> values = {INT32_MIN, INT32_MAX, 0, 17530101, 10101};
    for (std::int64_t p = 1; p <= 1000000000; p *= 10) {
        for (const std::int64_t v : {p, p - 1, -p, 1 - p}) values.push_back(static_cast<qmr_int32>(v));
    }
    std::mt19937 random(1753);
    for (int i = 0; i < 20000; ++i) values.push_back(static_cast<qmr_int32>(random()) >> (i % 31));
    return values;
}

// Texts of the characters that steer strtol, digits mostly.
std::string randomText(std::mt19937& random, std::size_t length) {
    static const std::string alphabet = "0123456789012345678901234567890123456789 \t+-x\0\xC0"s;
    std::string text(length, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
}

TEST(Storage, DatesAndTimesAgreeWithSnprintfAndStrtol) {
    for (const qmr_int32 v : sampleValues()) {
        expectWritten(model::writeMDate(v), [&](char* out) { return QMRVM2D(v, out); }, v);
        expectWritten(model::writeWDate(v), [&](char* out) { return QMRVW2D(v, out); }, v);
        expectWritten(model::writeTime(v, ':') + '\0', [&](char* out) { return QMRVM2T(v, out); }, v);
        expectWritten(model::writeTime(v, '.'), [&](char* out) { return QMRVW2T(v, out); }, v);
        expectWritten(model::writeOTime(v), [&](char* out) { return QMRVO2T(v, out); }, v);
        const std::string m = model::writeMDate(v).substr(0, 10), w = model::writeWDate(v);  // read back
        EXPECT_EQ(readValue(QMRD2VM, m), model::readMDate(m)) << m;
        EXPECT_EQ(readValue(QMRD2VW, w), model::readWDate(w)) << w;
    }
    std::mt19937 random(10);
    for (int i = 0; i < 20000; ++i) {
        const std::string t = randomText(random, 18);
        EXPECT_EQ(readValue(QMRD2VM, t.substr(0, 10)), model::readMDate(t)) << t;
        EXPECT_EQ(readValue(QMRD2VY, t.substr(0, 10)), model::readMDate(t)) << t;
        EXPECT_EQ(readValue(QMRD2VW, t.substr(0, 10)), model::readWDate(t)) << t;
        EXPECT_EQ(readValue(QMRT2VW, t.substr(0, 8)), model::readWTime(t)) << t;
        EXPECT_EQ(readValue(QMRT2VO, t), model::readOTime(t)) << t;
    }
}

TEST(Storage, TimestampsAgreeWithTheirLayouts) {
    std::mt19937 random(20);
    for (int i = 0; i < 20000; ++i) {
        std::string stamp = randomText(random, 20), text = randomText(random, 26);
        if (i % 3 == 0) stamp.replace(0, 8, "00000000");
        if (i % 5 == 0) text.replace(0, 19, i % 2 ? "0001-01-01-00.00.00" : "0001-01-0100.00.00 ");
        EXPECT_EQ(convert(QMRVW2S, stamp, 26), model::writeStamp(stamp, 'W')) << stamp;
        EXPECT_EQ(convert(QMRVO2S, stamp.substr(0, 14), 19), model::writeStamp(stamp, 'O')) << stamp;
        EXPECT_EQ(convert(QMRVM2S, stamp.substr(0, 17), 24), model::writeStamp(stamp, 'M')) << stamp;
        EXPECT_EQ(convert(QMRS2VW, text, 21), model::readStamp(text, false)) << text;
        EXPECT_EQ(convert(QMRS2VO, text.substr(0, 18), 21), model::readStamp(text, true)) << text;
    }
}

// Texts of the three layouts with numbers of two (three) digits, now and
// then a character changed, against the model; and the fast path, which
// the plain texts take, against the plain one.
TEST(Storage, TwelveHourReadersAgreeWithTheLayoutTable) {
    using qmr::storage::TwelveHourReader;
    static const char* const shapes[] = {"%02d/%02d/2001  %02d:%02d:%02d:%03d%s",
                                         "%02d/%02d/1753 %02d:%02d:%02d:%03d%s", "%.3s %02d 1753 %02d:%02d:%02d:%03d%s"};
    static const char* const markers[] = {"PM", "AM", "P ", "A ", "  ", "am"};
    static const std::string odd = " -+:\t\xC0" "A"s + '\0';
    std::mt19937 random(24);
    for (int i = 0; i < 60000; ++i) {
        const int shape = i % 3, hour = int(random() % 100), day = int(random() % 3);
        const char* month = &"JanDecFoo"[3 * (random() % 3)];
        char text[64];
        if (shape == 2) {
            std::snprintf(text, sizeof text, shapes[2], month, day, hour, int(random() % 60), int(random() % 60),
                          int(random() % 1000), markers[random() % 6]);
        } else {
            std::snprintf(text, sizeof text, shapes[shape], int(random() % 2), day, hour, int(random() % 60),
                          int(random() % 60), int(random() % 1000), markers[random() % 6]);
        }
        std::string t(text);
        t.resize(26, ' ');
        for (int edits = int(random() % 4) - 1; edits > 0; --edits) t[random() % 26] = odd[random() % odd.size()];
        const std::string source = t.substr(0, t[0] == '0' || t[0] == '1' ? 25 : 26);
        for (const bool y : {false, true}) {
            const std::string read = convert(y ? QMRS2VY : QMRS2VM, source, 21);
            EXPECT_EQ(read, model::twelveHourStamp(t, std::string(21, '~'), y)) << t << (y ? " Y" : " M");
            std::vector<char> bytes = field(source);
            EXPECT_EQ(written(21,
                              [&](char* out) {
                                  if (y) qmr::storage::readTwelveHourStamp<TwelveHourReader::Y>(bytes.data(), out, false);
                                  if (!y) qmr::storage::readTwelveHourStamp<TwelveHourReader::M>(bytes.data(), out, false);
                                  return 0;
                              }),
                      read)
                << t << " plain";
        }
    }
}

// A destination laid over its source gets the conversion of the source.
TEST(Storage, InPlace) {
    const struct { Convert conversion; const char* text; const char* converted; } cases[] = {
        {QMRVW2S, "20010203040506123456", "2001-02-03-04.05.06.123456"},
        {QMRVM2S, "00000000123000000", "01/01/1753 12:30:00:000"},
        {QMRS2VM, "01/15/2001 03:04:05:006PM", "20010115150405006000"},
        {QMRS2VY, "Jan 15 2001  3:04:05:006PM", "20010115150405006000"},
        {QMRS2VW, "2001-02-03-04.05.06.123456", "20010203040506123456"},
    };
    for (const auto& c : cases) {
        char buffer[32] = {};
        std::strcpy(buffer, c.text);
        c.conversion(buffer, buffer);
        EXPECT_STREQ(buffer, c.converted) << c.text;
    }
}

TEST(Storage, NullArgumentsChangeNothing) {
    qmr_int32 value = 7;
    char text[32] = "unchanged";
    EXPECT_EQ(QMRD2VM(nullptr, &value) + QMRD2VW("0001-01-01", nullptr) + QMRVM2D(20260101, nullptr), 0);
    EXPECT_EQ(QMRS2VM(nullptr, text) + QMRS2VY("Jan 15 2001  3:04:05:006PM", nullptr), 0);
    EXPECT_EQ(value, 7);
    EXPECT_STREQ(text, "unchanged");
}

}  // namespace
