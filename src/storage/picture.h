// Storage text layouts, drawn as pictures.
//
// A picture shows a text the way the interface documents it: "MM-DD-YYYY",
// "YYYY-MM-DD-hh.mm.ss.ffffff".  The letters Y M D h m s f stand for digits
// of the internal form, itself drawn as a picture ("YYYYMMDD", "hhmmss",
// "YYYYMMDDhhmmssffffff"): the k-th M of the text is the k-th M of the
// internal form, and so on.  Every other character of a picture (the
// separators, the fixed date 0001-01-01 of the O-form time) is a mark:
// written as it stands, never read.
//
// `gather` copies the digit positions of a text into the internal form
// (`gatherWord` into a word, for forms of at most eight characters),
// `scatter` copies them back and writes the marks.  Neither touches any
// other position: no terminator, nothing past the picture.  Both unfold at
// compile time into straight-line copies of whole runs, so a conversion
// costs what a hand-written one does.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "storage/digit_word.h"

namespace qmr::storage {

struct Run {                // text[text, text + length) <-> internal[internal, ...)
    std::uint8_t text = 0;
    std::uint8_t internal = 0;
    std::uint8_t length = 0;
};

struct Mark {
    std::uint8_t at = 0;
    char c = 0;
};

struct Picture {
    std::size_t length = 0;          // characters of the text
    std::size_t internalLength = 0;  // internal characters it holds: a prefix of the internal form
    Run runs[8] = {};
    std::size_t runCount = 0;
    Mark marks[12] = {};
    std::size_t markCount = 0;
};

constexpr bool isDigitLetter(char c) noexcept {
    return c == 'Y' || c == 'M' || c == 'D' || c == 'h' || c == 'm' || c == 's' || c == 'f';
}

// Position of the k-th (from 0) `c` in `text`, or `length` when there is none.
constexpr std::size_t nth(const char* text, std::size_t length, char c, std::size_t k) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == c && k-- == 0) return i;
    }
    return length;
}

// A picture that names a digit the internal form lacks, or needs more runs
// or marks than a Picture holds, does not compile.  A run holds at most 8
// characters.
template <std::size_t TextSize, std::size_t InternalSize>
consteval Picture picture(const char (&text)[TextSize], const char (&internal)[InternalSize]) {
    Picture p;
    p.length = TextSize - 1;
    for (std::size_t i = 0; i < p.length; ++i) {
        const char c = text[i];
        if (!isDigitLetter(c)) {
            p.marks[p.markCount++] = {static_cast<std::uint8_t>(i), c};
            continue;
        }
        const std::size_t at = nth(internal, InternalSize - 1, c, static_cast<std::size_t>(std::count(text, text + i, c)));
        if (at == InternalSize - 1) throw "the internal form has no such digit";
        Run* last = p.runCount > 0 ? &p.runs[p.runCount - 1] : nullptr;
        if (last != nullptr && last->text + last->length == i && last->internal + last->length == at && last->length < 8) {
            ++last->length;
        } else {
            p.runs[p.runCount++] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(at), 1};
        }
        p.internalLength = std::max(p.internalLength, at + 1);
    }
    return p;
}

template <const Picture& P>
void gather(const char* text, char* internal) noexcept {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (std::memcpy(internal + P.runs[I].internal, text + P.runs[I].text, P.runs[I].length), ...);
    }(std::make_index_sequence<P.runCount>{});
}

// The internal characters of a text of at most eight of them, as a word.
template <const Picture& P>
constexpr DigitWord gatherWord(const char* text) noexcept {
    static_assert(P.internalLength <= 8);
    DigitWord word = 0;
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        ((word |= loadWord<P.runs[I].length>(text + P.runs[I].text) << (8 * P.runs[I].internal)), ...);
    }(std::make_index_sequence<P.runCount>{});
    return word;
}

// Every run is read before any is written, so that a text laid over the
// internal characters it comes from still receives them.
template <const Picture& P>
void scatter(const char* internal, char* text) noexcept {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        const DigitWord run[] = {loadWord<P.runs[I].length>(internal + P.runs[I].internal)...};  // at most 8 characters each
        (storeWord<P.runs[I].length>(text + P.runs[I].text, run[I]), ...);
    }(std::make_index_sequence<P.runCount>{});
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        ((text[P.marks[I].at] = P.marks[I].c), ...);
    }(std::make_index_sequence<P.markCount>{});
}

}  // namespace qmr::storage
