// The input of the filter and sort fuzz targets, and its check against
// the model of the call's rules (tests/support/list_models.h): the
// allocation of the call to fail (a first byte of 192 or more names one),
// then the repeating group: the occurrence count (up to 48, or about one,
// two or three evaluation blocks), one to eight fields of any type code
// (0 and 12 are unknown codes), where the selection flags are (usually a
// field of their own) and the seed of the rest (the values, and now and
// then a null column); then the text.
#pragma once

#include "fuzz_support.h"
#include "support/list_models.h"

namespace qmr_fuzz {

inline int checkListInput(qmr_test::ListFunction function, const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::uint8_t failAt = in.byte(), countByte = in.byte();
    const std::uint32_t blocks = 1024 * (1 + countByte % 3) + countByte % 5 - 2;
    std::vector<std::int32_t> types(1 + in.below(8));
    for (std::int32_t& type : types) type = in.byte() % 13;
    const auto selection = std::min(in.below(16), static_cast<std::uint32_t>(types.size()));
    std::mt19937 random(in.u32());
    qmr_test::ListGroup group(countByte < 240 ? countByte % 49 : blocks, types, selection, random);
    for (FieldDescriptor& field : group.fields) field.data = random() % 16 ? field.data : nullptr;
    const std::string text = in.rest().c_str();  // cut at a NUL, as the host's text would be
    const std::string wrong = qmr_test::checkListCall(function, group, text, failAt >= 192 ? failAt - 191 : 0);
    QMR_FUZZ_CHECK(wrong.empty(), "%s", wrong.c_str());
    return 0;
}

}  // namespace qmr_fuzz
