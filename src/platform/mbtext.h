// The character-set services in force: a stand-in for the host's
// multibyte text library.  A table of QmrTextServices is chosen from the
// built-in character sets with qmr_use_charset, or installed by the host
// with qmr_set_text_services; every call reads the table once and walks
// its text with it, so a change never reaches a call half way.
#pragma once

#include <span>

#include "platform/charsets.h"
#include "qmr/qmr.h"

namespace qmr {

// Characters are at most this many bytes long.
constexpr int kLongestChar = 4;

const QmrTextServices& textServices() noexcept;

// The built-in character set whose services these are; null for a
// host's table.  Walkers read its byte roles directly instead of asking
// CharLength, which answers from the same table.
const Charset* charsetOf(const QmrTextServices& services) noexcept;

// The full-width small letters of a built-in character set's services;
// none for a host's table.
std::span<const CaseRun> caseRunsOf(const QmrTextServices& services) noexcept;

// The built-in set that stands for the machine's own character set:
// GetACP()'s code page on Windows, elsewhere the codeset of the locale
// that LC_ALL, LC_CTYPE or LANG (the first set and not empty) names.
// "single" for any other.
const char* systemCharset() noexcept;
const char* charsetOfCodePage(unsigned codePage) noexcept;
const char* charsetOfLocale(const char* locale) noexcept;

}  // namespace qmr
