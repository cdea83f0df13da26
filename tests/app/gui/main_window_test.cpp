#include "app/gui/app_windows.h"
#include "app/gui/main_window.h"
#include "app/gui/strovane_application.h"
#include "platform/system.h"
#include "support/file_bytes.h"
#include "support/gui/message_recorder.h"
#include "support/gui/modal.h"
#include "support/temp_dir.h"
#include "widgets/gui/click_label.h"
#include "workspace/gui/about_dialog.h"
#include "workspace/gui/new_project_dialog.h"
#include "workspace/gui/open_project_dialog.h"
#include "workspace/gui/web_page.h"
#include "workspace/workspace.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using strovane::testing::MessageRecorder;
using strovane::testing::onNextModal;
using strovane::testing::readFile;
using strovane::testing::TempDir;
using namespace strovane;

namespace {

const QString kNoProjectTitle = QStringLiteral("www.strovane.example - Strovane SC40518 - CANopen / RS232 / RS485  : ");

std::string settings(const std::string& name) {
    const std::string projectname = name.empty() ? "<projectname/>" : "<projectname>" + name + "</projectname>";
    return "<Conf_Settings><lastproj>" + projectname +
           "</lastproj><lastipadd><ipaddress>0.0.0.0</ipaddress></lastipadd></Conf_Settings>";
}

template <typename T> T* child(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

const char* const kFileNamesAreUnicode = "Windows file names are UTF-16 text: every folder name has a UTF-8 spelling";

class MainWindowTest : public ::testing::Test {
protected:
    // Starts the program in `dir` (after the test has laid out its files).
    void start() {
        windows = std::make_unique<app::AppWindows>(ws, messages, dir.path());
        main = windows->mainWindow.get();
        main->show();
    }
    // Any dialog that opens is recorded and cancelled, so a wrong dispatch cannot hang the test.
    void recordNextModal() {
        onNextModal([this](QWidget* w) {
            opened << w->objectName();
            w->close();
        });
    }

    TempDir dir;
    workspace::Workspace ws;
    MessageRecorder messages;
    std::unique_ptr<app::AppWindows> windows;
    app::MainWindow* main = nullptr;
    QStringList opened;
};

} // namespace

TEST_F(MainWindowTest, ANamedWorkspaceHoldsEverythingAndOneThatCannotBeMadeIsReported) {
    const fs::path elsewhere = dir / "work" / "space";
    windows = std::make_unique<app::AppWindows>(ws, messages, dir.path(), elsewhere);
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_TRUE(fs::is_directory(elsewhere / "PROJECTS"));
    EXPECT_TRUE(fs::is_directory(elsewhere / "MASTER"));
    EXPECT_FALSE(fs::exists(dir / "PROJECTS"));
    windows.reset();

    strovane::testing::writeFile(dir / "file", "");
    windows = std::make_unique<app::AppWindows>(ws, messages, dir.path(), dir / "file" / "ws");
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text.toStdString(),
              "Error! The workspace folder \"" + (dir / "file" / "ws").string() +
                  "\" cannot be created: " + std::make_error_code(std::errc::not_a_directory).message());
    EXPECT_TRUE(messages.boxes[0].detail.contains(QStringLiteral("--workspace DIR")));
}

TEST_F(MainWindowTest, LayoutAndNoProjectTitle) {
    start();
    EXPECT_EQ(main->size(), QSize(575, 264));
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle);
    EXPECT_EQ(child<QAbstractButton>(main, "updateDeviceButton")->geometry(), QRect(80, 212, 145, 26));
    EXPECT_EQ(child<QWidget>(main, "websiteLink")->y(), child<QLabel>(main, "step5Label")->y());
    EXPECT_TRUE(fs::is_directory(dir / "MASTER"));
    EXPECT_TRUE(fs::is_directory(dir / "PROJECTS"));
}

