// qmr call: the string built-ins, the text buffer routines and the choice
// of character set.
//
// A text field argument is TEXT, MAX:TEXT or MAX/LENGTH:TEXT (MAX defaults
// to the text's size, LENGTH to MAX's text), with escapes such as \x0e in
// TEXT; a result field is given by its maximum.  A substring start or
// length is a number or N (not supplied).
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli.h"

namespace qmr_cli {
namespace {

void putLe(unsigned char* p, long long value, int width) {
    for (int i = 0; i < width; ++i)
        p[i] = static_cast<unsigned char>(static_cast<unsigned long long>(value) >> (8 * i));
}
long long le32(const unsigned char* p) {
    return static_cast<qmr_int32>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<unsigned>(p[3]) << 24);
}

// A decimal number that fills `digits`, else false.
bool parseInt(const std::string& digits, int& value) {
    if (digits.empty() || digits.size() > 9) return false;
    std::size_t used = 0;
    try {
        value = std::stoi(digits, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == digits.size();
}

// A text field as the host lays it out: maximum, length, then the bytes.
class FieldArg {
public:
    FieldArg(const Args& a, std::size_t i) {
        std::string word = a.word(i);
        std::optional<int> maximum, length;
        const auto colon = word.find(':');
        if (!word.empty() && word[0] != '"' && colon != std::string::npos &&
            word.find_first_not_of("0123456789/-") >= colon) {
            const std::string sizes = word.substr(0, colon);
            const auto slash = sizes.find('/');
            int value = 0;
            if (!parseInt(sizes.substr(0, slash), value)) a.fail(i, "has a malformed MAX[/LENGTH]: prefix");
            maximum = value;
            if (slash != std::string::npos) {
                if (!parseInt(sizes.substr(slash + 1), value)) a.fail(i, "has a malformed LENGTH");
                length = value;
            }
            word = word.substr(colon + 1);
        }
        if (!word.empty() && word[0] == '"') {
            if (word.size() < 2 || word.back() != '"') a.fail(i, "has no closing quote");
            word = word.substr(1, word.size() - 2);
        }
        std::string text;
        try {
            text = unescape(word);
        } catch (const UsageError& e) {
            a.fail(i, e.what());
        }
        const int max = maximum.value_or(std::max<int>(1, static_cast<int>(text.size())));
        if (max > QMR_TF_LARGEST_MAX * 4) a.fail(i, "has a maximum too large to lay out");
        bytes_.assign(QMR_TF_TEXT + static_cast<std::size_t>(std::max(0, max)), 0);
        putLe(bytes_.data(), max, 4);
        putLe(bytes_.data() + QMR_TF_LENGTH, length.value_or(static_cast<int>(text.size())), 4);
        std::memcpy(bytes_.data() + QMR_TF_TEXT, text.data(), std::min(text.size(), bytes_.size() - QMR_TF_TEXT));
    }
    const TextField* get() const { return reinterpret_cast<const TextField*>(bytes_.data()); }

private:
    std::vector<unsigned char> bytes_;
};

// Calls `call` on a result field of `maximum` bytes and prints its bytes
// (~ where the call left them alone) and its length.
template <typename Call>
void withResult(Session& s, const Args& a, std::size_t i, Call call) {
    const qmr_int32 maximum = a.int32(i);
    if (maximum > QMR_TF_LARGEST_MAX * 4) a.fail(i, "is too large a maximum");
    ByteMask untouched;
    const std::size_t size = QMR_TF_TEXT + static_cast<std::size_t>(std::max(0, maximum));
    const std::vector<unsigned char> bytes = s.probe(size, untouched, [&](unsigned char* field) {
        putLe(field, maximum, 4);
        putLe(field + QMR_TF_LENGTH, 0, 4);
        call(reinterpret_cast<TextField*>(field));
    });
    const ByteMask textMask(untouched.begin() + QMR_TF_TEXT, untouched.end());
    s.text("result", bytes.data() + QMR_TF_TEXT, size - QMR_TF_TEXT, &textMask);
    s.number("length", le32(bytes.data() + QMR_TF_LENGTH));
}

OptionalNumber optional(const Args& a, std::size_t i) {
    if (a.word(i) == "N") return {'N', 0, 0};
    const qmr_int32 v = a.int32(i);
    if (v < -32768 || v > 32767) a.fail(i, "is not a 16-bit number");
    return {' ', 0, static_cast<qmr_int16>(v)};
}

// A NUL-terminated text argument; the bare word NULL is a null pointer.
const char* textOrNull(const Args& a, std::size_t i, std::string& storage) {
    if (a.word(i) == "NULL") return nullptr;
    storage = a.text(i);
    return storage.c_str();
}

void ccat(Session& s, const Args& a) {
    const FieldArg first(a, 0), second(a, 1);
    withResult(s, a, 2, [&](TextField* r) { QMRFCCAT(nullptr, nullptr, s.context(), first.get(), second.get(), r); });
}

void lgth(Session& s, const Args& a) {
    const FieldArg field(a, 0);
    qmr_int32 length = -1;
    QMRFLGTH(nullptr, nullptr, s.context(), field.get(), &length);
    s.number("length", length);
}

template <auto Function>
void substring(Session& s, const Args& a) {
    const FieldArg source(a, 0);
    OptionalNumber start{}, length{};
    withResult(s, a, 3, [&](TextField* r) {
        start = optional(a, 1);
        length = optional(a, 2);
        Function(nullptr, nullptr, s.context(), source.get(), &start, &length, r);
    });
    s.number("start", start.value);
    s.number("count", length.value);
}

template <auto Function>
void position(Session& s, const Args& a) {
    const FieldArg text(a, 0), other(a, 1);
    qmr_int16 found = -1;
    Function(nullptr, nullptr, s.context(), text.get(), other.get(), &found);
    s.number("position", found);
}

template <auto Function>
void copyField(Session& s, const Args& a) {
    const FieldArg source(a, 0);
    withResult(s, a, 1, [&](TextField* r) { Function(nullptr, nullptr, s.context(), source.get(), r); });
}

// A 16-bit byte count of a text: no more than the text's bytes, so that
// the routine reads nothing beyond what the driver laid out.
qmr_int16 countOf(const Args& a, std::size_t i, const std::string& text) {
    const qmr_int32 count = a.int32(i);
    if (count < -32768 || count > static_cast<qmr_int32>(std::min<std::size_t>(text.size(), 32767))) {
        a.fail(i, "is not a 16-bit count within the text's " + std::to_string(text.size()) + " bytes");
    }
    return static_cast<qmr_int16>(count);
}

void otrim(Session& s, const Args& a) {
    std::string text = a.text(0);
    const qmr_int16 given = a.has(1) ? countOf(a, 1, text) : 0;
    text.resize(text.size() + 2, '\0');  // room for the single blank and its NUL
    if (a.has(1)) {
        unsigned char count[2];
        putLe(count, given, 2);
        QMROTRIM(reinterpret_cast<char*>(count), text.data());
        s.number("count", static_cast<qmr_int16>(count[0] | count[1] << 8));
        text.resize(text.size() - 2);
    } else {
        QMROTRIM(nullptr, text.data());
    }
    s.text("text", text.data(), text.size());
}

void vtrim(Session& s, const Args& a) {
    const std::string text = a.text(0);
    const auto order = static_cast<qmr_int16>(a.int32Or(2, 0));
    unsigned char count[2];
    const qmr_int16 given = countOf(a, 1, text);
    putLe(count, given, 2);
    if (order == 1) std::memcpy(count, &given, 2);
    QMRVTRIM(reinterpret_cast<char*>(count), text.c_str(), &order);
    qmr_int16 result = static_cast<qmr_int16>(count[0] | count[1] << 8);
    if (order == 1) std::memcpy(&result, count, 2);
    s.number("count", result);
}

void opad(Session& s, const Args& a) {
    const std::string source = a.text(0);
    const qmr_int32 target = a.int32(1);
    if (target < 0 || target > 32767) a.fail(1, "is not a target length");
    unsigned char sourceLength[2], targetLength[2];
    putLe(sourceLength, static_cast<long long>(source.size()), 2);
    putLe(targetLength, target, 2);
    ByteMask untouched;
    const auto bytes = probeOutput(static_cast<std::size_t>(target), untouched, [&](unsigned char* out) {
        QMROPAD(reinterpret_cast<char*>(sourceLength), source.c_str(), reinterpret_cast<char*>(targetLength),
                reinterpret_cast<char*>(out));
    });
    s.text("target", bytes.data(), bytes.size(), &untouched);
}

void rjust(Session& s, const Args& a) {
    std::string text = a.text(0);
    Qmrrjust(text.data());
    s.text("text", text.data(), text.size());
}

void rjus2(Session& s, const Args& a) {
    const std::string text = a.text(0);
    const qmr_int32 width = a.int32(1);
    if (width < 1 || width > 65536) a.fail(1, "is not a width of 1 or more");
    ByteMask untouched;
    const auto bytes = probeOutput(static_cast<std::size_t>(width), untouched, [&](unsigned char* out) {
        Qmrrjus2(reinterpret_cast<char*>(out), text.c_str(), width);
    });
    s.text("target", bytes.data(), bytes.size(), &untouched);
}

void compareTexts(Session& s, const Args& a) {
    std::string first, second;
    s.number("result", Qmstrcmp(textOrNull(a, 0, first), textOrNull(a, 1, second)));
}

void copyText(Session& s, const Args& a) {
    std::string storage;
    const char* source = textOrNull(a, 0, storage);
    const qmr_int32 size = a.int32(1);
    if (size < 1 || size > 32767) a.fail(1, "is not a size of 1 to 32767");
    ByteMask untouched;
    const auto bytes = probeOutput(static_cast<std::size_t>(size), untouched, [&](unsigned char* out) {
        Qmstrcpy(reinterpret_cast<char*>(out), source, static_cast<qmr_int16>(size));
    });
    s.text("target", bytes.data(), bytes.size(), &untouched);
}

void useCharset(Session& s, const Args& a) {
    const int result = qmr_use_charset(a.word(0).c_str());
    if (result == 0) charsetChosen(a.word(0).c_str());
    s.number("result", result);
}

void defaultServices(Session& s, const Args&) {
    const int result = qmr_set_text_services(nullptr);
    if (result == 0) charsetChosen("single");
    s.number("result", result);
}

constexpr char kConcatProto[] =
    "void QMRFCCAT(void* opaque1, void* opaque2, CallContext* context, const TextField* first, "
    "const TextField* second, TextField* result);";
constexpr char kSubstringUsage[] = "SOURCE START|N LENGTH|N RESULTMAX";
constexpr char kSubstringProto[] =
    "(void* opaque1, void* opaque2, CallContext* context, const TextField* source, OptionalNumber* start, "
    "OptionalNumber* length, TextField* result);";
constexpr char kIndexProto[] =
    "(void* opaque1, void* opaque2, CallContext* context, const TextField* source, const TextField* search, "
    "qmr_int16* position);";
constexpr char kVerifyProto[] =
    "(void* opaque1, void* opaque2, CallContext* context, const TextField* text, const TextField* set, "
    "qmr_int16* position);";
constexpr char kCopyProto[] =
    "(void* opaque1, void* opaque2, CallContext* context, const TextField* source, TextField* result);";

const std::string kProtos[] = {
    std::string("void QMRFSSTR") + kSubstringProto, std::string("void QMRFSSDB") + kSubstringProto,
    std::string("void QMRFINDX") + kIndexProto,     std::string("void QMRFINDB") + kIndexProto,
    std::string("void QMRFVRFY") + kVerifyProto,    std::string("void QMRFVRDB") + kVerifyProto,
    std::string("void QMRFTRIM") + kCopyProto,      std::string("void QMRFTRDB") + kCopyProto,
    std::string("void QMRFUPPR") + kCopyProto,      std::string("void QMRFUPDB") + kCopyProto,
};

const Command kCommands[] = {
    {"QMRFCCAT", "FIRST SECOND RESULTMAX", kConcatProto, "joins two text fields, merging double-byte runs", 3, 3, true,
     ccat},
    {"QMRFLGTH", "FIELD",
     "void QMRFLGTH(void* opaque1, void* opaque2, CallContext* context, const TextField* text, qmr_int32* length);",
     "the current length of a text field", 1, 1, true, lgth},
    {"QMRFSSTR", kSubstringUsage, kProtos[0].c_str(), "substring; shift-code text starts single-byte", 4, 4, true,
     substring<QMRFSSTR>},
    {"QMRFSSDB", kSubstringUsage, kProtos[1].c_str(), "substring; shift-code text starts double-byte", 4, 4, true,
     substring<QMRFSSDB>},
    {"QMRFINDX", "SOURCE SEARCH", kProtos[2].c_str(), "position of a search text; shift-code text starts single-byte",
     2, 2, true, position<QMRFINDX>},
    {"QMRFINDB", "SOURCE SEARCH", kProtos[3].c_str(), "position of a search text; shift-code text starts double-byte",
     2, 2, true, position<QMRFINDB>},
    {"QMRFVRFY", "TEXT SET", kProtos[4].c_str(), "first character not in a set (the set trimmed first)", 2, 2, true,
     position<QMRFVRFY>},
    {"QMRFVRDB", "TEXT SET", kProtos[5].c_str(), "first character not in a set; shift-code text starts double-byte", 2,
     2, true, position<QMRFVRDB>},
    {"QMRFTRIM", "SOURCE RESULTMAX", kProtos[6].c_str(), "copies a text field without trailing blanks", 2, 2, true,
     copyField<QMRFTRIM>},
    {"QMRFTRDB", "SOURCE RESULTMAX", kProtos[7].c_str(), "QMRFTRIM under its double-byte name", 2, 2, true,
     copyField<QMRFTRDB>},
    {"QMRFUPPR", "SOURCE RESULTMAX", kProtos[8].c_str(), "upper-cases a text field into a blank-filled result", 2, 2,
     true, copyField<QMRFUPPR>},
    {"QMRFUPDB", "SOURCE RESULTMAX", kProtos[9].c_str(), "QMRFUPPR under its double-byte name", 2, 2, true,
     copyField<QMRFUPDB>},
    {"QMROTRIM", "TEXT [COUNT]", "qmr_int32 QMROTRIM(char* lengthField, char* text);",
     "trims a count (or a NUL-terminated text), keeping one blank", 1, 2, false, otrim},
    {"QMRVTRIM", "TEXT COUNT [ORDER]",
     "qmr_int32 QMRVTRIM(char* lengthField, const char* text, const qmr_int16* order);",
     "trims a count; ORDER 1 reads it as a native integer", 2, 3, false, vtrim},
    {"QMROPAD", "SOURCE TARGETLENGTH",
     "qmr_int32 QMROPAD(const char* sourceLength, const char* source, const char* targetLength, char* target);",
     "copies and pads with blanks", 2, 2, false, opad},
    {"Qmrrjust", "TEXT", "void Qmrrjust(char* text);", "moves trailing blanks to the front", 1, 1, false, rjust},
    {"Qmrrjus2", "TEXT WIDTH", "void Qmrrjus2(char* target, const char* text, qmr_int32 width);",
     "right-justifies a text into a buffer, byte-wise", 2, 2, false, rjus2},
    {"Qmstrcmp", "FIRST|NULL SECOND|NULL", "qmr_int32 Qmstrcmp(const char* first, const char* second);",
     "compares two texts, trailing blanks aside", 2, 2, false, compareTexts},
    {"Qmstrcpy", "SOURCE|NULL SIZE", "char* Qmstrcpy(char* target, const char* source, qmr_int16 size);",
     "copies into a fixed-size buffer, cut at a character", 2, 2, false, copyText},
    {"qmr_use_charset", "NAME", "int qmr_use_charset(const char* name);",
     "chooses a character set by name (see the list under the usage)", 1, 1, false, useCharset},
    {"qmr_set_text_services", "", "int qmr_set_text_services(const QmrTextServices* services);",
     "with no table: back to the default character set", 0, 0, false, defaultServices},
};
const Registrar registrar(Family::Text, kCommands);

}  // namespace
}  // namespace qmr_cli
