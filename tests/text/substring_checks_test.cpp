// The substring functions refuse a source outside its range before they
// look at the start: " 130" and a blank result.
#include "text/text_test.h"

namespace {

using namespace qmr_test;

TEST(Substring, RefusesASourceOutsideItsRange) {
    for (const auto& [maximum, length] : {std::pair{0, 0}, std::pair{4097, 2}, std::pair{4, 5}, std::pair{4, -1}}) {
        TestContext ctx;
        Field source(maximum, "abcd", length), out(3, "xyz");
        OptionalNumber start{' ', 0, 9}, count{'N', 0, 0};
        QMRFSSTR(nullptr, nullptr, ctx.get(), source.get(), &start, &count, out.get());
        EXPECT_EQ(ctx.error(), " 130") << maximum << ' ' << length;
        EXPECT_EQ(out.bytes(), "   ") << maximum << ' ' << length;
    }
}

}  // namespace
