// The export table: the shared library exports exactly the names of the
// export list, the ELF version script and the Windows .def file agree,
// and the names that share a function share its address.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string trim(std::string s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Names between "global:" and "local:", comments removed.
std::set<std::string> versionScriptNames() {
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

// The EXPORTS of the .def file; an entry "ALIAS = TARGET" maps the alias.
std::map<std::string, std::string> defEntries() {
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

// Defined global symbols of the library's dynamic symbol table.
template <typename Ehdr, typename Shdr, typename Sym, unsigned char (*Bind)(unsigned char)>
std::set<std::string> dynamicSymbols(const std::string& image) {
    const auto* header = reinterpret_cast<const Ehdr*>(image.data());
    const auto* sections = reinterpret_cast<const Shdr*>(image.data() + header->e_shoff);
    std::set<std::string> names;
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM) continue;
        const char* strings = image.data() + sections[sections[i].sh_link].sh_offset;
        const auto* symbols = reinterpret_cast<const Sym*>(image.data() + sections[i].sh_offset);
        for (std::size_t k = 0; k < sections[i].sh_size / sizeof(Sym); ++k) {
            const Sym& s = symbols[k];
            const unsigned bind = Bind(s.st_info);
            if (s.st_shndx == SHN_UNDEF || s.st_shndx == SHN_ABS || (bind != STB_GLOBAL && bind != STB_WEAK)) continue;
            names.insert(strings + s.st_name);
        }
    }
    return names;
}

unsigned char bind64(unsigned char info) { return ELF64_ST_BIND(info); }
unsigned char bind32(unsigned char info) { return ELF32_ST_BIND(info); }

std::set<std::string> exportedByLibrary() {
    const std::string image = slurp(QMR_SHARED_LIBRARY);
    if (image.size() > EI_CLASS && image[EI_CLASS] == ELFCLASS64) {
        return dynamicSymbols<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym, bind64>(image);
    }
    return dynamicSymbols<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym, bind32>(image);
}

TEST(ExportTable, VersionScriptAndDefFileListTheSameNames) {
    std::set<std::string> defNames;
    for (const auto& [name, target] : defEntries()) {
        defNames.insert(name);
        EXPECT_TRUE(defEntries().count(target)) << name << " aliases an unknown " << target;
    }
    EXPECT_EQ(versionScriptNames(), defNames);
    EXPECT_FALSE(defNames.empty());
}

TEST(ExportTable, LibraryExportsExactlyTheList) { EXPECT_EQ(exportedByLibrary(), versionScriptNames()); }

TEST(ExportTable, EveryNameResolvesAndAliasesShareAnAddress) {
    void* library = dlopen(QMR_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const auto& [name, target] : defEntries()) {
        void* address = dlsym(library, name.c_str());
        EXPECT_NE(address, nullptr) << name;
        EXPECT_EQ(address, dlsym(library, target.c_str())) << name << " = " << target;
    }
    dlclose(library);
}

}  // namespace
