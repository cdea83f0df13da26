#include "workspace/workspace_location.h"

#include "platform/executable_path.h"
#include "platform/system.h"
#include "platform/user_folders.h"

#include <system_error>

namespace fs = std::filesystem;

namespace strovane::workspace {

#ifndef STROVANE_DESKTOP_ID
#define STROVANE_DESKTOP_ID "example.strovane.Strovane"
#endif

fs::path withoutTrailingSeparator(fs::path p) {
    if (p.has_relative_path() && !p.has_filename())
        p = p.parent_path();
    return p;
}

fs::path runningExecutableFolder() {
    try {
        return platform::executablePath().parent_path();
    } catch (const std::system_error&) {
        return fs::current_path();
    }
}

std::string desktopEntryName() { return std::string(STROVANE_DESKTOP_ID) + ".desktop"; }

bool isInstalledLayout(const fs::path& exeDir) {
    const fs::path dir = withoutTrailingSeparator(exeDir);
    if (dir.filename() != "bin")
        return false;
    std::error_code ec;
    return fs::is_regular_file(dir.parent_path() / "share" / "applications" / desktopEntryName(), ec);
}

WorkspaceLocation chooseWorkspace(const fs::path& exeDir, const fs::path& named, const fs::path& userData) {
    if (!named.empty()) {
        std::error_code ec;
        fs::path folder = fs::absolute(named, ec);
        return {withoutTrailingSeparator((ec ? named : folder).lexically_normal()), WorkspaceKind::Named};
    }
    if (isInstalledLayout(exeDir)) {
        // The system's convention for folders under the user's data folder.
        const char* kFolderName = platform::kWindows ? "Strovane" : "strovane";
        // No user data folder: an empty folder, which the start-up reports instead of guessing one.
        return {userData.empty() ? fs::path() : userData / kFolderName, WorkspaceKind::PerUser};
    }
    return {withoutTrailingSeparator(exeDir), WorkspaceKind::Portable};
}

WorkspaceLocation chooseWorkspace(const fs::path& named) {
    return chooseWorkspace(runningExecutableFolder(), named, platform::userDataFolder());
}

const char* workspaceKindText(WorkspaceKind kind) {
    switch (kind) {
    case WorkspaceKind::Named:
        return "named with --workspace";
    case WorkspaceKind::PerUser:
        return "per-user (installed program)";
    case WorkspaceKind::Portable:
        break;
    }
    return "portable (beside the executable)";
}

} // namespace strovane::workspace
