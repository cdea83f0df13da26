#include "update/sync_objects.h"

#include <chrono>
#include <condition_variable>

namespace strovane::update {

struct EventState {
    std::mutex mutex;
    std::condition_variable cv;
    bool manualReset = true;
    bool signalled = false;
};

WaitHandle::WaitHandle() = default;
WaitHandle::~WaitHandle() = default;

WaitEvent::WaitEvent(bool manualReset, bool initiallySignalled) {
    m_state = std::make_unique<EventState>();
    m_state->manualReset = manualReset;
    m_state->signalled = initiallySignalled;
}

EventWaitResult WaitEvent::waitFor(std::uint32_t timeoutMs) {
    std::unique_lock lock(m_state->mutex);
    const auto ready = [this] { return m_state->signalled; };
    if (timeoutMs == kWaitForever)
        m_state->cv.wait(lock, ready);
    else if (!m_state->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return EventWaitResult::Timeout;
    if (!m_state->manualReset)
        m_state->signalled = false;
    return EventWaitResult::Signaled;
}

void WaitEvent::set() {
    std::lock_guard lock(m_state->mutex);
    m_state->signalled = true;
    if (m_state->manualReset)
        m_state->cv.notify_all();
    else
        m_state->cv.notify_one();
}

void WaitEvent::reset() {
    std::lock_guard lock(m_state->mutex);
    m_state->signalled = false;
}

} // namespace strovane::update
