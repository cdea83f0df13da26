#pragma once

#include "tests/support/wait_until.h"
#include "update/serial_event_thread.h"
#include "update/serial_types.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace strovane::testing {

// Stands in for the user-interface thread: event threads queue calls and wait until the test
// thread runs them with pump(), as a blocking queued call does. Destroying the queue releases
// callers still waiting, as an ending application does.
class UiQueue : public std::enable_shared_from_this<UiQueue> {
public:
    ~UiQueue() {
        std::lock_guard lock(m_mutex);
        for (auto& item : m_items)
            release(*item);
    }

    update::Synchronizer synchronize() {
        return [self = shared_from_this()](const std::function<void()>& call) { self->runAndWait(call); };
    }

    // Runs the calls queued now; returns how many ran.
    int pump() {
        std::deque<std::shared_ptr<Item>> items;
        {
            std::lock_guard lock(m_mutex);
            items.swap(m_items);
        }
        for (auto& item : items) {
            item->call();
            release(*item);
        }
        return static_cast<int>(items.size());
    }

    // Pumps until done() holds or the time is up; returns done().
    bool pumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::unique_lock lock(m_mutex);
            m_queued.wait_for(lock, std::chrono::milliseconds(1), [this] { return !m_items.empty(); });
            lock.unlock();
            pump();
        }
        return true;
    }

    // Waits until a call is queued (without running it).
    bool waitPending(std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        std::unique_lock lock(m_mutex);
        return m_queued.wait_for(lock, limit, [this] { return !m_items.empty(); });
    }

private:
    struct Item {
        std::function<void()> call;
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
    };

    void runAndWait(const std::function<void()>& call) {
        auto item = std::make_shared<Item>();
        item->call = call;
        {
            std::lock_guard lock(m_mutex);
            m_items.push_back(item);
        }
        m_queued.notify_all();
        std::unique_lock lock(item->mutex);
        item->cv.wait(lock, [&] { return item->done; });
    }

    static void release(Item& item) {
        std::lock_guard lock(item.mutex);
        item.done = true;
        item.cv.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::deque<std::shared_ptr<Item>> m_items;
};

// Waits until every event thread has ended (they end on their own shortly after close()).
inline bool eventThreadsEnded(std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    return waitUntil([] { return update::SerialEventThread::aliveCount() == 0; }, limit);
}

} // namespace strovane::testing
