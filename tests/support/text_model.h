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
// the text ends).  Lead-byte text reads a sequence where its bytes follow
// in full, and one byte otherwise.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace qmr_model {

using Bytes = std::string;

struct Range {
    unsigned first, last;
};
using Ranges = std::vector<Range>;

inline bool inRanges(const Ranges& ranges, unsigned char b) {
    return std::any_of(ranges.begin(), ranges.end(), [b](Range r) { return b >= r.first && b <= r.last; });
}

// A character of more than one byte: a first byte in `lead`, then one
// byte from each of `follow`.
struct Sequence {
    Range lead;
    std::vector<Ranges> follow;
};

// Double-byte small letters small..last, whose capitals follow from
// `capital` in the same order.
struct Letters {
    unsigned small, last, capital;
};

struct Charset {
    const char* name;  // as qmr_use_charset knows it
    unsigned char shiftOut, shiftIn;
    std::vector<Sequence> sequences;
    Ranges combining;
    std::vector<Bytes> blanks;  // the first of each width is the set's blank of that width
    std::vector<Letters> letters;
};

inline const Ranges kSjisTrail{{0x40, 0x7E}, {0x80, 0xFC}};
inline const Ranges kCp936Trail{{0x40, 0x7E}, {0x80, 0xFE}};
inline const std::vector<Charset> kCharsets = {
    {"single", 0, 0, {}, {}, {" "}, {}},
    {"sosi", 0x0E, 0x0F, {}, {}, {" ", "!!"}, {{0x2361, 0x237A, 0x2341}}},
    {"sjis", 0, 0, {{{0x81, 0x9F}, {kSjisTrail}}, {{0xE0, 0xFC}, {kSjisTrail}}}, {}, {" ", "\x81\x40"},
     {{0x8281, 0x829A, 0x8260}}},
    {"gbk", 0, 0, {{{0x81, 0xFE}, {kCp936Trail}}}, {}, {" ", "\xA1\xA1"}, {{0xA3E1, 0xA3FA, 0xA3C1}}},
    {"big5", 0, 0, {{{0x81, 0xFE}, {kCp936Trail}}}, {}, {" ", "\xA1\x40"},
     {{0xA2E9, 0xA2FE, 0xA2CF}, {0xA340, 0xA343, 0xA2E5}}},
    {"tis620", 0, 0, {}, {{0xD1, 0xD1}, {0xD4, 0xDA}, {0xE7, 0xEE}}, {" "}, {}},
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
    bool shift;        // a shift code
    bool doubleState;  // the state after it
    bool cut;          // a double-byte character that the end of the text cut
    int end() const { return start + length; }
};

inline int sequenceLength(const Charset& cs, const Bytes& t, std::size_t i) {
    for (const Sequence& s : cs.sequences) {
        if (!inRanges({s.lead}, t[i])) continue;
        if (i + s.follow.size() >= t.size()) return 1;
        for (std::size_t k = 0; k < s.follow.size(); ++k) {
            if (!inRanges(s.follow[k], t[i + 1 + k])) return 1;
        }
        return 1 + static_cast<int>(s.follow.size());
    }
    return 1;
}

// The characters of t; `doubleState` starts shift-code text double-byte,
// `marks` has a 1-byte character take the combining bytes after it.
inline std::vector<Char> chars(const Charset& cs, const Bytes& t, Kind kind, bool doubleState = false,
                               bool marks = false) {
    std::vector<Char> out;
    for (std::size_t i = 0; i < t.size(); i += static_cast<std::size_t>(out.back().length)) {
        const auto b = static_cast<unsigned char>(t[i]);
        Char c{static_cast<int>(i), 1, false, doubleState, false};
        if (kind == Kind::shiftCode && (b == cs.shiftOut || b == cs.shiftIn)) {
            c.shift = true;
            c.doubleState = doubleState = b == cs.shiftOut;
        } else if (kind == Kind::shiftCode && doubleState) {
            c.cut = i + 1 == t.size();
            c.length = c.cut ? 1 : 2;
        } else if (kind != Kind::singleByte && kind != Kind::shiftCode) {
            c.length = sequenceLength(cs, t, i);
            if ((marks || kind == Kind::combining) && c.length == 1) {
                while (c.end() < static_cast<int>(t.size()) && inRanges(cs.combining, t[std::size_t(c.end())]))
                    ++c.length;
            }
        }
        out.push_back(c);
    }
    return out;
}

inline bool isBlank(const Charset& cs, const Bytes& character) {
    return std::find(cs.blanks.begin(), cs.blanks.end(), character) != cs.blanks.end();
}
inline Bytes bytesOf(const Bytes& t, const Char& c) { return t.substr(std::size_t(c.start), std::size_t(c.length)); }
inline long codeOf(const Bytes& character) {
    long code = 0;
    for (unsigned char b : character) code = code << 8 | b;
    return code;
}

