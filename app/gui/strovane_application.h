#pragma once

#include <QApplication>

namespace strovane::widgets {
class MessageBoxes;
}

namespace strovane::app {

// The application object. An exception that escapes an event handler ends only the operation
// under way: its text is shown in an error box and the program goes on.
class StrovaneApplication : public QApplication {
public:
    StrovaneApplication(int& argc, char** argv);

    void setMessages(widgets::MessageBoxes* messages) { m_messages = messages; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    widgets::MessageBoxes* m_messages = nullptr;
};

} // namespace strovane::app
