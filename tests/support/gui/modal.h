#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace strovane::testing {

// Closes `modal` and every modal window opened above it, so that the exec() a test waits in returns.
inline void closeModalsDownTo(QWidget* modal) {
    QPointer<QWidget> target = modal;
    for (int i = 0; i < 20 && target && target->isVisible(); ++i) {
        QWidget* top = QApplication::activeModalWidget();
        if (!top || !top->isVisible())
            top = target;
        if (auto* dialog = qobject_cast<QDialog*>(top))
            dialog->reject();
        else
            top->close();
    }
}

// Runs `action` on the next modal widget once it is shown (e.g. before calling exec()).
// The action typically fills controls and clicks a button; it is retried every few
// milliseconds until a modal widget is active, for at most `timeoutMs`. A test never hangs in
// exec() on it: when an assertion in the action fails the window is closed at once, and one
// still open `timeoutMs` after the action is reported as a failure and closed.
inline void onNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000) {
    auto remaining = std::make_shared<int>(timeoutMs / 5);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action = std::move(action), remaining, poll, timeoutMs]() {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            const bool failedBefore = ::testing::Test::HasFatalFailure();
            const QPointer<QWidget> acted = modal; // the action may delete it
            action(modal);
            if (acted && acted->isVisible()) {
                if (!failedBefore && ::testing::Test::HasFatalFailure())
                    closeModalsDownTo(acted);
                else
                    QTimer::singleShot(timeoutMs, [watched = acted, timeoutMs] {
                        if (!watched || !watched->isVisible())
                            return;
                        ADD_FAILURE() << "modal window " << watched->objectName().toStdString()
                                      << " still open " << timeoutMs << " ms after its action";
                        closeModalsDownTo(watched);
                    });
            }
            *poll = nullptr; // break the self-reference
            return;
        }
        if (--*remaining <= 0) {
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(5, [poll] {
            if (*poll)
                (*poll)();
        });
    };
    QTimer::singleShot(0, [poll] {
        if (*poll)
            (*poll)();
    });
}

// Closes the given dialog through its close box (result Cancel = 2 in this program).
inline void closeByWindowButton(QWidget* w) { w->close(); }

} // namespace strovane::testing
