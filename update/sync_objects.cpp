#include "update/sync_objects.h"

#include <chrono>
#include <condition_variable>

namespace strovane::update {

struct TEventState {
    std::mutex mutex;
    std::condition_variable cv;
    bool manualReset = true;
    bool signalled = false;
};

THandleObject::THandleObject() = default;
THandleObject::~THandleObject() = default;

TEvent::TEvent(const void* /*EventAttributes*/, bool ManualReset, bool InitialState,
               const std::string& /*Name*/) {
    FHandle = std::make_unique<TEventState>();
    FHandle->manualReset = ManualReset;
    FHandle->signalled = InitialState;
}

TEventWaitResult TEvent::WaitFor(std::uint32_t Timeout) {
    std::unique_lock lock(FHandle->mutex);
    const auto ready = [this] { return FHandle->signalled; };
    if (Timeout == kInfinite)
        FHandle->cv.wait(lock, ready);
    else if (!FHandle->cv.wait_for(lock, std::chrono::milliseconds(Timeout), ready))
        return wrTimeout;
    if (!FHandle->manualReset)
        FHandle->signalled = false;
    return wrSignaled;
}

void TEvent::SetEvent() {
    std::lock_guard lock(FHandle->mutex);
    FHandle->signalled = true;
    if (FHandle->manualReset)
        FHandle->cv.notify_all();
    else
        FHandle->cv.notify_one();
}

void TEvent::ResetEvent() {
    std::lock_guard lock(FHandle->mutex);
    FHandle->signalled = false;
}

} // namespace strovane::update
