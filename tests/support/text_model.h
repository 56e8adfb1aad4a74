// Plain models of the string built-ins, written from the rules of
// character-set text and sharing no code with the library.  A character
// set is data (its byte sequences, shift codes, combining bytes, blanks
// and full-width letters), so another set is one more description.
//
// A text's kind: shift-code text when the set has shift codes, else
// lead-byte text when it has sequences, else combining text where the
// built-in walks it (substring, verify, the analysis), else single-byte
// text.  Shift-code text reads a shift-out or shift-in as a character of
// one byte that switches the state, and any other character as one byte
// in the single-byte state and two in the double-byte state (one where
// the text ends: "cut").  Lead-byte text reads a sequence where all its
// bytes follow, and one byte otherwise; a 1-byte character of combining
// text takes the combining bytes after it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace qmr_model {

using Bytes = std::string;
struct Range { unsigned first, last; };
using Ranges = std::vector<Range>;
inline bool inRanges(const Ranges& ranges, char c) {
    const auto b = static_cast<unsigned char>(c);
    return std::any_of(ranges.begin(), ranges.end(), [b](Range r) { return b >= r.first && b <= r.last; });
}

// A character of more than one byte: a first byte in `lead`, then one
// byte from each of `follow`.
struct Sequence { Ranges lead; std::vector<Ranges> follow; };
// Double-byte small letters small..last, their capitals from `capital` on.
struct Letters { unsigned small, last, capital; };
struct Charset {
    const char* name;  // as qmr_use_charset knows it
    char shiftOut, shiftIn;
    std::vector<Sequence> sequences;
    Ranges combining;
    std::vector<Bytes> blanks;  // the first of each width is the set's blank of that width
    std::vector<Letters> letters;
    bool unicode = false;  // UTF-8: letters are upper-cased by code point
};

// UTF-8's well-formed sequences: a first byte, then its second byte's
// range, then 0x80-0xBF for the rest.
inline const Ranges kTail{{0x80, 0xBF}};
inline const std::vector<Sequence> kUtf8 = {
    {{{0xC2, 0xDF}}, {kTail}},
    {{{0xE0, 0xE0}}, {{{0xA0, 0xBF}}, kTail}},
    {{{0xE1, 0xEC}, {0xEE, 0xEF}}, {kTail, kTail}},
    {{{0xED, 0xED}}, {{{0x80, 0x9F}}, kTail}},  // no surrogates
    {{{0xF0, 0xF0}}, {{{0x90, 0xBF}}, kTail, kTail}},
    {{{0xF1, 0xF3}}, {kTail, kTail, kTail}},
    {{{0xF4, 0xF4}}, {{{0x80, 0x8F}}, kTail, kTail}},  // up to U+10FFFF
};

inline const Ranges kSjisTrail{{0x40, 0x7E}, {0x80, 0xFC}}, kCp936Trail{{0x40, 0x7E}, {0x80, 0xFE}};
inline const std::vector<Charset> kCharsets = {
    {"single", 0, 0, {}, {}, {" "}, {}},
    {"sosi", 0x0E, 0x0F, {}, {}, {" ", "!!"}, {{0x2361, 0x237A, 0x2341}}},
    {"sjis", 0, 0, {{{{0x81, 0x9F}, {0xE0, 0xFC}}, {kSjisTrail}}}, {}, {" ", "\x81\x40"}, {{0x8281, 0x829A, 0x8260}}},
    {"gbk", 0, 0, {{{{0x81, 0xFE}}, {kCp936Trail}}}, {}, {" ", "\xA1\xA1"}, {{0xA3E1, 0xA3FA, 0xA3C1}}},
    {"big5", 0, 0, {{{{0x81, 0xFE}}, {kCp936Trail}}}, {}, {" ", "\xA1\x40"},
     {{0xA2E9, 0xA2FE, 0xA2CF}, {0xA340, 0xA343, 0xA2E5}}},
    {"tis620", 0, 0, {}, {{0xD1, 0xD1}, {0xD4, 0xDA}, {0xE7, 0xEE}}, {" "}, {}},
    {"uhc", 0, 0, {{{{0x81, 0xFE}}, {kCp936Trail}}}, {}, {" ", "\xA1\xA1"}, {{0xA3E1, 0xA3FA, 0xA3C1}}},
    {"utf8", 0, 0, kUtf8, {}, {" ", "\xE3\x80\x80"}, {}, true},
};

