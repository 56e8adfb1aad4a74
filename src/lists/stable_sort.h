// A stable merge sort into caller-supplied scratch, so that the sort's
// working storage comes from the allocation hook and is obtained before
// anything moves.  Whatever `less` answers, even inconsistently, every
// access stays inside the two arrays.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace qmr {

template <typename T, typename Less>
void insertionSort(T* items, std::size_t count, Less& less) noexcept {
    for (std::size_t i = 1; i < count; ++i) {
        const T item = items[i];
        std::size_t j = i;
        for (; j > 0 && less(item, items[j - 1]); --j) items[j] = items[j - 1];
        items[j] = item;
    }
}

template <typename T, typename Less>
void mergeRuns(const T* left, const T* middle, const T* right, T* out, Less& less) noexcept {
    const T* a = left;
    const T* b = middle;
    while (a != middle && b != right) *out++ = less(*b, *a) ? *b++ : *a++;
    out = std::copy(a, middle, out);
    std::copy(b, right, out);
}

// Sorts items[0, count) by `less`, keeping equal items in their order;
// `scratch` holds count items.
template <typename T, typename Less>
void stableSort(T* items, T* scratch, std::size_t count, Less less) noexcept {
    constexpr std::size_t kRun = 16;
    for (std::size_t lo = 0; lo < count; lo += kRun) insertionSort(items + lo, std::min(kRun, count - lo), less);
    T* from = items;
    T* to = scratch;
    for (std::size_t width = kRun; width < count; width = width > count / 2 ? count : width * 2) {
        for (std::size_t lo = 0; lo < count; lo += std::min(count - lo, 2 * width)) {
            const std::size_t middle = std::min(count, lo + width);
            const std::size_t hi = count - lo > 2 * width ? lo + 2 * width : count;
            mergeRuns(from + lo, from + middle, from + hi, to + lo, less);
        }
        std::swap(from, to);
    }
    if (from != items) std::memcpy(static_cast<void*>(items), from, count * sizeof(T));
}

}  // namespace qmr
