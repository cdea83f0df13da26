// Start-up with a settings file that is a FIFO: refused at once, never waited on.
#include "support/temp_dir.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

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
}

} // namespace
