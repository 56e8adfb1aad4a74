// The calling shape shared by every storage conversion: exactly (source,
// destination), always 0, nothing done when either pointer is null.
#pragma once

#include <cstdint>

#include "qmr/qmr.h"

namespace qmr::storage {

template <std::int32_t (*Read)(const char*) noexcept>
inline qmr_int32 readInto(const char* text, qmr_int32* value) noexcept {
    if (text != nullptr && value != nullptr) *value = Read(text);
    return 0;
}

template <void (*Write)(std::int32_t, char*) noexcept>
inline qmr_int32 writeFrom(qmr_int32 value, char* text) noexcept {
    if (text != nullptr) Write(value, text);
    return 0;
}

template <void (*Convert)(const char*, char*) noexcept>
inline qmr_int32 convertInto(const char* source, char* destination) noexcept {
    if (source != nullptr && destination != nullptr) Convert(source, destination);
    return 0;
}

}  // namespace qmr::storage
