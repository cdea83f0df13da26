#pragma once

#include <cstdint>

namespace strovane::platform {

// A monotonic millisecond counter of 32 bits that wraps after about 49.7 days,
// like GetTickCount. Measure time only as the unsigned difference of two readings.
class MillisecondClock {
public:
    virtual ~MillisecondClock() = default;
    virtual std::uint32_t nowMs() const = 0;
};

// Milliseconds from `since` to `now`, correct across one wrap of the counter.
constexpr std::uint32_t elapsedMs(std::uint32_t since, std::uint32_t now) {
    return static_cast<std::uint32_t>(now - since);
}

// The system's monotonic counter (GetTickCount on Windows, CLOCK_MONOTONIC elsewhere).
const MillisecondClock& systemClock();

} // namespace strovane::platform
