// The export list: the ELF version script and the Windows .def file name
// the same functions, and every alias names a listed function.  What the
// built library exports is checked per platform (export_elf_test.cpp,
// export_dll_test.cpp).
#include <gtest/gtest.h>

#include "exports/export_list.h"

namespace {

TEST(ExportTable, VersionScriptAndDefFileListTheSameNames) {
    const auto entries = qmr_test::defEntries();
    std::set<std::string> defNames;
    for (const auto& [name, target] : entries) {
        defNames.insert(name);
        EXPECT_TRUE(entries.count(target)) << name << " aliases an unknown " << target;
    }
    EXPECT_EQ(qmr_test::versionScriptNames(), defNames);
    EXPECT_FALSE(defNames.empty());
}

}  // namespace
