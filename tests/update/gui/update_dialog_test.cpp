#include "update/gui/update_dialog.h"

#include "platform/port_probe.h"
#include "platform/process.h"
#include "platform/serial_device_fake.h"
#include "platform/system.h"
#include "support/file_bytes.h"
#include "support/gui/message_recorder.h"
#include "support/gui/modal.h"
#include "support/temp_dir.h"
#include "update/serial_port.h"
#include "update/gui/update_progress.h"
#include "workspace/workspace.h"

#include <QApplication>
#include "widgets/gui/image_check_box.h"
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>

namespace strovane::update {

// The state an earlier successful Connect leaves behind.
struct UpdateDialogTestAccess {
    static void setPortConnected(UpdateDialog& d) { d.m_portConnected = true; }
};

namespace {

using platform::PortInfo;
using platform::PortState;
using testing::MessageRecorder;

// Paths as this system writes them: the device of a port name, a name inside a folder.
std::string device(const std::string& port) { return platform::devicePath(port); }
std::string inside(const std::string& dir, const std::string& name) { return dir + platform::kPathSeparator + name; }

// One start of the updater as the dialog asked for it.
struct StartCall {
    std::string program;
    std::string commandLine;
    bool hidden;
    std::vector<std::string> arguments;
};

class UpdateDialogTest : public ::testing::Test {
protected:
    UpdateDialogTest() {
        ws.programDir = "/opt/strovane";
        ws.workspaceRoot = "/opt/strovane";
        ws.masterDir = (master / "MASTER").string();
        ws.projectDir = "/opt/strovane/PROJECTS/Line 1";
        std::filesystem::create_directory(ws.masterDir);
        testing::writeFile(firmwareFile(), "firmware");
        ports = {{"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", PortState::Present},
                 {"ttyUSB1", "/dev/ttyUSB1", "", PortState::InUse}};
    }

