// A host's repeating group, the filter and the sort as their rules read,
// and the check of one call against them, for the list tests and fuzz
// targets.  They share no code with the library.
//
// The group: every column, state array and attribute array is a heap
// block of exactly its size, so that ASan stops any read or write outside
// it.  Values come from a few per type, so that literals and keys often
// meet equal values; texts hold blanks, quotes, 0xFF bytes and NULs, and
// fill their element without a NUL as often as not.
//
// The filter: the expression read left to right into one test of an
// occurrence (comparisons joined from the left, except that a connective
// written directly before "(" takes all the rest of the text as its
// right-hand side; parentheses otherwise only have to balance at the
// end), applied to one occurrence at a time, in order, hiding each shown
// one that fails.
//
// The sort: the keys read pair by pair, a std::stable_sort of the
// occurrences by them (NaN after every number, -0 equal to +0, texts
// through VKSTRNCM over their element size, 20-byte values by the host's
// tests or byte by byte), then every array the rules name put into that
// order.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <numeric>
#include <random>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/alloc.h"
#include "support/context.h"

namespace qmr_test {

using Bytes = std::vector<unsigned char>;

inline bool isTextField(std::int32_t type) {
    return type == QMR_FIELD_TEXT || type == QMR_FIELD_TIMESTAMP || type == QMR_FIELD_TEXT2 || type == QMR_FIELD_TEXT3;
}

// Bytes of one occurrence in a field's column; 0 where nothing is read or
// moved (type 10 and codes outside 1 to 11).
inline std::size_t widthOfType(std::int32_t type, std::uint32_t elementSize) {
    static constexpr std::size_t kWidths[] = {0, 2, 4, 8, 0, 4, 4, 0, 0, 0, 0, 20};  // codes 0-11
    if (isTextField(type)) return elementSize;
    return type >= 0 && type <= QMR_FIELD_VALUE20 ? kWidths[type] : 0;
}

// The value of occurrence i of a number, date or time field.
inline double numberAt(const FieldDescriptor& f, std::size_t i) {
    const auto load = [at = static_cast<const char*>(f.data)](auto v, std::size_t k) {
        return std::memcpy(&v, at + k * sizeof v, sizeof v), v;
    };
    if (f.typeCode == QMR_FIELD_SHORT) return load(std::int16_t{}, i);
    return f.typeCode == QMR_FIELD_REAL ? load(0.0, i) : load(std::int32_t{}, i);
}

struct ListGroup {
    // Fields of the type codes `types`; the selection flags are the first
    // byte of each element of field `selection` (from 0), or of a text
    // field of their own after the others when `selection` is types.size().
    ListGroup(std::uint32_t count, std::vector<std::int32_t> types, std::uint32_t selection, std::mt19937& random) {
        const auto pick = [&random](std::uint32_t n) { return std::uint32_t(random() % n); };
        const auto block = [this, &pick](std::size_t size) {
            Bytes& b = blocks.emplace_back(size);
            for (unsigned char& byte : b) byte = static_cast<unsigned char>(pick(256));
            return b.data();
        };
        if (selection == types.size()) types.push_back(QMR_FIELD_TEXT);
        for (std::uint32_t f = 0; f < types.size(); ++f) {
            const std::uint32_t size = types[f] == QMR_FIELD_TIMESTAMP ? 19 + pick(3) : 1 + pick(8);
            const std::size_t width = widthOfType(types[f], size);
            const bool flags = f == selection;
            unsigned char* column = block(std::max<std::size_t>(width, flags ? size : 0) * count);
            for (std::size_t i = 0; i < count; ++i) fill(types[f], column + i * width, width, pick);
            for (auto i = 0u; flags && i < count; ++i) column[i * size] = " *H-+<>Ax"[pick(9)];
            fields.push_back({pick(3) == 0 ? block(count) : nullptr,
                              pick(3) == 0 ? block(count * QMR_CELL_ATTRIBUTE_SIZE) : nullptr, types[f], size, column});
        }
        group = {count, static_cast<std::uint32_t>(fields.size()), std::int32_t(pick(2)),
                 pick(4) != 0 ? block(count) : nullptr, selection, fields.data()};
    }

    void restore(const std::deque<Bytes>& from) {  // into the blocks the descriptors name
        for (std::size_t a = 0; a < from.size(); ++a) std::ranges::copy(from[a], blocks[a].data());
    }

