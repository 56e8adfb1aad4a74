// The string built-ins and the text buffer routines in the built-in
// character sets against the plain models of tests/support/text_model.h,
// and in a host's own services (CharLength reads four bytes and answers
// -1 to 5), where the bounds, the messages and the shape of the results
// are checked.  In every set Qmstrcmp must order three texts the same
// both ways round and transitively.
//
// Input: the set, the function, then for each field its text (raw bytes,
// or pieces of shift codes, lead and trail bytes, marks and blanks) and a
// shape byte for its maximum and length.  Fields and buffers lie between
// poisoned guards, so a byte touched outside them stops the run.
// tests/text/text_test.cpp runs this target over seeded random inputs.
#include <algorithm>
#include <memory>

#include "fuzz_support.h"
#include "platform/mbtext.h"
#include "support/text_model.h"
#ifdef QMR_HAVE_ICU
#include <unicode/uchar.h>
#include <unicode/utf8.h>
#endif

using namespace qmr_fuzz;
namespace model = qmr_model;

namespace {

bool hostShiftCodes = false;

// The set in force: the built-in sets first, then two host tables
// (Thai combining marks, lead bytes from a CharLength that reads four
// bytes and answers -1 to 5, shift codes in the second), installed only
// when coming from a built-in set: each installation keeps its copy.
const int kBuiltIns = int(model::kCharsets.size());
const model::Charset* useCharset(int which) {
    static int installed = -1;
    hostShiftCodes = which == kBuiltIns + 1;
    if (which < kBuiltIns && which != installed) qmr_use_charset(model::kCharsets[std::size_t(which)].name);
    if (which >= kBuiltIns && installed < kBuiltIns) {
        qmr_use_charset("tis620");
        QmrTextServices host = qmr::textServices();
        host.ShiftOutCode = [] { return hostShiftCodes ? 0x0E : 0; };
        host.ShiftInCode = [] { return hostShiftCodes ? 0x0F : 0; };
        host.UsesLeadBytes = []() -> qmr_int16 { return 1; };
        host.CharLength = [](const char* p) -> qmr_int16 {
            const auto* b = reinterpret_cast<const unsigned char*>(p);
            return static_cast<qmr_int16>(b[0] < 0x80 ? 1 : (b[0] ^ b[1] ^ b[2] ^ b[3]) % 7 - 1);
        };
        qmr_set_text_services(&host);
    }
    installed = which;
    return which < kBuiltIns ? &model::kCharsets[std::size_t(which)] : nullptr;
}

std::string readText(Input& in) {
    static constexpr std::string_view kPieces[] = {
        " ",    "a",    "z",        "!!",       "\x0e",     "\x0f",     "#a",       "#z",       "\x81",     "\x81\x40",
        "\x40", "\xd4", "\xa1\xa1", "\xa1\x40", "\x82\x81", "\x82\x9a", "\xa3\xe1", "\xa3\xfa", "\xa2\xe9", "\xa2\xfe",
        "\xa3\x40", "\xa3\x43", "\xe7", "\t", {"\0", 1}, "\xff", "\xc3\xa9", "\xc3\x9f", "\xe3\x80\x80",
        "\xef\xbd\x81", "\xf0\x90\x90\xa8", "\xed\xa0\x80", "\xc8\xbf", "\xf4\x90\x80\x80", "\xc2"};
    const std::uint8_t shape = in.byte(), size = in.byte();
    const std::size_t count = std::size_t(size % 64 >> size / 64) * ((shape & 14) == 14 ? 64 : 1);
    if (!(shape & 1)) return in.bytes(count);
    std::string text;
    for (std::size_t i = 0; i < count && !in.empty(); ++i) text += kPieces[in.below(std::size(kPieces))];
    return text.substr(0, QMR_TF_LARGEST_MAX);
}

// A host's text field, mostly valid and sized near its text, at times at
// the edges of its maximum and length.  `value` is the text it holds.
struct Field {
    std::string value;
    std::int32_t maximum, length;
    std::unique_ptr<Guarded> block;
    std::string sent;

