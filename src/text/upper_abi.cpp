// Exports of the field upper-casing, QMRFUPPR and QMRFUPDB (the same work
// under two names).
#include "platform/editsvc.h"
#include "platform/text_walk.h"
#include "text/text_field.h"

namespace qmr {
namespace {

// VKUPPR's work on the source up to its first NUL, done in the result
// itself: the text that a terminated copy would hold, without a
// terminator that could fall past the field.  The rest of the result
// becomes blanks.
void upperCall(void* opaque1, void* opaque2, CallContext* context, const TextField* source, TextField* result,
               const FunctionName& name) noexcept {
    const FieldView src(source);
    const FieldView out(result);
    if (!startCopy(opaque1, opaque2, context, name, src, out)) return;
    std::int32_t size = src.length() < 0 ? 0 : src.length();
    if (const void* nul = std::memchr(src.text(), 0, static_cast<std::size_t>(size))) {
        size = static_cast<std::int32_t>(static_cast<const unsigned char*>(nul) - src.text());
    }
    std::memmove(out.text(), src.text(), static_cast<std::size_t>(size));
    const QmrTextServices& services = textServices();
    upperCaseText(TextRules::of(services, CombiningText::asSingleByte), caseRunsOf(services), out.text(), size);
    std::memset(out.text() + size, ' ', static_cast<std::size_t>(out.maximum() - size));
    out.setLength(size);
}

}  // namespace
}  // namespace qmr

extern "C" {

QMR_API void QMR_CALL QMRFUPPR(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               TextField* result) {
    qmr::upperCall(opaque1, opaque2, context, source, result, {"QMRFUPPR"});
}

QMR_API void QMR_CALL QMRFUPDB(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               TextField* result) {
    qmr::upperCall(opaque1, opaque2, context, source, result, {"QMRFUPDB"});
}

}  // extern "C"