TEST_F(MainWindowTest, WorkspaceDialogsKeepTheirFixedLayout) {
    start();
    struct Control {
        QWidget* dialog;
        const char* name;
        QRect geometry;
    };
    const std::pair<QWidget*, QSize> sizes[] = {{windows->newProject, QSize(331, 136)},
                                                {windows->openProject, QSize(377, 351)},
                                                {windows->about, QSize(406, 148)}};
    for (const auto& [dialog, size] : sizes)
        EXPECT_EQ(dialog->size(), size) << dialog->objectName().toStdString();
    const Control controls[] = {{windows->newProject, "nameEdit", {24, 48, 281, 21}},
                                {windows->newProject, "okButton", {117, 91, 90, 23}},
                                {windows->newProject, "cancelButton", {215, 91, 90, 23}},
                                {windows->openProject, "projectList", {24, 43, 329, 249}},
                                {windows->openProject, "okButton", {165, 307, 90, 23}},
                                {windows->openProject, "cancelButton", {263, 307, 90, 23}},
                                {windows->about, "okButton", {32, 115, 81, 22}},
                                {windows->about, "emblem", {32, 24, 81, 81}}};
    for (const Control& c : controls)
        EXPECT_EQ(child<QWidget>(c.dialog, c.name)->geometry(), c.geometry)
            << c.dialog->objectName().toStdString() << " " << c.name;
}

TEST_F(MainWindowTest, StepsTwoToFiveRefuseWithoutProject) {
    start();
    for (QAbstractButton* b :
         {child<QAbstractButton>(main, "communicationButton"), child<QAbstractButton>(main, "receivePdoButton"),
          child<QAbstractButton>(main, "transmitPdoButton"), child<QAbstractButton>(main, "updateDeviceButton")}) {
        messages.clear();
        recordNextModal();
        click(b);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.boxes.empty(); }, 5000)) << b->objectName().toStdString();
        ASSERT_EQ(messages.boxes.size(), 1u) << b->objectName().toStdString();
        EXPECT_EQ(messages.boxes[0].kind, MessageRecorder::Kind::Error);
        EXPECT_EQ(messages.boxes[0].text, QStringLiteral("Error! Project not Valid"));
    }
    EXPECT_TRUE(opened.isEmpty()) << opened.join(',').toStdString();
}

TEST_F(MainWindowTest, StepsOpenTheirDialogsWithProject) {
    fs::create_directories(dir / "PROJECTS" / "P1");
    std::ofstream(dir / "Strovane.xml") << settings("P1");
    start();
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle + "P1");
    const std::pair<QAbstractButton*, const char*> steps[] = {
        {child<QAbstractButton>(main, "aboutButton"), "aboutDialog"},
        {child<QAbstractButton>(main, "communicationButton"), "communicationDialog"},
        {child<QAbstractButton>(main, "receivePdoButton"), "receivePdoDialog"},
        {child<QAbstractButton>(main, "transmitPdoButton"), "transmitPdoDialog"}};
    for (const auto& [button, dialog] : steps) {
        recordNextModal();
        click(button);
        ASSERT_FALSE(opened.isEmpty()) << dialog;
        EXPECT_EQ(opened.takeLast(), QString::fromLatin1(dialog));
    }
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(MainWindowTest, NewProjectOkEnterAndCancel) {
    start();
    // Empty name first, then a real one through Enter.
    onNextModal([&](QWidget* w) {
        auto* edit = child<QLineEdit>(w, "nameEdit");
        EXPECT_TRUE(edit->text().isEmpty());
        click(child<QAbstractButton>(w, "okButton"));
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Error! Name Project is not valid")});
        EXPECT_TRUE(w->isVisible());
        QTest::keyClicks(edit, QStringLiteral("Line1"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    click(child<QAbstractButton>(main, "newProjectButton"));
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle + "Line1");
    EXPECT_TRUE(fs::is_directory(dir / "PROJECTS" / "Line1" / "bin"));
    EXPECT_TRUE(ws.projectOpen());

    // The same name again: refused; then Cancel leaves the open project open, as does Escape.
    messages.clear();
    onNextModal([&](QWidget* w) {
        auto* edit = child<QLineEdit>(w, "nameEdit");
        EXPECT_TRUE(edit->text().isEmpty()); // emptied at every showing
        QTest::keyClicks(edit, QStringLiteral("Line1"));
        click(child<QAbstractButton>(w, "okButton"));
        EXPECT_EQ(messages.texts(),
                  QStringList{QStringLiteral("Error! Name project is not valid because directory already exists")});
        EXPECT_EQ(edit->text(), QStringLiteral("Line1"));
        EXPECT_EQ(w->focusWidget(), edit) << "the name can be corrected at once";
        EXPECT_EQ(edit->selectedText(), QStringLiteral("Line1"));
        click(child<QAbstractButton>(w, "cancelButton"));
    });
    click(child<QAbstractButton>(main, "newProjectButton"));
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle + "Line1");
    EXPECT_TRUE(ws.projectOpen());
    onNextModal([&](QWidget* w) {
        QTest::keyClicks(child<QLineEdit>(w, "nameEdit"), QStringLiteral("Other"));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    click(child<QAbstractButton>(main, "newProjectButton"));
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle + "Line1");
    EXPECT_FALSE(fs::exists(dir / "PROJECTS" / "Other"));

    // The steps still work on it.
    messages.clear();
    recordNextModal();
    click(child<QAbstractButton>(main, "communicationButton"));
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(opened.takeLast(), QStringLiteral("communicationDialog"));

    main->close();
    EXPECT_EQ(readFile(dir / "Strovane.xml"), settings("Line1"));
}

TEST_F(MainWindowTest, NewProjectKeepsANameOutsideASCIIAsTyped) {
    start();
    const QString name = QStringLiteral("caf\u00e9 \u03a9");
    onNextModal([&](QWidget* w) {
        child<QLineEdit>(w, "nameEdit")->insert(name);
        click(child<QAbstractButton>(w, "okButton"));
    });
    click(child<QAbstractButton>(main, "newProjectButton"));
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle + name);
    // The folder on disk carries exactly that name, in the system's own spelling.
    QStringList folders;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir / "PROJECTS"))
        folders << QString::fromStdU16String(entry.path().filename().u16string());
    EXPECT_EQ(folders, QStringList{name});
    EXPECT_TRUE(fs::is_directory(dir / "PROJECTS" / fs::path(name.toStdU16String()) / "bin"));

    main->close();
    EXPECT_EQ(readFile(dir / "Strovane.xml"), settings(name.toStdString()));
}

