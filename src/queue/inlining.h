// Inlining hints for the queue's request path.  QMDDAQUE reads a pair
// list from its own variable argument list; the code that takes the pairs
// is kept inside that one frame (QMR_QUEUE_INLINE), where the list is
// read in place, and rare cases are kept out of the way
// (QMR_QUEUE_OUT_OF_LINE).  Other compilers decide for themselves.
#pragma once

#if defined(__GNUC__)
#define QMR_QUEUE_INLINE inline __attribute__((always_inline))
#define QMR_QUEUE_OUT_OF_LINE __attribute__((noinline, cold))
#else
#define QMR_QUEUE_INLINE inline
#define QMR_QUEUE_OUT_OF_LINE
#endif
