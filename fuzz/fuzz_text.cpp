// The string built-ins and the text buffer routines in every character
// set: the six built-in ones and a host's own services whose CharLength
// reads four bytes and answers anything from -1 to 5.  Input: the set,
// the function, then each field's maximum, current length and bytes.
//
// Every field holds exactly its maximum's bytes (at most 4096, none for
// a maximum below 1) between poisoned guards, so a walk that leaves a field
// stops the run.  Checks: only each function's messages; sources keep
// their bytes; a result's length stays within its maximum with a NUL
// after a shorter text; positions lie inside their source; Qmstrcmp is an
// ordering (antisymmetric, reflexive); in single-byte text the results
// are those of plain byte operations.
#include <algorithm>
#include <memory>

#include "fuzz_support.h"

using namespace qmr_fuzz;

namespace {

// ---- a host's services: lengths from the first four bytes -------------

bool hostShiftCodes = false;

int QMR_CALL hostShiftOut() { return hostShiftCodes ? 0x0E : 0; }
int QMR_CALL hostShiftIn() { return hostShiftCodes ? 0x0F : 0; }
qmr_int16 QMR_CALL hostLeadBytes() { return 1; }
qmr_int16 QMR_CALL hostCombining() { return 1; }
qmr_int16 QMR_CALL hostCharLength(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    const unsigned all = b[0] ^ b[1] ^ b[2] ^ b[3];  // reads four bytes, as a host's may
    if (b[0] < 0x80) return 1;
    return static_cast<qmr_int16>(static_cast<int>(all % 7) - 1);  // -1 .. 5
}
qmr_int16 QMR_CALL hostIsCombining(const char* p) { return static_cast<unsigned char>(*p) >= 0xF0; }
qmr_int16 QMR_CALL hostIsBlank(const char* p, qmr_int16 length) {
    for (int i = 0; i < length; ++i) {
        if (p[i] != ' ') return 0;
    }
    return length >= 1;
}
qmr_int32 QMR_CALL hostCharCode(const char* p, qmr_int16 length) {
    std::uint32_t code = 0;
    for (int i = 0; i < length; ++i) code = code * 31 + static_cast<unsigned char>(p[i]);
    return static_cast<qmr_int32>(code);
}
const char* QMR_CALL hostBlankOf(qmr_int16 width) { return width == 1 ? " " : width == 2 ? "  " : nullptr; }
TextAnalysis* QMR_CALL hostAnalyse(const char* text, qmr_int32) {
    if (text == nullptr) return nullptr;
    const auto size = static_cast<qmr_int32>(std::strlen(text));
    auto* a = static_cast<TextAnalysis*>(std::malloc(sizeof(TextAnalysis) + std::size_t(size)));
    auto* lengths = reinterpret_cast<unsigned char*>(a + 1);
    qmr_int32 count = 0, at = 0;
    while (at < size) {
        char padded[4] = {};
        std::memcpy(padded, text + at, std::size_t(std::min(4, size - at)));
        const int n = hostCharLength(padded);
        if (n < 1) break;
        lengths[count++] = static_cast<unsigned char>(std::min(n, size - at));
        at += std::min(n, size - at);
    }
    *a = {text, at, count, lengths, static_cast<qmr_int16>(count > 0)};
    return a;
}
void QMR_CALL hostRelease(TextAnalysis* a) { std::free(a); }

constexpr QmrTextServices kHost{hostShiftOut,   hostShiftIn,     hostLeadBytes, hostCombining,
                                hostCharLength, hostIsCombining, hostIsBlank,   hostIsBlank,
                                hostCharCode,   hostBlankOf,     hostAnalyse,   hostRelease};

constexpr const char* kCharsets[] = {"single", "sosi", "sjis", "gbk", "big5", "tis620"};
int installed = -1;  // the set in force: an index of kCharsets, 6 or 7 for the host's

// Chooses the set; a host's table is installed only when it changes, since
// every installation keeps a copy for the rest of the process.
void useCharset(int which) {
    if (which == installed) return;
    installed = which;
    if (which < 6) {
        qmr_use_charset(kCharsets[which]);
        return;
    }
    hostShiftCodes = which == 7;
    qmr_set_text_services(&kHost);
}

// ---- fields ----------------------------------------------------------

class Field {
public:
    Field(Input& in, std::int32_t typical) {
        maximum_ = in.fieldNumber(typical);
        const std::int32_t length = in.fieldNumber(maximum_ >= 0 && maximum_ <= 4096 ? maximum_ : typical);
        // The library never goes past 4096 bytes, whatever the maximum says.
        room_ = maximum_ >= 1 ? std::size_t(std::min(maximum_, QMR_TF_LARGEST_MAX)) : 0;
        block_ = std::make_unique<Guarded>(QMR_TF_TEXT + room_);
        putLe32(block_->data() + QMR_TF_MAX_LENGTH, maximum_);
        putLe32(block_->data() + QMR_TF_LENGTH, length);
        const std::string text = in.bytes(room_);
        std::memcpy(block_->data() + QMR_TF_TEXT, text.data(), text.size());
        std::memset(block_->data() + QMR_TF_TEXT + text.size(), ' ', room_ - text.size());
        sent_ = block_->text();
    }
    TextField* get() { return reinterpret_cast<TextField*>(block_->data()); }
    std::int32_t maximum() const { return maximum_; }
    std::int32_t length() const { return le32(block_->data() + QMR_TF_LENGTH); }
    std::string text() const { return block_->text().substr(QMR_TF_TEXT); }
    std::string sentText() const { return sent_.substr(QMR_TF_TEXT); }
    std::int32_t sentLength() const { return le32(reinterpret_cast<const unsigned char*>(sent_.data()) + 4); }
    bool unchanged() const { return block_->text() == sent_; }
    bool intact() { return block_->intact(); }
    // The bytes a valid field's text holds before the call.
    std::string sentValue() const { return sentText().substr(0, std::size_t(sentLength())); }