TEST_F(MainWindowTest, NewProjectWherePROJECTSCannotBeMadeNamesTheFolder) {
    start();
    fs::remove_all(dir / "PROJECTS");
    strovane::testing::writeFile(dir / "PROJECTS", "");
    onNextModal([&](QWidget* w) {
        auto* edit = child<QLineEdit>(w, "nameEdit");
        QTest::keyClicks(edit, QStringLiteral("Line1"));
        click(child<QAbstractButton>(w, "okButton"));
        EXPECT_EQ(messages.texts(),
                  QStringList{QString::fromStdString("Error! The workspace folder \"" + (dir / "PROJECTS").string() +
                                                     "\" cannot be created: a file of that name is in the way")});
        EXPECT_TRUE(w->isVisible());
        click(child<QAbstractButton>(w, "cancelButton"));
    });
    click(child<QAbstractButton>(main, "newProjectButton"));
    EXPECT_FALSE(ws.projectOpen());
}

TEST_F(MainWindowTest, NewProjectCloseBoxGivesCancel) {
    start();
    onNextModal([](QWidget* w) { w->close(); });
    EXPECT_EQ(windows->newProject->exec(), 2);
    onNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(windows->newProject->exec(), 2);
}

TEST_F(MainWindowTest, AFolderNameThatIsNotUtf8ReadsInTheTitleAsInTheList) {
    if (platform::kWindows)
        GTEST_SKIP() << kFileNamesAreUnicode;
    const std::string name = "caf\xE9";
    fs::create_directories(dir / "PROJECTS" / name);
    start();
    onNextModal([&](QWidget* w) {
        auto* list = child<QListWidget>(w, "projectList");
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), QString::fromUtf8("caf\u00E9"));
        click(child<QAbstractButton>(w, "okButton"));
    });
    click(child<QAbstractButton>(main, "openProjectButton"));
    EXPECT_EQ(ws.projectName, name);
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle + QString::fromUtf8("caf\u00E9"));
}

