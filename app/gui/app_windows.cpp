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
    : FStrovanoFirmWare(std::make_unique<MainWindow>(workspace, messages, exeDir, workspaceDir)) {
    // The dialogs are children of the main window, so they centre on it and go with it.
    QWidget* owner = FStrovanoFirmWare.get();
    FNew_Project = new workspace::NewProjectDialog(workspace, messages, owner);
    FOpenConf = new workspace::OpenProjectDialog(workspace, owner);
    FAbout = new workspace::AboutDialog(owner);
    FParGen = new editors::CommunicationDialog(workspace, messages, owner);
    FRPdoMB = new editors::ReceivePdoDialog(workspace, messages, owner);
    FTPdoMB = new editors::TransmitPdoDialog(workspace, messages, owner);
    MainWindow* main = FStrovanoFirmWare.get();
    FBootSer = new update::UpdateDialog(
        messages, workspace, [] { return platform::probePorts(); }, platform::createSerialDevice,
        [main](const std::string& program, const std::string& parameters, bool hidden,
               const std::vector<std::string>& arguments, const update::UpdaterLauncher::PollCallback& onPoll) {
            return main->startAndWait(program, parameters, hidden, arguments, onPoll);
        },
        owner);

    FStrovanoFirmWare->setDialogs(
        {FNew_Project, FOpenConf, FAbout, FParGen, FRPdoMB, FTPdoMB, FBootSer});
}

AppWindows::~AppWindows() = default;

} // namespace strovane::app