    std::deque<Bytes> blocks;  // every array, each its own heap block
    std::vector<FieldDescriptor> fields;
    GroupDescriptor group;

private:
    // A number from a few per type; a text's bytes from a few, NUL among
    // them (a timestamp: 19 digits, then more or a NUL).
    template <typename Pick>
    static void fill(std::int32_t type, unsigned char* at, std::size_t width, Pick& pick) {
        static constexpr std::int32_t kInts[] = {-1, 0, 1, 2, -32768, 32767, INT32_MIN, INT32_MAX};
        static constexpr double kReals[] = {-1.5, 0.0, -0.0, 2.5, NAN, INFINITY};
        const auto put = [at](auto v) { std::memcpy(at, &v, sizeof v); };
        const auto base = type == QMR_FIELD_DATE ? 20260101u : type == QMR_FIELD_TIME ? 120000u : 0;
        const auto number = static_cast<std::int32_t>(base != 0 ? base + pick(3) : kInts[pick(8)]);
        if (type == QMR_FIELD_SHORT) return put(static_cast<std::int16_t>(number));
        if (type == QMR_FIELD_REAL) return put(kReals[pick(6)]);
        if (widthOfType(type, 0) == 4) return put(number);
        for (std::size_t b = 0; b < width; ++b) {  // texts, timestamps and 20-byte values
            if (type == QMR_FIELD_TIMESTAMP) at[b] = b < 19 ? '1' : "012"[pick(4)];
            else at[b] = static_cast<unsigned char>("AB \"\xFF"[pick(6)]);
        }
    }
};

// VKSTRNCM as the edit-services stand-in compares: at most n unsigned
// bytes, up to a NUL both texts share; a text reads as NUL past its end.
inline int modelStrncmp(std::string_view a, std::string_view b, std::size_t n) {
    int x = 0, y = 0;
    for (std::size_t k = 0; k < n && x == y && (k == 0 || x != 0); ++k) {
        x = k < a.size() ? static_cast<unsigned char>(a[k]) : 0;
        y = k < b.size() ? static_cast<unsigned char>(b[k]) : 0;
    }
    return (x > y) - (x < y);
}

// A decimal number as strtol reads it, held to the 32-bit range.
inline std::int32_t modelDecimal(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp(value, -0x80000000LL, 0x7FFFFFFFLL));
}

// Whether an occurrence satisfies a part of the expression.
using OccurrenceTest = std::function<bool(std::size_t)>;

struct FilterReader {
    const std::string& s;
    const GroupDescriptor& group;
    std::size_t at = 0;
    int depth = 0;
    std::vector<const FieldDescriptor*> compared;

    bool atEnd() const { return at == s.size(); }
    void blanks() { at = std::min(s.find_first_not_of(' ', at), s.size()); }
    bool startsWith(std::string_view form) const { return s.compare(at, form.size(), form) == 0; }
    std::string run(std::string_view ends) {  // at most 49 characters, none of `ends`
        const std::size_t from = at;
        while (at - from < 49 && !atEnd() && ends.find(s[at]) == std::string_view::npos) ++at;
        return s.substr(from, at - from);
    }
    static OccurrenceTest join(char connective, OccurrenceTest a, OccurrenceTest b) {
        return [=](std::size_t i) { return connective == '&' ? a(i) && b(i) : a(i) || b(i); };
    }

    // The text from here to its end; null on a syntax error.
    OccurrenceTest sequence() {
        OccurrenceTest left;
        for (char connective = 0;;) {
            for (blanks(); !atEnd() && s[at] == '('; blanks()) ++depth, ++at;
            OccurrenceTest right = atEnd() ? nullptr : comparison();
            if (!right) return nullptr;
            left = connective == 0 ? right : join(connective, left, right);
            for (blanks(); !atEnd() && s[at] == ')'; blanks()) --depth, ++at;
            if (atEnd()) return left;
            const bool conjunction = startsWith("AND") || startsWith("and");
            connective = conjunction ? '&' : startsWith("OR") || startsWith("or") ? '|' : 0;
            if (connective == 0) return nullptr;
            at += connective == '&' ? 3 : 2;
            blanks();
            if (atEnd() || s[at] != '(') continue;
            OccurrenceTest rest = sequence();
            return rest ? join(connective, left, rest) : nullptr;
        }
    }

