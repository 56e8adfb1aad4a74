// QMRFNUM, the 17-byte numeric text, with QMRFCHR and the decimal
// rounding routines on the bits that follow.
//
// QMRFNUM is checked against the documented rules written again here and
// against strtod for the value; QMRFCHR against printf's "%.0f" of the
// whole part; the rounding routines for undefined behaviour (UBSan) and
// for leaving a value of no fraction digits as it is.
#include <cmath>
#include <cstdlib>

#include "fuzz_support.h"

using namespace qmr_fuzz;

namespace {

// The message the text deserves, and the text strtod reads for its value.
std::string modelNumber(const std::string& text, std::string& decimal) {
    std::size_t end = text.size();
    while (end > 1 && text[end - 1] == ' ') --end;
    bool sign = false, separator = false;
    int digits = 0;
    std::string body;
    for (std::size_t i = 0; i < end; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            body += c;
            ++digits;
        } else if (c == ' ') {
            if (digits > 0) return " 143";
        } else if (c == '+' || c == '-') {
            if (digits > 0 || separator || sign) return " 143";
            sign = true;
            if (c == '-') decimal = "-";
        } else if (c == '.' || c == ',') {
            if (separator) return " 143";
            separator = true;
            body += '.';
        } else {
            return " 143";
        }
    }
    if (digits > 15) return " 145";
    decimal += "0" + body + (separator ? "0" : "");  // so that "." alone and "5." read fully
    return "";
}

void numericText(Input& in) {
    const std::string typed = in.fixed(QMR_NUMERIC_TEXT_SIZE);
    Guarded text(QMR_NUMERIC_TEXT_SIZE);
    std::memcpy(text.data(), typed.data(), typed.size());
    Context context;
    double number = 1234.5;
    QMRFNUM(nullptr, nullptr, context.get(), reinterpret_cast<const char*>(text.data()), &number);
    QMR_FUZZ_CHECK(text.intact() && text.text() == typed, "the text changed");
    QMR_FUZZ_CHECK(context.name() == "QMRFNUM ", "name");
    std::string decimal;
    const std::string expected = modelNumber(typed, decimal);
    QMR_FUZZ_CHECK(context.error() == expected, "'%s': message '%s', expected '%s'", typed.c_str(),
                   context.error().c_str(), expected.c_str());
    double value = 0;
    if (expected.empty()) {
        value = std::strtod(decimal.c_str(), nullptr);
        if (value == 0) value = 0;  // +0, also for "-0.00"
    }
    QMR_FUZZ_CHECK(std::memcmp(&value, &number, sizeof value) == 0, "'%s' gave %.17g, expected %.17g", typed.c_str(),
                   number, value);
}

void digitText(Input& in) {
    double number;
    const std::string bits = in.fixed(8, '\0');
    std::memcpy(&number, bits.data(), 8);
    Guarded digits(QMR_DIGIT_TEXT_SIZE, '#');
    Context context;
    QMRFCHR(nullptr, nullptr, context.get(), &number, reinterpret_cast<char*>(digits.data()));
    QMR_FUZZ_CHECK(digits.intact(), "a guard changed");
    const double whole = std::floor(std::fabs(number));
    if (!(whole < 1e15)) {
        QMR_FUZZ_CHECK(context.error() == " 145" && digits.text() == std::string(15, '#'), "%g", number);
        return;
    }
    char expected[32];
    std::snprintf(expected, sizeof expected, "%015.0f", whole);
    QMR_FUZZ_CHECK(context.error().empty() && digits.text() == expected, "%.17g gave %s", number,
                   digits.text().c_str());
}

void rounding(Input& in) {
    double value;
    const std::string bits = in.fixed(8, '\0');
    std::memcpy(&value, bits.data(), 8);
    const auto places = static_cast<std::int32_t>(static_cast<std::uint32_t>(in.fieldNumber(20)) - 4);
    const std::int32_t mode = in.byte() & 1;
    const std::int32_t digits = in.fieldNumber(20);
    const double rounded = qmrd2dec(value, places, mode);
    const double cut = qmrd2dc1(value, places, mode, digits);
    QMR_FUZZ_CHECK(std::isnan(value) || !std::isnan(rounded) || std::isinf(value), "%g to %d places is NaN", value,
                   places);
    if (digits >= 15 && places != 0 && places >= digits) {
        QMR_FUZZ_CHECK(std::memcmp(&cut, &value, 8) == 0 || (std::isnan(cut) && std::isnan(value)),
                       "a field of %d digits, %d places changed %g", digits, places, value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    switch (in.byte() % 4) {
    case 0:
    case 1: numericText(in); break;
    case 2: digitText(in); break;
    default: rounding(in); break;
    }
    return 0;
}
