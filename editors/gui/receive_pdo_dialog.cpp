#include "editors/gui/receive_pdo_dialog.h"

#include <QAbstractButton>

namespace strovane::editors {

namespace {

const PdoEditorLayout kReceiveLayout{project::PdoTableKind::Receive,
                                     "receivePdoDialog",
                                     "Receive PDOs",
                                     "buttonBar",
                                     false,
                                     12,
                                     69,
                                     "cancelButton",
                                     92,
                                     69,
                                     true};

} // namespace

ReceivePdoDialog::ReceivePdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : PdoEditorDialog(kReceiveLayout, workspace, messages, parent) {
    connect(okButton(), &QAbstractButton::clicked, this, &ReceivePdoDialog::save);
}

bool ReceivePdoDialog::checkRows() {
    return checkTable();
}

void ReceivePdoDialog::save() {
    saveTable();
}

} // namespace strovane::editors
