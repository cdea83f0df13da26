#include "update/serial_event_thread.h"

#include <algorithm>
#include <thread>

namespace strovane::update {

std::atomic<int> SerialEventThread::s_aliveCount{0};

namespace {
constexpr std::uint32_t kEventBits[] = {
    platform::kEvBreak, platform::kEvCts,    platform::kEvDsr,    platform::kEvErr,     platform::kEvRing,
    platform::kEvRlsd,  platform::kEvRxChar, platform::kEvRxFlag, platform::kEvTxEmpty,
};
// Pauses before waiting again after a failed wait on a port that still answers.
constexpr std::uint32_t kFirstRetryPauseMs = 10;
constexpr std::uint32_t kLastRetryPauseMs = 1000;
constexpr std::uint32_t kPurgeAll =
    platform::kPurgeTxAbort | platform::kPurgeRxAbort | platform::kPurgeTxClear | platform::kPurgeRxClear;
} // namespace

std::uint32_t SerialEventThread::eventMask(SerialEvents events) {
    std::uint32_t mask = 0;
    for (unsigned i = 0; i < std::size(kEventBits); ++i)
        if (events.contains(static_cast<SerialEvent>(i)))
            mask |= kEventBits[i];
    return mask;
}

int SerialEventThread::aliveCount() {
    return s_aliveCount.load();
}

SerialEventThread::SerialEventThread(std::shared_ptr<platform::SerialDevice> device,
                                     EventMaskHandler onEvents, Synchronizer synchronizer)
    : m_device(std::move(device)), m_onEvents(std::move(onEvents)), m_synchronizer(std::move(synchronizer)) {
    ++s_aliveCount;
}

SerialEventThread::~SerialEventThread() {
    --s_aliveCount;
}

std::shared_ptr<SerialEventThread> SerialEventThread::start(std::shared_ptr<platform::SerialDevice> device,
                                                            SerialEvents events, EventMaskHandler onEvents,
                                                            Synchronizer synchronizer) {
    std::shared_ptr<SerialEventThread> thread(
        new SerialEventThread(std::move(device), std::move(onEvents), std::move(synchronizer)));
    thread->m_device->setCommMask(eventMask(events)); // its result is ignored
    // The thread owns itself: it ends and frees itself without anyone joining it.
    std::thread([self = thread] { self->run(); }).detach();
    return thread;
}

void SerialEventThread::run() {
    platform::raiseThreadPriority();
    std::uint32_t retryPauseMs = kFirstRetryPauseMs;
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_terminated)
                break;
            m_inWait = true;
        }
        std::uint32_t mask = 0;
        const platform::SysError err = m_device->waitCommEvent(mask);
        {
            std::lock_guard lock(m_mutex);
            m_inWait = false;
            m_changed.notify_all();
            // A wait that stop() ended is no signal.
            if (m_terminated)
                break;
        }
        if (err == 0) {
            m_eventMask = mask;
            {
                // release() may be waiting already: tell it that this thread now heads for the
                // user-interface thread, or it would wait for that thread while that thread
                // waits for it.
                std::lock_guard lock(m_mutex);
                if (m_terminated)
                    break;
                m_inDispatch = true;
                m_changed.notify_all();
            }
            m_synchronizer([self = shared_from_this()] { self->deliver(); });
            std::lock_guard lock(m_mutex);
            m_inDispatch = false;
            m_changed.notify_all();
            retryPauseMs = kFirstRetryPauseMs;
        } else {
            // A wait can fail for a while and the port still be sound: a line error aborts it
            // until the errors are cleared (fAbortOnError). Clear them and wait again after a
            // pause that grows while the failures go on. A device that has failed (an adapter
            // pulled out) refuses that too: asking again would fail at once, so rest until the
            // port stops the thread.
            platform::SerialStatus status;
            if (m_device->clearCommError(status) == 0) {
                m_stopEvent.waitFor(retryPauseMs);
                retryPauseMs = std::min(retryPauseMs * 2, kLastRetryPauseMs);
            } else {
                m_stopEvent.waitFor(kWaitForever);
            }
        }
    }
    std::lock_guard lock(m_mutex);
    if (!m_released)
        m_device->purgeComm(kPurgeAll);
    m_device.reset(); // the device dies with its port's close(), not with this thread
    m_finished = true;
    m_changed.notify_all();
}

void SerialEventThread::deliver() {
    std::lock_guard dispatch(m_dispatchMutex);
    {
        std::lock_guard lock(m_mutex);
        if (m_terminated || m_released)
            return;
    }
    if (m_onEvents)
        m_onEvents(this, m_eventMask);
}

void SerialEventThread::stop() {
    m_stopEvent.set();
    std::lock_guard lock(m_mutex);
    m_terminated = true;
    if (!m_released)
        m_device->cancelWait();
}

bool SerialEventThread::release() {
    bool finished;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_finished || (m_inDispatch && !m_inWait); });
        m_released = true;
        finished = m_finished;
        m_device.reset(); // never touched again by the thread
    }
    // A notification running on another thread (a direct synchronise) ends before release() does.
    std::lock_guard dispatch(m_dispatchMutex);
    return finished;
}

} // namespace strovane::update
