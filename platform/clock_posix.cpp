#include "platform/clock.h"

#include <time.h>

namespace strovane::platform {

namespace {

class MonotonicClock final : public MillisecondClock {
public:
    std::uint32_t nowMs() const override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        // Truncation to 32 bits is the point: the counter wraps like the Windows one.
        const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                        static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<std::uint32_t>(ms);
    }
};

} // namespace

const MillisecondClock& systemClock() {
    static const MonotonicClock clock;
    return clock;
}

} // namespace strovane::platform
