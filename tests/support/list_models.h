// The filter and the sort as their rules read, for the list tests and
// fuzz targets, and the check of one call against them.  They share no
// code with the library.
//
// The filter: the expression read left to right into a tree (comparisons
// joined from the left, except that a connective written directly before
// "(" takes all the rest of the text as its right-hand side; parentheses
// otherwise only have to balance at the end), evaluated recursively for
// one occurrence at a time, in order, hiding each shown one that fails.
//
// The sort: the keys read pair by pair, a std::stable_sort of the
// occurrences by them (NaN after every number, -0 equal to +0, texts
// through VKSTRNCM over their element size, 20-byte values by the host's
// tests or byte by byte), then every array the rules name put into that
// order.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string_view>
#include <utility>

#include "platform/alloc.h"
#include "support/list_group.h"

namespace qmr_test {

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
    return static_cast<std::int32_t>(std::clamp(std::strtoll(text.c_str(), nullptr, 10), -0x80000000LL, 0x7FFFFFFFLL));
}

struct ModelNode {
    char kind;          // 'c' a comparison, '&' AND, '|' OR
    int field, op;      // the compared field (from 0); 1 "=", 2 "<>", 3 "<", 4 "<=", 5 ">", 6 ">="
    double number;      // the literal of a number, date or time field (every int32 is exact)
    std::string text;   // the literal of a text or timestamp field
    int first, second;  // AND, OR: the left-hand and right-hand operands
};

struct FilterReader {
    static constexpr std::size_t npos = std::string::npos;
    const std::string& s;
    const GroupDescriptor& group;
    std::size_t at;
    int depth;
    std::vector<ModelNode> nodes;

    bool atEnd() const { return at == s.size(); }
    void blanks() { at = std::min(s.find_first_not_of(' ', at), s.size()); }
    bool startsWith(std::string_view form) const { return s.compare(at, form.size(), form) == 0; }
    int add(ModelNode node) { return nodes.push_back(node), static_cast<int>(nodes.size()) - 1; }
    std::string run(std::string_view ends) {  // at most 49 characters, none of `ends`
        const std::size_t from = at;
        while (at - from < 49 && !atEnd() && ends.find(s[at]) == std::string_view::npos) ++at;
        return s.substr(from, at - from);
    }

    // The text from here to its end; -1 on a syntax error.
    int sequence() {
        for (int left = -1, connective = 0;;) {
            for (blanks(); !atEnd() && s[at] == '('; blanks()) ++depth, ++at;
            const int right = atEnd() ? -1 : comparison();
            if (right < 0) return -1;
            left = connective == 0 ? right : add({char(connective), 0, 0, 0, "", left, right});
            for (blanks(); !atEnd() && s[at] == ')'; blanks()) --depth, ++at;
            if (atEnd()) return left;
            connective = startsWith("AND") || startsWith("and") ? '&' : startsWith("OR") || startsWith("or") ? '|' : 0;
            if (connective == 0) return -1;
            at += connective == '&' ? 3 : 2;
            blanks();
            if (atEnd() || s[at] != '(') continue;
            const int rest = sequence();
            return rest < 0 ? -1 : add({char(connective), 0, 0, 0, "", left, rest});
        }
    }

    int comparison() {
        ModelNode node{'c', modelDecimal(run(" =<>")) - 1, 0, 0, "", -1, -1};
        if (node.field < 0 || static_cast<std::uint32_t>(node.field) >= group.fieldCount) return -1;
        blanks();
        static constexpr std::string_view kOperators[] = {"<>", "<=", ">=", "=", "<", ">"};
        for (int k = 0; k < 6 && node.op == 0; ++k) {
            if (startsWith(kOperators[k])) node.op = "246135"[k] - '0', at += kOperators[k].size();
        }
        blanks();
        if (node.op == 0 || atEnd() || !literal(group.fields[node.field].typeCode, node)) return -1;
        return add(node);
    }

