// A real serial port, named by STROVANE_TEST_PORT (for example /dev/ttyUSB0); skipped without it.
#include "update/serial_port.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace strovane::update;

TEST(CommHardware, OpensDrivesDtrAndReadsModemLines) {
    const char* port = std::getenv("STROVANE_TEST_PORT");
    if (!port || !*port)
        GTEST_SKIP() << "set STROVANE_TEST_PORT to a serial device to run this test";
    TComm comm;
    comm.SetDeviceName(port);
    comm.SetBaudRate(br115200);
    comm.Open();
    ASSERT_TRUE(comm.Enabled());
    EXPECT_NO_THROW(comm.SetDTRState(true));
    EXPECT_NO_THROW(comm.SetRTSState(true));
    (void)comm.CTS(); // a real port answers; its value depends on the wiring
    EXPECT_GE(comm.InQueCount(), 0);
    EXPECT_GE(comm.OutQueCount(), 0);
    EXPECT_EQ(comm.Write("U", 1), 1);

    TComm second;
    second.SetDeviceName(port);
    EXPECT_THROW(second.Open(), ECommError) << "the port is held exclusively";
    comm.Close();
    EXPECT_NO_THROW(second.Open());
}
