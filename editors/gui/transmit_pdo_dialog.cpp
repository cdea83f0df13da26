#include "editors/gui/transmit_pdo_dialog.h"

#include <QAbstractButton>

namespace strovane::editors {

namespace {

const PdoEditorLayout kTransmitLayout{project::PdoTableKind::Transmit,
                                      "transmitPdoDialog",
                                      "Transmit PDOs",
                                      "Panel2",
                                      true,
                                      4,
                                      85,
                                      "LbButton1",
                                      100,
                                      85,
                                      false};

} // namespace

TransmitPdoDialog::TransmitPdoDialog(const workspace::Workspace& workspace, widgets::MessageBoxes& messages, QWidget* parent)
    : PdoEditorDialog(kTransmitLayout, workspace, messages, parent), Panel2(bar), LbButton1(cancelButton) {
    connect(bitbtn1, &QAbstractButton::clicked, this, &TransmitPdoDialog::bitbtn1Click);
}

bool TransmitPdoDialog::Check_Rows() {
    return checkTable();
}

void TransmitPdoDialog::bitbtn1Click() {
    saveTable();
}

} // namespace strovane::editors
