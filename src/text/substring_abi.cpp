// Exports of the substring built-ins, QMRFSSTR and QMRFSSDB.
#include "frame/call_context.h"
#include "text/substring.h"
#include "text/text_field.h"

namespace qmr {
namespace {

void substringCall(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                   OptionalNumber* startArgument, OptionalNumber* lengthArgument, TextField* result,
                   const FunctionName& name, ShiftState startState) noexcept {
    const ContextView ctx(context);
    ctx.stampName(name);
    const FieldView src(source);
    const FieldView out(result);
    const OptionalNumberView startNumber(startArgument);
    const OptionalNumberView lengthNumber(lengthArgument);

    std::int16_t start = startNumber.supplied() ? startNumber.value() : 1;
    if (start < 1) start = 1;
    startNumber.setValue(start);
    // Settled before the source is checked, from its length as stored.
    std::int16_t length = lengthNumber.supplied() ? lengthNumber.value()
                                                  : static_cast<std::int16_t>(std::int64_t{src.length()} - start + 1);
    if (lengthNumber.supplied() && length < 0) length = 0;
    lengthNumber.setValue(length);

    if (!src.valid()) {
        report(opaque1, opaque2, context, QMR_MSG_OUT_OF_RANGE);
    } else if (start > src.maximum()) {
        report(opaque1, opaque2, context, QMR_MSG_SUBSTRING_START);
    }
    if (ctx.errorFlagSet()) {
        out.blankFill();
        return;
    }
    const TextRules rules = TextRules::current(CombiningText::asCombining);
    const SubstringCut cut = cutSubstring(rules, src.text(), src.length(), start, length < 0 ? 0 : length, startState);
    const std::int32_t size = cut.size();
    if (size > out.maximum()) {
        report(opaque1, opaque2, context, QMR_MSG_TOO_LONG);
        out.blankFill();
        return;
    }
    unsigned char* text = out.text();
    std::memmove(text + cut.openShift, src.text() + cut.from, static_cast<std::size_t>(cut.to - cut.from));
    if (cut.openShift) text[0] = rules.shiftOut;
    if (cut.closeShift) text[size - 1] = rules.shiftIn;
    out.finish(size);
}

}  // namespace
}  // namespace qmr

extern "C" {

QMR_API void QMR_CALL QMRFSSTR(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               OptionalNumber* start, OptionalNumber* length, TextField* result) {
    qmr::substringCall(opaque1, opaque2, context, source, start, length, result, {"QMRFSSTR"},
                       qmr::ShiftState::singleByte);
}

QMR_API void QMR_CALL QMRFSSDB(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               OptionalNumber* start, OptionalNumber* length, TextField* result) {
    qmr::substringCall(opaque1, opaque2, context, source, start, length, result, {"QMRFSSDB"},
                       qmr::ShiftState::doubleByte);
}

}  // extern "C"
