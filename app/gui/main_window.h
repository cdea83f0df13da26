#pragma once

#include "project/config_image.h"
#include "update/updater_launcher.h"

#include <QWidget>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

class QAbstractButton;
class QDialog;
class QLabel;

namespace strovane::widgets {
class ClickLabel;
class MessageBoxes;
} // namespace strovane::widgets
namespace strovane::workspace {
struct Workspace;
class NewProjectDialog;
class OpenProjectDialog;
} // namespace strovane::workspace

namespace strovane::app {

// The main window: five steps, each a button that opens a dialog or runs an action.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The dialogs the steps open; created after the main window, handed over with setDialogs.
    struct Dialogs {
        workspace::NewProjectDialog* newProject = nullptr;
        workspace::OpenProjectDialog* openProject = nullptr;
        QDialog* about = nullptr;
        QDialog* communication = nullptr;
        QDialog* receivePdos = nullptr;
        QDialog* transmitPdos = nullptr;
        QDialog* updateDevice = nullptr;
    };

    // Lays out the window and runs the workspace start-up for the executable's folder `exeDir`,
    // with the workspace in `workspaceDir` (empty: beside the executable).
    MainWindow(workspace::Workspace& workspace, widgets::MessageBoxes& messages, const std::filesystem::path& exeDir,
               const std::filesystem::path& workspaceDir = {}, QWidget* parent = nullptr);

    void setDialogs(const Dialogs& dialogs) { m_dialogs = dialogs; }

    // Starts the updater and waits for it (at most 150 000 ms), calling `onPoll` after every poll;
    // tells how the wait ended. Throws platform::ProcessStartError when it cannot be started.
    update::WaitOutcome startAndWait(const std::string& program, const std::string& commandLine, bool hidden,
                                     const std::vector<std::string>& arguments,
                                     const update::UpdaterLauncher::PollCallback& onPoll);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The step buttons' actions.
    void createProject();
    void openProject();
    void showAbout();
    // Opens the dialog of a step that needs an open project; without one it says so instead.
    void openStepDialog(QDialog* dialog);
    // Composes and writes bin/bank.bin, then shows the update dialog. A composition or write
    // error is shown in an error box and ends it there.
    void updateDevice();
    void openWebsite();

    void startUp(const std::filesystem::path& exeDir, const std::filesystem::path& workspaceDir);
    void saveOnClose();
    void updateTitle();
    bool projectOpenOrSaySo();

    workspace::Workspace& m_workspace;
    widgets::MessageBoxes& m_messages;
    Dialogs m_dialogs;
    project::ConfigImage m_image; // the image buffer, kept for the whole run

    std::array<QLabel*, 5> m_stepLabels{};
    QAbstractButton* m_newProjectButton;
    QAbstractButton* m_openProjectButton;
    QAbstractButton* m_aboutButton;
    QAbstractButton* m_closeButton;
    QAbstractButton* m_communicationButton;
    QAbstractButton* m_receivePdoButton;
    QAbstractButton* m_transmitPdoButton;
    QAbstractButton* m_updateDeviceButton;
    widgets::ClickLabel* m_websiteLink;
};

} // namespace strovane::app
