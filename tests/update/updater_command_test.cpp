#include "update/updater_launcher.h"
#include "update/updater_command.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace strovane::update {
namespace {

struct CommandLineCase {
    const char* label;
    const char* port;
    UpdateOptions options;
    const char* masterDir;
    const char* projectDir;
    const char* expected;
};

class WindowsCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(WindowsCommandLine, IsBuiltByteForByte) {
    const CommandLineCase& c = GetParam();
    EXPECT_EQ(windowsCommandLine(c.port, c.options, c.masterDir, c.projectDir), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowsCommandLine,
    ::testing::Values(
        CommandLineCase{"FirmwareAndProject", "COM3", {true, false, true, false}, R"(C:\App\MASTER)",
                        R"(C:\App\PROJECTS\Line1)",
                        R"(\\.\COM3 FW NO PW NO "C:\App\MASTER\sim40518.sim" "C:\App\PROJECTS\Line1\bin\")"},
        CommandLineCase{"AllOff", "COM1", {false, false, false, false}, R"(C:\A\MASTER)", R"(C:\A\PROJECTS\P)",
                        R"(\\.\COM1 NO NO NO NO "C:\A\MASTER\sim40518.sim" "C:\A\PROJECTS\P\bin\")"},
        CommandLineCase{"AllOn", "COM256", {true, true, true, true}, R"(D:\M)", R"(D:\P)",
                        R"(\\.\COM256 FW FR PW PR "D:\M\sim40518.sim" "D:\P\bin\")"},
        CommandLineCase{"ReadOnly", "COM12", {false, true, false, true}, R"(D:\M)", R"(D:\P)",
                        R"(\\.\COM12 NO FR NO PR "D:\M\sim40518.sim" "D:\P\bin\")"},
        CommandLineCase{"PathsWithBlanks", "COM4", {true, true, false, false},
                        R"(C:\Program Files\Strovane\MASTER)", R"(C:\Program Files\Strovane\PROJECTS\Line 1)",
                        R"(\\.\COM4 FW FR NO NO "C:\Program Files\Strovane\MASTER\sim40518.sim" )"
                        R"("C:\Program Files\Strovane\PROJECTS\Line 1\bin\")"}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) { return std::string(info.param.label); });

TEST(OptionTokens, EachOptionOnlyMovesItsOwnPosition) {
    const char* on[4] = {"FW", "FR", "PW", "PR"};
    for (int mask = 0; mask < 16; ++mask) {
        const UpdateOptions options{(mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0};
        const std::vector<std::string> tokens = optionTokens(options);
        ASSERT_EQ(tokens.size(), 4u);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(tokens[i], (mask >> i) & 1 ? on[i] : "NO") << "mask " << mask << " position " << i;
    }
}

class PosixUpdaterCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::filesystem::path::preferred_separator != '/')
            GTEST_SKIP() << "argument vector form of systems without a shell command line";
    }
};

TEST_F(PosixUpdaterCommand, ArgumentVectorKeepsBlanksAndTrailingSeparator) {
    const std::vector<std::string> args =
        updaterArguments("ttyUSB0", {true, false, true, false}, "/opt/Strove app/MASTER", "/home/u/PROJECTS/Line 1");
    const std::vector<std::string> expected{"/dev/ttyUSB0", "FW", "NO", "PW", "NO",
                                            "/opt/Strove app/MASTER/sim40518.sim", "/home/u/PROJECTS/Line 1/bin/"};
    EXPECT_EQ(args, expected);
}

TEST_F(PosixUpdaterCommand, RequestNamesTheUpdaterBesideTheExecutable) {
    const platform::ProcessRequest request =
        updaterRequest("/opt/strovane", "ttyACM0", {false, false, false, false}, "/opt/strovane/MASTER",
                       "/opt/strovane/PROJECTS/P");
    EXPECT_EQ(request.program, "/opt/strovane/Ser_40518_Update");
    EXPECT_FALSE(request.hidden);
    EXPECT_EQ(request.arguments.front(), "/dev/ttyACM0");
    EXPECT_EQ(request.arguments.size(), 7u);
    EXPECT_EQ(request.parameters,
              R"(/dev/ttyACM0 NO NO NO NO "/opt/strovane/MASTER/sim40518.sim" "/opt/strovane/PROJECTS/P/bin/")");
}

} // namespace
} // namespace strovane::update
