// Exports that join and measure text fields: QMRFCCAT and QMRFLGTH.
#include "frame/call_context.h"
#include "platform/mbtext.h"
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
    std::int32_t lengthA = a.length();
    std::int32_t lengthB = b.length();
    const unsigned char* textA = a.text();
    const unsigned char* textB = b.text();
    // A shift-in closing the first text and a shift-out opening the
    // second would end a double-byte run only to start it again.
    const QmrTextServices& services = textServices();
    const int shiftOut = services.ShiftOutCode();
    if (shiftOut != 0 && lengthB > 1 && textB[0] == shiftOut && lengthA > 1 &&
        textA[lengthA - 1] == services.ShiftInCode()) {
        --lengthA;
        ++textB;
        --lengthB;
    }
    const std::int32_t total = lengthA + lengthB;  // [0, 8192]
    if (total > out.maximum()) {
        out.clear();
        report(opaque1, opaque2, context, QMR_MSG_TOO_LONG);
        return;
    }
    std::memmove(out.text() + lengthA, textB, static_cast<std::size_t>(lengthB));
    std::memmove(out.text(), textA, static_cast<std::size_t>(lengthA));
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
