// The export list and the shared library as a host loads it (dlopen, or
// LoadLibrary for qmr.dll): every name of the .def file resolves
// undecorated, each alias at its target's address, and the library reads
// the host's records of its pointer width.  The ELF library, linked with
// the version script, exports exactly the names of the .def file, so the
// two lists agree; that qmr.dll exports nothing else is checked on its
// export table by cmake/check_dll_exports.cmake (`check_exports`).
#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "qmr/qmr.h"

namespace {

// The EXPORTS of the .def file: each name to the one it aliases
// ("ALIAS = TARGET"), or to itself.
std::map<std::string, std::string> defEntries() {
    std::ifstream def(QMR_EXPORT_DEF);
    std::map<std::string, std::string> entries;
    bool exports = false;
    for (std::string line; std::getline(def, line);) {
        std::istringstream words(line.substr(0, line.find(';')));
        std::string name, equals, target;
        if (words >> name && exports) entries[name] = words >> equals >> target ? target : name;
        exports |= name == "EXPORTS";
    }
    return entries;
}

// An export of the shared library, loaded once as a host loads it; null
// when the library or the name is not found.
void (*exported(const char* name))() {
#if defined(_WIN32)
    static const HMODULE library = LoadLibraryA(QMR_SHARED_LIBRARY);
    return library ? reinterpret_cast<void (*)()>(GetProcAddress(library, name)) : nullptr;
#else
    static void* const library = dlopen(QMR_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    return library ? reinterpret_cast<void (*)()>(dlsym(library, name)) : nullptr;
#endif
}

TEST(ExportTable, EveryNameResolvesAndAliasesShareAnAddress) {
    const auto entries = defEntries();
    EXPECT_GT(entries.size(), 90u);
    for (const auto& [name, target] : entries) {
        EXPECT_TRUE(entries.count(target)) << name << " aliases an unknown " << target;
        EXPECT_NE(exported(name.c_str()), nullptr) << name;
        EXPECT_EQ(exported(name.c_str()), exported(target.c_str())) << name << " = " << target;
    }
}

#if !defined(_WIN32)
// The defined global names of the ELF library's dynamic symbol table (the
// library is of the test's own ELF class).
TEST(ExportTable, ElfLibraryExportsExactlyTheList) {
    std::ifstream file(QMR_SHARED_LIBRARY, std::ios::binary);
    const std::string image{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(image.size(), sizeof(ElfW(Ehdr)));
    const auto at = [&image](std::size_t offset) { return image.data() + offset; };
    const auto* header = reinterpret_cast<const ElfW(Ehdr)*>(at(0));
    const auto* sections = reinterpret_cast<const ElfW(Shdr)*>(at(header->e_shoff));
    std::set<std::string> names, listed;
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM) continue;
        const auto* symbols = reinterpret_cast<const ElfW(Sym)*>(at(sections[i].sh_offset));
        for (std::size_t k = 0; k < sections[i].sh_size / sizeof *symbols; ++k) {
            const bool defined = symbols[k].st_shndx != SHN_UNDEF && symbols[k].st_shndx != SHN_ABS;
            if (defined && symbols[k].st_info >> 4 != STB_LOCAL) {  // the binding, of either class
                names.insert(at(sections[sections[i].sh_link].sh_offset + symbols[k].st_name));
            }
        }
    }
    for (const auto& entry : defEntries()) listed.insert(entry.first);
    EXPECT_EQ(names, listed);
}
#endif

// Where the pointer-sized members of the descriptors lie: the host's own
// 24- and 20-byte records on 32 bits, natural alignment on 64 bits.
struct Layout {
    std::size_t group, selectionField, fields;
    std::size_t field, typeCode, elementSize, data;
};
constexpr Layout kLayout = sizeof(void*) == 4 ? Layout{24, 16, 20, 20, 8, 12, 16}
                                              : Layout{40, 24, 32, 32, 16, 20, 24};

template <typename T>
void put(std::vector<unsigned char>& record, std::size_t at, T value) {
    ASSERT_LE(at + sizeof value, record.size());
    std::memcpy(&record[at], &value, sizeof value);
}

// The records whose layout depends on the pointer width, written byte by
// byte as the host writes them and handed to the loaded library: a group
// of two fields that QMRFLTR filters (its selection flags are the second
// field, so the field descriptor's size and every member's offset
// matter; the occurrence state between them stays null), and a CMCB whose 4-byte anchor slot carries the queue between
// calls with nothing written past it.
TEST(ExportTable, TheLibraryReadsTheHostRecordsOfItsPointerWidth) {
    const auto filter = reinterpret_cast<decltype(&QMRFLTR)>(exported("QMRFLTR"));
    const auto queue = reinterpret_cast<decltype(&QMDDAQUE)>(exported("QMDDAQUE"));
    ASSERT_TRUE(filter && queue);

    std::int32_t amounts[3] = {5, 50, 500};
    char flags[3] = {' ', '*', ' '};
    std::vector<unsigned char> fields(2 * kLayout.field, 0), group(kLayout.group, 0);
    put(fields, kLayout.typeCode, std::int32_t{QMR_FIELD_LONG});
    put(fields, kLayout.elementSize, std::uint32_t{4});
    put(fields, kLayout.data, static_cast<void*>(amounts));
    put(fields, kLayout.field + kLayout.typeCode, std::int32_t{QMR_FIELD_TEXT});
    put(fields, kLayout.field + kLayout.elementSize, std::uint32_t{1});
    put(fields, kLayout.field + kLayout.data, static_cast<void*>(flags));
    put(group, 0, std::uint32_t{3});
    put(group, 4, std::uint32_t{2});
    put(group, kLayout.selectionField, std::uint32_t{1});
    put(group, kLayout.fields, static_cast<void*>(fields.data()));
    char context[QMR_CALL_CONTEXT_MIN_SIZE] = {};
    filter(nullptr, nullptr, reinterpret_cast<CallContext*>(context),
           reinterpret_cast<GroupDescriptor*>(group.data()), "1 > 10 AND 1 < 100");
    EXPECT_NE(context[QMR_CC_ERROR_FLAG], 'Y');
    EXPECT_EQ(std::string(flags, 3), "H*H");

    std::vector<unsigned char> cmcb(QMR_CMCB_PAIR_SIZE + 4, 0xA5);
    std::memset(&cmcb[QMR_CMCB_PAIR_HANDLE], 0, 4);
    std::memcpy(&cmcb[QMR_CMCB_PAIR_ASSOCIATED], "ASC001REL001", 12);
    unsigned char length[4] = {3, 0, 0, 0};
    char saved[] = "abc";
    cmcb[QMR_CMCB_REQUEST] = 'A';
    EXPECT_EQ(queue(nullptr, nullptr, cmcb.data(), length, saved, static_cast<void*>(nullptr)), 0);
    cmcb[QMR_CMCB_REQUEST] = 'N';
    std::memset(&cmcb[QMR_CMCB_PAIR_ASSOCIATED], ' ', 12);
    EXPECT_EQ(queue(nullptr, nullptr, cmcb.data(), static_cast<void*>(nullptr)), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&cmcb[QMR_CMCB_PAIR_ASSOCIATED]), 12), "ASC001REL001");
    EXPECT_EQ(queue(nullptr, nullptr, cmcb.data(), static_cast<void*>(nullptr)), 4) << "past the last: released";
    EXPECT_EQ(std::vector<unsigned char>(cmcb.end() - 4, cmcb.end()), std::vector<unsigned char>(4, 0xA5));
}

}  // namespace