    bool literal(std::int32_t type, ModelNode& node) {
        if (type == QMR_FIELD_TIMESTAMP) {
            node.text = s.substr(at, 20);
            return at += node.text.size(), node.text.size() == 20 && node.text.find_first_not_of("0123456789") == npos;
        }
        if (isTextField(type)) {  // a "" inside stands for one quote
            for (bool open = s[at++] == '"'; open && !atEnd(); node.text += s[at++]) {
                if (s[at] == '"' && !startsWith("\"\"")) return ++at, true;
                at += s[at] == '"';
            }
            return false;
        }
        if (type == QMR_FIELD_REAL) {  // as strtod reads it in the C locale, without hexadecimal forms
            std::string number = s.substr(at, 49);
            std::size_t p = std::min(number.find_first_not_of(" \t\n\v\f\r"), number.size());
            p += p < number.size() && (number[p] == '+' || number[p] == '-');
            if (number.compare(p, 2, "0x") == 0 || number.compare(p, 2, "0X") == 0) number.resize(p + 1);
            char* stop = nullptr;
            node.number = std::strtod(number.c_str(), &stop);
            return at += static_cast<std::size_t>(stop - number.c_str()), true;
        }
        std::string r = run(" )AOao");
        node.number = type == QMR_FIELD_SHORT ? static_cast<std::int16_t>(modelDecimal(r)) : modelDecimal(r);
        if (type == QMR_FIELD_SHORT || type == QMR_FIELD_LONG) return !r.empty();
        std::string shape = r;  // digits as 0, each separator as the first of its kind
        for (char& c : shape) c = c >= '0' && c <= '9' ? '0' : c == '/' ? '-' : c == ':' ? '.' : c;
        if ((type != QMR_FIELD_DATE && type != QMR_FIELD_TIME) ||
            shape != (type == QMR_FIELD_DATE ? "0000-00-00" : "00.00.00")) return false;
        std::erase_if(r, [](char c) { return c < '0' || c > '9'; });
        return node.number = std::stod(r), true;
    }

    // Whether node n holds for occurrence i.
    bool holds(int n, std::uint32_t i) const {
        const ModelNode& node = nodes[n];
        if (node.kind != 'c') return node.kind == '&' ? holds(node.first, i) && holds(node.second, i)
                                                      : holds(node.first, i) || holds(node.second, i);
        const FieldDescriptor& f = group.fields[node.field];
        int c = 0;  // the sign of the value against the literal; a NaN is neither less nor greater
        if (isTextField(f.typeCode)) {  // without trailing blanks, over the longer of the two
            const char* element = static_cast<const char*>(f.data) + i * f.elementSize;
            const std::string_view value(element, strnlen(element, f.elementSize));
            const auto trimmed = [](std::string_view t) { return t.substr(0, t.find_last_not_of(' ') + 1).size(); };
            c = modelStrncmp(value, node.text, std::max(trimmed(value), trimmed(node.text)));
        } else {
            c = (numberAt(f, i) > node.number) - (numberAt(f, i) < node.number);
        }
        const bool byOperator[] = {c == 0, c != 0, c < 0, c <= 0, c > 0, c >= 0};
        return byOperator[node.op - 1];
    }
};

