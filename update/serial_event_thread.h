#pragma once

#include "platform/serial_device.h"
#include "update/serial_types.h"
#include "update/sync_objects.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace strovane::update {

// The thread of one open port: waits for the port's events and hands each event mask to its
// port on the user-interface thread, waiting there until the handlers have run. It keeps
// itself alive until it ends; its port only stops and releases it.
class SerialEventThread : public std::enable_shared_from_this<SerialEventThread> {
public:
    // Asks the device for `events` and starts waiting for them.
    static std::shared_ptr<SerialEventThread> start(std::shared_ptr<platform::SerialDevice> device,
                                                    SerialEvents events, EventMaskHandler onEvents,
                                                    Synchronizer synchronizer);
    ~SerialEventThread();
    SerialEventThread(const SerialEventThread&) = delete;
    SerialEventThread& operator=(const SerialEventThread&) = delete;

    // Ends the pending wait and makes the thread end after its current pass.
    void stop();
    // After stop(), before the port closes the device: from now on no notification reaches
    // the port and the thread does not touch the device. Returns true when the thread has
    // done its closing purge; false when it is parked in a notification that waits for the
    // user-interface thread, and the caller purges instead. Never waits for that thread.
    bool release();

    // The event mask of every port event type.
    static std::uint32_t eventMask(SerialEvents events);
    // Event threads that have not ended yet, in this process.
    static int aliveCount();

private:
    SerialEventThread(std::shared_ptr<platform::SerialDevice> device, EventMaskHandler onEvents,
                      Synchronizer synchronizer);
    void run();
    void deliver();

    // Shared with the port until release(); only the port closes it.
    std::shared_ptr<platform::SerialDevice> m_device;
    ManualResetEvent m_stopEvent; // set by stop()
    std::uint32_t m_eventMask = 0;
    EventMaskHandler m_onEvents;
    Synchronizer m_synchronizer;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_terminated = false;
    bool m_released = false;
    bool m_inWait = false;     // inside the device's event wait
    bool m_inDispatch = false; // handing a mask to the user-interface thread
    bool m_finished = false;
    // Held while handlers run, so release() from another thread waits for a running notification.
    std::recursive_mutex m_dispatchMutex;
    static std::atomic<int> s_aliveCount;
};

} // namespace strovane::update
