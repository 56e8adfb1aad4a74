// qmr: call the library's exported functions from the command line.
//
//   qmr call [--charset CHARSET] NAME ARG...
//                          call one function and print what it leaves
//   qmr run FILE|-         run a script of calls, one per line
//   qmr demo               a tour of the library
//   qmr help [NAME]        list the functions, or show one
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "demo_script.h"

namespace {

constexpr char kUsage[] =
    "usage: qmr call NAME ARG...   call one exported function and print its outputs\n"
    "       qmr call --charset CHARSET NAME ARG...\n"
    "                              the same under a character set (single, sosi, sjis, gbk, big5, tis620)\n"
    "       qmr run FILE           run a script of calls (FILE '-' reads standard input)\n"
    "       qmr demo               a short tour of the library\n"
    "       qmr help [NAME]        list every export, or show one with its C prototype\n";

int help(const std::vector<std::string>& words) {
    if (words.size() > 1) {
        const qmr_cli::Command* command = qmr_cli::findCommand(words[1]);
        if (command == nullptr) {
            std::cerr << "qmr: unknown function '" << words[1] << "'\n";
            return 2;
        }
        std::cout << command->prototype << "\n  " << command->summary << "\n  qmr call " << command->name << ' '
                  << command->usage << '\n';
        return 0;
    }
    std::cout << kUsage << "\nfunctions:\n";
    for (const qmr_cli::Command* command : qmr_cli::allCommands()) {
        std::cout << "  " << command->name << std::string(10 - std::min<std::size_t>(9, std::string(command->name).size()), ' ')
                  << command->summary << '\n';
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string& verb = words[0];
    if (verb == "help" || verb == "--help" || verb == "-h") return help(words);
    if (verb == "demo") {
        std::istringstream script(qmr_cli::kDemoScript);
        return qmr_cli::runScript(script, "demo", std::cout, std::cerr);
    }
    if (verb == "run") {
        if (words.size() != 2) {
            std::cerr << "qmr: run takes one FILE ('-' for standard input)\n";
            return 2;
        }
        if (words[1] == "-") return qmr_cli::runScript(std::cin, "-", std::cout, std::cerr);
        std::ifstream file(words[1]);
        if (!file) {
            std::cerr << "qmr: cannot open '" << words[1] << "'\n";
            return 2;
        }
        return qmr_cli::runScript(file, words[1], std::cout, std::cerr);
    }
    if (verb == "call") {
        if (words.size() < 2) {
            std::cerr << "qmr: call needs a function name (see 'qmr help')\n";
            return 2;
        }
        qmr_cli::Session session(std::cout);
        try {
            std::size_t first = 1;
            if (words[1] == "--charset") {
                if (words.size() < 4) throw qmr_cli::UsageError("call --charset takes CHARSET NAME ARG...");
                qmr_cli::useCharset(words[2]);
                first = 3;
            }
            qmr_cli::invoke(session, std::vector<std::string>(words.begin() + static_cast<std::ptrdiff_t>(first), words.end()));
        } catch (const qmr_cli::UsageError& e) {
            std::cout.flush();
            std::cerr << "qmr: " << e.what() << '\n';
            return 2;
        }
        return 0;
    }
    std::cerr << "qmr: unknown command '" << verb << "'\n" << kUsage;
    return 2;
}
