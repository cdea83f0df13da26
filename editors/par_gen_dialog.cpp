#include "editors/par_gen_dialog.h"

namespace strovane::editors {

TFParGen::TFParGen(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), m_workspace(workspace), m_messages(messages) {
    setObjectName(QStringLiteral("FParGen"));
    setWindowTitle(QStringLiteral("Set Communication"));
}

void TFParGen::reject() { done(2); }

} // namespace strovane::editors
