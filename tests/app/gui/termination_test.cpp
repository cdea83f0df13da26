// The program asked to end by a signal closes as the user would: the settings file is written.
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(Termination, SigtermWritesTheSettingsBeforeEnding) {
    strovane::testing::TempDir dir;
    const fs::path exe = dir / "strovane";
    fs::copy_file(STROVANE_EXE, exe);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // The workspace folders appear after the program listens for termination requests.
    const bool started =
        strovane::testing::waitUntil([&] { return fs::exists(dir / "PROJECTS"); }, std::chrono::seconds(10));
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    EXPECT_TRUE(started) << "the program did not make its workspace folders";
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal instead of closing";
    EXPECT_EQ(strovane::testing::readFile(dir / "Strovane.xml"),
              "<Conf_Settings><lastproj><projectname/></lastproj><lastipadd><ipaddress>0.0.0.0</ipaddress>"
              "</lastipadd></Conf_Settings>");
}
