#include "lists/filter_literal.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

#include "frame/digits.h"
#include "lists/group.h"

namespace qmr {
namespace {

// An unquoted integer, date or time literal ends before a blank, ")" or
// the first letter of a connective, so that "5AND" reads as 5 and AND.
constexpr std::string_view kUnquotedEnds = " )AOao";

std::size_t unquotedRun(const char* cursor, const char* end) noexcept {
    const std::size_t limit = std::min<std::size_t>(kScanLimit, static_cast<std::size_t>(end - cursor));
    std::size_t n = 0;
    while (n < limit && kUnquotedEnds.find(cursor[n]) == std::string_view::npos) ++n;
    return n;
}

// Digits at the places `pattern` marks with 'd', one of `separators` at
// the places it marks with 's'; the digits as one number.
bool readPattern(const char* run, std::size_t length, std::string_view pattern, std::string_view separators,
                 std::int32_t& value) noexcept {
    if (length != pattern.size()) return false;
    std::int32_t v = 0;  // at most 8 digits
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(run[i]);
        if (pattern[i] == 'd') {
            if (!isDigit(c)) return false;
            v = v * 10 + (c - '0');
        } else if (separators.find(run[i]) == std::string_view::npos) {
            return false;
        }
    }
    value = v;
    return true;
}

// Text between double quotes; "" inside stands for one quote.  The text
// is moved down over its opening quote so the copy holds it contiguously.
char* readQuoted(char* base, char* cursor, char* end, TextSpan& span) noexcept {
    if (cursor == end || *cursor != '"') return nullptr;
    char* out = cursor;
    span.offset = static_cast<std::uint32_t>(cursor - base);
    for (char* in = cursor + 1; in != end; ++in) {
        if (*in == '"') {
            if (in + 1 == end || in[1] != '"') {
                span.length = static_cast<std::uint32_t>(out - cursor);
                return in + 1;
            }
            ++in;
        }
        *out++ = *in;
    }
    return nullptr;
}

// For a conversion out of the double range: whether the number's decimal
// exponent is positive (an overflow) rather than negative (an underflow).
bool overflows(const char* text, const char* end) noexcept {
    const char* p = text;
    while (p != end && *p == '0') ++p;
    std::int64_t magnitude = 0;  // decimal exponent of the first significant digit, +1
    bool significant = false;
    for (; p != end && isDigit(static_cast<unsigned char>(*p)); ++p) ++magnitude, significant = true;
    if (p != end && *p == '.') {
        for (++p; p != end && isDigit(static_cast<unsigned char>(*p)); ++p) {
            if (significant) continue;
            if (*p == '0') --magnitude;
            else significant = true;
        }
    }
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = p != end && *p == '-';
        if (p != end && (*p == '-' || *p == '+')) ++p;
        std::int64_t exponent = 0;  // saturated far beyond any double
        for (; p != end && isDigit(static_cast<unsigned char>(*p)); ++p) {
            exponent = std::min<std::int64_t>(exponent * 10 + (*p - '0'), 100000);
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude > 0;
}

}  // namespace

std::size_t readReal(const char* text, std::size_t length, double& value) noexcept {
    value = 0;
    std::size_t i = 0;
    while (i < length && isCSpace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i < length && (text[i] == '+' || text[i] == '-')) return 0;
    double v = 0;
    const auto [stop, error] = std::from_chars(text + i, text + length, v, std::chars_format::general);
    if (stop == text + i) return 0;
    if (error == std::errc::result_out_of_range) {
        v = overflows(text + i, stop) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    value = negative ? -v : v;
    return static_cast<std::size_t>(stop - text);
}

char* readLiteral(char* base, char* cursor, char* end, std::int32_t type, FilterNode& node) noexcept {
    const auto available = static_cast<std::size_t>(end - cursor);
    if (isTextType(type) && type != QMR_FIELD_TIMESTAMP) return readQuoted(base, cursor, end, node.literal.text);
    switch (type) {
    case QMR_FIELD_TIMESTAMP: {
        constexpr std::size_t kDigits = 20;  // yyyymmddhhmmssffffff
        if (available < kDigits) return nullptr;
        for (std::size_t i = 0; i < kDigits; ++i) {
            if (!isDigit(static_cast<unsigned char>(cursor[i]))) return nullptr;
        }
        node.literal.text = {static_cast<std::uint32_t>(cursor - base), kDigits};
        return cursor + kDigits;
    }
    case QMR_FIELD_REAL: return cursor + readReal(cursor, std::min(available, kScanLimit), node.literal.real);
    case QMR_FIELD_SHORT:
    case QMR_FIELD_LONG:
    case QMR_FIELD_DATE:
    case QMR_FIELD_TIME: {
        const std::size_t n = unquotedRun(cursor, end);
        if (n == 0) return nullptr;
        std::int32_t& value = node.literal.integer;
        if (type == QMR_FIELD_DATE) {
            if (!readPattern(cursor, n, "ddddsddsdd", "-/", value)) return nullptr;
        } else if (type == QMR_FIELD_TIME) {
            if (!readPattern(cursor, n, "ddsddsdd", ".:", value)) return nullptr;
        } else {
            value = readDecimal(cursor, n);
            // A short field compares with the low 16 bits of the number.
            if (type == QMR_FIELD_SHORT) value = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
        }
        return cursor + n;
    }
    default: return nullptr;  // 10, 11 and unknown codes take no literal
    }
}

}  // namespace qmr
