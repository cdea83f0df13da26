#include "platform/port_probe.h"

#ifdef _WIN32
#include <windows.h>

namespace strovane::platform {

namespace {

constexpr int kLastComPort = 256; // the Windows NT family numbers ports up to COM256

} // namespace

std::string devicePath(const std::string& name) { return "\\\\.\\" + name; }

std::vector<PortCandidate> systemPortCandidates() {
    std::vector<PortCandidate> out;
    out.reserve(kLastComPort);
    for (int i = 1; i <= kLastComPort; ++i) {
        const std::string name = "COM" + std::to_string(i);
        out.push_back({name, devicePath(name), {}});
    }
    return out;
}

std::vector<PortCandidate> ttyClassCandidates(const std::string&) { return {}; }

std::optional<PortState> probeDevice(const std::string& path) {
    const std::wstring wide(path.begin(), path.end()); // device paths are ASCII
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        // Only a character device is a port: the serial component refuses anything else, so a
        // name that leads to a file or pipe (Wine maps a COM name to whatever path it is given)
        // is not offered.
        const bool port = GetFileType(h) == FILE_TYPE_CHAR;
        CloseHandle(h);
        return port ? std::optional<PortState>(PortState::Present) : std::nullopt;
    }
    // A port held by another program answers access denied.
    if (GetLastError() == ERROR_ACCESS_DENIED)
        return PortState::InUse;
    return std::nullopt;
}

std::string permissionHint(const std::string&, long long) { return {}; }

} // namespace strovane::platform
#endif
