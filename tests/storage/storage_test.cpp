// The storage conversions through qmr.h against the model of
// tests/support/storage_model.h (strtol, snprintf, the layout table) over
// edge and seeded random values and texts, every source exactly its
// length and every output between guard bytes; and the twelve-hour
// readers' fast path against their plain one.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "storage/twelve_hour_stamp.h"
#include "support/storage_model.h"

namespace {

using Reader = qmr::storage::TwelveHourReader;

TEST(Storage, WritersAgreeWithSnprintf) {
    std::vector<std::int64_t> values = {INT32_MIN, INT32_MAX, 0, 17530101, 10101, 240000};
    for (std::int64_t p = 1; p <= 1000000000; p *= 10) values.insert(values.end(), {p, p - 1, -p, 1 - p});
    std::mt19937 random(1753);
    for (int i = 0; i < 20000; ++i) values.push_back(static_cast<std::int32_t>(random()) >> (i % 31));
    for (const std::int64_t v : values) ASSERT_EQ(qmr_model::checkValue(static_cast<std::int32_t>(v)), "") << v;
}

// Texts of each layout with random digits, month names and markers, now
// and then a character changed; and texts of the characters that steer
// strtol.
TEST(Storage, ReadersAgreeWithStrtolAndTheLayoutTable) {
    static const char* const shapes[] = {"01/15/2001  12:04:05:006P", "01/01/1753 12:00:00:000AM",
                                         "Jan 01 1753 12:00:00:000AM", "0001-01-01-00.00.00.000000"};
    static const char* const markers[] = {"PM", "AM", "P ", "A ", "  ", "am"}, *const months[] = {"Jan", "Dec", "Foo"};
    static const char odd[] = "0123456789012345678901234567890123456789 \t+-:\xC0" "A7";  // and its NUL
    namespace st = qmr::storage;  // the shapes' plain digits take the fast path
    ASSERT_TRUE(st::allPlain<st::kLayout1>(shapes[0]) && st::allPlain<st::kLayout2>(shapes[1]) &&
                st::allPlain<st::kLayout3>("Jan 01 1753 12:00:00:000AM "));
    std::mt19937 random(24);
    for (int i = 0; i < 80000; ++i) {
        std::string t = (shapes[i % 4] + std::string(26, ' ')).substr(0, 26);
        for (std::size_t k = 1; k < 26; ++k) {
            t[k] = t[k] >= '0' && t[k] <= '9' && random() % 2 ? '0' + random() % 10 : t[k];
        }
        if (i % 4 == 2) t.replace(0, 3, months[random() % 3]);
        if (i % 4 != 3) t.replace(24, 2, markers[random() % 6]);
        for (int edits = int(random() % 4) - 1; edits > 0; --edits) t[random() % 26] = odd[random() % sizeof odd];
        for (char& c : t) c = i % 7 ? c : odd[random() % sizeof odd];
        ASSERT_EQ(qmr_model::checkText(t), "");
        const std::string source = t.substr(0, t[0] == '0' || t[0] == '1' ? 25 : 26);
        std::vector<char> field(source.begin(), source.end());
        const auto plain = [&](void (*reader)(const char*, char*, bool)) {
            return qmr_model::written(21, [&](char* out) { reader(field.data(), out, false); });
        };
        ASSERT_EQ(plain(st::readTwelveHourStamp<Reader::M>) + plain(st::readTwelveHourStamp<Reader::Y>),
                  qmr_model::converted(QMRS2VM, source, 21) + qmr_model::converted(QMRS2VY, source, 21))
            << t << " on the plain path";
    }
}

// A destination laid over its source gets the conversion of the source;
// a null argument makes a conversion do nothing.
TEST(Storage, InPlaceAndNullArguments) {
    for (const auto& [conversion, text, converted] :
         {std::tuple{&QMRVW2S, "20010203040506123456", "2001-02-03-04.05.06.123456"},
          std::tuple{&QMRVM2S, "00000000123000000", "01/01/1753 12:30:00:000"},
          std::tuple{&QMRS2VM, "01/15/2001 03:04:05:006PM", "20010115150405006000"},
          std::tuple{&QMRS2VY, "Jan 15 2001  3:04:05:006PM", "20010115150405006000"},
          std::tuple{&QMRS2VW, "2001-02-03-04.05.06.123456", "20010203040506123456"}}) {
        char buffer[32] = {};
        std::strcpy(buffer, text);
        conversion(buffer, buffer);
        EXPECT_STREQ(buffer, converted) << text;
    }
    qmr_int32 value = 7;
    char text[32] = "unchanged";
    EXPECT_EQ(QMRD2VM(nullptr, &value) + QMRD2VW("0001-01-01", nullptr) + QMRVM2D(20260101, nullptr) +
                  QMRS2VM(nullptr, text) + QMRS2VY("Jan 15 2001  3:04:05:006PM", nullptr),
              0);
    EXPECT_EQ(std::to_string(value) + text, "7unchanged");
}

}  // namespace
