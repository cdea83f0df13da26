#include "update/launch.h"

namespace strovane::update {

UpdaterLauncher::UpdaterLauncher(LaunchServices services) : m_services(std::move(services)) {}

WaitResult UpdaterLauncher::Start_Program(const std::string& NomeSW, const std::string& Parameter, bool tipo,
                                          const std::vector<std::string>& arguments,
                                          const PollCallback& onPoll) {
    platform::ProcessRequest request;
    request.program = NomeSW;
    request.parameters = Parameter;
    request.arguments = arguments;
    request.hidden = tipo;
    return run(request, onPoll);
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
    const std::uint32_t t0 = clock.nowMs();
    for (;;) {
        const std::uint32_t code = child->exitCode();
        const bool ended = code != platform::kStillActive;
        const std::uint32_t elapsed = platform::elapsedMs(t0, clock.nowMs());
        if (!ended && elapsed >= m_limitMs)
            return {WaitResult::TimedOut, code, elapsed};
        if (onPoll)
            onPoll(elapsed);
        pause->pause(kPollMs);
        if (ended)
            return {WaitResult::Ended, code, elapsed};
    }
}

platform::ProcessRequest updaterRequest(const std::string& dirExe, const std::string& portName,
                                        const UpdateOptions& options, const std::string& dirMaster,
                                        const std::string& dirProject) {
    platform::ProcessRequest request;
    request.program = updaterProgramPath(dirExe);
    request.parameters = nativeCommandLine(portName, options, dirMaster, dirProject);
    request.arguments = updaterArguments(portName, options, dirMaster, dirProject);
    request.hidden = false; // the updater's window is shown normally
    return request;
}

} // namespace strovane::update
