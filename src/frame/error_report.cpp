// ErrorReport: the one place a built-in records a failure in its caller's
// call context.
#include <cstring>

#include "frame/call_context.h"

namespace qmr {

void ErrorReport(void*, void*, CallContext* context, const char* facility, MessageNumber number) noexcept {
    unsigned char* bytes = bytesOf(context);
    bytes[QMR_CC_ERROR_FLAG] = 'Y';
    std::memcpy(bytes + QMR_CC_FACILITY, facility, 2);
    std::memcpy(bytes + QMR_CC_MESSAGE_NUMBER, number, 4);
}

}  // namespace qmr
