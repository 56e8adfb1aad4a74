// The export list as the build states it: the names of the ELF version
// script and the entries of the Windows .def file.
#pragma once

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace qmr_test {

inline std::string slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline std::string trim(std::string s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Names between "global:" and "local:", comments removed.
inline std::set<std::string> versionScriptNames() {
    std::string text = slurp(QMR_EXPORT_MAP);
    for (std::size_t open; (open = text.find("/*")) != std::string::npos;) {
        text.erase(open, text.find("*/", open) + 2 - open);
    }
    const auto from = text.find("global:") + 7;
    std::istringstream body(text.substr(from, text.find("local:") - from));
    std::set<std::string> names;
    for (std::string entry; std::getline(body, entry, ';');) {
        if (!trim(entry).empty()) names.insert(trim(entry));
    }
    return names;
}

// The EXPORTS of the .def file; an entry "ALIAS = TARGET" maps the alias,
// any other entry maps the name to itself.
inline std::map<std::string, std::string> defEntries() {
    std::istringstream in(slurp(QMR_EXPORT_DEF));
    std::map<std::string, std::string> entries;
    bool inExports = false;
    for (std::string line; std::getline(in, line);) {
        line = trim(line.substr(0, line.find(';')));
        if (line.empty()) continue;
        if (line == "EXPORTS") {
            inExports = true;
            continue;
        }
        if (!inExports) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            entries[line] = line;
        } else {
            entries[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
        }
    }
    return entries;
}

}  // namespace qmr_test
