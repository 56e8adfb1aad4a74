// The storage conversions through qmr.h against the model of
// tests/support/storage_model.h (strtol, snprintf, the layout table) over
// edge and seeded random values and texts, every source exactly its
// length and every output between guard bytes; and the twelve-hour
// readers' fast path against their plain one.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "storage/twelve_hour_stamp.h"
#include "support/storage_model.h"

namespace {

using namespace std::string_literals;

TEST(Storage, WritersAgreeWithSnprintfForEdgeAndRandomValues) {
    for (std::int64_t p = 1; p <= 1000000000; p *= 10) {
        for (const std::int64_t v : {p, p - 1, -p, 1 - p}) ASSERT_EQ(qmr_model::checkValue(static_cast<std::int32_t>(v)), "");
    }
    std::mt19937 random(1753);
    for (const std::int32_t v : {INT32_MIN, INT32_MAX, 0, 17530101, 10101, 240000}) ASSERT_EQ(qmr_model::checkValue(v), "");
    for (int i = 0; i < 20000; ++i) ASSERT_EQ(qmr_model::checkValue(static_cast<std::int32_t>(random()) >> (i % 31)), "");
}

// Texts near the layouts, their numbers of two (three) digits, now and
// then a character changed; and texts of the characters that steer strtol.
TEST(Storage, ReadersAgreeWithStrtolAndTheLayoutTable) {
    static const char* const shapes[] = {"%02d/%02d/2001  %02d:%02d:%02d:%03d%.1s", "%02d/%02d/1753 %02d:%02d:%02d:%03d%s",
                                         "%.3s %02d 1753 %02d:%02d:%02d:%03d%s", "0001-%02d-%02d-%02d.%02d.%02d.%06d%s"};
    static const char* const markers[] = {"PM", "AM", "P ", "A ", "  ", "am"};
    static const std::string odd = "0123456789012345678901234567890123456789 \t+-:\xC0" "A7"s + '\0';
    std::mt19937 random(24);
    for (int i = 0; i < 80000; ++i) {
        char text[64];
        const int shape = i % 4, a = int(random() % 100), b = int(random() % 1000);
        const char* month = &"JanDecFoo"[3 * (random() % 3)];
        if (shape == 2) {
            std::snprintf(text, sizeof text, shapes[2], month, a % 3, a, int(random() % 60), int(random() % 60), b, markers[random() % 6]);
        } else {
            std::snprintf(text, sizeof text, shapes[shape], int(random() % 2), a % 3, a, int(random() % 61), int(random() % 61), b, markers[random() % 6]);
        }
        std::string t = (text + std::string(26, ' ')).substr(0, 26);
        for (int edits = int(random() % 4) - 1; edits > 0; --edits) t[random() % 26] = odd[random() % odd.size()];
        if (i % 7 == 0) for (char& c : t) c = odd[random() % odd.size()];
        ASSERT_EQ(qmr_model::checkText(t), "");
        for (const bool y : {false, true}) {
            const auto read = [&](bool fast) {
                return qmr_model::written(21, [&](char* out) {
                    std::vector<char> source(t.begin(), t.begin() + (t[0] == '0' || t[0] == '1' ? 25 : 26));
                    if (y) qmr::storage::readTwelveHourStamp<qmr::storage::TwelveHourReader::Y>(source.data(), out, fast);
                    if (!y) qmr::storage::readTwelveHourStamp<qmr::storage::TwelveHourReader::M>(source.data(), out, fast);
                });
            };
            ASSERT_EQ(read(true), read(false)) << t << " plain path";
        }
    }
}

// A destination laid over its source gets the conversion of the source;
// a null argument makes a conversion do nothing.
TEST(Storage, InPlaceAndNullArguments) {
    const struct { qmr_int32(QMR_CALL* conversion)(const char*, char*); const char* text; const char* converted; } cases[] = {
        {QMRVW2S, "20010203040506123456", "2001-02-03-04.05.06.123456"}, {QMRVM2S, "00000000123000000", "01/01/1753 12:30:00:000"},
        {QMRS2VM, "01/15/2001 03:04:05:006PM", "20010115150405006000"}, {QMRS2VY, "Jan 15 2001  3:04:05:006PM", "20010115150405006000"},
        {QMRS2VW, "2001-02-03-04.05.06.123456", "20010203040506123456"}};
    for (const auto& c : cases) {
        char buffer[32] = {};
        std::strcpy(buffer, c.text);
        c.conversion(buffer, buffer);
        EXPECT_STREQ(buffer, c.converted) << c.text;
    }
    qmr_int32 value = 7;
    char text[32] = "unchanged";
    EXPECT_EQ(QMRD2VM(nullptr, &value) + QMRD2VW("0001-01-01", nullptr) + QMRVM2D(20260101, nullptr) + QMRS2VM(nullptr, text) +
                  QMRS2VY("Jan 15 2001  3:04:05:006PM", nullptr), 0);
    EXPECT_EQ(std::to_string(value) + text, "7unchanged");
}

}  // namespace