    OccurrenceTest comparison() {
        const std::int32_t field = modelDecimal(run(" =<>")) - 1;
        if (field < 0 || static_cast<std::uint32_t>(field) >= group.fieldCount) return nullptr;
        blanks();
        // Each operator with the signs of the value against the literal
        // (-1, 0, 1) for which it holds.
        static constexpr std::pair<std::string_view, std::string_view> kOperators[] = {
            {"<>", "101"}, {"<=", "110"}, {">=", "011"}, {"=", "010"}, {"<", "100"}, {">", "001"}};
        std::string_view holds;
        for (const auto& [form, signs] : kOperators) {
            if (holds.empty() && startsWith(form)) holds = signs, at += form.size();
        }
        blanks();
        const FieldDescriptor& f = group.fields[field];
        double number = 0;  // the literal of a number, date or time field (every int32 is exact)
        std::string text;   // of a text or timestamp field
        if (holds.empty() || atEnd() || !literal(f.typeCode, number, text)) return nullptr;
        compared.push_back(&f);
        return [&f, holds, number, text](std::size_t i) {
            // The sign of the value against the literal; NaN is neither less nor greater.
            int c = 0;
            if (isTextField(f.typeCode)) {  // without trailing blanks, over the longer of the two
                const char* element = static_cast<const char*>(f.data) + i * f.elementSize;
                const std::string_view value(element, strnlen(element, f.elementSize));
                const auto trimmed = [](std::string_view t) { return t.find_last_not_of(' ') + 1; };
                c = modelStrncmp(value, text, std::max(trimmed(value), trimmed(text)));
            } else {
                c = (numberAt(f, i) > number) - (numberAt(f, i) < number);
            }
            return holds[c + 1] == '1';
        };
    }

    bool literal(std::int32_t type, double& number, std::string& text) {
        if (type == QMR_FIELD_TIMESTAMP) {
            text = s.substr(at, 20);
            at += text.size();
            return text.size() == 20 && text.find_first_not_of("0123456789") == std::string::npos;
        }
        if (isTextField(type)) {  // a "" inside stands for one quote
            for (bool open = s[at++] == '"'; open && !atEnd(); text += s[at++]) {
                if (s[at] == '"' && !startsWith("\"\"")) return ++at, true;
                at += s[at] == '"';
            }
            return false;
        }
        // As strtod reads it in the C locale, without hexadecimal forms.
        if (type == QMR_FIELD_REAL) {
            std::string r = s.substr(at, 49);
            std::size_t p = std::min(r.find_first_not_of(" \t\n\v\f\r"), r.size());
            p += p < r.size() && (r[p] == '+' || r[p] == '-');
            if (r.compare(p, 2, "0x") == 0 || r.compare(p, 2, "0X") == 0) r.resize(p + 1);
            char* stop = nullptr;
            number = std::strtod(r.c_str(), &stop);
            return at += static_cast<std::size_t>(stop - r.c_str()), true;
        }
        std::string r = run(" )AOao");
        number = type == QMR_FIELD_SHORT ? std::int16_t(modelDecimal(r)) : modelDecimal(r);
        if (type == QMR_FIELD_SHORT || type == QMR_FIELD_LONG) return !r.empty();
        std::string shape = r;  // digits as 0, each separator as the first of its kind
        for (char& c : shape) c = c >= '0' && c <= '9' ? '0' : c == '/' ? '-' : c == ':' ? '.' : c;
        if (type != QMR_FIELD_DATE && type != QMR_FIELD_TIME) return false;
        if (shape != (type == QMR_FIELD_DATE ? "0000-00-00" : "00.00.00")) return false;
        std::erase_if(r, [](char c) { return c < '0' || c > '9'; });
        return number = std::stod(r), true;
    }
};

// What QMRFLTR does to a group of occurrences under the rules, done in
// place; returns the message.
inline std::string modelFilter(GroupDescriptor& group, const std::string& expression) {
    FilterReader reader{expression, group, 0, 0, {}};
    const OccurrenceTest root = reader.sequence();
    if (reader.depth != 0 || !root) return reader.depth != 0 ? " 155" : " 154";
    const FieldDescriptor& s = group.fields[group.selectionField];
    bool readable = s.data != nullptr && s.elementSize != 0;
    for (const FieldDescriptor* f : reader.compared) readable = readable && f->data != nullptr;
    for (std::size_t i = 0; readable && i < group.occurrenceCount; ++i) {
        char& flag = static_cast<char*>(s.data)[i * s.elementSize];
        if (flag != 'H' && !root(i)) flag = 'H';
    }
    return readable ? "" : " 153";
}

// The host's less-than and equality tests of 20-byte values, when a test
// has installed them; null for the default byte order.
using Value20Order = std::pair<QmrValue20Test, QmrValue20Test>;
inline Value20Order hostValue20;

// Negative, zero or positive as occurrence a orders before, with or
// after occurrence b in field f, ascending.
inline int modelCompareKey(const FieldDescriptor& f, std::size_t a, std::size_t b) {
    const std::size_t width = widthOfType(f.typeCode, f.elementSize);
    const char* x = static_cast<const char*>(f.data) + a * width;
    const char* y = static_cast<const char*>(f.data) + b * width;
    if (isTextField(f.typeCode)) return modelStrncmp({x, width}, {y, width}, width);
    const auto& [less, equal] = hostValue20;
    if (f.typeCode == QMR_FIELD_VALUE20 && less) return less(x, y) ? -1 : !equal(x, y);
    if (f.typeCode == QMR_FIELD_VALUE20) return std::clamp(std::memcmp(x, y, 20), -1, 1);
    const double v = width != 0 ? numberAt(f, a) : 0, w = width != 0 ? numberAt(f, b) : 0;
    return std::isnan(v) || std::isnan(w) ? std::isnan(v) - std::isnan(w) : (v > w) - (v < w);
}

