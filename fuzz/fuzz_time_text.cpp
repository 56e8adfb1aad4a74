// QMRFTMEC, the time typed as 8 characters of text.  Input: the initial
// state of the context's request (a date an earlier call left there), the
// output's initial value, then the text.
//
// Checks: only " 141" and " 142"; the output keeps its value after a
// failure; a stored time is one the engine accepts; a picture from the
// twelve is never refused as a picture when written plainly; not a byte
// beyond the 8 characters is read.
#include "calendar.h"
#include "fuzz_support.h"

using namespace qmr_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::int32_t staleDate = in.byte() < 0x10 ? in.i32() : 0;
    const std::int32_t initial = in.i32();
    const std::string typed = in.fixed(8);
    Guarded text(8);
    std::memcpy(text.data(), typed.data(), 8);

    Context context;
    putLe32(context.bytes() + QMR_CC_DATE_REQUEST + QMR_DR_DATE, staleDate);
    std::int32_t time = initial;
    QMRFTMEC(nullptr, nullptr, context.get(), reinterpret_cast<const char*>(text.data()), &time);
    QMR_FUZZ_CHECK(text.intact() && text.text() == typed, "the text changed");
    QMR_FUZZ_CHECK(context.name() == "QMRFTMEC", "name");
    const std::string error = context.error();
    QMR_FUZZ_CHECK(oneOf(error, {"", " 141", " 142"}), "message '%s'", error.c_str());
    if (!error.empty()) {
        QMR_FUZZ_CHECK(time == initial, "output written after a failure");
        return 0;
    }
    QMR_FUZZ_CHECK(engineTime(time) && engineDate(staleDate), "stored time %d (date %d)", time, staleDate);
    // hh:mm:ss of the stored time, typed again, gives the same time.
    char again[9];
    std::snprintf(again, sizeof again, "%02d:%02d:%02d", time / 10000, time / 100 % 100, time % 100);
    Context second;
    std::int32_t retyped = -1;
    QMRFTMEC(nullptr, nullptr, second.get(), again, &retyped);
    QMR_FUZZ_CHECK(second.error().empty() && retyped == time, "%s read back as %d (%s)", again, retyped,
                   second.error().c_str());
    return 0;
}