enum class Kind { shiftCode, leadByte, combining, singleByte };
enum class Combining { asSingleByte, asCombining };
inline Kind kindOf(const Charset& cs, Combining combining = Combining::asSingleByte) {
    if (cs.shiftOut != 0) return Kind::shiftCode;
    if (!cs.sequences.empty()) return Kind::leadByte;
    return combining == Combining::asCombining && !cs.combining.empty() ? Kind::combining : Kind::singleByte;
}

struct Char {
    int start, length;
    bool shift, doubleState, cut;  // a shift code; the state after the character; cut by the end
    int end() const { return start + length; }
};

// The characters of t from the state `doubleState`.
inline std::vector<Char> chars(const Charset& cs, const Bytes& t, Kind kind, bool doubleState = false) {
    std::vector<Char> out;
    const int size = static_cast<int>(t.size());
    for (int i = 0; i < size; i += out.back().length) {
        Char c{i, 1, false, doubleState, false};
        if (kind == Kind::shiftCode && (t[i] == cs.shiftOut || t[i] == cs.shiftIn)) {
            c.shift = true;
            c.doubleState = doubleState = t[i] == cs.shiftOut;
        } else if (kind == Kind::shiftCode && doubleState) {
            c.cut = i + 1 == size;
            c.length = c.cut ? 1 : 2;
        } else if (kind == Kind::leadByte || kind == Kind::combining) {
            for (const Sequence& s : cs.sequences) {
                const int n = static_cast<int>(s.follow.size());
                if (!inRanges(s.lead, t[i]) || i + n >= size) continue;
                for (int k = 0; k < n && inRanges(s.follow[k], t[i + 1 + k]); ++k) c.length += k == n - 1 ? n : 0;
            }
            while (kind == Kind::combining && c.end() < size && inRanges(cs.combining, t[c.end()])) ++c.length;
        }
        out.push_back(c);
    }
    return out;
}

inline Bytes bytesOf(const Bytes& t, const Char& c) { return t.substr(std::size_t(c.start), std::size_t(c.length)); }
using Code = std::int64_t;
inline Code codeOf(const Bytes& character) {  // the bytes as one big-endian number
    const auto append = [](Code code, char b) { return code << 8 | (b & 0xFF); };
    return std::accumulate(character.begin(), character.end(), Code{0}, append);
}
inline bool isBlank(const Charset& cs, const Bytes& c) { return std::count(cs.blanks.begin(), cs.blanks.end(), c); }
// The end of the last character that is neither a blank nor a shift code,
// and whether it stands in a double-byte run.
inline std::pair<int, bool> keptEnd(const Charset& cs, const Bytes& t, const std::vector<Char>& characters) {
    for (auto c = characters.rbegin(); c != characters.rend(); ++c) {
        if (!c->shift && !isBlank(cs, bytesOf(t, *c))) return {c->end(), c->doubleState};
    }
    return {0, false};
}

// QMRFSSTR (doubleStart false) and QMRFSSDB for start >= 1, length >= 0.
inline Bytes substring(const Charset& cs, const Bytes& t, int start, int length, bool doubleStart) {
    const Kind kind = kindOf(cs, Combining::asCombining);
    const int target = start - 1, size = static_cast<int>(t.size());
    if (target >= size || length == 0) return "";
    if (kind == Kind::singleByte) return t.substr(std::size_t(target), std::size_t(length));
    const bool shift = kind == Kind::shiftCode, encloses = shift && !doubleStart;
    const std::vector<Char> c = chars(cs, t, kind, shift && doubleStart);
    std::size_t k = 0;
    bool doubleState = shift && doubleStart;
    for (; k < c.size() && c[k].start < target; ++k) doubleState = c[k].doubleState;
    int from = k < c.size() ? c[k].start : size;
    if (kind == Kind::combining && from > target) from = c[--k].start;
    const Bytes open(encloses && doubleState, cs.shiftOut);
    int to = from;
    for (; k < c.size() && !c[k].cut && (shift ? c[k].start < from + length : c[k].end() <= target + length); ++k) {
        to = c[k].end();
        doubleState = c[k].doubleState;
    }
    if (to == from) return "";
    return open + t.substr(std::size_t(from), std::size_t(to - from)) + Bytes(encloses && doubleState, cs.shiftIn);
}