// What QMRSORT does to a group of occurrences under the rules, done in
// place; returns the message.
inline std::string modelSort(GroupDescriptor& group, const std::string& keyText) {
    std::vector<std::string> tokens;
    for (std::size_t at = 0; (at = keyText.find_first_not_of(' ', at)) != std::string::npos;) {
        tokens.push_back(keyText.substr(at, keyText.find(' ', at) - at));
        at += tokens.back().size();
    }
    if (tokens.empty()) return " 153";
    std::vector<std::pair<const FieldDescriptor*, bool>> keys;  // field, ascending
    for (std::size_t t = 0; t < tokens.size(); t += 2) {
        const std::int32_t number = modelDecimal(tokens[t]);
        if (number < 1 || static_cast<std::uint32_t>(number) > group.fieldCount) return " 155";
        const std::string direction = t + 1 < tokens.size() ? tokens[t + 1] : "";
        if (direction.size() != 1 || !std::strchr("AaDd", direction[0])) return " 154";
        keys.emplace_back(&group.fields[number - 1], direction == "A" || direction == "a");
    }
    for (const auto& [f, ascending] : keys) {
        if (widthOfType(f->typeCode, f->elementSize) != 0 && !f->data) return " 153";
    }
    std::vector<std::size_t> order(group.occurrenceCount);
    std::iota(order.begin(), order.end(), 0);
    std::ranges::stable_sort(order, [&keys](std::size_t a, std::size_t b) {
        for (const auto& [f, ascending] : keys) {
            if (const int c = modelCompareKey(*f, a, b); c != 0) return ascending ? c < 0 : c > 0;
        }
        return false;
    });
    // Occurrence order[k] to place k of every array the rules move.
    const auto permute = [&order](void* array, std::size_t width) {
        if (array == nullptr || width == 0) return;
        auto* bytes = static_cast<unsigned char*>(array);
        const Bytes copy(bytes, bytes + width * order.size());
        for (std::size_t k = 0; k < order.size(); ++k) std::memcpy(bytes + k * width, &copy[order[k] * width], width);
    };
    permute(group.occurrenceState, 1);
    for (FieldDescriptor& d : std::span(group.fields, group.fieldCount)) {
        if (group.cellStateFlag != 0) permute(d.cellState, 1);
        permute(d.cellAttributes, QMR_CELL_ATTRIBUTE_SIZE);
        permute(d.data, widthOfType(d.typeCode, d.elementSize));
    }
    return "";
}

using ListFunction = void(QMR_CALL*)(void*, void*, CallContext*, GroupDescriptor*, const char*);

// Calls `function` (QMRFLTR or QMRSORT) on the group with its `failAt`-th
// allocation failing (none for 0), beside its model, which applies the
// rules to the group in place and gives their message (which must be
// `expected` when that is given); a failed allocation must give " 153"
// and leave the group as it was.  Returns "" when the name, the message
// and every byte agree, else what differs; `allocations` receives the
// number the call made.  The group is left as it was.
inline std::string checkListCall(ListFunction function, ListGroup& g, const std::string& text, long failAt = 0,
                                 long* allocations = nullptr, const char* expected = nullptr) {
    const bool filter = function == QMRFLTR, empty = g.group.occurrenceCount == 0;
    const std::deque<Bytes> before = g.blocks;
    // A group without occurrences: neither call reads the text or reports anything.
    std::string message = empty ? "" : filter ? modelFilter(g.group, text) : modelSort(g.group, text);
    if (expected != nullptr && message != expected) return "the rules give '" + message + "'";
    std::deque<Bytes> wanted = g.blocks;
    g.restore(before);
    TestContext context;
    qmr::testing::failAllocation(failAt);
    function(nullptr, nullptr, context.get(), &g.group, text.c_str());
    const long made = qmr::testing::allocationCount();
    qmr::testing::failAllocation(0);
    if (allocations != nullptr) *allocations = made;
    if (failAt > 0 && made >= failAt) message = " 153", wanted = before;
    const std::deque<Bytes> got = g.blocks;
    g.restore(before);
    if (context.name() != (filter ? "QMRFLTR " : "QMRSORT ") || context.error() != message) {
        return context.name() + " reported '" + context.error() + "', not '" + message + "'";
    }
    return got == wanted ? "" : "the group differs from the rules'";
}

}  // namespace qmr_test
