#pragma once

#include <QString>

class QWidget;

namespace strovane::widgets {

// Every message box of the program goes through this interface, so that tests can
// replace the modal boxes with a recorder.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Error icon, one OK button. `detail` is an optional second paragraph.
    virtual void error(const QString& text, const QString& detail = QString()) = 0;
    // No icon, one OK button.
    virtual void plain(const QString& text) = 0;
    // Yes and No buttons; true for Yes.
    virtual bool question(const QString& text) = 0;
};

// The application's implementation on QMessageBox, parented to the active window.
class QtMessageBoxes final : public MessageBoxes {
public:
    void error(const QString& text, const QString& detail = QString()) override;
    void plain(const QString& text) override;
    bool question(const QString& text) override;
};

} // namespace strovane::widgets
