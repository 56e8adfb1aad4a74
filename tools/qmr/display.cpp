// The character sets the driver names, and texts of a multibyte set shown
// as the characters they hold.
//
// Showing decodes one character at a time from the set's code page and
// encodes it for the terminal: with iconv into the codeset of the
// environment's locale (read through a locale object, so that the
// process's own locale, which the library's calls see, stays "C"); on
// Windows with the code-page calls into the console's output code page,
// or UTF-8 when the output is no console.  A byte that starts no character
// of the set, and a character the terminal cannot show or that would act
// on it (a control, an invisible format character), keep their escapes.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "cli.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>
#endif

namespace qmr_cli {
namespace {

struct SetInfo {
    CharsetName name;
    unsigned codePage;      // 0: none of its own ("single", "system")
    const char* iconvName;  // the same code page as iconv names it
    const char* codesets;   // " a b ": the locale codesets that "system" takes for it, lower case, no '-' or '_'
};

// "sosi" text is KS X 1001 in 7-bit form: a double-byte pair with both
// high bits set is its EUC-KR code, which code page 949 holds.
constexpr SetInfo kSets[] = {
    {{"single", "any single-byte code page: every byte a character"}, 0, nullptr, nullptr},
    {{"sosi", "shift-out 0x0E and shift-in 0x0F around 7-bit KS X 1001 pairs (ISO-2022-KR, code page 50225)"},
     949,
     "CP949",
     nullptr},
    {{"sjis", "Shift_JIS, code page 932"}, 932, "CP932", " sjis shiftjis cp932 "},
    {{"gbk", "GBK, code page 936"}, 936, "GBK", " gbk cp936 "},
    {{"big5", "Big5, code page 950"}, 950, "CP950", " big5 cp950 "},
    {{"tis620", "Thai TIS-620, code page 874"}, 874, "CP874", " tis620 "},
    {{"uhc", "Korean, code page 949 (a superset of EUC-KR)"}, 949, "CP949", " euckr cp949 uhc "},
    {{"utf8", "UTF-8, code page 65001"}, 65001, "UTF-8", " utf8 "},
    {{"system",
      "the machine's own: the Windows ANSI code page (GetACP), elsewhere the codeset of LC_ALL, LC_CTYPE or LANG"},
     0,
     nullptr,
     nullptr},
};

const SetInfo* findSet(const char* name) {
    if (name == nullptr) return nullptr;
    for (const SetInfo& set : kSets) {
        if (std::strcmp(set.name.name, name) == 0) return &set;
    }
    return nullptr;
}

// Characters that print as themselves: no C0 or C1 control, no blank
// that hides a byte (no-break space), no surrogate or replacement
// character, no invisible format character (zero-width, direction marks
// and overrides, the byte-order mark).
bool showable(char32_t c) {
    return c > 0xA0 && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFD && c != 0xFEFF &&
           !(c >= 0x200B && c <= 0x200F) && !(c >= 0x2028 && c <= 0x202E) && !(c >= 0x2060 && c <= 0x206F);
}

#ifdef _WIN32

bool decode(unsigned codePage, const unsigned char* p, std::size_t n, std::u32string& out) {
    wchar_t units[8];
    const int got = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p),
                                        static_cast<int>(n), units, 8);
    out.clear();
    for (int i = 0; i < got; ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < got && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            out += 0x10000 + ((u - 0xD800) << 10) + (static_cast<char32_t>(units[++i]) - 0xDC00);
        } else {
            out += u;
        }
    }
    return got > 0;
}

