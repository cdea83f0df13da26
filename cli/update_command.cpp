#include "cli/update_command.h"

#include "cli/command.h"
#include "cli/json.h"
#include "cli/workspace_command.h"
#include "platform/path_text.h"
#include "platform/port_probe.h"
#include "platform/user_folders.h"
#include "project/config_image.h"
#include "update/serial_port.h"
#include "update/port_check.h"
#include "update/updater_command.h"
#include "workspace/workspace_location.h"

#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace strovane::cli {

namespace {

constexpr std::string_view kUsage =
    "Usage: strovane-cli update PROJECT_DIR --port NAME [OPTIONS]\n"
    "\n"
    "Updates a GW40518 in its boot mode, as the update dialog does:\n"
    "  1. composes PROJECT_DIR/bin/bank.bin exactly as Update Device does;\n"
    "  2. opens the port as Connect does, then releases it for the updater;\n"
    "  3. runs the updater Ser_40518_Update from the workspace with the dialog's command line and\n"
    "     waits for it, at most 150 s.\n"
    "\n"
    "  --port NAME           the serial port, as `strovane-cli ports` names it (ttyUSB0, COM3),\n"
    "                        or its device path (/dev/ttyUSB0)\n"
    "  --no-firmware         do not write the firmware (MASTER/sim40518.sim)\n"
    "  --no-read-firmware    do not read the firmware back when finished\n"
    "  --no-project          do not write the project (bin/bank.bin)\n"
    "  --no-read-project     do not read the project back when finished\n"
    "  --workspace DIR       the workspace holding MASTER and the updater (default: as Strovane\n"
    "                        chooses it; `strovane-cli workspace` tells which)\n"
    "  --json                print one JSON object describing the result on standard output\n"
    "  --help                show this text\n"
    "\n"
    "The four options are on unless turned off, as when the dialog opens. With either firmware\n"
    "option on, MASTER/sim40518.sim must be there. On a terminal the elapsed time is shown while\n"
    "the updater runs. The updater's output goes to PROJECT_DIR/bin/updater.log (replaced at\n"
    "every update), never to this program's output; the result names the file.\n"
    "\n"
    "Exit status: 0 the updater ended with status 0; 1 the project did not compose, the firmware\n"
    "file is missing, the port could not be opened, the updater could not be started, ended\n"
    "with another status, was killed by a signal or was still running after 150 s (it is left\n"
    "running) - one line on standard error says which; 2 a bad command line.\n";

struct Request {
    std::string project;
    std::string port;
    update::UpdateOptions options;
    fs::path workspace;
    bool json = false;
};

// How the update ended, for the JSON object.
enum class Status { Ok, ComposeFailed, FirmwareMissing, PortFailed, StartFailed, UpdaterFailed, TimedOut };

const char* statusName(Status s) {
    switch (s) {
    case Status::Ok: return "ok";
    case Status::ComposeFailed: return "compose-failed";
    case Status::FirmwareMissing: return "firmware-missing";
    case Status::PortFailed: return "port-failed";
    case Status::StartFailed: return "start-failed";
    case Status::UpdaterFailed: return "updater-failed";
    case Status::TimedOut: return "timed-out";
    }
    return "";
}

struct Report {
    Status status = Status::Ok;
    std::string message; // the line on standard error, or the success line
    std::string projectDir, device, workspaceRoot;
    platform::ProcessRequest request;
    std::optional<update::WaitOutcome> outcome;
};

std::string jsonBool(bool b) { return b ? "true" : "false"; }

void printJson(std::ostream& out, const Request& req, const Report& r) {
    out << "{\"status\": " << jsonString(statusName(r.status)) << ", \"message\": " << jsonString(r.message)
        << ", \"project\": " << jsonString(r.projectDir) << ", \"port\": " << jsonString(req.port)
        << ", \"device\": " << jsonString(r.device)
        << ", \"options\": {\"firmware\": " << jsonBool(req.options.firmware)
        << ", \"read_firmware\": " << jsonBool(req.options.readFirmware)
        << ", \"project\": " << jsonBool(req.options.project)
        << ", \"read_project\": " << jsonBool(req.options.readProject)
        << "}, \"workspace\": " << jsonString(r.workspaceRoot)
        << ", \"updater\": " << jsonString(r.request.program) << ", \"arguments\": [";
    for (std::size_t i = 0; i < r.request.arguments.size(); ++i)
        out << (i ? ", " : "") << jsonString(r.request.arguments[i]);
    const bool ended = r.outcome && r.outcome->result == update::WaitResult::Ended;
    out << "], \"exit_code\": ";
    if (ended && r.outcome->signal == 0)
        out << r.outcome->exitCode;
    else
        out << "null";
    out << ", \"signal\": ";
    if (ended && r.outcome->signal != 0)
        out << r.outcome->signal;
    else
        out << "null";
    out << ", \"log\": ";
    if (r.outcome)
        out << jsonString(r.outcome->outputFile);
    else
        out << "null";
    out << ", \"elapsed_ms\": ";
    if (r.outcome)
        out << r.outcome->elapsedMs;
    else
        out << "null";
    out << "}\n";
}

// Parses the words after "update"; returns an exit status when the run ends here.
std::optional<int> parse(const std::vector<std::string>& args, Request& req, std::ostream& out, std::ostream& err) {
    std::optional<std::string> project, port, workspace;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::optional<std::string>& slot, const char* what) -> std::optional<int> {
            if (slot)
                return usageError(err, "update", a + " given twice", kUsage);
            if (i + 1 == args.size() || args[i + 1].empty())
                return usageError(err, "update", a + " needs " + what, kUsage);
            slot = args[++i];
            return std::nullopt;
        };
        if (isHelp(a)) {
            out << kUsage;
            return kExitOk;
        }
        if (a == "--port") {
            if (auto done = value(port, "a port name"))
                return done;
        } else if (a == "--workspace") {
            if (auto done = value(workspace, "a folder"))
                return done;
        } else if (a == "--no-firmware") {
            req.options.firmware = false;
        } else if (a == "--no-read-firmware") {
            req.options.readFirmware = false;
        } else if (a == "--no-project") {
            req.options.project = false;
        } else if (a == "--no-read-project") {
            req.options.readProject = false;
        } else if (a == "--json") {
            req.json = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(err, "update", "unknown option " + a, kUsage);
        } else if (project) {
            return usageError(err, "update", "more than one project folder", kUsage);
        } else {
            project = a;
        }
    }
    if (!project)
        return usageError(err, "update", "no project folder given", kUsage);
    if (!port)
        return usageError(err, "update", "no port given (--port NAME; `strovane-cli ports` lists them)", kUsage);
    req.project = *project;
    // A device path ("/dev/ttyUSB0", "\\.\COM3") names the same port as its name.
    const std::string prefix = platform::devicePath("");
    req.port = port->size() > prefix.size() && port->compare(0, prefix.size(), prefix) == 0 ? port->substr(prefix.size())
                                                                                              : *port;
    if (workspace)
        req.workspace = platform::pathFromUtf8(*workspace);
    return std::nullopt;
}

