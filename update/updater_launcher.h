#pragma once

#include "platform/clock.h"
#include "platform/process.h"
#include "update/updater_command.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace strovane::update {

// How a wait for the updater ended. The updater's exit code is never reported.
enum class WaitResult {
    Ended,    // the updater has ended
    TimedOut, // the limit passed; the updater goes on unobserved
};

// A wait in full: how it ended, the updater's exit code once it has ended, and the time waited.
struct WaitOutcome {
    WaitResult result = WaitResult::Ended;
    std::uint32_t exitCode = 0; // meaningful only when result is Ended
    int signal = 0;             // the signal that killed the updater, 0 when it exited (POSIX)
    std::uint32_t elapsedMs = 0;
    std::string outputFile;     // where the updater's output went, when it was sent to a file
};

// True when the updater ended by itself with status 0.
bool succeeded(const WaitOutcome& outcome);

// How the wait ended, to follow "The updater ": "ended with status 3", "was killed by signal 9
// (SIGKILL)", "is still running after 150 s". A Windows exit code beyond 255 is also shown in
// hexadecimal, as such codes are written ("3221225477 (0xC0000005)").
std::string outcomeText(const WaitOutcome& outcome, std::uint32_t limitMs);

// What the launcher needs of the system; tests replace each part.
struct LaunchServices {
    platform::ProcessStarter* starter = &platform::systemProcessStarter();
    const platform::MillisecondClock* clock = &platform::systemClock();
    std::function<std::unique_ptr<platform::PollPause>()> openPause = platform::openPollPause;
};

// Starts the updater and waits for it: a poll of its exit code every 10 ms, at most
// 150 000 ms on the wrapping millisecond clock. Exit code 259 reads as still running.
class UpdaterLauncher {
public:
    static constexpr std::uint32_t kWaitLimitMs = 150000;
    static constexpr std::uint32_t kPollMs = 10;

    // Called after every poll with the milliseconds since the start, e.g. to repaint a
    // progress window. It must not start another update.
    using PollCallback = std::function<void(std::uint32_t elapsedMs)>;

    explicit UpdaterLauncher(LaunchServices services = {});

    void setWaitLimitMs(std::uint32_t ms) { m_limitMs = ms; }
    std::uint32_t waitLimitMs() const { return m_limitMs; }

    // Starts `program` with `commandLine` (shown hidden when `hidden`) and waits as above.
    // Throws platform::ProcessStartError (program path and system error) when it cannot start.
    WaitOutcome startAndWait(const std::string& program, const std::string& commandLine, bool hidden,
                             const std::vector<std::string>& arguments, const PollCallback& onPoll = {});

    // Same, from a prepared request.
    WaitResult run(const platform::ProcessRequest& request, const PollCallback& onPoll = {});

    // Same, telling also the exit code and the time waited (for a caller that reports them).
    WaitOutcome wait(const platform::ProcessRequest& request, const PollCallback& onPoll = {});

private:
    LaunchServices m_services;
    std::uint32_t m_limitMs = kWaitLimitMs;
};

// The request that starts the updater in `updaterDir` for one port and option set:
// the Windows command line of the updater and, for a start without a shell, its arguments.
platform::ProcessRequest updaterRequest(const std::string& updaterDir, const std::string& portName,
                                        const UpdateOptions& options, const std::string& masterDir,
                                        const std::string& projectDir);

} // namespace strovane::update