TEST_F(MainWindowTest, OpenProjectPreselectsAndAdopts) {
    for (const char* d : {"alpha", "Beta", "gamma"})
        fs::create_directories(dir / "PROJECTS" / d);
    std::ofstream(dir / "PROJECTS" / "notes.txt") << "x";
    fs::create_directories(dir / "PROJECTS" / ".hidden");
    start();
    ws.adoptProject("BETA"); // letter case differs from the folder on disk
    onNextModal([&](QWidget* w) {
        auto* list = child<QListWidget>(w, "projectList");
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("alpha"));
        EXPECT_EQ(list->currentRow(), 1);
        EXPECT_EQ(windows->openProject->selectedProject(), "Beta");
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(windows->openProject->selectedProject(), "gamma");
        click(child<QAbstractButton>(w, "okButton"));
    });
    click(child<QAbstractButton>(main, "openProjectButton"));
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle + "gamma");
    EXPECT_EQ(ws.projectDir, (dir / "PROJECTS" / "gamma").string());
    EXPECT_EQ(ws.parGenFile, (dir / "PROJECTS" / "gamma" / "ParGen.xml").string());

    // Cancel changes nothing, even after moving the selection.
    onNextModal([&](QWidget* w) {
        EXPECT_EQ(windows->openProject->selectedProject(), "gamma");
        QTest::keyClick(child<QListWidget>(w, "projectList"), Qt::Key_Up);
        click(child<QAbstractButton>(w, "cancelButton"));
    });
    click(child<QAbstractButton>(main, "openProjectButton"));
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle + "gamma");
    EXPECT_EQ(ws.projectName, "gamma");
}

TEST_F(MainWindowTest, OpenProjectPrefersTheExactName) {
    for (const char* d : {"Alpha", "alpha"})
        fs::create_directories(dir / "PROJECTS" / d);
    if (std::distance(fs::directory_iterator(dir / "PROJECTS"), fs::directory_iterator()) != 2)
        GTEST_SKIP() << "this file system ignores letter case: \"Alpha\" and \"alpha\" are one folder";
    start();
    ws.adoptProject("alpha");
    onNextModal([&](QWidget* w) {
        auto* list = child<QListWidget>(w, "projectList");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("alpha")) << "the exact name, not the first match";
        EXPECT_EQ(windows->openProject->selectedProject(), "alpha");
        click(child<QAbstractButton>(w, "okButton"));
    });
    click(child<QAbstractButton>(main, "openProjectButton"));
    EXPECT_EQ(ws.projectDir, (dir / "PROJECTS" / "alpha").string());
}

TEST_F(MainWindowTest, OpenProjectAdoptsTheRealFolderNameThatIsNotUtf8) {
    if (platform::kWindows)
        GTEST_SKIP() << kFileNamesAreUnicode;
    const std::string latin1 = "Caf\xE9"; // not UTF-8: a folder made under another locale
    fs::create_directories(dir / "PROJECTS" / latin1);
    start();
    onNextModal([&](QWidget* w) {
        auto* list = child<QListWidget>(w, "projectList");
        const auto found = list->findItems(QStringLiteral("Caf\u00e9"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << "shown readably";
        list->setCurrentItem(found[0]);
        click(child<QAbstractButton>(w, "okButton"));
    });
    click(child<QAbstractButton>(main, "openProjectButton"));
    EXPECT_EQ(ws.projectName, latin1);
    EXPECT_TRUE(fs::is_directory(ws.projectDir)) << "the folder adopted is the one on disk";
}

TEST_F(MainWindowTest, OpenProjectWithEmptyListLeavesNoProject) {
    fs::create_directories(dir / "PROJECTS" / "P1");
    std::ofstream(dir / "Strovane.xml") << settings("P1");
    start();
    fs::remove_all(dir / "PROJECTS" / "P1"); // removed outside the tool: the listing is fresh
    onNextModal([&](QWidget* w) {
        EXPECT_EQ(child<QListWidget>(w, "projectList")->count(), 0);
        EXPECT_TRUE(windows->openProject->selectedProject().empty());
        click(child<QAbstractButton>(w, "okButton"));
    });
    click(child<QAbstractButton>(main, "openProjectButton"));
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle);
    EXPECT_FALSE(ws.projectOpen());
    main->close();
    EXPECT_EQ(readFile(dir / "Strovane.xml"), settings(""));
}

TEST_F(MainWindowTest, AboutTextsAndWebPage) {
    start();
    QStringList urls;
    workspace::setUrlOpener([&](const QUrl& url) { urls << url.toString(); });
    onNextModal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("About..."));
        EXPECT_EQ(w->size(), QSize(406, 148));
        EXPECT_EQ(child<QLabel>(w, "descriptionLabel")->text(), QStringLiteral("CANopen / RS232 / RS485 - Coverter"));
        EXPECT_EQ(child<QLabel>(w, "softwareCodeLabel")->text(), QStringLiteral("SC40518"));
        EXPECT_EQ(child<QLabel>(w, "versionLabel")->text(), QStringLiteral("1.001"));
        EXPECT_EQ(child<QLabel>(w, "documentCodeLabel")->text(), QStringLiteral("DC40518"));
        QTest::mouseClick(child<QLabel>(w, "emblem"), Qt::LeftButton);
        QTest::mouseClick(child<QLabel>(w, "websiteLink"), Qt::LeftButton);
        EXPECT_TRUE(w->isVisible());
        click(child<QAbstractButton>(w, "okButton"));
    });
    click(child<QAbstractButton>(main, "aboutButton"));
    QTest::mouseClick(child<QWidget>(main, "websiteLink"), Qt::LeftButton);
    const QString page = QStringLiteral("http://www.strovane.example/HOME/default.asp?frompg=SC40518");
    EXPECT_EQ(urls, (QStringList{page, page, page}));
    workspace::setUrlOpener([](const QUrl&) {});
}

