// The serial port component against the scripted fake device.
#include "platform/serial_device_fake.h"
#include "tests/update/serial_port_error_of.h"
#include "tests/update/main_thread_queue.h"
#include "update/serial_port.h"

#include <gtest/gtest.h>
#include <thread>

using namespace strovane;
using namespace strovane::update;
namespace st = strovane::testing;
using st::errorOf;
using platform::FakeSerialPort;
using Call = FakeSerialPort::Call;

namespace {

class SerialPortFake : public ::testing::Test {
protected:
    SerialPortFake() {
        serial.setDeviceFactory(port.factory());
        serial.setSynchronizer(ui->synchronize());
    }
    ~SerialPortFake() override {
        serial.close();
        ui->pump();
        EXPECT_TRUE(st::eventThreadsEnded()); // the fake port must outlive its devices
    }

    // Pushes one event mask and runs the notification it causes.
    void deliver(std::uint32_t mask) {
        port.pushEvent(mask);
        ASSERT_TRUE(ui->waitPending());
        ui->pump();
    }

    FakeSerialPort port;
    std::shared_ptr<st::UiQueue> ui = std::make_shared<st::UiQueue>();
    SerialPort serial;
};

} // namespace

TEST_F(SerialPortFake, NewComponentIsClosedAndQuiet) {
    EXPECT_FALSE(serial.isOpen());
    EXPECT_EQ(serial.device(), nullptr);
    EXPECT_EQ(serial.inQueueCount(), -1);
    EXPECT_EQ(serial.outQueueCount(), -1);
    EXPECT_FALSE(serial.cts() || serial.dsr() || serial.ring() || serial.rlsd());
    EXPECT_FALSE(serial.ctsHold() || serial.dsrHold() || serial.rlsdHold() || serial.xoffHold() || serial.xoffSent());
    serial.close();
    serial.purgeInput();
    serial.purgeOutput();
    EXPECT_EQ(serial.deviceName(), "Com2");
    EXPECT_EQ(serial.readTimeout(), 1000);
    EXPECT_EQ(serial.writeBufferSize(), 2048);
    EXPECT_EQ(serial.monitorEvents(), kAllSerialEvents);
    EXPECT_EQ(serial.flowControl(), FlowControl::Unchanged);
    EXPECT_TRUE(port.calls().empty());
}

TEST_F(SerialPortFake, OpenAppliesSettingsInOrder) {
    serial.setDeviceName("\\\\.\\COM3");
    serial.open();
    ASSERT_TRUE(serial.isOpen());
    EXPECT_EQ(port.openedName, "\\\\.\\COM3");
    const std::vector<Call> expected = {
        {"open", 0},         {"isCharDevice", 0},      {"setCommMask", 0x1FF}, {"setCommTimeouts", 0},
        {"getCommState", 0}, {"setCommState", 0x1011}, {"setupComm", 4096}};
    auto calls = port.calls();
    calls.resize(std::min(calls.size(), expected.size()));
    EXPECT_EQ(calls, expected);
    ASSERT_EQ(port.statesSet.size(), 1u);
    const platform::SerialDcb& dcb = port.statesSet[0];
    EXPECT_EQ(dcb.baudRate, 9600u);
    EXPECT_EQ(dcb.byteSize, 8);
    EXPECT_EQ(dcb.parity, 0);
    EXPECT_EQ(dcb.stopBits, 0);
    EXPECT_EQ(dcb.xonLimit, 1024);
    EXPECT_EQ(dcb.xoffLimit, 1024);
    EXPECT_EQ(dcb.xonChar, 17);
    EXPECT_EQ(dcb.xoffChar, 19);
    EXPECT_EQ(port.outQueueSize, 2048);
}

TEST_F(SerialPortFake, MonitoredEventsBecomeThePortMask) {
    serial.setMonitorEvents({SerialEvent::RxChar, SerialEvent::Break, SerialEvent::TxEmpty});
    serial.open();
    EXPECT_EQ(port.eventMask, platform::kEvRxChar | platform::kEvBreak | platform::kEvTxEmpty);
}

