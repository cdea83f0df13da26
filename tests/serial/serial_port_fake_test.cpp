// The serial port component against the scripted fake device.
#include "platform/serial_device_fake.h"
#include "tests/serial/serial_port_error_of.h"
#include "tests/serial/main_thread_queue.h"
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

class CommFake : public ::testing::Test {
protected:
    CommFake() {
        comm.SetDeviceFactory(port.factory());
        comm.SetSynchronize(ui->synchronize());
    }
    ~CommFake() override {
        comm.Close();
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
    TComm comm;
};

} // namespace

TEST_F(CommFake, NewComponentIsClosedAndQuiet) {
    EXPECT_FALSE(comm.Enabled());
    EXPECT_EQ(comm.Handle(), nullptr);
    EXPECT_EQ(comm.InQueCount(), -1);
    EXPECT_EQ(comm.OutQueCount(), -1);
    EXPECT_FALSE(comm.CTS() || comm.DSR() || comm.RING() || comm.RLSD());
    EXPECT_FALSE(comm.CtsHold() || comm.DsrHold() || comm.RlsdHold() || comm.XoffHold() || comm.XOffSent());
    comm.Close();
    comm.PurgeIn();
    comm.PurgeOut();
    EXPECT_EQ(comm.DeviceName(), "Com2");
    EXPECT_EQ(comm.ReadTimeout(), 1000);
    EXPECT_EQ(comm.WriteBufSize(), 2048);
    EXPECT_EQ(comm.MonitorEvents(), kAllCommEvents);
    EXPECT_EQ(comm.FlowControl(), fcDefault);
    EXPECT_TRUE(port.calls().empty());
}

TEST_F(CommFake, OpenAppliesSettingsInOrder) {
    comm.SetDeviceName("\\\\.\\COM3");
    comm.Open();
    ASSERT_TRUE(comm.Enabled());
    EXPECT_EQ(port.openedName, "\\\\.\\COM3");
    const std::vector<Call> expected = {
        {"open", 0},         {"isCharDevice", 0},      {"setCommMask", 0x1FF}, {"setCommTimeouts", 0},
        {"getCommState", 0}, {"setCommState", 0x1011}, {"setupComm", 4096}};
    auto calls = port.calls();
    calls.resize(std::min(calls.size(), expected.size()));
    EXPECT_EQ(calls, expected);
    ASSERT_EQ(port.statesSet.size(), 1u);
    const platform::SerialDcb& dcb = port.statesSet[0];
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(dcb.XonLim, 1024);
    EXPECT_EQ(dcb.XoffLim, 1024);
    EXPECT_EQ(dcb.XonChar, 17);
    EXPECT_EQ(dcb.XoffChar, 19);
    EXPECT_EQ(port.outQueueSize, 2048);
}

TEST_F(CommFake, MonitoredEventsBecomeThePortMask) {
    comm.SetMonitorEvents({evRxChar, evBreak, evTxEmpty});
    comm.Open();
    EXPECT_EQ(port.eventMask, platform::kEvRxChar | platform::kEvBreak | platform::kEvTxEmpty);
}