// The project folder as an absolute path without a trailing separator, as projectDir holds it.
std::string absoluteFolder(const std::string& folder) {
    std::error_code ec;
    return platform::utf8FromPath(workspace::withoutTrailingSeparator(
        fs::absolute(platform::pathFromUtf8(folder), ec).lexically_normal()));
}

// Step 1, as Update Device: nothing is written when the documents do not compose.
bool compose(Report& r) {
    if (std::optional<std::string> problem = folderProblem(platform::pathFromUtf8(r.projectDir))) {
        r.message = std::move(*problem);
        return false;
    }
    try {
        project::ConfigImage image;
        const fs::path projectDir = platform::pathFromUtf8(r.projectDir);
        image.composeBankBin(project::ProjectFiles::inFolder(projectDir), projectDir);
    } catch (const std::exception& e) {
        r.message = e.what();
        return false;
    }
    return true;
}

// Before the port is touched: the firmware file is there when a firmware option needs it.
bool firmwareFilePresent(const update::UpdateOptions& options, const std::string& masterDir, Report& r) {
    r.message = update::firmwareFileProblem(options, masterDir);
    return r.message.empty();
}

// Step 2, as Connect followed by Next: open, DTR on, close again for the updater.
bool checkPort(const UpdateEnvironment& env, Report& r) {
    update::SerialPort port;
    update::setUpAsUpdatePort(port, env.serialDevices);
    bool ok = true;
    try {
        update::connectPort(port, r.device);
    } catch (const update::SerialPortError& e) {
        std::string detail = e.what();
        while (!detail.empty() && detail.back() == ' ')
            detail.pop_back();
        if (e.code() > 0) // the port's own refusals carry -1, not a system code
            detail += " " + std::system_category().message(e.code());
        if (const std::string hint = platform::permissionHint(r.device, e.code()); !hint.empty())
            detail += "; " + hint;
        r.message = "Error!! Com Port cannot be open. " + r.device + ": " + detail;
        ok = false;
    } catch (const std::exception& e) {
        r.message = "Error!! Com Port cannot be open. " + r.device + ": " + e.what();
        ok = false;
    }
    try {
        port.close();
    } catch (...) {
        // As in the dialog: a port that will not close is left to the component.
    }
    return ok;
}

