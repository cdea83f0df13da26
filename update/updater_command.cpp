#include "update/updater_command.h"

#include "platform/path_text.h"

#include "platform/port_probe.h"
#include "platform/process.h"

#include <filesystem>

namespace strovane::update {

namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

constexpr const char* kSimFile = "sim40518.sim";

std::string commandLine(const std::string& device, char sep, const UpdateOptions& options,
                        const std::string& masterDir, const std::string& projectDir) {
    std::string line = device + " ";
    for (const std::string& token : optionTokens(options))
        line += token + " ";
    line += "\"" + masterDir + sep + kSimFile + "\" ";
    line += "\"" + projectDir + sep + "bin" + sep + "\"";
    return line;
}

} // namespace

std::vector<std::string> optionTokens(const UpdateOptions& options) {
    return {options.firmware ? "FW" : "NO", options.readFirmware ? "FR" : "NO", options.project ? "PW" : "NO",
            options.readProject ? "PR" : "NO"};
}

std::string windowsCommandLine(const std::string& portName, const UpdateOptions& options,
                               const std::string& masterDir, const std::string& projectDir) {
    return commandLine("\\\\.\\" + portName, '\\', options, masterDir, projectDir);
}

std::string nativeCommandLine(const std::string& portName, const UpdateOptions& options,
                              const std::string& masterDir, const std::string& projectDir) {
    return commandLine(platform::devicePath(portName), kSeparator, options, masterDir, projectDir);
}

std::vector<std::string> updaterArguments(const std::string& portName, const UpdateOptions& options,
                                          const std::string& masterDir, const std::string& projectDir) {
    std::vector<std::string> args{platform::devicePath(portName)};
    for (std::string& token : optionTokens(options))
        args.push_back(std::move(token));
    args.push_back(firmwareFilePath(masterDir));
    args.push_back(projectDir + kSeparator + "bin" + kSeparator);
    return args;
}

std::string updaterProgramPath(const std::string& updaterDir) {
    return updaterDir + kSeparator + platform::executableName("Ser_40518_Update");
}

std::string firmwareFilePath(const std::string& masterDir) {
    return masterDir + kSeparator + kSimFile;
}

std::string firmwareFileProblem(const UpdateOptions& options, const std::string& masterDir) {
    if (!options.firmware && !options.readFirmware)
        return {};
    const std::string path = firmwareFilePath(masterDir);
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(platform::pathFromUtf8(path), ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return "Error!! The firmware file is missing: " + path;
    if (ec)
        return "Error!! The firmware file cannot be checked: " + path + ": " + ec.message();
    if (status.type() != std::filesystem::file_type::regular)
        return "Error!! The firmware file is not a file: " + path;
    return {};
}

std::string updaterLogPath(const std::string& projectDir) {
    return projectDir + kSeparator + "bin" + kSeparator + "updater.log";
}

} // namespace strovane::update
