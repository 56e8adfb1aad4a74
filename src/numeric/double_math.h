// Floating-point code that must give the results of IEEE double
// arithmetic, each operation rounded once to 53 bits.
//
// Two compiler habits would change them:
// - 32-bit x86 code generated for the x87 unit keeps intermediates in
//   80-bit registers, so a product is rounded twice or not at all before
//   the next step.  QMR_DOUBLE_MATH moves such a function to SSE2, whose
//   arithmetic is IEEE double (every x86 processor since 2001 has it).
// - With fused multiply-add available, GCC contracts a * b + c into one
//   operation rounded once.  QMR_DOUBLE_MATH turns contraction off; the
//   functions also keep each step in a statement of its own, which is
//   enough for compilers that contract only within an expression.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#if defined(__i386__) && !defined(__SSE2_MATH__)
#define QMR_DOUBLE_MATH __attribute__((target("sse2,fpmath=sse"), optimize("fp-contract=off")))
#else
#define QMR_DOUBLE_MATH __attribute__((optimize("fp-contract=off")))
#endif
#else
#define QMR_DOUBLE_MATH
#endif
