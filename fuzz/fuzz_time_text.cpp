// QMRFTMEC, the time typed as 8 characters, against the model of
// tests/support/datetime_model.h, after a call that left a date in the
// context's request (the engine checks it too).  Input: the date (4
// bytes), then the text.
#include "fuzz_support.h"
#include "support/datetime_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qmr_fuzz::Input in(data, size);
    const std::int32_t staleDate = in.i32();
    const std::string problem = qmr_model::checkTimeText(in.fixed(8), staleDate);
    QMR_FUZZ_CHECK(problem.empty(), "%s", problem.c_str());
    return 0;
}
