// Exports of the field trim, QMRFTRIM and QMRFTRDB (the same work under
// two names).
#include "text/text_field.h"
#include "text/trim.h"

namespace qmr {
namespace {

// The source is read before the result is written, so they may be the
// same field.
void trimCall(void* opaque1, void* opaque2, CallContext* context, const TextField* source, TextField* result,
              const FunctionName& name) noexcept {
    const FieldView src(source);
    const FieldView out(result);
    if (!startCopy(opaque1, opaque2, context, name, src, out)) return;
    const std::int32_t size = src.length() < 0 ? 0 : src.length();
    out.finish(trimText(TextRules::current(), src.text(), size, out.text(), out.maximum()));
}

}  // namespace
}  // namespace qmr

extern "C" {

QMR_API void QMR_CALL QMRFTRIM(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               TextField* result) {
    qmr::trimCall(opaque1, opaque2, context, source, result, {"QMRFTRIM"});
}

QMR_API void QMR_CALL QMRFTRDB(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               TextField* result) {
    qmr::trimCall(opaque1, opaque2, context, source, result, {"QMRFTRDB"});
}

}  // extern "C"
