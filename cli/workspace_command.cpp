#include "cli/workspace_command.h"

#include "cli/command.h"
#include "cli/json.h"
#include "platform/path_text.h"
#include "platform/user_folders.h"
#include "workspace/workspace.h"

namespace fs = std::filesystem;

namespace strovane::cli {

namespace {

constexpr std::string_view kUsage =
    "Usage: strovane-cli workspace [--workspace DIR] [--json]\n"
    "\n"
    "Prints the workspace folder - the one holding PROJECTS, Strovane.xml, MASTER with\n"
    "sim40518.sim and the updater Ser_40518_Update - and why it is there:\n"
    "  named       given with --workspace DIR\n"
    "  per-user    an installed program (its desktop entry in share/applications beside its bin\n"
    "              folder): \"strovane\" in the user's data folder ($XDG_DATA_HOME, else\n"
    "              ~/.local/share)\n"
    "  portable    any other copy (a build tree, an unpacked folder): beside the executable\n"
    "\n"
    "  --json    print {\"folder\", \"kind\"}\n"
    "  --help    show this text\n"
    "\n"
    "Exit status: 0 printed, 1 no folder can be named (no user data folder) or nothing can be\n"
    "written in it (printed all the same, with the reason), 2 a bad command line.\n";

const char* kindName(workspace::WorkspaceKind kind) {
    switch (kind) {
    case workspace::WorkspaceKind::Named: return "named";
    case workspace::WorkspaceKind::PerUser: return "per-user";
    case workspace::WorkspaceKind::Portable: break;
    }
    return "portable";
}

} // namespace

std::optional<workspace::WorkspaceLocation> locateWorkspace(std::string_view command, const fs::path& exeDir,
                                                            const fs::path& named, const fs::path& userData,
                                                            std::ostream& err) {
    workspace::WorkspaceLocation location = workspace::chooseWorkspace(exeDir, named, userData);
    if (!location.folder.empty())
        return location;
    err << "strovane-cli " << command
        << ": the system names no folder for the user's data (HOME is not set); name the workspace with "
           "--workspace DIR\n";
    return std::nullopt;
}

int runWorkspace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return runWorkspaceWith(workspace::runningExecutableFolder(), platform::userDataFolder(), args, out, err);
}

int runWorkspaceWith(const fs::path& exeDir, const fs::path& userData, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err) {
    bool json = false;
    fs::path named;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (isHelp(a)) {
            out << kUsage;
            return kExitOk;
        }
        if (a == "--json") {
            json = true;
        } else if (a == "--workspace") {
            if (!named.empty())
                return usageError(err, "workspace", "--workspace given twice", kUsage);
            if (i + 1 == args.size() || args[i + 1].empty())
                return usageError(err, "workspace", "--workspace needs a folder", kUsage);
            named = platform::pathFromUtf8(args[++i]);
        } else {
            return usageError(err, "workspace", "unexpected argument \"" + a + "\"", kUsage);
        }
    }
    const std::optional<workspace::WorkspaceLocation> location = locateWorkspace("workspace", exeDir, named, userData, err);
    if (!location)
        return kExitFailure;
    if (json)
        out << "{\"folder\": " << jsonString(platform::utf8FromPath(location->folder)) << ", \"kind\": "
            << jsonString(kindName(location->kind)) << "}\n";
    else
        out << platform::utf8FromPath(location->folder) << "\t" << kindName(location->kind) << "\n";
    // The program could not keep a project there: say so as it does at start.
    for (const fs::path& dir : {location->folder, location->folder / "PROJECTS"}) {
        std::string problem = workspace::folderWriteProblem(dir);
        if (!problem.empty()) {
            if (problem.rfind("Error! ", 0) == 0)
                problem.erase(0, 7);
            err << "strovane-cli workspace: " << problem << "\n";
            return kExitFailure;
        }
    }
    return kExitOk;
}

} // namespace strovane::cli