// Every row of the failure table: message, code and the state afterwards.
TEST_F(SerialPortFake, FailuresRaiseTheirMessageAndCode) {
    struct Case {
        const char* name;
        std::function<void(FakeSerialPort&, SerialPort&)> arrange;
        std::function<void(SerialPort&)> act;
        std::string message;
        std::int32_t code;
        bool openAfter;
    };
    const auto open = [](FakeSerialPort&, SerialPort& c) { c.open(); };
    // A call on a closed port meets the system's own invalid-handle code (EBADF, ERROR_INVALID_HANDLE).
    const auto badHandle = static_cast<std::int32_t>(platform::invalidHandleError());
    const std::string badHandleText = "(Error: " + std::to_string(badHandle) + ") ";
    const Case cases[] = {
        {"open twice", open, [](SerialPort& c) { c.open(); }, "Port already assigned (open) (Error: -1) ", -1,
         true},
        {"rename open", open, [](SerialPort& c) { c.setDeviceName("COM9"); },
         "Port already assigned (open) (Error: -1) ", -1, true},
        {"read buffer", open, [](SerialPort& c) { c.setReadBufferSize(1); },
         "Port already assigned (open) (Error: -1) ", -1, true},
        {"write buffer", open, [](SerialPort& c) { c.setWriteBufferSize(1); },
         "Port already assigned (open) (Error: -1) ", -1, true},
        {"events", open, [](SerialPort& c) { c.setMonitorEvents({SerialEvent::Ring}); },
         "Port already assigned (open) (Error: -1) ", -1, true},
        {"missing", [](FakeSerialPort& p, SerialPort&) { p.openError = 2; }, [](SerialPort& c) { c.open(); },
         "Error accessing specified device (Error: 2) ", 2, false},
        {"not a char device", [](FakeSerialPort& p, SerialPort&) { p.charDevice = false; },
         [](SerialPort& c) { c.open(); }, "Invalid device handle, access denied (Error: -1) ", -1, false},
        {"timeouts", [](FakeSerialPort& p, SerialPort&) { p.timeoutsError = 31; }, [](SerialPort& c) { c.open(); },
         "Error updating CommTimeouts (Error: 31) ", 31, true},
        {"dcb at open", [](FakeSerialPort& p, SerialPort&) { p.setStateError = 87; }, [](SerialPort& c) { c.open(); },
         "Error updating DataControlBlock (Error: 87) ", 87, true},
        {"4 data bits", open, [](SerialPort& c) { c.setDataBits(DataBits::Four); },
         "Error updating DataControlBlock (Error: 87) ", 87, true},
        {"event char",
         [](FakeSerialPort& p, SerialPort& c) {
             c.open();
             p.setStateError = 31;
         },
         [](SerialPort& c) { c.eventChars().setEventChar('\n'); }, "Error updating DataControlBlock (Error: 31) ",
         31, true},
        {"buffers", [](FakeSerialPort& p, SerialPort&) { p.setupError = 87; }, [](SerialPort& c) { c.open(); },
         "Error initializing Read/Write Buffers (Error: 87) ", 87, true},
        {"write",
         [](FakeSerialPort& p, SerialPort& c) {
             c.open();
             p.writes.push_back({platform::SerialTransfer::Status::Failed, "", 5});
         },
         [](SerialPort& c) { c.write("x", 1); }, "Write error (Error: 5) ", 5, true},
        {"read",
         [](FakeSerialPort& p, SerialPort& c) {
             c.open();
             p.reads.push_back({platform::SerialTransfer::Status::Failed, "", 995});
         },
         [](SerialPort& c) {
             char b[4];
             c.read(b, 4);
         },
         "Read error (Error: 995) ", 995, true},
        {"read closed", [](FakeSerialPort&, SerialPort&) {},
         [](SerialPort& c) {
             char b[4];
             c.read(b, 4);
         },
         "Read error " + badHandleText, badHandle, false},
        {"write closed", [](FakeSerialPort&, SerialPort&) {}, [](SerialPort& c) { c.write("x", 1); },
         "Write error " + badHandleText, badHandle, false},
        {"dtr closed", [](FakeSerialPort&, SerialPort&) {}, [](SerialPort& c) { c.setDtr(true); },
         "Port not open, unable to complete operation (Error: -1) ", -1, false},
        {"rts closed", [](FakeSerialPort&, SerialPort&) {}, [](SerialPort& c) { c.setRts(false); },
         "Port not open, unable to complete operation (Error: -1) ", -1, false},
        {"break closed", [](FakeSerialPort&, SerialPort&) {}, [](SerialPort& c) { c.setBreak(true); },
         "Port not open, unable to complete operation (Error: -1) ", -1, false},
        {"xon closed", [](FakeSerialPort&, SerialPort&) {}, [](SerialPort& c) { c.setXon(true); },
         "Port not open, unable to complete operation (Error: -1) ", -1, false},
        {"escape",
         [](FakeSerialPort& p, SerialPort& c) {
             c.open();
             p.escapeError = 1;
         },
         [](SerialPort& c) { c.setDtr(true); }, "EscapeCommFunction failure (Error: 1) ", 1, true},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        FakeSerialPort fake;
        SerialPort c;
        c.setDeviceFactory(fake.factory());
        tc.arrange(fake, c);
        std::int32_t code = 0;
        EXPECT_EQ(errorOf([&] { tc.act(c); }, &code), tc.message);
        EXPECT_EQ(code, tc.code);
        EXPECT_EQ(c.isOpen(), tc.openAfter);
        EXPECT_EQ(fake.isOpen(), tc.openAfter);
        c.close();
        EXPECT_TRUE(st::eventThreadsEnded());
    }
}

