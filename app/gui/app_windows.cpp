#include "app/gui/app_windows.h"

#include "app/gui/main_window.h"
#include "editors/gui/communication_dialog.h"
#include "editors/gui/receive_pdo_dialog.h"
#include "editors/gui/transmit_pdo_dialog.h"
#include "platform/port_probe.h"
#include "platform/serial_device.h"
#include "update/gui/update_dialog.h"
#include "workspace/gui/about_dialog.h"
#include "workspace/gui/new_project_dialog.h"
#include "workspace/gui/open_project_dialog.h"

namespace strovane::app {

AppWindows::AppWindows(workspace::Workspace& workspace, widgets::MessageBoxes& messages,
                       const std::filesystem::path& exeDir, const std::filesystem::path& workspaceDir)
    : mainWindow(std::make_unique<MainWindow>(workspace, messages, exeDir, workspaceDir)) {
    // The dialogs are children of the main window, so they centre on it and go with it.
    QWidget* owner = mainWindow.get();
    newProject = new workspace::NewProjectDialog(workspace, messages, owner);
    openProject = new workspace::OpenProjectDialog(workspace, owner);
    about = new workspace::AboutDialog(owner);
    communication = new editors::CommunicationDialog(workspace, messages, owner);
    receivePdos = new editors::ReceivePdoDialog(workspace, messages, owner);
    transmitPdos = new editors::TransmitPdoDialog(workspace, messages, owner);
    MainWindow* main = mainWindow.get();
    updateDevice = new update::UpdateDialog(
        messages, workspace, [] { return platform::probePorts(); }, platform::createSerialDevice,
        [main](const std::string& program, const std::string& parameters, bool hidden,
               const std::vector<std::string>& arguments, const update::UpdaterLauncher::PollCallback& onPoll) {
            return main->startAndWait(program, parameters, hidden, arguments, onPoll);
        },
        owner);

    mainWindow->setDialogs({newProject, openProject, about, communication, receivePdos, transmitPdos, updateDevice});
}

AppWindows::~AppWindows() = default;

} // namespace strovane::app
