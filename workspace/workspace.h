#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace strovane::workspace {

// The maker's web domain at the head of the title and the address the labels open.
inline constexpr const char* kMakerDomain = "www.strovane.example";
inline constexpr const char* kMakerWebPage = "http://www.strovane.example/HOME/default.asp?frompg=SC40518";
inline constexpr const char* kSettingsFileName = "Strovane.xml";
inline constexpr const char* kDefaultIpAddress = "0.0.0.0";

// The process-wide workspace: the workspace folder (beside the executable, or the one chosen by
// workspace_location.h) with MASTER, PROJECTS, the settings file and the updater, the current project
// and the paths of its three documents. A project is open exactly when projectDir is not empty.
// All paths are absolute, joined with the platform separator, without a trailing one, and held as
// UTF-8 text: platform::pathFromUtf8 turns one into a path.
struct Workspace {
    std::string projectName;
    std::string projectDir;
    std::string projectsDir;
    std::string programDir;
    std::string masterDir;
    std::string titleBase;
    std::string ipAddress;
    std::string parGenFile;
    std::string receivePdoFile;
    std::string transmitPdoFile;
    // The folder holding Strovane.xml, MASTER, PROJECTS and the updater; programDir when portable.
    std::string workspaceRoot;
    // Set by the start-up when the workspace folder, MASTER or PROJECTS could not be created:
    // which folder and why. Empty when all three exist.
    std::string folderProblem;
    // Set by the start-up when the folders exist but no file can be created in the workspace
    // folder or in PROJECTS (a read-only folder or file system): which folder and why.
    std::string writeProblem;

    // Start-up: creates the workspace folder (`workspaceDir`, or `exeDir` when empty) with its
    // parents, and MASTER and PROJECTS in it, when missing; reads the settings file and reopens
    // the last project when its folder still exists. Returns the problems the user should be
    // told about (a settings file that is not well-formed); start-up goes on regardless. A folder
    // that cannot be created is described in folderProblem.
    std::vector<std::string> startUp(const std::filesystem::path& exeDir,
                                     const std::filesystem::path& workspaceDir = {});

    // Derives the three document paths from projectDir.
    void setDocumentPaths();

    // Writes the settings file whole. Throws std::system_error naming the file when it cannot,
    // project::xml::ValueError for a name or address the file cannot hold as it is.
    void saveSettings() const;

    bool projectOpen() const { return !projectDir.empty(); }
    // titleBase + " : " + projectName while a project is open, titleBase + " : " otherwise.
    std::string title() const;

    // Adopts the project of that name (empty: no project open), then setDocumentPaths.
    void adoptProject(const std::string& name);
    // Drops the open project; projectName and the document paths keep their values.
    void dropProject() { projectDir.clear(); }

    std::filesystem::path settingsFile() const;
    // projectsDir joined with a project name.
    std::string projectFolder(const std::string& name) const;
};

// "Error! The workspace folder "<folder>" cannot be created: <reason>".
std::string workspaceFolderMessage(const std::string& folder, const std::string& reason);

// Creates `dir` (with its parents when `parents`) unless it is a folder already. Returns the
// message above when it cannot, or nothing.
std::string createFolderIfMissing(const std::string& dir, bool parents);

// Whether a file can be created in `dir`, found out by creating and removing a file of its own
// there. "" when it can; otherwise "Error! The workspace folder "<dir>" cannot be written:
// <reason>". A folder that does not exist yet is judged by the nearest folder that does, where it
// would be created.
std::string folderWriteProblem(const std::filesystem::path& dir);

} // namespace strovane::workspace
