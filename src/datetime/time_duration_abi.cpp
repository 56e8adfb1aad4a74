// Exports of the time and timestamp durations.  Both take their operands
// from the call context's duration fields and leave the result there.
#include <cstring>

#include "datetime/request.h"
#include "datetime/time_duration.h"
#include "datetime/timestamp_duration.h"
#include "datetime/timestamp_text.h"

namespace {

using qmr::ContextView;
using qmr::TimestampUnit;
using qmr::TimeUnit;

template <typename Unit>
struct Selection {
    Unit unit;
    std::int32_t count;
    bool any;
};

// The first selected unit of QMRFTDUR, in the order hours, minutes, seconds.
Selection<TimeUnit> timeSelection(const ContextView& view) noexcept {
    if (view.selected(QMR_CC_DUR_HOURS_SELECTED)) return {TimeUnit::hours, view.int32At(QMR_CC_DUR_HOURS), true};
    if (view.selected(QMR_CC_DUR_MINUTES_SELECTED)) return {TimeUnit::minutes, view.int32At(QMR_CC_DUR_MINUTES), true};
    if (view.selected(QMR_CC_DUR_SECONDS_SELECTED)) return {TimeUnit::seconds, view.int32At(QMR_CC_DUR_SECONDS), true};
    return {TimeUnit::seconds, 0, false};
}

struct UnitField {
    TimestampUnit unit;
    std::size_t selected;
    std::size_t count;
};

// QMRFSDUR's units, in the order the first selected one is taken.
constexpr UnitField kTimestampUnits[] = {
    {TimestampUnit::years, QMR_CC_DUR_YEARS_SELECTED, QMR_CC_DUR_YEARS},
    {TimestampUnit::months, QMR_CC_DUR_MONTHS_SELECTED, QMR_CC_DUR_MONTHS},
    {TimestampUnit::days, QMR_CC_DUR_DAYS_SELECTED, QMR_CC_DUR_DAYS},
    {TimestampUnit::hours, QMR_CC_DUR_HOURS_SELECTED, QMR_CC_DUR_HOURS},
    {TimestampUnit::minutes, QMR_CC_DUR_MINUTES_SELECTED, QMR_CC_DUR_MINUTES},
    {TimestampUnit::seconds, QMR_CC_DUR_SECONDS_SELECTED, QMR_CC_DUR_SECONDS},
    {TimestampUnit::micros, QMR_CC_DUR_MICROS_SELECTED, QMR_CC_DUR_MICROS},
};

Selection<TimestampUnit> timestampSelection(const ContextView& view) noexcept {
    for (const UnitField& field : kTimestampUnits) {
        if (view.selected(field.selected)) return {field.unit, view.int32At(field.count), true};
    }
    return {TimestampUnit::micros, 0, false};
}

constexpr char kZeroTimestamp[] = "00000000000000000000";
static_assert(sizeof kZeroTimestamp == qmr::kTimestampLength + 1);

// QMRFTDUR after the name and the cleared result: the message number of
// the failure, or null once the result is stored.
qmr::MessageNumber addToDurationTime(const ContextView& view) noexcept {
    // Always checked: the skip-validation byte serves only the date and
    // timestamp durations.
    if (!qmr::engineAcceptsTime(view, view.int32At(QMR_CC_DUR_TIME))) return QMR_MSG_INVALID_TIME;
    const Selection<TimeUnit> by = timeSelection(view);
    if (!by.any) return QMR_MSG_OUT_OF_RANGE;
    const std::int32_t result = qmr::addToTime(qmr::requestOf(view).time(), by.unit, by.count);
    // defensive: a time the engine accepted steps to one it accepts, with
    // the same date in the request (" 148" is kept as documented)
    if (!qmr::engineAcceptsTime(view, result)) return QMR_MSG_RESULT_TIME;
    view.setInt32At(QMR_CC_DUR_RESULT_TIME, result);
    return nullptr;
}

// QMRFSDUR after the name and the zero result, likewise.
qmr::MessageNumber addToDurationTimestamp(const ContextView& view) noexcept {
    const auto* stamp = reinterpret_cast<const char*>(view.at(QMR_CC_DUR_TIMESTAMP));
    const qmr::TimestampValue from{qmr::readDecimal(stamp, 8), qmr::readDecimal(stamp + 8, 6),
                                   qmr::readDecimal(stamp + 14, 6)};
    if (!qmr::checkDate(view, from.date)) return QMR_MSG_INVALID_DATE;
    if (!qmr::checkTime(view, from.time)) return QMR_MSG_INVALID_TIME;
    const Selection<TimestampUnit> by = timestampSelection(view);
    if (!by.any) return QMR_MSG_OUT_OF_RANGE;
    const qmr::TimestampSum sum = qmr::addToTimestamp(from, by.unit, by.count);
    if (!sum.inRange) return QMR_MSG_DURATION_RANGE;
    if (!qmr::checkDate(view, sum.value.date)) return QMR_MSG_RESULT_DATE;
    if (!qmr::checkTime(view, sum.value.time)) return QMR_MSG_RESULT_TIME;
    qmr::formatTimestamp(reinterpret_cast<char*>(view.at(QMR_CC_DUR_RESULT_TIMESTAMP)), sum.value.date, sum.value.time,
                         sum.value.micros);
    return nullptr;
}

}  // namespace

extern "C" {

QMR_API void QMR_CALL QMRFTDUR(void* opaque1, void* opaque2, CallContext* context) {
    const ContextView view(context);
    view.stampName(qmr::FunctionName{"QMRFTDUR"});
    view.setInt32At(QMR_CC_DUR_RESULT_TIME, 0);
    if (const qmr::MessageNumber failure = addToDurationTime(view)) qmr::report(opaque1, opaque2, context, failure);
}

QMR_API void QMR_CALL QMRFSDUR(void* opaque1, void* opaque2, CallContext* context) {
    const ContextView view(context);
    view.stampName(qmr::FunctionName{"QMRFSDUR"});
    std::memcpy(view.at(QMR_CC_DUR_RESULT_TIMESTAMP), kZeroTimestamp, sizeof kZeroTimestamp);
    if (const qmr::MessageNumber failure = addToDurationTimestamp(view)) qmr::report(opaque1, opaque2, context, failure);
}

}  // extern "C"
