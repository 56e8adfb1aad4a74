// Tests under a CPU emulator.  The i386 tests run under qemu-i386,
// several times slower than natively; there (QMR_EMULATED) a test may do
// fewer rounds of the same work.  Natively and under wine nothing changes.
#pragma once

namespace qmr_test {

#if defined(QMR_EMULATED)
inline constexpr bool kEmulated = true;
#else
inline constexpr bool kEmulated = false;
#endif

}  // namespace qmr_test
