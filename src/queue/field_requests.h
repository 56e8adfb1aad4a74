// ADD and READ over the caller's fields as either calling form gives them
// (caller_fields.h), each field taken once per pass, in the order given.
//
// ADD writes the entry straight into the room the last page leaves while
// it takes the fields (entry_draft.h).  When the entry does not fit
// there, the fields left are only counted and makeRoom decides: a field
// list without end, an entry too large, or a new page, after which the
// caller runs the request once more to write the entry into that page.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "queue/caller_fields.h"
#include "queue/entry_bytes.h"
#include "queue/entry_draft.h"
#include "queue/inlining.h"
#include "queue/relationship_queue.h"

namespace qmr::queue {

template <typename Fields>
QMR_QUEUE_INLINE Outcome addFields(QueueAnchor& anchor, const Identifiers& ids, Fields& fields) noexcept {
    if (!fields.present()) return Outcome::addWithoutFields;
    if (allZero(ids.relationship, ids.width)) return Outcome::invalidRequest;
    EntryDraft draft(anchor);
    int count = 0;
    CallerField field;
    while (count < kFieldLimit && fields.next(field)) {
        ++count;
        if (!draft.append(field.data, field.length)) [[unlikely]] {
            std::int64_t size = draft.size(2 + std::int64_t{field.length});
            while (count < kFieldLimit && fields.next(field)) {
                ++count;
                size += 2 + std::int64_t{field.length};
            }
            return makeRoom(anchor, count, size);
        }
    }
    if (count == kFieldLimit || !draft.fits() || anchor.remaining == INT32_MAX) [[unlikely]] {
        return makeRoom(anchor, count, draft.size());
    }
    draft.commit(anchor, ids, count);
    return Outcome::done;
}

// READ: each caller field takes the next saved one, cut to the caller's
// room; a caller field beyond the saved ones keeps its bytes and gets
// length 0.  With a pair list the caller's length becomes the bytes
// copied.  At most kFieldLimit caller fields are looked at.
template <typename Fields>
QMR_QUEUE_INLINE Outcome readFields(const QueueAnchor& anchor, const Identifiers& ids, Fields& fields) noexcept {
    if (!fields.present()) return Outcome::readWithoutFields;
    const unsigned char* const entry = anchor.current;
    if (entry == nullptr) return Outcome::noCurrentRelationship;
    copyIdentifiersOut(entry, ids);
    const int saved = load16(entry + kFieldCountAt);
    const unsigned char* at = entry + kEntryHead;
    CallerField field;
    for (int i = 0; i < kFieldLimit && fields.next(field); ++i) {
        std::int32_t copied = 0;
        if (i < saved) {
            const std::int32_t length = load16(at);
            copied = std::min(length, field.length);
            copyBytes(field.data, at + 2, static_cast<std::size_t>(copied));
            at += 2 + length;
        }
        if (field.lengthSlot != nullptr) storeLength(field.lengthSlot, copied);
    }
    return Outcome::done;
}

}  // namespace qmr::queue