    UpdateDialog& dialog(platform::SerialDeviceFactory devices = {}) {
        if (!devices)
            devices = fake.factory();
        m_dialog = std::make_unique<UpdateDialog>(
            messages, ws, [this] { return ports; }, std::move(devices),
            [this](const std::string& n, const std::string& p, bool t, const std::vector<std::string>& a,
                   const UpdaterLauncher::PollCallback& onPoll) {
                starts.push_back({n, p, t, a});
                return startProgram ? startProgram(n, p, t, a, onPoll) : WaitOutcome{};
            });
        return *m_dialog;
    }
    std::string firmwareFile() const { return inside(ws.masterDir, "sim40518.sim"); }
    static void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // A control found by its object name, as a test outside the dialog sees it.
    template <class T = QWidget>
    static T* control(const UpdateDialog& d, const char* name) {
        T* w = d.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static widgets::ImageCheckBox* option(const UpdateDialog& d, const char* name) {
        return control<widgets::ImageCheckBox>(d, name);
    }
    // Connect, Next and Execute, as a person goes through them.
    void connectNextExecute(UpdateDialog& d) {
        click(d.connectButton());
        click(d.nextButton());
        click(d.executeButton());
    }

    testing::TempDir master; // holds MASTER with the firmware file
    workspace::Workspace ws;
    std::vector<PortInfo> ports;
    platform::FakeSerialPort fake;
    MessageRecorder messages;
    std::vector<StartCall> starts;
    UpdateDialog::StartProgram startProgram;
    std::unique_ptr<UpdateDialog> m_dialog;
};

TEST_F(UpdateDialogTest, OpensOnTheStepsPageWithTheProbedPorts) {
    UpdateDialog& d = dialog();
    d.show();
    EXPECT_EQ(d.windowTitle(), "Update Firmware from Serial (RS232)");
    EXPECT_FALSE(d.optionsPage()->isVisible());
    EXPECT_TRUE(control(d, "introLabel")->isVisible());
    ASSERT_EQ(d.portList()->count(), 2);
    EXPECT_EQ(d.portList()->currentIndex(), 0);
    // What the port is and why it may not open are shown; the item's name stays the port name.
    EXPECT_EQ(d.portList()->itemText(0), QString::fromUtf8("ttyUSB0 \u2013 FT232R USB UART"));
    EXPECT_EQ(d.portList()->itemText(1), "ttyUSB1 (in use)");
    EXPECT_EQ(d.portList()->itemData(1).toString(), "ttyUSB1");
    EXPECT_EQ(d.selectedPort(), "ttyUSB0");
    for (const char* name : {"firmwareOption", "readFirmwareOption", "projectOption", "readProjectOption"})
        EXPECT_TRUE(option(d, name)->isChecked()) << name;
}

TEST_F(UpdateDialogTest, ConnectOpensThePortWithDtrOn) {
    UpdateDialog& d = dialog();
    d.show();
    d.portList()->setCurrentIndex(1);
    click(d.connectButton());
    EXPECT_TRUE(d.portConnected());
    EXPECT_TRUE(fake.isOpen());
    EXPECT_EQ(fake.openedName, device("ttyUSB1"));
    EXPECT_EQ(fake.callsNamed("escapeCommFunction").back().value, platform::kSetDtr);
    EXPECT_TRUE(messages.boxes.empty());
}

// Drivers without modem lines (pseudo-terminals, virtual ports) refuse DTR: the port still works.
TEST_F(UpdateDialogTest, ConnectAcceptsAPortWithoutModemLines) {
    // ENOTTY, EINVAL; ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED on Windows.
    const std::vector<platform::SysError> refusals =
        platform::kWindows ? std::vector<platform::SysError>{1, 50} : std::vector<platform::SysError>{ENOTTY, EINVAL};
    for (platform::SysError noLines : refusals) {
        ASSERT_TRUE(platform::lacksModemLines(noLines)) << noLines;
        UpdateDialog& d = dialog();
        d.show();
        fake.escapeError = noLines;
        click(d.connectButton());
        EXPECT_TRUE(d.portConnected()) << noLines;
        EXPECT_TRUE(fake.isOpen()) << noLines;
        EXPECT_TRUE(messages.boxes.empty()) << noLines;
        d.close();
    }
}

struct ConnectFailure {
    const char* label;
    platform::SysError openError;
    platform::SysError escapeError;
    const char* detailStart;
    bool permissionHint;
    bool leftOpen;
};

class ConnectFails : public UpdateDialogTest, public ::testing::WithParamInterface<ConnectFailure> {};

TEST_P(ConnectFails, ShowsTheComponentsMessage) {
    const ConnectFailure& c = GetParam();
    fake.openError = c.openError;
    fake.escapeError = c.escapeError;
    UpdateDialog& d = dialog();
    d.show();
    UpdateDialogTestAccess::setPortConnected(d); // from an earlier Connect: every Connect clears it first
    click(d.connectButton());
    EXPECT_FALSE(d.portConnected());
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_EQ(messages.boxes[0].text, "Error!! Com Port cannot be open.");
    EXPECT_TRUE(messages.boxes[0].detail.startsWith(c.detailStart)) << messages.boxes[0].detail.toStdString();
    // The group to join is Linux's hint; Windows has none.
    EXPECT_EQ(messages.boxes[0].detail.contains("dialout"), c.permissionHint && !platform::kWindows)
        << messages.boxes[0].detail.toStdString();
    EXPECT_EQ(fake.isOpen(), c.leftOpen);
    EXPECT_EQ(d.focusWidget(), d.portList()) << "another port can be picked at once";
    // Next still refuses.
    click(d.nextButton());
    EXPECT_EQ(messages.texts().back(), "Select one port.");
    EXPECT_FALSE(d.optionsPage()->isVisible());
    EXPECT_EQ(d.focusWidget(), d.portList());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectFails,
    ::testing::Values(
        ConnectFailure{"Missing", ENOENT, 0, "Error accessing specified device (Error: 2) ", false, false},
        ConnectFailure{"NoPermission", EACCES, 0, "Error accessing specified device (Error: 13) ", true, false},
        ConnectFailure{"Busy", EBUSY, 0, "Error accessing specified device (Error: 16) ", false, false},
        // A port that opened but refused DTR stays open until the next Connect or the closing.
        ConnectFailure{"DtrFails", 0, EIO, "EscapeCommFunction failure (Error: 5) ", false, true}),
    [](const ::testing::TestParamInfo<ConnectFailure>& info) { return std::string(info.param.label); });

TEST_F(UpdateDialogTest, NextWithoutConnectRefuses) {
    UpdateDialog& d = dialog();
    d.show();
    click(d.nextButton());
    EXPECT_EQ(messages.texts(), QStringList{"Select one port."});
    EXPECT_FALSE(d.optionsPage()->isVisible());
    EXPECT_TRUE(control(d, "introLabel")->isVisible());
}

TEST_F(UpdateDialogTest, ConnectThenAnotherPortThenNextPassesTheNewPort) {
    UpdateDialog& d = dialog();
    d.show();
    click(d.connectButton());
    ASSERT_TRUE(d.portConnected());
    d.portList()->setCurrentIndex(1);
    click(d.nextButton());
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_TRUE(d.optionsPage()->isVisible());
    EXPECT_EQ(d.optionsPage()->pos(), QPoint(0, 0));
    for (QWidget* w : {control(d, "introLabel"), control(d, "ledLabel"), control(d, "refreshButton")})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_FALSE(fake.isOpen()) << "the port is free for the updater";
    // Tab stays on the options page: nothing it covers takes the focus.
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_TRUE(d.optionsPage()->isAncestorOf(QApplication::focusWidget()))
            << QApplication::focusWidget()->objectName().toStdString();
    }

