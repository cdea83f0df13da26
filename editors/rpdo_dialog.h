#pragma once

#include <QDialog>

namespace strovane::widgets {
class MessageBoxes;
}
namespace strovane::workspace {
struct Workspace;
}

namespace strovane::editors {

// "Receive PDOs" dialog.
class TFRPdoMB : public QDialog {
    Q_OBJECT
public:
    TFRPdoMB(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent = nullptr);

    void reject() override;

private:
    const workspace::Workspace& m_workspace;
    widgets::MessageBoxes& m_messages;
};

} // namespace strovane::editors
