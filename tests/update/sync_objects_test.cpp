// Events and the re-entrant lock behind the serial port component.
#include "tests/support/wait_until.h"
#include "update/sync_objects.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace strovane::update;
using strovane::testing::waitUntil;

TEST(SyncObjects, EventResetModes) {
    ManualResetEvent manual;
    EXPECT_EQ(manual.waitFor(0), EventWaitResult::Timeout) << "starts non-signalled";
    manual.set();
    EXPECT_EQ(manual.waitFor(0), EventWaitResult::Signaled);
    EXPECT_EQ(manual.waitFor(0), EventWaitResult::Signaled) << "manual reset stays signalled";
    manual.reset();
    EXPECT_EQ(manual.waitFor(10), EventWaitResult::Timeout);

    WaitEvent automatic(false, true);
    EXPECT_EQ(automatic.waitFor(0), EventWaitResult::Signaled) << "initial state";
    EXPECT_EQ(automatic.waitFor(0), EventWaitResult::Timeout) << "auto reset consumed the signal";
    EXPECT_NE(automatic.state(), nullptr);
    EXPECT_EQ(automatic.lastError(), 0);
}

TEST(SyncObjects, SetEventWakesAnEndlessWaitOnAnotherThread) {
    ManualResetEvent event;
    EventWaitResult result = EventWaitResult::Error;
    std::thread waiter([&] { result = event.waitFor(kWaitForever); });
    event.set();
    waiter.join();
    EXPECT_EQ(result, EventWaitResult::Signaled);
}

TEST(SyncObjects, RecursiveLockIsReentrantAndExcludesOtherThreads) {
    RecursiveLock section;
    section.lock();
    section.lock(); // the owner may enter again
    std::atomic<bool> otherTries = false;
    std::atomic<bool> otherGotIn = false;
    std::thread other([&] {
        otherTries = true;
        section.lock();
        otherGotIn = true;
        section.unlock();
    });
    EXPECT_TRUE(waitUntil([&] { return otherTries.load(); }));
    // What is checked is that the other thread stays out for this time: the sleep stays.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(otherGotIn);
    section.unlock();
    section.unlock();
    other.join();
    EXPECT_TRUE(otherGotIn);
}
