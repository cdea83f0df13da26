#include "update/serial_event_thread.h"

#include <algorithm>
#include <thread>

namespace strovane::update {

std::atomic<int> TCommEventThread::s_alive{0};

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

std::uint32_t TCommEventThread::EventMask(TCommEventTypes Events) {
    std::uint32_t mask = 0;
    for (unsigned i = 0; i < std::size(kEventBits); ++i)
        if (Events.Contains(static_cast<TCommEventType>(i)))
            mask |= kEventBits[i];
    return mask;
}

int TCommEventThread::Alive() {
    return s_alive.load();
}

TCommEventThread::TCommEventThread(std::shared_ptr<platform::SerialDevice> Handle, TCommEvent OnSignal,
                                   TSynchronizeMethod Synchronize)
    : FCommHandle(std::move(Handle)), FOnSignal(std::move(OnSignal)), m_synchronize(std::move(Synchronize)) {
    ++s_alive;
}

TCommEventThread::~TCommEventThread() {
    --s_alive;
}

std::shared_ptr<TCommEventThread> TCommEventThread::Create(std::shared_ptr<platform::SerialDevice> Handle,
                                                           TCommEventTypes Events, TCommEvent OnSignal,
                                                           TSynchronizeMethod Synchronize) {
    std::shared_ptr<TCommEventThread> thread(
        new TCommEventThread(std::move(Handle), std::move(OnSignal), std::move(Synchronize)));
    thread->FCommHandle->setCommMask(EventMask(Events)); // its result is ignored
    // The thread owns itself: it ends and frees itself without anyone joining it.
    std::thread([self = thread] { self->Execute(); }).detach();
    return thread;
}

void TCommEventThread::Execute() {
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
        const platform::SysError err = FCommHandle->waitCommEvent(mask);
        {
            std::lock_guard lock(m_mutex);
            m_inWait = false;
            m_changed.notify_all();
            // A wait that Stop ended is no signal.
            if (m_terminated)
                break;
        }
        if (err == 0) {
            FEventMask = mask;
            {
                // Release may be waiting already: tell it that this thread now heads for the
                // user-interface thread, or it would wait for that thread while that thread
                // waits for it.
                std::lock_guard lock(m_mutex);
                if (m_terminated)
                    break;
                m_inDispatch = true;
                m_changed.notify_all();
            }
            m_synchronize([self = shared_from_this()] { self->DoOnSignal(); });
            std::lock_guard lock(m_mutex);
            m_inDispatch = false;
            m_changed.notify_all();
            retryPauseMs = kFirstRetryPauseMs;
        } else {
            // A wait can fail for a while and the port still be sound: a line error aborts it
            // until the errors are cleared (fAbortOnError). Clear them and wait again after a
            // pause that grows while the failures go on. A device that has failed (an adapter
            // pulled out) refuses that too: asking again would fail at once, so rest until the
            // component stops the thread.
            platform::SerialStatus status;
            if (FCommHandle->clearCommError(status) == 0) {
                FEvent.waitFor(retryPauseMs);
                retryPauseMs = std::min(retryPauseMs * 2, kLastRetryPauseMs);
            } else {
                FEvent.waitFor(kWaitForever);
            }
        }
    }
    std::lock_guard lock(m_mutex);
    if (!m_released)
        FCommHandle->purgeComm(kPurgeAll);
    FCommHandle.reset(); // the device dies with its component's Close, not with this thread
    m_finished = true;
    m_changed.notify_all();
}

void TCommEventThread::DoOnSignal() {
    std::lock_guard dispatch(m_dispatchMutex);
    {
        std::lock_guard lock(m_mutex);
        if (m_terminated || m_released)
            return;
    }
    if (FOnSignal)
        FOnSignal(this, FEventMask);
}

void TCommEventThread::Stop() {
    FEvent.set();
    std::lock_guard lock(m_mutex);
    m_terminated = true;
    if (!m_released)
        FCommHandle->cancelWait();
}

bool TCommEventThread::Release() {
    bool finished;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_finished || (m_inDispatch && !m_inWait); });
        m_released = true;
        finished = m_finished;
        FCommHandle.reset(); // never touched again by the thread
    }
    // A notification running on another thread (a direct synchronise) ends before Release does.
    std::lock_guard dispatch(m_dispatchMutex);
    return finished;
}

} // namespace strovane::update
