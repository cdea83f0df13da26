#include "editors/rpdo_dialog.h"

namespace strovane::editors {

TFRPdoMB::TFRPdoMB(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), m_workspace(workspace), m_messages(messages) {
    setObjectName(QStringLiteral("FRPdoMB"));
    setWindowTitle(QStringLiteral("Receive PDOs"));
}

void TFRPdoMB::reject() { done(2); }

} // namespace strovane::editors
