// The storage-format conversions against the model of
// tests/support/storage_model.h (strtol, snprintf and the twelve-hour
// layout table): every date and time writer on a value, and every reader
// and timestamp writer on a text.  Input: the value (4 bytes), then the
// text (26 bytes).  Sources are heap fields of exactly their length,
// outputs lie between guard bytes.
#include "fuzz_support.h"
#include "support/storage_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qmr_fuzz::Input in(data, size);
    const std::int32_t value = in.i32();
    const std::string problem = qmr_model::checkValue(value) + qmr_model::checkText(in.fixed(26));
    QMR_FUZZ_CHECK(problem.empty(), "%s", problem.c_str());
    return 0;
}
