#include "platform/port_probe.h"
#include "platform/serial_device.h"
#include "platform/system.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace strovane::platform {
namespace {

TEST(PortProbe, NameOrder) {
    const struct {
        const char* before;
        const char* after;
    } cases[] = {{"ttyUSB2", "ttyUSB10"}, {"COM9", "COM10"},    {"COM2", "COM256"},
                 {"ttyACM9", "ttyS0"},    {"ttyS31", "ttyUSB0"}, {"ttyUSB", "ttyUSB0"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(portNameLess(c.before, c.after)) << c.before << " < " << c.after;
        EXPECT_FALSE(portNameLess(c.after, c.before)) << c.after << " < " << c.before;
    }
}

TEST(PortProbe, SystemCandidatesAreDevicePaths) {
    for (const PortCandidate& c : systemPortCandidates()) {
        EXPECT_EQ(c.path, devicePath(c.name));
        EXPECT_EQ(c.name.rfind("pts", 0), std::string::npos) << "pseudo-terminals are no serial ports";
    }
}

// A name that opens a file is no port (Wine, for one, maps a COM name to any path it is given).
TEST(PortProbe, AFileIsNoPort) {
    testing::TempDir dir;
    std::ofstream(dir / "COM1") << "not a device";
    EXPECT_EQ(probeDevice((dir / "COM1").string()), std::nullopt);
}

// Two free ports the test may open, "A,B" in STROVANE_TEST_COM_PAIR (the Windows test script
// maps them to a pseudo-terminal pair); skipped without.
TEST(PortProbe, PortsOfTheSystemAndOneHeldOpen) {
    const char* pair = std::getenv("STROVANE_TEST_COM_PAIR");
    if (!pair || !*pair)
        GTEST_SKIP() << "STROVANE_TEST_COM_PAIR names no ports";
    const std::string text = pair;
    const std::string a = text.substr(0, text.find(',')), b = text.substr(text.find(',') + 1);
    EXPECT_EQ(probeDevice(devicePath(a)), PortState::Present);
    const std::vector<PortInfo> listed =
        probePorts([&] { return std::vector<PortCandidate>{{b, devicePath(b), ""}, {a, devicePath(a), ""}}; });
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_TRUE(portNameLess(listed[0].name, listed[1].name)) << listed[0].name << " before " << listed[1].name;
    EXPECT_EQ(listed[0].state, PortState::Present);
    EXPECT_EQ(listed[1].state, PortState::Present);

    // Held the way the serial component holds a port: in use for everyone else.
    const auto holder = createSerialDevice();
    ASSERT_EQ(holder->open(devicePath(b)), 0u);
    if (runningUnderWine())
        GTEST_SKIP() << "Wine opens a serial port more than once, though the first opener shares nothing";
    EXPECT_EQ(probeDevice(devicePath(b)), PortState::InUse);
    holder->close();
    EXPECT_EQ(probeDevice(devicePath(b)), PortState::Present);
}

} // namespace
} // namespace strovane::platform
