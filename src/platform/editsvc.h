// Stand-ins for the host's edit-services library.
#pragma once

#include <cstddef>

namespace qmr {

// Length-limited text comparison: compares at most `count` bytes as
// unsigned values and stops after a NUL that both texts share.  Negative,
// zero or positive as `a` orders before, equal to or after `b`.
int VKSTRNCM(const char* a, const char* b, std::size_t count) noexcept;

}  // namespace qmr
