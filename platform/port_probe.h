#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace strovane::platform {

// How a present port answered the probe.
enum class PortState {
    Present,      // it opened
    InUse,        // another program holds it (Windows also says so when access is denied)
    NoPermission, // the user may not open it
};

// A device the system knows as a serial port, not yet probed.
struct PortCandidate {
    std::string name;        // "ttyUSB0", "COM3": what the list shows and the command line passes
    std::string path;        // "/dev/ttyUSB0", "\\.\COM3"
    std::string description; // what the system says the port is, or empty
};

// A port the probe found present.
struct PortInfo {
    std::string name;
    std::string path;
    std::string description;
    PortState state = PortState::Present;
};

using CandidateSource = std::function<std::vector<PortCandidate>()>;
// What a window calls to list the ports; tests hand it a fixed list.
using PortProbe = std::function<std::vector<PortInfo>()>;

// The device path of a port name: "/dev/" + name, or "\\.\" + name on Windows.
std::string devicePath(const std::string& name);

// The serial devices the system knows (Linux: /sys/class/tty entries with a device
// behind them, minus legacy ttyS placeholders; Windows: COM1 to COM256).
std::vector<PortCandidate> systemPortCandidates();

// Linux: the candidates listed under a /sys/class/tty-like folder (tests hand it a copy).
std::vector<PortCandidate> ttyClassCandidates(const std::string& ttyClassDir);

// The probe rule on one device path: a state when present, nothing when not.
std::optional<PortState> probeDevice(const std::string& path);

// Probes the candidates and returns those present, ordered by kind and then by number.
std::vector<PortInfo> probePorts(const CandidateSource& candidates = systemPortCandidates);

// Order of port names: by kind (the name without its trailing number), then by number,
// so "ttyUSB2" comes before "ttyUSB10" and "COM9" before "COM10".
bool portNameLess(const std::string& a, const std::string& b);

// How to get access to a device that an open refused with `systemError` for lack of
// permission (Linux: join the group that owns it, usually "dialout"); empty otherwise.
std::string permissionHint(const std::string& path, long long systemError);

// "", "in use" or "no permission".
const char* portStateText(PortState state);

} // namespace strovane::platform
