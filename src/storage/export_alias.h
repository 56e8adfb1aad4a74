// A second exported name for a function of the same translation unit, on
// ELF targets (the Windows export table names aliases in qmr.def).
//
// GCC marks a definition that cannot throw as nothrow and asks its aliases
// to say so too; Clang takes nothrow for noexcept, which the C
// declarations of qmr.h do not carry.
#pragma once

#if defined(__GNUC__) && !defined(_WIN32)
#define QMR_ELF_ALIASES 1
#if defined(__clang__)
#define QMR_ALIAS_OF(target) __attribute__((alias(target)))
#else
#define QMR_ALIAS_OF(target) __attribute__((alias(target), nothrow))
#endif
#endif
