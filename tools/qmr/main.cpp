// qmr: call the library's exported functions from the command line.
//
//   qmr call [--charset CHARSET] NAME ARG...
//                          call one function and print what it leaves
//   qmr run FILE|-         run a script of calls, one per line
//   qmr demo               the tour of the library (examples/demo.qmr)
//   qmr help [NAME]        every export with its C prototype, or one
//   qmr help --list        NAME, a tab and the C prototype, one export a line
//
// Before the command, --show-characters or --escape chooses how texts of
// a multibyte set are shown: as their characters (the default on a
// terminal) or as escapes (the default otherwise).
#include <exception>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "cli.h"
#include "demo_script.h"

namespace {

constexpr char kUsage[] =
    "usage: qmr [--show-characters|--escape] COMMAND...\n"
    "       qmr call NAME ARG...   call one exported function and print its outputs\n"
    "       qmr call --charset CHARSET NAME ARG...\n"
    "                              the same under a character set (listed below)\n"
    "       qmr run FILE           run a script of calls (FILE '-' reads standard input)\n"
    "       qmr demo               a short tour of the library\n"
    "       qmr help [NAME]        every export with its C prototype, or one in full\n"
    "       qmr help --list        NAME<tab>PROTOTYPE for every export\n"
    "Texts of a multibyte character set are shown as their characters on a terminal, as escapes\n"
    "otherwise: --show-characters or --escape before the command chooses.\n";

// The character sets, with the code pages each stands for.
void listCharsets() {
    std::cout << "\nCharacter sets (call --charset NAME, the script line charset NAME, the environment's "
                 "QMR_CHARSET)\n";
    for (const qmr_cli::CharsetName& set : qmr_cli::charsetNames()) {
        std::cout << "  " << std::left << std::setw(8) << set.name << ' ' << set.standsFor << '\n';
    }
    std::cout << "  The library starts in the set QMR_CHARSET names, else in system on Windows and single "
                 "elsewhere.\n";
}

constexpr qmr_cli::Family kFamilies[] = {
    qmr_cli::Family::Engine,  qmr_cli::Family::Dates,   qmr_cli::Family::Times,
    qmr_cli::Family::Storage, qmr_cli::Family::Text,    qmr_cli::Family::Numeric,
    qmr_cli::Family::Lists,   qmr_cli::Family::Queue,   qmr_cli::Family::Driver,
};

int help(const std::vector<std::string>& words) {
    if (words.size() > 2) {
        std::cerr << "qmr: help takes at most one NAME\n";
        return 2;
    }
    if (words.size() == 2 && words[1] == "--list") {
        for (const qmr_cli::Family family : kFamilies) {
            if (family == qmr_cli::Family::Driver) continue;
            for (const qmr_cli::Command* command : qmr_cli::commandsOf(family)) {
                std::cout << command->name << '\t' << command->prototype << '\n';
            }
        }
        return 0;
    }
    if (words.size() == 2) {
        const qmr_cli::Command* command = qmr_cli::findCommand(words[1]);
        if (command == nullptr) {
            std::cerr << "qmr: unknown function '" << qmr_cli::printable(words[1]) << "' (see 'qmr help')\n";
            return 2;
        }
        std::cout << command->prototype << "\n  " << command->summary << "\n  qmr call " << command->name;
        if (*command->usage != '\0') std::cout << ' ' << command->usage;
        std::cout << '\n';
        return 0;
    }
    std::cout << kUsage;
    listCharsets();
    for (const qmr_cli::Family family : kFamilies) {
        std::cout << '\n' << qmr_cli::familyTitle(family) << '\n';
        for (const qmr_cli::Command* command : qmr_cli::commandsOf(family)) {
            if (family == qmr_cli::Family::Driver) {
                std::cout << "  " << command->name << (*command->usage ? " " : "") << command->usage << "\n      "
                          << command->summary << '\n';
            } else {
                std::cout << "  " << command->prototype << "\n      " << command->summary << '\n';
            }
        }
    }
    return 0;
}

int run(const std::string& path) {
    if (path == "-") return qmr_cli::runScript(std::cin, "-", std::cout, std::cerr);
    std::error_code error;
    std::ifstream file;
    if (!std::filesystem::is_directory(path, error)) file.open(path);
    if (!file.is_open()) {
        std::cerr << "qmr: cannot open '" << qmr_cli::printable(path) << "'\n";
        return 2;
    }
    return qmr_cli::runScript(file, path, std::cout, std::cerr);
}

int call(const std::vector<std::string>& words) {
    if (words.size() < 2) {
        std::cerr << "qmr: call needs a function name (see 'qmr help')\n";
        return 2;
    }
    qmr_cli::Session session(std::cout);
    std::size_t first = 1;
    if (words[1] == "--charset") {
        if (words.size() < 4) throw qmr_cli::UsageError("call --charset takes CHARSET NAME ARG...");
        qmr_cli::useCharset(words[2]);
        first = 3;
    }
    qmr_cli::invoke(session, std::vector<std::string>(words.begin() + static_cast<std::ptrdiff_t>(first), words.end()));
    return 0;
}

int dispatch(const std::vector<std::string>& words) {
    const std::string& verb = words[0];
    if (verb == "help" || verb == "--help" || verb == "-h") return help(words);
    if (verb == "demo") {
        if (words.size() != 1) throw qmr_cli::UsageError("demo takes no arguments");
        std::istringstream script(qmr_cli::kDemoScript);
        return qmr_cli::runScript(script, "demo", std::cout, std::cerr);
    }
    if (verb == "run") {
        if (words.size() != 2) throw qmr_cli::UsageError("run takes one FILE ('-' for standard input)");
        return run(words[1]);
    }
    if (verb == "call") return call(words);
    std::cerr << "qmr: unknown command '" << qmr_cli::printable(verb) << "' (see 'qmr help')\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    bool characters = qmr_cli::outputIsTerminal();
    if (!words.empty() && (words[0] == "--show-characters" || words[0] == "--escape")) {
        characters = words[0] == "--show-characters";
        words.erase(words.begin());
    }
    qmr_cli::showCharacters(characters);
    if (words.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        return dispatch(words);
    } catch (const std::exception& e) {  // a UsageError, or storage for an argument
        std::cout.flush();
        std::cerr << "qmr: " << e.what() << '\n';
        return 2;
    }
}
