#pragma once

#include <QLockFile>
#include <QString>

#include <filesystem>
#include <optional>

namespace strovane::app {

// One program per workspace: a lock file in the workspace folder, held while the program runs.
// A program that ended without removing it (a crash, a kill) does not keep it: the next program
// finds its process gone and takes the lock over. strovane-cli does not take it.
class WorkspaceLock {
public:
    static constexpr const char* kFileName = "Strovane.lock";

    explicit WorkspaceLock(const std::filesystem::path& workspaceFolder);

    // Takes the lock. Returns the message for the user when another running program holds it
    // (naming that process); nothing when this program holds it now, or when no lock can be made
    // there at all (a folder that cannot be written is reported by the start-up itself).
    std::optional<QString> acquire();

    bool held() const { return m_file.isLocked(); }

private:
    std::filesystem::path m_folder;
    QLockFile m_file;
};

} // namespace strovane::app
