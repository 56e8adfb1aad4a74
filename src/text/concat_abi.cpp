// Exports that join and measure text fields: QMRFCCAT and QMRFLGTH.
#include "frame/call_context.h"
#include "text/join.h"
#include "text/text_field.h"

extern "C" {

// The sources are read before the result is written, and moved with
// memmove, so the result may be either source.
QMR_API void QMR_CALL QMRFCCAT(void* opaque1, void* opaque2, CallContext* context, const TextField* first,
                               const TextField* second, TextField* result) {
    using namespace qmr;
    ContextView(context).stampName({"QMRFCCAT"});
    const FieldView a(first);
    const FieldView b(second);
    const FieldView out(result);
    if (!validMaximum(out.maximum()) || !a.valid() || !b.valid()) {
        out.clear();
        report(opaque1, opaque2, context, QMR_MSG_OUT_OF_RANGE);
        return;
    }
    const Join join = joinTexts(TextRules::current(), a.text(), a.length(), b.text(), b.length());
    const std::int32_t secondSize = b.length() - join.secondFrom;
    const std::int32_t total = join.firstEnd + secondSize;  // [0, 8192]
    if (total > out.maximum()) {
        out.clear();
        report(opaque1, opaque2, context, QMR_MSG_TOO_LONG);
        return;
    }
    std::memmove(out.text() + join.firstEnd, b.text() + join.secondFrom, static_cast<std::size_t>(secondSize));
    std::memmove(out.text(), a.text(), static_cast<std::size_t>(join.firstEnd));
    out.finish(total);
}

QMR_API void QMR_CALL QMRFLGTH(void* opaque1, void* opaque2, CallContext* context, const TextField* text,
                               qmr_int32* length) {
    using namespace qmr;
    ContextView(context).stampName({"QMRFLGTH"});
    *length = 0;
    const FieldView field(text);
    if (!validMaximum(field.maximum())) {
        report(opaque1, opaque2, context, QMR_MSG_OUT_OF_RANGE);
        return;
    }
    *length = field.length();
}

}  // extern "C"
