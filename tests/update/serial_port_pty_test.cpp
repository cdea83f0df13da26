// The serial port component on real pseudo-terminals through the POSIX backend.
#include "platform/serial_posix_speed.h"
#include "tests/support/temp_dir.h"
#include "tests/update/serial_port_error_of.h"
#include "tests/update/main_thread_queue.h"
#include "tests/support/pty_pair.h"
#include "update/serial_port.h"

#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <termios.h>

using namespace strovane;
using namespace strovane::update;
namespace st = strovane::testing;
using st::errorOf;

namespace {

class SerialPortPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pty.path.empty()) << "no pseudo-terminal";
        serial.setDeviceName(pty.path);
        serial.setSynchronizer(ui->synchronize());
    }
    void TearDown() override {
        serial.close();
        ui->pump();
        EXPECT_TRUE(st::eventThreadsEnded());
    }

    termios slaveSettings() const {
        termios tio{};
        tcgetattr(pty.slave, &tio);
        return tio;
    }

    st::PtyPair pty;
    std::shared_ptr<st::UiQueue> ui = std::make_shared<st::UiQueue>();
    SerialPort serial;
};

} // namespace

TEST_F(SerialPortPty, BytesTravelBothWays) {
    serial.open();
    ASSERT_TRUE(serial.isOpen());
    EXPECT_EQ(serial.write("hello\n\r", 7), 7);
    EXPECT_EQ(pty.receive(7), "hello\n\r") << "raw output: no translation";

    pty.send(std::string("wor\0ld\r\n", 8));
    ASSERT_TRUE(ui->pumpUntil([&] { return serial.inQueueCount() == 8; }));
    char buf[16] = {};
    EXPECT_EQ(serial.read(buf, sizeof buf), 8);
    EXPECT_EQ(std::string(buf, 8), std::string("wor\0ld\r\n", 8)) << "raw input: no echo, no translation";
    EXPECT_EQ(pty.receive(1, 100), "") << "nothing echoed";
}

