#include "editors/tpdo_dialog.h"

namespace strovane::editors {

TFTPdoMB::TFTPdoMB(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), m_workspace(workspace), m_messages(messages) {
    setObjectName(QStringLiteral("FTPdoMB"));
    setWindowTitle(QStringLiteral("Transmit PDOs"));
}

void TFTPdoMB::reject() { done(2); }

} // namespace strovane::editors
