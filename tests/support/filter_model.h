// The filter as its rules read, for the list tests and fuzz targets: the
// expression read left to right into a tree (comparisons joined from the
// left, except that a connective written directly before "(" takes all
// the rest of the text as its right-hand side; parentheses otherwise only
// have to balance at the end), then evaluated recursively for one
// occurrence at a time, in order, hiding each shown one that fails.  It
// shares no code with the library.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "qmr/qmr.h"

namespace qmr_test {

// VKSTRNCM as the edit-services stand-in compares: at most n unsigned
// bytes, up to a NUL both texts share; a text reads as NUL past its end.
inline int modelStrncmp(std::string_view a, std::string_view b, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
        const unsigned x = k < a.size() ? static_cast<unsigned char>(a[k]) : 0;
        const unsigned y = k < b.size() ? static_cast<unsigned char>(b[k]) : 0;
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) break;
    }
    return 0;
}

// A decimal number as strtol reads it, held to the 32-bit range.
inline std::int32_t modelDecimal(const std::string& text) {
    return static_cast<std::int32_t>(std::clamp<long long>(std::strtoll(text.c_str(), nullptr, 10), INT32_MIN, INT32_MAX));
}

inline bool isTextField(std::int32_t type) {
    return type == QMR_FIELD_TEXT || type == QMR_FIELD_TIMESTAMP || type == QMR_FIELD_TEXT2 || type == QMR_FIELD_TEXT3;
}

struct ModelNode {
    char kind;           // 'c' a comparison, '&' AND, '|' OR
    int field = 0;       // the compared field, from 0
    int op = 0;          // 1 "=", 2 "<>", 3 "<", 4 "<=", 5 ">", 6 ">="
    double number = 0;   // the literal of a number, date or time field (every int32 is exact)
    std::string text;    // the literal of a text or timestamp field
    int first = -1, second = -1;  // AND, OR: the left-hand and right-hand operands
};

class FilterReader {
public:
    FilterReader(const std::string& text, const GroupDescriptor& group) : s_(text), group_(group) {}

    // The message the text deserves ("" when it is accepted) and the root.
    std::string read(int& root) {
        blanks();
        root = atEnd() ? -1 : sequence();
        return depth_ != 0 ? " 155" : root < 0 ? " 154" : "";
    }

    std::vector<ModelNode> nodes;

private:
    bool atEnd() const { return at_ == s_.size(); }
    void blanks() {
        while (!atEnd() && s_[at_] == ' ') ++at_;
    }
    bool startsWith(std::string_view form) const { return s_.compare(at_, form.size(), form) == 0; }
    int add(ModelNode node) {
        nodes.push_back(node);
        return static_cast<int>(nodes.size()) - 1;
    }
    // The run of at most 49 characters, none of them in `ends`.
    std::string run(std::string_view ends) {
        std::size_t n = 0;
        while (n < 49 && at_ + n < s_.size() && ends.find(s_[at_ + n]) == std::string_view::npos) ++n;
        at_ += n;
        return s_.substr(at_ - n, n);
    }

    // From here to the end of the text; -1 on a syntax error.
    int sequence() {
        int left = -1;
        char connective = 0;
        for (;;) {
            while (!atEnd() && s_[at_] == '(') ++depth_, ++at_, blanks();
            const int right = atEnd() ? -1 : comparison();
            if (right < 0) return -1;
            left = left < 0 ? right : add({connective, 0, 0, 0, "", left, right});
            blanks();
            while (!atEnd() && s_[at_] == ')') --depth_, ++at_, blanks();
            if (atEnd()) return left;
            const bool conjunction = startsWith("AND") || startsWith("and");
            if (!conjunction && !startsWith("OR") && !startsWith("or")) return -1;
            connective = conjunction ? '&' : '|';
            at_ += conjunction ? 3 : 2;
            blanks();
            if (atEnd()) return -1;
            if (s_[at_] == '(') {
                const int rest = sequence();
                return rest < 0 ? -1 : add({connective, 0, 0, 0, "", left, rest});
            }
        }
    }

    int comparison() {
        const std::int32_t number = modelDecimal(run(" =<>"));
        if (number < 1 || static_cast<std::uint32_t>(number) > group_.fieldCount) return -1;
        blanks();
        ModelNode node{'c', number - 1, 0, 0, "", -1, -1};
        node.op = startsWith("<>")   ? 2
                  : startsWith("<=") ? 4
                  : startsWith(">=") ? 6
                  : startsWith("=")  ? 1
                  : startsWith("<")  ? 3
                  : startsWith(">")  ? 5
                                     : 0;
        if (node.op == 0) return -1;
        at_ += node.op % 2 == 0 ? 2 : 1;
        blanks();
        if (atEnd() || !literal(group_.fields[node.field].typeCode, node)) return -1;
        return add(node);
    }

