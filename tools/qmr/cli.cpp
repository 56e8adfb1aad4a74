#include "cli.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <istream>
#include <map>
#include <ostream>
#include <sstream>

namespace qmr_cli {
namespace {

struct Entry {
    const Command* command;
    Family family;
};

std::map<std::string, Entry, std::less<>>& registry() {
    static std::map<std::string, Entry, std::less<>> commands;
    return commands;
}

std::vector<Entry>& inOrder() {  // as each family's table lists them
    static std::vector<Entry> entries;
    return entries;
}

constexpr std::size_t kContextSize = 4096;  // room beyond the minimum, as hosts allocate

}  // namespace

const char* familyTitle(Family family) {
    switch (family) {
    case Family::Engine: return "Date request engine and day numbers";
    case Family::Dates: return "Date built-ins";
    case Family::Times: return "Time and timestamp built-ins";
    case Family::Storage: return "Storage-format conversions";
    case Family::Text: return "Text";
    case Family::Numeric: return "Numeric text and decimal rounding";
    case Family::Lists: return "Repeating groups";
    case Family::Queue: return "Relationship queue";
    case Family::Driver: return "Driver commands (not exports): the order list of the script";
    }
    return "";
}

void registerCommands(Family family, const Command* commands, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        registry()[commands[i].name] = {&commands[i], family};
        inOrder().push_back({&commands[i], family});
    }
}

const Command* findCommand(std::string_view name) {
    const auto found = registry().find(name);
    return found == registry().end() ? nullptr : found->second.command;
}

std::vector<const Command*> commandsOf(Family family) {
    std::vector<const Command*> some;
    for (const Entry& entry : inOrder()) {
        if (entry.family == family) some.push_back(entry.command);
    }
    return some;
}

Session::Session(std::ostream& out) : out_(&out), context_(kContextSize, 0) { clearContext(); }

void Session::clearContext() {
    std::fill(context_.begin(), context_.end(), 0);
    std::fill_n(context_.begin() + QMR_CC_FUNCTION_NAME, 8, ' ');
    std::fill_n(context_.begin() + QMR_CC_FACILITY, 2, ' ');
    std::fill_n(context_.begin() + QMR_CC_MESSAGE_NUMBER, 4, ' ');
}

void Session::line(std::string_view label, std::string_view value) {
    *out_ << "  " << std::left << std::setw(10) << label << ' ' << value << '\n';
}

void Session::number(std::string_view label, long long value) { line(label, std::to_string(value)); }

void Session::text(std::string_view label, const void* bytes, std::size_t count, const ByteMask* untouched) {
    line(label, quoteBytes(bytes, count, untouched));
}

void Session::contextState() {
    std::string state = "name=" + quoteBytes(context_.data() + QMR_CC_FUNCTION_NAME, 8);
    if (context_[QMR_CC_ERROR_FLAG] == 'Y') {
        state += " error=Y facility=" + quoteBytes(context_.data() + QMR_CC_FACILITY, 2) +
                 " message=" + quoteBytes(context_.data() + QMR_CC_MESSAGE_NUMBER, 4);
    } else {
        state += " error=none";
    }
    line("context", state);
}

Args::Args(std::string_view function, std::vector<std::string> words)
    : function_(function), words_(std::move(words)) {}

void Args::fail(std::size_t i, std::string_view problem) const {
    throw UsageError(function_ + ": argument " + std::to_string(i + 1) + " '" + printable(words_.at(i)) + "' " +
                     std::string(problem));
}

std::int32_t Args::int32(std::size_t i) const {
    const std::string& w = word(i);
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(w.c_str(), &end, 10);
    if (w.empty() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX ||
        std::isspace(static_cast<unsigned char>(w[0]))) {
        fail(i, "is not a 32-bit integer");
    }
    return static_cast<std::int32_t>(v);
}

double Args::real(std::size_t i) const {
    const std::string& w = word(i);
    char* end = nullptr;
    const double v = std::strtod(w.c_str(), &end);
    if (w.empty() || *end != '\0' || std::isspace(static_cast<unsigned char>(w[0]))) fail(i, "is not a number");
    return v;
}

char Args::character(std::size_t i) const {
    const std::string t = text(i);
    if (t.size() != 1) fail(i, "is not a single character");
    return t[0];
}

std::string Args::text(std::size_t i) const {
    std::string_view w = word(i);
    if (!w.empty() && w.front() == '"') {
        if (w.size() < 2 || w.back() != '"') fail(i, "has no closing quote");
        w = w.substr(1, w.size() - 2);
    }
    try {
        return unescape(w);
    } catch (const UsageError& e) {
        fail(i, e.what());
    }
}

std::string printable(std::string_view word) {
    static const char hex[] = "0123456789abcdef";
    std::string shown;
    for (const char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            shown += {'\\', 'x', hex[byte >> 4], hex[byte & 15]};
        }
    }
    return shown;
}

