#pragma once

#include <filesystem>
#include <string>

namespace strovane::workspace {

// Why the workspace is where it is.
enum class WorkspaceKind {
    Named,    // the user named it (--workspace DIR)
    PerUser,  // an installed program: the user's data folder
    Portable, // a build tree or an unpacked folder: beside the executable
};

// The folder that holds Strovane.xml, MASTER, PROJECTS and the updater.
struct WorkspaceLocation {
    std::filesystem::path folder;
    WorkspaceKind kind = WorkspaceKind::Portable;
};

// `p` without a trailing separator; a folder at the root keeps its own.
std::filesystem::path withoutTrailingSeparator(std::filesystem::path p);

// The running program's folder; the current folder when the system cannot tell.
std::filesystem::path runningExecutableFolder();

// The name of the desktop entry an installation lays out in <prefix>/share/applications.
std::string desktopEntryName();

// True when `exeDir` is an installed program's folder: a folder named "bin" whose sibling
// share/applications holds the program's desktop entry, as `cmake --install` and the package lay out.
bool isInstalledLayout(const std::filesystem::path& exeDir);

// The rule: a folder named by the user wins; an installed program uses "strovane" in the user's
// data folder `userData` (Windows: "Strovane"), or no folder when there is none; anything else keeps
// its workspace beside the executable. A relative named folder is taken from the current folder.
WorkspaceLocation chooseWorkspace(const std::filesystem::path& exeDir, const std::filesystem::path& named,
                                  const std::filesystem::path& userData);

// The same with the running executable and the system's user data folder.
WorkspaceLocation chooseWorkspace(const std::filesystem::path& named = {});

// "named with --workspace", "per-user (installed)" or "portable (beside the executable)".
const char* workspaceKindText(WorkspaceKind kind);

} // namespace strovane::workspace
