// The date request engine, request by request, through QMRDAT2 on real
// 108-byte blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "datetime/clock.h"
#include "qmr/qmr.h"
#include "support/context.h"

namespace {

constexpr char kBadRequest[] = "Invalid request code.";
constexpr char kBadDate[] = "Invalid date input.";
constexpr char kBadTime[] = "Invalid time specified.";
constexpr char kBadStamp[] = "Invalid timestamp input.";

DateRequest blank() {
    DateRequest r;
    std::memset(&r, 0, sizeof r);
    return r;
}

DateRequest run(char code, int32_t date, int32_t time, char dateForm = '0', char timeForm = '0') {
    DateRequest r = blank();
    r.requestCode = code;
    r.date = date;
    r.time = time;
    r.dateForm = dateForm;
    r.timeForm = timeForm;
    QMRDAT2(nullptr, nullptr, &r);
    return r;
}

std::string outcome(const DateRequest& r) { return r.returnCode == 0 ? "" : std::string(r.messageText); }

struct Case {
    const char* id;
    char code;
    int32_t date;
    int32_t time;
    char dateForm;
    char timeForm;
    const char* message;  // "" for success
    int32_t dateOut;
};

TEST(Engine, ValidateRequest) {
    const Case cases[] = {
        {"0.1", '0', 0, 0, '0', '0', "", 0},
        {"0.2", '0', 20260000, 0, '0', '0', "", 20260000},
        {"0.3", '0', 20260200, 0, '0', '0', "", 20260200},
        {"0.4", '0', 20000229, 0, '0', '0', "", 20000229},
        {"0.5", '0', 20260230, 0, '0', '0', kBadDate, 20260230},
        {"0.6", '0', 19000229, 0, '0', '0', kBadDate, 19000229},
        {"0.7", '0', 20261131, 0, '0', '0', kBadDate, 20261131},
        {"0.8", '0', 20261301, 0, '0', '0', kBadDate, 20261301},
        {"0.9", '0', 20261232, 0, '0', '0', kBadDate, 20261232},
        {"0.10", '0', 123456789, 0, '0', '0', "", 123456789},  // 9 digits read as 00000000
        {"0.11", '0', -20261204, 0, '0', '0', "", -20261204},
        {"0.12", '0', 81000000, 0, '1', '0', "", 81000000},    // century form falls back to 19000101
        {"0.13", '0', 1260230, 0, '1', '0', kBadDate, 1260230},
        {"0.14", '0', 0, 24000000, '0', '0', "", 0},
        {"0.15", '0', 0, 24000001, '0', '0', kBadTime, 0},
        {"0.16", '0', 0, 12601000, '0', '0', kBadTime, 0},
        {"0.17", '0', 0, 12006000, '0', '0', kBadTime, 0},
        {"0.18", '0', 0, 240000, '0', '2', "", 0},
        {"0.19", '0', 0, 240001, '0', '2', kBadTime, 0},
        {"0.20", '0', 0, 2400000, '0', '1', "", 0},
        {"0.21", '0', 0, 2400001, '0', '1', kBadTime, 0},
        {"0.22", '0', 0, -1, '0', '2', kBadTime, 0},
        {"0.23", '0', 0, 42949673, '0', '2', kBadTime, 0},   // x100 would wrap to 4 in 32 bits
        {"0.24", '0', 0, 429496730, '0', '1', kBadTime, 0},  // x10 likewise
        {"0.25", '0', 20261204, 246000, '0', '2', kBadTime, 20261204},
        {"0.26", '0', 20261232, 246000, '0', '2', kBadDate, 20261232},  // the date is checked first
        {"5.1", '5', 20261204, 0, '1', '0', "", 1261204},
        {"5.2", '5', 20261204, 0, '2', '0', "", 261204},
        {"5.3", '5', 20261204, 0, '0', '0', "", 20261204},
        {"5.4", '5', 15991231, 0, '1', '0', kBadDate, 15991231},
        {"5.5", '5', 26000101, 0, '1', '0', kBadDate, 26000101},
        {"5.6", '5', 16500101, 0, '1', '0', "", 7500101},
        {"5.7", '5', 0, 0, '1', '0', "", 0},  // year 0 stays "0000"
        {"5.8", '5', 20260230, 0, '0', '0', kBadDate, 20260230},
        {"5.9", '5', -5, 0, '0', '0', "", 0},
        {"4.1", '4', 1261204, 0, '0', '0', "", 20261204},
        {"4.2", '4', 9991231, 0, '0', '0', "", 18991231},
        {"4.3", '4', 7000101, 0, '0', '0', "", 16000101},
        {"4.4", '4', 1261204, 0, '1', '0', "", 1261204},
        {"4.5", '4', 1261204, 0, '2', '0', "", 261204},
        {"4.6", '4', 1260230, 0, '0', '0', kBadDate, 1260230},
        {"4.7", '4', 81000000, 0, '0', '0', "", 19000101},
        {"r.1", '2', 20261204, 0, '0', '0', kBadRequest, 20261204},
        {"r.2", '8', 20261204, 0, '0', '0', kBadRequest, 20261204},
        {"r.3", '/', 0, 0, '0', '0', kBadRequest, 0},
        {"r.4", '\0', 0, 0, '0', '0', kBadRequest, 0},
        {"r.5", 'A', 0, 0, '0', '0', kBadRequest, 0},
    };
    for (const Case& c : cases) {
        const DateRequest r = run(c.code, c.date, c.time, c.dateForm, c.timeForm);
        EXPECT_EQ(outcome(r), c.message) << c.id;
        EXPECT_EQ(r.returnCode, *c.message ? 8 : 0) << c.id;
        EXPECT_EQ(r.date, c.dateOut) << c.id;
        EXPECT_EQ(r.time, c.time) << c.id << ": only requests 1, 3, 6 and 7 replace the time";
    }
}

DateRequest withTimestamp(const char* stamp, char dateForm = '0') {
    DateRequest r = blank();
    r.requestCode = '6';
    r.dateForm = dateForm;
    r.time = 999;
    std::memcpy(r.timestampText, stamp, std::strlen(stamp) < 20 ? std::strlen(stamp) : 20);
    QMRDAT2(nullptr, nullptr, &r);
    return r;
}

TEST(Engine, TimestampTextToDateAndTime) {
    struct {
        const char* id;
        const char* stamp;
        char dateForm;
        const char* message;
        int32_t date;
        int32_t time;
    } const cases[] = {
        {"6.1", "20261204134525000000", '0', "", 20261204, 134525},
        {"6.2", "20261204134525999999", '1', "", 1261204, 134525},
        {"6.3", "20261204240000000000", '2', "", 261204, 240000},
        {"6.4", "20261304134525000000", '0', kBadDate, 20261304, 999},  // date written before the check
        {"6.5", "20261204240001000000", '0', kBadTime, 20261204, 240001},
        {"6.6", "20261204136000000000", '0', kBadTime, 20261204, 136000},
        {"6.7", "20261204135960000000", '0', kBadTime, 20261204, 135960},
        {"6.8", "", '0', kBadStamp, 0, 999},
        {"6.9", "00000000000000000000", '0', "", 0, 0},
        {"6.10", "15991231000000000000", '1', kBadDate, 15991231, 0},
        {"6.11", "2026120413452", '0', "", 20261204, 13452},  // slices stop at the first non-digit
    };
    for (const auto& c : cases) {
        const DateRequest r = withTimestamp(c.stamp, c.dateForm);
        EXPECT_EQ(outcome(r), c.message) << c.id;
        EXPECT_EQ(r.date, c.date) << c.id;
        EXPECT_EQ(r.time, c.time) << c.id;
    }
}

qmr::ClockReading fixedClock() { return {2026, 12, 4, 13, 45, 25, 678}; }
qmr::ClockReading earlyClock() { return {1599, 12, 31, 23, 59, 59, 5}; }

class ClockRequests : public ::testing::Test {
protected:
    void SetUp() override { qmr::testing::setClock(fixedClock); }
    void TearDown() override { qmr::testing::setClock(nullptr); }
};

TEST_F(ClockRequests, CurrentDateAndTime) {
    EXPECT_EQ(run('1', 0, 5, '0', '2').time, 134525);
    EXPECT_EQ(run('1', 0, 5, '0', '1').time, 1345256);
    EXPECT_EQ(run('1', 0, 5, '0', '0').time, 13452560);  // hundredths cut to tenths
    EXPECT_EQ(run('1', 0, 0, '0', '2').date, 20261204);
    EXPECT_EQ(run('1', 0, 0, '1', '2').date, 1261204);
    EXPECT_EQ(run('1', 0, 0, '2', '2').date, 261204);
    qmr::testing::setClock(earlyClock);
    const DateRequest r = run('1', 0, 0, '1', '2');
    EXPECT_EQ(outcome(r), kBadDate);
    EXPECT_EQ(r.time, 235959) << "the time is set before the century check fails";
}

TEST_F(ClockRequests, CurrentDatePlusDays) {
    struct {
        int32_t offset;
        const char* message;
        int32_t date;
    } const cases[] = {
        {0, "", 20261204},      {28, "", 20270101},          {-739953, "", 10101},
        {-739954, kBadDate, 0}, {2912105, "", 99991231},     {2912106, kBadDate, 0},
        {INT32_MAX, kBadDate, 0}, {INT32_MIN, kBadDate, 0}, {-30, "", 20261104},
    };
    for (const auto& c : cases) {
        DateRequest r = blank();
        r.requestCode = '3';
        r.timeForm = '2';
        r.dayOffset = c.offset;
        QMRDAT2(nullptr, nullptr, &r);
        EXPECT_EQ(outcome(r), c.message) << c.offset;
        EXPECT_EQ(r.date, c.date) << c.offset;
        EXPECT_EQ(r.time, 134525) << c.offset;
    }
}

TEST_F(ClockRequests, CurrentTimestamp) {
    const struct {
        char timeForm;
        int32_t time;
    } cases[] = {{'2', 134525}, {'1', 1345250}, {'0', 13452500}, {'x', 13452500}};
    for (const auto& c : cases) {
        const DateRequest r = run('7', 0, 0, '0', c.timeForm);
        EXPECT_EQ(std::string(r.timestampText, 20), "20261204134525670000");
        EXPECT_EQ(r.time, c.time) << c.timeForm;
        EXPECT_EQ(r.date, 20261204);
    }
}

// Every request writes the whole work copy back: fields the engine does
// not use keep their bytes, and a successful request keeps the old message.
TEST(Engine, CarriesThroughWhatItDoesNotUse) {
    for (char code : {'0', '2', '4', '5', '6'}) {
        for (bool fail : {false, true}) {
            DateRequest r = blank();
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
            if (failed) {
                const std::size_t n = std::strlen(r.messageText);
                EXPECT_EQ(r.messageText[n + 1], 0x5A) << "only the message and its terminator are written";
            } else {
                EXPECT_EQ(r.messageText[0], 0x5A) << "success leaves the message as it was";
            }
        }
    }
}

TEST(Engine, ReadsTheBlockAsLittleEndianBytes) {
    unsigned char block[QMR_DATE_REQUEST_SIZE] = {};
    const unsigned char date[4] = {0x4C, 0x2A, 0x35, 0x01};  // 0x01352A4C = 20261452
    std::memcpy(block + QMR_DR_DATE, date, 4);
    block[QMR_DR_REQUEST_CODE] = '5';
    block[QMR_DR_DATE_FORM] = '0';
    block[QMR_DR_RETURN_CODE] = 0x77;
    QMRDAT2(nullptr, nullptr, reinterpret_cast<DateRequest*>(block));
    EXPECT_EQ(qmr_test::le32(block + QMR_DR_DATE), 0x01352A4C);
    EXPECT_EQ(block[QMR_DR_RETURN_CODE], 8);  // 20261452: month 14
    EXPECT_EQ(block[QMR_DR_RETURN_CODE + 1], 0);
}

TEST(Engine, QmrdateIsQmrdat2) {
    DateRequest a = blank();
    a.requestCode = '5';
    a.dateForm = '1';
    a.date = 20261204;
    DateRequest b = a;
    QMRDAT2(nullptr, nullptr, &a);
    QMRDATE(nullptr, &b);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(b.date, 1261204);
}

// The embedded request of a call context is an ordinary request block; a
// date left invalid there fails the next time validation, and vice versa.
TEST(Engine, StaleFieldsAreValidatedAgain) {
    qmr_test::TestContext context;
    DateRequest* r = context.request();
    r->requestCode = '0';
    r->timeForm = '2';
    r->time = 246000;  // left by an earlier time call
    r->dateForm = '0';
    r->date = 20261204;
    QMRDAT2(nullptr, nullptr, r);
    EXPECT_EQ(outcome(*r), kBadTime);
    r->time = 0;
    QMRDAT2(nullptr, nullptr, r);
    EXPECT_EQ(r->returnCode, 0);
}

}  // namespace