    // A result: length within the maximum, a NUL after a shorter text.
    void checkResult(bool succeeded, bool terminated) const {
        QMR_FUZZ_CHECK(le32(block_->data()) == maximum_, "the result's maximum changed");
        if (!succeeded) return;
        const std::int32_t n = length();
        QMR_FUZZ_CHECK(n >= 0 && n <= maximum_, "result length %d of %d", n, maximum_);
        if (terminated && n < maximum_) QMR_FUZZ_CHECK(text()[std::size_t(n)] == '\0', "no NUL after the result");
    }

private:
    std::int32_t maximum_;
    std::size_t room_;
    std::unique_ptr<Guarded> block_;
    std::string sent_;
};

// A NUL-terminated text in a block of exactly its size.
std::unique_ptr<Guarded> terminated(const std::string& text, std::size_t atLeast = 1) {
    auto block = std::make_unique<Guarded>(std::max(text.size() + 1, atLeast), 0);
    std::memcpy(block->data(), text.data(), text.size());
    return block;
}

std::string upperAscii(std::string s) {
    for (char& c : s) c = c >= 'a' && c <= 'z' ? char(c - 32) : c;
    return s;
}

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// ---- the string built-ins --------------------------------------------

using Copy = void(QMR_CALL*)(void*, void*, CallContext*, const TextField*, TextField*);
using Search = void(QMR_CALL*)(void*, void*, CallContext*, const TextField*, const TextField*, qmr_int16*);
using Substring = void(QMR_CALL*)(void*, void*, CallContext*, const TextField*, OptionalNumber*, OptionalNumber*,
                                  TextField*);

void checkName(Context& context, const char* name, const char* alternative = nullptr) {
    QMR_FUZZ_CHECK(context.name() == name || (alternative && context.name() == alternative), "name %s",
                   context.name().c_str());
}

void builtIn(Input& in, int function, bool single) {
    Context context;
    Field a(in, 40);
    Field b(in, 40);
    Field c(in, 60);
    const bool same = in.byte() & 1;  // the result is the first source
    TextField* result = same ? a.get() : c.get();
    Field& out = same ? a : c;
    switch (function) {
    case 0: {
        QMRFCCAT(nullptr, nullptr, context.get(), a.get(), b.get(), result);
        checkName(context, "QMRFCCAT");
        QMR_FUZZ_CHECK(oneOf(context.error(), {"", " 130", " 135"}), "'%s'", context.error().c_str());
        out.checkResult(!context.failed(), true);
        if (context.failed()) QMR_FUZZ_CHECK(out.length() == 0, "a failed join is not empty");
        if (single && !context.failed()) {
            QMR_FUZZ_CHECK(out.text().substr(0, std::size_t(out.length())) == a.sentValue() + b.sentValue(),
                           "join");
        }
        break;
    }
    case 1: {
        qmr_int32 length = -7;
        QMRFLGTH(nullptr, nullptr, context.get(), a.get(), &length);
        checkName(context, "QMRFLGTH");
        QMR_FUZZ_CHECK(context.error() == (a.maximum() >= 1 && a.maximum() <= 4096 ? "" : " 130"), "length");
        QMR_FUZZ_CHECK(length == (context.failed() ? 0 : a.sentLength()), "length %d", length);
        break;
    }
    case 2:
    case 3: {
        OptionalNumber start{static_cast<char>(in.byte() & 1 ? 'N' : 'Y'), 0, static_cast<qmr_int16>(in.u16())};
        OptionalNumber length{static_cast<char>(in.byte() & 1 ? 'N' : 'Y'), 0, static_cast<qmr_int16>(in.u16())};
        if (in.byte() & 1) context.setByte(QMR_CC_ERROR_FLAG, 'Y');
        const bool flagged = context.failed();
        const Substring call = function == 2 ? QMRFSSTR : QMRFSSDB;
        call(nullptr, nullptr, context.get(), a.get(), &start, &length, result);
        checkName(context, function == 2 ? "QMRFSSTR" : "QMRFSSDB");
        QMR_FUZZ_CHECK(flagged || oneOf(context.error(), {"", " 130", " 133", " 135"}), "'%s'",
                       context.error().c_str());
        out.checkResult(!context.failed(), true);
        QMR_FUZZ_CHECK(start.value >= 1 && (length.indicator == 'N' || length.value >= 0), "settled values");
        if (single && !context.failed() && !same) {
            const std::string source = a.sentValue();
            const std::size_t from = std::size_t(start.value - 1);
            const std::string expected = from < source.size() ? source.substr(from, std::size_t(std::max<qmr_int16>(length.value, 0))) : "";
            QMR_FUZZ_CHECK(c.text().substr(0, std::size_t(c.length())) == expected, "substring");
        }
        break;
    }
    case 4:
    case 5: {
        qmr_int16 position = -1;
        const Search call = function == 4 ? QMRFINDX : QMRFINDB;
        call(nullptr, nullptr, context.get(), a.get(), b.get(), &position);
        checkName(context, function == 4 ? "QMRFINDX" : "QMRFINDB");
        QMR_FUZZ_CHECK(oneOf(context.error(), {"", " 130"}), "'%s'", context.error().c_str());
        if (context.failed()) {
            QMR_FUZZ_CHECK(position == 0, "position after a failure");
            break;
        }
        QMR_FUZZ_CHECK(position >= 0 && position <= a.sentLength(), "position %d", position);
        if (single) {
            const std::size_t found = a.sentValue().find(b.sentValue());
            QMR_FUZZ_CHECK(position == (found == std::string::npos ? 0 : qmr_int16(found + 1)), "index %d", position);
        }
        break;
    }
    case 6:
    case 7: {
        qmr_int16 position = -1;
        const Search call = function == 6 ? QMRFVRFY : QMRFVRDB;
        call(nullptr, nullptr, context.get(), a.get(), b.get(), &position);
        checkName(context, function == 6 ? "QMRFVRFY" : "QMRFVRDB", "QMRFTRIM");
        QMR_FUZZ_CHECK(oneOf(context.error(), {"", " 130"}), "'%s'", context.error().c_str());
        QMR_FUZZ_CHECK(position >= 0 && position <= std::max(a.sentLength(), 1), "position %d", position);
        break;
    }
    default: {
        static constexpr Copy kCopies[] = {QMRFTRIM, QMRFTRDB, QMRFUPPR, QMRFUPDB};
        static constexpr const char* kNames[] = {"QMRFTRIM", "QMRFTRDB", "QMRFUPPR", "QMRFUPDB"};
        const int k = function - 8;
        kCopies[k](nullptr, nullptr, context.get(), a.get(), result);
        checkName(context, kNames[k]);
        QMR_FUZZ_CHECK(oneOf(context.error(), {"", " 130"}), "'%s'", context.error().c_str());
        const bool upper = k >= 2;
        out.checkResult(!context.failed(), !upper);
        if (single && !context.failed()) {
            const std::string source = a.sentLength() > 0 ? a.sentValue() : "";
            const std::string got = out.text().substr(0, std::size_t(out.length()));
            if (upper) {
                const std::string text = upperAscii(source.substr(0, source.find('\0')));
                QMR_FUZZ_CHECK(got == text && out.text().substr(text.size()) ==
                                                  std::string(std::size_t(out.maximum()) - text.size(), ' '),
                               "upper");
            } else {
                QMR_FUZZ_CHECK(got == trimmed(source), "trim");
            }
        }
    }
    }
    QMR_FUZZ_CHECK(a.intact() && b.intact() && c.intact(), "a guard changed");
    QMR_FUZZ_CHECK(b.unchanged() && (same || a.unchanged()), "a source changed");
    if (same) QMR_FUZZ_CHECK(c.unchanged(), "an unused field changed");
}

// ---- the buffer routines ---------------------------------------------

void bufferRoutine(Input& in, int routine, bool single, bool builtInSet) {
    const std::int16_t count = static_cast<std::int16_t>(in.fieldNumber(30));
    const std::string text = in.bytes(std::size_t(in.byte() % 48));
    const std::string other = in.bytes(std::size_t(in.byte() % 48));
    switch (routine) {
    case 0: {  // QMROTRIM with a length field: the text holds `count` bytes
        Guarded length(2);
        std::memcpy(length.data(), &count, 2);
        std::string bytes = text;
        bytes.resize(std::size_t(std::max<int>(count, 1)), ' ');
        Guarded buffer(bytes.size());
        std::memcpy(buffer.data(), bytes.data(), bytes.size());
        QMROTRIM(reinterpret_cast<char*>(length.data()), reinterpret_cast<char*>(buffer.data()));
        QMR_FUZZ_CHECK(length.intact() && buffer.intact(), "a guard changed");
        std::int16_t trimmedCount;
        std::memcpy(&trimmedCount, length.data(), 2);
        QMR_FUZZ_CHECK(trimmedCount <= std::max<int>(count, 1), "trimmed %d of %d", trimmedCount, count);
        break;
    }
    case 1: {  // QMROTRIM on a terminated text
        const std::string t = text.substr(0, text.find('\0'));
        auto buffer = terminated(t, 2);
        QMROTRIM(nullptr, reinterpret_cast<char*>(buffer->data()));
        QMR_FUZZ_CHECK(buffer->intact(), "a guard changed");
        const std::string got(reinterpret_cast<const char*>(buffer->data()));
        if (single) QMR_FUZZ_CHECK(got == (trimmed(t).empty() ? " " : trimmed(t)), "QMROTRIM '%s'", got.c_str());
        break;
    }
    case 2: {  // QMRVTRIM, either byte order
        Guarded length(2);
        std::memcpy(length.data(), &count, 2);
        std::string bytes = text;
        bytes.resize(std::size_t(std::max<int>(count, 0)), ' ');
        Guarded buffer(bytes.size());
        std::memcpy(buffer.data(), bytes.data(), bytes.size());
        const qmr_int16 order = static_cast<qmr_int16>(in.byte() & 1);
        QMRVTRIM(reinterpret_cast<char*>(length.data()), reinterpret_cast<const char*>(buffer.data()), &order);
        QMR_FUZZ_CHECK(length.intact() && buffer.intact() && buffer.text() == bytes, "QMRVTRIM");
        break;
    }
    case 3: {  // QMROPAD: each text holds its own count of bytes
        const std::int16_t room = static_cast<std::int16_t>(in.fieldNumber(30));
        Guarded sourceLength(2), targetLength(2);
        std::memcpy(sourceLength.data(), &count, 2);
        std::memcpy(targetLength.data(), &room, 2);
        std::string bytes = text;
        bytes.resize(std::size_t(std::max<int>(count, 0)), 'x');
        Guarded source(bytes.size()), target(std::size_t(std::max<int>(room, 0)), '#');
        std::memcpy(source.data(), bytes.data(), bytes.size());
        QMROPAD(reinterpret_cast<const char*>(sourceLength.data()), reinterpret_cast<const char*>(source.data()),
                reinterpret_cast<const char*>(targetLength.data()), reinterpret_cast<char*>(target.data()));
        QMR_FUZZ_CHECK(source.intact() && target.intact() && source.text() == bytes, "QMROPAD");
        if (room > 0) {
            const std::size_t copied = std::min<std::size_t>(bytes.size(), std::size_t(room));
            QMR_FUZZ_CHECK(target.text() == bytes.substr(0, copied) + std::string(std::size_t(room) - copied, ' '),
                           "QMROPAD result");
        }
        break;
    }
    case 4: {  // Qmrrjust
        const std::string t = text.substr(0, text.find('\0'));
        auto buffer = terminated(t);
        Qmrrjust(reinterpret_cast<char*>(buffer->data()));
        QMR_FUZZ_CHECK(buffer->intact(), "a guard changed");
        const std::string got(reinterpret_cast<const char*>(buffer->data()));
        QMR_FUZZ_CHECK(got.size() == t.size(), "Qmrrjust changed the length");
        if (single) QMR_FUZZ_CHECK(got == std::string(t.size() - trimmed(t).size(), ' ') + trimmed(t), "Qmrrjust");
        break;
    }
    case 5: {  // Qmrrjus2
        const std::string t = text.substr(0, text.find('\0'));
        auto source = terminated(t);
        Guarded target(std::size_t(std::max<int>(count, 0)), '#');
        Qmrrjus2(reinterpret_cast<char*>(target.data()), reinterpret_cast<const char*>(source->data()), count);
        QMR_FUZZ_CHECK(source->intact() && target.intact(), "Qmrrjus2");
        if (count >= 1) QMR_FUZZ_CHECK(target.data()[count - 1] == 0, "Qmrrjus2 NUL");
        break;
    }
    case 6: {  // Qmstrcmp: an ordering
        const std::string x = text.substr(0, text.find('\0'));
        const std::string y = other.substr(0, other.find('\0'));
        auto a = terminated(x);
        auto b = terminated(y);
        const auto* pa = reinterpret_cast<const char*>(a->data());
        const auto* pb = reinterpret_cast<const char*>(b->data());
        const qmr_int32 ab = Qmstrcmp(pa, pb);
        const qmr_int32 ba = Qmstrcmp(pb, pa);
        QMR_FUZZ_CHECK(ab >= -1 && ab <= 1 && ba >= -1 && ba <= 1, "Qmstrcmp %d %d", ab, ba);
        // An ordering only where the character lengths are the characters'
        // own (a host's here answers from bytes beyond them).
        QMR_FUZZ_CHECK(!builtInSet || (ab == -ba && Qmstrcmp(pa, pa) == 0), "Qmstrcmp %d %d", ab, ba);
        QMR_FUZZ_CHECK(Qmstrcmp(nullptr, pa) == -1 && Qmstrcmp(pa, nullptr) == 1, "null orders first");
        if (single) {  // the texts without their trailing blanks, as unsigned bytes
            const std::string tx = trimmed(x), ty = trimmed(y);
            const int c = std::memcmp(tx.data(), ty.data(), std::min(tx.size(), ty.size()));
            const int expected = c != 0 ? (c < 0 ? -1 : 1) : tx.size() == ty.size() ? 0 : tx.size() < ty.size() ? -1 : 1;
            QMR_FUZZ_CHECK(ab == expected, "Qmstrcmp '%s' '%s' = %d", x.c_str(), y.c_str(), ab);
        }
        QMR_FUZZ_CHECK(a->intact() && b->intact(), "a guard changed");
        break;
    }
    default: {  // Qmstrcpy into `count` bytes
        const std::string t = text.substr(0, text.find('\0'));
        auto source = terminated(t);
        Guarded target(std::size_t(std::max<int>(count, 0)), '#');
        char* r = Qmstrcpy(reinterpret_cast<char*>(target.data()), reinterpret_cast<const char*>(source->data()), count);
        QMR_FUZZ_CHECK(r == reinterpret_cast<char*>(target.data()) && source->intact() && target.intact(), "Qmstrcpy");
        if (count >= 1) {
            QMR_FUZZ_CHECK(target.data()[count - 1] == 0, "Qmstrcpy NUL");
            if (single) {
                std::string expected = t.substr(0, std::size_t(count - 1));
                expected.resize(std::size_t(count - 1), ' ');
                QMR_FUZZ_CHECK(target.text().substr(0, std::size_t(count - 1)) == expected, "Qmstrcpy text");
            }
        }
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const int charset = in.byte() % 8;
    useCharset(charset);
    const int function = in.byte() % 20;
    const bool single = charset == 0;
    if (function < 12) {
        builtIn(in, function, single);
    } else {
        bufferRoutine(in, function - 12, single, charset < 6);
    }
    return 0;
}
