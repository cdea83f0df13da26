#pragma once

#include "update/updater_launcher.h"

#include <QDialog>

#include <functional>

class QLabel;

namespace strovane::update {

// Shown while the updater runs: the port and the elapsed seconds, no buttons, no close box.
// It is application-modal; the caller keeps it painted from the launcher's poll callback.
class UpdateProgress : public QDialog {
    Q_OBJECT
public:
    explicit UpdateProgress(const QString& portName, QWidget* parent = nullptr);

    void setElapsedMs(std::uint32_t ms);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_elapsedLabel;
};

// Runs `run` (a start of the updater that waits for it) with a poll callback that keeps the
// progress window and the tool's other windows painted. While it runs, input to every window
// of the tool is discarded rather than queued, and no window can be closed.
void runWithProgress(const QString& portName, QWidget* parent,
                     const std::function<void(const UpdaterLauncher::PollCallback&)>& run);

// True while runWithProgress waits for the updater.
bool updaterWaitRunning();

// Runs `action` now, or, while the updater is being waited for, once the wait has ended: the
// updater must not be cut off while it writes the device, and a request is never lost.
void whenUpdaterIdle(std::function<void()> action);

} // namespace strovane::update
