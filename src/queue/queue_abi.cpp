// QMDDAQUE, the relationship queue's export: decodes the calling form,
// finds or starts the CMCB's queue, runs the request and answers in the
// CMCB.  Everything a call works with lives in this call's frame.
#include <cstdarg>
#include <cstring>
#include <iterator>
#include <string_view>

#include "queue/caller_fields.h"
#include "queue/control_block.h"
#include "queue/queue_requests.h"

namespace qmr::queue {
namespace {

constexpr qmr_int32 kDone = 0;
constexpr qmr_int32 kRefused = 4;
constexpr qmr_int32 kAddAgain = -1;  // no answer yet: ADD started a page for its entry

// An answer: its return code and, for a refusal, the whole message area
// as it ends up, the message followed by blanks.  A refusal comes before
// any caller field is filled, so writing the area whole leaves the bytes
// that blanking it and then writing the message would.
struct Answer {
    char code[3];
    bool refusal;
    MessageArea message;
};

constexpr Answer refusal(const char (&code)[3], std::string_view message) {
    Answer answer{{code[0], code[1], 0}, true, {}};
    for (std::size_t i = 0; i < answer.message.size(); ++i) answer.message[i] = i < message.size() ? message[i] : ' ';
    return answer;
}

// By Outcome, in its order (pageStarted is never answered).
constexpr Answer kAnswers[] = {
    {QMR_QRC_OK, false, {}},
    refusal(QMR_QRC_EMPTY, QMR_QMSG_NO_MORE),
    refusal(QMR_QRC_EMPTY, QMR_QMSG_NO_MORE),
    refusal(QMR_QRC_EMPTY, QMR_QMSG_NONE_READ),
    refusal(QMR_QRC_FIELDS, QMR_QMSG_NO_END_OF_FIELDS),
    refusal(QMR_QRC_STORAGE, QMR_QMSG_NO_STORAGE),
    refusal(QMR_QRC_INVALID, QMR_QMSG_INVALID_REQUEST),
    refusal(QMR_QRC_INVALID, QMR_QMSG_ADD_NEEDS_PARMS),
    refusal(QMR_QRC_INVALID, QMR_QMSG_READ_NEEDS_PARMS),
};
static_assert(std::size(kAnswers) == std::size_t(Outcome::readWithoutFields) + 1);

// Whether the first argument after the CMCB is a parameter block.
bool isParameterBlock(const void* first) noexcept {
    return first != nullptr && std::memcmp(first, QMR_QPB_VERSION, 4) == 0;
}

// The CMCB's queue, or a new one when its slot names none; null when a
// new queue cannot be had.
QueueAnchor* openQueue(QueueHandle& handle) noexcept {
    QueueAnchor* anchor = createAnchor();
    if (anchor == nullptr) return nullptr;
    handle = issueHandle(anchor);
    if (handle == 0) {
        releaseQueue(anchor);
        return nullptr;
    }
    return anchor;
}

// The request, with the call's fields in `fields`: its result, or
// kAddAgain when ADD has started a page for its entry and must be run
// once more with its fields taken afresh.  The first run leaves the CMCB
// as the second writes it again (the same handle, a blank message) and
// the queue with an empty last page, which takes the entry, so the
// second run answers.
template <typename Fields>
qmr_int32 runRequest(const ControlBlockView& block, Fields fields) noexcept {
    QueueHandle handle = block.handle();
    QueueAnchor* anchor = anchorOf(handle);
    if (anchor != nullptr) [[likely]] {
        block.keepAnchor();
    } else {
        anchor = openQueue(handle);
        if (anchor == nullptr) return kRefused;
        block.anchorHere(handle);
    }
    block.blankMessage();

    Outcome outcome = Outcome::invalidRequest;
    switch (block.request()) {
    case 'A':
        outcome = addFields(*anchor, block.identifiers(), fields);
        break;
    case 'N':
        outcome = nextRelationship(*anchor);
        if (outcome == Outcome::done) {
            copyIdentifiersOut(anchor->current, block.identifiers());
        } else if (outcome == Outcome::pastTheEnd) {
            retireHandle(handle);  // before the storage goes, so no lookup can reach it
            releaseQueue(anchor);
            block.markNoQueue();
        }
        break;
    case 'R':
        outcome = readFields(*anchor, block.identifiers(), fields);
        break;
    default:
        break;
    }
    if (outcome == Outcome::pageStarted) return kAddAgain;
    const Answer& answer = kAnswers[static_cast<int>(outcome)];
    if (answer.refusal) block.writeMessage(answer.message);
    block.answer(answer.code);
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
    qmr_int32 result;
    if (isParameterBlock(first)) {
        auto* const block = static_cast<unsigned char*>(first);
        do {
            result = runRequest(ControlBlockView(cmcb, true), BlockFields(block));
        } while (result == kAddAgain);
    } else {
        // The pairs are read in this frame, which owns the argument list;
        // taking them afresh means starting the list again.
        for (;;) {
            result = runRequest(ControlBlockView(cmcb, false), PairFields(first, &rest));
            if (result != kAddAgain) break;
            va_end(rest);
            va_start(rest, cmcb);
            (void)va_arg(rest, void*);
        }
    }
    va_end(rest);
    return result;
}

}  // extern "C"
