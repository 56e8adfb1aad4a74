// QMRFCHR against printf's formatting of the same whole part, and QMRFNUM
// over its grammar against strtod of the same number written as C text.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "qmr/qmr.h"
#include "support/context.h"

namespace {

constexpr char kUntouched = 'x';

struct DigitTextCall {
    std::string error;   // "" or the message number
    std::string digits;  // the 15 bytes, and the guard byte after them
};

DigitTextCall callQmrfchr(double number) {
    qmr_test::TestContext context;
    char out[QMR_DIGIT_TEXT_SIZE + 1];
    std::memset(out, kUntouched, sizeof out);
    QMRFCHR(nullptr, nullptr, context.get(), &number, out);
    EXPECT_EQ(context.name(), "QMRFCHR ");
    EXPECT_EQ(out[QMR_DIGIT_TEXT_SIZE], kUntouched) << "wrote past the 15 bytes";
    return {context.error(), std::string(out, QMR_DIGIT_TEXT_SIZE)};
}

// QMRFCHR must give printf's digits of floor(|number|), zero-padded to
// 15; a longer whole part (or no finite one) is reported instead.
void expectDigitText(double number) {
    char printed[400];
    std::snprintf(printed, sizeof printed, "%.0f", std::floor(std::fabs(number)));
    const std::size_t length = std::strlen(printed);
    const bool tooLong = !std::isfinite(number) || length > QMR_DIGIT_TEXT_SIZE;
    const DigitTextCall got = callQmrfchr(number);
    EXPECT_EQ(got.error, tooLong ? QMR_MSG_TOO_MANY_DIGITS : "") << std::hexfloat << number;
    EXPECT_EQ(got.digits, tooLong ? std::string(QMR_DIGIT_TEXT_SIZE, kUntouched)
                                  : std::string(QMR_DIGIT_TEXT_SIZE - length, '0') + printed)
        << std::hexfloat << number;
}

TEST(Qmrfchr, AgreesWithPrintfAroundEveryPowerOfTenAndAtRandom) {
    const double fractions[] = {0.0, 0.125, 0.5, 0.999};
    double power = 1.0;
    for (int k = 0; k <= 16; ++k, power *= 10) {
        for (double step = -1; step <= 1; ++step) {
            for (double fraction : fractions) {
                expectDigitText(power + step + fraction);
                expectDigitText(-(power + step + fraction));
            }
        }
        expectDigitText(std::nextafter(power, 0.0));
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double special : {0.0, -0.0, 4.9e-324, 999999999999999.875, 1e15, DBL_MAX, inf, -inf, -inf * 0}) {
        expectDigitText(special);
    }
    std::mt19937_64 random(5);  // and random magnitudes
    std::uniform_real_distribution<double> mantissa(0.5, 1.0);
    std::uniform_int_distribution<int> nearFifteenDigits(-4, 60);  // 2^50 is about 1e15
    std::uniform_int_distribution<int> anyExponent(-1074, 1024);
    for (int i = 0; i < 50000; ++i) {
        const double sign = i % 2 ? -1 : 1;
        expectDigitText(sign * std::ldexp(mantissa(random), nearFifteenDigits(random)));
        if (i % 8 == 0) expectDigitText(sign * std::ldexp(mantissa(random), anyExponent(random)));
    }
}

struct NumericTextCall { std::string error; double number; };

NumericTextCall callQmrfnum(const std::string& text) {
    qmr_test::TestContext context;
    std::string field = text;
    field.resize(QMR_NUMERIC_TEXT_SIZE, ' ');
    double number = 99.0;
    QMRFNUM(nullptr, nullptr, context.get(), field.data(), &number);
    EXPECT_EQ(context.name(), "QMRFNUM ");
    return {context.error(), number};
}

bool sameDouble(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(Qmrfnum, Grammar) {
    constexpr const char* kNotNumber = QMR_MSG_NOT_NUMBER;
    constexpr const char* kTooLong = QMR_MSG_TOO_MANY_DIGITS;
    const struct {
        std::string text;   // blank-padded to 17 by the call
        const char* error;  // "" for a number; 0 is stored with an error
        const char* value;  // the same number as C text, for strtod
    } cases[] = {
        {". 5", "", "0.5"},  // texts without blanks after the separator: the random test
        // 15 digits at most, leading zeros and those after the separator counted
        {"1234567890123456", kTooLong, "0"}, {"0000000000000001", kTooLong, "0"},
        {"123456789012345.6", kTooLong, "0"},
        // not a number (each byte between two digits: the next test)
        {"12-", kNotNumber, "0"}, {".-5", kNotNumber, "0"}, {"--1", kNotNumber, "0"}, {"1.2,3", kNotNumber, "0"},
        {"\t12", kNotNumber, "0"}, {"12" + std::string(15, '\0'), kNotNumber, "0"},
        {"1234567890123456a", kNotNumber, "0"},  // found before the digits are counted
    };
    for (const auto& c : cases) {
        const NumericTextCall got = callQmrfnum(c.text);
        EXPECT_EQ(got.error, c.error) << c.text;
        EXPECT_TRUE(sameDouble(got.number, std::strtod(c.value, nullptr))) << c.text << ": " << got.number;
    }
}

TEST(Qmrfnum, EveryByteBetweenTwoDigits) {
    for (int b = 0; b < 256; ++b) {
        const std::string text = {'1', static_cast<char>(b), '2'};
        const bool digit = b >= '0' && b <= '9';
        const bool separator = b == '.' || b == ',';
        const NumericTextCall got = callQmrfnum(text);
        EXPECT_EQ(got.error, digit || separator ? "" : QMR_MSG_NOT_NUMBER) << "byte " << b;
        const double want = digit ? 100 + (b - '0') * 10 + 2 : separator ? 1.2 : 0;
        EXPECT_TRUE(sameDouble(got.number, want)) << "byte " << b;
    }
}

// Random texts of the grammar: up to 15 digits, a "." or "," anywhere,
// blanks before and after the sign.  strtod reads the same number written
// with a "." and without blanks.
TEST(Qmrfnum, StoresWhatStrtodReadsForRandomTexts) {
    std::mt19937_64 random(17);
    const auto pick = [&random](std::size_t n) { return std::size_t(random() % n); };
    for (int i = 0; i < 400000; ++i) {
        std::string digits(pick(16), '0');
        for (char& d : digits) d = char('0' + pick(10));
        const std::string sign[] = {"", "-", "+"};
        const std::size_t signIndex = pick(3);
        std::string field = std::string(pick(3), ' ') + sign[signIndex] + std::string(signIndex ? pick(2) : 0, ' ');
        std::string cText = sign[signIndex] + "0";
        const std::size_t point = pick(digits.size() + 2);  // beyond the digits: no separator
        for (std::size_t d = 0; d <= digits.size(); ++d) {
            if (d == point) field += pick(2) ? '.' : ',', cText += '.';
            if (d < digits.size()) field += digits[d], cText += digits[d];
        }
        if (field.size() > QMR_NUMERIC_TEXT_SIZE) continue;
        const NumericTextCall got = callQmrfnum(field);
        const double want = std::strtod(cText.c_str(), nullptr) + 0.0;  // + 0.0: zero is stored as +0
        ASSERT_TRUE(got.error.empty() && sameDouble(got.number, want))
            << '"' << field << "\" gave " << got.number << " '" << got.error << "', strtod gives " << want;
    }
}

}  // namespace
