// Decimal rounding where 10^places, or the value times it, leaves the
// double range: the result is still the value rounded, never NaN or an
// infinity made from a finite value (found by fuzzing).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "qmr/qmr.h"

namespace {

bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

TEST(Qmrd2decExtremeScale, StaysTheValueRounded) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* id;
        double value;
        int places;
        double expected;
    } cases[] = {
        {"x1 zero, scale beyond the range", 0.0, 400, 0.0},
        {"x2 one, scale beyond the range", 1.25, 400, 1.25},
        {"x3 scaled value beyond the range", 1e300, 10, 1e300},
        {"x4 largest double, 1 place", -1.7976931348623157e308, 1, -1.7976931348623157e308},
        {"x5 scale 0 removes every digit", 5.0, -400, 0.0},
        {"x6 negative, scale 0", -5.0, -400, -0.0},
        {"x7 infinity", inf, -400, inf},
        {"x9 NaN", std::numeric_limits<double>::quiet_NaN(), 2, std::numeric_limits<double>::quiet_NaN()},
    };
    for (const auto& c : cases) {
        for (int mode : {0, 1}) {
            EXPECT_TRUE(same(qmrd2dec(c.value, c.places, mode), c.expected)) << c.id << " mode " << mode;
        }
        EXPECT_TRUE(same(qmrd2dc1(c.value, c.places, 1, 12), c.expected)) << c.id << " (qmrd2dc1)";
    }
}

}  // namespace
