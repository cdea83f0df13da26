// Strovane: configures the GW40518 CANopen / serial converter.
#include "app/app_windows.h"
#include "app/main_window.h"
#include "app/strovane_application.h"
#include "platform/executable_path.h"
#include "platform/termination.h"
#include "widgets/message_boxes.h"
#include "workspace/window_style.h"
#include "workspace/workspace.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cstdlib>

int main(int argc, char** argv) {
    strovane::app::StrovaneApplication app(argc, argv);
    strovane::widgets::QtMessageBoxes messages;
    app.setMessages(&messages);

    // Catch termination requests before anything is created, so none is lost while starting.
    const int terminationFd = strovane::platform::terminationRequestFd();

    strovane::workspace::Workspace workspace;
    strovane::app::AppWindows windows(workspace, messages, strovane::platform::executablePath().parent_path());
    strovane::workspace::centreOnScreen(windows.FStrovanoFirmWare.get());
    windows.FStrovanoFirmWare->show();

    // Asked to end (logout, kill): close as the user would, so the settings are written.
    if (terminationFd >= 0) {
        auto* notifier = new QSocketNotifier(terminationFd, QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
            notifier->setEnabled(false);
            QApplication::closeAllWindows();
        });
    }

    // Start-up measurements quit as soon as the main window has been shown.
    if (std::getenv("STROVANE_QUIT_AFTER_SHOW"))
        QTimer::singleShot(0, &app, [] { QApplication::quit(); });
    return app.exec();
}
