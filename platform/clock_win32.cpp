#include "platform/clock.h"

#ifdef _WIN32
#include <windows.h>

namespace strovane::platform {

namespace {

class TickCountClock final : public MillisecondClock {
public:
    std::uint32_t nowMs() const override { return static_cast<std::uint32_t>(GetTickCount()); }
};

} // namespace

const MillisecondClock& systemClock() {
    static const TickCountClock clock;
    return clock;
}

} // namespace strovane::platform
#endif
