// Access to the host's call context block and the one reporting routine.
//
// Every built-in stamps its name first, then checks, computes and, on
// failure, reports once through ErrorReport and returns.  The view copies
// bytes in and out at the offsets qmr.h fixes; it never casts an offset
// to a struct pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/bytes.h"
#include "qmr/qmr.h"

namespace qmr {

// A function name as stamped into the context: exactly 8 characters,
// blank-padded.  Built from a literal so the length is checked at compile
// time: FunctionName{"QMRFDAY "}.
struct FunctionName {
    char text[8];
    template <std::size_t N>
    consteval FunctionName(const char (&name)[N]) : text{} {
        static_assert(N == 9, "a stamped function name is exactly 8 characters");
        for (std::size_t i = 0; i < 8; ++i) text[i] = name[i];
    }
};

class ContextView {
public:
    explicit ContextView(CallContext* context) noexcept : bytes_(bytesOf(context)) {}

    CallContext* context() const noexcept { return reinterpret_cast<CallContext*>(bytes_); }

    void stampName(const FunctionName& name) const noexcept {
        std::memcpy(bytes_ + QMR_CC_FUNCTION_NAME, name.text, 8);
    }

    bool errorFlagSet() const noexcept { return bytes_[QMR_CC_ERROR_FLAG] == 'Y'; }

    std::int32_t int32At(std::size_t offset) const noexcept { return loadLE32(bytes_ + offset); }
    void setInt32At(std::size_t offset, std::int32_t value) const noexcept { storeLE32(bytes_ + offset, value); }

    // A duration unit's 'Y' selection byte.
    bool selected(std::size_t offset) const noexcept { return bytes_[offset] == 'Y'; }

    bool skipValidation() const noexcept { return bytes_[QMR_CC_SKIP_VALIDATION] == 'Y'; }

    unsigned char* at(std::size_t offset) const noexcept { return bytes_ + offset; }

    // The embedded DateRequest, as the engine's entry point takes it.
    DateRequest* dateRequest() const noexcept {
        return reinterpret_cast<DateRequest*>(bytes_ + QMR_CC_DATE_REQUEST);
    }

private:
    unsigned char* bytes_;
};

// A four-character message number such as " 137" (the QMR_MSG_* texts).
using MessageNumber = const char*;

// Records a failure: error flag 'Y', the 2-character facility and the
// 4-character message number.  Looks at nothing else and never clears.
void ErrorReport(void* opaque1, void* opaque2, CallContext* context, const char* facility,
                 MessageNumber number) noexcept;

// ErrorReport with the facility every built-in uses, "RQ".
inline void report(void* opaque1, void* opaque2, CallContext* context, MessageNumber number) noexcept {
    ErrorReport(opaque1, opaque2, context, QMR_FACILITY, number);
}

}  // namespace qmr
