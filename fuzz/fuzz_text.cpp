// The string built-ins and the text buffer routines in the six built-in
// character sets against the plain models of tests/support/text_model.h,
// and in a host's own services (CharLength reads four bytes and answers
// -1 to 5), where the bounds, the messages and the shape of the results
// are checked.  In every set Qmstrcmp must be an order on three texts:
// the same both ways round, and transitive.
//
// Input: the set, the function, then for each field its text (raw bytes,
// or pieces of shift codes, lead and trail bytes, marks and blanks) and a
// shape byte for its maximum and current length.  Fields and buffers lie
// between poisoned guards, so a byte touched outside them stops the run.
// tests/text/model_test.cpp runs this target over seeded random inputs.
#include <algorithm>
#include <memory>

#include "fuzz_support.h"
#include "platform/mbtext.h"
#include "support/text_model.h"

using namespace qmr_fuzz;
namespace model = qmr_model;

namespace {

bool hostShiftCodes = false;
int QMR_CALL hostShiftOut() { return hostShiftCodes ? 0x0E : 0; }
int QMR_CALL hostShiftIn() { return hostShiftCodes ? 0x0F : 0; }
qmr_int16 QMR_CALL answerYes() { return 1; }
qmr_int16 QMR_CALL hostCharLength(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<qmr_int16>(b[0] < 0x80 ? 1 : (b[0] ^ b[1] ^ b[2] ^ b[3]) % 7 - 1);
}
qmr_int16 QMR_CALL hostIsCombining(const char* p) { return static_cast<unsigned char>(*p) >= 0xF0; }
qmr_int16 QMR_CALL hostIsBlank(const char* p, qmr_int16 length) {
    return length >= 1 && std::all_of(p, p + length, [](char c) { return c == ' '; });
}
qmr_int32 QMR_CALL hostCharCode(const char* p, qmr_int16 length) {
    std::uint32_t code = 0;
    for (int i = 0; i < length; ++i) code = code * 31 + static_cast<unsigned char>(p[i]);
    return static_cast<qmr_int32>(code);
}
const char* QMR_CALL hostBlankOf(qmr_int16 width) { return width == 1 ? " " : width == 2 ? "  " : nullptr; }

// The set in force: 0-5 the built-in sets, 6 and 7 a host's table without
// and with shift codes, installed only when coming from a built-in set
// (each installation keeps its copy for the rest of the process).
const model::Charset* useCharset(int which) {
    static int installed = -1;
    hostShiftCodes = which == 7;
    if (which < 6) {
        if (which != installed) qmr_use_charset(model::kCharsets[std::size_t(which)].name);
    } else if (installed < 6) {
        qmr_use_charset("single");
        QmrTextServices host = qmr::textServices();
        host.ShiftOutCode = hostShiftOut, host.ShiftInCode = hostShiftIn, host.CharLength = hostCharLength;
        host.UsesLeadBytes = host.UsesCombining = answerYes, host.IsCombining = hostIsCombining;
        host.IsBlank = host.IsBlankChar = hostIsBlank, host.CharCode = hostCharCode, host.BlankOf = hostBlankOf;
        qmr_set_text_services(&host);
    }
    installed = which;
    return which < 6 ? &model::kCharsets[std::size_t(which)] : nullptr;
}

std::string readText(Input& in) {
    static constexpr std::string_view kPieces[] = {
        " ",        "a",        "z",        "!!",       "\x0e",     "\x0f",     "#a",     "\x81",   "\x81\x40", "\x82\x81",
        "\xa1\xa1", "\xa1\x40", "\xa3\xe1", "\xa2\xe9", "\x40",     "\xd4",     "\xe7",   "\t",     {"\0", 1},  "\xff"};
    const std::uint8_t shape = in.byte(), size = in.byte();
    const std::size_t count = std::size_t(size % 64 >> size / 64) * ((shape & 14) == 14 ? 64 : 1);
    if (!(shape & 1)) return in.bytes(count);
    std::string text;
    for (std::size_t i = 0; i < count && !in.empty(); ++i) text += kPieces[in.below(std::size(kPieces))];
    return text.substr(0, QMR_TF_LARGEST_MAX);
}

// A host's text field; mostly valid and sized near its text, at times at
// the edges of its maximum and length.
class Field {
public:
    Field(Input& in, std::int32_t typical) : Field(in, typical, readText(in)) {}
    Field(Input& in, std::int32_t typical, std::string text) : value_(std::move(text)) {
        const std::uint8_t shape = in.byte();
        const auto size = static_cast<std::int32_t>(value_.size());
        const bool edges = shape % 8 == 7;
        static constexpr int kRoom[] = {0, 0, 0, 1, 2, 9, -1, -2};  // the maximum beyond the text
        maximum_ = edges ? in.fieldNumber(typical) : std::clamp(size + kRoom[shape / 8 % 8], 1, 4096);
        const std::int32_t length = edges ? in.fieldNumber(maximum_ >= 0 && maximum_ <= 4096 ? maximum_ : typical) : size;
        const std::size_t room = maximum_ >= 1 ? std::size_t(std::min(maximum_, QMR_TF_LARGEST_MAX)) : 0;
        value_.resize(room, ' ');
        block_ = std::make_unique<Guarded>(QMR_TF_TEXT + room);
        putLe32(block_->data() + QMR_TF_MAX_LENGTH, maximum_);
        putLe32(block_->data() + QMR_TF_LENGTH, length);
        std::memcpy(block_->data() + QMR_TF_TEXT, value_.data(), room);
        sent_ = block_->text();
        if (length >= 0 && std::size_t(length) <= room) value_.resize(std::size_t(length));
    }
    TextField* get() { return reinterpret_cast<TextField*>(block_->data()); }
    std::int32_t maximum() const { return maximum_; }
    std::int32_t length() const { return le32(block_->data() + QMR_TF_LENGTH); }
    std::int32_t sentLength() const { return le32(reinterpret_cast<const unsigned char*>(sent_.data()) + 4); }
    bool valid() const { return maximum_ >= 1 && maximum_ <= 4096 && sentLength() >= 0 && sentLength() <= maximum_; }
    const std::string& value() const { return value_; }  // the text a valid field holds
    std::string text() const { return block_->text().substr(QMR_TF_TEXT); }
    std::string result() const { return text().substr(0, std::size_t(std::max(length(), 0))); }
    bool unchanged() const { return block_->text() == sent_; }
    bool intact() { return block_->intact(); }

