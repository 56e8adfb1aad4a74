// The filter expression parser.  It reads the text left to right and
// pushes every comparison and connective on one stack; the grouping comes
// only from where each connective lands on it (after the comparison that
// follows it, or before a "(" that follows it), which the tree building
// then reads from the top.  Parentheses otherwise only count: they must
// balance when the text ends.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "frame/digits.h"
#include "lists/filter_literal.h"
#include "lists/filter_tree.h"
#include "lists/group.h"

namespace qmr {
namespace {

constexpr std::size_t kInitialStack = 50;

class Parser {
public:
    Parser(FilterTree& tree, const FieldDescriptor* fields, std::uint32_t fieldCount) noexcept
        : tree_(tree), fields_(fields), fieldCount_(fieldCount) {}

    // Steps through the copied text; done when it ends after a comparison
    // or a ")".
    ListResult run() noexcept {
        skipBlanks();
        if (atEnd()) return ListResult::syntax;
        bool connectivePending = false;  // pushed after the next comparison, or before a "("
        FilterNode connective{};
        for (;;) {
            if (*cursor_ == '(') {
                if (connectivePending && !push(connective)) return ListResult::failed;
                connectivePending = false;
                ++depth_;
                ++cursor_;
                skipBlanks();
                if (atEnd()) return ListResult::syntax;
                continue;
            }
            FilterNode node{};
            if (const ListResult result = comparison(node); result != ListResult::done) return result;
            if (!push(node) || (connectivePending && !push(connective))) return ListResult::failed;
            connectivePending = false;
            skipBlanks();
            while (!atEnd() && *cursor_ == ')') {
                --depth_;
                ++cursor_;
                skipBlanks();
            }
            if (atEnd()) return ListResult::done;
            if (!readConnective(connective)) return ListResult::syntax;
            skipBlanks();
            if (atEnd()) return ListResult::syntax;
            connectivePending = true;
        }
    }

    int depth() const noexcept { return depth_; }

    bool start(const char* expression) noexcept {
        const std::size_t length = std::strlen(expression);
        if (length >= UINT32_MAX || !tree_.text.obtain(length + 1) || !tree_.nodes.obtain(kInitialStack)) return false;
        std::memcpy(tree_.text.get(), expression, length + 1);
        cursor_ = tree_.text.get();
        end_ = cursor_ + length;
        return true;
    }

private:
    bool atEnd() const noexcept { return cursor_ == end_; }
    void skipBlanks() noexcept {
        while (cursor_ != end_ && *cursor_ == ' ') ++cursor_;
    }

    bool push(const FilterNode& node) noexcept {
        if (tree_.count == tree_.nodes.capacity() && !tree_.nodes.grow(tree_.count)) return false;
        tree_.nodes[tree_.count++] = node;
        return true;
    }

    bool readConnective(FilterNode& node) noexcept {
        const std::string_view rest(cursor_, static_cast<std::size_t>(end_ - cursor_));
        node = FilterNode{};
        node.kind = FilterNode::logical;
        if (rest.starts_with("AND") || rest.starts_with("and")) {
            node.connective = Connective::conjunction;
            cursor_ += 3;
        } else if (rest.starts_with("OR") || rest.starts_with("or")) {
            node.connective = Connective::disjunction;
            cursor_ += 2;
        } else {
            return false;
        }
        return true;
    }

    // FIELD OP LITERAL at the cursor.
    ListResult comparison(FilterNode& node) noexcept {
        node.kind = FilterNode::comparison;
        // The field number: a run without blanks or operator characters.
        const std::size_t limit = std::min<std::size_t>(kScanLimit, static_cast<std::size_t>(end_ - cursor_));
        std::size_t run = 0;
        while (run < limit && std::string_view(" =<>").find(cursor_[run]) == std::string_view::npos) ++run;
        const std::int32_t number = readDecimal(cursor_, run);
        if (run == 0 || number < 1 || static_cast<std::uint32_t>(number) > fieldCount_) return ListResult::syntax;
        node.field = static_cast<std::uint32_t>(number - 1);
        cursor_ += run;
        skipBlanks();
        if (atEnd() || !readOperator(node)) return ListResult::syntax;
        skipBlanks();
        if (atEnd()) return ListResult::syntax;
        char* after = readLiteral(tree_.text.get(), cursor_, end_, fields_[node.field].typeCode, node);
        if (after == nullptr) return ListResult::syntax;
        cursor_ = after;
        return ListResult::done;
    }

