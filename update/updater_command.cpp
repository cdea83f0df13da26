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
                        const std::string& dirMaster, const std::string& dirProject) {
    std::string line = device + " ";
    for (const std::string& token : optionTokens(options))
        line += token + " ";
    line += "\"" + dirMaster + sep + kSimFile + "\" ";
    line += "\"" + dirProject + sep + "bin" + sep + "\"";
    return line;
}

} // namespace

std::vector<std::string> optionTokens(const UpdateOptions& options) {
    return {options.firmware ? "FW" : "NO", options.readFirmware ? "FR" : "NO", options.project ? "PW" : "NO",
            options.readProject ? "PR" : "NO"};
}

std::string windowsCommandLine(const std::string& portName, const UpdateOptions& options,
                               const std::string& dirMaster, const std::string& dirProject) {
    return commandLine("\\\\.\\" + portName, '\\', options, dirMaster, dirProject);
}

std::string nativeCommandLine(const std::string& portName, const UpdateOptions& options,
                              const std::string& dirMaster, const std::string& dirProject) {
    return commandLine(platform::devicePath(portName), kSeparator, options, dirMaster, dirProject);
}

std::vector<std::string> updaterArguments(const std::string& portName, const UpdateOptions& options,
                                          const std::string& dirMaster, const std::string& dirProject) {
    std::vector<std::string> args{platform::devicePath(portName)};
    for (std::string& token : optionTokens(options))
        args.push_back(std::move(token));
    args.push_back(firmwareFilePath(dirMaster));
    args.push_back(dirProject + kSeparator + "bin" + kSeparator);
    return args;
}

std::string updaterProgramPath(const std::string& dirExe) {
    return dirExe + kSeparator + platform::executableName("Ser_40518_Update");
}

std::string firmwareFilePath(const std::string& dirMaster) { return dirMaster + kSeparator + kSimFile; }

std::string firmwareFileProblem(const UpdateOptions& options, const std::string& dirMaster) {
    if (!options.firmware && !options.readFirmware)
        return {};
    const std::string path = firmwareFilePath(dirMaster);
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

std::string updaterLogPath(const std::string& dirProject) {
    return dirProject + kSeparator + "bin" + kSeparator + "updater.log";
}

} // namespace strovane::update
