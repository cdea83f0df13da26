#include "platform/system.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"
#include "workspace/workspace_location.h"

#include <gtest/gtest.h>

#include <string>

namespace fs = std::filesystem;
using namespace strovane::workspace;
using strovane::testing::readFile;
using strovane::testing::TempDir;
using strovane::testing::writeFile;

namespace {

// An installed layout under `prefix`: bin/ and, unless told otherwise, the desktop entry.
fs::path install(const fs::path& prefix, bool withDesktopEntry = true) {
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "applications");
    if (withDesktopEntry)
        writeFile(prefix / "share" / "applications" / desktopEntryName(), "[Desktop Entry]\n");
    return prefix / "bin";
}

constexpr const char* kPerUserName = strovane::platform::kWindows ? "Strovane" : "strovane";

} // namespace

TEST(WorkspaceLocation, TheRule) {
    TempDir dir;
    const fs::path installed = install(dir / "usr");
    const fs::path bare = install(dir / "opt", false);
    fs::create_directories(dir / "build" / "app");
    const fs::path home = dir / "home" / ".local" / "share";
    struct Case {
        const char* what;
        fs::path exeDir, named, userData;
        fs::path folder;
        WorkspaceKind kind;
    };
    const Case cases[] = {
        {"build tree", dir / "build" / "app", {}, home, dir / "build" / "app", WorkspaceKind::Portable},
        {"installed", installed, {}, home, home / kPerUserName, WorkspaceKind::PerUser},
        {"installed, trailing separator", installed.string() + "/", {}, home, home / kPerUserName,
         WorkspaceKind::PerUser},
        {"bin folder without the desktop entry", bare, {}, home, bare, WorkspaceKind::Portable},
        {"installed, no user data folder", installed, {}, {}, {}, WorkspaceKind::PerUser},
        {"named wins over installed", installed, dir / "usb" / "", home, dir / "usb", WorkspaceKind::Named},
        {"named wins over portable", dir / "build" / "app", dir / "x" / ".." / "usb", home, dir / "usb",
         WorkspaceKind::Named},
    };
    for (const Case& c : cases) {
        const WorkspaceLocation l = chooseWorkspace(c.exeDir, c.named, c.userData);
        EXPECT_EQ(l.folder, c.folder) << c.what;
        EXPECT_EQ(l.kind, c.kind) << c.what;
    }
    // A relative name is taken from the current folder.
    EXPECT_EQ(chooseWorkspace(installed, "ws", home).folder, fs::current_path() / "ws");
}

TEST(WorkspaceLocation, StartUpKeepsEverythingInTheWorkspaceAndMakesItWithItsParents) {
    TempDir dir;
    const fs::path exe = install(dir / "usr");
    const fs::path ws = dir / "home" / ".local" / "share" / "strovane";
    Workspace w;
    EXPECT_TRUE(w.startUp(exe, ws).empty());
    EXPECT_EQ(w.folderProblem, "");
    EXPECT_EQ(w.programDir, exe.string());
    EXPECT_EQ(w.workspaceRoot, ws.string());
    EXPECT_EQ(w.masterDir, (ws / "MASTER").string());
    EXPECT_EQ(w.projectsDir, (ws / "PROJECTS").string());
    EXPECT_TRUE(fs::is_directory(ws / "MASTER"));
    EXPECT_TRUE(fs::is_directory(ws / "PROJECTS"));
    w.projectName = "Line 1";
    w.saveSettings();
    EXPECT_NE(readFile(ws / "Strovane.xml").find("Line 1"), std::string::npos);
    // Nothing lands beside the executable.
    EXPECT_EQ(std::distance(fs::directory_iterator(exe), fs::directory_iterator()), 0);
}

TEST(WorkspaceLocation, AFolderThatCannotBeMadeIsNamedWithTheReason) {
    TempDir dir;
    writeFile(dir / "file", "in the way");
    const std::string inTheWay = "a file of that name is in the way";
    // The system's own words for a folder asked for under a file.
    std::error_code underFile;
    fs::create_directories(dir / "file" / "ws", underFile);
    ASSERT_TRUE(underFile);
    const std::string notADirectory = underFile.message();
    struct Case {
        fs::path workspace;
        std::string folder; // the one the message names
        std::string reason;
    };
    const Case cases[] = {
        {dir / "file" / "ws", (dir / "file" / "ws").string(), notADirectory},
        {dir / "file", (dir / "file").string(), inTheWay},
    };
    for (const Case& c : cases) {
        Workspace w;
        w.startUp(dir.path(), c.workspace);
        EXPECT_EQ(w.folderProblem,
                  "Error! The workspace folder \"" + c.folder + "\" cannot be created: " + c.reason);
    }
    // Only PROJECTS in the way: MASTER is still made, and the message names PROJECTS.
    fs::create_directories(dir / "ws");
    writeFile(dir / "ws" / "PROJECTS", "");
    Workspace w;
    w.startUp(dir.path(), dir / "ws");
    EXPECT_TRUE(fs::is_directory(dir / "ws" / "MASTER"));
    EXPECT_EQ(w.folderProblem, "Error! The workspace folder \"" + (dir / "ws" / "PROJECTS").string() +
                                   "\" cannot be created: " + inTheWay);
}
