// QMRFTSC, the timestamp of a TextField, with every field maximum: the
// same text is read with each maximum from 1 to past the layout, and with
// 0, negative and oversized ones.  The field holds exactly as many text
// bytes as its maximum allows (none for a maximum outside 1..4096), so a
// read past the maximum stops the run.
//
// Checks: " 130" exactly for a maximum outside 1..4096, otherwise only
// " 137", " 139", " 141"; the 21 output bytes are written only on success,
// as 20 digits and a NUL; and the maximum acts as the end of the text:
// reading with maximum m gives what reading the first m bytes followed by
// blanks gives with the whole layout's length.
#include <algorithm>

#include "calendar.h"
#include "fuzz_support.h"

using namespace qmr_fuzz;

namespace {

constexpr std::int32_t kLayout = 26;  // YYYY-MM-DD-HH.MM.SS.ffffff

struct Outcome {
    std::string error;
    std::string stamp;  // 21 bytes
};

Outcome construct(std::int32_t maximum, const std::string& text) {
    const std::size_t room = maximum >= 1 && maximum <= QMR_TF_LARGEST_MAX ? std::size_t(maximum) : 0;
    Guarded field(QMR_TF_TEXT + room);
    putLe32(field.data() + QMR_TF_MAX_LENGTH, maximum);
    putLe32(field.data() + QMR_TF_LENGTH, static_cast<std::int32_t>(text.size() ^ 0x5A5A));  // never read
    for (std::size_t i = 0; i < room; ++i) field.data()[QMR_TF_TEXT + i] = i < text.size() ? text[i] : 'x';
    const std::string sent = field.text();
    Guarded stamp(QMR_TIMESTAMP_SIZE, '#');
    Context context;
    QMRFTSC(nullptr, nullptr, context.get(), reinterpret_cast<const TextField*>(field.data()),
            reinterpret_cast<char*>(stamp.data()));
    QMR_FUZZ_CHECK(field.intact() && stamp.intact() && field.text() == sent, "outside the output");
    QMR_FUZZ_CHECK(context.name() == "QMRFTSC ", "name");
    return {context.error(), stamp.text()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::string text = in.bytes(40);
    std::vector<std::int32_t> maxima = {0, -1, QMR_TF_LARGEST_MAX, QMR_TF_LARGEST_MAX + 1, INT32_MIN, INT32_MAX};
    for (std::int32_t m = 1; m <= std::max<std::int32_t>(kLayout + 2, static_cast<std::int32_t>(text.size()) + 1); ++m) {
        maxima.push_back(m);
    }
    for (std::int32_t maximum : maxima) {
        const Outcome got = construct(maximum, text);
        if (maximum < 1 || maximum > QMR_TF_LARGEST_MAX) {
            QMR_FUZZ_CHECK(got.error == " 130" && got.stamp == std::string(21, '#'), "maximum %d gave '%s'", maximum,
                           got.error.c_str());
            continue;
        }
        QMR_FUZZ_CHECK(oneOf(got.error, {"", " 137", " 139", " 141"}), "message '%s'", got.error.c_str());
        if (!got.error.empty()) {
            QMR_FUZZ_CHECK(got.stamp == std::string(21, '#'), "output written after a failure");
        } else {
            QMR_FUZZ_CHECK(got.stamp[20] == '\0' && std::all_of(got.stamp.begin(), got.stamp.begin() + 20,
                                                                 [](char c) { return c >= '0' && c <= '9'; }),
                           "stamp '%s'", got.stamp.c_str());
            const std::int32_t date = std::stoi(got.stamp.substr(0, 8));
            const std::int32_t time = std::stoi(got.stamp.substr(8, 6));
            QMR_FUZZ_CHECK(engineDate(date) && engineTime(time), "stamp '%s' not valid", got.stamp.c_str());
        }
        std::string cut = text.substr(0, std::min<std::size_t>(text.size(), std::size_t(maximum)));
        if (std::size_t(maximum) > text.size()) cut.resize(std::min<std::size_t>(std::size_t(maximum), kLayout), 'x');
        cut.resize(kLayout, ' ');
        const Outcome whole = construct(kLayout, cut);
        QMR_FUZZ_CHECK(whole.error == got.error && whole.stamp == got.stamp, "maximum %d: '%s' but '%s' in full",
                       maximum, got.error.c_str(), whole.error.c_str());
    }
    return 0;
}