// Every row of the failure table: message, code and the state afterwards.
TEST_F(CommFake, FailuresRaiseTheirMessageAndCode) {
    struct Case {
        const char* name;
        std::function<void(FakeSerialPort&, TComm&)> arrange;
        std::function<void(TComm&)> act;
        std::string message;
        std::int32_t code;
        bool openAfter;
    };
    const auto open = [](FakeSerialPort&, TComm& c) { c.Open(); };
    // A call on a closed port meets the system's own invalid-handle code (EBADF, ERROR_INVALID_HANDLE).
    const auto badHandle = static_cast<std::int32_t>(platform::invalidHandleError());
    const std::string badHandleText = "(Error: " + std::to_string(badHandle) + ") ";
    const Case cases[] = {
        {"open twice", open, [](TComm& c) { c.Open(); }, "Port already assigned (open) (Error: -1) ", -1,
         true},
        {"rename open", open, [](TComm& c) { c.SetDeviceName("COM9"); },
         "Port already assigned (open) (Error: -1) ", -1, true},
        {"read buffer", open, [](TComm& c) { c.SetReadBufSize(1); },
         "Port already assigned (open) (Error: -1) ", -1, true},
        {"write buffer", open, [](TComm& c) { c.SetWriteBufSize(1); },
         "Port already assigned (open) (Error: -1) ", -1, true},
        {"events", open, [](TComm& c) { c.SetMonitorEvents({evRing}); },
         "Port already assigned (open) (Error: -1) ", -1, true},
        {"missing", [](FakeSerialPort& p, TComm&) { p.openError = 2; }, [](TComm& c) { c.Open(); },
         "Error accessing specified device (Error: 2) ", 2, false},
        {"not a char device", [](FakeSerialPort& p, TComm&) { p.charDevice = false; },
         [](TComm& c) { c.Open(); }, "Invalid device handle, access denied (Error: -1) ", -1, false},
        {"timeouts", [](FakeSerialPort& p, TComm&) { p.timeoutsError = 31; }, [](TComm& c) { c.Open(); },
         "Error updating CommTimeouts (Error: 31) ", 31, true},
        {"dcb at open", [](FakeSerialPort& p, TComm&) { p.setStateError = 87; }, [](TComm& c) { c.Open(); },
         "Error updating DataControlBlock (Error: 87) ", 87, true},
        {"4 data bits", open, [](TComm& c) { c.SetDatabits(da4); },
         "Error updating DataControlBlock (Error: 87) ", 87, true},
        {"event char",
         [](FakeSerialPort& p, TComm& c) {
             c.Open();
             p.setStateError = 31;
         },
         [](TComm& c) { c.EventChars().SetEvtChar('\n'); }, "Error updating DataControlBlock (Error: 31) ",
         31, true},
        {"buffers", [](FakeSerialPort& p, TComm&) { p.setupError = 87; }, [](TComm& c) { c.Open(); },
         "Error initializing Read/Write Buffers (Error: 87) ", 87, true},
        {"write",
         [](FakeSerialPort& p, TComm& c) {
             c.Open();
             p.writes.push_back({platform::SerialTransfer::Status::Failed, "", 5});
         },
         [](TComm& c) { c.Write("x", 1); }, "Write error (Error: 5) ", 5, true},
        {"read",
         [](FakeSerialPort& p, TComm& c) {
             c.Open();
             p.reads.push_back({platform::SerialTransfer::Status::Failed, "", 995});
         },
         [](TComm& c) {
             char b[4];
             c.Read(b, 4);
         },
         "Read error (Error: 995) ", 995, true},
        {"read closed", [](FakeSerialPort&, TComm&) {},
         [](TComm& c) {
             char b[4];
             c.Read(b, 4);
         },
         "Read error " + badHandleText, badHandle, false},
        {"write closed", [](FakeSerialPort&, TComm&) {}, [](TComm& c) { c.Write("x", 1); },
         "Write error " + badHandleText, badHandle, false},
        {"dtr closed", [](FakeSerialPort&, TComm&) {}, [](TComm& c) { c.SetDTRState(true); },
         "Port not open, unable to complete operation (Error: -1) ", -1, false},
        {"rts closed", [](FakeSerialPort&, TComm&) {}, [](TComm& c) { c.SetRTSState(false); },
         "Port not open, unable to complete operation (Error: -1) ", -1, false},
        {"break closed", [](FakeSerialPort&, TComm&) {}, [](TComm& c) { c.SetBREAKState(true); },
         "Port not open, unable to complete operation (Error: -1) ", -1, false},
        {"xon closed", [](FakeSerialPort&, TComm&) {}, [](TComm& c) { c.SetXONState(true); },
         "Port not open, unable to complete operation (Error: -1) ", -1, false},
        {"escape",
         [](FakeSerialPort& p, TComm& c) {
             c.Open();
             p.escapeError = 1;
         },
         [](TComm& c) { c.SetDTRState(true); }, "EscapeCommFunction failure (Error: 1) ", 1, true},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        FakeSerialPort fake;
        TComm c;
        c.SetDeviceFactory(fake.factory());
        tc.arrange(fake, c);
        std::int32_t code = 0;
        EXPECT_EQ(errorOf([&] { tc.act(c); }, &code), tc.message);
        EXPECT_EQ(code, tc.code);
        EXPECT_EQ(c.Enabled(), tc.openAfter);
        EXPECT_EQ(fake.isOpen(), tc.openAfter);
        c.Close();
        EXPECT_TRUE(st::eventThreadsEnded());
    }
}

