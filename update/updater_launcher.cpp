#include "update/updater_launcher.h"

#include "platform/system.h"

#include <cstdio>

namespace strovane::update {

UpdaterLauncher::UpdaterLauncher(LaunchServices services) : m_services(std::move(services)) {}

WaitOutcome UpdaterLauncher::startAndWait(const std::string& program, const std::string& commandLine, bool hidden,
                                          const std::vector<std::string>& arguments,
                                          const PollCallback& onPoll) {
    platform::ProcessRequest request;
    request.program = program;
    request.parameters = commandLine;
    request.arguments = arguments;
    request.hidden = hidden;
    return wait(request, onPoll);
}

WaitResult UpdaterLauncher::run(const platform::ProcessRequest& request, const PollCallback& onPoll) {
    return wait(request, onPoll).result;
}

WaitOutcome UpdaterLauncher::wait(const platform::ProcessRequest& request, const PollCallback& onPoll) {
    // The pause object (Windows: the event "HandleCed") exists before the start and is
    // released on every way out, a failed start included.
    const std::unique_ptr<platform::PollPause> pause = m_services.openPause();
    const std::unique_ptr<platform::ChildProcess> child = m_services.starter->start(request);
    pause->arm(*child);

    const platform::MillisecondClock& clock = *m_services.clock;
    const std::uint32_t startMs = clock.nowMs();
    for (;;) {
        const std::uint32_t code = child->exitCode();
        const bool ended = code != platform::kStillActive;
        const std::uint32_t elapsed = platform::elapsedMs(startMs, clock.nowMs());
        if (!ended && elapsed >= m_limitMs)
            return {WaitResult::TimedOut, code, 0, elapsed, child->outputFile()};
        if (onPoll)
            onPoll(elapsed);
        pause->pause(kPollMs);
        if (ended)
            return {WaitResult::Ended, code, child->terminatingSignal(), elapsed, child->outputFile()};
    }
}

bool succeeded(const WaitOutcome& outcome) {
    return outcome.result == WaitResult::Ended && outcome.signal == 0 && outcome.exitCode == 0;
}

std::string outcomeText(const WaitOutcome& outcome, std::uint32_t limitMs) {
    if (outcome.result == WaitResult::TimedOut)
        return "is still running after " + std::to_string(limitMs / 1000) + " s";
    if (outcome.signal != 0) {
        const std::string name = platform::signalName(outcome.signal);
        return "was killed by signal " + std::to_string(outcome.signal) + (name.empty() ? "" : " (" + name + ")");
    }
    std::string text = "ended with status " + std::to_string(outcome.exitCode);
    if (platform::kWindows && outcome.exitCode > 255) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(outcome.exitCode));
        text += std::string(" (") + hex + ")";
    }
    return text;
}

platform::ProcessRequest updaterRequest(const std::string& updaterDir, const std::string& portName,
                                        const UpdateOptions& options, const std::string& masterDir,
                                        const std::string& projectDir) {
    platform::ProcessRequest request;
    request.program = updaterProgramPath(updaterDir);
    request.parameters = nativeCommandLine(portName, options, masterDir, projectDir);
    request.arguments = updaterArguments(portName, options, masterDir, projectDir);
    request.hidden = false; // the updater's window is shown normally
    return request;
}

} // namespace strovane::update