TEST_F(SerialPortPty, ReadWithNothingWaitingReturnsZeroAtOnce) {
    serial.setReadTimeout(5000);
    serial.open();
    char buf[4];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(serial.read(buf, sizeof buf), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

TEST_F(SerialPortPty, WriteTimesOutWhenNobodyReads) {
    serial.setWriteTimeout(100);
    serial.open();
    const std::string big(1 << 20, 'x');
    EXPECT_EQ(serial.write(big.data(), static_cast<std::int32_t>(big.size())), -1);
    // The line still works afterwards.
    serial.purgeOutput();
    tcflush(pty.master, TCIFLUSH);
    while (!pty.receive(65536, 50).empty()) {
    }
    EXPECT_EQ(serial.write("ok", 2), 2);
    EXPECT_EQ(pty.receive(2), "ok");
}

TEST_F(SerialPortPty, InputQueueCountAndPurge) {
    serial.open();
    EXPECT_EQ(serial.inQueueCount(), 0);
    EXPECT_EQ(serial.outQueueCount(), 0);
    pty.send("0123456789");
    ASSERT_TRUE(ui->pumpUntil([&] { return serial.inQueueCount() == 10; }));
    serial.purgeInput();
    EXPECT_EQ(serial.inQueueCount(), 0);
    char buf[16];
    EXPECT_EQ(serial.read(buf, sizeof buf), 0);
}

TEST_F(SerialPortPty, OpenSetsRawModeAndKeepsDtrOnClose) {
    serial.open();
    const termios tio = slaveSettings();
    EXPECT_FALSE(tio.c_lflag & (ECHO | ICANON | ISIG));
    EXPECT_FALSE(tio.c_oflag & OPOST);
    EXPECT_FALSE(tio.c_cflag & HUPCL);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
    EXPECT_EQ(tio.c_cc[VSTART], 17);
    EXPECT_EQ(tio.c_cc[VSTOP], 19);
}

TEST_F(SerialPortPty, BaudRatesReachTheLine) {
    struct Case {
        BaudRate rate;
        speed_t constant; // B0 where termios has no constant
        unsigned bits;
    };
    const Case cases[] = {{BaudRate::Baud110, B110, 110},
                          {BaudRate::Baud9600, B9600, 9600},
                          {BaudRate::Baud14400, B0, 14400},
                          {BaudRate::Baud57600, B57600, 57600},
                          {BaudRate::Baud56000, B0, 56000},
                          {BaudRate::Baud115200, B115200, 115200},
                          {BaudRate::Baud128000, B0, 128000},
                          {BaudRate::Baud256000, B0, 256000},
                          {BaudRate::Baud1500000, B1500000, 1500000},
                          {BaudRate::Baud3000000, B3000000, 3000000}};
    serial.open();
    for (const Case& tc : cases) {
        serial.setBaudRate(tc.rate);
        EXPECT_EQ(platform::posix::lineSpeed(pty.slave), tc.bits);
        if (tc.constant != B0) {
            const termios tio = slaveSettings();
            EXPECT_EQ(cfgetospeed(&tio), tc.constant) << tc.bits;
        }
    }
}

TEST_F(SerialPortPty, StopBitsFlowControlAndOptionsReachTermios) {
    serial.setFlowControl(FlowControl::RtsCts);
    serial.open();
    EXPECT_TRUE(slaveSettings().c_cflag & CRTSCTS);
    serial.setFlowControl(FlowControl::None);
    EXPECT_FALSE(slaveSettings().c_cflag & CRTSCTS);
    EXPECT_FALSE(slaveSettings().c_iflag & (IXON | IXOFF));
    serial.setFlowControl(FlowControl::Software);
    EXPECT_EQ(slaveSettings().c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    serial.setStopBits(StopBits::Two);
    EXPECT_TRUE(slaveSettings().c_cflag & CSTOPB);
    serial.setOptions({SerialOption::ParityCheck});
    EXPECT_TRUE(slaveSettings().c_iflag & INPCK);
    EXPECT_EQ(errorOf([&] { serial.setStopBits(StopBits::OneAndHalf); }), "Error updating DataControlBlock (Error: 22) ")
        << "1.5 stop bits need 5 data bits";
}

TEST_F(SerialPortPty, FrameThePseudoTerminalCannotCarryIsRefused) {
    // A pseudo-terminal forces 8 data bits without parity; the refusal is reported, not hidden.
    serial.open();
    EXPECT_EQ(errorOf([&] { serial.setParity(Parity::Even); }), "Error updating DataControlBlock (Error: 22) ");
    EXPECT_EQ(errorOf([&] { serial.setDataBits(DataBits::Four); }), "Error updating DataControlBlock (Error: 22) ");
    EXPECT_TRUE(serial.isOpen());
}

TEST_F(SerialPortPty, SecondOpenOfTheSameDeviceFailsAsInUse) {
    serial.open();
    SerialPort second;
    second.setDeviceName(pty.path);
    std::int32_t code = 0;
    EXPECT_EQ(errorOf([&] { second.open(); }, &code), "Error accessing specified device (Error: 16) ");
    EXPECT_EQ(code, EBUSY);
    EXPECT_FALSE(second.isOpen());
    serial.close();
    EXPECT_NO_THROW(second.open()) << "close() released the device";
    second.close();
}

TEST_F(SerialPortPty, PathsThatAreNotSerialDevices) {
    st::TempDir dir;
    const auto file = dir / "plain.txt";
    std::ofstream(file) << "x";
    serial.setDeviceName(file.string());
    std::int32_t code = 0;
    EXPECT_EQ(errorOf([&] { serial.open(); }, &code), "Invalid device handle, access denied (Error: -1) ");
    EXPECT_FALSE(serial.isOpen());

    serial.setDeviceName((dir / "missing").string());
    EXPECT_EQ(errorOf([&] { serial.open(); }, &code), "Error accessing specified device (Error: 2) ");
    EXPECT_EQ(code, ENOENT);
    EXPECT_FALSE(serial.isOpen());
}

TEST_F(SerialPortPty, ModemLinesAreAbsentOnAPseudoTerminal) {
    serial.open();
    EXPECT_FALSE(serial.cts() || serial.dsr() || serial.ring() || serial.rlsd());
    std::int32_t code = 0;
    EXPECT_EQ(errorOf([&] { serial.setDtr(true); }, &code).rfind("EscapeCommFunction failure", 0), 0u);
    EXPECT_TRUE(code == ENOTTY || code == EINVAL) << code;
}

TEST_F(SerialPortPty, ReceivedBytesAndEmptiedOutputRaiseEvents) {
    std::vector<std::int32_t> counts;
    int txEmpty = 0;
    serial.onRxChar = [&](SerialPort*, std::int32_t n) { counts.push_back(n); };
    serial.onTxEmpty = [&](SerialPort*) { ++txEmpty; };
    serial.open();
    pty.send("abc");
    ASSERT_TRUE(ui->pumpUntil([&] { return !counts.empty() && counts.back() == 3; }));
    // The bytes stay unread: no further notifications pile up for them in a while (a fixed wait,
    // as it checks that nothing comes).
    const auto seen = counts.size();
    ui->pumpUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(counts.size(), seen);
    char buf[8];
    EXPECT_EQ(serial.read(buf, sizeof buf), 3);
    pty.send("d");
    ASSERT_TRUE(ui->pumpUntil([&] { return counts.back() == 1; }));
    EXPECT_EQ(serial.write("z", 1), 1);
    EXPECT_TRUE(ui->pumpUntil([&] { return txEmpty > 0; }));
}

TEST_F(SerialPortPty, DeviceThatGoesAwayFailsTransfersAndCloses) {
    serial.open();
    ::close(pty.slave);
    pty.slave = -1;
    pty.closeMaster();
    char buf[4];
    std::int32_t code = 0;
    EXPECT_EQ(errorOf([&] { serial.read(buf, 4); }, &code), "Read error (Error: 5) ");
    EXPECT_EQ(errorOf([&] { serial.write("x", 1); }, &code), "Write error (Error: 5) ");
    EXPECT_EQ(code, EIO);
    serial.close();
    EXPECT_FALSE(serial.isOpen());
}