    bool literal(std::int32_t type, ModelNode& node) {
        if (isTextField(type) && type != QMR_FIELD_TIMESTAMP) {
            if (s_[at_] != '"') return false;
            for (++at_; at_ < s_.size(); ++at_) {
                if (s_[at_] == '"' && !startsWith("\"\"")) return ++at_, true;
                at_ += s_[at_] == '"';  // "" stands for one quote
                node.text += s_[at_];
            }
            return false;
        }
        if (type == QMR_FIELD_TIMESTAMP) {
            node.text = s_.substr(at_, 20);
            at_ += node.text.size();
            return node.text.size() == 20 && node.text.find_first_not_of("0123456789") == std::string::npos;
        }
        if (type == QMR_FIELD_REAL) {  // as strtod reads it in the C locale, but no hexadecimal forms
            std::string number = s_.substr(at_, 49);
            std::size_t p = std::min(number.find_first_not_of(" \t\n\v\f\r"), number.size());
            p += p < number.size() && (number[p] == '+' || number[p] == '-');
            if (number.compare(p, 2, "0x") == 0 || number.compare(p, 2, "0X") == 0) number.resize(p + 1);
            char* stop = nullptr;
            node.number = std::strtod(number.c_str(), &stop);
            at_ += static_cast<std::size_t>(stop - number.c_str());
            return true;
        }
        const std::string r = run(" )AOao");
        if (r.empty()) return false;
        if (type == QMR_FIELD_SHORT || type == QMR_FIELD_LONG) {
            node.number = type == QMR_FIELD_SHORT ? static_cast<std::int16_t>(modelDecimal(r)) : modelDecimal(r);
            return true;
        }
        const std::string_view pattern = type == QMR_FIELD_DATE ? "dddd-dd-dd" : "dd.dd.dd";
        const std::string_view separators = type == QMR_FIELD_DATE ? "-/" : ".:";
        if ((type != QMR_FIELD_DATE && type != QMR_FIELD_TIME) || r.size() != pattern.size()) return false;
        std::string digits;
        for (std::size_t k = 0; k < r.size(); ++k) {
            if (pattern[k] == 'd' && (r[k] < '0' || r[k] > '9')) return false;
            if (pattern[k] != 'd' && separators.find(r[k]) == std::string_view::npos) return false;
            if (pattern[k] == 'd') digits += r[k];
        }
        node.number = std::stod(digits);
        return true;
    }

    std::string s_;
    const GroupDescriptor& group_;
    std::size_t at_ = 0;
    int depth_ = 0;
};

// Whether node n holds for occurrence i.
inline bool modelHolds(const std::vector<ModelNode>& nodes, int n, const GroupDescriptor& group, std::uint32_t i) {
    const ModelNode& node = nodes[n];
    if (node.kind == '&') return modelHolds(nodes, node.first, group, i) && modelHolds(nodes, node.second, group, i);
    if (node.kind == '|') return modelHolds(nodes, node.first, group, i) || modelHolds(nodes, node.second, group, i);
    const FieldDescriptor& f = group.fields[node.field];
    const auto* data = static_cast<const char*>(f.data);
    int c = 0;  // the sign of the value against the literal
    if (isTextField(f.typeCode)) {  // without trailing blanks, over the longer of the two
        const std::string_view value(data + std::size_t{i} * f.elementSize, strnlen(data + std::size_t{i} * f.elementSize, f.elementSize));
        const auto trimmed = [](std::string_view t) { return t.substr(0, t.find_last_not_of(' ') + 1).size(); };
        c = modelStrncmp(value, node.text, std::max(trimmed(value), trimmed(node.text)));
    } else {
        const auto load = [data](auto v, std::size_t at) { return std::memcpy(&v, data + at * sizeof v, sizeof v), double(v); };
        const double v = f.typeCode == QMR_FIELD_SHORT  ? load(std::int16_t{}, i)
                         : f.typeCode == QMR_FIELD_REAL ? load(double{}, i)
                                                        : load(std::int32_t{}, i);
        c = v < node.number ? -1 : v > node.number ? 1 : 0;  // a NaN is neither
    }
    const bool holds[] = {c == 0, c != 0, c < 0, c <= 0, c > 0, c >= 0};
    return holds[node.op - 1];
}

// What QMRFLTR does to the group under the rules, done in place; returns
// the message.
inline std::string modelFilter(GroupDescriptor& group, const std::string& expression) {
    if (group.occurrenceCount == 0) return "";
    FilterReader reader(expression, group);
    int root = -1;
    if (std::string message = reader.read(root); !message.empty()) return message;
    const FieldDescriptor& s = group.fields[group.selectionField];
    bool readable = s.data != nullptr && s.elementSize != 0;
    for (const ModelNode& n : reader.nodes) readable = readable && (n.kind != 'c' || group.fields[n.field].data);
    if (!readable) return " 153";
    for (std::uint32_t i = 0; i < group.occurrenceCount; ++i) {
        char& flag = static_cast<char*>(s.data)[std::size_t{i} * s.elementSize];
        if (flag != 'H' && !modelHolds(reader.nodes, root, group, i)) flag = 'H';
    }
    return "";
}

}  // namespace qmr_test
