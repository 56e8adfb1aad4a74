// The built-in text services, one table per character set of charsets.h,
// and the choice of the table in force.  Every operation reads its
// character set's data; none branches on which set it serves.
#include "platform/mbtext.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string_view>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include "platform/alloc.h"
#include "platform/text_walk.h"

namespace qmr {
namespace {

constexpr char kSingleBlank[] = " ";

inline unsigned char byteAt(const char* p, int i) noexcept {
    return static_cast<unsigned char>(p[i]);
}

template <const Charset& C>
struct Services {
    static constexpr bool kLeadBytes = anyRole(C.roles, kLeadByte);
    static constexpr bool kCombining = anyRole(C.roles, kCombiningByte);
    static constexpr int kWideWidth = (C.wideBlank[0] != 0) + (C.wideBlank[1] != 0) + (C.wideBlank[2] != 0);
    static constexpr char kWideBlank[4] = {static_cast<char>(C.wideBlank[0]), static_cast<char>(C.wideBlank[1]),
                                           static_cast<char>(C.wideBlank[2]), 0};

    static int QMR_CALL shiftOutCode() { return C.shiftOut; }
    static int QMR_CALL shiftInCode() { return C.shiftIn; }
    static qmr_int16 QMR_CALL usesLeadBytes() { return kLeadBytes; }
    static qmr_int16 QMR_CALL usesCombining() { return kCombining; }
    // The byte after a lead byte is read only to see whether it trails.
    static qmr_int16 QMR_CALL charLength(const char* p) {
        if (C.sequences != nullptr) {
            return static_cast<qmr_int16>(
                lengthBySequences(*C.sequences, reinterpret_cast<const unsigned char*>(p), kLongestChar));
        }
        const unsigned char first = byteAt(p, 0);
        return static_cast<qmr_int16>(lengthByRoles(C.roles, first, (C.roles[first] & kLeadByte) ? byteAt(p, 1) : 0));
    }
    static qmr_int16 QMR_CALL isCombining(const char* p) { return (C.roles[byteAt(p, 0)] & kCombiningByte) != 0; }
    static qmr_int16 QMR_CALL isBlank(const char* p, qmr_int16 length) {
        if (length == 1) return p[0] == ' ';
        return kWideWidth > 0 && length == kWideWidth && std::memcmp(p, kWideBlank, kWideWidth) == 0;
    }
    // The bytes as one big-endian number: a 1-byte character's code is
    // its byte, a double-byte one's lead * 256 + trail.  UTF-8: the code
    // point.
    static qmr_int32 QMR_CALL charCode(const char* p, qmr_int16 length) {
        if (C.sequences != nullptr) return utf8Code(reinterpret_cast<const unsigned char*>(p), length);
        std::uint32_t code = 0;
        for (int i = 0; i < length; ++i) code = code << 8 | byteAt(p, i);
        return static_cast<qmr_int32>(code);
    }
    static const char* QMR_CALL blankOf(qmr_int16 width) {
        if (width == 1) return kSingleBlank;
        return kWideWidth > 0 && width == kWideWidth ? kWideBlank : nullptr;
    }
    static TextAnalysis* QMR_CALL analyseText(const char* text, qmr_int32);
    static void QMR_CALL releaseAnalysis(TextAnalysis* analysis) { release(analysis); }

