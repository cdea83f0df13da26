// Strovane: configures the GW40518 CANopen / serial converter.
#include "app/gui/app_windows.h"
#include "app/command_line.h"
#include "app/gui/main_window.h"
#include "app/gui/strovane_application.h"
#include "app/gui/workspace_lock.h"
#include "platform/arguments.h"
#include "platform/executable_path.h"
#include "platform/path_text.h"
#include "platform/termination.h"
#include "update/gui/update_progress.h"
#include "widgets/gui/message_boxes.h"
#include "widgets/gui/window_style.h"
#include "workspace/workspace.h"
#include "workspace/workspace_location.h"

#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using strovane::app::CommandLine;
    const std::vector<std::string> nativeArgs(argv, argv + argc);
    const std::vector<std::string> args = strovane::platform::utf8Arguments(argc, argv);
    CommandLine cl = strovane::app::parseCommandLine(args);
    // Qt reads its own options as argv spells them: hand those on unconverted. Both spellings split
    // alike, the options themselves being ASCII.
    if (args != nativeArgs)
        cl.qtArguments = strovane::app::parseCommandLine(nativeArgs).qtArguments;
    const strovane::workspace::WorkspaceLocation location = strovane::workspace::chooseWorkspace(cl.workspace);
    switch (cl.action) {
    case CommandLine::Action::Help:
        std::cout << strovane::app::usageText(strovane::platform::utf8FromPath(location.folder) + " (" +
                                              strovane::workspace::workspaceKindText(location.kind) + ")");
        return 0;
    case CommandLine::Action::Version:
        std::cout << "strovane " << STROVANE_VERSION << "\n";
        return 0;
    case CommandLine::Action::Error:
        std::cerr << "strovane: " << cl.error << "\n"
                  << strovane::app::usageText(strovane::platform::utf8FromPath(location.folder));
        return 2;
    case CommandLine::Action::Run:
        break;
    }

    // Qt keeps argc and argv for the life of the application.
    static std::vector<std::string> qtArgs = cl.qtArguments;
    static std::vector<char*> qtArgv;
    for (std::string& a : qtArgs)
        qtArgv.push_back(a.data());
    qtArgv.push_back(nullptr);
    static int qtArgc = static_cast<int>(qtArgs.size());

    strovane::app::StrovaneApplication app(qtArgc, qtArgv.data());
    // The menu entry's name and icon, so the desktop shows the window as that entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(STROVANE_DESKTOP_ID));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 256})
        icon.addFile(QStringLiteral(":/strovane/app/icon%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    strovane::widgets::QtMessageBoxes messages;
    app.setMessages(&messages);
    if (location.folder.empty()) {
        messages.error(QStringLiteral("Error! The system names no folder for the user's data (HOME is not set)."),
                       QStringLiteral("Start Strovane with --workspace DIR to name the workspace folder."));
        return 1;
    }

    // One program per workspace: a second one says which process holds it and opens nothing.
    // The folder is made first so that the lock can be; the start-up reports it if it cannot.
    strovane::workspace::createFolderIfMissing(strovane::platform::utf8FromPath(location.folder), true);
    strovane::app::WorkspaceLock lock(location.folder);
    if (const std::optional<QString> inUse = lock.acquire()) {
        messages.error(*inUse, QStringLiteral("Strovane is already open on this workspace. Use that window, or "
                                              "start Strovane with --workspace DIR to use another folder."));
        return 1;
    }

    // Catch termination requests before anything is created, so none is lost while starting.
    const int terminationFd = strovane::platform::terminationRequestFd();

    strovane::workspace::Workspace workspace;
    strovane::app::AppWindows windows(workspace, messages, strovane::platform::executablePath().parent_path(),
                                      location.folder);
    strovane::widgets::centreOnScreen(windows.mainWindow.get());
    windows.mainWindow->show();

    // Asked to end (logout, kill): close as the user would, so the settings are written.
    if (terminationFd >= 0) {
        auto* notifier = new QSocketNotifier(terminationFd, QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
            notifier->setEnabled(false);
            // During the wait for the updater the request is held and carried out when it ends.
            strovane::update::whenUpdaterIdle([] { QApplication::closeAllWindows(); });
        });
    }

    // Start-up measurements quit as soon as the main window has been shown.
    if (std::getenv("STROVANE_QUIT_AFTER_SHOW"))
        QTimer::singleShot(0, &app, [] { QApplication::quit(); });
    return app.exec();
}
