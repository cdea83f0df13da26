// Both programs as a user runs them: --version, --help, the workspace rule and update end to end.
#include "support/file_bytes.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "tests/support/pty_pair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using strovane::testing::PtyPair;
using strovane::testing::readFile;
using strovane::testing::readLines;
using strovane::testing::runProcess;
using strovane::testing::TempDir;
using strovane::testing::writeFile;

TEST(Programs, VersionAndHelpAnswerWithoutADisplay) {
    TempDir dir;
    struct Case {
        const char* program;
        const char* arg;
        std::string out; // the start of standard output
    };
    const Case cases[] = {
        {STROVANE_CLI_PATH, "--version", "strovane-cli " STROVANE_VERSION "\n"},
        {STROVANE_EXE, "--version", "strovane " STROVANE_VERSION "\n"},
        {STROVANE_CLI_PATH, "--help", "Usage: strovane-cli COMMAND"},
        {STROVANE_EXE, "--help", "Usage: strovane [--workspace DIR]"},
    };
    for (const Case& c : cases) {
        const auto r = runProcess(c.program, {c.arg}, dir.path());
        EXPECT_EQ(r.code, 0) << c.program << " " << c.arg << r.err;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << c.program << " " << c.arg;
        EXPECT_EQ(r.err, "");
    }
    // The GUI's help says where its workspace is now: a build tree keeps it beside the executable.
    const auto help = runProcess(STROVANE_EXE, {"--help"}, dir.path());
    EXPECT_NE(help.out.find("Workspace now: " + fs::path(STROVANE_EXE).parent_path().string() +
                            " (portable (beside the executable))"),
              std::string::npos)
        << help.out;
    const auto bad = runProcess(STROVANE_EXE, {"--no-such-option"}, dir.path());
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.err.substr(0, 40), "strovane: unknown option --no-such-optio");
}

TEST(Programs, WorkspaceCommandTellsWhereAndWhy) {
    TempDir dir;
    const auto portable = runProcess(STROVANE_CLI_PATH, {"workspace"}, dir.path());
    EXPECT_EQ(portable.out, fs::path(STROVANE_CLI_PATH).parent_path().string() + "\tportable\n");
    const auto named = runProcess(STROVANE_CLI_PATH, {"workspace", "--workspace", (dir / "ws").string(), "--json"},
                                  dir.path());
    EXPECT_EQ(named.out, "{\"folder\": \"" + (dir / "ws").string() + "\", \"kind\": \"named\"}\n");
    EXPECT_FALSE(fs::exists(dir / "ws")); // telling creates nothing
}

TEST(Programs, UpdateRunsTheUpdaterFromTheNamedWorkspace) {
    TempDir dir;
    PtyPair pty;
    const fs::path project = dir / "Line 1", ws = dir / "ws";
    fs::create_directories(project / "bin");
    fs::create_directories(ws / "MASTER");
    writeFile(ws / "MASTER" / "sim40518.sim", "firmware");
    fs::create_symlink(STROVANE_FAKE_UPDATER, ws / "Ser_40518_Update");
    const fs::path log = dir / "arguments";
    setenv("STROVANE_FAKE_UPDATER_LOG", log.c_str(), 1);
    const auto r = runProcess(STROVANE_CLI_PATH,
                              {"update", project.string(), "--port", pty.path.substr(5), "--workspace", ws.string()},
                              dir.path());
    unsetenv("STROVANE_FAKE_UPDATER_LOG");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, ""); // standard error is a file here: no progress line
    EXPECT_EQ(readLines(log), (std::vector<std::string>{pty.path, "FW", "FR", "PW", "PR",
                                                        (ws / "MASTER" / "sim40518.sim").string(),
                                                        project.string() + "/bin/"}));
    // An empty project composes to the bare header.
    EXPECT_EQ(readFile(project / "bin" / "bank.bin"), std::string("\x0C\0\0\0\x0C\0\0\0\x0C\0\0\0", 12));
}

// However much the updater writes, standard output holds the one JSON object; the updater's output
// is in the log the object names.
TEST(Programs, UpdaterOutputStaysOutOfTheJson) {
    TempDir dir;
    PtyPair pty;
    const fs::path project = dir / "Line 1", ws = dir / "ws";
    fs::create_directories(project / "bin");
    fs::create_directories(ws / "MASTER");
    writeFile(ws / "MASTER" / "sim40518.sim", "firmware");
    fs::create_symlink(STROVANE_FAKE_UPDATER, ws / "Ser_40518_Update");
    constexpr long kOutput = 28L * 300000; // some 8 MiB of progress lines
    setenv("STROVANE_FAKE_UPDATER_OUTPUT", std::to_string(kOutput).c_str(), 1);
    const auto r = runProcess(STROVANE_CLI_PATH,
                              {"update", project.string(), "--port", pty.path.substr(5), "--workspace", ws.string(),
                               "--json"},
                              dir.path());
    unsetenv("STROVANE_FAKE_UPDATER_OUTPUT");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const fs::path log = project / "bin" / "updater.log";
    ASSERT_LT(r.out.size(), 4096u) << r.out.substr(0, 200);
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << r.out;
    EXPECT_EQ(r.out.substr(0, 15), "{\"status\": \"ok\"");
    EXPECT_NE(r.out.find("\"log\": \"" + log.string() + "\""), std::string::npos) << r.out;
    EXPECT_EQ(fs::file_size(log), static_cast<std::uintmax_t>(kOutput) + 23u); // and "fake updater: status 0\n"
}

} // namespace