    static constexpr QmrTextServices kTable{shiftOutCode, shiftInCode, usesLeadBytes, usesCombining,
                                            charLength,   isCombining, isBlank,       isBlank,
                                            charCode,     blankOf,     analyseText,   releaseAnalysis};
};

// One block holds the analysis and its character lengths.  A character
// of more than 255 bytes (a long run of combining marks) is counted as
// several.
template <const Charset& C>
TextAnalysis* QMR_CALL Services<C>::analyseText(const char* text, qmr_int32) {
    if (text == nullptr) return nullptr;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const std::size_t size = std::strlen(text);
    if (size > INT32_MAX - sizeof(TextAnalysis)) return nullptr;  // unreachable for host texts
    auto* analysis = static_cast<TextAnalysis*>(allocate(sizeof(TextAnalysis) + size));
    if (analysis == nullptr) return nullptr;
    auto* lengths = reinterpret_cast<unsigned char*>(analysis + 1);
    const TextRules rules = TextRules::of(kTable, CombiningText::asCombining);
    CharWalker walker(rules, bytes, static_cast<std::int32_t>(size));
    std::int32_t count = 0;
    for (TextChar c; walker.next(c);) {
        for (std::int32_t left = c.length; left > 0; left -= 255) {
            lengths[count++] = static_cast<unsigned char>(left > 255 ? 255 : left);
        }
    }
    *analysis = {text, walker.position(), count, lengths, static_cast<qmr_int16>(count > 0)};
    return analysis;
}

constexpr const Charset* kCharsets[] = {&kSingleByte, &kShiftCodes, &kShiftJis, &kGbk, &kBig5, &kTis620, &kUhc, &kUtf8};
constexpr const QmrTextServices* kBuiltIn[] = {
    &Services<kSingleByte>::kTable, &Services<kShiftCodes>::kTable, &Services<kShiftJis>::kTable,
    &Services<kGbk>::kTable,        &Services<kBig5>::kTable,       &Services<kTis620>::kTable,
    &Services<kUhc>::kTable,        &Services<kUtf8>::kTable,
};
constexpr int kCharsetCount = sizeof kCharsets / sizeof kCharsets[0];
static_assert(sizeof kBuiltIn / sizeof kBuiltIn[0] == kCharsetCount);

// A host's table, copied.  Each copy stays allocated while the process
// runs, since a call on another thread may still be reading an older one;
// the chain keeps them reachable.
struct HostTable {
    QmrTextServices services;
    const HostTable* previous;
};

const QmrTextServices* builtIn(const char* name) noexcept {
    if (name == nullptr) return nullptr;
    if (std::strcmp(name, "system") == 0) name = systemCharset();
    for (int i = 0; i < kCharsetCount; ++i) {
        if (std::strcmp(name, kCharsets[i]->name) == 0) return kBuiltIn[i];
    }
    return nullptr;
}

// The set in force when the library is loaded: the one QMR_CHARSET
// names, else the machine's own on Windows, where the host's text
// library followed the code page, and "single" elsewhere.
const QmrTextServices* setAtLoad() noexcept {
#if defined(_WIN32)
    const char* fallback = "system";
#else
    const char* fallback = "single";
#endif
    const QmrTextServices* named = builtIn(std::getenv("QMR_CHARSET"));
    return named != nullptr ? named : builtIn(fallback);
}

std::atomic<const QmrTextServices*> inForce{setAtLoad()};
std::atomic<const HostTable*> hostTables{nullptr};

bool complete(const QmrTextServices& s) noexcept {
    return s.ShiftOutCode && s.ShiftInCode && s.UsesLeadBytes && s.UsesCombining && s.CharLength && s.IsCombining &&
           s.IsBlank && s.IsBlankChar && s.CharCode && s.BlankOf && s.AnalyseText && s.ReleaseAnalysis;
}

}  // namespace

const char* charsetOfCodePage(unsigned codePage) noexcept {
    switch (codePage) {
    case 932: return "sjis";
    case 936: return "gbk";
    case 949: return "uhc";
    case 950: return "big5";
    case 874: return "tis620";
    case 65001: return "utf8";
    default: return "single";
    }
}

// The codeset is what follows the '.' of a locale name, up to an '@';
// case, '-' and '_' do not matter ("ja_JP.Shift_JIS", "ko_KR.euc-kr").
const char* charsetOfLocale(const char* locale) noexcept {
    static constexpr struct {
        std::string_view codeset;
        const char* charset;
    } kCodesets[] = {{"sjis", "sjis"},   {"shiftjis", "sjis"}, {"cp932", "sjis"}, {"gbk", "gbk"},
                     {"cp936", "gbk"},   {"euckr", "uhc"},     {"cp949", "uhc"},  {"uhc", "uhc"},
                     {"big5", "big5"},   {"cp950", "big5"},    {"tis620", "tis620"}, {"utf8", "utf8"}};
    const char* dot = locale != nullptr ? std::strchr(locale, '.') : nullptr;
    if (dot == nullptr) return "single";
    char codeset[16];
    std::size_t n = 0;
    for (const char* p = dot + 1; *p != 0 && *p != '@'; ++p) {
        if (*p == '-' || *p == '_') continue;
        if (n == sizeof codeset) return "single";
        codeset[n++] = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    }
    for (const auto& known : kCodesets) {
        if (known.codeset == std::string_view(codeset, n)) return known.charset;
    }
    return "single";
}

const char* systemCharset() noexcept {
#if defined(_WIN32)
    return charsetOfCodePage(GetACP());
#else
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != 0) return charsetOfLocale(value);
    }
    return "single";
#endif
}

const QmrTextServices& textServices() noexcept {
    return *inForce.load(std::memory_order_acquire);
}

const Charset* charsetOf(const QmrTextServices& services) noexcept {
    for (int i = 0; i < kCharsetCount; ++i) {
        if (kBuiltIn[i] == &services) return kCharsets[i];
    }
    return nullptr;
}

std::span<const CaseRun> caseRunsOf(const QmrTextServices& services) noexcept {
    const Charset* charset = charsetOf(services);
    if (charset == nullptr) return {};
    return {charset->caseRuns, static_cast<std::size_t>(charset->caseRunCount)};
}

}  // namespace qmr

extern "C" QMR_API int QMR_CALL qmr_use_charset(const char* name) {
    const QmrTextServices* services = qmr::builtIn(name);
    if (services == nullptr) return -1;
    qmr::inForce.store(services, std::memory_order_release);
    return 0;
}

extern "C" QMR_API int QMR_CALL qmr_set_text_services(const QmrTextServices* services) {
    if (services == nullptr) {
        qmr::inForce.store(qmr::kBuiltIn[0], std::memory_order_release);
        return 0;
    }
    if (!qmr::complete(*services)) return -1;
    auto* copy = static_cast<qmr::HostTable*>(qmr::allocate(sizeof(qmr::HostTable)));
    if (copy == nullptr) return -1;
    copy->services = *services;
    copy->previous = qmr::hostTables.load(std::memory_order_relaxed);
    while (!qmr::hostTables.compare_exchange_weak(copy->previous, copy, std::memory_order_acq_rel)) {
    }
    qmr::inForce.store(&copy->services, std::memory_order_release);
    return 0;
}
