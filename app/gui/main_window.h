#pragma once

#include "project/config_image.h"
#include "update/updater_launcher.h"

#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

class QAbstractButton;
class QDialog;
class QLabel;

namespace strovane::widgets {
class MessageBoxes;
}
namespace strovane::workspace {
struct Workspace;
class ClickLabel;
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
        workspace::NewProjectDialog* FNew_Project = nullptr;
        workspace::OpenProjectDialog* FOpenConf = nullptr;
        QDialog* FAbout = nullptr;
        QDialog* FParGen = nullptr;
        QDialog* FRPdoMB = nullptr;
        QDialog* FTPdoMB = nullptr;
        QDialog* FBootSer = nullptr;
    };

    // Lays out the window and runs the workspace start-up for the executable's folder `exeDir`,
    // with the workspace in `workspaceDir` (empty: beside the executable).
    MainWindow(workspace::Workspace& workspace, widgets::MessageBoxes& messages,
                       const std::filesystem::path& exeDir, const std::filesystem::path& workspaceDir = {},
                       QWidget* parent = nullptr);

    void setDialogs(const Dialogs& dialogs) { m_dialogs = dialogs; }

    void Btn_Click(QObject* sender);
    void Create_New_Project();
    void Open_Project();
    // Composes and writes bin/bank.bin, then shows the update dialog. A composition or write
    // error is shown in an error box and ends it there.
    void Update_Device();
    // Starts the updater and waits for it (at most 150 000 ms), calling `onPoll` after every poll;
    // tells how the wait ended. Throws platform::ProcessStartError when it cannot be started.
    update::WaitOutcome startAndWait(const std::string& program, const std::string& commandLine, bool hidden,
                       const std::vector<std::string>& arguments, const update::UpdaterLauncher::PollCallback& onPoll);
    void setDocumentPaths();
    void saveSettings();
    void L_KelmoraClick();

    QLabel* L_Step_1;
    QAbstractButton* Btn_New;
    QAbstractButton* Btn_Open;
    QAbstractButton* Btn_Info;
    QAbstractButton* Btn_Close;
    QLabel* L_Step_2;
    QAbstractButton* Btn_Prm_Gen;
    QLabel* L_Step_3;
    QAbstractButton* Btn_RPDO;
    QLabel* L_Step_4;
    QAbstractButton* Btn_TPDO;
    QLabel* L_Step_5;
    QAbstractButton* Btn_CreateBin;
    workspace::ClickLabel* L_Kelmora;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const std::filesystem::path& exeDir, const std::filesystem::path& workspaceDir);
    void FormClose();
    void updateTitle();

    workspace::Workspace& m_workspace;
    widgets::MessageBoxes& m_messages;
    Dialogs m_dialogs;
    project::ConfigImage m_image; // the image buffer, kept for the whole run
};

} // namespace strovane::app