    click(d.executeButton());
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, inside("/opt/strovane", platform::executableName("Ser_40518_Update")));
    EXPECT_FALSE(starts[0].hidden);
    EXPECT_EQ(starts[0].arguments,
              (std::vector<std::string>{device("ttyUSB1"), "FW", "FR", "PW", "PR", firmwareFile(),
                                        inside(inside("/opt/strovane/PROJECTS/Line 1", "bin"), "")}));
    // Nothing further: still the options page, Execute can be pressed again.
    EXPECT_TRUE(d.optionsPage()->isVisible());
    click(d.executeButton());
    EXPECT_EQ(starts.size(), 2u);
}

TEST_F(UpdateDialogTest, RefreshSelectsTheFirstPortAndKeepsTheConnection) {
    UpdateDialog& d = dialog();
    d.show();
    d.portList()->setCurrentIndex(1);
    click(d.connectButton());
    ports.push_back({"ttyACM0", "/dev/ttyACM0", "", PortState::Present});
    click(d.refreshButton());
    EXPECT_EQ(d.portList()->count(), 3);
    EXPECT_EQ(d.portList()->currentIndex(), 0);
    EXPECT_TRUE(d.portConnected());
    EXPECT_TRUE(fake.isOpen()) << "refreshing does not touch the tested port";
}

TEST_F(UpdateDialogTest, OptionsKeepTheirStatesBetweenOpenings) {
    UpdateDialog& d = dialog();
    d.show();
    click(d.connectButton());
    click(d.nextButton());
    click(option(d, "firmwareOption"));
    click(option(d, "readProjectOption"));
    EXPECT_TRUE(option(d, "readFirmwareOption")->isChecked()) << "the boxes do not depend on one another";
    d.done(2);

    d.show();
    EXPECT_FALSE(d.optionsPage()->isVisible());
    EXPECT_FALSE(d.portConnected());
    click(d.connectButton());
    click(d.nextButton());
    click(d.executeButton());
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, device("ttyUSB0") + " NO FR PW NO \"" + firmwareFile() + "\" \"" +
                                       inside(inside("/opt/strovane/PROJECTS/Line 1", "bin"), "") + "\"");
}

TEST_F(UpdateDialogTest, ClosingReleasesThePortAndAnswersCancel) {
    UpdateDialog& d = dialog();
    testing::onNextModal([&](QWidget*) {
        click(d.connectButton());
        ASSERT_TRUE(fake.isOpen());
        click(control<QAbstractButton>(d, "cancelButton"));
    });
    EXPECT_EQ(d.exec(), 2);
    EXPECT_FALSE(fake.isOpen());

    testing::onNextModal([&](QWidget* w) {
        click(d.connectButton());
        testing::closeByWindowButton(w);
    });
    EXPECT_EQ(d.exec(), 2);
    EXPECT_FALSE(fake.isOpen());
}

// With nothing to connect to, Connect asks for a port instead of opening the bare device prefix.
TEST_F(UpdateDialogTest, ConnectWithoutASelectedPortAsksForOne) {
    for (const bool portsPresent : {false, true}) {
        if (!portsPresent)
            ports.clear();
        UpdateDialog& d = dialog(platform::createSerialDevice);
        d.show();
        if (portsPresent)
            d.portList()->setCurrentIndex(-1); // present, but none selected
        ASSERT_EQ(d.portList()->currentIndex(), -1);
        UpdateDialogTestAccess::setPortConnected(d);
        click(d.connectButton());
        EXPECT_FALSE(d.portConnected()) << portsPresent;
        EXPECT_EQ(messages.texts(), QStringList{"Select one port."}) << portsPresent;
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].kind, MessageRecorder::Kind::Error);
        EXPECT_EQ(messages.boxes[0].detail, "");
        EXPECT_EQ(d.focusWidget(), d.portList()) << portsPresent;
        messages.clear();
        d.close();
    }
}

// ---- How an update ended, told after the wait. ----

struct OutcomeCase {
    const char* label;
    WaitOutcome outcome;
    std::string errorBox; // empty: a success, told on the page only
};

