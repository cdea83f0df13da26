#pragma once

#include <filesystem>
#include <memory>

namespace strovane::widgets {
class MessageBoxes;
}
namespace strovane::workspace {
struct Workspace;
class NewProjectDialog;
class OpenProjectDialog;
class AboutDialog;
} // namespace strovane::workspace
namespace strovane::editors {
class CommunicationDialog;
class ReceivePdoDialog;
class TransmitPdoDialog;
} // namespace strovane::editors

namespace strovane::update {
class UpdateDialog;
}

namespace strovane::app {

class MainWindow;

// The program's eight windows, created once in this order and kept until the end.
struct AppWindows {
    // `workspaceDir`: the workspace folder, or empty for the executable's folder.
    AppWindows(workspace::Workspace& workspace, widgets::MessageBoxes& messages, const std::filesystem::path& exeDir,
               const std::filesystem::path& workspaceDir = {});
    ~AppWindows();

    std::unique_ptr<MainWindow> mainWindow;
    workspace::NewProjectDialog* newProject;
    workspace::OpenProjectDialog* openProject;
    workspace::AboutDialog* about;
    editors::CommunicationDialog* communication;
    editors::ReceivePdoDialog* receivePdos;
    editors::TransmitPdoDialog* transmitPdos;
    update::UpdateDialog* updateDevice;
};

} // namespace strovane::app
