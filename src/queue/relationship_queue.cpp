#include "queue/relationship_queue.h"

#include <cstring>

#include "platform/alloc.h"
#include "queue/entry_bytes.h"

namespace qmr::queue {
namespace {

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

}  // namespace qmr::queue
