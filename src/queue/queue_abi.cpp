// QMDDAQUE, the relationship queue's export: decodes the calling form,
// finds or starts the CMCB's queue, runs the request and answers in the
// CMCB.  Everything a call works with lives in this call's frame.
#include <cstdarg>
#include <cstring>
#include <string_view>

#include "frame/bytes.h"
#include "queue/caller_fields.h"
#include "queue/control_block.h"

namespace qmr::queue {
namespace {

constexpr qmr_int32 kDone = 0;
constexpr qmr_int32 kRefused = 4;

struct Answer {
    std::string_view code;
    std::string_view message;
};

Answer answerFor(Outcome outcome) noexcept {
    switch (outcome) {
    case Outcome::done: return {QMR_QRC_OK, ""};
    case Outcome::noMoreRelationships:
    case Outcome::pastTheEnd: return {QMR_QRC_EMPTY, QMR_QMSG_NO_MORE};
    case Outcome::noCurrentRelationship: return {QMR_QRC_EMPTY, QMR_QMSG_NONE_READ};
    case Outcome::fieldListTooLong: return {QMR_QRC_FIELDS, QMR_QMSG_NO_END_OF_FIELDS};
    case Outcome::noStorage: return {QMR_QRC_STORAGE, QMR_QMSG_NO_STORAGE};
    case Outcome::addWithoutFields: return {QMR_QRC_INVALID, QMR_QMSG_ADD_NEEDS_PARMS};
    case Outcome::readWithoutFields: return {QMR_QRC_INVALID, QMR_QMSG_READ_NEEDS_PARMS};
    case Outcome::invalidRequest: break;
    }
    return {QMR_QRC_INVALID, QMR_QMSG_INVALID_REQUEST};
}

// The pairs after the CMCB, `first` being the first length pointer.  No
// argument is taken beyond the one that ends the list, nor beyond the
// kFieldLimit-th pair.
void readPairFields(void* first, std::va_list& rest, CallerFields& fields) noexcept {
    fields.present = first != nullptr;
    fields.count = 0;
    for (auto* lengthSlot = static_cast<unsigned char*>(first); lengthSlot != nullptr;) {
        const std::int32_t length = loadLE32(lengthSlot);
        if (length < 1) return;
        auto* const data = static_cast<unsigned char*>(va_arg(rest, void*));
        if (data == nullptr) return;
        fields.field[fields.count++] = {data, length, lengthSlot};
        if (fields.count == kFieldLimit) return;
        lengthSlot = static_cast<unsigned char*>(va_arg(rest, void*));
    }
}

void readFields(bool parameterBlock, void* first, std::va_list& rest, CallerFields& fields) noexcept {
    if (parameterBlock) {
        readBlockFields(static_cast<unsigned char*>(first), fields);
    } else {
        readPairFields(first, rest, fields);
    }
}

qmr_int32 runRequest(void* cmcb, void* first, std::va_list& rest) noexcept {
    const bool parameterBlock = first != nullptr && std::memcmp(first, QMR_QPB_VERSION, 4) == 0;
    const ControlBlockView block(cmcb, parameterBlock);

    QueueHandle handle = block.handle();
    QueueAnchor* anchor = anchorOf(handle);
    if (anchor == nullptr) {
        anchor = createAnchor();
        if (anchor == nullptr) return kRefused;
        handle = issueHandle(anchor);
        if (handle == 0) {
            releaseQueue(anchor);
            return kRefused;
        }
    }
    block.anchorHere(handle);
    block.blankMessage();

    const Identifiers ids = block.identifiers();
    CallerFields fields;  // filled only as far as the caller's list goes
    Outcome outcome = Outcome::invalidRequest;
    switch (block.request()) {
    case 'A':
        readFields(parameterBlock, first, rest, fields);
        outcome = addRelationship(*anchor, ids, fields);
        break;
    case 'N':
        outcome = nextRelationship(*anchor, ids);
        if (outcome == Outcome::pastTheEnd) {
            retireHandle(handle);  // before the storage goes, so no lookup can reach it
            releaseQueue(anchor);
            block.markNoQueue();
        }
        break;
    case 'R':
        readFields(parameterBlock, first, rest, fields);
        outcome = readRelationship(*anchor, ids, fields);
        break;
    default:
        break;
    }
    const Answer answer = answerFor(outcome);
    block.answer(answer.code, answer.message);
    return outcome == Outcome::done ? kDone : kRefused;
}

}  // namespace
}  // namespace qmr::queue

extern "C" {

QMR_API qmr_int32 QMR_CALL QMDDAQUE(void*, void*, void* cmcb, ...) {
    if (cmcb == nullptr) return qmr::queue::kRefused;
    std::va_list rest;
    va_start(rest, cmcb);
    void* const first = va_arg(rest, void*);
    const qmr_int32 result = qmr::queue::runRequest(cmcb, first, rest);
    va_end(rest);
    return result;
}

}  // extern "C"
