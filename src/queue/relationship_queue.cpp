#include "queue/relationship_queue.h"

#include <cstring>

#include "platform/alloc.h"
#include "queue/entry_bytes.h"

namespace qmr::queue {
namespace {

unsigned char* pageAfter(const unsigned char* page) noexcept {
    unsigned char* next;
    std::memcpy(&next, page + kPageLinkAt, sizeof next);
    return next;
}

void linkPage(unsigned char* page, unsigned char* next) noexcept { std::memcpy(page + kPageLinkAt, &next, sizeof next); }

// Starts a page for an entry that does not fit in the room left.  The
// page is linked only once it was obtained, so a failure changes nothing.
bool startPage(QueueAnchor& anchor) noexcept {
    auto* page = static_cast<unsigned char*>(allocate(kPageSize));
    if (page == nullptr) return false;
    linkPage(page, nullptr);
    if (anchor.lastPage == nullptr) {
        anchor.firstPage = page;
    } else {
        linkPage(anchor.lastPage, page);
        anchor.tail[kLastInPageAt] = 1;
    }
    anchor.lastPage = page;
    anchor.freeBytes = kPageRoom;
    return true;
}

}  // namespace

QueueAnchor* createAnchor() noexcept { return static_cast<QueueAnchor*>(allocateZeroed(sizeof(QueueAnchor))); }

void releaseQueue(QueueAnchor* anchor) noexcept {
    for (unsigned char* page = anchor->firstPage; page != nullptr;) {
        unsigned char* const next = pageAfter(page);
        release(page);
        page = next;
    }
    release(anchor);
}

Outcome makeRoom(QueueAnchor& anchor, int count, std::int64_t size) noexcept {
    if (count == kFieldLimit) return Outcome::fieldListTooLong;
    size = (size + 3) & ~std::int64_t{3};
    if (size > kPageRoom) return Outcome::noStorage;
    // Never reached with real storage: 2^31 entries take over 56 GiB.
    if (anchor.remaining == INT32_MAX) return Outcome::noStorage;
    if (!startPage(anchor)) return Outcome::noStorage;
    return Outcome::pageStarted;
}

Outcome nextRelationship(QueueAnchor& anchor) noexcept {
    if (anchor.firstPage == nullptr) return Outcome::noMoreRelationships;
    if (--anchor.remaining < 0) return Outcome::pastTheEnd;
    // An entry is unreached, so the one after `current` exists: right
    // behind it, or first in the following page.
    unsigned char*& current = anchor.current;
    if (current == nullptr) {
        current = anchor.currentPage = anchor.firstPage;
    } else if (current[kLastInPageAt] != 0) {
        current = anchor.currentPage = pageAfter(anchor.currentPage);
    } else {
        current += load16(current + kSizeAt);
    }
    return Outcome::done;
}

}  // namespace qmr::queue
