#pragma once

#include <cstdint>
#include <string>

// Facts about the system the program runs on, and its process environment. Code and tests that
// must tell systems apart ask here instead of testing the compiler's target.
namespace strovane::platform {

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// The separator the system writes between folder names ('\\' on Windows, '/' elsewhere).
inline constexpr char kPathSeparator = kWindows ? '\\' : '/';

// Whether names such as CON, NUL or COM1 address devices in every folder (Windows).
inline constexpr bool kDeviceNamesInEveryFolder = kWindows;

// What a '\n' written to a text stream (standard output, a file opened as text) becomes.
inline constexpr const char* kTextLineEnd = kWindows ? "\r\n" : "\n";

// Switches standard output to binary, so that bytes written to it pass unchanged (Windows'
// text mode writes "\r\n" for every '\n'); nothing to do elsewhere. Flush std::cout first.
void setStandardOutputBinary();

// True when the Windows program runs under Wine (ntdll exports wine_get_version).
bool runningUnderWine();

// What follows the program name on this process's command line, as the system passed it
// (Windows hands a program one string); empty where programs receive an argument vector.
std::string commandLineArguments();

// Sets or removes a variable of this process's environment (inherited by started programs).
void setEnvironmentVariable(const std::string& name, const std::string& value);
void unsetEnvironmentVariable(const std::string& name);

// The system's codes for a file that does not exist and for a refused access
// (ENOENT/EACCES, ERROR_FILE_NOT_FOUND/ERROR_ACCESS_DENIED).
std::uint32_t fileNotFoundError();
std::uint32_t accessDeniedError();

// The system's own text for an error code (strerror, FormatMessage).
std::string systemErrorText(std::uint32_t code);

// Runs a command line, UTF-8 text, through the system's shell (sh, cmd.exe); returns the
// command's exit status, -1 when it did not exit normally.
int runShellCommand(const std::string& command);

} // namespace strovane::platform
