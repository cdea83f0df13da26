// Opening, receiving events and closing in a loop, built with the address sanitizer: no deadlock,
// no notification after Close, no handle used after close, nothing leaked.
#include "platform/serial_device_fake.h"
#include "tests/serial/main_thread_queue.h"
#include "tests/serial/pty_pair.h"
#include "update/serial_port.h"

#include <gtest/gtest.h>

using namespace strovane;
using namespace strovane::update;
namespace st = strovane::testing;

TEST(CommStress, OpenNotifyCloseOnTheFake) {
    platform::FakeSerialPort port;
    port.status.InQue = 1;
    auto ui = std::make_shared<st::UiQueue>();
    bool closed = false;
    int delivered = 0;
    int late = 0;
    constexpr int kRounds = 3000;
    for (int i = 0; i < kRounds; ++i) {
        auto comm = std::make_unique<TComm>();
        comm->SetDeviceFactory(port.factory());
        comm->SetSynchronize(ui->synchronize());
        comm->SetOnRxChar([&](TCustomComm*, std::int32_t) {
            if (closed)
                ++late;
            ++delivered;
        });
        closed = false;
        comm->Open();
        port.pushEvent(platform::kEvRxChar);
        ASSERT_TRUE(ui->pumpUntil([&] { return delivered > i; })) << "round " << i << ": notification lost";
        port.pushEvent(platform::kEvRxChar | platform::kEvTxEmpty);
        switch (i % 3) {
        case 0: // close while the next notification waits for this thread
            ASSERT_TRUE(ui->waitPending()) << "round " << i;
            comm->Close();
            break;
        case 1: // close at whatever point the thread is
            comm->Close();
            break;
        default: // destroy while open
            break;
        }
        comm.reset();
        closed = true;
        ui->pump();
        delivered = i + 1;
    }
    ASSERT_TRUE(ui->pumpUntil([&] { return TCommEventThread::Alive() == 0 && port.devicesAlive() == 0; }))
        << "event threads left: " << TCommEventThread::Alive();
    EXPECT_EQ(late, 0);
    EXPECT_EQ(port.callsAfterClose(), 0);
    EXPECT_FALSE(port.isOpen());
}

TEST(CommStress, OpenReceiveCloseOnAPseudoTerminal) {
    st::PtyPair pty;
    ASSERT_FALSE(pty.path.empty());
    auto ui = std::make_shared<st::UiQueue>();
    int received = 0;
    for (int i = 0; i < 300; ++i) {
        TComm comm;
        comm.SetDeviceName(pty.path);
        comm.SetSynchronize(ui->synchronize());
        comm.SetOnRxChar([&](TCustomComm* c, std::int32_t n) {
            char buf[64];
            received += c->Read(buf, std::min<std::int32_t>(n, sizeof buf));
        });
        comm.Open();
        pty.send("ping");
        ASSERT_TRUE(ui->pumpUntil([&] { return received >= 4 * (i + 1); })) << "round " << i;
        pty.send("late");
        if (i % 2)
            comm.Close();
    }
    ui->pump();
    EXPECT_TRUE(ui->pumpUntil([] { return TCommEventThread::Alive() == 0; }));
}
