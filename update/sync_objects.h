#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

// Small synchronisation objects of the serial port component.
namespace strovane::update {

inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

enum class EventWaitResult { Signaled, Timeout, Abandoned, Error };

struct EventState;

// An object owning one waitable state; destroying it releases the state.
class WaitHandle {
public:
    WaitHandle(const WaitHandle&) = delete;
    WaitHandle& operator=(const WaitHandle&) = delete;
    virtual ~WaitHandle();

    EventState* state() const { return m_state.get(); }
    // The last error of a failed wait.
    std::int32_t lastError() const { return m_lastError; }

protected:
    WaitHandle();
    std::unique_ptr<EventState> m_state;
    std::int32_t m_lastError = 0;
};

// An event that threads of this process wait for. An auto-reset event lets one wait through per
// signal; a manual-reset one stays signalled until reset.
class WaitEvent : public WaitHandle {
public:
    WaitEvent(bool manualReset, bool initiallySignalled);

    // Waits at most timeoutMs milliseconds (kWaitForever: no limit).
    EventWaitResult waitFor(std::uint32_t timeoutMs);
    void set();
    void reset();
};

// A manual-reset event, initially not signalled.
class ManualResetEvent : public WaitEvent {
public:
    ManualResetEvent() : WaitEvent(true, false) {}
};

// A re-entrant lock.
class RecursiveLock {
public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

} // namespace strovane::update