TEST_F(SerialPortFake, RefusedChangesKeepOldValuesButRefusedLineSettingsStay) {
    serial.open();
    EXPECT_THROW(serial.setDeviceName("COM7"), SerialPortError);
    EXPECT_EQ(serial.deviceName(), "Com2");
    serial.setDeviceName("Com2"); // same name: nothing to refuse
    serial.setReadBufferSize(4096);
    EXPECT_THROW(serial.setDataBits(DataBits::Four), SerialPortError);
    EXPECT_EQ(serial.dataBits(), DataBits::Four);
    EXPECT_EQ(port.statesSet.back().byteSize, 4);
    EXPECT_TRUE(serial.isOpen());
}

TEST_F(SerialPortFake, FailedOpenAfterTheDeviceOpenedLeavesItOpenUntilClose) {
    port.timeoutsError = 31;
    EXPECT_THROW(serial.open(), SerialPortError);
    EXPECT_TRUE(serial.isOpen());
    EXPECT_GE(SerialEventThread::aliveCount(), 1);
    serial.close();
    EXPECT_FALSE(port.isOpen());
    port.timeoutsError = 0;
    serial.open(); // the update dialog's close-then-open retry works
    EXPECT_TRUE(serial.isOpen());
}

// Line settings: stored only while closed, written at once while open, nothing for the same value.
TEST_F(SerialPortFake, LineSettersFollowTheStoreThenUpdateRule) {
    struct Setter {
        const char* name;
        std::function<void(SerialPort&)> set;
        std::function<std::uint32_t(const platform::SerialDcb&)> field; // the part of the block it sets
        std::uint32_t written;
    };
    const Setter setters[] = {
        {"baud", [](SerialPort& c) { c.setBaudRate(BaudRate::Baud115200); }, [](auto& d) { return d.baudRate; }, 115200},
        {"parity", [](SerialPort& c) { c.setParity(Parity::Mark); }, [](auto& d) { return d.parity; }, 3},
        {"stop bits", [](SerialPort& c) { c.setStopBits(StopBits::Two); }, [](auto& d) { return d.stopBits; }, 2},
        {"data bits", [](SerialPort& c) { c.setDataBits(DataBits::Seven); }, [](auto& d) { return d.byteSize; }, 7},
        {"options", [](SerialPort& c) { c.setOptions({SerialOption::NullStrip}); }, [](auto& d) { return d.flags & 0x0800; },
         0x0800},
        {"flow", [](SerialPort& c) { c.setFlowControl(FlowControl::Software); }, [](auto& d) { return d.flags & 0x0300; },
         0x0300},
    };
    for (const Setter& s : setters) {
        SCOPED_TRACE(s.name);
        FakeSerialPort fake;
        SerialPort c;
        c.setDeviceFactory(fake.factory());
        s.set(c);
        EXPECT_TRUE(fake.calls().empty()) << "closed: stored only";
        c.open();
        EXPECT_EQ(s.field(fake.statesSet.back()), s.written) << "reaches the port at open()";
        SerialPort d;
        d.setDeviceFactory(fake.factory());
        c.close();
        d.open();
        fake.statesSet.clear();
        s.set(d);
        ASSERT_EQ(fake.statesSet.size(), 1u) << "open: written at once";
        EXPECT_EQ(s.field(fake.statesSet.back()), s.written);
        s.set(d);
        EXPECT_EQ(fake.statesSet.size(), 1u) << "same value: nothing";
        d.close();
        EXPECT_TRUE(st::eventThreadsEnded());
    }
}

