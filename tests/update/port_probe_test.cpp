#include "platform/port_probe.h"

#include <gtest/gtest.h>

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

TEST(PortProbe, SystemCandidatesAreDevicesUnderDev) {
    for (const PortCandidate& c : systemPortCandidates()) {
        EXPECT_EQ(c.path, "/dev/" + c.name);
        EXPECT_EQ(c.name.rfind("pts", 0), std::string::npos) << "pseudo-terminals are no serial ports";
    }
}

} // namespace
} // namespace strovane::platform
