#pragma once

#include "platform/serial_device.h"
#include "update/updater_launcher.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace strovane::cli {

// What `update` needs of the system; tests replace the clock, the starter or the serial devices.
struct UpdateEnvironment {
    std::filesystem::path exeDir;   // the executable's folder, for the workspace rule
    std::filesystem::path userData; // the user's data folder, for an installed program
    update::LaunchServices launch;
    platform::SerialDeviceFactory serialDevices = platform::createSerialDevice;
    bool progressOnTerminal = false; // show the elapsed time on one updating line of `err`

    // The running program's folder, the system's data folder, clock, starter and devices.
    static UpdateEnvironment system();
};

// strovane-cli update PROJECT_DIR --port NAME [options]: composes bin/bank.bin as Update Device
// does, checks the port as Connect does, runs the updater as Execute does and reports how it ended.
int runUpdate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runUpdateWith(const UpdateEnvironment& env, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err);

} // namespace strovane::cli