std::string quoteBytes(const void* bytes, std::size_t count, const ByteMask* untouched) {
    static const char hex[] = "0123456789abcdef";
    const auto* b = static_cast<const unsigned char*>(bytes);
    std::string out = "\"";
    const auto touched = [&](std::size_t k) { return untouched == nullptr || !(*untouched)[k]; };
    TextShowing showing;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char c = b[i];
        std::size_t run = 0;  // the bytes up to the next untouched one, at most 4
        while (run < 4 && i + run < count && touched(i + run)) ++run;
        if (!touched(i)) {
            out += '~';
        } else if (const std::size_t used = showing.character(b + i, run, out)) {
            i += used - 1;
        } else if (c == '"' || c == '\\' || c == '~') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == 0) {
            out += "\\0";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out + '"';
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) throw UsageError("ends in a lone backslash");
        switch (text[i]) {
        case '\\':
        case '"':
        case '~':
            out += text[i];
            break;
        case '0':
            out += '\0';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'x': {
            const auto digit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
            if (i + 2 >= text.size() || !digit(text[i + 1]) || !digit(text[i + 2])) {
                throw UsageError("has a \\x escape without two hex digits");
            }
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
            break;
        }
        default:
            throw UsageError(std::string("has an unknown escape \\") + text[i]);
        }
    }
    return out;
}

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i == line.size()) break;
        std::string word;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
            if (line[i] != '"') {
                word += line[i++];
                continue;
            }
            const std::size_t open = i++;
            while (i < line.size() && line[i] != '"') i += line[i] == '\\' ? 2 : 1;
            if (i >= line.size()) throw UsageError("unterminated quote at column " + std::to_string(open + 1));
            word.append(line.substr(open, ++i - open));
        }
        words.push_back(std::move(word));
    }
    return words;
}

void invoke(Session& session, const std::vector<std::string>& words) {
    const Command* command = findCommand(words.at(0));
    if (command == nullptr) throw UsageError("unknown function '" + printable(words[0]) + "' (see 'qmr help')");
    const int given = static_cast<int>(words.size()) - 1;
    if (given < command->minArgs || (command->maxArgs >= 0 && given > command->maxArgs)) {
        throw UsageError(std::string(command->name) + ": expects " + command->usage + " (" + std::to_string(given) +
                         " argument" + (given == 1 ? "" : "s") + " given)");
    }
    const Args args(command->name, std::vector<std::string>(words.begin() + 1, words.end()));
    // Arguments are parsed inside run(): hold the output back so that a
    // malformed argument prints nothing but its error.
    std::ostringstream held;
    for (std::size_t i = 0; i < words.size(); ++i) held << (i ? " " : "> ") << words[i];
    held << '\n';
    std::ostream* const out = session.redirect(&held);
    try {
        command->run(session, args);
        if (command->usesContext) session.contextState();
    } catch (...) {
        session.redirect(out);
        throw;
    }
    session.redirect(out);
    *out << held.str();
}

void useCharset(const std::string& name) {
    if (qmr_use_charset(name.c_str()) != 0) {
        std::string known;
        for (const CharsetName& set : charsetNames()) known += (known.empty() ? "" : ", ") + std::string(set.name);
        throw UsageError("unknown character set '" + printable(name) + "' (" + known + ")");
    }
    charsetChosen(name.c_str());
}

namespace {

// "echo TEXT": TEXT as it stands, quotes and all; null when the line is
// not an echo line.
const char* echoText(const std::string& line) {
    const std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line.compare(at, 4, "echo") != 0) return nullptr;
    const std::size_t after = at + 4;
    if (after == line.size()) return "";
    if (line[after] != ' ' && line[after] != '\t') return nullptr;
    return line.c_str() + after + 1;
}

void runLine(Session& session, const std::string& line, std::ostream& out) {
    if (const char* text = echoText(line)) {
        out << text << '\n';
        return;
    }
    const std::vector<std::string> words = splitWords(line);
    if (words.empty() || words[0][0] == '#') return;
    if (words[0] == "clear") {
        if (words.size() != 1) throw UsageError("clear takes no arguments");
        session.clearContext();
    } else if (words[0] == "charset") {
        if (words.size() != 2) throw UsageError("charset takes one NAME");
        useCharset(words[1]);
    } else {
        invoke(session, words);
    }
}

}  // namespace

int runScript(std::istream& in, std::string_view sourceName, std::ostream& out, std::ostream& errors) {
    Session session(out);
    std::string line;
    int number = 1;
    for (; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // a script saved with CRLF
        std::string problem;
        try {
            runLine(session, line, out);
            continue;
        } catch (const UsageError& e) {
            problem = e.what();
        } catch (const std::exception& e) {  // storage for an argument, say: the line, not the driver, fails
            problem = std::string("cannot be run: ") + e.what();
        }
        out.flush();
        errors << sourceName << ':' << number << ": " << problem << '\n';
        return 2;
    }
    if (in.bad() || !in.eof()) {
        out.flush();
        errors << sourceName << ':' << number << ": cannot be read\n";
        return 2;
    }
    return 0;
}

}  // namespace qmr_cli
