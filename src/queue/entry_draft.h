// A relationship written field by field at the free position of the
// queue's last page, before it is known whether it fits there.
//
// The bytes past the free position belong to no entry and nothing reads
// them, so a draft that runs out of room, or is simply dropped, leaves the
// queue as it was; only `commit` makes it the queue's tail.  A draft never
// writes beyond its room, which lies inside the page and clear of the
// page's link.
#pragma once

#include <cstddef>
#include <cstdint>

#include "queue/entry_bytes.h"
#include "queue/relationship_queue.h"

namespace qmr::queue {

class EntryDraft {
public:
    // A draft in the room the last page leaves an entry: an entry stays
    // there only while it is smaller than the bytes left, and every size
    // is a multiple of 4.  A page that holds no entry yet (one just
    // started for this relationship) takes an entry as large as itself.
    // Without a page, or with less room than an entry without fields
    // needs, the draft has no room and takes no field.
    explicit EntryDraft(const QueueAnchor& anchor) noexcept {
        const std::int32_t room = anchor.freeBytes == kPageRoom ? kPageRoom : anchor.freeBytes - 4;
        if (room >= kEntryBase) [[likely]] {
            entry_ = anchor.lastPage + (kPageRoom - anchor.freeBytes);
            at_ = entry_ + kEntryHead;
            room_ = room;
        }
        left_ = room_ - kEntryBase;
    }

    // Appends a field; false, writing nothing, when the entry would no
    // longer fit in the room.
    bool append(const unsigned char* data, std::int32_t length) noexcept {
        if (length > left_ - 2) return false;
        store16(at_, length);
        copyBytes(at_ + 2, data, static_cast<std::size_t>(length));
        at_ += 2 + length;
        left_ -= 2 + length;
        return true;
    }

    // Whether the entry, as far as it goes, fits in the room.
    bool fits() const noexcept { return left_ >= 0; }

    // The entry's size before rounding, with `more` bytes beyond the
    // fields appended.
    std::int64_t size(std::int64_t more = 0) const noexcept { return room_ - left_ + more; }

    // Makes the draft, holding `count` fields, the queue's tail.
    void commit(QueueAnchor& anchor, const Identifiers& ids, int count) const noexcept {
        const auto size = static_cast<std::int32_t>((room_ - left_ + 3) & ~3);
        store16(entry_ + kSizeAt, size);
        entry_[kLastInPageAt] = 0;
        entry_[kLastInPageAt + 1] = 0;
        store16(entry_ + kFieldCountAt, count);
        saveIdentifier(entry_ + kRelationshipAt, ids.relationship, ids.width);
        saveIdentifier(entry_ + kAssociatedAt, ids.associated, ids.width);
        anchor.freeBytes -= size;
        anchor.tail = entry_;
        ++anchor.remaining;
    }

private:
    unsigned char* entry_ = nullptr;  // null when there is no room
    unsigned char* at_ = nullptr;     // where the next field goes
    std::int32_t room_ = 0;           // bytes the entry may take
    std::int32_t left_;               // of those, not taken yet (below 0: it does not fit)
};

}  // namespace qmr::queue
