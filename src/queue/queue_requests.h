// ADD, NEXT and READ on a relationship queue; ADD and READ take the
// caller's fields as either calling form gives them (caller_fields.h),
// each field once, in the order given.
//
// ADD writes the entry straight into the room the last page leaves while
// it takes the fields (entry_draft.h).  When the entry does not fit
// there, the fields left are only counted and makeRoom decides: a field
// list without end, an entry too large, or a new page, after which the
// caller runs the request once more to write the entry into that page.
//
// Each request leaves the queue as it was when it does not answer done
// (pastTheEnd aside, after which the queue is only fit for release, and
// pageStarted, after which the last page is empty).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "queue/caller_fields.h"
#include "queue/entry_bytes.h"
#include "queue/entry_draft.h"
#include "queue/relationship_queue.h"

namespace qmr::queue {

// ADD: the CMCB's identifiers and the caller's fields as the newest
// relationship.
template <typename Fields>
Outcome addFields(QueueAnchor& anchor, const Identifiers& ids, Fields& fields) noexcept {
    if (!fields.present()) return Outcome::addWithoutFields;
    if (allZero(ids.relationship, ids.width)) return Outcome::invalidRequest;
    EntryDraft draft(anchor);
    const int count = fields.forEach([&draft](const CallerField& field) { draft.append(field.data, field.length); });
    if (count == kFieldLimit || !draft.fits() || anchor.remaining == INT32_MAX) [[unlikely]] {
        return makeRoom(anchor, count, draft.size());
    }
    draft.commit(anchor, ids, count);
    return Outcome::done;
}

// NEXT: on done, the anchor's `current` is the entry reached.
inline Outcome nextRelationship(QueueAnchor& anchor) noexcept {
    if (anchor.firstPage == nullptr) return Outcome::noMoreRelationships;
    if (--anchor.remaining < 0) return Outcome::pastTheEnd;
    // An entry is unreached, so the one after `current` exists: right
    // behind it, or first in the following page.
    unsigned char*& current = anchor.current;
    if (current == nullptr) {
        current = anchor.currentPage = anchor.firstPage;
    } else if (current[kLastInPageAt] != 0) [[unlikely]] {
        current = anchor.currentPage = pageAfter(anchor.currentPage);
    } else {
        current += load16(current + kSizeAt);
    }
    return Outcome::done;
}

// READ: each caller field takes the next saved one, cut to the caller's
// room; a caller field beyond the saved ones keeps its bytes and gets
// length 0.  With a pair list the caller's length becomes the bytes
// copied.
template <typename Fields>
Outcome readFields(const QueueAnchor& anchor, const Identifiers& ids, Fields& fields) noexcept {
    if (!fields.present()) return Outcome::readWithoutFields;
    const unsigned char* const entry = anchor.current;
    if (entry == nullptr) return Outcome::noCurrentRelationship;
    copyIdentifiersOut(entry, ids);
    int unread = load16(entry + kFieldCountAt);
    const unsigned char* at = entry + kEntryHead;
    fields.forEach([&](const CallerField& field) {
        std::size_t copied = 0;
        if (unread > 0) {
            --unread;
            const std::size_t length = load16(at);
            copied = std::min(length, static_cast<std::size_t>(field.length));
            std::memcpy(field.data, at + 2, copied);
            at += 2 + length;
        }
        if (field.lengthSlot != nullptr) storeLE32(field.lengthSlot, static_cast<std::int32_t>(copied));
    });
    return Outcome::done;
}

}  // namespace qmr::queue
