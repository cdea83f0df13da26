#include "editors/gui/transmit_pdo_dialog.h"

#include <QAbstractButton>

namespace strovane::editors {

namespace {

const PdoEditorLayout kTransmitLayout{project::PdoTableKind::Transmit,
                                      "transmitPdoDialog",
                                      "Transmit PDOs",
                                      "buttonBar",
                                      true,
                                      4,
                                      85,
                                      "cancelButton",
                                      100,
                                      85,
                                      false};

} // namespace

TransmitPdoDialog::TransmitPdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : PdoEditorDialog(kTransmitLayout, workspace, messages, parent) {
    connect(okButton(), &QAbstractButton::clicked, this, &TransmitPdoDialog::save);
}

bool TransmitPdoDialog::checkRows() {
    return checkTable();
}

void TransmitPdoDialog::save() {
    saveTable();
}

} // namespace strovane::editors
