// QMRFTSC, the timestamp of a TextField, against the model of
// tests/support/datetime_model.h with every field maximum: 1 to past the
// layout and past the text, and 0, negative and oversized ones.  The
// field holds exactly as many text bytes as its maximum allows, the
// output lies between guard bytes.  Input: the text.
#include <algorithm>
#include <vector>

#include "fuzz_support.h"
#include "support/datetime_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qmr_fuzz::Input in(data, size);
    const std::string text = in.bytes(40);
    std::vector<std::int32_t> maxima = {0, -1, 4096, 4097, INT32_MIN, INT32_MAX};
    for (std::int32_t m = 1; m <= std::max<std::int32_t>(28, std::int32_t(text.size()) + 1); ++m) maxima.push_back(m);
    std::string problem;
    for (const std::int32_t maximum : maxima) problem += qmr_model::checkTimestampText(text, maximum);
    QMR_FUZZ_CHECK(problem.empty(), "%s", problem.c_str());
    return 0;
}
