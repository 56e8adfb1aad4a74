// QMRFLTR over a generated group: the expression parser, the tree
// building, the compiled evaluation and the hiding of flags.  Input: the
// allocation to fail, the group (fuzz_group.h), then the expression.
//
// Checks: only the documented messages; a refused call, or one whose
// storage failed (" 153"), leaves every array as it was; an accepted one
// changes nothing but shown flags, each into 'H', and running it again
// changes nothing more.
#include "fuzz_group.h"
#include "platform/alloc.h"

using namespace qmr_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const long failAt = allocationToFail(in);
    FuzzGroup group(in);
    const std::string expression = in.rest();  // cut at an embedded NUL, as the host's text would be
    const std::vector<std::string> before = group.snapshot();

    Context context;
    qmr::testing::failAllocation(failAt);
    QMRFLTR(nullptr, nullptr, context.get(), group.descriptor(), expression.c_str());
    const bool storageFailed = failAt > 0 && qmr::testing::allocationCount() >= failAt;
    qmr::testing::failAllocation(0);

    QMR_FUZZ_CHECK(group.intact(), "a guard changed");
    QMR_FUZZ_CHECK(context.name() == "QMRFLTR ", "name %s", context.name().c_str());
    const std::string error = context.error();
    QMR_FUZZ_CHECK(oneOf(error, {"", " 153", " 154", " 155", " 156"}), "message '%s'", error.c_str());
    QMR_FUZZ_CHECK(!storageFailed || error == " 153", "storage failed, message '%s'", error.c_str());
    const std::vector<std::string> after = group.snapshot();
    if (!error.empty()) {
        QMR_FUZZ_CHECK(after == before, "a refused filter changed the group (%s)", error.c_str());
        return 0;
    }
    // Only the first byte of each selection element may change, from a
    // shown flag to 'H'.
    const std::size_t s = group.columnIndex(group.selectionField());
    const std::size_t stride = group.field(group.selectionField()).elementSize;
    for (std::size_t c = 0; c < after.size(); ++c) {
        if (c == s) continue;
        QMR_FUZZ_CHECK(after[c] == before[c], "array %zu changed", c);
    }
    for (std::size_t i = 0; i < before[s].size(); ++i) {
        if (after[s][i] == before[s][i]) continue;
        QMR_FUZZ_CHECK(i % stride == 0 && after[s][i] == 'H' && before[s][i] != 'H', "flag byte %zu: '%c' to '%c'", i,
                       before[s][i], after[s][i]);
    }
    // Once more: nothing changes, unless the flags are also a compared
    // column (the selection field is one of the group's own fields).
    if (!group.flagsOfTheirOwn()) return 0;
    Context again;
    QMRFLTR(nullptr, nullptr, again.get(), group.descriptor(), expression.c_str());
    QMR_FUZZ_CHECK(again.error().empty() && group.snapshot() == after, "a second run changed the flags");
    return 0;
}
