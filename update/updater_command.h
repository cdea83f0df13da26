#pragma once

#include <string>
#include <vector>

namespace strovane::update {

// The four update options, in command-line order (the update dialog's four option boxes).
struct UpdateOptions {
    bool firmware = true;
    bool readFirmware = true;
    bool project = true;
    bool readProject = true;
};

// The option tokens by position: "FW"/"NO", "FR"/"NO", "PW"/"NO", "PR"/"NO".
std::vector<std::string> optionTokens(const UpdateOptions& options);

// The updater's command line as Windows passes it: \\.\<port>, four tokens each followed by
// a blank, then "<masterDir>\sim40518.sim" and "<projectDir>\bin\", quoted, nothing after.
// The paths go in as they stand, unescaped.
std::string windowsCommandLine(const std::string& portName, const UpdateOptions& options,
                               const std::string& masterDir, const std::string& projectDir);

// The same line built with this system's device path and separator: on Windows the
// line above, elsewhere a readable form of the arguments below (for showing, not for a shell).
std::string nativeCommandLine(const std::string& portName, const UpdateOptions& options,
                              const std::string& masterDir, const std::string& projectDir);

// The same pieces as an argument vector, for a start without a shell: the device path,
// the four tokens, <masterDir>/sim40518.sim and <projectDir>/bin/ (trailing separator kept).
std::vector<std::string> updaterArguments(const std::string& portName, const UpdateOptions& options,
                                          const std::string& masterDir, const std::string& projectDir);

// The updater the workspace folder `updaterDir` holds: Ser_40518_Update(.exe).
std::string updaterProgramPath(const std::string& updaterDir);

// The firmware file the updater is handed: <masterDir>/sim40518.sim.
std::string firmwareFilePath(const std::string& masterDir);

// Why the updater cannot be started with these options, naming the file: "Firmware" or "Read
// Firmware when finish" is ticked and the firmware file is missing (or no file, or cannot be
// checked). Empty when nothing stands in the way.
std::string firmwareFileProblem(const UpdateOptions& options, const std::string& masterDir);

// Where strovane-cli keeps the updater's output: updater.log beside bank.bin.
std::string updaterLogPath(const std::string& projectDir);

} // namespace strovane::update
