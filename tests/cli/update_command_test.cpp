// strovane-cli update against a pseudo-terminal and the recording stand-in updater.
#include "cli/update_command.h"

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "tests/support/pty_pair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using strovane::cli::runUpdateWith;
using strovane::cli::UpdateEnvironment;
using strovane::testing::PtyPair;
using strovane::testing::readFile;
using strovane::testing::readLines;
using strovane::testing::TempDir;
using strovane::testing::writeFile;

constexpr const char* kReceivePdos = "<RPDO><row COB-ID=\"0x181\" Dimension=\"8\" Mnemonic=\"a\"/></RPDO>";
// The image of kReceivePdos alone: header, one receive entry, no transmit entry, no parameters.
const std::string kImage("\x0C\0\0\0\x0F\0\0\0\x0F\0\0\0\x81\x01\x08", 15);

// Runs a thousand times faster than the system's clock: the 150 s limit passes in 150 ms.
class FastClock final : public strovane::platform::MillisecondClock {
public:
    std::uint32_t nowMs() const override {
        const auto real = std::chrono::steady_clock::now() - m_start;
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::microseconds>(real).count());
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

struct UpdateRun {
    int code;
    std::string out;
    std::string err;
};

// The text with every "after N.N s" written "after T s": the time waited varies with the machine.
std::string anyTime(const std::string& text) {
    return std::regex_replace(text, std::regex("after [0-9]+\\.[0-9] s"), "after T s");
}

class UpdateCommandTest : public ::testing::Test {
protected:
    UpdateCommandTest() {
        fs::create_directories(m_project / "bin");
        fs::create_directories(m_workspace / "MASTER");
        writeFile(m_workspace / "MASTER" / "sim40518.sim", "firmware");
        writeFile(m_project / "RPDOs.xml", kReceivePdos);
        fs::create_symlink(STROVANE_FAKE_UPDATER, m_workspace / "Ser_40518_Update");
        setenv("STROVANE_FAKE_UPDATER_LOG", (m_dir / "arguments").c_str(), 1);
        setenv("STROVANE_FAKE_UPDATER_STAMP", (m_dir / "ended").c_str(), 1);
        updaterRuns(0, 0);
        m_env.exeDir = m_dir / "no-such-bin";
    }
    ~UpdateCommandTest() override {
        for (const char* name : {"STROVANE_FAKE_UPDATER_LOG", "STROVANE_FAKE_UPDATER_STAMP", "STROVANE_FAKE_UPDATER_MS",
                                 "STROVANE_FAKE_UPDATER_EXIT", "STROVANE_FAKE_UPDATER_SIGNAL",
                                 "STROVANE_FAKE_UPDATER_OUTPUT"})
            unsetenv(name);
    }

    // The stand-in updater runs `ms` milliseconds and exits with `code`.
    void updaterRuns(int ms, int code) {
        setenv("STROVANE_FAKE_UPDATER_MS", std::to_string(ms).c_str(), 1);
        setenv("STROVANE_FAKE_UPDATER_EXIT", std::to_string(code).c_str(), 1);
    }

    // The port name as `ports` would give it: the device path less "/dev/".
    std::string portName() const { return m_pty.path.substr(5); }

    UpdateRun update(std::vector<std::string> extra, const std::string& port = {}) {
        std::vector<std::string> args{m_project.string(), "--port", port.empty() ? portName() : port, "--workspace",
                                      m_workspace.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out, err;
        const int code = runUpdateWith(m_env, args, out, err);
        return {code, out.str(), err.str()};
    }

    bool updaterStarted() const { return fs::exists(m_dir / "arguments"); }
    // Where the updater's output is kept, and the words that name it after a result.
    fs::path logFile() const { return m_project / "bin" / "updater.log"; }
    std::string outputIn() const { return "; its output is in " + logFile().string(); }

    TempDir m_dir;
    fs::path m_project = m_dir / "PROJECTS" / "Line 1";
    fs::path m_workspace = m_dir / "work space";
    PtyPair m_pty;
    UpdateEnvironment m_env;
};

TEST_F(UpdateCommandTest, ComposesChecksThePortAndRunsTheUpdaterWithTheDialogsArguments) {
    struct Case {
        std::vector<std::string> flags;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {{}, {"FW", "FR", "PW", "PR"}}, // every option on, as the dialog opens
        {{"--no-firmware", "--no-read-project"}, {"NO", "FR", "PW", "NO"}},
        {{"--no-firmware", "--no-read-firmware", "--no-project", "--no-read-project"}, {"NO", "NO", "NO", "NO"}},
    };
    for (const Case& c : cases) {
        fs::remove(m_dir / "arguments");
        const UpdateRun r = update(c.flags);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(anyTime(r.out), "The updater ended with status 0 after T s" + outputIn() + "\n");
        std::vector<std::string> expected{m_pty.path};
        expected.insert(expected.end(), c.tokens.begin(), c.tokens.end());
        expected.push_back((m_workspace / "MASTER" / "sim40518.sim").string());
        expected.push_back(m_project.string() + "/bin/");
        EXPECT_EQ(readLines(m_dir / "arguments"), expected);
        EXPECT_EQ(readFile(m_project / "bin" / "bank.bin"), kImage);
    }
}

TEST_F(UpdateCommandTest, APortMayBeNamedByItsDevicePath) {
    const UpdateRun r = update({"--json"}, m_pty.path);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"port\": \"" + portName() + "\", \"device\": \"" + m_pty.path + "\""), std::string::npos)
        << r.out;
    EXPECT_EQ(readLines(m_dir / "arguments").front(), m_pty.path);
}

