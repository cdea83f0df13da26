#pragma once

#include "platform/serial_device.h"
#include "update/sync_objects.h"
#include "update/serial_types.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace strovane::update {

// The thread of one open port: waits for the port's events and hands each event mask to its
// component on the user-interface thread, waiting there until the handlers have run. It keeps
// itself alive until it ends; its component only stops and releases it.
class TCommEventThread : public std::enable_shared_from_this<TCommEventThread> {
public:
    // Asks the device for the events of Events and starts waiting for them.
    static std::shared_ptr<TCommEventThread> Create(std::shared_ptr<platform::SerialDevice> Handle,
                                                    TCommEventTypes Events, TCommEvent OnSignal,
                                                    TSynchronizeMethod Synchronize);
    ~TCommEventThread();
    TCommEventThread(const TCommEventThread&) = delete;
    TCommEventThread& operator=(const TCommEventThread&) = delete;

    // Ends the pending wait and makes the thread end after its current pass.
    void Stop();
    // After Stop, before the component closes the device: from now on no notification reaches
    // the component and the thread does not touch the device. Returns true when the thread has
    // done its closing purge; false when it is parked in a notification that waits for the
    // user-interface thread, and the caller purges instead. Never waits for that thread.
    bool Release();

    // The event mask of every port event type.
    static std::uint32_t EventMask(TCommEventTypes Events);
    // Event threads that have not ended yet, in this process.
    static int Alive();

private:
    TCommEventThread(std::shared_ptr<platform::SerialDevice> Handle, TCommEvent OnSignal,
                     TSynchronizeMethod Synchronize);
    void Execute();
    void DoOnSignal();

    // Shared with the component until Release; only the component closes it.
    std::shared_ptr<platform::SerialDevice> FCommHandle;
    ManualResetEvent FEvent; // set by Stop
    std::uint32_t FEventMask = 0;
    TCommEvent FOnSignal;
    TSynchronizeMethod m_synchronize;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_terminated = false;
    bool m_released = false;
    bool m_inWait = false;     // inside the device's event wait
    bool m_inDispatch = false; // handing a mask to the user-interface thread
    bool m_finished = false;
    // Held while handlers run, so Release from another thread waits for a running notification.
    std::recursive_mutex m_dispatchMutex;
    static std::atomic<int> s_alive;
};

} // namespace strovane::update
