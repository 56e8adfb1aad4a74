// The qmr command-line driver: calls exported functions with arguments
// given as text and prints what they leave, the way a host would see it.
//
// Each family of exports registers a table of commands from its own file
// (commands_<family>.cpp) with a static Registrar, so adding a family
// touches no shared list.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qmr/qmr.h"

namespace qmr_cli {

// A malformed command line or script line; the message is one line.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One flag per output byte: true where the call left the byte untouched.
using ByteMask = std::vector<bool>;

// State that lives across the lines of a script: the call context (until
// `clear`) and where output goes.
class Session {
public:
    explicit Session(std::ostream& out);

    std::ostream& out() { return *out_; }
    // Sends output elsewhere until the returned stream is restored.
    std::ostream* redirect(std::ostream* to) { return std::exchange(out_, to); }
    CallContext* context() { return reinterpret_cast<CallContext*>(context_.data()); }
    unsigned char* contextBytes() { return context_.data(); }
    // A fresh context as a host sets one up: zeros, with the name, facility
    // and message number blank.
    void clearContext();

    // One output line: two blanks, the label padded to 10, the value.
    void line(std::string_view label, std::string_view value);
    void number(std::string_view label, long long value);
    // Bytes as a quoted text (see quoteBytes).
    void text(std::string_view label, const void* bytes, std::size_t count, const ByteMask* untouched = nullptr);
    // The stamped name, error flag, facility and message number.
    void contextState();

    // Calls `call(output)` twice on a fresh output of `size` bytes, first
    // filled with 0x00, then with 0xFF, each time from the call context as
    // it stood before, and marks the bytes that kept their fill both times
    // as untouched.  Returns the first output.  `call` must be
    // deterministic.
    template <typename Call>
    std::vector<unsigned char> probe(std::size_t size, ByteMask& untouched, Call call);
    // probe() on an output field of type Out; prints the number it holds,
    // or "untouched" when the call left it as it was.
    template <typename Out, typename Call>
    void probedNumber(std::string_view label, Call call);

private:
    std::ostream* out_;
    std::vector<unsigned char> context_;
};

// The arguments of one call, after the function name.
class Args {
public:
    Args(std::string_view function, std::vector<std::string> words);
    std::size_t size() const { return words_.size(); }
    bool has(std::size_t i) const { return i < words_.size(); }
    const std::string& word(std::size_t i) const { return words_.at(i); }

    std::int32_t int32(std::size_t i) const;
    std::int32_t int32Or(std::size_t i, std::int32_t fallback) const { return has(i) ? int32(i) : fallback; }
    double real(std::size_t i) const;
    // Exactly one character (after escapes).
    char character(std::size_t i) const;
    char characterOr(std::size_t i, char fallback) const { return has(i) ? character(i) : fallback; }
    // A text: "quoted" or bare, with escapes \\ \" \0 \t \n \xHH.
    std::string text(std::size_t i) const;

    [[noreturn]] void fail(std::size_t i, std::string_view problem) const;

private:
    std::string function_;
    std::vector<std::string> words_;
};

// The sections of `qmr help`, in the order of qmr.h.
enum class Family { Engine, Dates, Times, Storage, Text, Numeric, Lists, Queue, Driver };
const char* familyTitle(Family family);

struct Command {
    const char* name;       // the exported name
    const char* usage;      // argument synopsis, e.g. "DATE"
    const char* prototype;  // its C prototype, as in qmr.h (driver commands: what they do)
    const char* summary;    // one line
    int minArgs;
    int maxArgs;            // -1: no limit
    bool usesContext;       // print the call context's state after the call
    void (*run)(Session&, const Args&);
};

void registerCommands(Family family, const Command* commands, std::size_t count);
const Command* findCommand(std::string_view name);
std::vector<const Command*> commandsOf(Family family);  // in the order registered

struct Registrar {
    template <std::size_t N>
    Registrar(Family family, const Command (&commands)[N]) {
        registerCommands(family, commands, N);
    }
};

// A character set the driver names, and the code pages it stands for.
struct CharsetName {
    const char* name;
    const char* standsFor;
};
// Every set qmr_use_charset knows, in the order `qmr help` lists them.
std::vector<CharsetName> charsetNames();
// Records the set the calls that follow use, once qmr_use_charset took it
// (at first the one the library starts with).
void charsetChosen(const char* name);

bool outputIsTerminal();
// Texts of a multibyte set shown as the characters they hold, converted
// for the terminal (on), or as escapes (off, the default).
void showCharacters(bool on);

// The characters of one text, shown one at a time; remembers the shift
// state of shift-code text between them.
class TextShowing {
public:
    // The character starting at p (at most `available` bytes) as the
    // terminal shows it, appended to `out`; returns its length, or 0 when
    // the byte at p keeps its escape (as does all text when escapes are
    // chosen or the set is "single").
    std::size_t character(const unsigned char* p, std::size_t available, std::string& out);

private:
    bool shifted_ = false;
};

// "..." with printable ASCII as itself, \" \\ \0 \xHH otherwise, and ~ for
// a byte the call did not touch (a literal ~ is written \~); characters
// of a multibyte set as themselves when showCharacters is on.
std::string quoteBytes(const void* bytes, std::size_t count, const ByteMask* untouched = nullptr);
// A word of the input as an error message shows it: bytes outside
// printable ASCII as \xHH, so that no control byte reaches the terminal.
std::string printable(std::string_view word);
// Decodes the escapes quoteBytes writes (without untouched markers).
std::string unescape(std::string_view text);

// Splits a script line into words; a "quoted" word keeps its quotes and
// may hold blanks.  Throws UsageError for an unterminated quote.
std::vector<std::string> splitWords(std::string_view line);

// Runs one call: echoes it, calls, prints.  Throws UsageError.
void invoke(Session& session, const std::vector<std::string>& words);

// Chooses a built-in character set for the calls that follow (the
// script line "charset NAME", the option --charset NAME).  Throws
// UsageError for an unknown name.
void useCharset(const std::string& name);

// Runs a script; returns the exit status (0, or 2 after the first error,
// which is reported on `errors` with the line number).
int runScript(std::istream& in, std::string_view sourceName, std::ostream& out, std::ostream& errors);

// Session::probe for a call that works on no call context.
template <typename Call>
std::vector<unsigned char> probeOutput(std::size_t size, ByteMask& untouched, Call call) {
    std::vector<unsigned char> zeros(size, 0x00), ones(size, 0xFF);
    call(zeros.data());
    call(ones.data());
    untouched.assign(size, false);
    for (std::size_t i = 0; i < size; ++i) untouched[i] = zeros[i] == 0x00 && ones[i] == 0xFF;
    return zeros;
}

template <typename Call>
std::vector<unsigned char> Session::probe(std::size_t size, ByteMask& untouched, Call call) {
    const std::vector<unsigned char> before = context_;
    bool first = true;
    return probeOutput(size, untouched, [&](unsigned char* out) {
        if (!first) context_ = before;
        first = false;
        call(out);
    });
}

template <typename Out, typename Call>
void Session::probedNumber(std::string_view label, Call call) {
    ByteMask untouched;
    const std::vector<unsigned char> out = probe(sizeof(Out), untouched, [&](unsigned char* field) {
        Out value;
        std::memcpy(&value, field, sizeof value);
        call(&value);
        std::memcpy(field, &value, sizeof value);
    });
    if (std::find(untouched.begin(), untouched.end(), false) == untouched.end()) {
        line(label, "untouched");
        return;
    }
    Out value;
    std::memcpy(&value, out.data(), sizeof value);
    number(label, value);
}

}  // namespace qmr_cli
