// Events and the critical section behind the serial port component.
#include "tests/support/wait_until.h"
#include "update/sync_objects.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace strovane::update;
using strovane::testing::waitUntil;

TEST(CommObjs, EventResetModes) {
    TSimpleEvent manual;
    EXPECT_EQ(manual.WaitFor(0), wrTimeout) << "starts non-signalled";
    manual.SetEvent();
    EXPECT_EQ(manual.WaitFor(0), wrSignaled);
    EXPECT_EQ(manual.WaitFor(0), wrSignaled) << "manual reset stays signalled";
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(10), wrTimeout);

    TEvent automatic(nullptr, false, true, "unused");
    EXPECT_EQ(automatic.WaitFor(0), wrSignaled) << "initial state";
    EXPECT_EQ(automatic.WaitFor(0), wrTimeout) << "auto reset consumed the signal";
    EXPECT_NE(automatic.Handle(), nullptr);
    EXPECT_EQ(automatic.Error(), 0);
}

TEST(CommObjs, SetEventWakesAnEndlessWaitOnAnotherThread) {
    TSimpleEvent event;
    TEventWaitResult result = wrError;
    std::thread waiter([&] { result = event.WaitFor(kInfinite); });
    event.SetEvent();
    waiter.join();
    EXPECT_EQ(result, wrSignaled);
}

TEST(CommObjs, CriticalSectionIsReentrantAndExcludesOtherThreads) {
    TCriticalSection section;
    section.Acquire();
    section.Enter(); // the owner may enter again
    std::atomic<bool> otherTries = false;
    std::atomic<bool> otherGotIn = false;
    std::thread other([&] {
        otherTries = true;
        section.Acquire();
        otherGotIn = true;
        section.Release();
    });
    EXPECT_TRUE(waitUntil([&] { return otherTries.load(); }));
    // What is checked is that the other thread stays out for this time: the sleep stays.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(otherGotIn);
    section.Leave();
    section.Release();
    other.join();
    EXPECT_TRUE(otherGotIn);
}
