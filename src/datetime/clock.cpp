#include "datetime/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace qmr {
namespace {

std::atomic<ClockReading (*)()> clockSource{nullptr};

ClockReading systemClock() noexcept {
    std::tm local{};
#if defined(_WIN32)
    // msvcrt's time_t is 32 bits on 32-bit Windows: its 64-bit calls read
    // the clock past January 2038 there too.
    const __time64_t now = _time64(nullptr);
    _localtime64_s(&local, &now);
#else
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &local);
#endif
    static_assert(sizeof now == 8, "a clock of 32-bit seconds stops in January 2038");
    // The sub-second part is read separately, as the host's clock does.
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
            local.tm_min,         local.tm_sec,     static_cast<int>(ms)};
}

}  // namespace

ClockReading readClock() noexcept {
    const auto source = clockSource.load(std::memory_order_acquire);
    return source != nullptr ? source() : systemClock();
}

void testing::setClock(ClockReading (*source)()) noexcept { clockSource.store(source, std::memory_order_release); }

}  // namespace qmr