bool encode(unsigned codePage, const std::u32string& characters, std::string& out) {
    std::wstring units;
    for (const char32_t c : characters) {
        if (c < 0x10000) {
            units += static_cast<wchar_t>(c);
        } else {
            units += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    char bytes[32];
    BOOL defaulted = FALSE;
    const bool utf8 = codePage == CP_UTF8;  // takes neither flags nor a default character
    const int got = WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, units.data(),
                                        static_cast<int>(units.size()), bytes, sizeof bytes, nullptr,
                                        utf8 ? nullptr : &defaulted);
    if (got <= 0 || defaulted) return false;
    out.append(bytes, static_cast<std::size_t>(got));
    return true;
}

// Decoding tells no incomplete character from a wrong one: every length
// up to 4 is tried.
class Shower {
public:
    explicit Shower(const SetInfo& set)
        : from_(set.codePage),
          to_(_isatty(_fileno(stdout)) && GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : CP_UTF8) {}

    std::size_t character(const unsigned char* p, std::size_t available, std::string& out) const {
        std::u32string characters;
        for (std::size_t n = 1; n <= available && n <= 4; ++n) {
            if (decode(from_, p, n, characters)) return shown(characters, out) ? n : 0;
        }
        return 0;
    }

private:
    bool shown(const std::u32string& characters, std::string& out) const {
        for (const char32_t c : characters) {
            if (!showable(c)) return false;
        }
        return encode(to_, characters, out);
    }

    unsigned from_, to_;
};

bool terminalOutput() { return _isatty(_fileno(stdout)) != 0; }

#else

// An iconv conversion; a code page this system lacks converts nothing.
class Iconv {
public:
    Iconv(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Iconv() {
        if (cd_ != kNone) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // 0 with `out` set when all n bytes convert, else EINVAL for an
    // incomplete character, EILSEQ (or another errno) for a wrong one.
    int convert(const void* bytes, std::size_t n, std::string& out) const {
        if (cd_ == kNone) return EILSEQ;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[64];
        char* in = const_cast<char*>(static_cast<const char*>(bytes));
        char* at = buffer;
        std::size_t inLeft = n, outLeft = sizeof buffer;
        if (iconv(cd_, &in, &inLeft, &at, &outLeft) == static_cast<std::size_t>(-1) ||
            iconv(cd_, nullptr, nullptr, &at, &outLeft) == static_cast<std::size_t>(-1)) {
            return errno;
        }
        out.assign(buffer, at);
        return 0;
    }

private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
    iconv_t cd_;
};

// The codeset the environment's locale names (LC_ALL, LC_CTYPE, LANG);
// plain ASCII when there is none.
std::string localeCodeset() {
    const locale_t here = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (here == static_cast<locale_t>(nullptr)) return "ANSI_X3.4-1968";
    std::string codeset = nl_langinfo_l(CODESET, here);
    freelocale(here);
    return codeset;
}

class Shower {
public:
    explicit Shower(const SetInfo& set)
        : decode_("UTF-32LE", set.iconvName), encode_(localeCodeset(), "UTF-32LE") {}

    std::size_t character(const unsigned char* p, std::size_t available, std::string& out) const {
        std::string wide, shown;
        for (std::size_t n = 1; n <= available && n <= 4; ++n) {
            const int problem = decode_.convert(p, n, wide);
            if (problem == EINVAL) continue;
            if (problem != 0 || wide.empty()) return 0;
            for (std::size_t i = 0; i + 4 <= wide.size(); i += 4) {
                char32_t c = 0;
                for (int k = 3; k >= 0; --k) c = c << 8 | static_cast<unsigned char>(wide[i + k]);
                if (!showable(c)) return 0;
            }
            if (encode_.convert(wide.data(), wide.size(), shown) != 0) return 0;
            out += shown;
            return n;
        }
        return 0;
    }

private:
    Iconv decode_, encode_;
};

bool terminalOutput() { return isatty(STDOUT_FILENO) != 0; }

#endif

// The set the calls use now, and how its texts are shown.
struct Display {
    const SetInfo* set = nullptr;
    bool characters = false;
    std::unique_ptr<Shower> shower;  // for `set`, once a text asks
};

Display& display() {
    static Display state = [] {
        // The library starts in the set QMR_CHARSET names, else in the
        // machine's own on Windows and in "single" elsewhere.
        Display d;
        d.set = findSet(std::getenv("QMR_CHARSET"));
#ifdef _WIN32
        if (d.set == nullptr) d.set = findSet("system");
#else
        if (d.set == nullptr) d.set = findSet("single");
#endif
        return d;
    }();
    return state;
}

// The set "system" stands for, as the library finds it: the one of the
// ANSI code page on Windows, elsewhere the one of the codeset after the
// '.' of the first of LC_ALL, LC_CTYPE and LANG that is set (case, '-'
// and '_' aside); "single" for any other.
const SetInfo& machineSet() {
#ifdef _WIN32
    for (const SetInfo& set : kSets) {
        if (set.codesets != nullptr && set.codePage == GetACP()) return set;
    }
#else
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* locale = std::getenv(variable);
        if (locale == nullptr || *locale == '\0') continue;
        const char* dot = std::strchr(locale, '.');
        std::string codeset = " ";
        for (const char* p = dot != nullptr ? dot + 1 : ""; *p != '\0' && *p != '@'; ++p) {
            if (*p != '-' && *p != '_') codeset += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
        }
        for (const SetInfo& set : kSets) {
            if (set.codesets != nullptr && std::strstr(set.codesets, (codeset + ' ').c_str()) != nullptr) return set;
        }
        break;
    }
#endif
    return kSets[0];
}

}  // namespace

bool outputIsTerminal() { return terminalOutput(); }

std::vector<CharsetName> charsetNames() {
    std::vector<CharsetName> names;
    for (const SetInfo& set : kSets) names.push_back(set.name);
    return names;
}

void showCharacters(bool on) {
    display().characters = on;
    display().shower.reset();
}

void charsetChosen(const char* name) {
    if (const SetInfo* set = findSet(name)) {
        display().set = set;
        display().shower.reset();
    }
}

std::size_t TextShowing::character(const unsigned char* p, std::size_t available, std::string& out) {
    Display& d = display();
    if (!d.characters || d.set == nullptr) return 0;
    const SetInfo& set = std::strcmp(d.set->name.name, "system") == 0 ? machineSet() : *d.set;
    if (set.codePage == 0) return 0;  // "single": no code page
    if (!d.shower) d.shower = std::make_unique<Shower>(set);
    if (std::strcmp(set.name.name, "sosi") != 0) return *p < 0x80 ? 0 : d.shower->character(p, available, out);
    if (*p == 0x0E || *p == 0x0F) {
        shifted_ = *p == 0x0E;
        return 0;
    }
    const auto sevenBit = [](unsigned char b) { return b >= 0x21 && b <= 0x7E; };
    if (!shifted_ || available < 2 || !sevenBit(p[0]) || !sevenBit(p[1])) return 0;
    const unsigned char pair[2] = {static_cast<unsigned char>(p[0] | 0x80), static_cast<unsigned char>(p[1] | 0x80)};
    return d.shower->character(pair, 2, out) == 2 ? 2 : 0;
}

}  // namespace qmr_cli
