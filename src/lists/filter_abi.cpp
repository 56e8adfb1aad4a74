// QMRFLTR: hides the shown occurrences of a group that fail an expression.
#include "frame/call_context.h"
#include "lists/filter_eval.h"
#include "lists/filter_tree.h"
#include "lists/list_report.h"

namespace qmr {
namespace {

// The selection flags and every compared column must be there to read.
bool readable(const GroupDescriptor& group, const FilterTree& tree) noexcept {
    if (group.selectionField >= group.fieldCount) return false;
    const FieldDescriptor& selection = group.fields[group.selectionField];
    if (selection.data == nullptr || selection.elementSize == 0) return false;
    for (std::uint32_t i = 0; i < tree.count; ++i) {
        const FilterNode& node = tree.nodes[i];
        if (node.kind == FilterNode::comparison && group.fields[node.field].data == nullptr) return false;
    }
    return true;
}

int filterGroup(const GroupDescriptor* group, const char* expression) noexcept {
    if (const GroupState state = groupState(group); state != GroupState::readable) {
        return state == GroupState::empty ? kListDone : kListFailed;
    }
    FilterTree tree;
    const int parsed = parseFilter(expression != nullptr ? expression : "", group->fields, group->fieldCount, tree);
    if (parsed != kListDone) return parsed;
    if (!readable(*group, tree)) return kListFailed;
    FilterProgram program;
    if (const int compiled = compileFilter(tree, program); compiled != kListDone) return compiled;
    runFilter(program, tree, *group);
    return kListDone;
}

}  // namespace
}  // namespace qmr

extern "C" QMR_API void QMR_CALL QMRFLTR(void* opaque1, void* opaque2, CallContext* context, GroupDescriptor* group,
                                         const char* expression) {
    qmr::ContextView(context).stampName(qmr::FunctionName{"QMRFLTR "});
    qmr::reportList(opaque1, opaque2, context, qmr::filterGroup(group, expression));
}
