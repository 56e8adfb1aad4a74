// The numeric built-ins and the rounding routines against oracles that
// share none of their code: the numeric fuzz target's checks (the rules
// of the numeric text, strtod, printf) over seeded random inputs, and
// decimal arithmetic, read by strtod from decimal text, at the 15th digit
// of every decade.  The rows pin the formulas where IEEE arithmetic
// differs from decimal arithmetic.
#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <random>

#include "../../fuzz/fuzz_numeric.cpp"
#include "support/emulation.h"

namespace {

constexpr std::int32_t kTruncate = 0, kRound = 1;
constexpr double kInf = std::numeric_limits<double>::infinity();

double text(const std::string& decimal) { return std::strtod(decimal.c_str(), nullptr); }
std::string decimal(long long digits, int exponent) { return std::to_string(digits) + "e" + std::to_string(exponent); }
bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

// One call of the fuzz target: its selector, then the bytes it reads.
void check(char selector, const std::string& bytes) {
    const std::string input = selector + bytes;
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}
std::string bitsOf(double value) { return {reinterpret_cast<const char*>(&value), sizeof value}; }

// Texts of the grammar: blanks, a sign, blanks, up to 16 digits with a
// "." or "," anywhere; now and then one byte of any value in place.
TEST(NumericModels, TextsAgreeWithStrtod) {
    std::mt19937_64 random(17);
    const auto pick = [&random](std::size_t n) { return std::size_t(random() % n); };
    for (int i = 0; i < (qmr_test::kEmulated ? 40000 : 400000); ++i) {
        std::string field = std::string(pick(3), ' ') + "+- "[pick(3)] + std::string(pick(2), ' ');
        const std::size_t digits = pick(17), point = pick(digits + 2);
        for (std::size_t d = 0; d <= digits; ++d) {
            if (d == point) field += ".,"[pick(2)];
            if (d < digits) field += char('0' + pick(10));
        }
        if (pick(4) == 0) field[pick(field.size())] = char(pick(256));
        if (field.size() <= QMR_NUMERIC_TEXT_SIZE) check(0, field);
    }
}

// The mended infinities and NaN, whole parts around every power of ten
// (-0 and the largest double below 1e15 among them), then any bits for
// QMRFCHR and for the rounding routines.
TEST(NumericModels, WholePartsAgreeWithPrintf) {
    for (double special : {kInf, -kInf, -kInf * 0}) check(2, bitsOf(special));
    for (double power = 1; power <= 1e16; power *= 10) {
        for (double near : {power - 1, power, power + 1, std::nextafter(power, 0.0), power + 0.5, power + 0.999}) {
            check(2, bitsOf(near)), check(2, bitsOf(-near));
        }
    }
    std::mt19937_64 random(5);
    for (int i = 0; i < (qmr_test::kEmulated ? 5000 : 50000); ++i) {
        check(char(2 + i % 2), bitsOf(std::bit_cast<double>(random())) + bitsOf(std::bit_cast<double>(random())));
    }
}

TEST(Qmrd2dec, Rows) {
    const struct { double value; std::int32_t places, mode; double expected; } rows[] = {
        // halves exact in binary round away from zero; any mode but 0 rounds; the arithmetic is double, not
        // decimal: each product is rounded before the half is added (0.015, 1.005); negative places (1234.5,
        // 4.6e20); places from the table's end and beyond (1.5e-19, 1.5); from 1e14 up the half unit stays 0.5
        {2.5, 0, kRound, 3}, {-1.5, 0, kRound, -2}, {0.375, 2, 7, 0.38}, {0.015, 2, kRound, 0.02},
        {1.005, 2, kRound, 1}, {1234.5, -2, kRound, 1200}, {4.6e20, -20, kRound, 5e20},
        {1.5e-19, 19, kRound, 2e-19}, {1.5, 25, kTruncate, text("1.500000000000005")},
        {1e15 + 0.75, 0, kTruncate, 1e15 + 1},
        // beyond the double range the value stays as it is (mended: NaN or an infinity; for the last two the
        // last division overflowed)
        {0.0, 400, kRound, 0.0}, {1.25, 400, kTruncate, 1.25}, {1e300, 10, kRound, 1e300}, {-5.0, -400, kRound, -0.0},
        {kInf, -400, kRound, kInf}, {std::nan(""), 2, kRound, std::nan("")}, {1.7e308, -308, kRound, 1.7e308},
        {-1.75e308, -307, kRound, -1.75e308},
    };
    for (const auto& r : rows) {
        EXPECT_TRUE(same(qmrd2dec(r.value, r.places, r.mode), r.expected)) << r.value << " " << r.places;
    }
}

// From 10^k on the half unit added before truncation is that of 10^k's
// own decade, which truncation at 15 - k places keeps; the decimal sweep
// checks the half units between the powers.
TEST(Qmrd2dec, TruncationHalfUnitFromEveryPowerOfTen) {
    for (int k = 0; k <= 14; ++k) {
        EXPECT_GT(qmrd2dec(text(decimal(1, k)), 15 - k, kTruncate), text(decimal(1, k))) << k;
    }
}

// Decimals of up to 15 significant digits: truncation keeps them at their
// own places and cuts them one place shorter as decimal truncation does;
// rounding one place shorter is decimal rounding unless the cut digit is 5.
TEST(Qmrd2dec, DecimalsOfFifteenDigitsAgainstDecimalArithmetic) {
    std::mt19937_64 random(3);
    for (int i = 0; i < 100000; ++i) {
        const int length = 1 + int(random() % 15), places = int(random() % std::uint64_t(length + 1));
        long long low = 1;
        for (int d = 1; d < length; ++d) low *= 10;
        const long long digits = low + static_cast<long long>(random() % std::uint64_t(9 * low));
        const double sign = i % 2 ? -1 : 1, value = sign * text(decimal(digits, -places));
        ASSERT_TRUE(same(qmrd2dec(value, places, kTruncate), value)) << digits << "e-" << places;
        if (places == 0) continue;
        ASSERT_TRUE(same(qmrd2dec(value, places - 1, kTruncate), sign * text(decimal(digits / 10, 1 - places))));
        const double rounded = sign * text(decimal(digits / 10 + (digits % 10 > 5), 1 - places));
        ASSERT_TRUE(digits % 10 == 5 || same(qmrd2dec(value, places - 1, kRound), rounded)) << digits << "e-" << places;
    }
}

// A field of 15 or more digits leaves alone a value that fills its
// integer digits (from 10^(i-1), from 1e14 for 15 and more); below that,
// and in a narrower field, it rounds as qmrd2dec.
TEST(Qmrd2dc1, IntegerDigitLimits) {
    for (std::int32_t integerDigits = 1; integerDigits <= 20; ++integerDigits) {
        const std::int32_t places = integerDigits < 14 ? 15 - integerDigits : 1, digits = integerDigits + places;
        const double limit = std::pow(10.0, std::min(integerDigits, 15) - 1);
        for (double value : {limit, -limit, limit * 29 / 30, -limit * 29 / 30}) {
            const double rounded = qmrd2dec(value, places, kRound);
            const bool fills = std::fabs(value) >= limit;
            EXPECT_TRUE(same(qmrd2dc1(value, places, kRound, digits), fills ? value : rounded)) << integerDigits;
            EXPECT_TRUE(same(qmrd2dc1(value, places, kRound, 14), rounded)) << integerDigits;
        }
    }
    EXPECT_TRUE(same(qmrd2dc1(1e14 + 0.5, 0, kRound, 20), 1e14 + 1)) << "places 0 always rounds";
    // The limit itself fills the widest field: left alone where rounding would give 0.
    for (double limit : {1e14, -1e14}) EXPECT_TRUE(same(qmrd2dc1(limit, -15, kRound, 15), limit));
    // No integer digits, and fewer than none (mended: read before the limit table).
    for (std::int32_t places : {15, 17}) EXPECT_TRUE(same(qmrd2dc1(0.123456789, places, kRound, 15), 0.123456789));
    EXPECT_TRUE(same(qmrd2dc1(2e14, INT32_MIN, kRound, INT32_MAX), 2e14)) << "digits counted in 64 bits";
}

}  // namespace