    bool readOperator(FilterNode& node) noexcept {
        const char next = cursor_ + 1 != end_ ? cursor_[1] : '\0';
        std::size_t length = 1;
        switch (*cursor_) {
        case '=': node.op = Operator::equal; break;
        case '<':
            node.op = next == '=' ? Operator::lessOrEqual : next == '>' ? Operator::notEqual : Operator::less;
            length = node.op == Operator::less ? 1 : 2;
            break;
        case '>':
            node.op = next == '=' ? Operator::greaterOrEqual : Operator::greater;
            length = node.op == Operator::greater ? 1 : 2;
            break;
        default: return false;
        }
        cursor_ += length;
        return true;
    }

    FilterTree& tree_;
    const FieldDescriptor* fields_;
    std::uint32_t fieldCount_;
    char* cursor_ = nullptr;
    char* end_ = nullptr;
    int depth_ = 0;  // may fall below 0 on the way; only the end counts
};

}  // namespace

ListResult parseFilter(const char* expression, const FieldDescriptor* fields, std::uint32_t fieldCount,
                       FilterTree& tree) noexcept {
    tree.count = 0;
    Parser parser(tree, fields, fieldCount);
    if (!parser.start(expression)) return ListResult::failed;
    const ListResult result = parser.run();
    // Running out of storage says nothing about the text, so it is not
    // reported as unbalanced parentheses; every refusal of the text is.
    if (result == ListResult::failed) return result;
    if (parser.depth() != 0) return ListResult::parentheses;
    if (result != ListResult::done) return result;
    return buildFilterTree(tree);
}

ListResult buildFilterTree(FilterTree& tree) noexcept {
    // Operands still to be filled: node index * 2, + 1 for the second.
    WorkingStorage<std::uint32_t> pending;
    if (!pending.obtain(tree.count + std::size_t{1})) return ListResult::failed;
    std::size_t pendingCount = 0;
    std::uint32_t top = tree.count;  // nodes [0, top) are still on the stack
    bool haveRoot = false;
    const auto awaitOperands = [&](std::uint32_t node) {
        pending[pendingCount++] = node * 2;      // first, filled last
        pending[pendingCount++] = node * 2 + 1;  // second, filled next
    };
    while (top > 0) {
        const std::uint32_t n = --top;
        FilterNode& node = tree.nodes[n];
        if (node.kind == FilterNode::comparison) {
            if (haveRoot) return ListResult::tree;
            tree.root = n;
            haveRoot = true;
            continue;
        }
        if (node.kind != FilterNode::logical) return ListResult::tree;
        if (haveRoot) {
            node.second = tree.root;
            pending[pendingCount++] = n * 2;
        } else {
            awaitOperands(n);
        }
        tree.root = n;
        haveRoot = true;
        while (pendingCount > 0) {
            const std::uint32_t slot = pending[--pendingCount];
            if (top == 0) return ListResult::tree;
            const std::uint32_t operand = --top;
            FilterNode& owner = tree.nodes[slot / 2];
            (slot % 2 != 0 ? owner.second : owner.first) = operand;
            if (tree.nodes[operand].kind == FilterNode::logical) {
                awaitOperands(operand);
            } else if (tree.nodes[operand].kind != FilterNode::comparison) {
                return ListResult::tree;
            }
        }
    }
    return haveRoot ? ListResult::done : ListResult::tree;
}

}  // namespace qmr
