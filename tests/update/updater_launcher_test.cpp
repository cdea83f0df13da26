#include "update/updater_launcher.h"

#include "platform/system.h"

#include "support/file_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>


namespace strovane::update {
namespace {

using platform::ChildProcess;
using platform::kStillActive;
using platform::ProcessRequest;

// ---- Doubles: a scripted process, a clock that only moves when the launcher pauses. ----

class ManualClock final : public platform::MillisecondClock {
public:
    explicit ManualClock(std::uint32_t start) : now(start) {}
    std::uint32_t nowMs() const override { return now; }
    std::uint32_t now;
};

struct Script {
    std::deque<std::uint32_t> codes; // exit codes read one per poll; the last one repeats
    int polls = 0;
    int pauses = 0;
    int pausesOpen = 0;
    int pausesArmed = 0;
};

class ScriptedChild final : public ChildProcess {
public:
    explicit ScriptedChild(Script& s) : m_s(s) {}
    std::uint32_t exitCode() override {
        ++m_s.polls;
        const std::uint32_t code = m_s.codes.front();
        if (m_s.codes.size() > 1)
            m_s.codes.pop_front();
        return code;
    }

private:
    Script& m_s;
};

class ScriptedStarter final : public platform::ProcessStarter {
public:
    explicit ScriptedStarter(Script& s) : m_s(s) {}
    std::unique_ptr<ChildProcess> start(const ProcessRequest& request) override {
        if (fail)
            throw platform::ProcessStartError(request.program, "No such file or directory");
        return std::make_unique<ScriptedChild>(m_s);
    }
    bool fail = false;

private:
    Script& m_s;
};

class ClockPause final : public platform::PollPause {
public:
    ClockPause(Script& s, ManualClock& clock) : m_s(s), m_clock(clock) { ++m_s.pausesOpen; }
    ~ClockPause() override { --m_s.pausesOpen; }
    void arm(ChildProcess&) override { ++m_s.pausesArmed; }
    void pause(std::uint32_t ms) override {
        ++m_s.pauses;
        m_clock.now += ms;
    }

private:
    Script& m_s;
    ManualClock& m_clock;
};

class ScriptedLaunch : public ::testing::Test {
protected:
    UpdaterLauncher launcher(std::uint32_t clockStart) {
        clock = std::make_unique<ManualClock>(clockStart);
        LaunchServices services;
        services.starter = &starter;
        services.clock = clock.get();
        services.openPause = [this] { return std::make_unique<ClockPause>(script, *clock); };
        return UpdaterLauncher(services);
    }