TEST_F(CommFake, RefusedChangesKeepOldValuesButRefusedLineSettingsStay) {
    comm.Open();
    EXPECT_THROW(comm.SetDeviceName("COM7"), ECommError);
    EXPECT_EQ(comm.DeviceName(), "Com2");
    comm.SetDeviceName("Com2"); // same name: nothing to refuse
    comm.SetReadBufSize(4096);
    EXPECT_THROW(comm.SetDatabits(da4), ECommError);
    EXPECT_EQ(comm.Databits(), da4);
    EXPECT_EQ(port.statesSet.back().ByteSize, 4);
    EXPECT_TRUE(comm.Enabled());
}

TEST_F(CommFake, FailedOpenAfterTheDeviceOpenedLeavesItOpenUntilClose) {
    port.timeoutsError = 31;
    EXPECT_THROW(comm.Open(), ECommError);
    EXPECT_TRUE(comm.Enabled());
    EXPECT_GE(TCommEventThread::Alive(), 1);
    comm.Close();
    EXPECT_FALSE(port.isOpen());
    port.timeoutsError = 0;
    comm.Open(); // the update dialog's Close-then-Open retry works
    EXPECT_TRUE(comm.Enabled());
}

// Line settings: stored only while closed, written at once while open, nothing for the same value.
TEST_F(CommFake, LineSettersFollowTheStoreThenUpdateRule) {
    struct Setter {
        const char* name;
        std::function<void(TComm&)> set;
        std::function<std::uint32_t(const platform::SerialDcb&)> field; // the part of the block it sets
        std::uint32_t written;
    };
    const Setter setters[] = {
        {"baud", [](TComm& c) { c.SetBaudRate(br115200); }, [](auto& d) { return d.BaudRate; }, 115200},
        {"parity", [](TComm& c) { c.SetParity(paMark); }, [](auto& d) { return d.Parity; }, 3},
        {"stop bits", [](TComm& c) { c.SetStopbits(sb20); }, [](auto& d) { return d.StopBits; }, 2},
        {"data bits", [](TComm& c) { c.SetDatabits(da7); }, [](auto& d) { return d.ByteSize; }, 7},
        {"options", [](TComm& c) { c.SetOptions({coNullStrip}); }, [](auto& d) { return d.Flags & 0x0800; },
         0x0800},
        {"flow", [](TComm& c) { c.SetFlowControl(fcSoftware); }, [](auto& d) { return d.Flags & 0x0300; },
         0x0300},
    };
    for (const Setter& s : setters) {
        SCOPED_TRACE(s.name);
        FakeSerialPort fake;
        TComm c;
        c.SetDeviceFactory(fake.factory());
        s.set(c);
        EXPECT_TRUE(fake.calls().empty()) << "closed: stored only";
        c.Open();
        EXPECT_EQ(s.field(fake.statesSet.back()), s.written) << "reaches the port at Open";
        TComm d;
        d.SetDeviceFactory(fake.factory());
        c.Close();
        d.Open();
        fake.statesSet.clear();
        s.set(d);
        ASSERT_EQ(fake.statesSet.size(), 1u) << "open: written at once";
        EXPECT_EQ(s.field(fake.statesSet.back()), s.written);
        s.set(d);
        EXPECT_EQ(fake.statesSet.size(), 1u) << "same value: nothing";
        d.Close();
        EXPECT_TRUE(st::eventThreadsEnded());
    }
}

TEST_F(CommFake, EveryBaudRateWritesItsNumber) {
    const std::uint32_t rates[] = {110,   300,   600,   1200,   2400,   4800,   9600,    14400,  19200,
                                   38400, 56000, 57600, 115200, 128000, 256000, 1500000, 3000000};
    comm.Open();
    for (int i = 0; i <= br3000000; ++i) {
        comm.SetBaudRate(static_cast<TBaudrate>(i == br9600 ? br110 : i));
        comm.SetBaudRate(static_cast<TBaudrate>(i));
        EXPECT_EQ(port.statesSet.back().BaudRate, rates[i]) << i;
    }
}

