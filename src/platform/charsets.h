// The character sets the built-in text services know, as data: the roles
// of each byte (lead, trail, combining), the well-formed sequences of
// UTF-8, the shift codes, the wide blank, and the runs of full-width
// small letters that VKUPPR upper-cases.
// The tests check every fact here against ICU's converters.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

namespace qmr {

struct ByteRange {
    unsigned char first;
    unsigned char last;
};

// Double-byte small letters first..last (codes lead * 256 + trail) whose
// capitals are upper, upper + 1, ... in the same order.
struct CaseRun {
    std::uint16_t first;
    std::uint16_t last;
    std::uint16_t upper;
};

// Small letters first, first + step, ... last (code points) whose
// capitals lie `delta` away.
struct UpperRun {
    std::int32_t first;
    std::int32_t last;
    std::int32_t delta;
    std::int32_t step;
};

enum ByteRole : std::uint8_t { kLeadByte = 1, kTrailByte = 2, kCombiningByte = 4 };

using ByteRoles = std::array<std::uint8_t, 256>;

constexpr ByteRoles byteRoles(std::initializer_list<ByteRange> lead, std::initializer_list<ByteRange> trail,
                              std::initializer_list<ByteRange> combining) {
    ByteRoles roles{};
    const auto mark = [&roles](std::initializer_list<ByteRange> ranges, std::uint8_t role) {
        for (const ByteRange& r : ranges) {
            for (unsigned b = r.first; b <= r.last; ++b) roles[b] |= role;
        }
    };
    mark(lead, kLeadByte);
    mark(trail, kTrailByte);
    mark(combining, kCombiningByte);
    return roles;
}

constexpr bool anyRole(const ByteRoles& roles, std::uint8_t role) {
    for (std::uint8_t r : roles) {
        if (r & role) return true;
    }
    return false;
}

// A lead byte starts a double-byte character only when a trail byte
// follows it; a NUL is never a trail byte, so a terminated text is never
// read past its NUL.
constexpr int lengthByRoles(const ByteRoles& roles, unsigned char first, unsigned char next) {
    return (roles[first] & kLeadByte) && (roles[next] & kTrailByte) ? 2 : 1;
}

// UTF-8: for each first byte the length of the well-formed sequence it
// starts (1 for ASCII and for a byte that starts none) and the range of
// the second byte; later bytes are 0x80-0xBF.  The ranges leave out
// overlong forms, surrogates and code points past U+10FFFF.
struct SequenceStart {
    std::uint8_t length;
    std::uint8_t low;
    std::uint8_t high;
};
using Sequences = std::array<SequenceStart, 256>;

constexpr Sequences utf8Sequences() {
    Sequences s{};
    const auto mark = [&s](unsigned first, unsigned last, std::uint8_t length, std::uint8_t low, std::uint8_t high) {
        for (unsigned b = first; b <= last; ++b) s[b] = {length, low, high};
    };
    mark(0x00, 0xFF, 1, 0, 0);
    mark(0xC2, 0xDF, 2, 0x80, 0xBF);
    mark(0xE0, 0xE0, 3, 0xA0, 0xBF);
    mark(0xE1, 0xEC, 3, 0x80, 0xBF);
    mark(0xED, 0xED, 3, 0x80, 0x9F);
    mark(0xEE, 0xEF, 3, 0x80, 0xBF);
    mark(0xF0, 0xF0, 4, 0x90, 0xBF);
    mark(0xF1, 0xF3, 4, 0x80, 0xBF);
    mark(0xF4, 0xF4, 4, 0x80, 0x8F);
    return s;
}
inline constexpr Sequences kUtf8Sequences = utf8Sequences();

// The length of the well-formed sequence at p within `remaining` bytes,
// else 1.  A byte is read only when those before it belong to the
// sequence, so a terminated text is never read past its NUL.
constexpr int lengthBySequences(const Sequences& sequences, const unsigned char* p, std::int32_t remaining) {
    const SequenceStart& start = sequences[p[0]];
    if (start.length == 1 || start.length > remaining || p[1] < start.low || p[1] > start.high) return 1;
    for (int i = 2; i < start.length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 1;
    }
    return start.length;
}

// The code of a UTF-8 character: its code point.  A piece that is not one
// well-formed character (an ill-formed byte, standing alone) is
// kNotUnicode + its first byte, past every code point, so that it never
// passes for one.
constexpr std::int32_t kNotUnicode = 0x110000;
constexpr std::int32_t utf8Code(const unsigned char* p, int length) {
    if (length < 1) return 0;
    if (length == 1) return p[0] < 0x80 ? p[0] : kNotUnicode + p[0];
    if (lengthBySequences(kUtf8Sequences, p, length) != length) return kNotUnicode + p[0];
    std::int32_t code = p[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i) code = code << 6 | (p[i] & 0x3F);
    return code;
}

struct Charset {
    const char* name;
    unsigned char shiftOut;  // 0: the text carries no shift codes
    unsigned char shiftIn;
    unsigned char wideBlank[3];  // the blank of 2 (or 3) bytes; {0}: none
    ByteRoles roles;
    const CaseRun* caseRuns;
    int caseRunCount;
    const Sequences* sequences = nullptr;  // characters by UTF-8 sequences, not by byte roles
};

// ASCII and one full-width run.  Codes of "sosi" are the 7-bit KS X 1001
// pair read inside a double-byte run.
inline constexpr CaseRun kSjisLetters[] = {{0x8281, 0x829A, 0x8260}};  // U+FF41..FF5A
inline constexpr CaseRun kGbkLetters[] = {{0xA3E1, 0xA3FA, 0xA3C1}};
inline constexpr CaseRun kBig5Letters[] = {{0xA2E9, 0xA2FE, 0xA2CF},   // a..v
                                           {0xA340, 0xA343, 0xA2E5}};  // w..z
inline constexpr CaseRun kKsx1001Letters[] = {{0x2361, 0x237A, 0x2341}};
inline constexpr CaseRun kUhcLetters[] = {{0xA3E1, 0xA3FA, 0xA3C1}};  // KS X 1001 in its 8-bit form

inline constexpr Charset kSingleByte{"single", 0, 0, {0, 0}, byteRoles({}, {}, {}), nullptr, 0};
inline constexpr Charset kShiftCodes{"sosi", 0x0E, 0x0F, {0x21, 0x21}, byteRoles({}, {}, {}), kKsx1001Letters, 1};
inline constexpr Charset kShiftJis{
    "sjis",       0, 0, {0x81, 0x40}, byteRoles({{0x81, 0x9F}, {0xE0, 0xFC}}, {{0x40, 0x7E}, {0x80, 0xFC}}, {}),
    kSjisLetters, 1};
inline constexpr Charset kGbk{
    "gbk", 0, 0, {0xA1, 0xA1}, byteRoles({{0x81, 0xFE}}, {{0x40, 0x7E}, {0x80, 0xFE}}, {}), kGbkLetters, 1};
inline constexpr Charset kBig5{
    "big5", 0, 0, {0xA1, 0x40}, byteRoles({{0x81, 0xFE}}, {{0x40, 0x7E}, {0x80, 0xFE}}, {}), kBig5Letters, 2};
// Code page 949 (Unified Hangul Code): EUC-KR and the extra Hangul
// syllables whose trail bytes reach down to 0x41.
inline constexpr Charset kUhc{
    "uhc", 0, 0, {0xA1, 0xA1}, byteRoles({{0x81, 0xFE}}, {{0x40, 0x7E}, {0x80, 0xFE}}, {}), kUhcLetters, 1};
// UTF-8: lead bytes and continuation bytes as roles, for the questions
// that ask for roles; the walk follows kUtf8Sequences.  Its wide blank is
// U+3000, of 3 bytes; no blank has 2.
inline constexpr Charset kUtf8{
    "utf8", 0, 0, {0xE3, 0x80, 0x80}, byteRoles({{0xC2, 0xF4}}, {{0x80, 0xBF}}, {}), nullptr, 0, &kUtf8Sequences};
// Thai: MAI HAN-AKAT, the upper and lower vowels SARA I..PHINTHU, and
// MAITAIKHU..YAMAKKAN (tone marks and signs).
inline constexpr Charset kTis620{"tis620", 0, 0, {0, 0}, byteRoles({}, {}, {{0xD1, 0xD1}, {0xD4, 0xDA}, {0xE7, 0xEE}}),
                                 nullptr,  0};

}  // namespace qmr
