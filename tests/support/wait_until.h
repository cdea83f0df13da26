#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace strovane::testing {

// Polls `done` until it holds or `limit` has passed; returns done(). For tests that wait on
// another thread without an event loop to run (a Qt test uses QTest::qWaitFor).
inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace strovane::testing
