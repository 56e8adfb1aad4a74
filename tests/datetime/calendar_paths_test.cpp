// The unsigned fast paths of the date built-ins give what the host's
// signed formulas give, for every month and day a stored date can hold.
#include <gtest/gtest.h>

#include <random>

#include "datetime/date_duration.h"
#include "datetime/day_number.h"
#include "datetime/weekday.h"

namespace {

TEST(CalendarPaths, AgreeWithTheHostFormulas) {
    const std::int32_t years[] = {0, 1, 2, 99, 100, 101, 399, 400, 1600, 1900, 2000, 2026, 4600, 9998, 9999};
    for (std::int32_t y : years) {
        for (std::int32_t m = 0; m <= 99; ++m) {
            for (std::int32_t d = 0; d <= 99; ++d) {
                const std::int32_t date = y * 10000 + m * 100 + d;
                ASSERT_EQ(qmr::dayNumberInCalendar(date), qmr::dayNumber(date)) << date;
                ASSERT_EQ(qmr::weekdayInCalendar(date), qmr::weekdayOf(date)) << date;
            }
        }
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    for (int i = 0; i < 1000000; ++i) {
        const std::int32_t date = any(random);
        ASSERT_EQ(qmr::dayNumberInCalendar(date), qmr::dayNumber(date)) << date;
        ASSERT_EQ(qmr::weekdayInCalendar(date), qmr::weekdayOf(date)) << date;
    }
}

}  // namespace
