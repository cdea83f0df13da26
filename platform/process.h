#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace strovane::platform {

// Exit code read while a process still runs (Windows' STILL_ACTIVE).
inline constexpr std::uint32_t kStillActive = 259;

// What to start. Windows hands `parameters` to the shell as one command line;
// elsewhere `arguments` become the argument vector as they stand, with no shell.
struct ProcessRequest {
    std::string program;
    std::vector<std::string> arguments;
    std::string parameters;
    bool hidden = false; // start without showing a window (Windows only)
    // When set, the program's standard output and error go to this file, created anew beside the
    // old one and renamed over it, and its standard input reads nothing. The program then holds
    // none of this process's descriptors or handles, so it keeps no pipe of a caller open.
    std::string outputFile;
};

// A program could not be started; the message names the program and the system's error.
class ProcessStartError : public std::runtime_error {
public:
    ProcessStartError(const std::string& program, const std::string& systemError);
    const std::string& program() const { return m_program; }
    const std::string& systemError() const { return m_systemError; }

private:
    std::string m_program;
    std::string m_systemError;
};

// A started program. Dropping the handle does not stop the program.
class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    // kStillActive while the program runs, then its exit code (128 + signal when killed).
    virtual std::uint32_t exitCode() = 0;
    // Once exitCode() has seen the end: the signal that killed the program, 0 when it exited
    // by itself (always 0 on Windows, which has no signals).
    virtual int terminatingSignal() const { return 0; }

    // The file the program's output goes to: the request's outputFile or, when the new file
    // could not take the old one's place (Windows refuses while another program holds it), the
    // new file under its own name. Empty when the output was not redirected.
    const std::string& outputFile() const { return m_outputFile; }
    void setOutputFile(std::string path) { m_outputFile = std::move(path); }

private:
    std::string m_outputFile;
};

// Starts programs; replaced in tests by a double.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Throws ProcessStartError when the program cannot be started.
    virtual std::unique_ptr<ChildProcess> start(const ProcessRequest& request) = 0;
};

// A program file name as the system spells it: `base`, or `base` + ".exe" on Windows.
std::string executableName(const std::string& base);

// The system's short name of a signal ("SIGKILL"); empty when it has none (always on Windows).
std::string signalName(int signal);

// The system's starter: posix_spawn, or on Windows ShellExecuteExW (CreateProcessW when the
// output goes to a file).
ProcessStarter& systemProcessStarter();

// The pause between two polls of a waited-for program. On Windows it waits on the
// named auto-reset event "HandleCed", so that another process can end a pause early;
// elsewhere the end of the armed program ends a pause early.
class PollPause {
public:
    virtual ~PollPause() = default;
    // Called once the program has started (Windows: resets the event).
    virtual void arm(ChildProcess& child) = 0;
    // Waits at most `ms`.
    virtual void pause(std::uint32_t ms) = 0;
};

// Creates (or opens) the pause object; it is released with the returned object.
std::unique_ptr<PollPause> openPollPause();

} // namespace strovane::platform
