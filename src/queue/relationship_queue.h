// The relationship queue of one CMCB: its anchor, its pages and the
// entries in them (the requests on them are in queue_requests.h).  The
// core knows nothing of the CMCB's layout, handles or messages.
//
// Pages are QMR_QUEUE_PAGE_SIZE bytes; entries fill the first 4092 of
// them in the order added, each taking 28 bytes plus 2 + L per field,
// raised to a multiple of 4, and a new page is started when an entry's
// size is not smaller than the room left.  An entry writes 6 bytes less
// than it takes, so the last 8 bytes of a page never hold entry data and
// keep the link to the following page.
//
// RelationshipEntry, at a multiple of 4 within its page:
//    0  uint16  size      its share of the page
//    2  uint8   lastInPage 1 once an entry follows in a later page
//    3  uint8   (not used)
//    4  uint16  field count
//    6  8 bytes relationship identifier (a 6-byte one is zero-padded)
//   14  8 bytes associated identifier   (likewise)
//   22  fields  a uint16 length L, then the L bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "qmr/qmr.h"

namespace qmr::queue {

inline constexpr std::int32_t kPageSize = QMR_QUEUE_PAGE_SIZE;
inline constexpr std::int32_t kPageRoom = QMR_QUEUE_ENTRY_MAX;  // bytes of a page that hold entries
inline constexpr std::int32_t kEntryBase = 28;                  // an entry's size before its fields
inline constexpr std::int32_t kEntryHead = 22;                  // bytes before its first field
inline constexpr std::int32_t kPageLinkAt = kPageSize - 8;      // the following page, or null
inline constexpr int kFieldLimit = QMR_QUEUE_FIELD_MAX + 1;     // a 240th field is one too many
inline constexpr int kIdSize = 8;

static_assert(kPageRoom - (kEntryBase - kEntryHead) <= kPageLinkAt, "entry data stays clear of the page link");
static_assert(sizeof(void*) <= 8, "the page link holds a pointer");

struct QueueAnchor {
    std::int32_t remaining;      // relationships added and not yet reached by NEXT
    std::int32_t freeBytes;      // room left in lastPage; 0 before the first page
    unsigned char* firstPage;    // null until the first ADD; it starts with the head entry
    unsigned char* lastPage;     // the page that receives new entries
    unsigned char* tail;         // the entry added last
    unsigned char* current;      // the entry NEXT reached last; null before the first NEXT
    unsigned char* currentPage;  // the page holding `current`
};

// One caller field: `length` bytes at `data`.  With a pair list
// `lengthSlot` is the caller's 4-byte length, which READ updates; with a
// parameter block it is null.
struct CallerField {
    unsigned char* data;
    std::int32_t length;
    unsigned char* lengthSlot;
};

// The identifiers in the CMCB: `width` bytes each (8 or 6).
struct Identifiers {
    unsigned char* relationship;
    unsigned char* associated;
    int width;
};

enum class Outcome {
    done,
    noMoreRelationships,   // NEXT on a queue that never had an entry
    pastTheEnd,            // NEXT past the last entry: the caller releases the queue
    noCurrentRelationship, // READ before the first NEXT
    fieldListTooLong,
    noStorage,             // a page cannot be had, or the entry exceeds a page
    invalidRequest,        // also a relationship identifier of zero bytes
    addWithoutFields,
    readWithoutFields,
    pageStarted,           // ADD started a page for its entry: the caller adds it again, into that page
};

// The page linked after `page`; null after the last.
inline unsigned char* pageAfter(const unsigned char* page) noexcept {
    unsigned char* next;
    std::memcpy(&next, page + kPageLinkAt, sizeof next);
    return next;
}

// A new, empty anchor; null when its storage cannot be had.
QueueAnchor* createAnchor() noexcept;
// Releases every page and the anchor.
void releaseQueue(QueueAnchor* anchor) noexcept;

// ADD once it has seen all of the caller's fields and the entry did not
// fit in the room the last page leaves it (or the queue holds INT32_MAX
// relationships): `count` fields, kFieldLimit when the list did not end
// in time, making an entry of `size` bytes before rounding.  Answers the
// refusal, or pageStarted.  An empty last page takes any entry that fits
// in a page, so an ADD into a page started for it is never refused for
// room and never starts another.
Outcome makeRoom(QueueAnchor& anchor, int count, std::int64_t size) noexcept;

}  // namespace qmr::queue
