// A relationship written field by field at the free position of the
// queue's last page, before it is known whether it fits there.
//
// The bytes past the free position belong to no entry and nothing reads
// them, so a draft that runs out of room, or is simply dropped, leaves the
// queue as it was; only `commit` makes it the queue's tail.  A draft never
// writes beyond its room, which lies inside the page and clear of the
// page's link; past its room it only counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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
    // needs, the draft has no room and writes no field.
    explicit EntryDraft(const QueueAnchor& anchor) noexcept {
        const std::int32_t room = anchor.freeBytes == kPageRoom ? kPageRoom : anchor.freeBytes - 4;
        if (room >= kEntryBase) [[likely]] {
            entry_ = anchor.lastPage + (kPageRoom - anchor.freeBytes);
            room_ = room;
        }
    }

    // Appends a field: written while the entry still fits in the room,
    // only counted once it does not.
    void append(const unsigned char* data, std::int32_t length) noexcept {
        const std::int64_t used = size_ + 2 + length;
        if (used <= room_) [[likely]] {
            // The entry's fields start kEntryHead bytes in, 6 bytes short of its size.
            unsigned char* const at = entry_ + (size_ - (kEntryBase - kEntryHead));
            store16(at, length);
            std::memcpy(at + 2, data, static_cast<std::size_t>(length));
        }
        size_ = used;
    }

    // Whether the entry fits in the room.
    bool fits() const noexcept { return size_ <= room_; }

    // The entry's size before rounding.
    std::int64_t size() const noexcept { return size_; }

    // Makes the draft, which fits and holds `count` fields, the queue's tail.
    void commit(QueueAnchor& anchor, const Identifiers& ids, int count) const noexcept {
        const auto size = static_cast<std::int32_t>((size_ + 3) & ~std::int64_t{3});
        store16(entry_ + kSizeAt, size);
        entry_[kLastInPageAt] = 0;
        store16(entry_ + kFieldCountAt, count);
        saveIdentifier(entry_ + kRelationshipAt, ids.relationship, ids.width);
        saveIdentifier(entry_ + kAssociatedAt, ids.associated, ids.width);
        anchor.freeBytes -= size;
        anchor.tail = entry_;
        ++anchor.remaining;
    }

private:
    unsigned char* entry_ = nullptr;  // null when there is no room
    std::int32_t room_ = 0;           // bytes the entry may take
    std::int64_t size_ = kEntryBase;  // the entry's bytes so far, fields written or not
};

}  // namespace qmr::queue