    Field(Input& in, std::int32_t typical) : Field(in, typical, readText(in)) {}
    Field(Input& in, std::int32_t typical, std::string text) : value(std::move(text)) {
        static constexpr int kRoom[] = {0, 0, 0, 1, 2, 9, -1, -2};  // the maximum beyond the text
        const std::uint8_t shape = in.byte();
        const auto size = static_cast<std::int32_t>(value.size());
        maximum = shape % 8 == 7 ? in.fieldNumber(typical) : std::clamp(size + kRoom[shape / 8 % 8], 1, 4096);
        length = shape % 8 == 7 ? in.fieldNumber(maximumValid() ? maximum : typical) : size;
        const std::size_t room = std::size_t(std::clamp(maximum, 0, QMR_TF_LARGEST_MAX));
        value.resize(room, '\xe7');  // past the text a Thai mark, which a walk that reads on would take
        block = std::make_unique<Guarded>(QMR_TF_TEXT + room);
        putLe32(block->data() + QMR_TF_MAX_LENGTH, maximum);
        putLe32(block->data() + QMR_TF_LENGTH, length);
        std::memcpy(block->data() + QMR_TF_TEXT, value.data(), room);
        sent = block->text();
        if (length >= 0 && std::size_t(length) <= room) value.resize(std::size_t(length));
    }
    TextField* get() { return reinterpret_cast<TextField*>(block->data()); }
    bool maximumValid() const { return maximum >= 1 && maximum <= 4096; }
    bool valid() const { return maximumValid() && length >= 0 && length <= maximum; }
    std::int32_t lengthNow() const { return le32(block->data() + QMR_TF_LENGTH); }
    std::string text() const { return block->text().substr(QMR_TF_TEXT); }
    bool intact() { return block->intact() && le32(block->data()) == maximum; }
};

constexpr const char* kNames[] = {"QMRFCCAT", "QMRFLGTH", "QMRFSSTR", "QMRFSSDB", "QMRFINDX", "QMRFINDB",
                                  "QMRFVRFY", "QMRFVRDB", "QMRFTRIM", "QMRFTRDB", "QMRFUPPR", "QMRFUPDB"};

void builtIn(Input& in, int function, const model::Charset* cs) {
    Context context;
    Field a(in, 40);
    // At times the second field is a piece of the first: a search text
    // that is found, a set that holds the text's characters.
    const std::uint8_t slice = in.byte();
    const std::size_t from = std::min<std::size_t>(slice / 2 % 32, a.value.size());
    Field b = slice & 1 ? Field(in, 40, a.value.substr(from, in.byte() % 5)) : Field(in, 40);
    // A result field at times with room for both texts of a concatenation.
    Field c = function == 0 && in.byte() % 2 ? Field(in, 60, a.value + b.value) : Field(in, 60);
    const bool same = in.byte() & 1;  // the result is the first source
    Field& out = same ? a : c;
    const bool db = function % 2 == 1;
    std::string name = kNames[function], error, expected;  // the model's name, message and result
    int position = -1;                                      // the model's position
    if (function == 0) {
        QMRFCCAT(nullptr, nullptr, context.get(), a.get(), b.get(), out.get());
        if (!a.valid() || !b.valid() || !out.maximumValid()) error = " 130";
        if (cs && error.empty()) expected = model::join(*cs, a.value, b.value);
    } else if (function == 1) {
        qmr_int32 length = -7;
        QMRFLGTH(nullptr, nullptr, context.get(), a.get(), &length);
        error = a.maximumValid() ? "" : " 130";
        QMR_FUZZ_CHECK(length == (error.empty() ? a.length : 0), "length %d", length);
    } else if (function <= 3) {
        OptionalNumber start{char(in.byte() & 1 ? 'N' : 'Y'), 0, qmr_int16(in.fieldNumber(40))};
        OptionalNumber length{char(in.byte() & 1 ? 'N' : 'Y'), 0, qmr_int16(in.fieldNumber(40))};
        if (in.byte() & 1) context.setByte(QMR_CC_ERROR_FLAG, 'Y');
        const qmr_int16 first = std::max<qmr_int16>(start.indicator == 'N' ? 1 : start.value, 1);
        qmr_int16 count = length.indicator == 'N' ? qmr_int16(std::int64_t{a.length} - first + 1) : length.value;
        if (length.indicator != 'N' && count < 0) count = 0;
        const bool flagged = context.failed();
        (db ? QMRFSSDB : QMRFSSTR)(nullptr, nullptr, context.get(), a.get(), &start, &length, out.get());
        QMR_FUZZ_CHECK(start.value == first && length.value == count, "settled %d %d", start.value, length.value);
        error = flagged ? context.error() : !a.valid() ? " 130" : first > a.maximum ? " 133" : "";
        if (cs && error.empty()) expected = model::substring(*cs, a.value, first, std::max<int>(count, 0), db);
    } else if (function <= 7) {
        static constexpr decltype(&QMRFINDX) kSearches[] = {QMRFINDX, QMRFINDB, QMRFVRFY, QMRFVRDB};
        qmr_int16 found = -1;
        kSearches[function - 4](nullptr, nullptr, context.get(), a.get(), b.get(), &found);
        if (function < 6) {
            if (!a.valid() || !b.valid() || a.length < 1 || b.length < 1) error = " 130";
            if (cs && error.empty()) position = model::indexOf(*cs, a.value, b.value, db);
        } else if (!a.valid() || !b.maximumValid() || b.length < 0 || (db && !b.valid())) {
            error = " 130";
        } else {  // QMRFVRFY's set goes through QMRFTRIM first, which refuses an over-long set
            if (!db) error = b.valid() ? "" : " 130", name = "QMRFTRIM";
            const std::string set = db ? b.value : b.valid() && cs ? model::trim(*cs, b.value, 4096) : "";
            if (cs) position = model::verify(*cs, a.value, set, db);
        }
        if (!error.empty() && name == kNames[function]) position = 0;
        QMR_FUZZ_CHECK(found >= 0 && found <= std::max(a.length, 1) && (position < 0 || found == position),
                       "%s: %d, model %d", kNames[function], found, position);
    } else {
        static constexpr decltype(&QMRFTRIM) kCopies[] = {QMRFTRIM, QMRFTRDB, QMRFUPPR, QMRFUPDB};
        kCopies[function - 8](nullptr, nullptr, context.get(), a.get(), out.get());
        const bool fits = a.length <= a.maximum && a.length <= out.maximum;
        if (!a.maximumValid() || !out.maximumValid() || !fits) error = " 130";
        const std::string source = a.length > 0 ? a.value : "";
        if (cs && cs->unicode && !model::unicodeUpper) cs = nullptr;  // no case map to check it with
        if (cs && error.empty() && function >= 10) expected = model::upper(*cs, source);
        if (cs && error.empty() && function < 10) expected = model::trim(*cs, source, out.maximum);
    }
    const bool hasResult = function == 0 || function == 2 || function == 3 || function >= 8;
    if (hasResult && error.empty() && std::int64_t(expected.size()) > out.maximum) error = " 135", expected = "";
    QMR_FUZZ_CHECK(context.name() == name, "%s: name %s", kNames[function], context.name().c_str());
    QMR_FUZZ_CHECK(context.error() == error || (!cs && function != 1 && error.empty() && context.error() == " 135"),
                   "%s: message '%s', expected '%s'", kNames[function], context.error().c_str(), error.c_str());
    // A result: empty after a failure (blank-filled by a substring), else
    // the model's text, then blanks to the maximum after an upper-casing
    // and otherwise a NUL where the text does not fill the field.
    const std::int32_t n = out.lengthNow(), room = std::clamp(out.maximum, 0, 4096);
    const bool failed = context.failed(), blanks = failed ? function == 2 || function == 3 : function >= 10;
    QMR_FUZZ_CHECK(!hasResult || (failed ? n == 0 : n >= 0 && n <= out.maximum && (!cs || n == int(expected.size()))),
                   "%s: result of %d bytes, model %zu", kNames[function], n, expected.size());
    if (hasResult && (cs || failed)) {
        std::string field = expected + std::string(std::size_t(std::max(room - n, 0)), blanks ? ' ' : '\0');
        if (!blanks) field.resize(std::min(field.size(), expected.size() + 1));
        QMR_FUZZ_CHECK(out.text().substr(0, field.size()) == field, "%s: result bytes", kNames[function]);
    }
    QMR_FUZZ_CHECK(a.intact() && b.intact() && c.intact(), "a guard changed");
    const Field& other = same ? c : a;
    QMR_FUZZ_CHECK(b.block->text() == b.sent && other.block->text() == other.sent, "a field changed");
}

// The blocks of a buffer routine's call, each checked for its guards at the end.
using Blocks = std::vector<std::unique_ptr<Guarded>>;
// A block of `bytes` and then `fill`, at least `size` bytes long.
char* put(Blocks& blocks, const std::string& bytes, int size = 0, char fill = 0) {
    const auto n = std::size_t(std::max(int(bytes.size()), size));
    auto* block = reinterpret_cast<char*>(blocks.emplace_back(std::make_unique<Guarded>(n, fill))->data());
    return static_cast<char*>(std::memcpy(block, bytes.data(), bytes.size()));
}
std::string upToNul(const std::string& s) { return s.substr(0, s.find('\0')); }

void bufferRoutine(Input& in, int routine, const model::Charset* cs) {
    const auto count = static_cast<std::int16_t>(in.fieldNumber(30));
    const auto width = std::size_t(std::max<int>(count, 0));
    std::string text = readText(in);
    const std::string t = upToNul(text);
    Blocks blocks;
    char* buffer = put(blocks, t + '\0', 2);
    if (routine <= 1) {  // QMROTRIM and QMRVTRIM on a text of `count` bytes
        const qmr_int16 order = in.byte() & 1;
        text.resize(std::max<std::size_t>(width, 1), ' ');
        char *length = put(blocks, std::string(reinterpret_cast<const char*>(&count), 2)), *bytes = put(blocks, text);
        if (routine == 0) QMROTRIM(length, bytes);
        if (routine == 1) QMRVTRIM(length, bytes, &order);
        auto got = static_cast<std::int16_t>((length[0] & 0xFF) | length[1] << 8);  // low byte first
        if (routine == 1 && order == 1) std::memcpy(&got, length, 2);
        const int want = count > 0 && cs ? model::trimmedLength(*cs, text.substr(0, width)) : count;
        QMR_FUZZ_CHECK(!cs || got == (routine == 0 ? std::max(want, 1) : want), "trimmed %d of %d", got, count);
    } else if (routine == 2) {  // QMROTRIM on a terminated text
        QMROTRIM(nullptr, buffer);
        const std::size_t kept = cs ? std::size_t(model::trimmedLength(*cs, t)) : 0;
        QMR_FUZZ_CHECK(!cs || buffer == (kept ? t.substr(0, kept) : " "), "QMROTRIM");
    } else if (routine == 3) {  // QMROPAD: each text holds its own count of bytes
        const auto room = static_cast<std::int16_t>(in.fieldNumber(30));
        const std::int16_t lengths[] = {count, room};
        text.resize(width, 'x');
        char *counts = put(blocks, std::string(reinterpret_cast<const char*>(lengths), 4)), *source = put(blocks, text);
        char* target = put(blocks, "", room, '#');
        QMROPAD(counts, source, counts + 2, target);
        const std::size_t size = std::size_t(std::max<int>(room, 0)), copied = std::min(width, size);
        QMR_FUZZ_CHECK(std::string(source, width) == text &&
                           std::string(target, size) == text.substr(0, copied) + std::string(size - copied, ' '),
                       "QMROPAD");
    } else if (routine == 4) {  // Qmrrjust, and the analysis of characters it walks with, against the model's
        Qmrrjust(buffer);
        QMR_FUZZ_CHECK(!cs || buffer == model::rightJustified(*cs, t), "Qmrrjust");
        TextAnalysis* analysis = qmr::textServices().AnalyseText(t.c_str(), 0);
        std::string lengths;
        for (const model::Char& c : cs ? model::chars(*cs, t, model::kindOf(*cs, model::Combining::asCombining))
                                       : std::vector<model::Char>{}) {
            lengths += char(c.length);
        }
        const auto* got = analysis ? reinterpret_cast<const char*>(analysis->charLengths) : "";
        QMR_FUZZ_CHECK(!cs || !analysis || std::string(got, std::size_t(analysis->charCount)) == lengths, "analysis");
        qmr::textServices().ReleaseAnalysis(analysis);
    } else if (routine == 5) {  // Qmrrjus2: the text's last width - 1 bytes and its NUL, right-justified
        char* target = put(blocks, "", count, '#');
        Qmrrjus2(target, buffer, count);
        const std::string whole = std::string(width, ' ') + t + '\0';
        QMR_FUZZ_CHECK(count < 1 || std::string(target, width) == whole.substr(whole.size() - width), "Qmrrjus2");
    } else if (routine == 6) {  // Qmstrcmp: an order on three texts, two of them at times sharing a beginning
        const std::uint8_t shared = in.byte();
        const std::string u = upToNul((shared & 1 ? t : "") + readText(in));
        const std::string v = upToNul((shared & 2 ? u.substr(0, shared / 4u) : "") + readText(in));
        const char* p[] = {buffer, put(blocks, u + '\0'), put(blocks, v + '\0')};
        for (int i = 0; i < 9; ++i) {
            const int x = i / 3, w = i % 3, k = 3 - x - w;  // k: the third text, where x != w
            const qmr_int32 xw = Qmstrcmp(p[x], p[w]), wx = Qmstrcmp(p[w], p[x]);
            QMR_FUZZ_CHECK(xw >= -1 && xw <= 1 && xw == -wx && (!cs || xw == model::compare(*cs, p[x], p[w])) &&
                               Qmstrcmp(nullptr, p[x]) == -1 && Qmstrcmp(p[x], nullptr) == 1,
                           "Qmstrcmp %d %d: %d, %d", x, w, xw, wx);
            if (x == w) continue;
            const qmr_int32 wk = Qmstrcmp(p[w], p[k]), xk = Qmstrcmp(p[x], p[k]);
            QMR_FUZZ_CHECK((xw > 0 || wk > 0 || xk <= 0) && (xw != 0 || xk == wk), "Qmstrcmp %d %d %d", x, w, k);
        }
    } else {  // Qmstrcpy into `count` bytes, at times just enough for the text
        const auto size = in.byte() % 4 ? count : static_cast<std::int16_t>(t.size() + 1);
        char* target = put(blocks, "", size, '#');
        QMR_FUZZ_CHECK(Qmstrcpy(target, buffer, size) == target, "Qmstrcpy");
        QMR_FUZZ_CHECK(size < 1 || !cs || std::string(target, std::size_t(size)) == model::boundedCopy(*cs, t, size),
                       "Qmstrcpy text");
    }
    for (const auto& block : blocks) QMR_FUZZ_CHECK(block->intact(), "a guard changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#ifdef QMR_HAVE_ICU
    model::unicodeUpper = [](const model::Bytes& c) {
        UChar32 code = 0;
        int read = 0, written = 0;
        char capital[4];
        U8_NEXT_UNSAFE(c.data(), read, code);
        U8_APPEND_UNSAFE(capital, written, u_toupper(code));
        return model::Bytes(capital, std::size_t(written));
    };
#endif
    Input in(data, size);
    const model::Charset* cs = useCharset(in.below(kBuiltIns + 2));
    const int function = in.below(20);
    if (function < 12) builtIn(in, function, cs);
    if (function >= 12) bufferRoutine(in, function - 12, cs);
    return 0;
}
