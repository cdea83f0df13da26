// A settings file that is a FIFO: refused at once at start-up and at the closing, never waited on.
#include "support/temp_dir.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(ws.Ip_Address, "0.0.0.0");

    // Nothing reads the FIFO: writing through it would block the closing program.
    ws.Name_Project = "Line 1";
    try {
        ws.Save_Setting();
        ADD_FAILURE() << "saved through a FIFO";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Strovane.xml: not a regular file but a FIFO"), std::string::npos)
            << e.what();
    }
    struct stat st {};
    ASSERT_EQ(stat((dir / "Strovane.xml").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO stays";
}

} // namespace