// The last character that is neither a blank nor a shift code, else null.
inline const Char* lastKept(const Charset& cs, const Bytes& t, const std::vector<Char>& characters) {
    for (auto c = characters.rbegin(); c != characters.rend(); ++c) {
        if (!c->shift && !isBlank(cs, bytesOf(t, *c))) return &*c;
    }
    return nullptr;
}

// QMRFSSTR (doubleStart false) and QMRFSSDB: the result from the 1-based
// start (>= 1) for length (>= 0) bytes.
inline Bytes substring(const Charset& cs, const Bytes& t, int start, int length, bool doubleStart) {
    const Kind kind = kindOf(cs, Combining::asCombining);
    const int target = start - 1, size = static_cast<int>(t.size());
    if (target >= size || length == 0) return "";
    if (kind == Kind::singleByte) return t.substr(std::size_t(target), std::size_t(length));
    const bool shift = kind == Kind::shiftCode;
    const std::vector<Char> c = chars(cs, t, kind, shift && doubleStart);
    std::size_t k = 0;
    bool doubleState = shift && doubleStart;
    for (; k < c.size() && c[k].start < target; ++k) doubleState = c[k].doubleState;
    int from = k < c.size() ? c[k].start : size;
    if (kind == Kind::combining && from > target) from = c[--k].start;
    const int end = shift ? from + length : target + length;
    const bool open = shift && !doubleStart && doubleState;
    int to = from;
    for (; k < c.size() && !c[k].cut && (shift ? c[k].start < end : c[k].end() <= end); ++k) {
        to = c[k].end();
        doubleState = c[k].doubleState;
    }
    if (to == from) return "";
    const Bytes close = shift && !doubleStart && doubleState ? Bytes(1, char(cs.shiftIn)) : "";
    return (open ? Bytes(1, char(cs.shiftOut)) : "") + t.substr(std::size_t(from), std::size_t(to - from)) + close;
}

// QMRFINDX (doubleStart false) and QMRFINDB: 1-based position or 0.
inline int indexOf(const Charset& cs, const Bytes& source, Bytes search, bool doubleStart) {
    const Kind kind = kindOf(cs);
    bool firstDouble = doubleStart;
    if (kind == Kind::shiftCode) {
        if (!search.empty() && static_cast<unsigned char>(search.back()) == cs.shiftIn) search.pop_back();
        if (!search.empty() && static_cast<unsigned char>(search[0]) == cs.shiftOut) {
            search.erase(0, 1);
            firstDouble = true;
        }
    }
    if (search.empty()) return 0;
    for (const Char& c : chars(cs, source, kind, kind == Kind::shiftCode && doubleStart)) {
        if (c.shift || source.size() - std::size_t(c.start) < search.size()) continue;
        if ((kind != Kind::shiftCode || c.doubleState == firstDouble) &&
            source.compare(std::size_t(c.start), search.size(), search) == 0) {
            return c.start + 1;
        }
    }
    return 0;
}

// QMRFVRFY (doubleStart false, with the set already trimmed) and
// QMRFVRDB: the 1-based position of the first character not in the set.
inline int verify(const Charset& cs, const Bytes& text, const Bytes& set, bool doubleStart) {
    const Kind kind = kindOf(cs, Combining::asCombining);
    const bool doubleState = kind == Kind::shiftCode && doubleStart;
    std::vector<long> members;
    for (const Char& c : chars(cs, set, kind, doubleState, true)) {
        if (!c.shift) members.push_back(codeOf(bytesOf(set, c)));
    }
    const auto member = [&members](long code) {
        return std::find(members.begin(), members.end(), code) != members.end();
    };
    if (text.empty()) {
        const std::size_t width = doubleStart ? 2 : 1;
        auto blank = std::find_if(cs.blanks.begin(), cs.blanks.end(), [&](const Bytes& b) { return b.size() == width; });
        if (blank == cs.blanks.end()) blank = cs.blanks.begin();
        return member(codeOf(*blank)) ? 0 : 1;
    }
    for (const Char& c : chars(cs, text, kind, doubleState, true)) {
        const long code = codeOf(bytesOf(text, c));
        if (c.shift || member(code)) continue;
        const bool trailingBlanks = text.find_first_not_of(' ', std::size_t(c.start)) == Bytes::npos;
        return c.start != 0 && code == ' ' && trailingBlanks ? 0 : c.start + 1;
    }
    return 0;
}

// QMRFTRIM into a result of maximum `room` (>= the text's size).
inline Bytes trim(const Charset& cs, const Bytes& t, int room) {
    const Kind kind = kindOf(cs);
    const std::vector<Char> c = chars(cs, t, kind);
    const Char* last = lastKept(cs, t, c);
    if (last == nullptr) return "";
    const Bytes kept = t.substr(0, std::size_t(last->end()));
    return last->doubleState && last->end() < room ? kept + char(cs.shiftIn) : kept;
}

