// QMRFDTEC, the date typed as 10 characters, against the model of
// tests/support/datetime_model.h (the Julian forms and the engine's
// calendar from std::chrono), with the clock fixed in 2026; and the date
// request engine QMRDAT2 on any request block (qmr_model::checkEngine).
// Input: a mode byte; below 0xC0 a flag byte (bit 0: the error flag is
// already set) and the text, else the 108 bytes of the block.
#include "datetime/clock.h"
#include "fuzz_support.h"
#include "support/datetime_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool clockFixed =
        (qmr::testing::setClock([] { return qmr::ClockReading{2026, 12, 4, 13, 45, 25, 678}; }), true);
    qmr_fuzz::Input in(data, size);
    std::string problem;
    if (clockFixed && in.byte() < 0xC0) {
        const bool flagSet = in.byte() & 1;
        problem = qmr_model::checkDateText(in.fixed(10), flagSet, 20);
    } else {
        problem = qmr_model::checkEngine(
            reinterpret_cast<const unsigned char*>(in.fixed(QMR_DATE_REQUEST_SIZE, '\0').data()));
    }
    QMR_FUZZ_CHECK(problem.empty(), "%s", problem.c_str());
    return 0;
}
