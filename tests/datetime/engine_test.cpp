// The date request engine, request by request, through QMRDAT2 on real
// 108-byte blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

#include "date_builtins.h"

namespace {

constexpr char kBadRequest[] = "Invalid request code.";
constexpr char kBadDate[] = "Invalid date input.";
constexpr char kBadTime[] = "Invalid time specified.";
constexpr char kBadStamp[] = "Invalid timestamp input.";

DateRequest run(char code, int32_t date, int32_t time, char dateForm = '0', char timeForm = '0',
                const char* stamp = "", int32_t dayOffset = 0) {
    DateRequest r;
    std::memset(&r, 0, sizeof r);
    r.requestCode = code;
    r.date = date;
    r.time = time;
    r.dateForm = dateForm;
    r.timeForm = timeForm;
    r.dayOffset = dayOffset;
    std::memcpy(r.timestampText, stamp, std::min<std::size_t>(std::strlen(stamp), 20));
    QMRDAT2(nullptr, nullptr, &r);
    return r;
}

std::string outcome(const DateRequest& r) { return r.returnCode == 0 ? "" : std::string(r.messageText); }

TEST(Engine, ValidateAndConvert) {
    const struct {
        char code;
        int32_t date, time;
        char dateForm, timeForm;
        const char* message;  // "" for success
        int32_t dateOut;
    } cases[] = {
        // '0': validate the date, then the time
        {'0', 0, 0, '0', '0', "", 0},                      {'0', 20260000, 0, '0', '0', "", 20260000},
        {'0', 20260431, 0, '0', '0', kBadDate, 20260431},  {'0', 20260230, 0, '0', '0', kBadDate, 20260230},
        {'0', 19000229, 0, '0', '0', kBadDate, 19000229},  {'0', 20261301, 0, '0', '0', kBadDate, 20261301},
        {'0', -20261204, 0, '0', '0', "", -20261204},      // read as 00000000
        {'0', 1260230, 0, '1', '0', kBadDate, 1260230},
        {'0', 0, 24000000, '0', '0', "", 0},               {'0', 0, 24000001, '0', '0', kBadTime, 0},
        {'0', 0, 12601000, '0', '0', kBadTime, 0},         {'0', 0, 12006000, '0', '0', kBadTime, 0},
        {'0', 0, 240001, '0', '2', kBadTime, 0},           {'0', 0, -1, '0', '2', kBadTime, 0},
        {'0', 0, 2400000, '0', '1', "", 0},                {'0', 0, 2400001, '0', '1', kBadTime, 0},
        {'0', 0, 42949673, '0', '2', kBadTime, 0},         // x100 would wrap to 4 in 32 bits
        {'0', 0, 429496730, '0', '1', kBadTime, 0},        // x10 likewise
        {'0', 20261204, 246000, '0', '2', kBadTime, 20261204},
        {'0', 20261232, 246000, '0', '2', kBadDate, 20261232},  // the date is checked first
        // '5': a date to the date form
        {'5', 20261204, 0, '1', '0', "", 1261204},         {'5', 20261204, 0, '2', '0', "", 261204},
        {'5', 20261204, 0, '0', '0', "", 20261204},        {'5', 15991231, 0, '1', '0', kBadDate, 15991231},
        {'5', 26000101, 0, '1', '0', kBadDate, 26000101},  {'5', 16500101, 0, '1', '0', "", 7500101},
        {'5', 0, 0, '1', '0', "", 0},                      // year 0 stays "0000"
        {'5', 20260230, 0, '0', '0', kBadDate, 20260230},  {'5', -5, 0, '0', '0', "", 0},
        // '4': a century form to the date form
        {'4', 1261204, 0, '0', '0', "", 20261204},         {'4', 9991231, 0, '0', '0', "", 18991231},
        {'4', 7000101, 0, '0', '0', "", 16000101},         {'4', 1260230, 0, '0', '0', kBadDate, 1260230},
        {'4', 81000000, 0, '0', '0', "", 19000101},        // beyond 8 digits: 19000101
        // codes that are no request
        {'2', 20261204, 0, '0', '0', kBadRequest, 20261204}, {'\0', 0, 0, '0', '0', kBadRequest, 0},
    };
    for (const auto& c : cases) {
        const DateRequest r = run(c.code, c.date, c.time, c.dateForm, c.timeForm);
        const std::string id = std::string(1, c.code) + " " + std::to_string(c.date) + " " + std::to_string(c.time);
        EXPECT_EQ(outcome(r), c.message) << id;
        EXPECT_EQ(r.returnCode, *c.message ? 8 : 0) << id;
        EXPECT_EQ(r.date, c.dateOut) << id;
        EXPECT_EQ(r.time, c.time) << id << ": only requests 1, 3, 6 and 7 replace the time";
    }
}

TEST(Engine, TimestampTextToDateAndTime) {
    const struct { const char* stamp; char dateForm; const char* message; int32_t date, time; } cases[] = {
        {"20261204134525999999", '0', "", 20261204, 134525}, {"20261204240000000000", '2', "", 261204, 240000},
        {"20261304134525000000", '0', kBadDate, 20261304, 999},  // date written before the check
        {"20261204240001000000", '0', kBadTime, 20261204, 240001},
        {"20261204136000000000", '0', kBadTime, 20261204, 136000},
        {"20261204135960000000", '0', kBadTime, 20261204, 135960}, {"", '0', kBadStamp, 0, 999},
        {"00000000000000000000", '0', "", 0, 0}, {"15991231000000000000", '1', kBadDate, 15991231, 0},
        {"2026120413452", '0', "", 20261204, 13452},  // slices stop at the first non-digit
    };
    for (const auto& c : cases) {
        const DateRequest r = run('6', 0, 999, c.dateForm, '0', c.stamp);
        EXPECT_EQ(outcome(r), c.message) << c.stamp;
        EXPECT_EQ(r.date, c.date) << c.stamp;
        EXPECT_EQ(r.time, c.time) << c.stamp;
    }
}

TEST(Engine, CurrentDateAndTime) {
    const date_test::FixedClock clock;
    for (const auto& [dateForm, timeForm, date, time] : {std::tuple{'0', '2', 20261204, 134525},
         std::tuple{'1', '1', 1261204, 1345256}, std::tuple{'2', '0', 261204, 13452560}}) {  // hundredths cut to tenths
        const DateRequest r = run('1', 0, 5, dateForm, timeForm);
        EXPECT_EQ(std::pair(r.date, r.time), std::pair(date, time)) << dateForm << timeForm;
    }
    for (const auto& [timeForm, time] : {std::pair{'2', 134525}, std::pair{'1', 1345250}, std::pair{'0', 13452500},
                                          std::pair{'x', 13452500}}) {
        const DateRequest r = run('7', 0, 0, '0', timeForm);
        EXPECT_EQ(std::string(r.timestampText, 20), "20261204134525670000");
        EXPECT_EQ(r.time, time) << timeForm;
        EXPECT_EQ(r.date, 20261204);
    }
    const date_test::FixedClock early(date_test::clockIn1599);
    const DateRequest r = run('1', 0, 0, '1', '2');
    EXPECT_EQ(outcome(r), kBadDate);
    EXPECT_EQ(r.time, 235959) << "the time is set before the century check fails";
}

TEST(Engine, CurrentDatePlusDays) {
    const date_test::FixedClock clock;
    const struct { int32_t offset; const char* message; int32_t date; } cases[] = {
        {0, "", 20261204},      {-739953, "", 10101},      {-739954, kBadDate, 0},   {2912105, "", 99991231},
        {2912106, kBadDate, 0}, {INT32_MAX, kBadDate, 0},  // no 32-bit overflow
    };
    for (const auto& c : cases) {
        const DateRequest r = run('3', 0, 0, '0', '2', "", c.offset);
        EXPECT_EQ(outcome(r), c.message) << c.offset;
        EXPECT_EQ(r.date, c.date) << c.offset;
        EXPECT_EQ(r.time, 134525) << c.offset;
    }
}

// Every request writes the whole work copy back: fields the engine does
// not use keep their bytes, and a successful request keeps the old message.
TEST(Engine, CarriesThroughWhatItDoesNotUse) {
    for (char code : {'0', '2', '4', '5', '6'}) {
        for (bool fail : {false, true}) {
            DateRequest r;
            std::memset(&r, 0x5A, sizeof r);
            r.requestCode = code;
            r.dateForm = '0';
            r.timeForm = '2';
            r.date = fail ? 20261232 : 20261204;
            r.time = 134525;
            r.reserved1 = 0x11223344;
            r.reserved2 = -7;
            std::memcpy(r.spare, "abY", 3);
            std::memcpy(r.timestampText, fail ? "20261232000000000000" : "20261204134525000000", 20);
            QMRDAT2(nullptr, nullptr, &r);
            EXPECT_EQ(r.reserved1, 0x11223344);
            EXPECT_EQ(r.reserved2, -7);
            EXPECT_EQ(r.dayOffset, 0x5A5A5A5A);
            EXPECT_EQ(std::string(r.spare, 3), "abY") << "the skip-validation byte rides in the spare bytes";
            const bool failed = fail || code == '2';
            EXPECT_EQ(r.returnCode, failed ? 8 : 0) << code;
            // Only the message and its terminator are written; success leaves it as it was.
            EXPECT_EQ(r.messageText[failed ? std::strlen(r.messageText) + 1 : 0], 0x5A) << code;
        }
    }
}

// The block is read as little-endian bytes, and QMRDATE is QMRDAT2.
TEST(Engine, ReadsTheBlockAsBytesUnderEitherName) {
    unsigned char block[QMR_DATE_REQUEST_SIZE] = {};
    const unsigned char date[4] = {0x4C, 0x2A, 0x35, 0x01};  // 0x01352A4C = 20261452: month 14
    std::memcpy(block + QMR_DR_DATE, date, 4);
    block[QMR_DR_REQUEST_CODE] = '5';
    block[QMR_DR_DATE_FORM] = '0';
    block[QMR_DR_RETURN_CODE] = 0x77;
    QMRDAT2(nullptr, nullptr, reinterpret_cast<DateRequest*>(block));
    EXPECT_EQ(qmr_test::le32(block + QMR_DR_DATE), 0x01352A4C);
    EXPECT_EQ(block[QMR_DR_RETURN_CODE], 8);
    EXPECT_EQ(block[QMR_DR_RETURN_CODE + 1], 0);

    DateRequest a = run('5', 20261204, 0, '1');
    DateRequest b = a;
    a.date = b.date = 20261204;
    QMRDAT2(nullptr, nullptr, &a);
    QMRDATE(nullptr, &b);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(b.date, 1261204);
}

}  // namespace