TEST_F(SerialPortFake, EveryBaudRateWritesItsNumber) {
    const std::uint32_t rates[] = {110,   300,   600,   1200,   2400,   4800,   9600,    14400,  19200,
                                   38400, 56000, 57600, 115200, 128000, 256000, 1500000, 3000000};
    serial.open();
    for (int i = 0; i <= static_cast<int>(BaudRate::Baud3000000); ++i) {
        const auto rate = static_cast<BaudRate>(i);
        serial.setBaudRate(rate == BaudRate::Baud9600 ? BaudRate::Baud110 : rate);
        serial.setBaudRate(rate);
        EXPECT_EQ(port.statesSet.back().baudRate, rates[i]) << i;
    }
}

TEST_F(SerialPortFake, FlowControlAndOptionsShapeTheFlagWord) {
    struct Case {
        FlowControl flow;
        SerialOptions options;
        std::uint32_t reported;
        std::uint32_t written;
    };
    const Case cases[] = {
        {FlowControl::None, {SerialOption::ParityCheck, SerialOption::NullStrip}, 0x7FFF, 0x0001 | 0x0002 | 0x0800},
        {FlowControl::None, {}, 0x1011, 0x0001},
        {FlowControl::None, {SerialOption::DsrSensitivity, SerialOption::IgnoreXoff, SerialOption::ErrorChar}, 0x0000, 0x0001 | 0x0040 | 0x0080 | 0x0400},
        // A handshake replaces its line's reported control mode (enable + handshake is no mode).
        {FlowControl::RtsCts, {}, 0x1011, 0x0011 | 0x2004},
        {FlowControl::DtrDsr, {}, 0x1011, 0x1001 | 0x0028},
        {FlowControl::RtsCts, {}, 0x0001, 0x0001 | 0x2004},
        {FlowControl::DtrDsr, {}, 0x1021, 0x1001 | 0x0028},
        {FlowControl::Software, {}, 0x0001, 0x0301},
        {FlowControl::Unchanged, {}, 0x1011 | 0x0040 | 0x0800, 0x1011}, // options absent clear their bits
        {FlowControl::Unchanged, {SerialOption::ErrorChar}, 0x0001, 0x0401},
    };
    for (const Case& tc : cases) {
        FakeSerialPort fake;
        fake.reported.flags = tc.reported;
        SerialPort c;
        c.setDeviceFactory(fake.factory());
        c.setFlowControl(tc.flow);
        c.setOptions(tc.options);
        c.open();
        EXPECT_EQ(fake.statesSet.back().flags, tc.written)
            << "flow " << int(tc.flow) << " reported " << tc.reported;
        c.close();
        EXPECT_TRUE(st::eventThreadsEnded());
    }
}