TEST_F(CommFake, FlowControlAndOptionsShapeTheFlagWord) {
    struct Case {
        TFlowControl flow;
        TCommOptions options;
        std::uint32_t reported;
        std::uint32_t written;
    };
    const Case cases[] = {
        {fcNone, {coParityCheck, coNullStrip}, 0x7FFF, 0x0001 | 0x0002 | 0x0800},
        {fcNone, {}, 0x1011, 0x0001},
        {fcNone, {coDsrSensitivity, coIgnoreXOff, coErrorChar}, 0x0000, 0x0001 | 0x0040 | 0x0080 | 0x0400},
        // A handshake replaces its line's reported control mode (enable + handshake is no mode).
        {fcCTS, {}, 0x1011, 0x0011 | 0x2004},
        {fcDTR, {}, 0x1011, 0x1001 | 0x0028},
        {fcCTS, {}, 0x0001, 0x0001 | 0x2004},
        {fcDTR, {}, 0x1021, 0x1001 | 0x0028},
        {fcSoftware, {}, 0x0001, 0x0301},
        {fcDefault, {}, 0x1011 | 0x0040 | 0x0800, 0x1011}, // options absent clear their bits
        {fcDefault, {coErrorChar}, 0x0001, 0x0401},
    };
    for (const Case& tc : cases) {
        FakeSerialPort fake;
        fake.reported.Flags = tc.reported;
        TComm c;
        c.SetDeviceFactory(fake.factory());
        c.SetFlowControl(tc.flow);
        c.SetOptions(tc.options);
        c.Open();
        EXPECT_EQ(fake.statesSet.back().Flags, tc.written)
            << "flow " << int(tc.flow) << " reported " << tc.reported;
        c.Close();
        EXPECT_TRUE(st::eventThreadsEnded());
    }
}

TEST_F(CommFake, EventCharsAreWrittenAndReappliedEvenWhenUnchanged) {
    comm.EventChars().SetXonChar(0x11);
    EXPECT_TRUE(port.calls().empty());
    comm.Open();
    comm.EventChars().SetEvtChar('\r');
    EXPECT_EQ(port.statesSet.back().EvtChar, '\r');
    const auto before = port.statesSet.size();
    comm.EventChars().SetEvtChar('\r');
    EXPECT_EQ(port.statesSet.size(), before + 1);

    TCommEventChars copy(nullptr);
    copy.SetXoffChar(0x13 + 1);
    copy.SetErrorChar('?');
    comm.EventChars().Assign(copy);
    EXPECT_EQ(port.statesSet.size(), before + 1) << "Assign applies nothing";
    EXPECT_EQ(comm.EventChars().XoffChar(), 0x14);
    EXPECT_EQ(comm.EventChars().ErrorChar(), '?');
    EXPECT_EQ(comm.EventChars().EvtChar(), 0);
}

TEST_F(CommFake, ControlLinesUseTheirEscapeFunctions) {
    struct Case {
        std::function<void(TComm&, bool)> op;
        bool state;
        std::uint32_t function;
        bool purgesAll;
    };
    const Case cases[] = {
        {&TComm::SetDTRState, true, 5, false},  {&TComm::SetDTRState, false, 6, false},
        {&TComm::SetRTSState, true, 3, false},  {&TComm::SetRTSState, false, 4, false},
        {&TComm::SetBREAKState, true, 8, true}, {&TComm::SetBREAKState, false, 9, true},
        {&TComm::SetXONState, true, 2, false},  {&TComm::SetXONState, false, 1, false},
    };
    comm.Open();
    for (const Case& tc : cases) {
        port.clearCalls();
        tc.op(comm, tc.state);
        std::vector<Call> expected = {{"escapeCommFunction", tc.function}};
        if (tc.purgesAll)
            expected.push_back({"purgeComm", 0x0F});
        EXPECT_EQ(port.calls(), expected) << tc.function;
    }
}

TEST_F(CommFake, QueuesPurgesModemLinesAndHolds) {
    comm.Open();
    port.status.InQue = 12;
    port.status.OutQue = 3;
    port.status.HoldFlags = platform::kHoldCts | platform::kHoldXoffSent;
    EXPECT_EQ(comm.InQueCount(), 12);
    EXPECT_EQ(comm.OutQueCount(), 3);
    EXPECT_TRUE(comm.CtsHold());
    EXPECT_FALSE(comm.DsrHold());
    EXPECT_FALSE(comm.RlsdHold());
    EXPECT_FALSE(comm.XoffHold());
    EXPECT_TRUE(comm.XOffSent());
    port.clearCalls();
    comm.PurgeIn();
    comm.PurgeOut();
    EXPECT_EQ(port.callsNamed("purgeComm"), (std::vector<Call>{{"purgeComm", 0x0A}, {"purgeComm", 0x05}}));

    port.modemStatus = platform::kMsCtsOn | platform::kMsRlsdOn;
    EXPECT_TRUE(comm.CTS());
    EXPECT_FALSE(comm.DSR());
    EXPECT_FALSE(comm.RING());
    EXPECT_TRUE(comm.RLSD());
    port.modemError = 1; // a driver without modem lines
    EXPECT_FALSE(comm.CTS());
}