// A status and a signal are each named as what they are.
TEST_F(UpdateCommandTest, AnUpdaterThatFailsGivesExitOneAndHowItEnded) {
    struct Case {
        int exit;
        const char* signal;
        std::string how;
        std::string json; // exit_code and signal
    };
    const Case cases[] = {
        {3, "0", "ended with status 3", "\"exit_code\": 3, \"signal\": null"},
        {137, "0", "ended with status 137", "\"exit_code\": 137, \"signal\": null"},
        {0, "9", "was killed by signal 9 (SIGKILL)", "\"exit_code\": null, \"signal\": 9"},
    };
    for (const Case& c : cases) {
        updaterRuns(0, c.exit);
        setenv("STROVANE_FAKE_UPDATER_SIGNAL", c.signal, 1);
        const UpdateRun r = update({});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(anyTime(r.err), "The updater " + c.how + " after T s" + outputIn() + "\n");
        const UpdateRun json = update({"--json"});
        EXPECT_EQ(json.code, 1);
        EXPECT_NE(json.out.find("\"status\": \"updater-failed\""), std::string::npos) << json.out;
        EXPECT_NE(json.out.find(c.json), std::string::npos) << json.out;
    }
}

TEST_F(UpdateCommandTest, AtTheTimeLimitTheUpdaterIsLeftRunning) {
    FastClock clock;
    m_env.launch.clock = &clock;
    updaterRuns(1000, 0);
    const auto start = std::chrono::steady_clock::now();
    const UpdateRun r = update({"--json"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "The updater is still running after 150 s; it is left running, its output goes to " +
                         logFile().string() + "\n");
    EXPECT_NE(r.out.find("\"status\": \"timed-out\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"exit_code\": null"), std::string::npos) << r.out;
    // Not stopped: it ends by itself later and says so.
    EXPECT_TRUE(updaterStarted());
    EXPECT_FALSE(fs::exists(m_dir / "ended"));
    for (int i = 0; i < 100 && !fs::exists(m_dir / "ended"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(fs::exists(m_dir / "ended"));
}

// An updater left running at the limit holds no descriptor of the caller: whoever reads this
// program's output sees its end when the program ends. The output still reaches the log in full.
TEST_F(UpdateCommandTest, AnUpdaterLeftRunningHoldsNoPipeOfTheCaller) {
    FastClock clock;
    m_env.launch.clock = &clock;
    updaterRuns(2000, 0);
    setenv("STROVANE_FAKE_UPDATER_OUTPUT", "2800", 1);
    // The caller's pipes: on standard output and error, and one more the program merely inherited.
    int stdio[2], extra[2];
    ASSERT_EQ(pipe(stdio), 0);
    ASSERT_EQ(pipe(extra), 0);
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(1), savedErr = dup(2);
    dup2(stdio[1], 1);
    dup2(stdio[1], 2);
    const UpdateRun r = update({"--json"});
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    for (int fd : {savedOut, savedErr, stdio[1], extra[1]})
        close(fd);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("\"status\": \"timed-out\""), std::string::npos) << r.out;
    ASSERT_FALSE(fs::exists(m_dir / "ended")) << "the updater runs on";
    for (int fd : {stdio[0], extra[0]}) {
        pollfd p{fd, POLLIN, 0};
        EXPECT_EQ(poll(&p, 1, 500), 1) << "the pipe is still held open";
        char byte;
        EXPECT_EQ(read(fd, &byte, 1), 0) << "the updater wrote to the caller's pipe";
        close(fd);
    }
    for (int i = 0; i < 200 && !fs::exists(m_dir / "ended"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(m_dir / "ended"));
    std::vector<std::string> lines;
    for (int i = 0; i < 100 && (lines = readLines(logFile())).size() < 101; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines.front(), "fake updater: writing block");
    EXPECT_EQ(lines.back(), "fake updater: status 0");
}

TEST_F(UpdateCommandTest, AMissingFirmwareFileIsToldBeforeThePortAndTheUpdater) {
    const fs::path firmware = m_workspace / "MASTER" / "sim40518.sim";
    fs::remove(firmware);
    for (const std::vector<std::string>& off : {std::vector<std::string>{}, {"--no-firmware"}, {"--no-read-firmware"}}) {
        std::vector<std::string> args = off;
        args.push_back("--json");
        const UpdateRun r = update(args, "ttyStrovaneMissing"); // the port is never reached
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Error!! The firmware file is missing: " + firmware.string() + "\n");
        EXPECT_NE(r.out.find("\"status\": \"firmware-missing\""), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("\"log\": null"), std::string::npos) << r.out;
        EXPECT_FALSE(updaterStarted());
    }
    // Without either firmware option the file is not needed.
    const UpdateRun r = update({"--no-firmware", "--no-read-firmware"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(updaterStarted());
}

TEST_F(UpdateCommandTest, APortThatCannotBeOpenedStopsBeforeTheUpdater) {
    const UpdateRun r = update({}, "ttyStrovaneMissing");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error!! Com Port cannot be open. /dev/ttyStrovaneMissing: Error accessing specified device "
                     "(Error: 2) No such file or directory\n");
    EXPECT_FALSE(updaterStarted());
    EXPECT_EQ(readFile(m_project / "bin" / "bank.bin"), kImage); // composing came first

    // A device that is no serial port: the component's own refusal, without a system code.
    const UpdateRun file = update({}, "null");
    EXPECT_EQ(file.code, 1);
    EXPECT_EQ(file.err.find("Error!! Com Port cannot be open. /dev/null: "), 0u) << file.err;
    EXPECT_EQ(file.err.find("Unknown error"), std::string::npos) << file.err;
    EXPECT_FALSE(updaterStarted());
}

TEST_F(UpdateCommandTest, AProjectThatDoesNotComposeTouchesNeitherImageNorPortNorUpdater) {
    writeFile(m_project / "bin" / "bank.bin", "old image");
    writeFile(m_project / "TPDOs.xml", "<TPDO><row COB-ID=\"0x2G1\" Dimension=\"4\" Mnemonic=\"\"/></TPDO>");
    const UpdateRun r = update({"--json"}, "ttyStrovaneMissing"); // the port is never reached
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("TPDOs.xml"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Com Port"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("\"status\": \"compose-failed\""), std::string::npos) << r.out;
    EXPECT_EQ(readFile(m_project / "bin" / "bank.bin"), "old image");
    EXPECT_FALSE(updaterStarted());

    fs::remove_all(m_project);
    const UpdateRun missing = update({});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, m_project.string() + ": No such file or directory\n");
}

TEST_F(UpdateCommandTest, JsonIsOneObjectWithTheResult) {
    updaterRuns(0, 0);
    const UpdateRun r = update({"--json", "--no-project"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(anyTime(r.out),
              "{\"status\": \"ok\", \"message\": \"The updater ended with status 0 after T s" + outputIn() +
                  "\", \"project\": \"" +
                  m_project.string() + "\", \"port\": \"" + portName() + "\", \"device\": \"" + m_pty.path +
                  "\", \"options\": {\"firmware\": true, \"read_firmware\": true, \"project\": false, "
                  "\"read_project\": true}, \"workspace\": \"" +
                  m_workspace.string() + "\", \"updater\": \"" + (m_workspace / "Ser_40518_Update").string() +
                  "\", \"arguments\": [\"" + m_pty.path + "\", \"FW\", \"FR\", \"NO\", \"PR\", \"" +
                  (m_workspace / "MASTER" / "sim40518.sim").string() + "\", \"" + m_project.string() +
                  "/bin/\"], \"exit_code\": 0, \"signal\": null, \"log\": \"" + logFile().string() +
                  "\", \"elapsed_ms\": " +
                  r.out.substr(r.out.find("\"elapsed_ms\": ") + 14));
}

TEST_F(UpdateCommandTest, OnATerminalTheElapsedTimeUpdatesOneLine) {
    m_env.progressOnTerminal = true;
    updaterRuns(1500, 0);
    const UpdateRun r = update({});
    ASSERT_EQ(r.code, 0) << r.err;
    // Rewritten only when the second changes, and cleared before the result is printed.
    const std::string line = "\rUpdating through " + m_pty.path + ": ";
    const std::string blank(line.size() - 1 + 3, ' ');
    EXPECT_EQ(r.err, line + "0 s" + line + "1 s\r" + blank + "\r");
    EXPECT_EQ(anyTime(r.out), "The updater ended with status 0 after T s" + outputIn() + "\n");
}

TEST_F(UpdateCommandTest, AnUpdaterThatCannotStartIsReported) {
    fs::remove(m_workspace / "Ser_40518_Update");
    const UpdateRun r = update({});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Error!! The updater cannot be started: " + (m_workspace / "Ser_40518_Update").string() +
                         ": No such file or directory\n");
}

TEST_F(UpdateCommandTest, CommandLineMistakesGiveExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"--port", "pts/1"},                                   // no project folder
        {m_project.string()},                                  // no port
        {m_project.string(), "--port"},                        // no port name
        {m_project.string(), "--port", "a", "--port", "b"},    // twice
        {m_project.string(), "--port", "a", "--no-such"},      // unknown option
        {m_project.string(), "other", "--port", "a"},          // two folders
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(runUpdateWith(m_env, args, out, err), 2) << args.back();
        EXPECT_NE(err.str().find("Usage: strovane-cli update"), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_FALSE(updaterStarted());
    EXPECT_FALSE(fs::exists(m_project / "bin" / "bank.bin"));
}

} // namespace
