#include "queue/relationship_queue.h"

#include <algorithm>
#include <cstring>

#include "frame/bytes.h"
#include "platform/alloc.h"

namespace qmr::queue {
namespace {

// Entry fields, in the machine's own byte order: the entries never leave
// the library.
constexpr std::size_t kSizeAt = 0;
constexpr std::size_t kLastInPageAt = 2;
constexpr std::size_t kFieldCountAt = 4;
constexpr std::size_t kRelationshipAt = 6;
constexpr std::size_t kAssociatedAt = kRelationshipAt + kIdSize;
static_assert(kAssociatedAt + kIdSize == kEntryHead);

std::uint16_t load16(const unsigned char* at) noexcept {
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void store16(unsigned char* at, std::int32_t value) noexcept {
    const auto narrow = static_cast<std::uint16_t>(value);
    std::memcpy(at, &narrow, sizeof narrow);
}

unsigned char* pageAfter(const unsigned char* page) noexcept {
    unsigned char* next;
    std::memcpy(&next, page + kPageLinkAt, sizeof next);
    return next;
}

void linkPage(unsigned char* page, unsigned char* next) noexcept { std::memcpy(page + kPageLinkAt, &next, sizeof next); }

// Field bytes.  Most fields are a few bytes long, where a call to the C
// library's memcpy costs more than the copy: up to 32 bytes are moved as
// two overlapping blocks of the largest size that fits.
template <std::size_t N>
void copyOverlapping(unsigned char* to, const unsigned char* from, std::size_t count) noexcept {
    unsigned char head[N];
    unsigned char end[N];
    std::memcpy(head, from, N);
    std::memcpy(end, from + count - N, N);
    std::memcpy(to, head, N);
    std::memcpy(to + count - N, end, N);
}

void copyBytes(unsigned char* to, const unsigned char* from, std::size_t count) noexcept {
    if (count >= 16) {
        if (count > 32) return static_cast<void>(std::memcpy(to, from, count));
        return copyOverlapping<16>(to, from, count);
    }
    if (count >= 8) return copyOverlapping<8>(to, from, count);
    if (count >= 4) return copyOverlapping<4>(to, from, count);
    for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
}

// Identifiers are 8 or 6 bytes; each width gets a copy of fixed size.
void saveIdentifier(unsigned char* to, const unsigned char* from, int width) noexcept {
    if (width == kIdSize) {
        std::memcpy(to, from, kIdSize);
    } else {
        std::memcpy(to, from, 6);
        std::memset(to + 6, 0, kIdSize - 6);
    }
}

void restoreIdentifier(unsigned char* to, const unsigned char* from, int width) noexcept {
    if (width == kIdSize) {
        std::memcpy(to, from, kIdSize);
    } else {
        std::memcpy(to, from, 6);
    }
}

bool allZero(const unsigned char* bytes, int width) noexcept {
    std::uint32_t head;
    std::uint32_t end;  // the last 4 bytes, overlapping head for a 6-byte identifier
    std::memcpy(&head, bytes, 4);
    std::memcpy(&end, bytes + width - 4, 4);
    return (head | end) == 0;
}

void copyIdentifiersOut(const unsigned char* entry, const Identifiers& ids) noexcept {
    restoreIdentifier(ids.relationship, entry + kRelationshipAt, ids.width);
    restoreIdentifier(ids.associated, entry + kAssociatedAt, ids.width);
}

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

Outcome addRelationship(QueueAnchor& anchor, const Identifiers& ids, const CallerFields& fields) noexcept {
    if (!fields.present) return Outcome::addWithoutFields;
    if (allZero(ids.relationship, ids.width)) return Outcome::invalidRequest;
    if (fields.count == kFieldLimit) return Outcome::fieldListTooLong;
    const std::int64_t size = entrySize(fields);
    if (size > kPageRoom) return Outcome::noStorage;
    // Never reached with real storage: 2^31 entries take over 56 GiB.
    if (anchor.remaining == INT32_MAX) return Outcome::noStorage;
    if (size >= anchor.freeBytes && !startPage(anchor)) return Outcome::noStorage;

    unsigned char* const entry = anchor.lastPage + (kPageRoom - anchor.freeBytes);
    anchor.freeBytes -= static_cast<std::int32_t>(size);
    anchor.tail = entry;
    ++anchor.remaining;

    store16(entry + kSizeAt, static_cast<std::int32_t>(size));
    entry[kLastInPageAt] = 0;
    entry[kLastInPageAt + 1] = 0;
    store16(entry + kFieldCountAt, fields.count);
    saveIdentifier(entry + kRelationshipAt, ids.relationship, ids.width);
    saveIdentifier(entry + kAssociatedAt, ids.associated, ids.width);
    unsigned char* at = entry + kEntryHead;
    for (int i = 0; i < fields.count; ++i) {
        const CallerField& field = fields.field[i];
        store16(at, field.length);
        copyBytes(at + 2, field.data, static_cast<std::size_t>(field.length));
        at += 2 + field.length;
    }
    return Outcome::done;
}

Outcome nextRelationship(QueueAnchor& anchor, const Identifiers& ids) noexcept {
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
    copyIdentifiersOut(current, ids);
    return Outcome::done;
}

Outcome readRelationship(const QueueAnchor& anchor, const Identifiers& ids, const CallerFields& fields) noexcept {
    if (!fields.present) return Outcome::readWithoutFields;
    const unsigned char* const entry = anchor.current;
    if (entry == nullptr) return Outcome::noCurrentRelationship;
    copyIdentifiersOut(entry, ids);
    // Each caller field takes the next saved one, cut to the caller's room;
    // a caller field beyond the saved ones gets nothing and length 0.
    const int saved = load16(entry + kFieldCountAt);
    const unsigned char* at = entry + kEntryHead;
    for (int i = 0; i < fields.count; ++i) {
        const CallerField& field = fields.field[i];
        std::int32_t copied = 0;
        if (i < saved) {
            const std::int32_t length = load16(at);
            copied = std::min(length, field.length);
            copyBytes(field.data, at + 2, static_cast<std::size_t>(copied));
            at += 2 + length;
        }
        if (field.lengthSlot != nullptr) storeLE32(field.lengthSlot, copied);
    }
    return Outcome::done;
}

}  // namespace qmr::queue