// QMRFINDX (doubleStart false) and QMRFINDB: the 1-based position or 0.
inline int indexOf(const Charset& cs, const Bytes& source, Bytes search, bool doubleStart) {
    const Kind kind = kindOf(cs);
    bool firstDouble = doubleStart;
    if (kind == Kind::shiftCode && !search.empty() && search.back() == cs.shiftIn) search.pop_back();
    if (kind == Kind::shiftCode && !search.empty() && search[0] == cs.shiftOut) search.erase(0, 1), firstDouble = true;
    for (const Char& c : chars(cs, source, kind, kind == Kind::shiftCode && doubleStart)) {
        if (!search.empty() && !c.shift && (kind != Kind::shiftCode || c.doubleState == firstDouble) &&
            source.compare(std::size_t(c.start), search.size(), search) == 0) {
            return c.start + 1;
        }
    }
    return 0;
}

// QMRFVRFY (doubleStart false, with its set trimmed) and QMRFVRDB: the
// 1-based position of the first character outside the set, or 0.
inline int verify(const Charset& cs, const Bytes& text, const Bytes& set, bool doubleStart) {
    const Kind kind = kindOf(cs, Combining::asCombining);
    const bool doubleState = kind == Kind::shiftCode && doubleStart;
    // A code is 32 bits: a character of more than four bytes (a base with
    // several marks) is known by its last four.
    const auto code32 = [](const Bytes& c) { return Code(std::uint32_t(codeOf(c))); };
    std::vector<Code> members;
    for (const Char& c : chars(cs, set, kind, doubleState)) {
        if (!c.shift) members.push_back(code32(bytesOf(set, c)));
    }
    const auto member = [&members](Code code) { return std::count(members.begin(), members.end(), code) > 0; };
    if (text.empty()) {  // the blank of the start state's width, where the set has one
        const bool wide = doubleStart && cs.blanks.size() > 1 && cs.blanks[1].size() == 2;
        return member(code32(wide ? cs.blanks[1] : " ")) ? 0 : 1;
    }
    for (const Char& c : chars(cs, text, kind, doubleState)) {
        const Code code = code32(bytesOf(text, c));
        if (c.shift || member(code)) continue;
        const bool trailingBlanks = text.find_first_not_of(' ', std::size_t(c.start)) == Bytes::npos;
        return c.start != 0 && code == ' ' && trailingBlanks ? 0 : c.start + 1;
    }
    return 0;
}

// QMRFTRIM into a result of maximum `room` (>= the text's size).
inline Bytes trim(const Charset& cs, const Bytes& t, int room) {
    const auto [end, inRun] = keptEnd(cs, t, chars(cs, t, kindOf(cs)));
    return t.substr(0, std::size_t(end)) + Bytes(inRun && end < room, cs.shiftIn);
}

// QMROTRIM and QMRVTRIM before the single-blank rule: by sequences in
// every kind of text, up to the first NUL.
inline int trimmedLength(const Charset& cs, const Bytes& t) {
    const Bytes text = t.substr(0, t.find('\0'));
    return keptEnd(cs, text, chars(cs, text, kindOf(cs) == Kind::singleByte ? Kind::singleByte : Kind::leadByte)).first;
}