    Script script;
    ScriptedStarter starter{script};
    std::unique_ptr<ManualClock> clock;
};

// ---- The wait, on scripted exit codes and a manual clock. ----

struct WaitCase {
    const char* label;
    std::deque<std::uint32_t> codes;
    WaitResult result;
    int polls;  // exit-code reads
    int pauses; // 10 ms pauses taken
};

class WaitOnExitCodes : public ScriptedLaunch, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(WaitOnExitCodes, EndsAsTheExitCodeSays) {
    const WaitCase& c = GetParam();
    script.codes = c.codes;
    UpdaterLauncher l = launcher(1000);
    l.setWaitLimitMs(100);
    EXPECT_EQ(l.run(ProcessRequest{}), c.result);
    EXPECT_EQ(script.polls, c.polls);
    EXPECT_EQ(script.pauses, c.pauses);
    EXPECT_EQ(script.pausesArmed, 1);
    EXPECT_EQ(script.pausesOpen, 0) << "pause object (the named event) released";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaitOnExitCodes,
    ::testing::Values(
        // Ended on the first poll: one pause follows that poll, then the wait ends.
        WaitCase{"EndedAtOnce", {0}, WaitResult::Ended, 1, 1},
        WaitCase{"EndedOnThirdPoll", {kStillActive, kStillActive, 3}, WaitResult::Ended, 3, 3},
        WaitCase{"NonZeroExitIsJustAnEnd", {kStillActive, 1}, WaitResult::Ended, 2, 2},
        // Still running: polls at 0, 10, ... 100 ms; the one at 100 ms ends the wait.
        WaitCase{"RunsPastTheLimit", {kStillActive}, WaitResult::TimedOut, 11, 10},
        // An updater whose own exit code is 259 is taken for still running.
        WaitCase{"ExitCode259ReadsAsRunning", {kStillActive, kStillActive, 259}, WaitResult::TimedOut, 11, 10}),
    [](const ::testing::TestParamInfo<WaitCase>& info) { return std::string(info.param.label); });

TEST_F(ScriptedLaunch, LimitHoldsAcrossAWrapOfTheClock) {
    // Start far from the wrap, just before it, and so that it wraps half-way through.
    for (const std::uint32_t start : {0u, 0xFFFFFFFFu, 0xFFFFFFFFu - 5u, 0xFFFFFFFFu - 75000u}) {
        script = Script{};
        script.codes = {kStillActive};
        UpdaterLauncher l = launcher(start);
        ASSERT_EQ(l.waitLimitMs(), 150000u);
        EXPECT_EQ(l.run(ProcessRequest{}), WaitResult::TimedOut) << start;
        EXPECT_EQ(static_cast<std::uint32_t>(clock->now - start), 150000u) << "start " << start;
        EXPECT_EQ(script.pauses, 15000) << "start " << start;
    }
}

TEST_F(ScriptedLaunch, PollCallbackSeesEveryPollWithTheElapsedTime) {
    script.codes = {kStillActive, kStillActive, kStillActive, 0};
    UpdaterLauncher l = launcher(0xFFFFFFF0u);
    std::vector<std::uint32_t> seen;
    EXPECT_EQ(l.run(ProcessRequest{}, [&](std::uint32_t ms) { seen.push_back(ms); }), WaitResult::Ended);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{0, 10, 20, 30}));
}

TEST_F(ScriptedLaunch, FailedStartIsThrownAndReleasesThePause) {
    starter.fail = true;
    UpdaterLauncher l = launcher(0);
    EXPECT_THROW(l.run(ProcessRequest{"/opt/x/Ser_40518_Update", {}, {}, false, {}}), platform::ProcessStartError);
    EXPECT_EQ(script.pausesOpen, 0);
    EXPECT_EQ(script.polls, 0);
}

// ---- The real thing: the test updater started by the system starter. ----

class RealLaunch : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_LOG", (dir / "args.txt").string());
        platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_STAMP", (dir / "exited.txt").string());
        platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_MS", "0");
        platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_EXIT", "0");
    }
    void TearDown() override {
        for (const char* name : {"STROVANE_FAKE_UPDATER_LOG", "STROVANE_FAKE_UPDATER_STAMP", "STROVANE_FAKE_UPDATER_MS",
                                 "STROVANE_FAKE_UPDATER_EXIT", "STROVANE_FAKE_UPDATER_SIGNAL",
                                 "STROVANE_FAKE_UPDATER_OUTPUT"})
            platform::unsetEnvironmentVariable(name);
    }
    std::vector<std::string> recordedArguments() const {
        return testing::readLines(dir / "args.txt");
    }
    bool exited() const { return std::filesystem::exists(dir / "exited.txt"); }

    testing::TempDir dir;
};

TEST_F(RealLaunch, UpdaterReceivesTheArgumentsExactly) {
    // Windows passes the updater one command line, which it splits by its own rules; elsewhere
    // each argument arrives as it stands. (No Windows file name holds a '"'.)
    const char sep = platform::kPathSeparator;
    const std::string project = platform::kWindows ? "C:\\Users\\u\\PROJECTS\\Line 1" : "/home/u/PROJECTS/Line \"1\"";
    const std::string master = platform::kWindows ? "C:\\Strove app\\MASTER" : "/opt/Strove app/MASTER";
    platform::ProcessRequest request = updaterRequest("/unused", "ttyUSB0", {true, false, true, false}, master, project);
    request.program = STROVANE_FAKE_UPDATER;
    EXPECT_EQ(UpdaterLauncher().run(request), WaitResult::Ended);
    if (platform::kWindows)
        EXPECT_EQ(testing::readFile(dir / "args.txt.line"), request.parameters);
    else
        EXPECT_EQ(recordedArguments(), request.arguments);
    ASSERT_EQ(request.arguments.size(), 7u);
    EXPECT_EQ(request.arguments[6], project + sep + "bin" + sep);
}

