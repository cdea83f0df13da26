#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// Small synchronisation objects of the serial port component.
namespace strovane::update {

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

enum TEventWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

struct TEventState;

// An object owning one waitable handle; destroying it releases the handle.
class THandleObject {
public:
    THandleObject(const THandleObject&) = delete;
    THandleObject& operator=(const THandleObject&) = delete;
    virtual ~THandleObject();

    TEventState* Handle() const { return FHandle.get(); }
    // The last error of a failed wait.
    std::int32_t Error() const { return FError; }

protected:
    THandleObject();
    std::unique_ptr<TEventState> FHandle;
    std::int32_t FError = 0;
};

// An event that threads of this process wait for. The name is accepted for the call's shape only:
// the event is not shared with other processes.
class TEvent : public THandleObject {
public:
    TEvent(const void* EventAttributes, bool ManualReset, bool InitialState, const std::string& Name);

    // Waits at most Timeout milliseconds (kInfinite: no limit).
    TEventWaitResult WaitFor(std::uint32_t Timeout);
    void SetEvent();
    void ResetEvent();
};

// A manual-reset event, initially not signalled.
class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(nullptr, true, false, std::string()) {}
};

// A re-entrant lock.
class TCriticalSection {
public:
    void Acquire() { FSection.lock(); }
    void Release() { FSection.unlock(); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }

private:
    std::recursive_mutex FSection;
};

} // namespace strovane::update