TEST_F(MainWindowTest, CloseButtonWritesSettings) {
    start();
    click(child<QAbstractButton>(main, "closeButton"));
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(readFile(dir / "Strovane.xml"), settings(""));
}

TEST_F(MainWindowTest, UnwritableSettingsAreReportedAndTheWindowStillCloses) {
    start();
    fs::create_directory(dir / "Strovane.xml"); // a folder in the way: the file cannot be replaced
    main->close();
    EXPECT_FALSE(main->isVisible());
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_TRUE(messages.boxes[0].detail.contains(QString::fromStdString((dir / "Strovane.xml").string())))
        << messages.boxes[0].detail.toStdString();
}

TEST_F(MainWindowTest, MalformedSettingsAreReportedAtStart) {
    std::ofstream(dir / "Strovane.xml") << "<Conf_Settings><lastproj>";
    start();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].text.contains(QStringLiteral("Strovane.xml")));
    EXPECT_EQ(main->windowTitle(), kNoProjectTitle);
}

namespace {
class Thrower : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("boom in a handler");
        return QObject::event(e);
    }
};
} // namespace

TEST(Application, EscapingExceptionIsShownAndTheProgramGoesOn) {
    auto* application = dynamic_cast<app::StrovaneApplication*>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    MessageRecorder messages;
    application->setMessages(&messages);
    Thrower thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    application->setMessages(nullptr);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("boom in a handler")});
}

TEST_F(MainWindowTest, UpdateDeviceWritesImageThenOpensUpdateDialog) {
    const fs::path project = dir / "PROJECTS" / "P1";
    fs::create_directories(project / "bin");
    std::ofstream(dir / "Strovane.xml") << settings("P1");
    std::ofstream(project / "RPDOs.xml") << "<RPDO><row COB-ID=\"0x181\" Dimension=\"8\" Mnemonic=\"a\"/></RPDO>";
    start();
    recordNextModal();
    click(child<QAbstractButton>(main, "updateDeviceButton"));
    EXPECT_EQ(opened, QStringList{QStringLiteral("updateDialog")});
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(readFile(project / "bin" / "bank.bin"), std::string("\x0C\0\0\0\x0F\0\0\0\x0F\0\0\0\x81\x01\x08", 15));
}

TEST_F(MainWindowTest, UpdateDeviceStopsOnBadDocumentOrUnwritableImage) {
    const fs::path project = dir / "PROJECTS" / "P1";
    fs::create_directories(project / "bin");
    std::ofstream(dir / "Strovane.xml") << settings("P1");
    std::ofstream(project / "bin" / "bank.bin") << "older image";
    std::ofstream(project / "RPDOs.xml") << "<RPDO><row COB-ID=\"0x181\" Mnemonic=\"a\"/></RPDO>";
    start();

    recordNextModal();
    click(child<QAbstractButton>(main, "updateDeviceButton"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.boxes.empty(); }, 5000));
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].kind, MessageRecorder::Kind::Error);
    EXPECT_TRUE(messages.boxes[0].text.contains(QStringLiteral("Dimension"))) << messages.boxes[0].text.toStdString();
    EXPECT_EQ(readFile(project / "bin" / "bank.bin"), "older image");

    // A good document but no bin folder: the write fails, is reported, and the dialog stays closed.
    messages.clear();
    std::ofstream(project / "RPDOs.xml") << "<RPDO/>";
    fs::remove_all(project / "bin");
    click(child<QAbstractButton>(main, "updateDeviceButton"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.boxes.empty(); }, 5000));
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].text.contains(QString::fromStdString((project / "bin" / "bank.bin").string())))
        << messages.boxes[0].text.toStdString();
    EXPECT_TRUE(opened.isEmpty());
}
