// QMRFNUM on a 17-byte numeric text, QMRFCHR and the decimal rounding
// routines on the bits that follow.
//
// QMRFNUM is checked against the rules of the numeric text written again
// here and against strtod for the value; QMRFCHR against printf's
// "%015.0f" of the whole part; the rounding routines for never making a
// NaN or an infinity of a finite value and for leaving alone a value in
// a field without integer digits.  tests/numeric/numeric_test.cpp runs
// this target over seeded random inputs.
#include <cmath>
#include <cstdlib>

#include "fuzz_support.h"

using namespace qmr_fuzz;

namespace {

// The message a numeric text deserves, and the C text strtod reads for
// its value.
std::string modelNumber(const std::string& text, std::string& decimal) {
    bool sign = false, separator = false;
    int digits = 0;
    std::string body;
    for (std::size_t i = 0; i < std::max<std::size_t>(text.find_last_not_of(' ') + 1, 1); ++i) {
        const char c = text[i];
        const bool isDigit = c >= '0' && c <= '9', isSign = c == '+' || c == '-', isSeparator = c == '.' || c == ',';
        if ((c == ' ' && digits > 0) || (isSign && (digits > 0 || separator || sign)) || (isSeparator && separator) ||
            !(isDigit || isSign || isSeparator || c == ' ')) {
            return " 143";
        }
        sign |= isSign, separator |= isSeparator, digits += isDigit;
        if (c == '-') decimal = "-";
        if (isDigit || isSeparator) body += isDigit ? c : '.';
    }
    decimal += "0" + body + (separator ? "0" : "");  // so that "." alone and "5." read in full
    return digits > 15 ? " 145" : "";
}

void numericText(Input& in) {
    const std::string typed = in.fixed(QMR_NUMERIC_TEXT_SIZE);
    Guarded text(QMR_NUMERIC_TEXT_SIZE);
    std::memcpy(text.data(), typed.data(), typed.size());
    Context context;
    double number = 1234.5;
    QMRFNUM(nullptr, nullptr, context.get(), reinterpret_cast<const char*>(text.data()), &number);
    std::string decimal;
    const std::string expected = modelNumber(typed, decimal);
    const double value = expected.empty() ? std::strtod(decimal.c_str(), nullptr) + 0.0 : 0.0;  // +0, also "-0.00"
    QMR_FUZZ_CHECK(text.intact() && text.text() == typed && context.name() == "QMRFNUM ", "the call");
    QMR_FUZZ_CHECK(context.error() == expected && std::memcmp(&value, &number, sizeof value) == 0,
                   "'%s' gave %.17g '%s', expected %.17g '%s'", typed.c_str(), number, context.error().c_str(), value,
                   expected.c_str());
}

double readDouble(Input& in) {
    double value;
    std::memcpy(&value, in.fixed(8, '\0').data(), 8);
    return value;
}

void digitText(Input& in) {
    const double number = readDouble(in);
    Guarded digits(QMR_DIGIT_TEXT_SIZE, '#');
    Context context;
    QMRFCHR(nullptr, nullptr, context.get(), &number, reinterpret_cast<char*>(digits.data()));
    const double whole = std::floor(std::fabs(number));
    char expected[400] = "###############";
    if (whole < 1e15) std::snprintf(expected, sizeof expected, "%015.0f", whole);
    const std::string error = whole < 1e15 ? "" : " 145";
    QMR_FUZZ_CHECK(digits.intact() && context.name() == "QMRFCHR ", "the call");
    QMR_FUZZ_CHECK(digits.text() == expected && context.error() == error, "%.17g: %s", number, digits.text().c_str());
}

void rounding(Input& in) {
    const double value = readDouble(in);
    const auto places = static_cast<std::int32_t>(static_cast<std::uint32_t>(in.fieldNumber(20)) - 4);
    const std::int32_t mode = in.byte() & 1, digits = in.fieldNumber(20);
    const double rounded = qmrd2dec(value, places, mode), cut = qmrd2dc1(value, places, mode, digits);
    for (const double result : {rounded, cut}) {
        QMR_FUZZ_CHECK(!std::isfinite(value) || std::isfinite(result), "%.17g to %d places: %g", value, places, result);
    }
    if (digits >= 15 && places != 0 && places >= digits) {
        QMR_FUZZ_CHECK(std::memcmp(&cut, &value, 8) == 0 || std::isnan(value), "%d digits, %d places", digits, places);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    void (*const parts[])(Input&) = {numericText, numericText, digitText, rounding};
    parts[in.byte() % 4](in);
    return 0;
}
