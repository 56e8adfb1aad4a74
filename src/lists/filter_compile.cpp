// The steps of a filter tree, read off it in the text's order: the
// connectives written before "(" down the tree's right-hand side, each
// with its chain as first operand; in each chain, the comparisons from
// the innermost first operand outwards (filter_eval.h).
#include "lists/filter_eval.h"

namespace qmr {
namespace {

bool isComparison(const FilterTree& tree, std::uint32_t node) noexcept {
    return tree.nodes[node].kind == FilterNode::comparison;
}

class StepWriter {
public:
    StepWriter(const FilterTree& tree, FilterProgram& program, std::uint32_t* path) noexcept
        : tree_(tree), program_(program), path_(path) {}

    void add(FilterStep::Kind kind, std::uint32_t node = 0) noexcept {
        program_.steps[program_.stepCount++] = {kind, node};
    }

    // A chain's comparisons, first to last; false for another shape.
    bool chain(std::uint32_t node) noexcept {
        std::uint32_t depth = 0;
        for (; !isComparison(tree_, node); node = tree_.nodes[node].first) path_[depth++] = node;
        add(FilterStep::begin, node);
        while (depth > 0) {
            const FilterNode& connective = tree_.nodes[path_[--depth]];
            if (!isComparison(tree_, connective.second)) return false;
            add(connective.connective == Connective::conjunction ? FilterStep::andAlso : FilterStep::orElse,
                connective.second);
        }
        return true;
    }

private:
    const FilterTree& tree_;
    FilterProgram& program_;
    std::uint32_t* path_;  // the connectives above a chain's first comparison
};

}  // namespace

ListResult compileFilter(const FilterTree& tree, FilterProgram& program) noexcept {
    // One step per comparison, per connective before "(" and for the end.
    WorkingStorage<std::uint32_t> path;
    if (!path.obtain(tree.count) || !program.steps.obtain(std::size_t{tree.count} + 1)) return ListResult::failed;
    program.stepCount = 0;
    StepWriter writer(tree, program, path.get());
    std::uint32_t node = tree.root;
    for (; !isComparison(tree, node) && !isComparison(tree, tree.nodes[node].second); node = tree.nodes[node].second) {
        const FilterNode& connective = tree.nodes[node];
        if (!writer.chain(connective.first)) return ListResult::tree;  // a guard: the parser builds no such tree
        writer.add(connective.connective == Connective::conjunction ? FilterStep::narrow : FilterStep::accept);
    }
    if (!writer.chain(node)) return ListResult::tree;  // a guard, as above
    writer.add(FilterStep::accept);
    return ListResult::done;
}

}  // namespace qmr
