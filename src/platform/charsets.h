// The character sets the built-in text services know, as data: the roles
// of each byte (lead, trail, combining), the shift codes, the double-byte
// blank, and the runs of full-width small letters that VKUPPR upper-cases.
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

struct Charset {
    const char* name;
    unsigned char shiftOut;  // 0: the text carries no shift codes
    unsigned char shiftIn;
    unsigned char doubleBlank[2];  // {0, 0}: none
    ByteRoles roles;
    const CaseRun* caseRuns;
    int caseRunCount;
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
// Thai: MAI HAN-AKAT, the upper and lower vowels SARA I..PHINTHU, and
// MAITAIKHU..YAMAKKAN (tone marks and signs).
inline constexpr Charset kTis620{"tis620", 0, 0, {0, 0}, byteRoles({}, {}, {{0xD1, 0xD1}, {0xD4, 0xDA}, {0xE7, 0xEE}}),
                                 nullptr,  0};

}  // namespace qmr