TEST_F(SerialPortFake, EventCharsAreWrittenAndReappliedEvenWhenUnchanged) {
    serial.eventChars().setXonChar(0x11);
    EXPECT_TRUE(port.calls().empty());
    serial.open();
    serial.eventChars().setEventChar('\r');
    EXPECT_EQ(port.statesSet.back().eventChar, '\r');
    const auto before = port.statesSet.size();
    serial.eventChars().setEventChar('\r');
    EXPECT_EQ(port.statesSet.size(), before + 1);

    SerialEventChars copy(nullptr);
    copy.setXoffChar(0x13 + 1);
    copy.setErrorChar('?');
    serial.eventChars().assign(copy);
    EXPECT_EQ(port.statesSet.size(), before + 1) << "assign() applies nothing";
    EXPECT_EQ(serial.eventChars().xoffChar(), 0x14);
    EXPECT_EQ(serial.eventChars().errorChar(), '?');
    EXPECT_EQ(serial.eventChars().eventChar(), 0);
}

TEST_F(SerialPortFake, ControlLinesUseTheirEscapeFunctions) {
    struct Case {
        std::function<void(SerialPort&, bool)> op;
        bool state;
        std::uint32_t function;
        bool purgesAll;
    };
    const Case cases[] = {
        {&SerialPort::setDtr, true, 5, false},  {&SerialPort::setDtr, false, 6, false},
        {&SerialPort::setRts, true, 3, false},  {&SerialPort::setRts, false, 4, false},
        {&SerialPort::setBreak, true, 8, true}, {&SerialPort::setBreak, false, 9, true},
        {&SerialPort::setXon, true, 2, false},  {&SerialPort::setXon, false, 1, false},
    };
    serial.open();
    for (const Case& tc : cases) {
        port.clearCalls();
        tc.op(serial, tc.state);
        std::vector<Call> expected = {{"escapeCommFunction", tc.function}};
        if (tc.purgesAll)
            expected.push_back({"purgeComm", 0x0F});
        EXPECT_EQ(port.calls(), expected) << tc.function;
    }
}

TEST_F(SerialPortFake, QueuesPurgesModemLinesAndHolds) {
    serial.open();
    port.status.inQueue = 12;
    port.status.outQueue = 3;
    port.status.holdFlags = platform::kHoldCts | platform::kHoldXoffSent;
    EXPECT_EQ(serial.inQueueCount(), 12);
    EXPECT_EQ(serial.outQueueCount(), 3);
    EXPECT_TRUE(serial.ctsHold());
    EXPECT_FALSE(serial.dsrHold());
    EXPECT_FALSE(serial.rlsdHold());
    EXPECT_FALSE(serial.xoffHold());
    EXPECT_TRUE(serial.xoffSent());
    port.clearCalls();
    serial.purgeInput();
    serial.purgeOutput();
    EXPECT_EQ(port.callsNamed("purgeComm"), (std::vector<Call>{{"purgeComm", 0x0A}, {"purgeComm", 0x05}}));

    port.modemStatus = platform::kMsCtsOn | platform::kMsRlsdOn;
    EXPECT_TRUE(serial.cts());
    EXPECT_FALSE(serial.dsr());
    EXPECT_FALSE(serial.ring());
    EXPECT_TRUE(serial.rlsd());
    port.modemError = 1; // a driver without modem lines
    EXPECT_FALSE(serial.cts());
}

