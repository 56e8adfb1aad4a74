// QMRGSEL and QMRSSEL: the whole truth table, every request on every flag
// byte.
#include <gtest/gtest.h>

#include <string>

#include "qmr/qmr.h"
#include "support/context.h"

namespace {

constexpr char kFlags[] = " *H-+<>A";  // the flags the table names

struct Row {
    const char* holds;    // QMRGSEL per flag of kFlags, '1' or '0'
    const char* becomes;  // QMRSSEL per flag of kFlags
};
const Row kRequests[] = {
    /* 1 shown */ {"11011111", " * -+<>A"},
    /* 2 hidden */ {"00100000", "HHHHHHHH"},
    /* 3 first mark */ {"00011000", "-+H-+---"},
    /* 4 no first mark */ {"11100111", " *H *<>A"},
    /* 5 selected */ {"01001011", "**H++>>*"},
    /* 6 not selected */ {"10110101", "  H--<<A"},
    /* 7 second mark */ {"00000110", "<>H<<<><"},
};

const Row kOutside = {"00000000", " *H-+<>A"};  // requests outside 1 to 7 do nothing

TEST(Selection, EveryRequestOnEveryFlagByte) {
    qmr_test::TestContext context;
    const std::string before = context.text(0, qmr_test::TestContext::kSize);
    for (unsigned request : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 0xFFFFFFFFu}) {
        const Row& row = request - 1 < 7 ? kRequests[request - 1] : kOutside;
        for (int byte = 0; byte < 256; ++byte) {
            const char flag = static_cast<char>(byte);
            const std::string named(kFlags);
            const std::size_t at = named.find(flag);
            // A byte the table does not name behaves as the blank flag.
            const std::size_t as = at == std::string::npos ? 0 : at;
            char expected = row.becomes[as];
            if (at == std::string::npos && expected == ' ') expected = flag;
            EXPECT_EQ(QMRGSEL(nullptr, nullptr, context.get(), static_cast<signed char>(flag), request),
                      row.holds[as] - '0')
                << "request " << request << " flag " << byte;
            char changed = flag;
            QMRSSEL(nullptr, nullptr, context.get(), &changed, request);
            EXPECT_EQ(changed, expected) << "request " << request << " flag " << byte;
        }
    }
    EXPECT_EQ(context.text(0, qmr_test::TestContext::kSize), before) << "the call context is left alone";
    QMRSSEL(nullptr, nullptr, context.get(), nullptr, 2);  // a null flag is ignored
}

}  // namespace
