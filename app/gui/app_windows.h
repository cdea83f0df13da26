#pragma once

#include <filesystem>
#include <memory>

namespace strovane::widgets {
class MessageBoxes;
}
namespace strovane::workspace {
struct Workspace;
class TFNew_Project;
class TFOpenConf;
class TFAbout;
} // namespace strovane::workspace
namespace strovane::editors {
class TFParGen;
class TFRPdoMB;
class TFTPdoMB;
} // namespace strovane::editors

namespace strovane::update {
class TFBootSer;
}

namespace strovane::app {

class TFStrovanoFirmWare;

// The program's eight windows, created once in this order and kept until the end.
struct AppWindows {
    // `workspaceDir`: the workspace folder, or empty for the executable's folder.
    AppWindows(workspace::Workspace& workspace, widgets::MessageBoxes& messages, const std::filesystem::path& exeDir,
               const std::filesystem::path& workspaceDir = {});
    ~AppWindows();

    std::unique_ptr<TFStrovanoFirmWare> FStrovanoFirmWare;
    workspace::TFNew_Project* FNew_Project;
    workspace::TFOpenConf* FOpenConf;
    workspace::TFAbout* FAbout;
    editors::TFParGen* FParGen;
    editors::TFRPdoMB* FRPdoMB;
    editors::TFTPdoMB* FTPdoMB;
    update::TFBootSer* FBootSer;
};

} // namespace strovane::app
