#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace strovane::testing {

// Runs `action` on the next modal widget once it is shown (e.g. before calling exec()).
// The action typically fills controls and clicks a button; it is retried every few
// milliseconds until a modal widget is active, for at most `timeoutMs`.
inline void onNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000) {
    auto remaining = std::make_shared<int>(timeoutMs / 5);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action = std::move(action), remaining, poll]() {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            action(modal);
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
