// A real serial port, named by STROVANE_TEST_PORT (for example /dev/ttyUSB0); skipped without it.
#include "update/serial_port.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace strovane::update;

TEST(SerialPortHardware, OpensDrivesDtrAndReadsModemLines) {
    const char* port = std::getenv("STROVANE_TEST_PORT");
    if (!port || !*port)
        GTEST_SKIP() << "set STROVANE_TEST_PORT to a serial device to run this test";
    SerialPort serial;
    serial.setDeviceName(port);
    serial.setBaudRate(BaudRate::Baud115200);
    serial.open();
    ASSERT_TRUE(serial.isOpen());
    EXPECT_NO_THROW(serial.setDtr(true));
    EXPECT_NO_THROW(serial.setRts(true));
    (void)serial.cts(); // a real port answers; its value depends on the wiring
    EXPECT_GE(serial.inQueueCount(), 0);
    EXPECT_GE(serial.outQueueCount(), 0);
    EXPECT_EQ(serial.write("U", 1), 1);

    SerialPort second;
    second.setDeviceName(port);
    EXPECT_THROW(second.open(), SerialPortError) << "the port is held exclusively";
    serial.close();
    EXPECT_NO_THROW(second.open());
}