// What QMRFLTR does to the group under the rules, done in place; returns
// the message.
inline std::string modelFilter(GroupDescriptor& group, const std::string& expression) {
    if (group.occurrenceCount == 0) return "";
    FilterReader reader{expression, group, 0, 0, {}};
    const int root = reader.sequence();
    if (reader.depth != 0 || root < 0) return reader.depth != 0 ? " 155" : " 154";
    const FieldDescriptor& s = group.fields[group.selectionField];
    bool readable = s.data != nullptr && s.elementSize != 0;
    for (const ModelNode& n : reader.nodes) readable = readable && (n.kind != 'c' || group.fields[n.field].data);
    for (std::uint32_t i = 0; readable && i < group.occurrenceCount; ++i) {
        char& flag = static_cast<char*>(s.data)[std::size_t{i} * s.elementSize];
        if (flag != 'H' && !reader.holds(root, i)) flag = 'H';
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
    if (f.typeCode == QMR_FIELD_VALUE20 && !hostValue20.first) return std::clamp(std::memcmp(x, y, 20), -1, 1);
    if (f.typeCode == QMR_FIELD_VALUE20) return hostValue20.first(x, y) ? -1 : !hostValue20.second(x, y);
    const double v = width != 0 ? numberAt(f, a) : 0, w = width != 0 ? numberAt(f, b) : 0;
    return std::isnan(v) || std::isnan(w) ? std::isnan(v) - std::isnan(w) : (v > w) - (v < w);
}

// What QMRSORT does to the group under the rules, done in place; returns
// the message.
inline std::string modelSort(GroupDescriptor& group, const std::string& keyText) {
    if (group.occurrenceCount == 0) return "";
    std::vector<std::string> tokens;
    for (std::size_t at = 0; (at = keyText.find_first_not_of(' ', at)) != std::string::npos; at += tokens.back().size()) {
        tokens.push_back(keyText.substr(at, keyText.find(' ', at) - at));
    }
    if (tokens.empty()) return " 153";
    std::vector<std::pair<const FieldDescriptor*, bool>> keys;  // field, ascending
    for (std::size_t t = 0; t < tokens.size(); t += 2) {
        const std::int32_t number = modelDecimal(tokens[t]);
        if (number < 1 || static_cast<std::uint32_t>(number) > group.fieldCount) return " 155";
        if (t + 1 == tokens.size() || tokens[t + 1].size() != 1 || !std::strchr("AaDd", tokens[t + 1][0])) return " 154";
        keys.emplace_back(&group.fields[number - 1], tokens[t + 1] == "A" || tokens[t + 1] == "a");
    }
    for (const auto& [f, ascending] : keys) if (widthOfType(f->typeCode, f->elementSize) != 0 && !f->data) return " 153";
    std::vector<std::size_t> order(group.occurrenceCount);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
        for (const auto& [f, ascending] : keys) {
            if (const int c = modelCompareKey(*f, a, b); c != 0) return ascending ? c < 0 : c > 0;
        }
        return false;
    });
    // Occurrence order[k] to place k of every array the rules move.
    const auto permute = [&order](void* array, std::size_t width) {
        if (array == nullptr || width == 0) return;
        auto* bytes = static_cast<unsigned char*>(array);
        const std::vector<unsigned char> copy(bytes, bytes + width * order.size());
        for (std::size_t k = 0; k < order.size(); ++k) std::memcpy(bytes + k * width, &copy[order[k] * width], width);
    };
    permute(group.occurrenceState, 1);
    for (std::uint32_t f = 0; f < group.fieldCount; ++f) {
        FieldDescriptor& d = group.fields[f];
        if (group.cellStateFlag != 0) permute(d.cellState, 1);
        permute(d.cellAttributes, QMR_CELL_ATTRIBUTE_SIZE);
        permute(d.data, widthOfType(d.typeCode, d.elementSize));
    }
    return "";
}

using ListFunction = void(QMR_CALL*)(void*, void*, CallContext*, GroupDescriptor*, const char*);

// Calls `function` (QMRFLTR or QMRSORT) on the group with its `failAt`-th
// allocation failing (none for 0), beside its model, which applies the
// rules to the group in place and gives their message; a failed
// allocation must give " 153" and leave the group as it was.  Returns ""
// when the name, the message and every byte agree, else what differs;
// `allocations` receives the number the call made.  The group is left as
// it was.
inline std::string checkListCall(ListFunction function, ListGroup& g, const std::string& text, long failAt = 0,
                                 long* allocations = nullptr) {
    const bool filter = function == QMRFLTR;
    const std::vector<Bytes> before = g.snapshot();
    std::string message = filter ? modelFilter(g.group, text) : modelSort(g.group, text);
    std::vector<Bytes> wanted = g.snapshot();
    g.restore(before);
    TestContext context;
    qmr::testing::failAllocation(failAt);
    function(nullptr, nullptr, context.get(), &g.group, text.c_str());
    const long made = qmr::testing::allocationCount();
    qmr::testing::failAllocation(0);
    if (allocations != nullptr) *allocations = made;
    if (failAt > 0 && made >= failAt) message = " 153", wanted = before;
    const std::vector<Bytes> got = g.snapshot();
    g.restore(before);
    if (context.name() != (filter ? "QMRFLTR " : "QMRSORT ") || context.error() != message) {
        return context.name() + " reported '" + context.error() + "', not '" + message + "'";
    }
    return got == wanted ? "" : "the group differs from the rules'";
}

}  // namespace qmr_test
