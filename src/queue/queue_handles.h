// Queue handles: the 32-bit numbers that stand for a queue in the anchor
// slot of a CMCB.
//
// A handle is a slot number in the low 20 bits (1 to 1048575) and a
// generation in the top 12 bits (1 to 4095, so no handle is below
// 0x100000).  The table keeps, per slot, the handle now issued for it and
// the anchor it names; releasing a queue clears the slot and moves its
// generation on, so a handle copied before the release no longer matches.
//
// Looking a handle up takes no lock: one index into the table and one
// compare.  The table is an array that doubles when it is full; the
// arrays it outgrows are kept, never freed, so a lookup that still holds
// one reads valid memory.  Issuing and releasing handles take the table's
// lock.
#pragma once

#include <atomic>
#include <cstdint>

namespace qmr::queue {

struct QueueAnchor;
using QueueHandle = std::uint32_t;

inline constexpr int kSlotBits = 20;
inline constexpr QueueHandle kSlotMask = (QueueHandle{1} << kSlotBits) - 1;  // highest slot, 1048575
inline constexpr std::uint32_t kGenerationLimit = (std::uint32_t{1} << (32 - kSlotBits)) - 1;  // 4095

struct HandleSlot {
    std::atomic<QueueHandle> handle;  // the handle naming `anchor`; 0 while the slot is free
    std::uint32_t generation;         // the generation the slot's next handle carries
    QueueAnchor* anchor;
};

struct HandleTable {
    std::uint32_t size;        // slots, a power of 2
    HandleTable* outgrown;     // the array this one replaced, kept
    HandleSlot slot[1];        // `size` of them
};

// The table in use: before the first queue, one of a single slot.
extern std::atomic<HandleTable*> handleTable;

// The anchor a handle names; null for a handle that names no open queue.
// Slot 0 is never issued and its anchor stays null, so that the handle 0
// and every handle of slot 0 find no queue without a branch of their own.
inline QueueAnchor* anchorOf(QueueHandle handle) noexcept {
    const HandleTable* const table = handleTable.load(std::memory_order_acquire);
    const QueueHandle slot = handle & kSlotMask;
    if (slot >= table->size) return nullptr;
    const HandleSlot& entry = table->slot[slot];
    return entry.handle.load(std::memory_order_acquire) == handle ? entry.anchor : nullptr;
}

// A new handle for `anchor`; 0 when the table is full or cannot grow.
QueueHandle issueHandle(QueueAnchor* anchor) noexcept;

// Frees the slot of a handle that anchorOf answers for.
void retireHandle(QueueHandle handle) noexcept;

}  // namespace qmr::queue

namespace qmr::testing {
// Slots above `highest` are not handed out for the first time (slots
// already in use or on the free list still are); 0 restores the limit
// of 1048575.
void limitQueueSlots(std::uint32_t highest) noexcept;
}  // namespace qmr::testing