TEST_F(SerialPortFake, TransfersUseTheCurrentTimeoutsAndTimeOutAsMinusOne) {
    serial.open();
    serial.setReadTimeout(250);
    serial.setWriteTimeout(40);
    char buf[8] = {};
    port.reads.push_back({platform::SerialTransfer::Status::TimedOut, "", 0});
    port.reads.push_back({platform::SerialTransfer::Status::Done, "abc", 0});
    EXPECT_EQ(serial.read(buf, 8), -1);
    EXPECT_EQ(serial.read(buf, 8), 3) << "a timed-out read does not swallow the next one";
    EXPECT_EQ(std::string(buf, 3), "abc");
    EXPECT_EQ(serial.read(buf, 8), 0) << "nothing received";
    port.writes.push_back({platform::SerialTransfer::Status::TimedOut, "", 0});
    EXPECT_EQ(serial.write("hello", 5), -1);
    EXPECT_EQ(serial.write("hello", 5), 5);
    EXPECT_EQ(port.written, "hello");
    EXPECT_EQ(port.callsNamed("readFile").front().value, 250);
    EXPECT_EQ(port.callsNamed("writeFile").front().value, 40);
}

TEST_F(SerialPortFake, WriteErrorReleasesTheLock) {
    serial.open();
    port.writes.push_back({platform::SerialTransfer::Status::Failed, "", 5});
    EXPECT_THROW(serial.write("a", 1), SerialPortError);
    std::int32_t written = 0;
    std::thread other([&] { written = serial.write("b", 1); });
    other.join();
    EXPECT_EQ(written, 1);
}

TEST_F(SerialPortFake, HandlersRunInTheFixedOrder) {
    std::vector<std::string> order;
    const auto note = [&](const char* name) {
        return [&order, name](SerialPort*) { order.push_back(name); };
    };
    serial.onTxEmpty = note("TxEmpty");
    serial.onRxFlag = note("RxFlag");
    serial.onRxChar = [&](SerialPort*, std::int32_t n) { order.push_back("RxChar " + std::to_string(n)); };
    serial.onRlsd = note("Rlsd");
    serial.onRing = note("Ring");
    serial.onError = [&](SerialPort*, std::int32_t e) { order.push_back("Error " + std::to_string(e)); };
    serial.onDsr = note("Dsr");
    serial.onCts = note("Cts");
    serial.onBreak = [&](SerialPort* sender) {
        EXPECT_EQ(sender, &serial);
        order.push_back("Break");
    };
    serial.open();
    port.status.inQueue = 5;
    port.status.errors = platform::kCeFrame | platform::kCeBreak;
    deliver(0x1FF);
    EXPECT_EQ(order, (std::vector<std::string>{"Break", "Cts", "Dsr", "Error 24", "Ring", "Rlsd", "RxChar 5",
                                               "RxFlag", "TxEmpty"}));
    EXPECT_EQ(port.status.errors, 0u) << "the dispatcher cleared the port's errors";
}

TEST_F(SerialPortFake, RxCharNeedsWaitingBytesAndUnassignedBitsAreSkipped) {
    int rx = 0;
    int tx = 0;
    serial.onRxChar = [&](SerialPort*, std::int32_t) { ++rx; };
    serial.onTxEmpty = [&](SerialPort*) { ++tx; };
    serial.open();
    port.status.inQueue = 0;
    deliver(platform::kEvRxChar | platform::kEvBreak | platform::kEvCts);
    EXPECT_EQ(rx, 0);
    port.status.inQueue = 1;
    deliver(platform::kEvRxChar);
    deliver(platform::kEvTxEmpty);
    EXPECT_EQ(rx, 1);
    EXPECT_EQ(tx, 1);
}

