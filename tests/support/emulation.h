// Whole-range sweeps under a CPU emulator.  The i386 tests run under
// qemu-i386, several times slower than natively; there (QMR_EMULATED) a
// sweep may step through its range with a stride instead of visiting
// every value.  Natively and under wine every value is visited.
//
//   for (int32_t n = 1; n <= 3652059; n += qmr_test::sweepStride()) ...
#pragma once

namespace qmr_test {

#if defined(QMR_EMULATED)
inline constexpr bool kEmulated = true;
#else
inline constexpr bool kEmulated = false;
#endif

// 1 natively; under an emulator 37 by default, a prime that divides none
// of the calendar's periods (7 weekdays, month and year lengths, the
// 146097 days of 400 years), so a sampled sweep still meets every weekday,
// day of the month and day of the year.
constexpr int sweepStride(int emulatedStride = 37) { return kEmulated ? emulatedStride : 1; }

}  // namespace qmr_test
