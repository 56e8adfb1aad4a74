// Working storage of the filter and the sort: an array obtained through
// the one allocation hook and released when it goes out of scope, so that
// every return path gives it back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/alloc.h"

namespace qmr {

template <typename T>
class WorkingStorage {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    WorkingStorage() = default;
    WorkingStorage(const WorkingStorage&) = delete;
    WorkingStorage& operator=(const WorkingStorage&) = delete;
    ~WorkingStorage() { release(items_); }

    // Room for `count` items, replacing what was held; false when the
    // storage is not available (or its size does not fit a size_t).
    bool obtain(std::size_t count) noexcept {
        release(items_);
        items_ = nullptr;
        capacity_ = 0;
        if (count > SIZE_MAX / sizeof(T)) return false;
        items_ = static_cast<T*>(allocate(count * sizeof(T)));
        if (items_ == nullptr) return false;
        capacity_ = count;
        return true;
    }

    // Doubles the room, keeping the first `used` items; false (and the
    // items unchanged) when the storage is not available.
    bool grow(std::size_t used) noexcept {
        if (capacity_ > SIZE_MAX / sizeof(T) / 2) return false;
        const std::size_t larger = capacity_ * 2;
        T* items = static_cast<T*>(allocate(larger * sizeof(T)));
        if (items == nullptr) return false;
        if (used != 0) std::memcpy(static_cast<void*>(items), items_, used * sizeof(T));
        release(items_);
        items_ = items;
        capacity_ = larger;
        return true;
    }

    T* get() const noexcept { return items_; }
    T& operator[](std::size_t i) const noexcept { return items_[i]; }
    std::size_t capacity() const noexcept { return capacity_; }

private:
    T* items_ = nullptr;
    std::size_t capacity_ = 0;
};

}  // namespace qmr
