// Opening, receiving events and closing in a loop, built with the address sanitizer: no deadlock,
// no notification after close(), no handle used after close, nothing leaked.
#include "platform/serial_device_fake.h"
#include "tests/update/main_thread_queue.h"
#include "tests/support/pty_pair.h"
#include "update/serial_port.h"

#include <gtest/gtest.h>

using namespace strovane;
using namespace strovane::update;
namespace st = strovane::testing;

TEST(SerialPortStress, OpenNotifyCloseOnTheFake) {
    platform::FakeSerialPort port;
    port.status.inQueue = 1;
    auto ui = std::make_shared<st::UiQueue>();
    bool closed = false;
    int delivered = 0;
    int late = 0;
    constexpr int kRounds = 3000;
    for (int i = 0; i < kRounds; ++i) {
        auto serial = std::make_unique<SerialPort>();
        serial->setDeviceFactory(port.factory());
        serial->setSynchronizer(ui->synchronize());
        serial->onRxChar = [&](SerialPort*, std::int32_t) {
            if (closed)
                ++late;
            ++delivered;
        };
        closed = false;
        serial->open();
        port.pushEvent(platform::kEvRxChar);
        ASSERT_TRUE(ui->pumpUntil([&] { return delivered > i; })) << "round " << i << ": notification lost";
        port.pushEvent(platform::kEvRxChar | platform::kEvTxEmpty);
        switch (i % 3) {
        case 0: // close while the next notification waits for this thread
            ASSERT_TRUE(ui->waitPending()) << "round " << i;
            serial->close();
            break;
        case 1: // close at whatever point the thread is
            serial->close();
            break;
        default: // destroy while open
            break;
        }
        serial.reset();
        closed = true;
        ui->pump();
        delivered = i + 1;
    }
    ASSERT_TRUE(ui->pumpUntil([&] {
        return SerialEventThread::aliveCount() == 0 && port.devicesAlive() == 0;
    })) << "event threads left: "
        << SerialEventThread::aliveCount();
    EXPECT_EQ(late, 0);
    EXPECT_EQ(port.callsAfterClose(), 0);
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialPortStress, OpenReceiveCloseOnAPseudoTerminal) {
    st::PtyPair pty;
    ASSERT_FALSE(pty.path.empty());
    auto ui = std::make_shared<st::UiQueue>();
    int received = 0;
    for (int i = 0; i < 300; ++i) {
        SerialPort serial;
        serial.setDeviceName(pty.path);
        serial.setSynchronizer(ui->synchronize());
        serial.onRxChar = [&](SerialPort* c, std::int32_t n) {
            char buf[64];
            received += c->read(buf, std::min<std::int32_t>(n, sizeof buf));
        };
        serial.open();
        pty.send("ping");
        ASSERT_TRUE(ui->pumpUntil([&] { return received >= 4 * (i + 1); })) << "round " << i;
        pty.send("late");
        if (i % 2)
            serial.close();
    }
    ui->pump();
    EXPECT_TRUE(ui->pumpUntil([] { return SerialEventThread::aliveCount() == 0; }));
}
