// qmrd2dec and qmrd2dc1 through the C interface.  Expected values are
// decimal text read with strtod: each case states the result it stands for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "qmr/qmr.h"

namespace {

constexpr int32_t kTruncate = 0;
constexpr int32_t kRound = 1;

double text(const std::string& decimal) { return std::strtod(decimal.c_str(), nullptr); }
bool sameDouble(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool sameOrNan(double a, double b) { return sameDouble(a, b) || (std::isnan(a) && std::isnan(b)); }

std::string decimal(long long digits, int exponent) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%llde%d", digits, exponent);
    return buffer;
}

TEST(Qmrd2dec, Cases) {
    const struct { double value; int32_t places, mode; const char* expected; } cases[] = {
        // halves that are exact in binary round away from zero; any mode but 0 rounds
        {2.5, 0, kRound, "3"}, {-1.5, 0, kRound, "-2"}, {0.375, 2, 7, "0.38"}, {0.0, 3, kRound, "0"},
        // the arithmetic is double, not decimal: each product is rounded
        // before the half is added
        {0.015, 2, kRound, "0.02"}, {1.005, 2, kRound, "1"},
        // negative places
        {1234.5, -2, kRound, "1200"}, {1250, -2, kRound, "1300"}, {123456, -3, kTruncate, "123000"},
        {4.4e20, -20, kRound, "4e20"}, {4.6e20, -20, kRound, "5e20"},
        // places above 18, the last from the power function
        {1.5e-19, 19, kRound, "2e-19"}, {1.5, 25, kTruncate, "1.500000000000005"},
        // truncation of a value below 1 adds 5e-16 however small the value
        {0.001, 18, kTruncate, "0.0010000000000005"},
        // from 1e14 up the half unit stays 0.5
        {1e15 + 0.75, 0, kTruncate, "1000000000000001"},
    };
    for (const auto& c : cases) {
        const double got = qmrd2dec(c.value, c.places, c.mode);
        EXPECT_TRUE(sameDouble(got, text(c.expected))) << c.value << " " << c.places << ": " << got;
    }
}

// Just below 10^k the half unit is that of the decade below, just above
// it that of the decade from 10^k: with the wrong one, each of these
// truncations gives the other digit.
TEST(Qmrd2dec, TruncationHalfUnitAtEveryDecade) {
    for (int k = 0; k <= 14; ++k) {
        const int32_t places = 14 - k;  // cuts at the 15th digit of values from 10^k
        const double below = text(decimal(1000000000000000 - 2, k - 15));  // 10^k - 2 units of the 16th digit
        const double above = text(decimal(1000000000000000 + 7, k - 15));  // 10^k + 0.7 units of the 15th digit
        EXPECT_TRUE(sameDouble(qmrd2dec(below, places, kTruncate), text(decimal(100000000000000 - 1, k - 14))))
            << "below 1e" << k;
        EXPECT_TRUE(sameDouble(qmrd2dec(above, places, kTruncate), text(decimal(100000000000000 + 1, k - 14))))
            << "above 1e" << k;
        EXPECT_TRUE(sameDouble(qmrd2dec(-above, places, kTruncate), -text(decimal(100000000000000 + 1, k - 14))))
            << "-above 1e" << k;
        // 10^k itself belongs to its own decade: cut at the 16th digit, the
        // added half unit of the 15th shows (the lower one would not).
        const double power = text(decimal(1, k));
        EXPECT_GT(qmrd2dec(power, places + 1, kTruncate), power) << "1e" << k;
    }
}

// Decimals of up to 15 significant digits, from 0.1 up: truncation keeps
// them at their own places and cuts them one place shorter exactly as
// decimal truncation would; rounding one place shorter is decimal
// rounding when the cut digit is not a 5.
TEST(Qmrd2dec, DecimalsOfFifteenDigitsAgainstDecimalArithmetic) {
    std::mt19937_64 random(3);
    for (int i = 0; i < 100000; ++i) {
        const int length = 1 + int(random() % 15);
        long long low = 1;
        for (int d = 1; d < length; ++d) low *= 10;
        const long long digits = low + static_cast<long long>(random() % uint64_t(9 * low));
        const int places = int(random() % uint64_t(length + 1));
        const double value = text(decimal(digits, -places));
        const double sign = i % 2 ? -1 : 1;
        ASSERT_TRUE(sameDouble(qmrd2dec(sign * value, places, kTruncate), sign * value)) << digits << "e-" << places;
        if (places == 0) continue;
        const double cut = text(decimal(digits / 10, 1 - places));
        ASSERT_TRUE(sameDouble(qmrd2dec(sign * value, places - 1, kTruncate), sign * cut)) << digits << "e-" << places;
        if (digits % 10 == 5) continue;
        const double rounded = text(decimal(digits / 10 + (digits % 10 > 5), 1 - places));
        ASSERT_TRUE(sameDouble(qmrd2dec(sign * value, places - 1, kRound), sign * rounded))
            << digits << "e-" << places;
    }
}

TEST(Qmrd2dc1, Cases) {
    const struct { double value; int32_t places, mode, digits; const char* expected; } cases[] = {
        // below 15 digits, a value that fills its integer digits still rounds
        {123456789012.345, 2, kRound, 14, "123456789012.35"}, {123.456, 2, kRound, -1, "123.46"},
        {1e14 + 0.5, 0, kRound, 20, "100000000000001"},  // places 0 always rounds
        {0.123456789, 15, kRound, 15, "0.123456789"},    // no integer digits: unchanged
        {0.123456789, 17, kRound, 15, "0.123456789"},    // places above digits: unchanged
        {2e14, INT32_MIN, kRound, INT32_MAX, "2e14"},
    };
    for (const auto& c : cases) {
        const double got = qmrd2dc1(c.value, c.places, c.mode, c.digits);
        EXPECT_TRUE(sameDouble(got, text(c.expected))) << c.value << " " << c.places << ": " << got;
    }
}

// A field of 15 or more digits leaves alone a value that fills its
// integer digits: from 10^(i-1) for i integer digits, from 1e14 for 15
// and more.  Below that it rounds as qmrd2dec.
TEST(Qmrd2dc1, IntegerDigitLimits) {
    for (int32_t integerDigits = 1; integerDigits <= 20; ++integerDigits) {
        const int32_t places = integerDigits < 14 ? 15 - integerDigits : 1;
        const int32_t digits = integerDigits + places;
        const double limit = std::pow(10.0, std::min(integerDigits, 15) - 1);
        for (double sign : {1.0, -1.0}) {
            const double filling = sign * limit * (4.0 / 3.0);
            const double short_ = sign * limit * (29.0 / 30.0);
            for (int32_t mode : {kTruncate, kRound}) {
                EXPECT_TRUE(sameDouble(qmrd2dc1(filling, places, mode, digits), filling)) << integerDigits;
                const double rounded = qmrd2dec(short_, places, mode);
                EXPECT_FALSE(sameDouble(rounded, short_)) << integerDigits << " the case must show rounding";
                EXPECT_TRUE(sameDouble(qmrd2dc1(short_, places, mode, digits), rounded)) << integerDigits;
            }
        }
    }
}

// Where 10^places, or the value times it, leaves the double range, the
// result is still the value rounded, never NaN or an infinity made from a
// finite value (found by fuzzing).
TEST(Qmrd2decExtremeScale, StaysTheValueRounded) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct { const char* id; double value; int places; double expected; } cases[] = {
        {"x1 zero, scale beyond the range", 0.0, 400, 0.0}, {"x2 one, scale beyond the range", 1.25, 400, 1.25},
        {"x3 scaled value beyond the range", 1e300, 10, 1e300},
        {"x4 largest double, 1 place", -1.7976931348623157e308, 1, -1.7976931348623157e308},
        {"x5 scale 0 removes every digit", 5.0, -400, 0.0}, {"x6 negative, scale 0", -5.0, -400, -0.0},
        {"x7 infinity", inf, -400, inf},
        {"x9 NaN", std::numeric_limits<double>::quiet_NaN(), 2, std::numeric_limits<double>::quiet_NaN()},
    };
    for (const auto& c : cases) {
        for (int mode : {0, 1}) {
            EXPECT_TRUE(sameOrNan(qmrd2dec(c.value, c.places, mode), c.expected)) << c.id << " mode " << mode;
        }
        EXPECT_TRUE(sameOrNan(qmrd2dc1(c.value, c.places, 1, 12), c.expected)) << c.id << " (qmrd2dc1)";
    }
}

}  // namespace
