// Names outside ASCII reach the disk exactly as typed, whatever the system's narrow code page.
#include "platform/path_text.h"
#include "platform/system.h"
#include "platform/user_folders.h"
#include "project/config_image.h"
#include "project/par_gen.h"
#include "project/pdo_checks.h"
#include "project/pdo_document.h"
#include "support/temp_dir.h"
#include "workspace/project_folders.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace strovane;
using strovane::testing::TempDir;

namespace {

const std::u8string kWorkspaceName = u8"wörkspace Ω";
const std::u8string kProjectName = u8"café Ω";

// The UTF-8 bytes of `text`, as the windows and the documents hold them.
std::string bytes(const std::u8string& text) { return std::string(text.begin(), text.end()); }

// The names in `folder` as the system spells them, in UTF-8, sorted.
std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(bytes(entry.path().filename().u8string()));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(PathText, Utf8TextNamesTheSamePathAsTheSystemsOwnSpelling) {
    const fs::path expected(kProjectName);
    EXPECT_EQ(platform::pathFromUtf8(bytes(kProjectName)), expected);
    EXPECT_EQ(platform::utf8FromPath(expected), bytes(kProjectName));
    // Beyond the Basic Multilingual Plane: a surrogate pair on Windows.
    const std::u8string clef = u8"\U0001D11E x";
    EXPECT_EQ(platform::utf8FromPath(platform::pathFromUtf8(bytes(clef))), bytes(clef));
    EXPECT_EQ(bytes(platform::pathFromUtf8(bytes(clef)).u8string()), bytes(clef));
    EXPECT_TRUE(platform::pathFromUtf8("").empty());
    EXPECT_EQ(platform::utf8FromPath(fs::path()), "");
}

TEST(NonAsciiNames, ProjectFolderDocumentsAndImageKeepTheirNames) {
    TempDir dir;
    const fs::path root = dir.path() / fs::path(kWorkspaceName);
    workspace::Workspace ws;
    ws.startUp(dir.path(), root);
    ASSERT_EQ(ws.folderProblem, "");
    ASSERT_EQ(ws.writeProblem, "");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{bytes(kWorkspaceName)});
    EXPECT_EQ(entries(root), (std::vector<std::string>{"MASTER", "PROJECTS"}));

    ASSERT_EQ(workspace::createProject(ws, bytes(kProjectName)), workspace::NewProjectResult::Created);
    const fs::path project = root / "PROJECTS" / fs::path(kProjectName);
    EXPECT_EQ(entries(root / "PROJECTS"), std::vector<std::string>{bytes(kProjectName)});
    EXPECT_EQ(ws.projectDir, bytes(project.u8string()));
    EXPECT_EQ(ws.projectName, bytes(kProjectName));

    // The documents and the image go where the workspace says, as the editors and Update Device save them.
    project::writeParGen(platform::pathFromUtf8(ws.parGenFile), project::ParGenValues{});
    project::writePdoTable(platform::pathFromUtf8(ws.receivePdoFile),
                           project::pdoRootName(project::PdoTableKind::Receive), {{"0x181", "8", "speed"}});
    project::writePdoTable(platform::pathFromUtf8(ws.transmitPdoFile),
                           project::pdoRootName(project::PdoTableKind::Transmit), {{"0x201", "4", ""}});
    project::ConfigImage image;
    image.composeBankBin({platform::pathFromUtf8(ws.parGenFile), platform::pathFromUtf8(ws.receivePdoFile),
                          platform::pathFromUtf8(ws.transmitPdoFile)},
                         platform::pathFromUtf8(ws.projectDir));
    EXPECT_EQ(entries(project), (std::vector<std::string>{"ParGen.xml", "RPDOs.xml", "TPDOs.xml", "bin"}));
    EXPECT_EQ(entries(project / "bin"), std::vector<std::string>{"bank.bin"});
    EXPECT_GT(fs::file_size(project / "bin" / "bank.bin"), 0u);

    // The settings file keeps the name, and the next start reopens that folder.
    ws.saveSettings();
    EXPECT_TRUE(fs::is_regular_file(root / workspace::kSettingsFileName));
    workspace::Workspace again;
    again.startUp(dir.path(), root);
    EXPECT_EQ(again.projectName, bytes(kProjectName));
    EXPECT_TRUE(again.projectOpen());
    EXPECT_EQ(again.projectDir, ws.projectDir);
    EXPECT_EQ(workspace::listProjectFolders(again.projectsDir),
              std::vector<std::string>{bytes(kProjectName)});
    EXPECT_EQ(workspace::createProject(again, bytes(kProjectName)),
              workspace::NewProjectResult::AlreadyExists);
}

TEST(NonAsciiNames, UserDataFolderFromTheEnvironment) {
    const char* const variable = platform::kWindows ? "LOCALAPPDATA" : "XDG_DATA_HOME";
    struct Restore {
        const char* variable;
        std::optional<std::string> value;
        ~Restore() {
            if (value)
                platform::setEnvironmentVariable(variable, *value);
            else
                platform::unsetEnvironmentVariable(variable);
        }
    };
    const char* before = std::getenv(variable);
    const Restore restore{variable, before ? std::optional<std::string>(before) : std::nullopt};

    TempDir dir;
    const std::string folder = bytes((dir.path() / fs::path(u8"d\u00e4ta \u03a9")).u8string());
    platform::setEnvironmentVariable(variable, folder);
    EXPECT_EQ(bytes(platform::userDataFolder().u8string()), folder);
}
