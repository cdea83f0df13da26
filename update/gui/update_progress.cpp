#include "update/gui/update_progress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace strovane::update {

namespace {

int g_waits = 0;                                    // nested runWithProgress calls under way
std::vector<std::function<void()>> g_afterWait;     // requests held back until the wait ends

// Swallows the user's input and close requests for every window while the updater runs.
class InputBlocker final : public QObject {
public:
    InputBlocker() { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            return true;
        case QEvent::Close:
            if (event->spontaneous()) {
                event->ignore();
                return true;
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

UpdateProgress::UpdateProgress(const QString& portName, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("updateProgress"));
    setWindowTitle(QStringLiteral("Updating device\u2026"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Updating device\u2026"), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    auto* port = new QLabel(QStringLiteral("Port: %1").arg(portName), this);
    port->setObjectName(QStringLiteral("portLabel"));
    m_elapsedLabel = new QLabel(this);
    m_elapsedLabel->setObjectName(QStringLiteral("elapsedLabel"));
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 0); // busy: the updater reports no progress
    bar->setTextVisible(false);
    layout->addWidget(title);
    layout->addWidget(port);
    layout->addWidget(m_elapsedLabel);
    layout->addWidget(bar);
    setElapsedMs(0);
    setFixedWidth(260);
}

void UpdateProgress::setElapsedMs(std::uint32_t ms) {
    m_elapsedLabel->setText(QStringLiteral("Elapsed: %1 s").arg(ms / 1000));
}

void UpdateProgress::closeEvent(QCloseEvent* event) {
    event->ignore(); // the window goes when the wait ends
}

void UpdateProgress::keyPressEvent(QKeyEvent* event) {
    event->ignore(); // no Escape
}

void runWithProgress(const QString& portName, QWidget* parent,
                     const std::function<void(const UpdaterLauncher::PollCallback&)>& run) {
    UpdateProgress progress(portName, parent);
    progress.show();
    struct WaitScope {
        WaitScope() { ++g_waits; }
        ~WaitScope() {
            if (--g_waits > 0)
                return;
            // Carried out from the event loop, once the caller has finished with the updater's end.
            for (std::function<void()>& action : std::exchange(g_afterWait, {}))
                QTimer::singleShot(0, qApp, std::move(action));
        }
    } scope;
    {
        InputBlocker blocker;
        QApplication::processEvents();
        std::uint32_t shownSeconds = 0;
        run([&](std::uint32_t elapsedMs) {
            if (elapsedMs / 1000 != shownSeconds) {
                shownSeconds = elapsedMs / 1000;
                progress.setElapsedMs(elapsedMs);
            }
            QApplication::processEvents();
        });
    }
    progress.hide();
}

bool updaterWaitRunning() { return g_waits > 0; }

void whenUpdaterIdle(std::function<void()> action) {
    if (g_waits > 0)
        g_afterWait.push_back(std::move(action));
    else
        action();
}

} // namespace strovane::update
