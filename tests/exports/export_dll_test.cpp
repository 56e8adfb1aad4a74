// qmr.dll loads into a Windows process, every name of the export list
// resolves, and each alias resolves to its target's address.  That the
// DLL exports nothing else is checked on its export table by
// cmake/check_dll_exports.cmake (`check_exports`).
#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include "exports/export_list.h"

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

}  // namespace
#endif
