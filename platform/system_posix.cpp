#include "platform/system.h"

#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>

namespace strovane::platform {

void setStandardOutputBinary() {}

bool runningUnderWine() { return false; }

std::string commandLineArguments() { return {}; }

void setEnvironmentVariable(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnvironmentVariable(const std::string& name) { ::unsetenv(name.c_str()); }

std::uint32_t fileNotFoundError() { return ENOENT; }
std::uint32_t accessDeniedError() { return EACCES; }

std::string systemErrorText(std::uint32_t code) { return std::strerror(static_cast<int>(code)); }

int runShellCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace strovane::platform
#endif
