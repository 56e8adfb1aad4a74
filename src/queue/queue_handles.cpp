#include "queue/queue_handles.h"

#include <new>

#include "platform/alloc.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#else
#include <mutex>
#endif

namespace qmr::queue {

std::atomic<HandleSlot*> handleChunks[kChunkCount];

namespace {

// A slot-0 handle value that no lookup key can equal (its slot bits are set).
constexpr QueueHandle kNeverIssued = ~QueueHandle{0};

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

// Everything below is guarded by `lock`.
struct Table {
    TableLock lock;
    std::uint32_t chunksBuilt = 0;
    std::uint32_t nextUnused = 1;     // lowest slot never handed out
    std::uint32_t highest = kSlotMask;
    std::uint32_t freeHead = 0;       // the free list is first in, first out,
    std::uint32_t freeTail = 0;       // so a slot rests as long as possible
};

Table table;

HandleSlot& slotAt(std::uint32_t slot) noexcept {
    return handleChunks[slot >> kChunkBits].load(std::memory_order_relaxed)[slot & (kSlotsPerChunk - 1)];
}

bool buildChunk() noexcept {
    void* storage = allocate(sizeof(HandleSlot) * kSlotsPerChunk);
    if (storage == nullptr) return false;
    auto* chunk = static_cast<HandleSlot*>(storage);
    for (std::uint32_t i = 0; i < kSlotsPerChunk; ++i) {
        new (&chunk[i]) HandleSlot{{0}, 1, 0, nullptr};
    }
    if (table.chunksBuilt == 0) chunk[0].handle.store(kNeverIssued, std::memory_order_relaxed);
    handleChunks[table.chunksBuilt++].store(chunk, std::memory_order_release);
    return true;
}

// A slot to use: an unused one of the chunks built, else the one freed
// longest ago, else the first of a new chunk.  0 when none can be had.
std::uint32_t takeSlot() noexcept {
    const bool unusedLeft = table.nextUnused <= table.highest;
    if (unusedLeft && table.nextUnused < table.chunksBuilt * kSlotsPerChunk) return table.nextUnused++;
    if (table.freeHead != 0) {
        const std::uint32_t slot = table.freeHead;
        table.freeHead = slotAt(slot).nextFree;
        if (table.freeHead == 0) table.freeTail = 0;
        return slot;
    }
    if (!unusedLeft || !buildChunk()) return 0;
    return table.nextUnused++;
}

}  // namespace

QueueHandle issueHandle(QueueAnchor* anchor) noexcept {
    const std::lock_guard<TableLock> guard(table.lock);
    const std::uint32_t slot = takeSlot();
    if (slot == 0) return 0;
    HandleSlot& entry = slotAt(slot);
    const QueueHandle handle = entry.generation << kSlotBits | slot;
    entry.anchor = anchor;
    entry.handle.store(handle, std::memory_order_release);
    return handle;
}

void retireHandle(QueueHandle handle) noexcept {
    const std::lock_guard<TableLock> guard(table.lock);
    const std::uint32_t slot = handle & kSlotMask;
    HandleSlot& entry = slotAt(slot);
    entry.handle.store(0, std::memory_order_release);
    entry.anchor = nullptr;
    entry.generation = entry.generation == kGenerationLimit ? 1 : entry.generation + 1;
    entry.nextFree = 0;
    if (table.freeTail == 0) {
        table.freeHead = slot;
    } else {
        slotAt(table.freeTail).nextFree = slot;
    }
    table.freeTail = slot;
}

}  // namespace qmr::queue

void qmr::testing::limitQueueSlots(std::uint32_t highest) noexcept {
    const std::lock_guard<qmr::queue::TableLock> guard(qmr::queue::table.lock);
    qmr::queue::table.highest = highest == 0 ? qmr::queue::kSlotMask : highest;
}
