// QMDDAQUE, the relationship queue's export: decodes the calling form,
// finds or starts the CMCB's queue, runs the request and answers in the
// CMCB.  Everything a call works with lives in this call's frame.
#include <cstdarg>
#include <cstring>
#include <iterator>
#include <string_view>

#include "frame/bytes.h"
#include "queue/caller_fields.h"
#include "queue/control_block.h"

namespace qmr::queue {
namespace {

constexpr qmr_int32 kDone = 0;
constexpr qmr_int32 kRefused = 4;

struct Answer {
    char code[3];
    std::string_view message;
};

// By Outcome, in its order.
constexpr Answer kAnswers[] = {
    {QMR_QRC_OK, ""},
    {QMR_QRC_EMPTY, QMR_QMSG_NO_MORE},
    {QMR_QRC_EMPTY, QMR_QMSG_NO_MORE},
    {QMR_QRC_EMPTY, QMR_QMSG_NONE_READ},
    {QMR_QRC_FIELDS, QMR_QMSG_NO_END_OF_FIELDS},
    {QMR_QRC_STORAGE, QMR_QMSG_NO_STORAGE},
    {QMR_QRC_INVALID, QMR_QMSG_INVALID_REQUEST},
    {QMR_QRC_INVALID, QMR_QMSG_ADD_NEEDS_PARMS},
    {QMR_QRC_INVALID, QMR_QMSG_READ_NEEDS_PARMS},
};
static_assert(std::size(kAnswers) == std::size_t(Outcome::readWithoutFields) + 1);

// Whether the first argument after the CMCB is a parameter block.
bool isParameterBlock(const void* first) noexcept {
    return first != nullptr && std::memcmp(first, QMR_QPB_VERSION, 4) == 0;
}

qmr_int32 runRequest(void* cmcb, bool parameterBlock, CallerFields& fields) noexcept {
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
    Outcome outcome = Outcome::invalidRequest;
    switch (block.request()) {
    case 'A':
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
        outcome = readRelationship(*anchor, ids, fields);
        break;
    default:
        break;
    }
    const Answer& answer = kAnswers[static_cast<int>(outcome)];
    block.answer(answer.code, answer.message);
    return outcome == Outcome::done ? kDone : kRefused;
}

}  // namespace
}  // namespace qmr::queue

extern "C" {

QMR_API qmr_int32 QMR_CALL QMDDAQUE(void*, void*, void* cmcb, ...) {
    using namespace qmr::queue;
    if (cmcb == nullptr) return kRefused;
    std::va_list rest;
    va_start(rest, cmcb);
    void* const first = va_arg(rest, void*);
    const bool parameterBlock = isParameterBlock(first);
    // Only ADD and READ take fields.  The pair list is read here, in the
    // frame that owns the argument list, and no argument is taken beyond
    // the one that ends the list nor beyond the kFieldLimit-th pair.
    CallerFields fields;
    fields.present = first != nullptr;
    fields.count = 0;
    const char request = *static_cast<const char*>(cmcb);
    if (request == 'A' || request == 'R') {
        if (parameterBlock) {
            readBlockFields(static_cast<unsigned char*>(first), fields);
        } else {
            int count = 0;  // kept out of `fields` while counting, so it stays in a register
            for (auto* lengthSlot = static_cast<unsigned char*>(first); lengthSlot != nullptr;) {
                const std::int32_t length = qmr::loadLE32(lengthSlot);
                if (length < 1) break;
                auto* const data = static_cast<unsigned char*>(va_arg(rest, void*));
                if (data == nullptr) break;
                fields.field[count++] = {data, length, lengthSlot};
                if (count == kFieldLimit) break;
                lengthSlot = static_cast<unsigned char*>(va_arg(rest, void*));
            }
            fields.count = count;
        }
    }
    va_end(rest);
    return runRequest(cmcb, parameterBlock, fields);
}

}  // extern "C"
