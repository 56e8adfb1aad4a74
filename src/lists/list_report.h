// How the list shells report a core's result through the call context.
#pragma once

#include "frame/call_context.h"
#include "lists/group.h"

namespace qmr {

inline MessageNumber listMessage(int result) noexcept {
    switch (result) {
    case kListSyntax: return QMR_MSG_LIST_SYNTAX;
    case kListParentheses: return QMR_MSG_LIST_PARENS;
    case kListTree: return QMR_MSG_LIST_TREE;
    default: return QMR_MSG_LIST_FAILED;
    }
}

// Reports a failed result; nothing for kListDone.
inline void reportList(void* opaque1, void* opaque2, CallContext* context, int result) noexcept {
    if (result != kListDone) report(opaque1, opaque2, context, listMessage(result));
}

}  // namespace qmr
