// The host's queue control block (CMCB) in the layout of the calling
// form: with a parameter block the identifiers are 8 bytes and a state
// byte says whether a queue is anchored; with a pair list they are 6
// bytes and the handle alone says it.  Only the documented positions are
// read or written.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>

#include "queue/queue_handles.h"
#include "queue/relationship_queue.h"
#include "qmr/qmr.h"

namespace qmr::queue {

// The CMCB's message area, byte for byte.
using MessageArea = std::array<char, QMR_CMCB_MESSAGE_SIZE>;

inline constexpr MessageArea kBlankMessage = [] {
    MessageArea blanks{};
    blanks.fill(' ');
    return blanks;
}();

class ControlBlockView {
public:
    ControlBlockView(void* cmcb, bool parameterBlock) noexcept
        : bytes_(static_cast<unsigned char*>(cmcb)), parameterBlock_(parameterBlock) {}

    char request() const noexcept { return static_cast<char>(bytes_[QMR_CMCB_REQUEST]); }

    // The handle in the anchor slot; 0 when the block says no queue.
    QueueHandle handle() const noexcept {
        if (parameterBlock_ && bytes_[QMR_CMCB_BLOCK_STATE] == 'U') return 0;
        QueueHandle handle;
        std::memcpy(&handle, bytes_ + handleAt(), sizeof handle);
        return handle;
    }

    // The slot already holds the queue's handle: a block only says so.
    void keepAnchor() const noexcept {
        if (parameterBlock_) bytes_[QMR_CMCB_BLOCK_STATE] = 'A';
    }

    void anchorHere(QueueHandle handle) const noexcept {
        if (parameterBlock_) bytes_[QMR_CMCB_BLOCK_STATE] = 'A';
        std::memcpy(bytes_ + handleAt(), &handle, sizeof handle);
    }

    void markNoQueue() const noexcept {
        if (parameterBlock_) bytes_[QMR_CMCB_BLOCK_STATE] = 'U';
        const QueueHandle none = 0;
        std::memcpy(bytes_ + handleAt(), &none, sizeof none);
    }

    void blankMessage() const noexcept { writeMessage(kBlankMessage); }

    // The whole message area at once: a fixed-size copy, which the
    // compiler makes a few plain stores.
    void writeMessage(const MessageArea& message) const noexcept {
        std::memcpy(bytes_ + QMR_CMCB_MESSAGE, message.data(), message.size());
    }

    void answer(const char* code) const noexcept { std::memcpy(bytes_ + QMR_CMCB_RETURN_CODE, code, 2); }

    Identifiers identifiers() const noexcept {
        if (parameterBlock_) {
            return {bytes_ + QMR_CMCB_BLOCK_RELATIONSHIP, bytes_ + QMR_CMCB_BLOCK_ASSOCIATED, QMR_CMCB_BLOCK_ID_SIZE};
        }
        return {bytes_ + QMR_CMCB_PAIR_RELATIONSHIP, bytes_ + QMR_CMCB_PAIR_ASSOCIATED, QMR_CMCB_PAIR_ID_SIZE};
    }

private:
    std::size_t handleAt() const noexcept { return parameterBlock_ ? QMR_CMCB_BLOCK_HANDLE : QMR_CMCB_PAIR_HANDLE; }

    unsigned char* bytes_;
    bool parameterBlock_;
};

}  // namespace qmr::queue
