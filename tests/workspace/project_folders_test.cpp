#include "platform/system.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "workspace/project_folders.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace strovane::workspace;
using strovane::testing::readFile;
using strovane::testing::TempDir;
using strovane::testing::writeFile;

TEST(ProjectName, Rules) {
    struct Case {
        const char* name;
        bool ok;
    } cases[] = {
        {"Line1", true},      {"Line 1", true},    {"linea-ß é", true}, {" lead", true},   {"a.b", true},
        {"CONSOLE", true},    {"COM10", true},     {"LPT0", true},      {"x", true},       {"", false},
        {".", false},         {"..", false},       {"a/b", false},      {"a\\b", false},   {"a<b", false},
        {"a>b", false},       {"a:b", false},      {"a\"b", false},     {"a|b", false},    {"a?b", false},
        {"a*b", false},       {"a\tb", false},     {"a\x01", false},    {"trail ", false}, {"trail.", false},
        {"CON", false},       {"con", false},      {"Prn.txt", false},  {"AUX", false},    {"nul.x.y", false},
        {"COM1", false},      {"com9", false},     {"LPT5", false},     {"lpt1.log", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isPortableProjectName(c.name), c.ok) << '"' << c.name << '"';
}

TEST(ProjectName, StaysInProjects) {
    // Where COM1 and NUL are devices in every folder, they name no folder inside PROJECTS.
    const bool devices = strovane::platform::kDeviceNamesInEveryFolder;
    const struct {
        const char* name;
        bool stays;
    } cases[] = {{"Line1", true},        {"a?b", true},          {"", false},          {"..", false},
                 {"a/b", false},         {"a\\b", false},        {"COM1", !devices},   {"nul.txt", !devices},
                 {"COM10", true},        {"CONSOLE", true}};
    for (const auto& c : cases)
        EXPECT_EQ(staysInProjects(c.name), c.stays) << '"' << c.name << '"';
}

class NewProject : public ::testing::Test {
protected:
    void SetUp() override { ws.startUp(dir.path()); }
    TempDir dir;
    Workspace ws;
};

TEST_F(NewProject, CreatesFolderWithEmptyBinAndAdoptsIt) {
    ASSERT_EQ(createProject(ws, "Line1"), NewProjectResult::Created);
    const fs::path folder = dir / "PROJECTS" / "Line1";
    EXPECT_TRUE(fs::is_directory(folder / "bin"));
    EXPECT_TRUE(fs::is_empty(folder / "bin"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    EXPECT_EQ(ws.projectName, "Line1");
    EXPECT_EQ(ws.projectDir, folder.string());
    EXPECT_EQ(ws.receivePdoFile, (folder / "RPDOs.xml").string());
}

TEST_F(NewProject, RefusalsLeaveWorkspaceAndFoldersAlone) {
    ws.adoptProject("");
    fs::create_directory(dir / "PROJECTS" / "Old");
    struct Case {
        std::string name;
        NewProjectResult result;
        const char* message;
    } cases[] = {
        {"", NewProjectResult::EmptyName, "Error! Name Project is not valid"},
        {"Old", NewProjectResult::AlreadyExists, "Error! Name project is not valid because directory already exists"},
        {"a?b", NewProjectResult::InvalidName, "Error! Name project is not valid"},
        {"..", NewProjectResult::InvalidName, "Error! Name project is not valid"},
        {"../escape", NewProjectResult::InvalidName, "Error! Name project is not valid"},
        {"NUL", NewProjectResult::InvalidName, "Error! Name project is not valid"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(createProject(ws, c.name), c.result) << c.name;
        EXPECT_STREQ(newProjectMessage(c.result), c.message);
        EXPECT_FALSE(ws.projectOpen());
        EXPECT_EQ(ws.projectName, "");
    }
    EXPECT_FALSE(fs::exists(dir / "escape"));

    // A folder made outside the tool under a name the tool would refuse: it already exists.
    // (Windows allows no '?' in a name: no such folder can be made there.)
    if (!strovane::platform::kWindows) {
        fs::create_directory(dir / "PROJECTS" / "a?b");
        EXPECT_EQ(createProject(ws, "a?b"), NewProjectResult::AlreadyExists);
        fs::remove(dir / "PROJECTS" / "a?b");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "PROJECTS"), fs::directory_iterator()), 1);
}

TEST_F(NewProject, MissingProjectsFolderIsMadeAgainOrNamedWithTheReason) {
    // Removed since start-up: made again, and the project with it.
    fs::remove_all(dir / "PROJECTS");
    EXPECT_EQ(createProject(ws, "Line1"), NewProjectResult::Created);
    EXPECT_TRUE(fs::is_directory(dir / "PROJECTS" / "Line1" / "bin"));

    // Cannot be made (a file is in the way): the message names the folder and why, not the name.
    ws.adoptProject("");
    fs::remove_all(dir / "PROJECTS");
    writeFile(dir / "PROJECTS", "not a folder");
    std::string failure;
    EXPECT_EQ(createProject(ws, "Line2", &failure), NewProjectResult::CreateFailed);
    EXPECT_EQ(failure, "Error! The workspace folder \"" + (dir / "PROJECTS").string() + "\" cannot be created: a file of that name is in the way");
    EXPECT_FALSE(ws.projectOpen());
    EXPECT_EQ(readFile(dir / "PROJECTS"), "not a folder");
}

TEST(ProjectListing, VisibleFoldersOnlySortedIgnoringCase) {
    TempDir dir;
    for (const char* d : {"beta", "Alpha", "gamma", ".hidden", "Zed"})
        fs::create_directory(dir / d);
    std::ofstream(dir / "file.txt") << "x";
    // A link to a folder is listed as the folder it leads to. Windows makes such links only for
    // privileged users (and Wine not at all); the listing is checked without one there.
    std::error_code linkError;
    fs::create_directory_symlink(dir / "beta", dir / "link", linkError);
    if (linkError && !strovane::platform::kWindows)
        FAIL() << "directory symlink: " << linkError.message();
    std::vector<std::string> expected{"Alpha", "beta", "gamma", "Zed"};
    if (!linkError)
        expected.insert(expected.begin() + 3, "link");
    EXPECT_EQ(listProjectFolders(dir.path().string()), expected);
    EXPECT_TRUE(listProjectFolders((dir / "missing").string()).empty());
}

TEST(ProjectListing, SearchIsAsciiCaseInsensitiveOnly) {
    const std::vector<std::string> names{"Alpha", "line1", "ÉTÉ", "Line1"};
    EXPECT_EQ(findProjectIndex(names, "LINE1"), 1);
    EXPECT_EQ(findProjectIndex(names, "alpha"), 0);
    EXPECT_EQ(findProjectIndex(names, "ÉTÉ"), 2);
    EXPECT_EQ(findProjectIndex(names, "été"), -1);
    EXPECT_EQ(findProjectIndex(names, ""), -1);
    EXPECT_EQ(findProjectIndex({}, "x"), -1);
    EXPECT_EQ(findProjectIndex({"Alpha", "alpha", "ALPHA"}, "alpha"), 1) << "the exact name comes first";
    EXPECT_EQ(findProjectIndex({"Alpha", "alpha"}, "aLPHA"), 0);
}