TEST_F(SerialPortFake, NoNotificationReachesAClosedComponent) {
    int breaks = 0;
    serial.onBreak = [&](SerialPort*) { ++breaks; };
    serial.open();
    port.pushEvent(platform::kEvBreak);
    ASSERT_TRUE(ui->waitPending()); // the event thread now waits for this thread
    port.clearCalls();
    serial.close(); // must not deadlock with it
    EXPECT_EQ(port.devicesAlive(), 0) << "close() released the device itself";
    EXPECT_EQ(port.callsNamed("purgeComm"), (std::vector<Call>{{"purgeComm", 0x0F}}));
    ui->pump();
    EXPECT_EQ(breaks, 0);
    EXPECT_TRUE(ui->pumpUntil([] { return SerialEventThread::aliveCount() == 0; }));
    EXPECT_EQ(port.callsAfterClose(), 0);
    EXPECT_EQ(port.callsNamed("purgeComm").size(), 1u) << "the thread's purge did not hit the closed handle";
}

TEST_F(SerialPortFake, AHandlerMayCloseOrDestroyTheComponent) {
    int later = 0;
    serial.onBreak = [&](SerialPort* c) { c->close(); };
    serial.onCts = [&](SerialPort*) { ++later; };
    serial.open();
    deliver(platform::kEvBreak | platform::kEvCts);
    EXPECT_FALSE(serial.isOpen());
    EXPECT_EQ(later, 0);

    auto* owned = new SerialPort;
    owned->setDeviceFactory(port.factory());
    owned->setSynchronizer(ui->synchronize());
    owned->onBreak = [&](SerialPort* c) { delete c; };
    owned->onCts = [&](SerialPort*) { ++later; };
    owned->open();
    deliver(platform::kEvBreak | platform::kEvCts);
    EXPECT_EQ(later, 0);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(ui->pumpUntil([] { return SerialEventThread::aliveCount() == 0; }));
}

TEST_F(SerialPortFake, DestroyingAnOpenComponentClosesIt) {
    {
        SerialPort c;
        c.setDeviceFactory(port.factory());
        c.open();
        EXPECT_TRUE(port.isOpen());
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.devicesAlive(), 0);
    EXPECT_EQ(port.callsNamed("purgeComm"), (std::vector<Call>{{"purgeComm", 0x0F}}));
    EXPECT_TRUE(ui->pumpUntil([&] { return SerialEventThread::aliveCount() == 0 && port.devicesAlive() == 0; }));
}

TEST_F(SerialPortFake, AFailedDeviceDoesNotSpinTheEventThread) {
    serial.open();
    const auto cleared = port.callsNamed("clearCommError").size();
    port.failWaits(5);
    // The event thread has met the failure once it asks the device for its errors.
    ASSERT_TRUE(st::waitUntil([&] { return port.callsNamed("clearCommError").size() > cleared; }));
    // What is checked is that no further waits come in this time: the sleep stays.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_LE(port.waits(), 2);
    serial.close();
    EXPECT_TRUE(ui->pumpUntil([] { return SerialEventThread::aliveCount() == 0; }));
}

TEST_F(SerialPortFake, AWaitThatFailsOnceDoesNotEndTheNotifications) {
    // A line error aborts the pending wait until the errors are cleared; the port is sound.
    int rx = 0;
    serial.onRxChar = [&](SerialPort*, std::int32_t) { ++rx; };
    serial.open();
    port.status.inQueue = 1;
    port.failNextWait(995);
    deliver(platform::kEvRxChar);
    EXPECT_EQ(rx, 1);
}

TEST_F(SerialPortFake, DirectSynchronizeStillKeepsCloseSafe) {
    // Without a user-interface queue the handlers run on the event thread; close() waits for a
    // running one and no handler starts after it.
    SerialPort c;
    c.setDeviceFactory(port.factory());
    std::atomic<int> seen{0};
    c.onRing = [&](SerialPort*) { ++seen; };
    for (int i = 0; i < 50; ++i) {
        c.open();
        port.pushEvent(platform::kEvRing);
        port.pushEvent(platform::kEvRing);
        c.close();
        const int atClose = seen;
        // What is checked is that no handler starts in this time: the sleep stays.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(seen, atClose) << "a handler ran after close() returned";
    }
    EXPECT_TRUE(st::eventThreadsEnded());
}
