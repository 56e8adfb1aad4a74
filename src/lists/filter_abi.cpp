// QMRFLTR: hides the shown occurrences of a group that fail an expression.
#include "frame/call_context.h"
#include "lists/filter_eval.h"
#include "lists/filter_tree.h"
#include "lists/list_report.h"

namespace qmr {
namespace {

// The selection flags and every compared column must be there to read.
// A guard: a host's selection field lies in its field array, with a
// column of one byte or more per flag, and every field it compares has a
// column.
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

ListResult filterGroup(const GroupDescriptor* group, const char* expression) noexcept {
    if (const GroupState state = groupState(group); state != GroupState::readable) {
        return state == GroupState::empty ? ListResult::done : ListResult::failed;
    }
    FilterTree tree;
    // A guard: a host passes a text, never a null pointer.
    const char* text = expression != nullptr ? expression : "";
    const ListResult parsed = parseFilter(text, group->fields, group->fieldCount, tree);
    if (parsed != ListResult::done) return parsed;
    if (!readable(*group, tree)) return ListResult::failed;
    FilterProgram program;
    if (const ListResult compiled = compileFilter(tree, program); compiled != ListResult::done) return compiled;
    return runFilter(program, tree, *group);
}

}  // namespace
}  // namespace qmr

extern "C" QMR_API void QMR_CALL QMRFLTR(void* opaque1, void* opaque2, CallContext* context, GroupDescriptor* group,
                                         const char* expression) {
    qmr::ContextView(context).stampName(qmr::FunctionName{"QMRFLTR "});
    qmr::reportList(opaque1, opaque2, context, qmr::filterGroup(group, expression));
}
