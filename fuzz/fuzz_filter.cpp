// QMRFLTR over a group shaped by the input, against the rules
// (tests/support/list_models.h): the message, every flag and every other
// byte of the group, also when the input fails an allocation.  Input: see
// fuzz_group.h; the text is the expression.
#include "fuzz_group.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return qmr_fuzz::checkListInput(QMRFLTR, data, size);
}