class UpdateOutcomeShown : public UpdateDialogTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(UpdateOutcomeShown, AfterTheWait) {
    const OutcomeCase& c = GetParam();
    startProgram = [&](auto&&...) { return c.outcome; };
    UpdateDialog& d = dialog();
    d.show();
    auto* notice = d.findChild<QLabel*>("outcomeNotice");
    ASSERT_NE(notice, nullptr);
    connectNextExecute(d);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(notice->isVisible());
    if (c.errorBox.empty()) {
        EXPECT_TRUE(messages.boxes.empty()) << messages.texts().join("|").toStdString();
        EXPECT_TRUE(notice->text().startsWith("Device updated at ")) << notice->text().toStdString();
        EXPECT_TRUE(notice->text().endsWith(": the updater ended with status 0.")) << notice->text().toStdString();
    } else {
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].kind, MessageRecorder::Kind::Error);
        EXPECT_EQ(messages.boxes[0].text.toStdString(), c.errorBox);
        EXPECT_TRUE(notice->text().startsWith("Update failed at ")) << notice->text().toStdString();
    }
    EXPECT_TRUE(d.optionsPage()->isVisible()) << "Execute can be pressed again for the next device";

    // The next Execute starts without the old notice; a new opening shows none.
    startProgram = [&](auto&&...) {
        EXPECT_FALSE(notice->isVisible());
        return c.outcome;
    };
    click(d.executeButton());
    d.done(2);
    d.show();
    EXPECT_FALSE(notice->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateOutcomeShown,
    ::testing::Values(
        OutcomeCase{"Success", {WaitResult::Ended, 0, 0, 1200, {}}, ""},
        OutcomeCase{"Status3", {WaitResult::Ended, 3, 0, 1200, {}}, "Error!! The updater ended with status 3."},
        OutcomeCase{"Killed", {WaitResult::Ended, 137, 9, 1200, {}},
                    "Error!! The updater was killed by signal 9" +
                        (platform::signalName(9).empty() ? "" : " (" + platform::signalName(9) + ")") + "."},
        OutcomeCase{"StillRunningAtTheLimit", {WaitResult::TimedOut, platform::kStillActive, 0, 150000, {}},
                    "Error!! The updater is still running after 150 s."}),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.label); });

// The firmware file is needed by either firmware option; without it the updater is not started.
TEST_F(UpdateDialogTest, MissingFirmwareFileIsToldBeforeTheUpdaterStarts) {
    struct Case {
        bool firmware, readFirmware, fileThere;
        bool starts;
    };
    const Case cases[] = {
        {true, true, false, false}, {true, false, false, false}, {false, true, false, false},
        {false, false, false, true}, {true, true, true, true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(firmwareFile());
        if (c.fileThere)
            testing::writeFile(firmwareFile(), "firmware");
        starts.clear();
        messages.clear();
        UpdateDialog& d = dialog();
        d.show();
        option(d, "firmwareOption")->setChecked(c.firmware);
        option(d, "readFirmwareOption")->setChecked(c.readFirmware);
        connectNextExecute(d);
        const std::string where =
            std::to_string(c.firmware) + std::to_string(c.readFirmware) + std::to_string(c.fileThere);
        EXPECT_EQ(starts.size(), c.starts ? 1u : 0u) << where;
        if (c.starts)
            EXPECT_TRUE(messages.boxes.empty()) << where;
        else
            EXPECT_EQ(messages.texts(),
                      QStringList{QString::fromStdString("Error!! The firmware file is missing: " + firmwareFile())})
                << where;
        d.close();
    }
    // A folder in its place is no firmware file either.
    std::filesystem::remove(firmwareFile());
    std::filesystem::create_directory(firmwareFile());
    messages.clear();
    starts.clear();
    UpdateDialog& d = dialog();
    d.show();
    connectNextExecute(d);
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(messages.texts(),
              QStringList{QString::fromStdString("Error!! The firmware file is not a file: " + firmwareFile())});
}

// ---- Execute with the test updater beside a stand-in executable folder. ----

class UpdateDialogExecute : public UpdateDialogTest {
protected:
    void SetUp() override {
        // The updater is looked for in the workspace, wherever the executable is.
        ws.programDir = (dir / "bin").string();
        ws.workspaceRoot = dir.path().string();
        ws.masterDir = (dir / "MASTER").string();
        ws.projectDir = (dir / "PROJECTS" / "Line 1").string();
        std::filesystem::create_directory(ws.masterDir);
        testing::writeFile(firmwareFile(), "firmware");
        platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_LOG", (dir / "args.txt").string());
        platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_MS", "300");
        startProgram = [this](const std::string& n, const std::string& p, bool t, const std::vector<std::string>& a,
                              const UpdaterLauncher::PollCallback& onPoll) {
            return UpdaterLauncher().startAndWait(n, p, t, a, [&](std::uint32_t ms) {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal && modal->objectName() == "updateProgress")
                    ++progressPolls;
                if (!clickedDuringWait) {
                    clickedDuringWait = true;
                    click(m_dialog->executeButton()); // input is discarded while the updater runs
                }
                onPoll(ms);
            });
        };
    }
    void TearDown() override {
        platform::unsetEnvironmentVariable("STROVANE_FAKE_UPDATER_LOG");
        platform::unsetEnvironmentVariable("STROVANE_FAKE_UPDATER_MS");
        platform::unsetEnvironmentVariable("STROVANE_FAKE_UPDATER_EXIT");
    }
    void installUpdater() {
        std::filesystem::copy_file(STROVANE_FAKE_UPDATER, dir / platform::executableName("Ser_40518_Update"));
    }
    // What the updater received: its arguments, or on Windows the one command line it was given.
    std::vector<std::string> recorded() const {
        if (platform::kWindows)
            return {testing::readFile(dir / "args.txt.line")};
        return testing::readLines(dir / "args.txt");
    }

    testing::TempDir dir;
    int progressPolls = 0;
    bool clickedDuringWait = false;
};

