// The serial port component on both ends of a pair of connected ports through this system's backend.
// The pair is named "A,B" in STROVANE_TEST_COM_PAIR (the Windows test script maps COM8 and COM9 to a
// pseudo-terminal pair under Wine); without it the suite is skipped.
#include "platform/port_probe.h"
#include "platform/system.h"
#include "tests/update/serial_port_error_of.h"
#include "tests/update/main_thread_queue.h"
#include "update/serial_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>

using namespace strovane;
using namespace strovane::update;
namespace st = strovane::testing;
using st::errorOf;

namespace {

// What Wine 8 cannot do on a pseudo-terminal that Windows does on a port.
constexpr const char* kWineNoEmptyReads = "Wine 8 holds an overlapped read on an empty pseudo-terminal";
constexpr const char* kWineSharesPorts = "Wine 8 lets a serial port be opened twice";
constexpr const char* kWineNoEventWaits =
    "Wine 8 ends every wait for port events on a pseudo-terminal at once (aborted, or not supported "
    "with modem-line events in the mask)";
constexpr const char* kWineNoModemLines = "Wine 8 has no modem lines on a pseudo-terminal";

class SerialPortPair : public ::testing::Test {
protected:
    void SetUp() override {
        const char* pair = std::getenv("STROVANE_TEST_COM_PAIR");
        if (!pair || !*pair)
            GTEST_SKIP() << "STROVANE_TEST_COM_PAIR names no connected pair of ports";
        const std::string text = pair;
        const auto comma = text.find(',');
        ASSERT_NE(comma, std::string::npos) << "STROVANE_TEST_COM_PAIR is \"A,B\"";
        m_nameA = platform::devicePath(text.substr(0, comma));
        m_nameB = platform::devicePath(text.substr(comma + 1));
        for (SerialPort* c : {&a, &b})
            c->setSynchronizer(ui->synchronize());
        a.setDeviceName(m_nameA);
        b.setDeviceName(m_nameB);
    }
    void TearDown() override {
        a.close();
        b.close();
        ui->pump();
        EXPECT_TRUE(st::eventThreadsEnded());
    }

    // Reads what `to` has received until `count` bytes are in, or gives up after a while.
    std::string receive(SerialPort& to, std::size_t count) {
        std::string got;
        ui->pumpUntil([&] {
            char buf[256];
            const std::int32_t n = to.read(buf, sizeof buf);
            if (n > 0)
                got.append(buf, static_cast<std::size_t>(n));
            return got.size() >= count;
        });
        return got;
    }

    std::string m_nameA, m_nameB;
    std::shared_ptr<st::UiQueue> ui = std::make_shared<st::UiQueue>();
    SerialPort a, b;
};

} // namespace

TEST_F(SerialPortPair, BytesTravelBothWaysUntranslated) {
    a.open();
    b.open();
    ASSERT_TRUE(a.isOpen() && b.isOpen());
    a.purgeInput();
    b.purgeInput();
    const std::string there("hello\n\r\x11\x13", 9), back(std::string("wor\0ld\r\n", 8));
    EXPECT_EQ(a.write(there.data(), static_cast<std::int32_t>(there.size())), 9);
    EXPECT_EQ(receive(b, there.size()), there);
    EXPECT_EQ(b.write(back.data(), static_cast<std::int32_t>(back.size())), 8);
    EXPECT_EQ(receive(a, back.size()), back);
}

TEST_F(SerialPortPair, ReceivedBytesRaiseRxChar) {
    if (platform::runningUnderWine())
        GTEST_SKIP() << kWineNoEventWaits;
    std::vector<std::int32_t> counts;
    b.onRxChar = [&](SerialPort*, std::int32_t n) { counts.push_back(n); };
    a.open();
    b.open();
    // Bytes that came in before the event thread started its wait raise nothing: go on sending
    // until the notification names three or more waiting bytes.
    std::string sent;
    const auto enough = [&] { return !counts.empty() && counts.back() >= 3; };
    for (int i = 0; i < 50 && !enough(); ++i) {
        EXPECT_EQ(a.write("x", 1), 1);
        sent += 'x';
        ui->pumpUntil(enough, std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(enough()) << ::testing::PrintToString(counts) << " after " << sent.size();
    EXPECT_LE(counts.back(), static_cast<std::int32_t>(sent.size()));
    EXPECT_EQ(receive(b, sent.size()), sent);
}

TEST_F(SerialPortPair, EmptiedOutputRaisesTxEmpty) {
    if (platform::runningUnderWine())
        GTEST_SKIP() << kWineNoEventWaits;
    int txEmpty = 0;
    a.onTxEmpty = [&](SerialPort*) { ++txEmpty; };
    a.open();
    b.open();
    EXPECT_EQ(a.write("abc", 3), 3);
    EXPECT_TRUE(ui->pumpUntil([&] { return txEmpty > 0; }));
}

TEST_F(SerialPortPair, CloseEndsThePendingWaitAtOnce) {
    // Each close() meets the event thread in its wait for port events and must end it. (Under Wine
    // the wait never stays pending on a pseudo-terminal; the event thread pauses between tries.)
    for (int i = 0; i < 3; ++i) {
        a.open();
        // Nothing tells when the event thread is in its wait on a real port: give it time to get there.
        ui->pumpUntil([] { return false; }, std::chrono::milliseconds(50));
        auto closed = std::async(std::launch::async, [&] { a.close(); });
        if (closed.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "close() still waits for the event thread after 10 s";
            std::_Exit(1); // the thread can never be joined now
        }
        EXPECT_FALSE(a.isOpen());
    }
    EXPECT_TRUE(st::eventThreadsEnded());
}

TEST_F(SerialPortPair, FlowControlSettingsAreTakenByTheDriver) {
    // The handshakes replace the line's control mode the port reports; the driver takes each.
    for (FlowControl flow : {FlowControl::RtsCts, FlowControl::DtrDsr, FlowControl::Software, FlowControl::None, FlowControl::Unchanged}) {
        a.setFlowControl(flow);
        EXPECT_EQ(errorOf([&] { a.open(); }), "(no error)") << int(flow);
        a.close();
    }
}

TEST_F(SerialPortPair, ReadWithNothingWaitingReturnsZeroAtOnce) {
    if (platform::runningUnderWine())
        GTEST_SKIP() << kWineNoEmptyReads;
    a.setReadTimeout(5000);
    a.open();
    char buf[4];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(a.read(buf, sizeof buf), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

TEST_F(SerialPortPair, SecondOpenOfTheSamePortFailsAsInUse) {
    if (platform::runningUnderWine())
        GTEST_SKIP() << kWineSharesPorts;
    a.open();
    SerialPort second;
    second.setDeviceName(m_nameA);
    std::int32_t code = 0;
    EXPECT_EQ(errorOf([&] { second.open(); }, &code).rfind("Error accessing specified device", 0), 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(code), platform::accessDeniedError());
    EXPECT_FALSE(second.isOpen());
    a.close();
    EXPECT_NO_THROW(second.open()) << "close() released the port";
    second.close();
}

TEST_F(SerialPortPair, ModemLinesCanBeDriven) {
    if (platform::runningUnderWine())
        GTEST_SKIP() << kWineNoModemLines;
    a.open();
    EXPECT_EQ(errorOf([&] { a.setDtr(true); }), "(no error)");
    EXPECT_EQ(errorOf([&] { a.setRts(false); }), "(no error)");
}