    // A result: its maximum kept, its length within it, a NUL after a
    // shorter text.
    void checkResult(bool succeeded, bool terminated) const {
        QMR_FUZZ_CHECK(le32(block_->data()) == maximum_, "the result's maximum changed");
        const std::int32_t n = length();
        if (!succeeded) return;
        QMR_FUZZ_CHECK(n >= 0 && n <= maximum_, "result length %d of %d", n, maximum_);
        if (terminated && n < maximum_) QMR_FUZZ_CHECK(text()[std::size_t(n)] == '\0', "no NUL after the result");
    }

private:
    std::string value_;
    std::int32_t maximum_;
    std::unique_ptr<Guarded> block_;
    std::string sent_;
};

using Copy = void(QMR_CALL*)(void*, void*, CallContext*, const TextField*, TextField*);
using Search = void(QMR_CALL*)(void*, void*, CallContext*, const TextField*, const TextField*, qmr_int16*);
using Substring = void(QMR_CALL*)(void*, void*, CallContext*, const TextField*, OptionalNumber*, OptionalNumber*,
                                  TextField*);
constexpr const char* kNames[] = {"QMRFCCAT", "QMRFLGTH", "QMRFSSTR", "QMRFSSDB", "QMRFINDX", "QMRFINDB",
                                  "QMRFVRFY", "QMRFVRDB", "QMRFTRIM", "QMRFTRDB", "QMRFUPPR", "QMRFUPDB"};

void builtIn(Input& in, int function, const model::Charset* cs) {
    Context context;
    Field a(in, 40);
    // The second field is at times a piece of the first: a search text
    // that is found, a set that holds the text's characters.
    const std::uint8_t slice = in.byte();
    Field b = slice & 1 ? Field(in, 40, a.value().substr(std::min<std::size_t>(slice / 2 % 32, a.value().size()), in.byte() % 5)) : Field(in, 40);
    Field c(in, 60);
    const bool same = in.byte() & 1;  // the result is the first source
    Field& out = same ? a : c;
    const bool db = function % 2 == 1;
    std::string name = kNames[function], error, expected;  // the model's name, message and result
    int position = -1;                                      // the model's position
    switch (function) {
    case 0:
        QMRFCCAT(nullptr, nullptr, context.get(), a.get(), b.get(), out.get());
        if (!a.valid() || !b.valid() || out.maximum() < 1 || out.maximum() > 4096) error = " 130";
        if (cs && error.empty()) expected = model::join(*cs, a.value(), b.value());
        if (cs && error.empty() && expected.size() > std::size_t(out.maximum())) error = " 135", expected = "";
        break;
    case 1: {
        qmr_int32 length = -7;
        QMRFLGTH(nullptr, nullptr, context.get(), a.get(), &length);
        error = a.maximum() >= 1 && a.maximum() <= 4096 ? "" : " 130";
        QMR_FUZZ_CHECK(length == (error.empty() ? a.sentLength() : 0), "length %d", length);
        break;
    }
    case 2:
    case 3: {
        OptionalNumber start{char(in.byte() & 1 ? 'N' : 'Y'), 0, qmr_int16(in.fieldNumber(40))};
        OptionalNumber length{char(in.byte() & 1 ? 'N' : 'Y'), 0, qmr_int16(in.fieldNumber(40))};
        const bool flagged = in.byte() & 1;
        if (flagged) context.setByte(QMR_CC_ERROR_FLAG, 'Y');
        const qmr_int16 from = std::max<qmr_int16>(start.indicator == 'N' ? 1 : start.value, 1);
        qmr_int16 count = length.indicator == 'N' ? qmr_int16(a.sentLength() - from + 1) : length.value;
        if (length.indicator != 'N' && count < 0) count = 0;
        (db ? QMRFSSDB : QMRFSSTR)(nullptr, nullptr, context.get(), a.get(), &start, &length, out.get());
        QMR_FUZZ_CHECK(start.value == from && length.value == count, "settled %d %d", start.value, length.value);
        error = !a.valid() ? " 130" : from > a.maximum() ? " 133" : "";
        if (flagged) {
            QMR_FUZZ_CHECK(context.failed(), "the error flag was cleared");
            error = context.error();
        } else if (cs && error.empty()) {
            expected = model::substring(*cs, a.value(), from, std::max<int>(count, 0), db);
            if (std::int64_t(expected.size()) > out.maximum()) error = " 135", expected = "";
        }
        break;
    }
    case 4:
    case 5: {
        qmr_int16 found = -1;
        (db ? QMRFINDB : QMRFINDX)(nullptr, nullptr, context.get(), a.get(), b.get(), &found);
        if (!a.valid() || !b.valid() || a.sentLength() < 1 || b.sentLength() < 1) error = " 130", position = 0;
        if (cs && error.empty()) position = model::indexOf(*cs, a.value(), b.value(), db);
        QMR_FUZZ_CHECK(found >= 0 && found <= std::max(a.sentLength(), 0), "position %d", found);
        if (position >= 0) QMR_FUZZ_CHECK(found == position, "index %d, model %d", found, position);
        break;
    }
    case 6:
    case 7: {
        qmr_int16 found = -1;
        (db ? QMRFVRDB : QMRFVRFY)(nullptr, nullptr, context.get(), a.get(), b.get(), &found);
        const bool setFits = b.sentLength() <= b.maximum();
        if (!a.valid() || b.maximum() < 1 || b.maximum() > 4096 || b.sentLength() < 0 || (db && !setFits)) {
            error = " 130", position = 0;
        } else if (!db) {  // the set goes through QMRFTRIM first, which refuses an over-long set
            if (!setFits) error = " 130";
            name = "QMRFTRIM";
            if (cs) position = model::verify(*cs, a.value(), setFits ? model::trim(*cs, b.value(), 4096) : "", false);
        } else if (cs) {
            position = model::verify(*cs, a.value(), b.value(), true);
        }
        QMR_FUZZ_CHECK(found >= 0 && found <= std::max(a.sentLength(), 1), "position %d", found);
        if (position >= 0) QMR_FUZZ_CHECK(found == position, "verify %d, model %d", found, position);
        break;
    }
    default: {
        const bool upper = function >= 10;
        static constexpr Copy kCopies[] = {QMRFTRIM, QMRFTRDB, QMRFUPPR, QMRFUPDB};
        kCopies[function - 8](nullptr, nullptr, context.get(), a.get(), out.get());
        const bool fits = a.sentLength() <= a.maximum() && a.sentLength() <= out.maximum();
        if (a.maximum() < 1 || a.maximum() > 4096 || out.maximum() < 1 || out.maximum() > 4096 || !fits) error = " 130";
        const std::string source = a.sentLength() > 0 ? a.value() : "";
        if (cs && error.empty()) expected = upper ? model::upper(*cs, source) : model::trim(*cs, source, out.maximum());
    }
    }
    QMR_FUZZ_CHECK(context.name() == name, "%s: name %s", kNames[function], context.name().c_str());
    const bool joinsOrCuts = function == 0 || function == 2 || function == 3;
    QMR_FUZZ_CHECK(context.error() == error || (!cs && joinsOrCuts && error.empty() && context.error() == " 135"),
                   "%s: message '%s', expected '%s'", kNames[function], context.error().c_str(), error.c_str());
    const bool hasResult = function == 0 || function == 2 || function == 3 || function >= 8;
    if (hasResult && context.failed()) {
        QMR_FUZZ_CHECK(out.length() == 0, "%s: a failure left a result", kNames[function]);
        if (function == 2 || function == 3) QMR_FUZZ_CHECK(out.text() == std::string(out.text().size(), ' '), "fill");
    } else if (hasResult) {
        const bool upper = function >= 10;
        out.checkResult(true, !upper);
        const std::string blanks(upper && cs ? std::size_t(out.maximum()) - expected.size() : 0, ' ');
        QMR_FUZZ_CHECK(!cs || (out.result() == expected && (!upper || out.text() == expected + blanks)),
                       "%s: result of %d bytes, model %zu", kNames[function], out.length(), expected.size());
    }
    QMR_FUZZ_CHECK(a.intact() && b.intact() && c.intact(), "a guard changed");
    QMR_FUZZ_CHECK(b.unchanged() && (same || a.unchanged()) && (!same || c.unchanged()), "a field changed");
}

// A NUL-terminated text in a block of exactly its size (at least `atLeast`).
std::unique_ptr<Guarded> terminated(const std::string& text, std::size_t atLeast = 1) {
    auto block = std::make_unique<Guarded>(std::max(text.size() + 1, atLeast), 0);
    std::memcpy(block->data(), text.data(), text.size());
    return block;
}
const char* chars(const std::unique_ptr<Guarded>& block) { return reinterpret_cast<const char*>(block->data()); }

void bufferRoutine(Input& in, int routine, const model::Charset* cs) {
    const auto count = static_cast<std::int16_t>(in.fieldNumber(30));
    std::string text = readText(in);
    const std::string t = text.substr(0, text.find('\0'));
    switch (routine) {
    case 0:
    case 1: {  // QMROTRIM and QMRVTRIM on a text of `count` bytes
        const qmr_int16 order = in.byte() & 1;
        text.resize(std::size_t(std::max<int>(count, 1)), ' ');
        Guarded length(2), buffer(text.size());
        std::memcpy(length.data(), &count, 2);
        std::memcpy(buffer.data(), text.data(), text.size());
        if (routine == 0) QMROTRIM(reinterpret_cast<char*>(length.data()), reinterpret_cast<char*>(buffer.data()));
        if (routine == 1) QMRVTRIM(reinterpret_cast<char*>(length.data()), reinterpret_cast<char*>(buffer.data()), &order);
        auto got = static_cast<std::int16_t>(length.data()[0] | length.data()[1] << 8);  // low byte first
        if (routine == 1 && order == 1) std::memcpy(&got, length.data(), 2);
        int want = count > 0 && cs ? model::trimmedLength(*cs, text.substr(0, std::size_t(count))) : count;
        if (routine == 0 && want < 1) want = 1;
        QMR_FUZZ_CHECK(length.intact() && buffer.intact() && (!cs || got == want), "trimmed %d of %d, model %d", got,
                       count, want);
        break;
    }
    case 2: {  // QMROTRIM on a terminated text
        auto buffer = terminated(t, 2);
        QMROTRIM(nullptr, reinterpret_cast<char*>(buffer->data()));
        const std::size_t kept = cs ? std::size_t(model::trimmedLength(*cs, t)) : 0;
        QMR_FUZZ_CHECK(buffer->intact() && (!cs || chars(buffer) == (kept ? t.substr(0, kept) : " ")), "QMROTRIM");
        break;
    }
    case 3: {  // QMROPAD: each text holds its own count of bytes
        const auto room = static_cast<std::int16_t>(in.fieldNumber(30));
        text.resize(std::size_t(std::max<int>(count, 0)), 'x');
        Guarded lengths(4), source(text.size()), target(std::size_t(std::max<int>(room, 0)), '#');
        std::memcpy(lengths.data(), &count, 2);
        std::memcpy(lengths.data() + 2, &room, 2);
        std::memcpy(source.data(), text.data(), text.size());
        QMROPAD(reinterpret_cast<const char*>(lengths.data()), reinterpret_cast<const char*>(source.data()),
                reinterpret_cast<const char*>(lengths.data() + 2), reinterpret_cast<char*>(target.data()));
        const std::size_t copied = std::min<std::size_t>(text.size(), target.size());
        QMR_FUZZ_CHECK(source.intact() && target.intact() && source.text() == text &&
                           target.text() == text.substr(0, copied) + std::string(target.size() - copied, ' '),
                       "QMROPAD");
        break;
    }
    case 4: {  // Qmrrjust, and the analysis it walks with
        auto buffer = terminated(t);
        Qmrrjust(reinterpret_cast<char*>(buffer->data()));
        QMR_FUZZ_CHECK(buffer->intact() && (!cs || chars(buffer) == model::rightJustified(*cs, t)), "Qmrrjust");
        TextAnalysis* analysis = qmr::textServices().AnalyseText(t.c_str(), 0);
        if (cs && analysis != nullptr) {
            const model::Kind kind = model::kindOf(*cs, model::Combining::asCombining);
            const std::vector<model::Char> characters = model::chars(*cs, t, kind);
            QMR_FUZZ_CHECK(analysis->charCount == qmr_int32(characters.size()), "%d characters", analysis->charCount);
            for (std::size_t i = 0; i < characters.size(); ++i) {
                QMR_FUZZ_CHECK(analysis->charLengths[i] == characters[i].length, "character %zu", i);
            }
        }
        qmr::textServices().ReleaseAnalysis(analysis);
        break;
    }
    case 5: {  // Qmrrjus2: the text's last width - 1 bytes and its NUL, right-justified
        auto source = terminated(t);
        Guarded target(std::size_t(std::max<int>(count, 0)), '#');
        Qmrrjus2(reinterpret_cast<char*>(target.data()), chars(source), count);
        const std::string whole = t + '\0';
        const std::size_t kept = std::min(whole.size(), target.size());
        QMR_FUZZ_CHECK(source->intact() && target.intact() &&
                           (count < 1 || target.text() == std::string(target.size() - kept, ' ') +
                                                              whole.substr(whole.size() - kept)),
                       "Qmrrjus2");
        break;
    }
    case 6: {  // Qmstrcmp: an order on three texts
        const std::uint8_t shared = in.byte();  // texts that share a beginning
        const std::string u = (shared & 1 ? t : "") + readText(in);
        const std::string v = (shared & 2 ? u.substr(0, shared / 4u) : "") + readText(in);
        auto x = terminated(t), y = terminated(u.substr(0, u.find('\0'))), z = terminated(v.substr(0, v.find('\0')));
        const char* p[] = {chars(x), chars(y), chars(z)};
        for (int i = 0; i < 3; ++i) {
            QMR_FUZZ_CHECK(Qmstrcmp(p[i], p[i]) == 0 && Qmstrcmp(nullptr, p[i]) == -1 && Qmstrcmp(p[i], nullptr) == 1,
                           "Qmstrcmp of text %d with itself or null", i);
            for (int j = 0; j < 3; ++j) {
                const qmr_int32 ij = Qmstrcmp(p[i], p[j]), ji = Qmstrcmp(p[j], p[i]);
                QMR_FUZZ_CHECK(ij >= -1 && ij <= 1 && ij == -ji, "Qmstrcmp %d %d: %d, %d", i, j, ij, ji);
                if (cs) QMR_FUZZ_CHECK(ij == model::compare(*cs, p[i], p[j]), "Qmstrcmp %d %d: %d", i, j, ij);
                const int k = 3 - i - j;  // the third text, where i != j
                if (i == j) continue;
                const qmr_int32 jk = Qmstrcmp(p[j], p[k]), ik = Qmstrcmp(p[i], p[k]);
                QMR_FUZZ_CHECK(!(ij <= 0 && jk <= 0) || ik <= 0, "Qmstrcmp not transitive: %d %d %d", i, j, k);
                QMR_FUZZ_CHECK(ij != 0 || ik == jk, "Qmstrcmp: equal texts %d %d order apart against %d", i, j, k);
            }
        }
        QMR_FUZZ_CHECK(x->intact() && y->intact() && z->intact(), "a guard changed");
        break;
    }
    default: {  // Qmstrcpy into `count` bytes
        auto source = terminated(t);
        Guarded target(std::size_t(std::max<int>(count, 0)), '#');
        char* r = Qmstrcpy(reinterpret_cast<char*>(target.data()), chars(source), count);
        QMR_FUZZ_CHECK(r == reinterpret_cast<char*>(target.data()) && source->intact() && target.intact(), "Qmstrcpy");
        if (count >= 1 && cs) QMR_FUZZ_CHECK(target.text() == model::boundedCopy(*cs, t, count), "Qmstrcpy text");
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const model::Charset* cs = useCharset(in.below(8));
    const int function = in.below(20);
    if (function < 12) {
        builtIn(in, function, cs);
    } else {
        bufferRoutine(in, function - 12, cs);
    }
    return 0;
}
