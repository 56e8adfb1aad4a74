// How the list shells report a core's result through the call context:
// the one place where the results meet their message numbers.
#pragma once

#include "frame/call_context.h"
#include "lists/group.h"

namespace qmr {

constexpr MessageNumber listMessage(ListResult result) noexcept {
    switch (result) {
    case ListResult::syntax: return QMR_MSG_LIST_SYNTAX;
    case ListResult::parentheses:
    case ListResult::fieldNumber: return QMR_MSG_LIST_PARENS;
    case ListResult::tree: return QMR_MSG_LIST_TREE;
    case ListResult::done:
    case ListResult::failed: break;
    }
    return QMR_MSG_LIST_FAILED;
}

// Reports a failed result; nothing for ListResult::done.
inline void reportList(void* opaque1, void* opaque2, CallContext* context, ListResult result) noexcept {
    if (result != ListResult::done) report(opaque1, opaque2, context, listMessage(result));
}

}  // namespace qmr
