// The built-in text services, one table per character set of charsets.h,
// and the choice of the table in force.  Every operation reads its
// character set's data; none branches on which set it serves.
#include "platform/mbtext.h"

#include <atomic>
#include <cstring>

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
        if constexpr (C.sequences != nullptr) {
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
        if constexpr (C.sequences != nullptr) return utf8Code(reinterpret_cast<const unsigned char*>(p), length);
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

std::atomic<const QmrTextServices*> inForce{kBuiltIn[0]};
std::atomic<const HostTable*> hostTables{nullptr};

bool complete(const QmrTextServices& s) noexcept {
    return s.ShiftOutCode && s.ShiftInCode && s.UsesLeadBytes && s.UsesCombining && s.CharLength && s.IsCombining &&
           s.IsBlank && s.IsBlankChar && s.CharCode && s.BlankOf && s.AnalyseText && s.ReleaseAnalysis;
}

}  // namespace

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
    if (name == nullptr) return -1;
    for (int i = 0; i < qmr::kCharsetCount; ++i) {
        if (std::strcmp(name, qmr::kCharsets[i]->name) == 0) {
            qmr::inForce.store(qmr::kBuiltIn[i], std::memory_order_release);
            return 0;
        }
    }
    return -1;
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