TEST_F(UpdateDialogExecute, UpdaterGetsTheExactArgumentsUnderTheProgressWindow) {
    installUpdater();
    UpdateDialog& d = dialog();
    d.show();
    option(d, "readFirmwareOption")->setChecked(false);
    click(d.connectButton());
    click(d.nextButton());
    click(d.executeButton());
    EXPECT_TRUE(messages.boxes.empty());
    const std::vector<std::string> arguments{device("ttyUSB0"), "FW", "NO", "PW", "PR",
                                             inside(ws.masterDir, "sim40518.sim"),
                                             inside(inside(ws.projectDir, "bin"), "")};
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].arguments, arguments);
    EXPECT_EQ(recorded(), platform::kWindows ? std::vector<std::string>{starts[0].commandLine} : arguments);
    EXPECT_GT(progressPolls, 0) << "the progress window is the modal window during the wait";
    EXPECT_EQ(starts.size(), 1u) << "a click during the wait must not start a second update";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "progress window gone";
}

TEST_F(UpdateDialogExecute, ARequestDuringTheWaitIsHeldUntilTheUpdaterEnds) {
    installUpdater();
    int runs = 0;
    bool ranDuringWait = false;
    const auto inner = startProgram;
    startProgram = [&](const std::string& n, const std::string& p, bool t, const std::vector<std::string>& a,
                       const UpdaterLauncher::PollCallback& onPoll) {
        return inner(n, p, t, a, [&](std::uint32_t ms) {
            whenUpdaterIdle([&] { ++runs; }); // e.g. a termination request from the system
            onPoll(ms);
            ranDuringWait = ranDuringWait || runs > 0 || !updaterWaitRunning();
        });
    };
    UpdateDialog& d = dialog();
    d.show();
    click(d.connectButton());
    click(d.nextButton());
    click(d.executeButton());
    EXPECT_FALSE(ranDuringWait) << "the updater is not cut off";
    EXPECT_FALSE(updaterWaitRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 5000)) << "the request is not lost";

    int now = 0;
    whenUpdaterIdle([&] { ++now; });
    EXPECT_EQ(now, 1) << "outside the wait it runs at once";
}

TEST_F(UpdateDialogExecute, AFailingUpdaterIsReportedOnceItHasEnded) {
    installUpdater();
    platform::setEnvironmentVariable("STROVANE_FAKE_UPDATER_EXIT", "3");
    UpdateDialog& d = dialog();
    d.show();
    connectNextExecute(d);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(messages.texts(), QStringList{"Error!! The updater ended with status 3."});
}

TEST_F(UpdateDialogExecute, MissingUpdaterIsReported) {
    UpdateDialog& d = dialog();
    d.show();
    click(d.connectButton());
    click(d.nextButton());
    click(d.executeButton());
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_EQ(messages.boxes[0].text,
              QString::fromStdString("Error!! The updater cannot be started: " +
                                     inside(ws.workspaceRoot, platform::executableName("Ser_40518_Update"))));
    EXPECT_NE(messages.boxes[0].detail.toStdString().find(platform::systemErrorText(platform::fileNotFoundError())),
              std::string::npos)
        << messages.boxes[0].detail.toStdString();
    EXPECT_TRUE(d.optionsPage()->isVisible());
}

} // namespace
} // namespace strovane::update
