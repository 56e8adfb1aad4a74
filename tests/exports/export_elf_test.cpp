// The ELF shared library (native and 32-bit Linux) exports exactly the
// names of the export list, and the names that share a function share its
// address.
#if !defined(_WIN32)
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include "exports/export_list.h"

namespace {

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
    const std::string image = qmr_test::slurp(QMR_SHARED_LIBRARY);
    if (image.size() > EI_CLASS && image[EI_CLASS] == ELFCLASS64) {
        return dynamicSymbols<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym, bind64>(image);
    }
    return dynamicSymbols<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym, bind32>(image);
}

TEST(ExportTable, LibraryExportsExactlyTheList) {
    EXPECT_EQ(exportedByLibrary(), qmr_test::versionScriptNames());
}

TEST(ExportTable, EveryNameResolvesAndAliasesShareAnAddress) {
    void* library = dlopen(QMR_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const auto& [name, target] : qmr_test::defEntries()) {
        void* address = dlsym(library, name.c_str());
        EXPECT_NE(address, nullptr) << name;
        EXPECT_EQ(address, dlsym(library, target.c_str())) << name << " = " << target;
    }
    dlclose(library);
}

}  // namespace
#endif
