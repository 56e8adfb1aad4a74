// Exports of verify, QMRFVRFY and QMRFVRDB.
#include "frame/call_context.h"
#include "text/text_field.h"
#include "text/verify.h"

namespace qmr {
namespace {

// Both fields need a maximum of 1..4096 and a length of at least 0.  The
// text is also held to its maximum, and so is the set where it is read as
// it stands, so that the walk never leaves the field.
enum class LengthBound : std::uint8_t { none, maximum };

bool acceptable(const FieldView& field, LengthBound bound) noexcept {
    return validMaximum(field.maximum()) && field.length() >= 0 &&
           (bound == LengthBound::none || field.length() <= field.maximum());
}

void verifyCall(void* opaque1, void* opaque2, CallContext* context, const TextField* text, const TextField* set,
                qmr_int16* position, const FunctionName& name, ShiftState startState) noexcept {
    ContextView(context).stampName(name);
    *position = 0;
    const FieldView subject(text);
    const bool trimsSet = startState == ShiftState::singleByte;
    if (!acceptable(subject, LengthBound::maximum) ||
        !acceptable(FieldView(set), trimsSet ? LengthBound::none : LengthBound::maximum)) {
        report(opaque1, opaque2, context, QMR_MSG_OUT_OF_RANGE);
        return;
    }
    // QMRFVRFY's set loses its trailing blanks through QMRFTRIM, which
    // stamps its own name and refuses a set longer than its maximum.
    alignas(4) unsigned char work[QMR_TF_TEXT + kLargestField];
    auto* workField = reinterpret_cast<TextField*>(work);
    if (trimsSet) {
        storeLE32(work + QMR_TF_MAX_LENGTH, kLargestField);
        storeLE32(work + QMR_TF_LENGTH, 0);
        QMRFTRIM(opaque1, opaque2, context, set, workField);
        set = workField;
    }
    const FieldView members(set);
    const TextRules rules = TextRules::current(CombiningText::asCombining);
    *position = static_cast<qmr_int16>(
        verifyText(rules, subject.text(), subject.length(), members.text(), members.length(), startState));
}

}  // namespace
}  // namespace qmr

extern "C" {

QMR_API void QMR_CALL QMRFVRFY(void* opaque1, void* opaque2, CallContext* context, const TextField* text,
                               const TextField* set, qmr_int16* position) {
    qmr::verifyCall(opaque1, opaque2, context, text, set, position, {"QMRFVRFY"}, qmr::ShiftState::singleByte);
}

QMR_API void QMR_CALL QMRFVRDB(void* opaque1, void* opaque2, CallContext* context, const TextField* text,
                               const TextField* set, qmr_int16* position) {
    qmr::verifyCall(opaque1, opaque2, context, text, set, position, {"QMRFVRDB"}, qmr::ShiftState::doubleByte);
}

}  // extern "C"
