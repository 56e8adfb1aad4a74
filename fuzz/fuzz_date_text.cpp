// QMRFDTEC, the date typed as 10 characters of text, and the date
// request engine (QMRDAT2) on any request block.  Input: a mode byte,
// then the text (or the block).
//
// QMRFDTEC: only its three messages; the output keeps its value after a
// failure and when the error flag was already set; a stored date is one
// the engine accepts; not a byte beyond the 10 characters is read.
// QMRDAT2: return code 0 or 8 with one of the four messages; request '0'
// (forms yyyymmdd and hhmmss) accepts exactly the valid dates and times;
// the fields the engine does not own keep their bytes.
#include <algorithm>

#include "calendar.h"
#include "fuzz_support.h"

using namespace qmr_fuzz;

namespace {

void dateText(Input& in) {
    const std::uint8_t flags = in.byte();
    const std::int32_t initial = in.i32();
    Guarded text(10);
    const std::string typed = in.fixed(10);
    std::memcpy(text.data(), typed.data(), 10);
    Context context;
    if (flags & 1) context.setByte(QMR_CC_ERROR_FLAG, 'Y');
    std::int32_t date = initial;
    QMRFDTEC(nullptr, nullptr, context.get(), reinterpret_cast<const char*>(text.data()), &date);
    QMR_FUZZ_CHECK(text.intact() && text.text() == typed, "the text changed");
    QMR_FUZZ_CHECK(context.name() == "QMRFDTEC", "name");
    const std::string error = context.error();
    QMR_FUZZ_CHECK((flags & 1) || oneOf(error, {"", " 137", " 138", " 139"}), "message '%s'", error.c_str());
    if ((flags & 1) || !error.empty()) {
        QMR_FUZZ_CHECK(date == initial, "output written after a failure: %d", date);
    } else {
        QMR_FUZZ_CHECK(engineDate(date), "stored an invalid date %d", date);
    }
}

void engine(Input& in) {
    Guarded block(QMR_DATE_REQUEST_SIZE);
    const std::string bytes = in.fixed(QMR_DATE_REQUEST_SIZE, '\0');
    std::memcpy(block.data(), bytes.data(), bytes.size());
    unsigned char* b = block.data();
    b[QMR_DR_REQUEST_CODE] = static_cast<unsigned char>("0013456700"[static_cast<unsigned char>(bytes[0]) % 10]);
    if (bytes[1] & 1) b[QMR_DR_REQUEST_CODE] = static_cast<unsigned char>(bytes[2]);
    const std::string sent(reinterpret_cast<const char*>(b), QMR_DATE_REQUEST_SIZE);
    QMR_FUZZ_CHECK(QMRDAT2(nullptr, nullptr, reinterpret_cast<DateRequest*>(b)) == 0, "QMRDAT2 returns 0");
    QMR_FUZZ_CHECK(block.intact(), "a guard changed");
    const std::string after = block.text();
    std::int16_t returnCode;
    std::memcpy(&returnCode, b + QMR_DR_RETURN_CODE, 2);
    QMR_FUZZ_CHECK(returnCode == 0 || returnCode == 8, "return code %d", returnCode);
    const auto same = [&](std::size_t at, std::size_t n) { return sent.compare(at, n, after, at, n) == 0; };
    QMR_FUZZ_CHECK(same(QMR_DR_RESERVED1, 12) && same(QMR_DR_REQUEST_CODE, 3) && same(QMR_DR_SPARE, 3),
                   "a field the engine does not own changed");
    const char request = static_cast<char>(b[QMR_DR_REQUEST_CODE]);
    if (request != '7') QMR_FUZZ_CHECK(same(QMR_DR_TIMESTAMP_TEXT, QMR_DR_TIMESTAMP_SIZE), "timestamp text changed");
    if (returnCode == 8) {
        const std::string message(reinterpret_cast<const char*>(b + QMR_DR_MESSAGE_TEXT));
        QMR_FUZZ_CHECK(oneOf(message, {"Invalid request code.", "Invalid date input.", "Invalid time specified.",
                                       "Invalid timestamp input."}),
                       "message '%s'", message.c_str());
    } else {
        QMR_FUZZ_CHECK(same(QMR_DR_MESSAGE_TEXT, QMR_DR_MESSAGE_SIZE), "message text changed on success");
    }
    if (request == '0' && b[QMR_DR_DATE_FORM] != '1' && b[QMR_DR_TIME_FORM] == '2') {
        const std::int32_t date = le32(b + QMR_DR_DATE);
        const std::int32_t time = le32(b + QMR_DR_TIME);
        QMR_FUZZ_CHECK((returnCode == 0) == (engineDate(date) && engineTime(time)), "request '0' on %d %d gave %d",
                       date, time, returnCode);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    if (in.byte() < 0xC0) {
        dateText(in);
    } else {
        engine(in);
    }
    return 0;
}
