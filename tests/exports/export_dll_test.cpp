// qmr.dll loads into a Windows process, every name of the export list
// resolves, and each alias resolves to its target's address.  That the
// DLL exports nothing else is checked on its export table by
// cmake/check_dll_exports.cmake (`check_exports`).
#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "exports/export_list.h"
#include "qmr/qmr.h"

namespace {

TEST(ExportTable, EveryNameResolvesAndAliasesShareAnAddress) {
    HMODULE library = LoadLibraryA(QMR_SHARED_LIBRARY);
    ASSERT_NE(library, nullptr) << "LoadLibrary failed: " << GetLastError();
    for (const auto& [name, target] : qmr_test::defEntries()) {
        const FARPROC address = GetProcAddress(library, name.c_str());
        EXPECT_NE(address, nullptr) << name;
        EXPECT_EQ(address, GetProcAddress(library, target.c_str())) << name << " = " << target;
    }
    EXPECT_NE(FreeLibrary(library), 0);
}

// Where the pointer-sized members of the descriptors lie: the host's own
// 24- and 20-byte records on 32-bit Windows, natural alignment on 64-bit.
struct Layout {
    std::size_t group, occurrenceState, selectionField, fields;
    std::size_t field, typeCode, elementSize, data;
};
constexpr Layout kLayout = sizeof(void*) == 4 ? Layout{24, 12, 16, 20, 20, 8, 12, 16}
                                              : Layout{40, 16, 24, 32, 32, 16, 20, 24};

// An export of the loaded DLL as the function qmr.h declares (through
// void(*)(), the cast between function types that loses nothing).
template <typename Function>
Function find(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

template <typename T>
void put(std::vector<unsigned char>& record, std::size_t at, T value) {
    ASSERT_LE(at + sizeof value, record.size());
    std::memcpy(&record[at], &value, sizeof value);
}

// The records whose layout depends on the pointer width, written byte by
// byte as the host writes them and handed to the loaded DLL: a group of
// two fields that QMRFLTR filters (its selection flags are the second
// field, so the field descriptor's size and every member's offset
// matter), and a CMCB whose 4-byte anchor slot carries the queue between
// calls with nothing written past it.
TEST(ExportTable, TheDllReadsTheHostRecordsOfItsPointerWidth) {
    HMODULE library = LoadLibraryA(QMR_SHARED_LIBRARY);
    ASSERT_NE(library, nullptr) << "LoadLibrary failed: " << GetLastError();
    const auto filter = find<decltype(&QMRFLTR)>(library, "QMRFLTR");
    const auto queue = find<decltype(&QMDDAQUE)>(library, "QMDDAQUE");
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
    put(group, kLayout.occurrenceState, static_cast<void*>(nullptr));
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
    std::uint32_t handle = 0;
    std::memcpy(&handle, &cmcb[QMR_CMCB_PAIR_HANDLE], 4);
    EXPECT_GE(handle, 0x100000u);
    cmcb[QMR_CMCB_REQUEST] = 'N';
    std::memset(&cmcb[QMR_CMCB_PAIR_ASSOCIATED], ' ', 12);
    EXPECT_EQ(queue(nullptr, nullptr, cmcb.data(), static_cast<void*>(nullptr)), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&cmcb[QMR_CMCB_PAIR_ASSOCIATED]), 12), "ASC001REL001");
    EXPECT_EQ(queue(nullptr, nullptr, cmcb.data(), static_cast<void*>(nullptr)), 4) << "past the last: released";
    EXPECT_EQ(std::vector<unsigned char>(cmcb.end() - 4, cmcb.end()), std::vector<unsigned char>(4, 0xA5));
    EXPECT_NE(FreeLibrary(library), 0);
}

}  // namespace
#endif
