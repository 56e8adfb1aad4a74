// QMRSORT: sorts a group's occurrences by the keys the host names
// and moves every array of the group with them.  Everything the move
// needs is obtained before anything moves, so a group is either sorted
// whole or left as it was.
#include <algorithm>

#include "frame/call_context.h"
#include "lists/group.h"
#include "lists/list_report.h"
#include "lists/occurrence_move.h"
#include "lists/sort_keys.h"
#include "lists/sort_order.h"

namespace qmr {
namespace {

bool keysReadable(const SortKeys& keys) noexcept {
    for (std::uint32_t k = 0; k < keys.count; ++k) {
        const FieldDescriptor& field = *keys.keys[k].field;
        if (columnWidth(field.typeCode, field.elementSize) != 0 && field.data == nullptr) return false;
    }
    return true;
}

ListResult sortGroup(const GroupDescriptor* group, const char* keyText) noexcept {
    if (const GroupState state = groupState(group); state != GroupState::readable) {
        return state == GroupState::empty ? ListResult::done : ListResult::failed;
    }
    SortKeys keys;
    // A guard: a host passes a text, never a null pointer.
    const char* text = keyText != nullptr ? keyText : "";
    const ListResult parsed = parseSortKeys(text, group->fields, group->fieldCount, keys);
    if (parsed != ListResult::done) return parsed;
    if (!keysReadable(keys)) return ListResult::failed;

    // One buffer serves the ordering and then every array in turn.
    const std::uint32_t count = group->occurrenceCount;
    const std::size_t width = std::max(widestMovedElement(*group), kOrderWorkWidth);
    WorkingStorage<std::uint32_t> permutation;
    WorkingStorage<std::uint64_t> buffer;
    if (count > SIZE_MAX / width || !permutation.obtain(count) || !buffer.obtain(count * width / 8 + 1)) {
        return ListResult::failed;
    }
    auto* bytes = reinterpret_cast<unsigned char*>(buffer.get());
    orderOccurrences(keys, count, permutation.get(), bytes);
    moveOccurrences(*group, permutation.get(), bytes);
    return ListResult::done;
}

}  // namespace
}  // namespace qmr

extern "C" QMR_API void QMR_CALL QMRSORT(void* opaque1, void* opaque2, CallContext* context, GroupDescriptor* group,
                                         const char* keys) {
    qmr::ContextView(context).stampName(qmr::FunctionName{"QMRSORT "});
    qmr::reportList(opaque1, opaque2, context, qmr::sortGroup(group, keys));
}
