// Accessors for a DateRequest block and the validation step every date
// and time built-in makes through the engine.
#pragma once

#include <cstdint>
#include <cstring>

#include "frame/bytes.h"
#include "frame/call_context.h"
#include "qmr/qmr.h"

namespace qmr {

// Runs one request on a 108-byte DateRequest block in place (QMRDAT2).
void runDateRequest(unsigned char* block) noexcept;

class RequestView {
public:
    explicit RequestView(unsigned char* block) noexcept : b_(block) {}

    std::int32_t date() const noexcept { return loadLE32(b_ + QMR_DR_DATE); }
    void setDate(std::int32_t v) const noexcept { storeLE32(b_ + QMR_DR_DATE, v); }
    std::int32_t time() const noexcept { return loadLE32(b_ + QMR_DR_TIME); }
    void setTime(std::int32_t v) const noexcept { storeLE32(b_ + QMR_DR_TIME, v); }
    std::int32_t dayOffset() const noexcept { return loadLE32(b_ + QMR_DR_DAY_OFFSET); }
    void setDayOffset(std::int32_t v) const noexcept { storeLE32(b_ + QMR_DR_DAY_OFFSET, v); }
    std::int16_t returnCode() const noexcept { return loadLE16(b_ + QMR_DR_RETURN_CODE); }
    void setReturnCode(std::int16_t v) const noexcept { storeLE16(b_ + QMR_DR_RETURN_CODE, v); }
    char requestCode() const noexcept { return static_cast<char>(b_[QMR_DR_REQUEST_CODE]); }
    void setRequestCode(char v) const noexcept { b_[QMR_DR_REQUEST_CODE] = static_cast<unsigned char>(v); }
    char dateForm() const noexcept { return static_cast<char>(b_[QMR_DR_DATE_FORM]); }
    void setDateForm(char v) const noexcept { b_[QMR_DR_DATE_FORM] = static_cast<unsigned char>(v); }
    char timeForm() const noexcept { return static_cast<char>(b_[QMR_DR_TIME_FORM]); }
    void setTimeForm(char v) const noexcept { b_[QMR_DR_TIME_FORM] = static_cast<unsigned char>(v); }

    // Copies a message and its terminator; the rest of the 60 characters
    // keep what they held.
    void setMessage(const char* text) const noexcept {
        std::memcpy(b_ + QMR_DR_MESSAGE_TEXT, text, std::strlen(text) + 1);
    }
    unsigned char* timestampText() const noexcept { return b_ + QMR_DR_TIMESTAMP_TEXT; }

private:
    unsigned char* b_;
};

// The embedded request of a call context.
inline RequestView requestOf(ContextView context) noexcept { return RequestView(context.at(QMR_CC_DATE_REQUEST)); }

// Request '0' on a date, as the date built-ins make it: only date,
// request code and date form are stored, so whatever time the previous
// call left in the block is validated too.  True when the engine accepts.
inline bool engineAcceptsDate(ContextView context, std::int32_t date) noexcept {
    const RequestView request = requestOf(context);
    request.setRequestCode('0');
    request.setDateForm('0');
    request.setDate(date);
    runDateRequest(context.at(QMR_CC_DATE_REQUEST));
    return request.returnCode() == 0;
}

// Request '0' on a time hhmmss (time form '2'); the date left in the
// block is validated too.
inline bool engineAcceptsTime(ContextView context, std::int32_t time) noexcept {
    const RequestView request = requestOf(context);
    request.setRequestCode('0');
    request.setTimeForm('2');
    request.setTime(time);
    runDateRequest(context.at(QMR_CC_DATE_REQUEST));
    return request.returnCode() == 0;
}

// The duration functions' check: as engineAcceptsDate/engineAcceptsTime,
// except that with the context's skip-validation byte 'Y' the fields are
// stored, the return code is set to 0 and the engine is not called.
inline bool checkDate(ContextView context, std::int32_t date) noexcept {
    if (!context.skipValidation()) return engineAcceptsDate(context, date);
    const RequestView request = requestOf(context);
    request.setRequestCode('0');
    request.setDateForm('0');
    request.setDate(date);
    request.setReturnCode(0);
    return true;
}

inline bool checkTime(ContextView context, std::int32_t time) noexcept {
    if (!context.skipValidation()) return engineAcceptsTime(context, time);
    const RequestView request = requestOf(context);
    request.setRequestCode('0');
    request.setTimeForm('2');
    request.setTime(time);
    request.setReturnCode(0);
    return true;
}

}  // namespace qmr