TEST_F(CommFake, TransfersUseTheCurrentTimeoutsAndTimeOutAsMinusOne) {
    comm.Open();
    comm.SetReadTimeout(250);
    comm.SetWriteTimeout(40);
    char buf[8] = {};
    port.reads.push_back({platform::SerialTransfer::Status::TimedOut, "", 0});
    port.reads.push_back({platform::SerialTransfer::Status::Done, "abc", 0});
    EXPECT_EQ(comm.Read(buf, 8), -1);
    EXPECT_EQ(comm.Read(buf, 8), 3) << "a timed-out read does not swallow the next one";
    EXPECT_EQ(std::string(buf, 3), "abc");
    EXPECT_EQ(comm.Read(buf, 8), 0) << "nothing received";
    port.writes.push_back({platform::SerialTransfer::Status::TimedOut, "", 0});
    EXPECT_EQ(comm.Write("hello", 5), -1);
    EXPECT_EQ(comm.Write("hello", 5), 5);
    EXPECT_EQ(port.written, "hello");
    EXPECT_EQ(port.callsNamed("readFile").front().value, 250);
    EXPECT_EQ(port.callsNamed("writeFile").front().value, 40);
}

TEST_F(CommFake, WriteErrorReleasesTheLock) {
    comm.Open();
    port.writes.push_back({platform::SerialTransfer::Status::Failed, "", 5});
    EXPECT_THROW(comm.Write("a", 1), ECommError);
    std::int32_t written = 0;
    std::thread other([&] { written = comm.Write("b", 1); });
    other.join();
    EXPECT_EQ(written, 1);
}

TEST_F(CommFake, HandlersRunInTheFixedOrder) {
    std::vector<std::string> order;
    const auto note = [&](const char* name) {
        return [&order, name](TCustomComm*) { order.push_back(name); };
    };
    comm.SetOnTxEmpty(note("TxEmpty"));
    comm.SetOnRxFlag(note("RxFlag"));
    comm.SetOnRxChar([&](TCustomComm*, std::int32_t n) { order.push_back("RxChar " + std::to_string(n)); });
    comm.SetOnRlsd(note("Rlsd"));
    comm.SetOnRing(note("Ring"));
    comm.SetOnError([&](TCustomComm*, std::int32_t e) { order.push_back("Error " + std::to_string(e)); });
    comm.SetOnDsr(note("Dsr"));
    comm.SetOnCts(note("Cts"));
    comm.SetOnBreak([&](TCustomComm* sender) {
        EXPECT_EQ(sender, &comm);
        order.push_back("Break");
    });
    comm.Open();
    port.status.InQue = 5;
    port.status.Errors = platform::kCeFrame | platform::kCeBreak;
    deliver(0x1FF);
    EXPECT_EQ(order, (std::vector<std::string>{"Break", "Cts", "Dsr", "Error 24", "Ring", "Rlsd", "RxChar 5",
                                               "RxFlag", "TxEmpty"}));
    EXPECT_EQ(port.status.Errors, 0u) << "the dispatcher cleared the port's errors";
}

TEST_F(CommFake, RxCharNeedsWaitingBytesAndUnassignedBitsAreSkipped) {
    int rx = 0;
    int tx = 0;
    comm.SetOnRxChar([&](TCustomComm*, std::int32_t) { ++rx; });
    comm.SetOnTxEmpty([&](TCustomComm*) { ++tx; });
    comm.Open();
    port.status.InQue = 0;
    deliver(platform::kEvRxChar | platform::kEvBreak | platform::kEvCts);
    EXPECT_EQ(rx, 0);
    port.status.InQue = 1;
    deliver(platform::kEvRxChar);
    deliver(platform::kEvTxEmpty);
    EXPECT_EQ(rx, 1);
    EXPECT_EQ(tx, 1);
}

