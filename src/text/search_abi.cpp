// Exports of the index search, QMRFINDX and QMRFINDB.
#include "frame/call_context.h"
#include "text/search.h"
#include "text/text_field.h"

namespace qmr {
namespace {

void indexCall(void* opaque1, void* opaque2, CallContext* context, const TextField* source, const TextField* search,
               qmr_int16* position, const FunctionName& name, ShiftState startState) noexcept {
    ContextView(context).stampName(name);
    *position = 0;
    const FieldView src(source);
    const FieldView what(search);
    if (!src.valid() || !what.valid() || src.length() < 1 || what.length() < 1) {
        report(opaque1, opaque2, context, QMR_MSG_OUT_OF_RANGE);
        return;
    }
    const TextRules rules = TextRules::current();
    *position =
        static_cast<qmr_int16>(findText(rules, src.text(), src.length(), what.text(), what.length(), startState));
}

}  // namespace
}  // namespace qmr

extern "C" {

QMR_API void QMR_CALL QMRFINDX(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               const TextField* search, qmr_int16* position) {
    qmr::indexCall(opaque1, opaque2, context, source, search, position, {"QMRFINDX"}, qmr::ShiftState::singleByte);
}

QMR_API void QMR_CALL QMRFINDB(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               const TextField* search, qmr_int16* position) {
    qmr::indexCall(opaque1, opaque2, context, source, search, position, {"QMRFINDB"}, qmr::ShiftState::doubleByte);
}

}  // extern "C"
