#include "queue/queue_handles.h"

#include <cstddef>
#include <mutex>
#include <new>

#include "platform/alloc.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace qmr::queue {

namespace {

// The table before the first queue: slot 0 alone, which is never issued.
HandleTable noQueues{1, nullptr, {{{0}, 1, nullptr}}};

}  // namespace

std::atomic<HandleTable*> handleTable{&noQueues};

namespace {

constexpr std::uint32_t kFirstSize = 1024;

#if defined(_WIN32)
// A slim lock that needs no thread support from the C++ run-time.
class TableLock {
public:
    void lock() noexcept { AcquireSRWLockExclusive(&lock_); }
    void unlock() noexcept { ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};
#else
using TableLock = std::mutex;
#endif

// Free slots wait in a first-in first-out list, so that a slot rests as
// long as possible before its next handle.  A lookup may read any slot at
// any time, so the list is kept beside the table rather than in the free
// slots themselves.
struct Registry {
    TableLock lock;
    std::uint32_t nextUnused = 1;  // lowest slot never handed out
    std::uint32_t highest = kSlotMask;
    std::uint32_t freeHead = 0;
    std::uint32_t freeTail = 0;
    std::uint32_t* nextFree = nullptr;  // per slot, the free slot after it
};

Registry registry;

// The table in use; null before the first queue.
HandleTable* current() noexcept {
    HandleTable* const table = handleTable.load(std::memory_order_relaxed);
    return table == &noQueues ? nullptr : table;
}

// Doubles the table (or makes the first one), copying every slot.
bool growTable() noexcept {
    HandleTable* const old = current();
    const std::uint32_t size = old == nullptr ? kFirstSize : old->size * 2;
    void* tableStorage = allocate(offsetof(HandleTable, slot) + sizeof(HandleSlot) * size);
    void* listStorage = allocate(sizeof(std::uint32_t) * size);
    if (tableStorage == nullptr || listStorage == nullptr) {
        release(tableStorage);
        release(listStorage);
        return false;
    }
    auto* table = static_cast<HandleTable*>(tableStorage);
    auto* list = static_cast<std::uint32_t*>(listStorage);
    table->size = size;
    table->outgrown = old;
    for (std::uint32_t i = 0; i < size; ++i) {
        if (old != nullptr && i < old->size) {
            const HandleSlot& from = old->slot[i];
            new (&table->slot[i]) HandleSlot{{from.handle.load(std::memory_order_relaxed)}, from.generation, from.anchor};
            list[i] = registry.nextFree[i];
        } else {
            new (&table->slot[i]) HandleSlot{{0}, 1, nullptr};
            list[i] = 0;
        }
    }
    release(registry.nextFree);
    registry.nextFree = list;
    handleTable.store(table, std::memory_order_release);
    return true;
}

// A slot to use: an unused one of the table, else the one freed longest
// ago, else the first of a grown table.  0 when none can be had.
std::uint32_t takeSlot() noexcept {
    const HandleTable* const table = current();
    const bool unusedLeft = registry.nextUnused <= registry.highest;
    if (unusedLeft && table != nullptr && registry.nextUnused < table->size) return registry.nextUnused++;
    if (registry.freeHead != 0) {
        const std::uint32_t slot = registry.freeHead;
        registry.freeHead = registry.nextFree[slot];
        if (registry.freeHead == 0) registry.freeTail = 0;
        return slot;
    }
    if (!unusedLeft || !growTable()) return 0;
    return registry.nextUnused++;
}

}  // namespace

QueueHandle issueHandle(QueueAnchor* anchor) noexcept {
    const std::lock_guard<TableLock> guard(registry.lock);
    const std::uint32_t slot = takeSlot();
    if (slot == 0) return 0;
    HandleSlot& entry = current()->slot[slot];
    const QueueHandle handle = entry.generation << kSlotBits | slot;
    entry.anchor = anchor;
    entry.handle.store(handle, std::memory_order_release);
    return handle;
}

void retireHandle(QueueHandle handle) noexcept {
    const std::lock_guard<TableLock> guard(registry.lock);
    const std::uint32_t slot = handle & kSlotMask;
    HandleSlot& entry = current()->slot[slot];
    entry.handle.store(0, std::memory_order_release);
    entry.anchor = nullptr;
    entry.generation = entry.generation == kGenerationLimit ? 1 : entry.generation + 1;
    registry.nextFree[slot] = 0;
    if (registry.freeTail == 0) {
        registry.freeHead = slot;
    } else {
        registry.nextFree[registry.freeTail] = slot;
    }
    registry.freeTail = slot;
}

}  // namespace qmr::queue

void qmr::testing::limitQueueSlots(std::uint32_t highest) noexcept {
    using namespace qmr::queue;
    const std::lock_guard<TableLock> guard(registry.lock);
    registry.highest = highest == 0 ? kSlotMask : highest;
}