TEST_F(CommFake, NoNotificationReachesAClosedComponent) {
    int breaks = 0;
    comm.SetOnBreak([&](TCustomComm*) { ++breaks; });
    comm.Open();
    port.pushEvent(platform::kEvBreak);
    ASSERT_TRUE(ui->waitPending()); // the event thread now waits for this thread
    port.clearCalls();
    comm.Close(); // must not deadlock with it
    EXPECT_EQ(port.devicesAlive(), 0) << "Close released the device itself";
    EXPECT_EQ(port.callsNamed("purgeComm"), (std::vector<Call>{{"purgeComm", 0x0F}}));
    ui->pump();
    EXPECT_EQ(breaks, 0);
    EXPECT_TRUE(ui->pumpUntil([] { return TCommEventThread::Alive() == 0; }));
    EXPECT_EQ(port.callsAfterClose(), 0);
    EXPECT_EQ(port.callsNamed("purgeComm").size(), 1u) << "the thread's purge did not hit the closed handle";
}

TEST_F(CommFake, AHandlerMayCloseOrDestroyTheComponent) {
    int later = 0;
    comm.SetOnBreak([&](TCustomComm* c) { c->Close(); });
    comm.SetOnCts([&](TCustomComm*) { ++later; });
    comm.Open();
    deliver(platform::kEvBreak | platform::kEvCts);
    EXPECT_FALSE(comm.Enabled());
    EXPECT_EQ(later, 0);

    auto* owned = new TComm;
    owned->SetDeviceFactory(port.factory());
    owned->SetSynchronize(ui->synchronize());
    owned->SetOnBreak([&](TCustomComm* c) { delete c; });
    owned->SetOnCts([&](TCustomComm*) { ++later; });
    owned->Open();
    deliver(platform::kEvBreak | platform::kEvCts);
    EXPECT_EQ(later, 0);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(ui->pumpUntil([] { return TCommEventThread::Alive() == 0; }));
}

TEST_F(CommFake, DestroyingAnOpenComponentClosesIt) {
    {
        TComm c;
        c.SetDeviceFactory(port.factory());
        c.Open();
        EXPECT_TRUE(port.isOpen());
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.devicesAlive(), 0);
    EXPECT_EQ(port.callsNamed("purgeComm"), (std::vector<Call>{{"purgeComm", 0x0F}}));
    EXPECT_TRUE(ui->pumpUntil([&] { return TCommEventThread::Alive() == 0 && port.devicesAlive() == 0; }));
}

TEST_F(CommFake, AFailedDeviceDoesNotSpinTheEventThread) {
    comm.Open();
    const auto cleared = port.callsNamed("clearCommError").size();
    port.failWaits(5);
    // The event thread has met the failure once it asks the device for its errors.
    ASSERT_TRUE(st::waitUntil([&] { return port.callsNamed("clearCommError").size() > cleared; }));
    // What is checked is that no further waits come in this time: the sleep stays.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_LE(port.waits(), 2);
    comm.Close();
    EXPECT_TRUE(ui->pumpUntil([] { return TCommEventThread::Alive() == 0; }));
}

TEST_F(CommFake, AWaitThatFailsOnceDoesNotEndTheNotifications) {
    // A line error aborts the pending wait until the errors are cleared; the port is sound.
    int rx = 0;
    comm.SetOnRxChar([&](TCustomComm*, std::int32_t) { ++rx; });
    comm.Open();
    port.status.InQue = 1;
    port.failNextWait(995);
    deliver(platform::kEvRxChar);
    EXPECT_EQ(rx, 1);
}

TEST_F(CommFake, DirectSynchronizeStillKeepsCloseSafe) {
    // Without a user-interface queue the handlers run on the event thread; Close waits for a
    // running one and no handler starts after it.
    TComm c;
    c.SetDeviceFactory(port.factory());
    std::atomic<int> seen{0};
    c.SetOnRing([&](TCustomComm*) { ++seen; });
    for (int i = 0; i < 50; ++i) {
        c.Open();
        port.pushEvent(platform::kEvRing);
        port.pushEvent(platform::kEvRing);
        c.Close();
        const int atClose = seen;
        // What is checked is that no handler starts in this time: the sleep stays.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(seen, atClose) << "a handler ran after Close returned";
    }
    EXPECT_TRUE(st::eventThreadsEnded());
}