// QMROTRIM and QMRVTRIM (before the single-blank rule): by CharLength in
// every kind of text, up to the first NUL.
inline int trimmedLength(const Charset& cs, Bytes t) {
    t = t.substr(0, t.find('\0'));
    const Kind kind = kindOf(cs) == Kind::singleByte ? Kind::singleByte : Kind::leadByte;
    const std::vector<Char> c = chars(cs, t, kind);
    const Char* last = lastKept(cs, t, c);
    return last == nullptr ? 0 : last->end();
}

// Qmrrjust: the trailing blank characters, as single-byte blanks, in front.
inline Bytes rightJustified(const Charset& cs, const Bytes& t) {
    const Kind kind = kindOf(cs, Combining::asCombining);
    const std::vector<Char> c = chars(cs, t, kind);
    std::size_t kept = t.size();
    for (auto k = c.rbegin(); k != c.rend() && !k->shift && isBlank(cs, bytesOf(t, *k)); ++k) kept -= k->length;
    return Bytes(t.size() - kept, ' ') + t.substr(0, kept);
}

// Qmstrcpy into a buffer of `size` (>= 1) bytes.
inline Bytes boundedCopy(const Charset& cs, const Bytes& t, int size) {
    const int room = size - 1;
    int end = std::min(static_cast<int>(t.size()), room);
    bool close = false;
    if (static_cast<int>(t.size()) > room && kindOf(cs) != Kind::singleByte) {
        end = 0;
        for (const Char& c : chars(cs, t, kindOf(cs))) {
            if (c.shift) continue;
            if (c.end() + c.doubleState > room) break;
            end = c.end();
            close = c.doubleState;
        }
    }
    Bytes out = t.substr(0, std::size_t(end)) + (close ? Bytes(1, char(cs.shiftIn)) : "");
    return out + Bytes(std::size_t(room) - out.size(), ' ') + '\0';
}

// Qmstrcmp: each text without its trailing blanks and shift codes, as
// codes (bytes outside shift-code text), compared in order; a text that
// ends first orders first.
inline std::vector<long> comparisonCodes(const Charset& cs, const Bytes& t) {
    const std::vector<Char> c = chars(cs, t, kindOf(cs));
    const Char* last = lastKept(cs, t, c);
    std::vector<long> codes;
    for (const Char& k : c) {
        if (last == nullptr || k.start >= last->end()) break;
        const auto first = static_cast<unsigned char>(t[std::size_t(k.start)]);
        if (kindOf(cs) != Kind::shiftCode) {
            for (unsigned char b : bytesOf(t, k)) codes.push_back(b);
        } else if (k.shift) {
            codes.push_back(first == cs.shiftOut ? first * 256L : first);
        } else {
            codes.push_back(!k.doubleState ? first : codeOf(bytesOf(t, k) + Bytes(k.cut ? 1 : 0, '\0')));
        }
    }
    return codes;
}
inline int compare(const Charset& cs, const Bytes& a, const Bytes& b) {
    const std::vector<long> x = comparisonCodes(cs, a), y = comparisonCodes(cs, b);
    return x < y ? -1 : y < x ? 1 : 0;
}

// QMRFUPPR: the text up to its first NUL with ASCII letters and the set's
// full-width small letters upper-cased.
inline Bytes upper(const Charset& cs, Bytes t) {
    t = t.substr(0, t.find('\0'));
    for (const Char& c : chars(cs, t, kindOf(cs))) {
        char* p = &t[std::size_t(c.start)];
        if (c.shift || c.cut) continue;
        if (c.length == 1 && *p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 32);
        if (c.length != 2) continue;
        const auto code = static_cast<unsigned>(codeOf(bytesOf(t, c)));
        for (const Letters& l : cs.letters) {
            if (code < l.small || code > l.last) continue;
            p[0] = static_cast<char>((l.capital + code - l.small) >> 8);
            p[1] = static_cast<char>(l.capital + code - l.small);
        }
    }
    return t;
}

// QMRFCCAT: a shift-in ending the first text and a shift-out opening the
// second go, where each text is longer than one byte.
inline Bytes join(const Charset& cs, const Bytes& a, const Bytes& b) {
    const bool merges = cs.shiftOut != 0 && a.size() > 1 && b.size() > 1 &&
                        static_cast<unsigned char>(a.back()) == cs.shiftIn &&
                        static_cast<unsigned char>(b[0]) == cs.shiftOut;
    return merges ? a.substr(0, a.size() - 1) + b.substr(1) : a + b;
}

}  // namespace qmr_model
