// Time and timestamp component functions, called as a host calls them,
// and the way they share the call context's date request with the date
// functions.
#include <gtest/gtest.h>

#include <cstring>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "qmr/qmr.h"
#include "support/context.h"

namespace {

using qmr_test::TestContext;

constexpr int32_t kUntouched = 0x5A5A5A5A;  // what the output held before the call
constexpr int32_t kBlanks = 0x20202020;     // four blank bytes

// A 20-character timestamp with the given time and microseconds parts.
std::string stamp(const char* hhmmss, const char* micros = "000000") {
    return std::string("20261204") + hhmmss + micros;
}

struct Call {
    const char* name;                                            // as stamped
    std::function<int32_t(TestContext&, const std::string&)> run;  // the output, widened
};

// Each validating function with its input given as text: a time number
// for the first, a timestamp for the others.
int32_t asTime(const std::string& input) { return static_cast<int32_t>(std::stol(input)); }

template <void (*F)(void*, void*, CallContext*, const qmr_int32*, qmr_int16*)>
int32_t timeTo16(TestContext& c, const std::string& input) {
    const int32_t time = asTime(input);
    qmr_int16 out[2] = {0x5A5A, 0x5A5A};
    F(nullptr, nullptr, c.get(), &time, out);
    EXPECT_EQ(out[1], 0x5A5A) << "wrote past its 16-bit output";
    return out[0];
}

template <void (*F)(void*, void*, CallContext*, const char*, qmr_int16*)>
int32_t stampTo16(TestContext& c, const std::string& input) {
    qmr_int16 out[2] = {0x5A5A, 0x5A5A};
    F(nullptr, nullptr, c.get(), input.data(), out);
    EXPECT_EQ(out[1], 0x5A5A) << "wrote past its 16-bit output";
    return out[0];
}

template <void (*F)(void*, void*, CallContext*, const char*, qmr_int32*)>
int32_t stampTo32(TestContext& c, const std::string& input) {
    int32_t out = kUntouched;
    F(nullptr, nullptr, c.get(), input.data(), &out);
    return out;
}

int32_t numberToTime(TestContext& c, const std::string& input) {
    const int32_t number = asTime(input);
    int32_t out = kUntouched;
    QMRFNUMT(nullptr, nullptr, c.get(), &number, &out);
    return out;
}

const std::map<std::string, Call>& validating() {
    static const std::map<std::string, Call> calls = {
        {"HOUR", {"QMRFHOUR", timeTo16<QMRFHOUR>}}, {"MIN", {"QMRFMIN ", timeTo16<QMRFMIN>}},
        {"SEC", {"QMRFSEC ", timeTo16<QMRFSEC>}},   {"HRTS", {"QMRFHRTS", stampTo16<QMRFHRTS>}},
        {"MITS", {"QMRFMITS", stampTo16<QMRFMITS>}}, {"SCTS", {"QMRFSCTS", stampTo16<QMRFSCTS>}},
        {"MICR", {"QMRFMICR", stampTo32<QMRFMICR>}}, {"TMTS", {"QMRFTMTS", stampTo32<QMRFTMTS>}},
        {"NUMT", {"QMRFNUMT", numberToTime}},
    };
    return calls;
}

TEST(TimeComponents, ValidateThroughTheEngine) {
    const struct {
        const char* id;
        const char* function;
        std::string input;
        const char* error;  // "" for success
        int32_t output;     // also after a failure: the value set on entry
    } cases[] = {
        {"h.1", "HOUR", "134525", "", 13},
        {"h.2", "HOUR", "240000", "", 24},       // 24:00:00 is a time
        {"h.3", "HOUR", "0", "", 0},             // never examined
        {"h.4", "HOUR", "235960", " 141", 0},    // 60 seconds
        {"h.5", "HOUR", "246000", " 141", 0},
        {"h.6", "HOUR", "-1", " 141", 0},
        {"m.1", "MIN", "134525", "", 45},
        {"m.2", "MIN", "126000", " 141", 0},
        {"s.1", "SEC", "134525", "", 25},
        {"s.2", "SEC", "134599", " 141", 0},
        {"ts.1", "HRTS", stamp("134525"), "", 13},
        {"ts.2", "MITS", stamp("134525"), "", 45},
        {"ts.3", "HRTS", stamp("      "), "", 0},         // blank time is 0
        {"ts.4", "HRTS", stamp("   1  "), "", 0},         // 00:00:01
        {"ts.5", "HRTS", stamp("246000"), " 141", 0},
        {"ts.6", "MITS", stamp("-00001"), " 141", 0},
        {"ts.7", "SCTS", stamp("13x525"), "", 13},        // a slice stops at a non-digit
        {"ts.8", "HRTS", "XXXXXXXX134525XXXXXX", "", 13},  // the date is not looked at
        {"us.1", "MICR", stamp("134525", "000123"), "", 123},
        {"us.2", "MICR", stamp("134525", "      "), "", 0},
        {"us.3", "MICR", stamp("134525", "-12345"), "", -12345},  // never validated
        {"us.4", "MICR", stamp("246000", "000123"), " 141", 0},
        {"t.1", "TMTS", stamp("134525"), "", 134525},
        {"t.2", "TMTS", stamp("235960"), " 141", 0},
        {"n.1", "NUMT", "134525", "", 134525},
        {"n.2", "NUMT", "246000", " 141", kBlanks},
        {"n.3", "NUMT", "-5", " 141", kBlanks},
    };
    for (const auto& c : cases) {
        TestContext context;
        const Call& call = validating().at(c.function);
        EXPECT_EQ(call.run(context, c.input), c.output) << c.id;
        EXPECT_EQ(context.error(), c.error) << c.id;
        EXPECT_EQ(context.name(), call.name) << c.id;
        if (*c.error) {
            EXPECT_EQ(context.facility(), "RQ") << c.id;
        }
        const DateRequest& r = *context.request();
        EXPECT_EQ(r.requestCode, '0') << c.id;
        EXPECT_EQ(r.timeForm, '2') << c.id;
    }
}

TEST(TimeComponents, PlainValuesNeitherValidateNorFail) {
    const struct {
        const char* id;
        void (*function)(void*, void*, CallContext*, qmr_int32, qmr_int32*);
        const char* name;
        int32_t time;
        int32_t output;
    } cases[] = {
        {"hrn.1", QMRFHRN, "QMRFHRN ", 134525, 13},
        {"hrn.2", QMRFHRN, "QMRFHRN ", -10000, -1},  // truncating division
        {"hrn.3", QMRFHRN, "QMRFHRN ", INT32_MIN, -214748},
        {"minn.1", QMRFMINN, "QMRFMINN", 134525, 45},
        {"minn.2", QMRFMINN, "QMRFMINN", -134525, -45},
        {"secn.1", QMRFSECN, "QMRFSECN", -5, -5},
        {"secn.2", QMRFSECN, "QMRFSECN", INT32_MAX, 47},
    };
    for (const auto& c : cases) {
        TestContext context;
        context.request()->date = 20261232;  // an invalid date would fail any engine call
        int32_t out = kUntouched;
        c.function(nullptr, nullptr, context.get(), c.time, &out);
        EXPECT_EQ(out, c.output) << c.id;
        EXPECT_EQ(context.name(), c.name) << c.id;
        EXPECT_FALSE(context.failed()) << c.id;
        EXPECT_EQ(context.request()->requestCode, 0) << c.id << ": the engine is not asked";
    }
    for (const int32_t time : {0, 246000, -1, INT32_MIN, INT32_MAX}) {
        TestContext context;
        int32_t out = kUntouched;
        QMRFTNUM(nullptr, nullptr, context.get(), &time, &out);
        EXPECT_EQ(out, time);
        EXPECT_EQ(context.name(), "QMRFTNUM");
        EXPECT_FALSE(context.failed());
    }
}

// The functions store only the time, the request code and the time form
// in the date request, so whatever date the previous call left there is
// validated with them, and the date functions in turn validate the time
// the time functions leave.
TEST(TimeComponents, ShareTheDateRequestWithEarlierCalls) {
    TestContext context;
    const int32_t valid = 134525;
    qmr_int16 hour = 0;

    // A date check refused 2001-02-30 and left it in the block.
    TextField* field = static_cast<TextField*>(std::malloc(8 + 10));
    field->maxLength = 10;
    field->length = 10;
    std::memcpy(field->text, "2001-02-30", 10);
    char timestamp[21] = {};
    QMRFTSC(nullptr, nullptr, context.get(), field, timestamp);
    ASSERT_EQ(context.error(), " 139");
    context.clearError();
    QMRFHOUR(nullptr, nullptr, context.get(), &valid, &hour);
    EXPECT_EQ(context.error(), " 141") << "a valid time fails after a date call left an invalid date";
    EXPECT_EQ(hour, 0);

    // Every validating function sees it, until a call stores a good date.
    for (const auto& [key, call] : validating()) {
        context.clearError();
        call.run(context, key == "HOUR" || key == "MIN" || key == "SEC" || key == "NUMT" ? "134525" : stamp("134525"));
        EXPECT_EQ(context.error(), " 141") << call.name;
    }
    std::memcpy(field->text, "2001-02-28", 10);
    context.clearError();
    QMRFTSC(nullptr, nullptr, context.get(), field, timestamp);
    ASSERT_FALSE(context.failed());
    QMRFHOUR(nullptr, nullptr, context.get(), &valid, &hour);
    EXPECT_FALSE(context.failed());
    EXPECT_EQ(hour, 13);

    // A failing time function leaves its time; a date check that follows
    // fails on it although its own date is good.
    const int32_t invalid = 246000;
    QMRFMIN(nullptr, nullptr, context.get(), &invalid, &hour);
    ASSERT_EQ(context.error(), " 141");
    context.clearError();
    QMRFTSC(nullptr, nullptr, context.get(), field, timestamp);
    EXPECT_EQ(context.error(), " 139");

    // The timestamp duration's input date check likewise.
    context.clearError();
    context.setText(QMR_CC_DUR_TIMESTAMP, "20010228000000000000");
    context.setByte(QMR_CC_DUR_DAYS_SELECTED, 'Y');
    context.setInt32At(QMR_CC_DUR_DAYS, 1);
    QMRFSDUR(nullptr, nullptr, context.get());
    EXPECT_EQ(context.error(), " 137");
    std::free(field);
}

// A host may pass one field as both input and output.
TEST(TimeComponents, InputIsReadBeforeTheOutputIsSet) {
    TestContext context;
    int32_t field = 134525;
    QMRFNUMT(nullptr, nullptr, context.get(), &field, &field);
    EXPECT_EQ(field, 134525);
    EXPECT_FALSE(context.failed());
    QMRFTNUM(nullptr, nullptr, context.get(), &field, &field);
    EXPECT_EQ(field, 134525);
}

}  // namespace