// Step 3, as Execute: the dialog's request, the launcher's poll and limit.
void runUpdater(const UpdateEnvironment& env, Report& r, std::ostream& err) {
    update::UpdaterLauncher launcher(env.launch);
    std::uint32_t shownSeconds = 0;
    std::size_t shownWidth = 0; // 0 while nothing is shown
    update::UpdaterLauncher::PollCallback onPoll;
    if (env.progressOnTerminal) {
        onPoll = [&](std::uint32_t elapsedMs) {
            const std::uint32_t seconds = elapsedMs / 1000;
            if (shownWidth && seconds == shownSeconds)
                return;
            shownSeconds = seconds;
            const std::string line = "Updating through " + r.device + ": " + std::to_string(seconds) + " s";
            shownWidth = line.size();
            err << '\r' << line << std::flush;
        };
    }
    try {
        r.outcome = launcher.wait(r.request, onPoll);
    } catch (const platform::ProcessStartError& e) {
        r.status = Status::StartFailed;
        r.message = "Error!! The updater cannot be started: " + e.program() + ": " + e.systemError();
    }
    if (shownWidth) // the progress line gives way to the result (blanks: no terminal escapes needed)
        err << '\r' << std::string(shownWidth, ' ') << '\r' << std::flush;
    if (!r.outcome)
        return;
    const std::string seconds = std::to_string(r.outcome->elapsedMs / 1000) + "." +
                                std::to_string(r.outcome->elapsedMs % 1000 / 100) + " s";
    const std::string how = "The updater " + update::outcomeText(*r.outcome, launcher.waitLimitMs());
    const std::string& log = r.outcome->outputFile;
    if (r.outcome->result == update::WaitResult::TimedOut) {
        r.status = Status::TimedOut;
        r.message = how + "; it is left running, its output goes to " + log;
    } else {
        r.status = update::succeeded(*r.outcome) ? Status::Ok : Status::UpdaterFailed;
        r.message = how + " after " + seconds + "; its output is in " + log;
    }
}

} // namespace

UpdateEnvironment UpdateEnvironment::system() {
    UpdateEnvironment env;
    env.exeDir = workspace::runningExecutableFolder();
    env.userData = platform::userDataFolder();
    env.progressOnTerminal = platform::stderrIsTerminal();
    return env;
}

int runUpdate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return runUpdateWith(UpdateEnvironment::system(), args, out, err);
}

int runUpdateWith(const UpdateEnvironment& env, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err) {
    Request req;
    if (const std::optional<int> done = parse(args, req, out, err))
        return *done;

    const std::optional<workspace::WorkspaceLocation> location =
        locateWorkspace("update", env.exeDir, req.workspace, env.userData, err);
    if (!location)
        return kExitFailure;

    Report r;
    r.projectDir = absoluteFolder(req.project);
    r.workspaceRoot = platform::utf8FromPath(location->folder);
    r.device = platform::devicePath(req.port);
    const std::string masterDir = platform::utf8FromPath(location->folder / "MASTER");
    r.request = update::updaterRequest(r.workspaceRoot, req.port, req.options, masterDir, r.projectDir);
    // The updater's output is kept beside bank.bin: it never mixes into this program's output, and
    // an updater left running holds no pipe of whoever reads that output.
    r.request.outputFile = update::updaterLogPath(r.projectDir);

    if (!compose(r))
        r.status = Status::ComposeFailed;
    else if (!firmwareFilePresent(req.options, masterDir, r))
        r.status = Status::FirmwareMissing;
    else if (!checkPort(env, r))
        r.status = Status::PortFailed;
    else
        runUpdater(env, r, err);

    if (req.json)
        printJson(out, req, r);
    if (r.status != Status::Ok)
        return failure(err, r.message);
    if (!req.json)
        out << r.message << "\n";
    return kExitOk;
}

} // namespace strovane::cli
