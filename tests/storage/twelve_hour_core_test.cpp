// The twelve-hour readers' intricate core: the test that a text holds its
// layout's numbers as plain digits, and the plain path against the general
// one that reads every number as strtol does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "storage/twelve_hour_stamp.h"
#include "storage_io.h"

namespace {

using qmr::storage::kLayout1;
using qmr::storage::kLayout2;
using qmr::storage::kLayout3;
using qmr::storage::TwelveHourLayout;
using qmr::storage::TwelveHourReader;

// Every number exactly its width of digits and followed by a non-digit,
// field by field.
bool plainByFields(const std::string& text, const TwelveHourLayout& l) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (const auto& f : {l.month, l.day, l.hour, l.minute, l.second, l.millis}) {
        for (int k = 0; k < f.width; ++k) {
            if (!digit(text[f.at + k])) return false;
        }
        if (f.width > 0 && f.at + f.width < l.length && digit(text[f.at + f.width])) return false;
    }
    return true;
}

// Texts that are mostly plain, with now and then one character changed.
std::string randomText(std::mt19937& random, const TwelveHourLayout& l) {
    static const std::string odd = std::string("/: -+APM\t\xC0\xFF") + '\0';
    std::uniform_int_distribution<int> number(0, 99), millis(0, 999), any(0, 255), coin(0, 3);
    char text[40];
    if (l.monthName) {
        std::snprintf(text, sizeof text, "Jan %02d 2001 %02d:%02d:%02d:%03dPM", number(random), number(random),
                      number(random), number(random), millis(random));
    } else {
        std::snprintf(text, sizeof text, l.hour.at == 12 ? "%02d/%02d/2001  %02d:%02d:%02d:%03dPM"
                                                         : "%02d/%02d/2001 %02d:%02d:%02d:%03dPM",
                      number(random), number(random), number(random), number(random), number(random), millis(random));
    }
    std::string s(text, l.length);
    for (int changes = coin(random); changes > 0; --changes) {
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, s.size() - 1)(random);
        s[at] = coin(random) == 0 ? static_cast<char>(any(random)) : odd[any(random) % odd.size()];
    }
    return s;
}

// The plain test by words (and SSE2) against the test field by field; and,
// on plain texts with each kind of marker (and month name), the plain
// path's result against the general one's, for both readers.
template <const TwelveHourLayout& L>
void checkLayout(const char* name) {
    std::mt19937 random(24);
    const char* markers[] = {"AM", "PM", "  ", "am", "A ", "xM"};
    for (int i = 0; i < 50000; ++i) {
        std::string text = randomText(random, L);
        const auto source = storage_test::field(text);
        const bool expected = plainByFields(text, L);
        const bool byWords = qmr::storage::allPlain<L>(source.get());
        // Words may send a text with a byte of 0x80 or more to the general path.
        const bool highByte =
            std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        EXPECT_TRUE(highByte ? !byWords || expected : byWords == expected) << name << " " << text;
        if (!expected) continue;
        text.replace(L.marker, 2, markers[i % 6], std::min<std::size_t>(2, L.length - L.marker));
        if (L.monthName) text.replace(0, 3, i % 7 == 0 ? "Foo" : "Oct");
        if (!plainByFields(text, L)) continue;
        const auto plain = storage_test::field(text);
        const auto read = [&](auto reader) {
            return storage_test::written(21, [&](char* out) { reader(plain.get(), out); });
        };
        EXPECT_EQ(read(qmr::storage::readFast<L, TwelveHourReader::M>),
                  read(qmr::storage::readPlain<L, TwelveHourReader::M>)) << name << " M " << text;
        EXPECT_EQ(read(qmr::storage::readFast<L, TwelveHourReader::Y>),
                  read(qmr::storage::readPlain<L, TwelveHourReader::Y>)) << name << " Y " << text;
    }
}

TEST(TwelveHourCore, PlainTestAndPlainPathAgreeWithTheGeneralOnes) {
    checkLayout<kLayout1>("layout 1");
    checkLayout<kLayout2>("layout 2");
    checkLayout<kLayout3>("layout 3");
}

}  // namespace
