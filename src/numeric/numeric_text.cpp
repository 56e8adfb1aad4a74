#include "numeric/numeric_text.h"

#include "frame/digits.h"
#include "numeric/double_math.h"
#include "numeric/powers_of_ten.h"

namespace qmr {

namespace {

// Both operands are exact doubles (digits < 2^53, 10^15 < 10^22), so the
// one IEEE division rounds the exact quotient once: the value strtod
// gives for the same digits.
QMR_DOUBLE_MATH double decimalValue(std::uint64_t digits, int fractionDigits) noexcept {
    const auto numerator = static_cast<double>(digits);
    return numerator / kPowerOfTen[fractionDigits];
}

}  // namespace

NumericText readNumericText(const unsigned char* text) noexcept {
    int end = kNumericTextSize;
    while (end > 1 && text[end - 1] == ' ') --end;

    bool negative = false;
    bool signSeen = false;
    bool separatorSeen = false;
    int digitCount = 0;
    int fractionDigits = 0;
    std::uint64_t digits = 0;  // < 10^17: at most 17 digits fit in the text
    for (int i = 0; i < end; ++i) {
        const unsigned char c = text[i];
        if (isDigit(c)) {
            digits = digits * 10 + (c - '0');
            ++digitCount;
            fractionDigits += separatorSeen;
        } else if (c == ' ') {
            if (digitCount > 0) return {NumericTextStatus::notNumber, 0.0};
        } else if (c == '+' || c == '-') {
            if (digitCount > 0 || separatorSeen || signSeen) return {NumericTextStatus::notNumber, 0.0};
            signSeen = true;
            negative = c == '-';
        } else if (c == '.' || c == ',') {
            if (separatorSeen) return {NumericTextStatus::notNumber, 0.0};
            separatorSeen = true;
        } else {
            return {NumericTextStatus::notNumber, 0.0};
        }
    }
    if (digitCount > kNumericTextDigits) return {NumericTextStatus::tooManyDigits, 0.0};
    if (digits == 0) return {NumericTextStatus::number, 0.0};  // +0 whatever the sign, as always
    const double magnitude = decimalValue(digits, fractionDigits);
    return {NumericTextStatus::number, negative ? -magnitude : magnitude};
}

}  // namespace qmr
