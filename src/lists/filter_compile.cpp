// Compiles a filter tree into mask steps.  Registers are used as a stack:
// a node's result lands in the lowest register it takes, and everything
// above is free again once it is done.  Where evaluating a connective's
// right-hand side first needs far fewer registers (a deep right-nested
// expression), the sides are swapped, which keeps the registers to a few
// dozen for any tree; otherwise the text's order is kept, so that cheap
// conditions written first spare the later ones.
#include <algorithm>

#include "lists/filter_eval.h"
#include "lists/group.h"

namespace qmr {
namespace {

// Registers worth spending before the text's order gives way.
constexpr std::uint32_t kPreferredRegisters = 16;

struct Plan {
    std::uint32_t need;  // registers the node takes, its result's included
    bool swapped;        // evaluate the second operand first
};

struct Frame {
    std::uint32_t node;
    std::uint32_t state;   // 0: start, 1: left side done, 2: right side done
    std::uint32_t active;  // register of the occurrences still to decide
    bool inPlace;          // a comparison that may write over `active`
    std::uint32_t left;    // register of the side evaluated first
};

bool isComparison(const FilterTree& tree, std::uint32_t node) noexcept {
    return tree.nodes[node].kind == FilterNode::comparison;
}

// Registers for evaluating x, then y on what x leaves open.
std::uint32_t needInOrder(const FilterTree& tree, const Plan* plan, const FilterNode& node, std::uint32_t x,
                          std::uint32_t y) noexcept {
    const std::uint32_t held = node.connective == Connective::conjunction ? 1 : 2;  // x's result (and y's domain)
    const std::uint32_t right = isComparison(tree, y) ? 0 : plan[y].need;
    return std::max(plan[x].need, held + right);
}

void planNodes(const FilterTree& tree, Plan* plan, Frame* frames) noexcept {
    std::uint32_t depth = 0;
    frames[depth++] = {tree.root, 0, 0, false, 0};
    while (depth > 0) {
        Frame& f = frames[depth - 1];
        const FilterNode& node = tree.nodes[f.node];
        if (node.kind == FilterNode::comparison || f.state == 2) {
            if (node.kind == FilterNode::comparison) {
                plan[f.node] = {1, false};
            } else {
                const std::uint32_t inOrder = needInOrder(tree, plan, node, node.first, node.second);
                const std::uint32_t swapped = needInOrder(tree, plan, node, node.second, node.first);
                const bool swap = inOrder > std::max(swapped, kPreferredRegisters);
                plan[f.node] = {swap ? swapped : inOrder, swap};
            }
            --depth;
            continue;
        }
        const std::uint32_t next = f.state++ == 0 ? node.first : node.second;
        frames[depth++] = {next, 0, 0, false, 0};
    }
}

}  // namespace

int compileFilter(const FilterTree& tree, FilterProgram& program) noexcept {
    WorkingStorage<Plan> plan;
    WorkingStorage<Frame> frames;  // a path from the root: at most every node
    if (!plan.obtain(tree.count) || !frames.obtain(tree.count) || !program.steps.obtain(2 * std::size_t{tree.count})) {
        return kListFailed;
    }
    planNodes(tree, plan.get(), frames.get());

    std::uint32_t steps = 0;
    const auto emit = [&](FilterStep::Op op, std::uint32_t node, std::uint32_t a, std::uint32_t b, std::uint32_t out) {
        program.steps[steps++] = {op, node, a, b, out};
    };
    std::uint32_t next = 1;  // the lowest free register
    std::uint32_t highest = 1;
    std::uint32_t result = 0;  // register of the node finished last
    std::uint32_t depth = 0;
    frames[depth++] = {tree.root, 0, 0, false, 0};
    while (depth > 0) {
        Frame& f = frames[depth - 1];
        const FilterNode& node = tree.nodes[f.node];
        if (node.kind == FilterNode::comparison) {
            result = f.inPlace ? f.active : next++;
            emit(FilterStep::compare, f.node, f.active, 0, result);
            --depth;
        } else {
            const bool swap = plan[f.node].swapped;
            const std::uint32_t x = swap ? node.second : node.first;
            const std::uint32_t y = swap ? node.first : node.second;
            const bool conjunction = node.connective == Connective::conjunction;
            if (f.state == 0) {
                f.state = 1;
                frames[depth++] = {x, 0, f.active, false, 0};
            } else if (f.state == 1) {
                f.state = 2;
                f.left = result;
                std::uint32_t domain = f.left;  // AND: y matters only where x holds
                if (!conjunction) {             // OR: only where x fails
                    domain = next++;
                    emit(FilterStep::exclude, 0, f.active, f.left, domain);
                }
                frames[depth++] = {y, 0, domain, isComparison(tree, y), 0};
            } else {
                if (!conjunction) {
                    emit(FilterStep::merge, 0, result, 0, f.left);
                } else if (result != f.left) {
                    emit(FilterStep::copy, 0, result, 0, f.left);
                }
                result = f.left;
                next = f.left + 1;
                --depth;
            }
        }
        highest = std::max(highest, next);
    }
    program.stepCount = steps;
    program.registerCount = highest;
    if (!program.masks.obtain(std::size_t{highest} * kFilterBlock)) return kListFailed;
    return kListDone;
}

}  // namespace qmr
