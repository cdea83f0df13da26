// POSIX file kinds and permissions at start-up: a settings FIFO, a workspace that cannot be written.
#include "support/read_only_folder.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <sys/stat.h>

namespace {

TEST(WorkspacePosixStartUp, SettingsFifoIsReportedAtOnce) {
    strovane::testing::TempDir dir;
    ASSERT_EQ(mkfifo((dir / "Strovane.xml").c_str(), 0600), 0);
    strovane::workspace::Workspace ws;
    const auto problems = ws.startUp(dir.path());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("Strovane.xml: not a regular file but a FIFO"), std::string::npos) << problems[0];
    EXPECT_EQ(ws.ipAddress, "0.0.0.0");

    // Nothing reads the FIFO: writing through it would block the closing program.
    ws.projectName = "Line 1";
    try {
        ws.saveSettings();
        ADD_FAILURE() << "saved through a FIFO";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Strovane.xml: not a regular file but a FIFO"), std::string::npos)
            << e.what();
    }
    struct stat st {};
    ASSERT_EQ(stat((dir / "Strovane.xml").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO stays";
}

// Found at start, not first at the save that fails; the projects in it still open.
TEST(WorkspacePosixStartUp, WorkspaceThatCannotBeWrittenIsReportedAtStart) {
    namespace fs = std::filesystem;
    for (const char* readOnly : {"", "PROJECTS"}) {
        strovane::testing::TempDir dir;
        fs::create_directories(dir / "PROJECTS" / "P1");
        fs::create_directories(dir / "MASTER");
        {
            std::ofstream(dir / "Strovane.xml") << "<C><lastproj><projectname>P1</projectname></lastproj></C>";
        }
        const fs::path target = dir / readOnly;
        strovane::testing::ReadOnlyFolder guard(target);
        if (!guard.ok())
            GTEST_SKIP() << guard.why();
        strovane::workspace::Workspace ws;
        EXPECT_TRUE(ws.startUp(dir.path()).empty());
        EXPECT_EQ(ws.folderProblem, "");
        const std::string folder = (readOnly[0] ? target : dir.path()).string();
        EXPECT_EQ(ws.writeProblem.rfind("Error! The workspace folder \"" + folder + "\" cannot be written: ", 0), 0u)
            << ws.writeProblem;
        EXPECT_TRUE(ws.projectOpen());
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3)
            << "the check leaves nothing behind";
    }
    // A writable one is not reported, and the check leaves nothing behind.
    strovane::testing::TempDir dir;
    strovane::workspace::Workspace ws;
    ws.startUp(dir / "new" / "ws");
    EXPECT_EQ(ws.writeProblem, "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "new" / "ws"), fs::directory_iterator()), 2);
}

} // namespace
