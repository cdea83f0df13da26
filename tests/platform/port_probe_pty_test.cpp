#include "platform/port_probe.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace strovane::platform {
namespace {

// One pseudo-terminal pair; the probe sees the slave side as a serial port.
class Pty {
public:
    Pty() {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            m_path = name;
    }
    ~Pty() {
        if (m_slave >= 0)
            close(m_slave);
        if (m_master >= 0)
            close(m_master);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    const std::string& path() const { return m_path; }
    int slave() const { return m_slave; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

CandidateSource fixed(std::vector<PortCandidate> list) {
    return [list] { return list; };
}

std::vector<std::string> names(const std::vector<PortInfo>& ports) {
    std::vector<std::string> out;
    for (const PortInfo& p : ports)
        out.push_back(p.name);
    return out;
}

TEST(PortProbe, StatesOfPseudoTerminals) {
    Pty free, locked;
    ASSERT_FALSE(free.path().empty());
    ASSERT_FALSE(locked.path().empty());
    // Another opener holds this one the way the serial component does.
    const int holder = open(locked.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    const std::vector<PortInfo> ports = probePorts(fixed({{"ttyUSB1", locked.path(), ""},
                                                          {"ttyUSB0", free.path(), "FT232R USB UART"},
                                                          {"ttyUSB7", "/dev/strovane-no-such-tty", ""}}));
    ASSERT_EQ(names(ports), (std::vector<std::string>{"ttyUSB0", "ttyUSB1"})) << "missing path not listed";
    EXPECT_EQ(ports[0].state, PortState::Present);
    EXPECT_EQ(ports[0].path, free.path());
    EXPECT_EQ(ports[0].description, "FT232R USB UART");
    EXPECT_EQ(ports[1].state, PortState::InUse);
    close(holder);

    // Released again: present.
    EXPECT_EQ(probeDevice(locked.path()), PortState::Present);
}

TEST(PortProbe, ProbeLeavesNoLockBehind) {
    Pty pty;
    ASSERT_EQ(probeDevice(pty.path()), PortState::Present);
    const int fd = open(pty.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
}

TEST(PortProbe, ExclusiveAndForbiddenDevicesAreListed) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens past TIOCEXCL and file modes";
    Pty exclusive, forbidden;
    ASSERT_EQ(ioctl(exclusive.slave(), TIOCEXCL), 0);
    ASSERT_EQ(fchmod(forbidden.slave(), 0), 0);
    EXPECT_EQ(probeDevice(exclusive.path()), PortState::InUse);
    EXPECT_EQ(probeDevice(forbidden.path()), PortState::NoPermission);
}

TEST(PortProbe, OrderedByKindThenNumber) {
    Pty a, b, c, d, e;
    const std::vector<PortInfo> ports = probePorts(fixed({{"ttyUSB10", a.path(), ""},
                                                          {"ttyS1", b.path(), ""},
                                                          {"ttyUSB2", c.path(), ""},
                                                          {"ttyACM0", d.path(), ""},
                                                          {"ttyS0", e.path(), ""}}));
    EXPECT_EQ(names(ports), (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyS1", "ttyUSB2", "ttyUSB10"}));
}

// A copy of the /sys layout: class entries linking to device folders.
TEST(PortProbe, TtyClassEntriesWithADeviceBecomeCandidates) {
    namespace fs = std::filesystem;
    testing::TempDir sys;
    const fs::path cls = sys / "class/tty";
    const auto write = [](const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    };
    const auto entry = [&](const std::string& name, const std::string& deviceDir) {
        fs::create_directories(cls / name);
        if (!deviceDir.empty()) {
            fs::create_directories(sys / deviceDir);
            fs::create_directory_symlink(sys / deviceDir, cls / name / "device");
        }
    };
    // USB serial converter: the tty sits two levels below the USB device that names the product.
    entry("ttyUSB0", "devices/usb1/1-1/1-1:1.0/ttyUSB0");
    write(sys / "devices/usb1/1-1/product", "FT232R USB UART");
    // CDC ACM: the interface folder is the device, the product one level up.
    entry("ttyACM3", "devices/usb1/1-2/1-2:1.0");
    write(sys / "devices/usb1/1-2/product", "GW40518 Boot");
    // A real UART and a legacy slot with no hardware behind it (type 0, PORT_UNKNOWN).
    entry("ttyS0", "devices/platform/serial8250/tty/ttyS0");
    write(cls / "ttyS0/type", "4");
    entry("ttyS3", "devices/platform/serial8250/tty/ttyS3");
    write(cls / "ttyS3/type", "0");
    // Virtual terminals and the console have no device.
    entry("tty1", "");
    entry("console", "");

    std::vector<PortCandidate> found = ttyClassCandidates(cls.string());
    std::sort(found.begin(), found.end(),
              [](const PortCandidate& a, const PortCandidate& b) { return portNameLess(a.name, b.name); });
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].name, "ttyACM3");
    EXPECT_EQ(found[0].path, "/dev/ttyACM3");
    EXPECT_EQ(found[0].description, "GW40518 Boot");
    EXPECT_EQ(found[1].name, "ttyS0");
    EXPECT_EQ(found[1].description, "");
    EXPECT_EQ(found[2].name, "ttyUSB0");
    EXPECT_EQ(found[2].description, "FT232R USB UART");
}

} // namespace
} // namespace strovane::platform
