#include "cli/workspace_command.h"

#include "cli/command.h"
#include "cli/json.h"
#include "platform/executable_path.h"
#include "platform/user_folders.h"
#include "workspace/workspace_location.h"

#include <system_error>

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
    "Exit status: 0 printed, 1 no folder can be named (no user data folder), 2 a bad command line.\n";

const char* kindName(workspace::WorkspaceKind kind) {
    switch (kind) {
    case workspace::WorkspaceKind::Named: return "named";
    case workspace::WorkspaceKind::PerUser: return "per-user";
    case workspace::WorkspaceKind::Portable: break;
    }
    return "portable";
}

} // namespace

int runWorkspace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    fs::path exeDir;
    try {
        exeDir = platform::executablePath().parent_path();
    } catch (const std::system_error&) {
        exeDir = fs::current_path();
    }
    return runWorkspaceWith(exeDir, platform::userDataFolder(), args, out, err);
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
            named = args[++i];
        } else {
            return usageError(err, "workspace", "unexpected argument \"" + a + "\"", kUsage);
        }
    }
    const workspace::WorkspaceLocation location = workspace::chooseWorkspace(exeDir, named, userData);
    if (location.folder.empty()) {
        err << "strovane-cli workspace: the system names no folder for the user's data (HOME is not set); "
               "name the workspace with --workspace DIR\n";
        return kExitFailure;
    }
    if (json)
        out << "{\"folder\": " << jsonString(location.folder.string()) << ", \"kind\": "
            << jsonString(kindName(location.kind)) << "}\n";
    else
        out << location.folder.string() << "\t" << kindName(location.kind) << "\n";
    return kExitOk;
}

} // namespace strovane::cli