TEST_F(RealLaunch, WaitEndsOnlyAfterTheUpdaterHasEnded) {
    platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_MS", "300");
    platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_EXIT", "7");
    int polls = 0;
    EXPECT_EQ(UpdaterLauncher().run({STROVANE_FAKE_UPDATER, {}, {}, false, {}}, [&](std::uint32_t) { ++polls; }),
              WaitResult::Ended);
    EXPECT_TRUE(exited());
    EXPECT_GT(polls, 1);
}

TEST_F(RealLaunch, LimitEndsTheWaitWhileTheUpdaterRuns) {
    platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_MS", "1500");
    UpdaterLauncher launcher;
    launcher.setWaitLimitMs(50);
    EXPECT_EQ(launcher.run({STROVANE_FAKE_UPDATER, {}, {}, false, {}}), WaitResult::TimedOut);
    EXPECT_FALSE(exited());
}

// How the updater ended, as the system tells it: a status, or (POSIX) the signal that killed it,
// which is not the same as a status of 128 + the signal.
TEST_F(RealLaunch, TheEndIsToldAsStatusOrSignal) {
    struct Case {
        const char* exit;
        const char* signal;
        std::uint32_t exitCode;
        int killedBy;
        std::string text;
    };
    std::vector<Case> cases{{"0", "0", 0, 0, "ended with status 0"},
                            {"3", "0", 3, 0, "ended with status 3"},
                            {"137", "0", 137, 0, "ended with status 137"}};
    if (!platform::kWindows)
        cases.push_back({"0", "9", 137, 9, "was killed by signal 9 (SIGKILL)"});
    for (const Case& c : cases) {
        platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_EXIT", c.exit);
        platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_SIGNAL", c.signal);
        const WaitOutcome outcome = UpdaterLauncher().wait({STROVANE_FAKE_UPDATER, {}, {}, false, {}});
        EXPECT_EQ(outcome.result, WaitResult::Ended) << c.text;
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.text;
        EXPECT_EQ(outcome.signal, c.killedBy) << c.text;
        EXPECT_EQ(succeeded(outcome), c.text == "ended with status 0");
        EXPECT_EQ(outcomeText(outcome, 150000), c.text);
    }
    platform::unsetEnvironmentVariable("STROVANE_FAKE_UPDATER_SIGNAL");
}

TEST(OutcomeText, NamesTheLimitAndWindowsCodesAsWritten) {
    EXPECT_EQ(outcomeText({WaitResult::TimedOut, kStillActive, 0, 150000, {}}, 150000), "is still running after 150 s");
    EXPECT_FALSE(succeeded({WaitResult::TimedOut, 0, 0, 150000, {}}));
    // An exception code that ended a Windows program reads as it is written there.
    EXPECT_EQ(outcomeText({WaitResult::Ended, 0xC0000005u, 0, 10, {}}, 150000),
              platform::kWindows ? "ended with status 3221225477 (0xC0000005)" : "ended with status 3221225477");
}

