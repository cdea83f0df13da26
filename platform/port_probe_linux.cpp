#include "platform/port_probe.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace strovane::platform {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTtyClass = "/sys/class/tty";

std::string readLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// A ttyS entry the serial core registers for every legacy slot, hardware or not:
// its UART type is unknown (PORT_UNKNOWN).
bool isPlaceholderUart(const std::string& name, const fs::path& sysEntry) {
    if (name.rfind("ttyS", 0) != 0)
        return false;
    std::error_code ec;
    if (fs::exists(sysEntry / "type", ec))
        return readLine(sysEntry / "type") == "0";
    const int fd = ::open(devicePath(name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false; // let the probe decide
    serial_struct info{};
    const bool unknown = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
    ::close(fd);
    return unknown;
}

// The USB product string of the device behind a tty, found a few levels up the device tree.
std::string describe(const fs::path& sysEntry) {
    std::error_code ec;
    fs::path dir = fs::canonical(sysEntry / "device", ec);
    if (ec)
        return {};
    for (int level = 0; level < 4 && !dir.empty() && dir != dir.root_path(); ++level) {
        if (fs::exists(dir / "product", ec))
            return readLine(dir / "product");
        dir = dir.parent_path();
    }
    return {};
}

} // namespace

std::string devicePath(const std::string& name) { return "/dev/" + name; }

std::vector<PortCandidate> systemPortCandidates() { return ttyClassCandidates(kTtyClass); }

std::vector<PortCandidate> ttyClassCandidates(const std::string& ttyClassDir) {
    std::vector<PortCandidate> out;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(ttyClassDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (!fs::exists(entry.path() / "device", ec))
            continue; // virtual terminals, pseudo-terminals, the console
        if (isPlaceholderUart(name, entry.path()))
            continue;
        out.push_back({name, devicePath(name), describe(entry.path())});
    }
    return out;
}

std::optional<PortState> probeDevice(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case EBUSY: // held with TIOCEXCL
            return PortState::InUse;
        case EACCES:
        case EPERM:
            return PortState::NoPermission;
        default:
            return std::nullopt;
        }
    }
    // Only a character device is a port: the serial component refuses anything else.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && !S_ISCHR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    PortState state = PortState::Present;
    // The serial component locks its device with flock; root gets past TIOCEXCL but not this.
    if (::flock(fd, LOCK_EX | LOCK_NB) < 0 && errno == EWOULDBLOCK)
        state = PortState::InUse;
    ::close(fd);
    return state;
}

std::string permissionHint(const std::string& path, long long systemError) {
    if (systemError != EACCES && systemError != EPERM)
        return {};
    std::string groupName = "dialout";
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (const struct group* g = ::getgrgid(st.st_gid); g && g->gr_name)
            groupName = g->gr_name;
    }
    return "Your user may not open " + path + ". Add it to the group \"" + groupName +
           "\" that owns the device (sudo usermod -aG " + groupName + " $USER), then log in again.";
}

} // namespace strovane::platform