// Qmrrjust: the trailing blank characters move to the front as
// single-byte blanks.
inline Bytes rightJustified(const Charset& cs, const Bytes& t) {
    const std::vector<Char> c = chars(cs, t, kindOf(cs, Combining::asCombining));
    std::size_t kept = t.size();
    for (auto k = c.rbegin(); k != c.rend() && !k->shift && isBlank(cs, bytesOf(t, *k)); ++k) kept -= k->length;
    return Bytes(t.size() - kept, ' ') + t.substr(0, kept);
}

// Qmstrcpy into a buffer of `size` (>= 1) bytes: whole characters, and a
// cut run closed, within size - 1 bytes.
inline Bytes boundedCopy(const Charset& cs, const Bytes& t, int size) {
    const int room = size - 1, whole = static_cast<int>(t.size());
    int end = whole <= room ? whole : 0;
    bool close = false;
    for (const Char& c : chars(cs, t, kindOf(cs))) {  // where the text does not fit
        if (whole <= room || c.end() + c.doubleState > room) break;
        if (!c.shift) end = c.end(), close = c.doubleState;
    }
    const Bytes out = t.substr(0, std::size_t(end)) + Bytes(close, cs.shiftIn);
    return out + Bytes(std::size_t(room) - out.size(), ' ') + '\0';
}

// Qmstrcmp: each text without its trailing blanks and shift codes, as
// codes, compared in order; a text that ends first orders first.  Codes
// are bytes outside shift-code text; in it a shift-out is shift-out *
// 256, a shift-in its byte, a double-byte character its bytes as one
// number (a cut one as first * 256).
inline std::vector<Code> comparisonCodes(const Charset& cs, const Bytes& t) {
    const std::vector<Char> c = chars(cs, t, kindOf(cs));
    std::vector<Code> codes;
    const int end = keptEnd(cs, t, c).first;
    for (std::size_t k = 0; k < c.size() && c[k].start < end; ++k) {
        const Bytes b = bytesOf(t, c[k]);
        if (kindOf(cs) != Kind::shiftCode) {
            for (unsigned char x : b) codes.push_back(x);
        } else {
            codes.push_back(codeOf(b) << ((c[k].shift && b[0] == cs.shiftOut) || c[k].cut ? 8 : 0));
        }
    }
    return codes;
}
inline int compare(const Charset& cs, const Bytes& a, const Bytes& b) {
    const std::vector<Code> x = comparisonCodes(cs, a), y = comparisonCodes(cs, b);
    return x < y ? -1 : y < x ? 1 : 0;
}

// UTF-8: a well-formed character of two bytes or more upper-cased by
// Unicode's simple mapping, which the tests supply (from ICU) where they
// can.
inline Bytes (*unicodeUpper)(const Bytes&) = nullptr;

// QMRFUPPR: the text up to its first NUL, its ASCII letters and the set's
// full-width small letters upper-cased; in UTF-8 every character whose
// capital has as many bytes.
inline Bytes upper(const Charset& cs, Bytes t) {
    t = t.substr(0, t.find('\0'));
    for (const Char& c : chars(cs, t, kindOf(cs))) {
        const Code code = codeOf(bytesOf(t, c));
        Bytes capital = cs.unicode && c.length > 1 ? unicodeUpper(bytesOf(t, c)) : "";
        if (c.length == 1 && !c.shift && !c.cut && code >= 'a' && code <= 'z') capital = Bytes(1, char(code - 32));
        for (const Letters& l : cs.letters) {
            const Code big = l.capital + code - l.small;
            if (c.length == 2 && code >= l.small && code <= l.last) capital = {char(big >> 8), char(big)};
        }
        if (capital.size() == std::size_t(c.length)) t.replace(std::size_t(c.start), capital.size(), capital);
    }
    return t;
}

// QMRFCCAT: a shift-in ending the first text and a shift-out opening the
// second go, where each text is longer than one byte.
inline Bytes join(const Charset& cs, const Bytes& a, const Bytes& b) {
    const bool merges = cs.shiftOut && a.size() > 1 && b.size() > 1 && a.back() == cs.shiftIn && b[0] == cs.shiftOut;
    return merges ? a.substr(0, a.size() - 1) + b.substr(1) : a + b;
}

}  // namespace qmr_model