// The output goes to a new file put in the old one's place: all of it, standard error included,
// also what the updater writes after the wait has ended.
TEST_F(RealLaunch, OutputGoesToTheFileInFull) {
    const std::filesystem::path bin = dir / "bin", log = bin / "updater.log";
    std::filesystem::create_directory(bin);
    testing::writeFile(log, "the last run's output\n");
    platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_OUTPUT", std::to_string(28 * 40000)); // whole lines
    platform::ProcessRequest request{STROVANE_FAKE_UPDATER, {"a b", "c"}, "\"a b\" c", false, log.string()};
    const WaitOutcome ended = UpdaterLauncher().wait(request);
    EXPECT_EQ(ended.result, WaitResult::Ended);
    EXPECT_EQ(ended.outputFile, log.string());
    // The arguments arrive unchanged.
    if (platform::kWindows)
        EXPECT_EQ(testing::readFile(dir / "args.txt.line"), request.parameters);
    else
        EXPECT_EQ(recordedArguments(), request.arguments);
    const std::vector<std::string> lines = testing::readLines(log);
    ASSERT_EQ(lines.size(), 40001u);
    EXPECT_EQ(lines.front().substr(0, 27), "fake updater: writing block");
    EXPECT_EQ(lines.back().substr(0, 22), "fake updater: status 0");

    // Left running at the limit, while the last run's file is held open (Windows then keeps the new
    // output under its own name, and says so).
    platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_MS", "700");
    std::filesystem::remove(dir / "exited.txt");
    std::ifstream reader(log);
    UpdaterLauncher launcher;
    launcher.setWaitLimitMs(50);
    const WaitOutcome left = launcher.wait(request);
    reader.close();
    EXPECT_EQ(left.result, WaitResult::TimedOut);
    ASSERT_FALSE(left.outputFile.empty());
    if (!platform::kWindows) {
        EXPECT_EQ(left.outputFile, log.string());
    }
    for (int i = 0; i < 200 && !exited(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(exited());
    std::vector<std::string> later;
    for (int i = 0; i < 100 && (later = testing::readLines(left.outputFile)).size() < lines.size(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(later.size(), lines.size());
    EXPECT_EQ(later.back().substr(0, 22), "fake updater: status 0");
    // Nothing else is left beside it.
    std::set<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(bin))
        files.insert(entry.path());
    EXPECT_EQ(files, (std::set<std::filesystem::path>{log, left.outputFile}));
    platform::unsetEnvironmentVariable("STROVANE_FAKE_UPDATER_OUTPUT");
}

TEST_F(RealLaunch, WithoutAPlaceForTheOutputNothingStarts) {
    platform::ProcessRequest request{STROVANE_FAKE_UPDATER, {}, {}, false, (dir / "no-such" / "updater.log").string()};
    try {
        UpdaterLauncher().wait(request);
        ADD_FAILURE() << "started without an output file";
    } catch (const platform::ProcessStartError& e) {
        EXPECT_EQ(e.systemError().find(request.outputFile + ": "), 0u) << e.systemError();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "args.txt"));

    // A program that cannot start leaves the last output file as it was, and nothing beside it.
    const std::filesystem::path log = dir / "updater.log";
    testing::writeFile(log, "the last run's output\n");
    request = {(dir / platform::executableName("Missing_Update")).string(), {}, {}, false, log.string()};
    EXPECT_THROW(UpdaterLauncher().wait(request), platform::ProcessStartError);
    EXPECT_EQ(testing::readFile(log), "the last run's output\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST_F(RealLaunch, UpdaterThatCannotStartIsReportedWithPathAndReason) {
    const std::string notExecutable = (dir / "Ser_40518_Update").string();
    std::ofstream(notExecutable) << "#!/bin/sh\nexit 0\n";
    std::filesystem::permissions(notExecutable, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    struct Case {
        std::string program;
        std::string reason;
    };
    std::vector<Case> cases{{(dir / platform::executableName("Missing_Update")).string(),
                             platform::systemErrorText(platform::fileNotFoundError())}};
    // Windows has no execute permission: its shell opens such a file by its type instead.
    if (!platform::kWindows)
        cases.push_back({notExecutable, platform::systemErrorText(platform::accessDeniedError())});
    for (const auto& c : cases) {
        try {
            UpdaterLauncher().run({c.program, {}, {}, false, {}});
            ADD_FAILURE() << "no error for " << c.program;
        } catch (const platform::ProcessStartError& e) {
            EXPECT_EQ(e.program(), c.program);
            EXPECT_NE(std::string(e.what()).find(c.program), std::string::npos) << e.what();
            EXPECT_NE(e.systemError().find(c.reason), std::string::npos) << e.systemError();
        }
    }
}

} // namespace
} // namespace strovane::update
